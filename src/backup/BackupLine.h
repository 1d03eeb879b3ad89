// The line at the top of each file of a backup that the program reads back:
// which registry view the file holds and, in the first file on 64-bit
// Windows, where the 32-bit view's part is. A comment to regedit and
// reg.exe:
//   ; t_uninst-backup view=64-bit part32="C:\backups\removed-32bit.reg"
#pragma once

#include <string>
#include <string_view>

struct TBackupPart {
  bool ThirtyTwoBit = false;  // the file holds the 32-bit view's part
  std::u16string Other;       // the file of the 32-bit view's part, when it names one
};

// The line, without its end, for a file of a backup that spans `views`
// views: the `viewIndex`th, naming `other` (empty: none).
std::u16string BackupLine(size_t views, size_t viewIndex, std::u16string_view other);

// What the comments before a file's first key say of it: the line above,
// or in a backup written before the line was, the English comments (the
// view after the file's quoted name on the "reg import" line, and the
// sentence that names the 32-bit part), read line by line so that no name
// in them is taken for their words.
TBackupPart ReadBackupPart(std::u16string_view comments);
