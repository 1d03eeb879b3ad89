// Preview, a run with a backup, and the undo, as a user does them with the
// built program: the preview lists exactly what the run removes, and the
// backup puts every byte of it back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <tuple>
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/Upcase.h"
#include "platform/standin/registry/ValueData.h"
#include "regfile/Utf8.h"
#include "support/Files.h"
#include "support/Records.h"

namespace standin {
namespace {

// The sample machine, with values of every kind below one of the product's
// component keys: a backup must keep each of them byte for byte.
std::string MachineWithEveryKindOfValue() {
  const std::string extra = Utf16File(
                                "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\"
                                "UserData\\S-1-5-18\\Components\\0D3C2B1A99887766554433221100FFEE\\Every kind]\r\n"
                                "@=hex(1):ac,20,00,00\r\n"  // the default value, a character code page 932 lacks
                                "\"qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                                "\"binary\"=hex:00,ff,10\r\n"
                                "\"empty binary\"=hex:\r\n"
                                "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                                "\"expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                                "\"embedded nul\"=hex(1):61,00,00,00,62,00,00,00\r\n"
                                "\"no final nul\"=hex(1):61,00\r\n"
                                "\"none\"=hex(0):\r\n"
                                "\"nameless type\"=hex(12345678):01,02\r\n"
                                "\"short dword\"=hex(4):01,02\r\n"
                                "\"quote \\\" and backslash \\\\\"=\"x\"\r\n")
                                .substr(2);
  return ReadFile(SAMPLE_MACHINE) + extra;
}

std::string Hex(const KeyTree& tree, const Value& value) {
  std::string data;
  AppendStored(tree, value, data);
  std::string out;
  char b[4];
  for (const char byte : data) {
    std::snprintf(b, sizeof b, "%02x", byte);
    out += b;
  }
  return out;
}

// Every key and value below the machine, in an order of its own: what
// the registry holds, whatever the file's order.
void Dump(const KeyTree& tree, const Key& key, const std::string& path, std::vector<std::string>& lines) {
  lines.push_back("key " + path);
  for (const Value& v : key.Values())
    if (!v.removed)
      lines.push_back("value " + path + " \"" + regfile::Utf16ToUtf8(Upcase(v.name.Text())) + "\" " +
                      std::to_string(v.type) + " " + Hex(tree, v));
  for (const Key* child : key.Children())
    if (!child->deleted) Dump(tree, *child, path + "\\" + regfile::Utf16ToUtf8(Upcase(child->name.Text())), lines);
}

std::string Contents(const KeyTree& tree) {
  std::vector<std::string> lines;
  Dump(tree, *tree.Root(kLocalMachine), "HKEY_LOCAL_MACHINE", lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

Key* Find(KeyTree& tree, const std::string& path) {
  const std::string classes = "HKEY_CLASSES_ROOT\\";
  std::string rest = path.rfind(classes, 0) == 0 ? "SOFTWARE\\Classes\\" + path.substr(classes.size())
                                                 : path.substr(path.find('\\') + 1);
  Key* key = tree.Root(kLocalMachine);
  std::stringstream parts(rest);
  for (std::string part; key != nullptr && std::getline(parts, part, '\\');) {
    Key* next = nullptr;
    for (Key* child : key->Children())
      if (!child->deleted && Upper(regfile::Utf16ToUtf8(child->name.Text())) == Upper(part)) next = child;
    key = next;
  }
  return key;
}

// The machine as the preview says a run leaves it: each listed key and
// value taken out of `tree`.
void RemoveListed(KeyTree& tree, const std::string& preview) {
  std::stringstream lines(preview);
  for (std::string line; std::getline(lines, line);) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() < 4 || (f[0] != "key" && f[0] != "value")) continue;
    Key* key = Find(tree, UnescapedBytes(f[1]));
    ASSERT_NE(key, nullptr) << "the preview lists a key the machine lacks: " << line;
    if (f[0] == "key") {
      tree.Remove(*key);
      continue;
    }
    const std::string name = f[2] == "@" ? "" : UnescapedBytes(f[2].substr(1, f[2].size() - 2));
    const auto values = key->Values();
    const auto it = std::find_if(values.begin(), values.end(), [&name](const Value& v) {
      return !v.removed && Upper(regfile::Utf16ToUtf8(v.name.Text())) == Upper(name);
    });
    ASSERT_NE(it, values.end()) << "the preview lists a value the machine lacks: " << line;
    tree.RemoveValue(*key, it->name.Text());
  }
}

class Undo : public ::testing::Test {
 protected:
  std::string Machine(const std::string& bytes) {
    std::string path = dir_.Path("machine.reg");
    WriteFile(path, bytes);
    return path;
  }

  TempDir dir_;
};

TEST_F(Undo, PreviewRunWithBackupAndRestoreGiveBackEveryByte) {
  const std::string before = MachineWithEveryKindOfValue();
  const std::string machine = Machine(before);

  const ProgramResult preview = RunProgram(dir_, machine, "--preview", "");
  ASSERT_EQ(preview.exitCode, 0) << preview.err;
  EXPECT_EQ(ReadFile(machine), before) << "the preview changes nothing";
  EXPECT_EQ(preview.out.find("InstallCleaner"), std::string::npos) << "and shows no box";
  EXPECT_NE(preview.out.find("\\\xe8\xa1\xa8\xe7\xa4\xba\xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88\t"), std::string::npos)
      << "names reach the terminal in its encoding (表示ソフト)";

  const std::string backup = dir_.Path("removed.reg");
  const ProgramResult run = RunProgram(dir_, machine, "--backup '" + backup + "'", "\n\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string after = ReadFile(machine);
  const std::string plain = dir_.Path("plain.reg");
  WriteFile(plain, before);
  ASSERT_EQ(RunProgram(dir_, plain, "", "\n\n").exitCode, 0);
  EXPECT_TRUE(after == ReadFile(plain)) << "with a backup, the run removes what it removes without one";

  const auto expected = ReadKeyTree(before);
  RemoveListed(*expected, preview.out);
  EXPECT_EQ(Contents(*ReadKeyTree(after)), Contents(*expected)) << "the preview lists what the run removed";

  const std::string log = dir_.Path("restore.log");
  const ProgramResult restore = RunProgram(dir_, machine, "--log '" + log + "' --restore '" + backup + "'", "");
  ASSERT_EQ(restore.exitCode, 0) << restore.err;
  EXPECT_EQ(Contents(*ReadKeyTree(ReadFile(machine))), Contents(*ReadKeyTree(before)));
  EXPECT_EQ(restore.out.rfind("Restored ", 0), 0u) << restore.out;
  EXPECT_NE(restore.out.find(" values from '" + backup + "'.\n"), std::string::npos) << restore.out;
  // The log has an event for each key and value put back, as many as said.
  const auto logged = [&log](const std::string& start) {
    size_t count = 0;
    std::istringstream lines(ReadFile(log));
    for (std::string line; std::getline(lines, line);) {
      const std::vector<std::string> f = Fields(line);
      count += f.size() > 4 && (f[2] + "\t" + f[3] + "\t" + f[4] + "\t").rfind(start, 0) == 0;
    }
    return std::to_string(count);
  };
  EXPECT_EQ(restore.out.substr(0, restore.out.find(" values from ")),
            "Restored " + logged("restored\t-\tkey\t") + " keys and " + logged("restored\t-\tvalue\t"))
      << ReadFile(log);
  EXPECT_EQ(logged("there already\t"), "0");
  EXPECT_NE(ReadFile(log).find("\trestored\t-\tvalue\tHKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\"), std::string::npos);

  // A second restore finds everything there and says that it changed nothing.
  const std::string restored = ReadFile(machine);
  const std::string values = logged("restored\t-\tvalue\t");
  const ProgramResult again = RunProgram(dir_, machine, "--log '" + log + "' --restore '" + backup + "'", "");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, "Everything '" + backup + "' holds is in the registry already: nothing was changed.\n");
  EXPECT_TRUE(ReadFile(machine) == restored);
  EXPECT_EQ(logged("there already\t-\tvalue\t"), values) << "and its log names each value found there";
  EXPECT_EQ(logged("restored\t-\tvalue\t"), values);
}

// The files in a folder, by name.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Undo, AnUnattendedRunWithABackupIntoAFolderIsUndoneAndRunsAgain) {
  const std::string before = MachineWithEveryKindOfValue();
  const std::string machine = Machine(before);
  // Neither the backups' folder nor the log's is there yet: both are made.
  const std::string folder = dir_.Path("fleet/backups"), logFile = dir_.Path("logs/t_uninst.log");
  // A deployment runs the same line again and again.
  const std::string line = "--backup '" + folder + "/' --quiet --log '" + logFile + "'";
  const ProgramResult run = RunProgram(dir_, machine, line, "c\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(ReadFile(machine), before);
  const std::vector<std::string> written = FilesIn(folder);
  ASSERT_EQ(written.size(), 1u);
  const std::string& backup = written[0];
  EXPECT_TRUE(std::regex_match(backup, std::regex(".*/t_uninst-[^/]+-\\d{8}T\\d{6}Z\\.reg"))) << backup;
  const std::string cleaned = ReadFile(machine);
  for (const std::string& again :
       {line, "--quiet --backup '" + folder + "'", "--quiet --backup '" + dir_.Path("new.reg") + "'"}) {
    const ProgramResult second = RunProgram(dir_, machine, again, "");
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out,
              "No backup was written: there was nothing to remove.\n"
              "Nothing of ZobrikLine was found; nothing has been changed.\n");
  }
  EXPECT_EQ(FilesIn(folder), written) << "no backup of nothing";
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.reg")));
  EXPECT_TRUE(ReadFile(machine) == cleaned);
  const std::string log = ReadFile(logFile);
  EXPECT_NE(log.find("\tbackup\t" + backup + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\tno backup\tthere was nothing to remove\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\tend\t0\tNothing of ZobrikLine was found; nothing has been changed.\n"), std::string::npos)
      << "the second run appends to the log";

  const ProgramResult restore = RunProgram(dir_, machine, "--restore '" + backup + "'", "");
  ASSERT_EQ(restore.exitCode, 0) << restore.err;
  EXPECT_EQ(Contents(*ReadKeyTree(ReadFile(machine))), Contents(*ReadKeyTree(before)));
}

TEST_F(Undo, ABackupFileThatCannotBeWrittenIsRefusedBeforeAnythingIsAsked) {
  const std::string before = ReadFile(SAMPLE_MACHINE);
  const std::string machine = Machine(before);
  struct Case {
    std::string file;
    std::string reason;
  };
  std::vector<Case> cases = {
      // Only the folder of a name that ends in a separator is made.
      {dir_.Path("missing/removed.reg"), "missing' cannot be used: No such file or directory"},
      // A link on the way, as a user may plant where anyone may write.
      {dir_.Path("planted/removed.reg"), "planted' is a symbolic link"},
      {dir_.Path("planted/made/"), "planted' is a symbolic link"},
      {machine + "/removed.reg", "cannot be used: Not a directory"},
      {dir_.Path(std::string(5000, 'x')), "File name too long"},
      // Its temporary file, beside it, would have a name too long.
      {dir_.Path(std::string(250, 'y')), "is too long"},
      // A backup is never written over: not an earlier backup, not the machine itself.
      {machine, "exists already"},
      {dir_.Path("answers"), "exists already"},
  };
  // A folder that takes no new file, not even from root (who may write
  // where its rights say no): refused before the confirmation, not by a
  // backup that fails after it.
  if (std::filesystem::is_directory("/sys/kernel"))
    cases.push_back({"/sys/kernel/removed.reg", "'/sys/kernel' of '/sys/kernel/removed.reg' cannot be written: "});
  std::filesystem::create_directory(dir_.Path("elsewhere"));
  std::filesystem::create_directory_symlink(dir_.Path("elsewhere"), dir_.Path("planted"));
  for (const Case& c : cases) {
    const ProgramResult r = RunProgram(dir_, machine, "--backup '" + c.file + "'", "\n\n");
    EXPECT_EQ(r.exitCode, 2) << c.file.substr(0, 200);
    EXPECT_EQ(r.err.rfind("t_uninst: the backup cannot be written: ", 0), 0u) << r.err.substr(0, 400);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err.substr(0, 400);
    EXPECT_EQ(r.err.find("Cancel"), std::string::npos) << "no confirmation: " << r.err.substr(0, 400);
    EXPECT_EQ(r.out, r.err.substr(10)) << "the summary says it too";
  }
  EXPECT_EQ(ReadFile(machine), before);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.Path("elsewhere"))) << "nothing made where the link points";
}

TEST_F(Undo, ARestoreSaysWhyItCannotUseItsFile) {
  const std::string before = ReadFile(SAMPLE_MACHINE);
  const std::string machine = Machine(before);
  // Named as given, in UTF-8 ("Café バック.reg"), never as if code page 932.
  const std::string missing = dir_.Path("Caf\xc3\xa9 \xe3\x83\x90\xe3\x83\x83\xe3\x82\xaf.reg");
  ProgramResult r = RunProgram(dir_, machine, "--restore '" + missing + "'", "");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err,
            "t_uninst: the backup '" + missing + "' cannot be read: No such file or directory; nothing was restored\n");
  r = RunProgram(dir_, machine, "--restore '" + dir_.Path("") + "'", "");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("is a folder, not a .reg file"), std::string::npos) << r.err;
  // A device that never ends, a pipe nobody writes: refused before they are read.
  const std::string pipe = dir_.Path("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& endless : {std::string("/dev/zero"), pipe}) {
    r = RunProgram(dir_, machine, "--restore '" + endless + "'", "");
    EXPECT_EQ(r.exitCode, 2) << endless;
    EXPECT_EQ(r.err, "t_uninst: the backup '" + endless + "' is not a regular file; nothing was restored\n");
  }
  const std::string removal = dir_.Path("removal.reg");
  WriteFile(removal, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"));
  r = RunProgram(dir_, machine, "--restore '" + removal + "'", "");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("which no backup does"), std::string::npos) << r.err;
  const std::string broken = dir_.Path("broken.reg");
  WriteFile(broken, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\x]\r\n\"a\"=dword:xyz\r\n");
  r = RunProgram(dir_, machine, "--restore '" + broken + "'", "");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find(broken + ":4: a dword needs"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(machine), before);
}

// Windows keeps keys at most 512 levels below their root: a file naming a
// deeper one, below one of the product's component keys, is refused by the
// run, the preview and the restore alike, before anything is asked, naming
// its line, and no file changes.
TEST_F(Undo, AKeyDeeperThanWindowsKeepsIsRefusedEverywhere) {
  const std::string sample = ReadFile(SAMPLE_MACHINE);
  const size_t line = static_cast<size_t>(std::count(sample.begin(), sample.end(), '\n')) + 2;
  for (const int levels : {600, 100000}) {
    std::string deep =
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\"
        "Components\\0D3C2B1A99887766554433221100FFEE";
    for (int level = 9; level < levels; ++level) deep += "\\k";
    deep += "]\r\n\"v\"=\"1\"\r\n";
    const std::string before = sample + Utf16File(deep).substr(2);
    const std::string machine = Machine(before);
    // A restore reads the deep file as its backup, into the sample machine.
    const std::string backup = dir_.Path("deep backup.reg");
    WriteFile(backup, before);
    const std::string plain = dir_.Path("sample.reg");
    WriteFile(plain, sample);
    const std::string levelsText =
        " lies " + std::to_string(levels) + " levels below its root; Windows keeps keys at most 512 levels deep";
    for (const auto& [arguments, registry, named] :
         {std::tuple{std::string(), machine, machine}, std::tuple{std::string("--preview"), machine, machine},
          std::tuple{std::string("--quiet"), machine, machine},
          std::tuple{"--restore '" + backup + "'", plain, backup}}) {
      const ProgramResult r = RunProgram(dir_, registry, arguments, "\n\n");
      EXPECT_EQ(r.exitCode, 2) << arguments << " " << levels;
      EXPECT_NE(r.err.find(named + ":" + std::to_string(line) + ": the key 'HKEY_LOCAL_MACHINE"), std::string::npos)
          << arguments << " " << levels << ": " << r.err;
      EXPECT_NE(r.err.find(levelsText), std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("Cancel"), std::string::npos) << "nothing is asked: " << r.err;
      EXPECT_EQ(r.out, r.err.substr(10)) << "the summary says it too";
    }
    EXPECT_EQ(ReadFile(machine), before);
    EXPECT_EQ(ReadFile(backup), before);
    EXPECT_EQ(ReadFile(plain), sample);
  }
}

}  // namespace
}  // namespace standin
