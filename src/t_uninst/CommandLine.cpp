#include "t_uninst/CommandLine.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "t_uninst/ExitCode.h"

namespace {

using TMode = TCommandLine::TMode;

// One option: its spellings (the long one, then others: a Windows-style
// switch for each), the word it takes (null for none), the mode it
// selects, and its line in the usage.
struct TOption {
  std::string_view Name;
  std::string_view Aliases[3];
  const char* Value;
  TMode Mode;
  std::string_view Help;
};

constexpr TOption kOptions[] = {
    {"--preview", {"/preview"}, nullptr, TMode::kPreview, "list what a run would remove, and why; change nothing"},
    {"--check", {"/check"}, nullptr, TMode::kCheck, "as --preview, but exit with 1 when a run would remove anything"},
    {"--backup",
     {"/backup"},
     "FILE",
     TMode::kClean,
     "a run that first saves what it removes in FILE, a new .reg file\n                   (a folder: in a new file "
     "there, named for the computer and time)"},
    {"--restore", {"/restore"}, "FILE", TMode::kRestore, "put back what a backup saved"},
    {"--version", {"-V", "/version"}, nullptr, TMode::kVersion, "print the version"},
    {"--help", {"-h", "/help", "/?"}, nullptr, TMode::kHelp, "print this text"},
};

// Whether a word spells a name; Windows-style switches ("/quiet") in any
// letter case, as Windows programs take them.
bool Spells(std::string_view word, std::string_view name) {
  if (word.size() != name.size()) return false;
  if (name.rfind('/', 0) != 0) return word == name;
  return std::equal(word.begin(), word.end(), name.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b; });
}

// Where "=VALUE" begins in "--name=VALUE" or "/name=VALUE"; npos in any
// other word.
size_t EqualsIn(std::string_view word) {
  return word.rfind("--", 0) == 0 || word.rfind('/', 0) == 0 ? word.find('=') : std::string_view::npos;
}

// The option a word names, "=VALUE" included, or null.
const TOption* Find(std::string_view word) {
  word = word.substr(0, EqualsIn(word));
  for (const TOption& option : kOptions) {
    if (word == option.Name) return &option;
    for (std::string_view alias : option.Aliases)
      if (!alias.empty() && Spells(word, alias)) return &option;
  }
  return nullptr;
}

bool OnLine(int argc, const char* const* argv, TMode mode) {
  for (int i = 1; i < argc; ++i)
    if (const TOption* option = Find(argv[i]); option != nullptr && option->Mode == mode) return true;
  return false;
}

}  // namespace

const char kUsageLine[] =
    "usage: t_uninst [--quiet] [--log FILE] [--preview | --check | --backup FILE | --restore FILE | --version | "
    "--help]\n";

TCommandLine ReadCommandLine(int argc, const char* const* argv) {
  TCommandLine line;
  auto wrong = [&line](const TMessage& problem) {
    line.Mode = TMode::kWrong;
    line.Problem = problem;
    return line;
  };
  // The unattended flag and the log go with any option, before or after it.
  std::vector<const char*> words;
  bool logWithoutFile = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view word = argv[i];
    const size_t equals = EqualsIn(word);
    const std::string_view name = word.substr(0, equals);
    if (i > 0 && (word == "--quiet" || Spells(word, "/quiet"))) {
      line.Quiet = true;
    } else if (i > 0 && (name == "--log" || Spells(name, "/log")) && equals != std::string_view::npos) {
      line.Log = word.substr(equals + 1);
      logWithoutFile = logWithoutFile || line.Log.empty();
    } else if (i > 0 && (name == "--log" || Spells(name, "/log"))) {
      logWithoutFile = logWithoutFile || i + 1 == argc;
      if (i + 1 < argc) line.Log = argv[++i];
    } else {
      words.push_back(argv[i]);
    }
  }
  argc = static_cast<int>(words.size());
  argv = words.data();
  // Whoever asks for help or the version gets it, whatever else is there.
  for (TMode wins : {TMode::kHelp, TMode::kVersion})
    if (OnLine(argc, argv, wins)) {
      line.Mode = wins;
      return line;
    }
  if (logWithoutFile) return wrong("--log needs a FILE");
  const TOption* chosen = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const TOption* option = Find(word);
    const size_t equals = EqualsIn(word);
    const std::string name = word.substr(0, equals);
    if (option == nullptr) return wrong("unknown option " + QuotedPath(word));
    if (chosen != nullptr) return wrong("'" + name + "' cannot be combined with '" + std::string(chosen->Name) + "'");
    chosen = option;
    line.Mode = option->Mode;
    if (option->Value == nullptr) {
      if (equals != std::string::npos) return wrong(name + " takes no value");
      continue;
    }
    if (equals != std::string::npos)
      line.File = word.substr(equals + 1);
    else if (i + 1 < argc)
      line.File = argv[++i];
    if (line.File.empty()) return wrong(name + " needs a " + option->Value);
  }
  return line;
}

std::string Usage() {
  std::string text = kUsageLine;
  text += "\n";
  text +=
      "Asks for confirmation, then removes what the setup of ZobrikLine left in the\n"
      "machine-wide registry, so that ZobrikLine can be installed again.\n\noptions:\n";
  text += "  (none)           ask, then remove what ZobrikLine's setup left in the registry\n";
  for (const TOption& option : kOptions) {
    const std::string value = option.Value != nullptr ? std::string(" ") + option.Value : "";
    std::string spelling = "  " + std::string(option.Name) + value;
    for (std::string_view alias : option.Aliases)
      if (!alias.empty()) spelling.append(", ").append(alias).append(alias[0] == '/' ? value : "");
    // Spellings too long for their column get a line of their own.
    if (spelling.size() > 18)
      spelling += "\n" + std::string(19, ' ');
    else
      spelling.resize(19, ' ');
    text += spelling + std::string(option.Help) + "\n";
  }
  text += "  --quiet, /quiet  unattended: no box, no question; print what was removed\n";
  text += "  --log FILE, /log FILE\n";
  text += "                   with any of the above: append what the run does to FILE (UTF-8)\n";
  text += "  An option's FILE may also follow '=': --backup=FILE, /backup=FILE. The Windows-style\n";
  text += "  switches (/quiet) are taken in any letter case (/QUIET).\n\n";
  text += PlatformUsage();
  text += "\nexit codes:\n";
  for (const TExitCodeMeaning& exit : ExitCodeMeanings()) {
    std::string number = std::to_string(static_cast<int>(exit.Code));
    number.resize(std::max<size_t>(number.size() + 2, 6), ' ');
    text += "  " + number + exit.Meaning + "\n";
  }
  return text;
}
