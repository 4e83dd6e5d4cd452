// Control characters made visible for the terminal.
#include "cli/terminal_text.h"

#include <atomic>

namespace mv::cli {
namespace {

std::atomic<bool> terminalOutput{false};

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at text[at] (two bytes and more), or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  }
  return length;
}

void AppendVisible(std::string& out, std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (byte < 0x20 || byte == 0x7F) {
        AppendEscaped(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++at;
      continue;
    }
    const std::size_t length = Utf8Length(text, at);
    if (length == 0) {
      // A byte of a code page: one of 0x80-0x9F is a C1 control where Latin-1 is shown.
      if (kEscapesC1Bytes && byte <= 0x9F) {
        AppendEscaped(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++at;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
      AppendEscaped(out, byte);  // U+0080-U+009F
      AppendEscaped(out, static_cast<unsigned char>(text[at + 1]));
      at += 2;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
}

}  // namespace

void SetTerminalOutput(bool terminal) {
  terminalOutput = terminal;
}

bool TerminalOutput() {
  return terminalOutput;
}

void AppendShown(std::string& out, std::string_view text) {
  if (terminalOutput) {
    AppendVisible(out, text);
  } else {
    out.append(text);
  }
}

std::string VisibleText(std::string_view text) {
  std::string out;
  AppendVisible(out, text);
  return out;
}

}  // namespace mv::cli
