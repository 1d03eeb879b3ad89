// The message box on the terminal: what it shows and how answers count.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/Dialogs.h"
#include "platform/standin/terminal/Terminal.h"

namespace {

int Answer(const std::string& input, UINT flags, std::string* shown = nullptr) {
  std::istringstream in(input);
  std::ostringstream out;
  standin::SetDialogStreams(in, out);
  // "表示" and a second line after a lone CR.
  const int button = ShowMessageBox("\x95\x5c\x8e\xa6\rline 2", "Caption", flags);
  standin::SetDialogStreams(std::cin, std::cerr);
  if (shown != nullptr) *shown = out.str();
  return button;
}

TEST(TerminalDialog, ConfirmationTakesOkAsTheDefaultAndEndOfInputAsNobodyToAnswer) {
  EXPECT_EQ(Answer("\n", MB_OKCANCEL), IDOK);
  EXPECT_EQ(Answer(" OK \n", MB_OKCANCEL), IDOK);
  EXPECT_EQ(Answer("c\n", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(Answer("Cancel\n", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(Answer("\x1b\n", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(Answer("", MB_OKCANCEL), 0);
  EXPECT_EQ(Answer("maybe\n", MB_OKCANCEL), 0);
  std::string shown;
  EXPECT_EQ(Answer("yes\nmaybe\nok\n", MB_OKCANCEL, &shown), IDOK);
  size_t asked = 0;
  for (size_t at = shown.find("Please answer"); at != std::string::npos; at = shown.find("Please answer", at + 1))
    ++asked;
  EXPECT_EQ(asked, 2u);
}

TEST(TerminalDialog, CompletionClosesOnEnterOrEndOfInput) {
  EXPECT_EQ(Answer("\n", MB_OK), IDOK);
  std::string shown;
  EXPECT_EQ(Answer("", MB_OK, &shown), IDOK);
  EXPECT_EQ(shown.find("Cancel"), std::string::npos);
}

TEST(TerminalDialog, ShowsCaptionAndEachLineInTheTerminalsEncoding) {
  std::string shown;
  Answer("\n", MB_OK, &shown);
  EXPECT_NE(shown.find("Caption"), std::string::npos);
  EXPECT_NE(shown.find("\xe8\xa1\xa8\xe7\xa4\xba\nline 2\n"), std::string::npos) << shown;
}

}  // namespace
