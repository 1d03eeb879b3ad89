#include "backup/BackupLine.h"

namespace {

constexpr std::u16string_view kLine = u"; t_uninst-backup view=";
constexpr std::u16string_view kOther = u" part32=\"";
// The English comments of the backups written before the line.
constexpr std::u16string_view kImport = u";   on Windows:  reg import \"";
constexpr std::u16string_view kPartSentence = u"; The 32-bit view's part is in \"";

bool StartsWith(std::u16string_view text, std::u16string_view start) { return text.substr(0, start.size()) == start; }

// The text between `start` and the line's last quote.
std::u16string_view Quoted(std::u16string_view line, size_t start) {
  const size_t end = line.rfind(u'"');
  return end == std::u16string_view::npos || end < start ? std::u16string_view() : line.substr(start, end - start);
}

}  // namespace

std::u16string BackupLine(size_t views, size_t viewIndex, std::u16string_view other) {
  std::u16string line(kLine);
  line += views == 1 ? u"only" : viewIndex == 0 ? u"64-bit" : u"32-bit";
  if (!other.empty()) line.append(kOther).append(other).append(u"\"");
  return line;
}

TBackupPart ReadBackupPart(std::u16string_view comments) {
  TBackupPart part, english;
  while (!comments.empty()) {
    const size_t end = comments.find(u'\n');
    std::u16string_view line = comments.substr(0, end);
    comments = end == std::u16string_view::npos ? std::u16string_view() : comments.substr(end + 1);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    if (StartsWith(line, kLine)) {
      line.remove_prefix(kLine.size());
      part.ThirtyTwoBit = StartsWith(line, u"32-bit");
      if (const size_t other = line.find(kOther); other != std::u16string_view::npos)
        part.Other = Quoted(line, other + kOther.size());
      return part;
    }
    if (StartsWith(line, kImport)) {
      const size_t quote = line.rfind(u'"');
      english.ThirtyTwoBit = quote >= kImport.size() && line.find(u"32-bit view)", quote) != std::u16string_view::npos;
    } else if (StartsWith(line, kPartSentence)) {
      english.Other = Quoted(line, kPartSentence.size());
    }
  }
  return english;
}
