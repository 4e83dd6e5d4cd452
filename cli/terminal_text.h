// Names on their way to a terminal. File names come from servers and shares that others
// control; a name holding ESC or another control character would otherwise steer the
// terminal (move the cursor, retitle the window, hide the rest of a line). Written to a
// terminal, such characters are shown as \xHH; written to a file or a pipe, names stay as
// they are.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page_text.h"
#include "core/snapshot_format.h"

namespace mv::cli {

// Whether a lone byte 0x80-0x9F is a control character where the output is shown: on Linux
// terminals (UTF-8, where it is no character, or Latin-1, where it is a C1 control) it is;
// a Windows console shows it as a character of its code page ("\x80" is the euro sign in
// 1252), so there it stays.
#ifdef _WIN32
inline constexpr bool kEscapesC1Bytes = false;
#else
inline constexpr bool kEscapesC1Bytes = true;
#endif

// Whether find, ls, info, diff and export make control characters visible. main sets it when
// standard output is a terminal; off otherwise, so that the bytes piped on are the names
// themselves.
void SetTerminalOutput(bool terminal);
bool TerminalOutput();

// Appends text to out, with each control character as \xHH when the output is a terminal:
// C0 (0x00-0x1F), DEL, and the C1 controls (U+0080-U+009F written in UTF-8, and where
// kEscapesC1Bytes a byte 0x80-0x9F that is no part of a UTF-8 character), so that neither
// 7-bit nor 8-bit escape sequences get through.
void AppendShown(std::string& out, std::string_view text);

// AppendShown into a fresh string, escaping whether or not the output is a terminal.
std::string VisibleText(std::string_view text);

// Lines of text that go out in pieces cut anywhere (an export), shown as AppendShown shows
// names but for the line ends (LF, CR LF), which stay. What cannot be judged before the next
// piece (a CR, the start of a character) waits for it.
class ShownLines {
 public:
  // Appends to out what of text can be shown now.
  void Append(std::string& out, std::string_view text);
  // Appends what still waits: the text has ended.
  void Finish(std::string& out);

 private:
  void Show(std::string& out, std::string_view text) const;
  std::string held_;
};

// Names from inside snapshots on their way out: decoded from each snapshot's encoding into
// UTF-8 (the ANSI code page through the decoder of --codepage N, default 1252), then shown as
// AppendShown shows them. The command line prints UTF-8 everywhere; a Windows console gets
// the same text in its own characters (main.cpp).
class ShownNames {
 public:
  // Takes the value of --codepage (none: the default). False, with a message on err, for a
  // value that is no number or a code page this machine does not know.
  bool Open(const std::optional<std::string>& codePage, std::ostream& err);

  const CodePageDecoder& ansi() const { return ansi_; }
  // The name in UTF-8, as AppendShown would append it.
  void Append(std::string& out, std::string_view name, NameEncoding encoding);
  // A name typed on the command line (UTF-8) as the snapshot spells it; as typed when the
  // code page cannot spell it, which then matches nothing there.
  std::string Spelt(std::string_view typed, NameEncoding encoding) const;

 private:
  CodePageDecoder ansi_, utf8_;
  std::string decoded_;
};

}  // namespace mv::cli
