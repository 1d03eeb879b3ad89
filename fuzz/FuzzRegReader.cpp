// Any bytes as a .reg file: the reader accepts them or names the line at
// fault; what it accepts, the writer writes so that it reads back the same.
#include <cstdint>
#include <cstdlib>

#include "platform/standin/machinefile/KeyTreeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const std::string written = standin::WriteKeyTree(*standin::ReadKeyTree(bytes));
    if (standin::WriteKeyTree(*standin::ReadKeyTree(written)) != written) std::abort();
  } catch (const standin::RegFileError& e) {
    if (e.line() == 0) std::abort();
  }
  return 0;
}
