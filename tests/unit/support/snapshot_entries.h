// A snapshot's shares and entries without the header, the dates and END, for the tests that
// check what a capture found rather than how it was written.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/parsed_entry.h"

namespace mv::test {

// "SHARENAME: Docs" for each share and "Docs\Sub\a.txt;;f;;10" for each of its entries, in
// file order; the lines are read with the program's own entry reader.
inline std::vector<std::string> SnapshotEntries(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text.substr(text.find("\r\n\r\n") + 4));
  std::string share;
  for (std::string line; std::getline(in, line) && line != "END\r";) {
    line.pop_back();  // the CR
    if (line.starts_with("SHARENAME: ")) {
      share = line.substr(11);
      lines.push_back(line);
      continue;
    }
    const EntryFields fields = SplitEntryFields(line);
    lines.push_back(share + "\\" + std::string(fields[0]) + ";;" + std::string(fields[1]) + ";;" +
                    std::string(fields[2]));
  }
  return lines;
}

}  // namespace mv::test
