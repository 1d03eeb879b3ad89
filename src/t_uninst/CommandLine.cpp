#include "CommandLine.h"

const char kUsage[] =
    "usage: t_uninst [--preview | --backup FILE | --restore FILE | --help]\n"
    "  (none)          ask, then remove what ZobrikLine's setup left in the registry\n"
    "  --preview       list what a run would remove, and why; change nothing\n"
    "  --backup FILE   a run that first saves what it removes in FILE (.reg)\n"
    "  --restore FILE  put back what a backup saved (on Windows: reg import FILE)\n"
    "  --help          this text\n";

TCommandLine ReadCommandLine(int argc, const char* const* argv) {
  TCommandLine line;
  using TMode = TCommandLine::TMode;
  auto wrong = [&line](const std::string& problem) {
    line.Mode = TMode::kWrong;
    line.Problem = problem;
    return line;
  };
  if (argc <= 1) return line;
  const std::string option = argv[1];
  if (option == "--help" || option == "-h" || option == "/?") line.Mode = TMode::kHelp;
  if (option == "--preview") line.Mode = TMode::kPreview;
  if (option == "--backup" || option == "--restore") {
    if (argc < 3 || std::string(argv[2]).empty()) return wrong(option + " needs a FILE");
    line.Mode = option == "--backup" ? TMode::kClean : TMode::kRestore;
    line.File = argv[2];
  }
  if (line.Mode == TMode::kClean && line.File.empty()) return wrong("unknown option '" + option + "'");
  const int used = line.File.empty() ? 2 : 3;
  if (argc > used) return wrong("unexpected '" + std::string(argv[used]) + "'");
  return line;
}
