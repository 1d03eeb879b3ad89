// The boxes a run shows, taken in the terminal's place on the stand-in:
// each with its exact text, caption and flags, answered from a list.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "platform/standin/terminal/Terminal.h"

struct TShownBox {
  TMessage Text;
  std::string Caption;
  UINT Flags = 0;
  bool operator==(const TShownBox&) const = default;
};

inline void PrintTo(const TShownBox& box, std::ostream* out) {
  *out << "[" << standin::ToTerminal(box.Text) << "] [" << box.Caption << "] flags " << box.Flags;
}

class TRecordedBoxes {
 public:
  // Each box gets the next of `answers`, and IDOK once they are used up.
  explicit TRecordedBoxes(const std::vector<int>& answers) : answers_(answers.begin(), answers.end()) {
    standin::SetBoxHandler([this](const TMessage& text, LPCSTR caption, UINT flags) {
      shown_.push_back({text, caption, flags});
      if (answers_.empty()) return IDOK;
      const int answer = answers_.front();
      answers_.pop_front();
      return answer;
    });
  }
  ~TRecordedBoxes() { standin::SetBoxHandler(nullptr); }
  TRecordedBoxes(const TRecordedBoxes&) = delete;
  TRecordedBoxes& operator=(const TRecordedBoxes&) = delete;

  const std::vector<TShownBox>& Shown() const { return shown_; }

 private:
  std::deque<int> answers_;
  std::vector<TShownBox> shown_;
};
