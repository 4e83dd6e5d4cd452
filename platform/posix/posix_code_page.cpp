// The code-page port on Linux: iconv from "CP<number>" to UTF-32LE.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/code_page.h"

namespace mv {

bool DecodeCodePageCharacter(unsigned codePage, std::string_view bytes,
                             CodePageCharacter& character) {
  const std::string name = "CP" + std::to_string(codePage);
  const iconv_t converter = iconv_open("UTF-32LE", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in(bytes);
  unsigned char out[8] = {};
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof out;
  const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  const int error = errno;
  iconv_close(converter);
  character = CodePageCharacter{};
  if (done == static_cast<std::size_t>(-1) && error == EINVAL) {
    character.kind = CodePageCharacter::Kind::kIncomplete;
  } else if (done != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft == sizeof out - 4) {
    character.kind = CodePageCharacter::Kind::kCharacter;
    character.value = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                            (static_cast<std::uint32_t>(out[3]) << 24));
  }
  return true;
}

}  // namespace mv
