// Standard output and error of mirrorvault-cli on a console that takes characters rather
// than bytes (a Windows console): the UTF-8 the commands print goes there through
// WriteToConsole, so names in any language show as themselves whatever the console's code
// page. Elsewhere, and when the stream is a file or a pipe, the UTF-8 bytes go out unchanged.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace mv::cli {

class ConsoleStream final : public std::streambuf {
 public:
  // Takes over stream while it lives, when it is a console that takes characters.
  ConsoleStream(std::ostream& stream, bool errorStream);
  ~ConsoleStream() override;
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  std::ostream& stream_;
  std::streambuf* original_ = nullptr;  // null unless this took the stream over
  bool errorStream_;
  std::string pending_;  // text not written yet; may end inside a character
};

}  // namespace mv::cli
