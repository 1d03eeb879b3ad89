// What the program says, to the user or in its log, as a list of parts:
// its own text; paths as the user gave them; names as the registry's wide
// functions give them. Each output (the console or terminal, the box, the
// log) converts each part by what it is, so that no part is ever read in
// another part's encoding.
#pragma once

#include <string>
#include <vector>

class TMessage {
 public:
  enum class TKind : unsigned char {
    // The program's text: in the ANSI code page, code page 932 on the
    // stand-in.
    kText,
    // A path (or a computer's or user's name) as the program carries it:
    // UTF-8 on Windows, on the stand-in the bytes the user gave.
    kPath,
    // A name of the registry as its ANSI functions give it: in the ANSI
    // code page, as the text.
    kAnsiName,
    // A name of the registry as its wide functions give it: UTF-16, whatever
    // units it holds.
    kName,
  };
  struct TPart {
    TKind Kind = TKind::kText;
    std::string Bytes;     // text, a path, or an ANSI name
    std::u16string Units;  // a name
    bool operator==(const TPart&) const = default;
  };

  TMessage() = default;
  // The program's text: a message that is all text converts from it.
  TMessage(std::string text);  // NOLINT(google-explicit-constructor)
  TMessage(const char* text);  // NOLINT(google-explicit-constructor)
  static TMessage Path(std::string path);
  static TMessage AnsiName(std::string name);
  static TMessage Name(std::u16string name);

  TMessage& operator+=(const TMessage& more);
  const std::vector<TPart>& Parts() const { return parts_; }
  bool empty() const { return parts_.empty(); }
  bool operator==(const TMessage&) const = default;

 private:
  void Append(TPart part);

  std::vector<TPart> parts_;
};

TMessage operator+(TMessage first, const TMessage& second);
