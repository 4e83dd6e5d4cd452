// Snapshot texts for the tests: built from their lines as the writer writes them, and read
// back into shares and entries, without the header, the dates and END.
#pragma once

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page_text.h"
#include "core/parsed_entry.h"

namespace mv::test {

// The command line's default reading of ANSI snapshots (code page 1252).
inline const CodePageDecoder& Latin1() {
  static const CodePageDecoder decoder = [] {
    CodePageDecoder opened;
    opened.Open(kDefaultCodePage);
    return opened;
  }();
  return decoder;
}

// Joins lines, each ended by CR LF, as the writer writes them.
inline std::string SnapshotText(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

inline std::string HeaderText(std::string_view computer = "PC7") {
  std::string text = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: ";
  text += computer;
  text += "\r\nGROUP: WORKGROUP\r\nDATE CREATED: 05.12.2026 09:04:05\r\n\r\n";
  return text;
}

// The complete small file of the format's documentation.
inline const std::string kSampleSnapshot =
    HeaderText() +
    SnapshotText({"SHARENAME: Docs", "a.txt;;f;;10;;3.15.2010", "Sub;;d;;0;;6.1.2009",
                  "Zed;;d;;0;;6.1.2009", "Sub\\b.iso;;f;;5368709120;;6.2.2009",
                  "Sub\\Deep;;d;;0;;6.2.2009", "Sub\\Deep\\c.txt;;f;;0;;6.3.2009",
                  "Zed\\d.txt;;f;;40;;7.4.2009", "SHARENAME: Music", "END"});

// "SHARENAME: Docs" for each share and "Docs\Sub\a.txt;;f;;10" for each of its entries, in
// file order; the lines are read with the program's own entry reader.
inline std::vector<std::string> SnapshotEntries(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text.substr(text.find("\r\n\r\n") + 4));
  std::string share;
  for (std::string line; std::getline(in, line) && line != "END\r";) {
    line.pop_back();  // the CR
    const bool header = line.starts_with("SHARENAME: ");
    if (header) share = line.substr(11);
    const EntryFields f = SplitEntryFields(line);
    lines.push_back(header ? line
                           : share + "\\" + std::string(f[0]) + ";;" + std::string(f[1]) + ";;" +
                                 std::string(f[2]));
  }
  return lines;
}

}  // namespace mv::test
