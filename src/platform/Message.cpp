#include "platform/Message.h"

#include <utility>

TMessage::TMessage(std::string text) { Append({TKind::kText, std::move(text), {}}); }

TMessage::TMessage(const char* text) : TMessage(std::string(text)) {}

TMessage TMessage::Path(std::string path) {
  TMessage message;
  message.Append({TKind::kPath, std::move(path), {}});
  return message;
}

TMessage TMessage::AnsiName(std::string name) {
  TMessage message;
  message.Append({TKind::kAnsiName, std::move(name), {}});
  return message;
}

TMessage TMessage::Name(std::u16string name) {
  TMessage message;
  message.Append({TKind::kName, {}, std::move(name)});
  return message;
}

TMessage& TMessage::operator+=(const TMessage& more) {
  for (const TPart& part : more.parts_) Append(part);
  return *this;
}

// Text that follows text joins it: a message holds one part for each run
// of text, whatever pieces it was put together from.
void TMessage::Append(TPart part) {
  if (part.Kind == TKind::kText && part.Bytes.empty()) return;
  if (part.Kind == TKind::kText && !parts_.empty() && parts_.back().Kind == TKind::kText) {
    parts_.back().Bytes += part.Bytes;
    return;
  }
  parts_.push_back(std::move(part));
}

TMessage operator+(TMessage first, const TMessage& second) {
  first += second;
  return first;
}
