// The message box on the terminal: the caption, the message line by line,
// then the buttons, on standard error as the prompts of command-line tools
// are, so that redirected output never hides a question; the answer is a
// line of standard input.
#include <algorithm>
#include <iostream>
#include <string>

#include "platform/Dialogs.h"
#include "platform/standin/terminal/Terminal.h"

namespace standin {
namespace {

std::istream* input = &std::cin;
std::ostream* output = &std::cerr;

std::string Lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

TBoxHandler& Handler() {
  static TBoxHandler handler;
  return handler;
}

void Show(const TMessage& text, LPCSTR caption) {
  std::string shown = ToTerminal(text);
  std::replace(shown.begin(), shown.end(), '\r', '\n');
  *output << "\n== " << ToTerminal(caption) << " ==\n" << shown << '\n';
}

// OK (the default) or Cancel. Input that ends before an answer is nobody
// there to answer: 0, never taken for Cancel.
int AskOkCancel() {
  for (;;) {
    *output << "[ OK ]  [ Cancel ]   Enter or \"ok\": OK;  \"c\", \"cancel\" or Esc: Cancel > " << std::flush;
    std::string line;
    if (!std::getline(*input, line)) {
      *output << '\n';
      return 0;
    }
    const std::string answer = Lowered(Trimmed(line));
    if (answer.empty() || answer == "ok") return IDOK;
    if (answer == "c" || answer == "cancel" || answer == "\x1b") return IDCANCEL;
    *output << "Please answer OK or Cancel.\n";
  }
}

int AskOk() {
  *output << "[ OK ]   Enter: OK > " << std::flush;
  std::string line;
  if (!std::getline(*input, line)) *output << '\n';
  return IDOK;
}

}  // namespace

void SetDialogStreams(std::istream& in, std::ostream& out) {
  input = &in;
  output = &out;
}

void SetBoxHandler(TBoxHandler handler) { Handler() = std::move(handler); }

}  // namespace standin

int ShowMessageBox(const TMessage& text, LPCSTR caption, UINT flags) {
  if (standin::Handler()) return standin::Handler()(text, caption, flags);
  standin::Show(text, caption);
  return (flags & MB_OKCANCEL) != 0 ? standin::AskOkCancel() : standin::AskOk();
}
