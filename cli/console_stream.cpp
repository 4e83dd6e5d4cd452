// Console text in whole characters: a character cut between two writes waits for its rest.
#include "cli/console_stream.h"

#include "platform/console_text.h"

namespace mv::cli {
namespace {

constexpr std::size_t kFlushBytes = 1 << 16;

// Where the last whole character of text ends: before a lead byte whose continuation bytes
// have not all come yet.
std::size_t WholeCharactersEnd(const std::string& text) {
  std::size_t end = text.size();
  for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (length > back) end = text.size() - back;
    break;
  }
  return end;
}

}  // namespace

ConsoleStream::ConsoleStream(std::ostream& stream, bool errorStream)
    : stream_(stream), errorStream_(errorStream) {
  if (WriteToConsole(errorStream_, {})) original_ = stream_.rdbuf(this);
}

ConsoleStream::~ConsoleStream() {
  if (original_ == nullptr) return;
  sync();
  if (!pending_.empty()) WriteToConsole(errorStream_, pending_);  // a cut character: U+FFFD
  stream_.rdbuf(original_);
}

ConsoleStream::int_type ConsoleStream::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.size() >= kFlushBytes && sync() != 0) return traits_type::eof();
  return c;
}

std::streamsize ConsoleStream::xsputn(const char* bytes, std::streamsize count) {
  pending_.append(bytes, static_cast<std::size_t>(count));
  if (pending_.size() >= kFlushBytes && sync() != 0) return 0;
  return count;
}

int ConsoleStream::sync() {
  const std::size_t end = WholeCharactersEnd(pending_);
  if (end == 0) return 0;
  const bool written = WriteToConsole(errorStream_, std::string_view(pending_).substr(0, end));
  pending_.erase(0, end);
  return written ? 0 : -1;
}

}  // namespace mv::cli
