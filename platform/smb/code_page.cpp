// Code page conversion over iconv, with every ANSI code page's ASCII half passed through
// untouched (most names are plain ASCII).
#include "platform/smb/code_page.h"

#include <cerrno>

namespace mv::smb {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Bytes of the UTF-8 sequence that lead starts, so that a character the code page lacks
// is replaced whole.
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::unique_ptr<CodePage> CodePage::Open(int number, std::string& error) {
  const std::string name = "CP" + std::to_string(number);
  const iconv_t from = iconv_open(name.c_str(), "UTF-8");
  const iconv_t to = from == kNoConverter ? kNoConverter : iconv_open("UTF-8", name.c_str());
  if (from == kNoConverter || to == kNoConverter) {
    if (from != kNoConverter) iconv_close(from);
    error = "code page " + std::to_string(number) + " is not known on this machine";
    return nullptr;
  }
  return std::unique_ptr<CodePage>(new CodePage(from, to));
}

CodePage::~CodePage() {
  iconv_close(fromUtf8_);
  iconv_close(toUtf8_);
}

bool CodePage::FromUtf8(std::string_view utf8, std::string& ansi) const {
  return Convert(fromUtf8_, true, utf8, ansi);
}

bool CodePage::ToUtf8(std::string_view ansi, std::string& utf8) const {
  return Convert(toUtf8_, false, ansi, utf8);
}

bool CodePage::Convert(iconv_t converter, bool fromUtf8, std::string_view in,
                       std::string& out) const {
  if (IsAscii(in)) {
    out.assign(in);
    return true;
  }
  std::lock_guard lock(mutex_);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  out.assign(in.size() * 4 + 8, '\0');  // room for the longest UTF-8 of any byte
  char* source = const_cast<char*>(in.data());
  std::size_t sourceLeft = in.size();
  char* target = out.data();
  std::size_t targetLeft = out.size();
  bool whole = true;
  while (sourceLeft > 0) {
    if (iconv(converter, &source, &sourceLeft, &target, &targetLeft) != static_cast<size_t>(-1)) {
      break;
    }
    if (errno == E2BIG || targetLeft == 0) break;  // cannot happen with the room above
    // A character the other side lacks, or a broken sequence: one "?" for it.
    const std::size_t skip = fromUtf8 ? Utf8SequenceLength(static_cast<unsigned char>(*source)) : 1;
    source += skip < sourceLeft ? skip : sourceLeft;
    sourceLeft -= skip < sourceLeft ? skip : sourceLeft;
    *target++ = '?';
    --targetLeft;
    whole = false;
  }
  iconv(converter, nullptr, nullptr, &target, &targetLeft);
  out.resize(out.size() - targetLeft);
  return whole;
}

}  // namespace mv::smb
