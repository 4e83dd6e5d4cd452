// Names between the servers' Unicode (as UTF-8) and a snapshot's ANSI code page, so that the
// Windows program reads them right. A character the code page lacks becomes "?".
#pragma once

#include <iconv.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace mv::smb {

class CodePage {
 public:
  // Null, with the reason in error, when this machine cannot convert to code page number.
  static std::unique_ptr<CodePage> Open(int number, std::string& error);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  // Both return false when a character had to be replaced by "?".
  bool FromUtf8(std::string_view utf8, std::string& ansi) const;
  bool ToUtf8(std::string_view ansi, std::string& utf8) const;

 private:
  CodePage(iconv_t fromUtf8, iconv_t toUtf8) : fromUtf8_(fromUtf8), toUtf8_(toUtf8) {}
  bool Convert(iconv_t converter, bool fromUtf8, std::string_view in, std::string& out) const;

  // A converter keeps state between calls, so each is used by one thread at a time.
  mutable std::mutex mutex_;
  iconv_t fromUtf8_;
  iconv_t toUtf8_;
};

}  // namespace mv::smb
