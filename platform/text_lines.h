// Small line-oriented text files (network descriptions, authentication files): their lines
// in order, numbered from 1, each without the blanks around it.
#pragma once

#include <string_view>

namespace mv {

// Blank, tab, or the CR of a CR LF line end.
bool IsBlankChar(char c);
std::string_view TrimBlanks(std::string_view text);

class TextLines {
 public:
  explicit TextLines(std::string_view text) : rest_(text) {}
  // The next line, trimmed; false after the last one.
  bool Next(std::string_view& line);
  int number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
};

}  // namespace mv
