#include "registry/ERegistryException.h"

namespace {

// Replaces the one "%s" of a message with the value's name.
std::string Format(std::string message, const std::string& name) {
  return message.replace(message.find("%s"), 2, name);
}

}  // namespace

ERegistryException ERegistryException::FetchFailed(const std::string& valueName) {
  return ERegistryException(
      Format("'%s' \x82\xcc\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd", valueName));
}

ERegistryException ERegistryException::WrongKind(const std::string& valueName) {
  return ERegistryException(
      Format("'%s' \x82\xcc\x83"
             "f\x81[\x83^\x8c^\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7",
             valueName));
}
