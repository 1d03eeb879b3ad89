// The message box on the terminal: the caption, the message line by line,
// then the buttons, on standard error as the prompts of command-line tools
// are, so that redirected output never hides a question; the answer is a
// line of standard input.
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

void Show(LPCSTR text, LPCSTR caption) {
  std::ostream& out = *output;
  out << "\n== " << Cp932ToTerminal(caption) << " ==\n";
  std::string message = text;
  size_t start = 0;
  for (size_t cr = message.find('\r'); cr != std::string::npos; cr = message.find('\r', start)) {
    out << Cp932ToTerminal(std::string_view(message).substr(start, cr - start)) << '\n';
    start = cr + 1;
  }
  out << Cp932ToTerminal(std::string_view(message).substr(start)) << '\n';
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

}  // namespace standin

int ShowMessageBox(LPCSTR text, LPCSTR caption, UINT flags) {
  standin::Show(text, caption);
  return (flags & MB_OKCANCEL) != 0 ? standin::AskOkCancel() : standin::AskOk();
}
