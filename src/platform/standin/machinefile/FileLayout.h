// Where the keys and values of the machine registry stand in its .reg file,
// and how the file spelled what the canonical form would write otherwise:
// what writing the file back byte for byte needs beside the key tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/standin/registry/KeyTree.h"
#include "regfile/RegFileWriter.h"

namespace standin {

// Text of the file kept beside a value or a section: comment and blank lines
// before it, and, for a value, its own lines when the canonical form would
// write them differently.
struct FileText {
  std::u16string leading;
  std::u16string raw;
  // For a value the file sets again further on: what its first setting,
  // written in canonical form, held, as the value now holds the last.
  bool keepsFirst = false;
  std::uint32_t firstType = 0;
  const std::uint8_t* firstData = nullptr;
  std::uint32_t firstSize = 0;
};

struct Section {
  // Written only while the key is not deleted; null for a line that
  // removes a key the file does not hold, which is always written.
  Key* key = nullptr;
  std::uint8_t root = 0;  // index into the root table
  RootSpelling spelling = RootSpelling::kLong;
  std::unique_ptr<FileText> text;  // raw: the header line as written, when not canonical
};

class FileLayout : public FilePlaces {
 public:
  explicit FileLayout(KeyTree& tree) : tree_(tree) {}

  // A section at the end of the file: the key's first, or one more.
  std::int32_t AddSection(Key& key, std::uint8_t root, RootSpelling spelling);
  void Place(Key& key) override;

  // A value's text in the file, or null when it is written in canonical form.
  FileText* TextOf(const Value& value) const;
  // Gives a value text of its own, empty.
  FileText& NewText(Value& value);

  regfile::Encoding encoding = regfile::Encoding::kUtf16;
  bool regedit4 = false;
  std::u16string signature;  // the first line as written, without its line end; empty: the canonical one
  std::u16string newline = u"\r\n";
  std::u16string trailer;  // text after the last section
  std::vector<Section> sections;
  bool hadRemovals = false;  // the file held [-key] or "name"=- lines

 private:
  KeyTree& tree_;
  std::vector<std::unique_ptr<FileText>> valueTexts_;  // by a value's text anchor, from 1
};

// The layout of a tree read from a file.
FileLayout& LayoutOf(KeyTree& tree);
const FileLayout& LayoutOf(const KeyTree& tree);

}  // namespace standin
