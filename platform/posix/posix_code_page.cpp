// The code-page port on Linux: iconv from "CP<number>" to UTF-32LE; and its inverse, a table
// of every character the code page holds, built once per code page by decoding each byte
// and each two-byte sequence, so that only exact forms are ever written.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/code_page.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t OpenDecoder(unsigned codePage) {
  const std::string name = "CP" + std::to_string(codePage);
  return iconv_open("UTF-32LE", name.c_str());
}

void Decode(iconv_t converter, std::string_view bytes, CodePageCharacter& character) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string in(bytes);
  unsigned char out[8] = {};
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof out;
  const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  const int error = errno;
  character = CodePageCharacter{};
  if (done == static_cast<std::size_t>(-1) && error == EINVAL) {
    character.kind = CodePageCharacter::Kind::kIncomplete;
  } else if (done != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft == sizeof out - 4) {
    character.kind = CodePageCharacter::Kind::kCharacter;
    character.value = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                            (static_cast<std::uint32_t>(out[3]) << 24));
  }
}

// Every character beyond ASCII that the code page holds, with its bytes: one byte below
// 0x100, a lead byte and a trail byte above.
struct EncodeTable {
  std::unordered_map<char32_t, std::uint16_t> forms;
};

// The lowest and highest trail byte of any two-byte code page of Windows.
constexpr unsigned kFirstTrail = 0x21;
constexpr unsigned kLastTrail = 0xFE;

std::unique_ptr<EncodeTable> BuildTable(unsigned codePage) {
  const iconv_t converter = OpenDecoder(codePage);
  if (converter == kNoConverter) return nullptr;
  auto table = std::make_unique<EncodeTable>();
  // The first form found of a character is kept: the shortest, then the lowest.
  auto keep = [&](char32_t value, unsigned form) { table->forms.emplace(value, form); };
  std::vector<unsigned> leads;
  CodePageCharacter character;
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    const char byte = static_cast<char>(b);
    Decode(converter, std::string_view(&byte, 1), character);
    if (character.kind == CodePageCharacter::Kind::kCharacter) keep(character.value, b);
    if (character.kind == CodePageCharacter::Kind::kIncomplete) leads.push_back(b);
  }
  for (const unsigned lead : leads) {
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      Decode(converter, std::string_view(pair, 2), character);
      if (character.kind == CodePageCharacter::Kind::kCharacter && character.value >= 0x80) {
        keep(character.value, (lead << 8) | trail);
      }
    }
  }
  iconv_close(converter);
  return table;
}

// The table of codePage, built on first use; null when iconv does not know it. Tables stay
// for the life of the process.
const EncodeTable* TableOf(unsigned codePage) {
  thread_local unsigned lastCodePage = 0;
  thread_local const EncodeTable* lastTable = nullptr;
  if (lastTable != nullptr && lastCodePage == codePage) return lastTable;
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<EncodeTable>> tables;
  std::lock_guard lock(mutex);
  auto found = tables.find(codePage);
  if (found == tables.end()) found = tables.emplace(codePage, BuildTable(codePage)).first;
  lastCodePage = codePage;
  lastTable = found->second.get();
  return lastTable;
}

}  // namespace

bool DecodeCodePageCharacter(unsigned codePage, std::string_view bytes,
                             CodePageCharacter& character) {
  const iconv_t converter = OpenDecoder(codePage);
  if (converter == kNoConverter) return false;
  Decode(converter, bytes, character);
  iconv_close(converter);
  return true;
}

bool EncodeCodePageText(unsigned codePage, std::string_view utf8, std::string& out) {
  const EncodeTable* table = TableOf(codePage);
  if (table == nullptr) return false;
  std::size_t at = 0;
  while (at < utf8.size()) {
    char32_t value = 0;
    if (!NextCodePoint(utf8, at, value)) return false;
    if (value < 0x80) {
      out += static_cast<char>(value);
      continue;
    }
    const auto found = table->forms.find(value);
    if (found == table->forms.end()) return false;
    if (found->second >= 0x100) out += static_cast<char>(found->second >> 8);
    out += static_cast<char>(found->second & 0xFF);
  }
  return true;
}

unsigned SystemAnsiCodePage() {
  return 1252;
}

}  // namespace mv
