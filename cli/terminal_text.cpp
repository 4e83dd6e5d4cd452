// Control characters made visible for the terminal.
#include "cli/terminal_text.h"

#include <atomic>
#include <charconv>
#include <ostream>

namespace mv::cli {
namespace {

std::atomic<bool> terminalOutput{false};

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
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
    const std::size_t length = Utf8SequenceAt(text, at);
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

void ShownLines::Append(std::string& out, std::string_view text) {
  if (!terminalOutput) {
    out.append(text);
    return;
  }
  held_.append(text);
  // Up to the last ASCII byte but a CR: no character and no line end is cut there.
  std::size_t cut = held_.size();
  while (cut > 0 && (static_cast<unsigned char>(held_[cut - 1]) >= 0x80 || held_[cut - 1] == '\r'))
    --cut;
  Show(out, std::string_view(held_).substr(0, cut));
  held_.erase(0, cut);
}

void ShownLines::Finish(std::string& out) {
  Show(out, held_);
  held_.clear();
}

void ShownLines::Show(std::string& out, std::string_view text) const {
  if (!terminalOutput) {
    out.append(text);
    return;
  }
  for (std::size_t from = 0; from < text.size();) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    const std::size_t body =
        end > from && text[end - 1] == '\r' && end < text.size() ? end - 1 : end;
    AppendVisible(out, text.substr(from, body - from));
    out.append(text.substr(body, end < text.size() ? end + 1 - body : 0));
    from = end + 1;
  }
}

bool ShownNames::Open(const std::optional<std::string>& codePage, std::ostream& err) {
  unsigned number = kDefaultCodePage;
  if (codePage) {
    const char* end = codePage->data() + codePage->size();
    const auto result = std::from_chars(codePage->data(), end, number);
    if (result.ec != std::errc() || result.ptr != end) {
      err << "mirrorvault-cli: --codepage takes a code page number, such as 1252\n";
      return false;
    }
  }
  if (!ansi_.Open(number)) {
    err << "mirrorvault-cli: code page " << number << " is not known on this machine\n";
    return false;
  }
  utf8_ = ansi_.ForEncoding(NameEncoding::kUtf8);
  return true;
}

void ShownNames::Append(std::string& out, std::string_view name, NameEncoding encoding) {
  decoded_.clear();
  (encoding == NameEncoding::kUtf8 ? utf8_ : ansi_).AppendUtf8(name, decoded_);
  AppendShown(out, decoded_);
}

std::string ShownNames::Spelt(std::string_view typed, NameEncoding encoding) const {
  std::string bytes;
  if (encoding == NameEncoding::kAnsi && ansi_.SpellInCodePage(typed, bytes)) return bytes;
  return std::string(typed);
}

}  // namespace mv::cli
