// Line by line through a small text file.
#include "platform/text_lines.h"

namespace mv {

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

bool TextLines::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  ++number_;
  const std::size_t end = rest_.find('\n');
  line = TrimBlanks(rest_.substr(0, end));
  rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
  return true;
}

}  // namespace mv
