// Fuzz target: the entry-line reader on its own. Any bytes are split and parsed; and a name
// made of the input, written as the writer writes it, must read back as that name, ";;"
// and all, but for the characters a line cannot hold (CR, LF, bytes of no UTF-8 character,
// and the backslash that separates a path), which are written as "?".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/entry_line.h"
#include "core/parsed_entry.h"
#include "fuzz_check.h"
#include "platform/utf8_text.h"

using mv::fuzz::Check;

namespace {

// Every field is a view into the line.
bool Inside(std::string_view field, std::string_view line) {
  return field.empty() ||
         (field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const mv::EntryFields fields = mv::SplitEntryFields(text);
  for (const std::string_view field : fields) Check(Inside(field, text));
  Check(mv::EntryKind(text) == fields[1]);
  const mv::ParsedEntry parsed = mv::ParseEntryLine(text);
  Check(parsed.fullName.size() <= text.size());
  Check(mv::ParseBareName(text).fullName == text);

  // The input as a name in a folder, written and read back.
  mv::DirEntry entry;
  entry.name = std::string(text);
  entry.attributes = size % 2 == 0 ? mv::kAttrDirectory : mv::kAttrArchive;
  entry.size = size;
  entry.created = {1601 + static_cast<int>(size % 8399), 1 + static_cast<int>(size % 12),
                   1 + static_cast<int>(size % 28)};
  std::string line;
  mv::FormatEntryLine(line, "Sub", entry);
  std::string name = "Sub\\" + entry.name;
  mv::ReplaceInvalidUtf8(name);
  for (std::size_t i = 4; i < name.size(); ++i) {
    if (name[i] == '\r' || name[i] == '\n' || name[i] == '\\') name[i] = '?';
  }
  const mv::EntryFields written = mv::SplitEntryFields(line);
  Check(written[0] == name);
  Check(mv::IsDirectoryType(written[1]) == (size % 2 == 0));
  Check(written[2] == std::to_string(size));
  return 0;
}
