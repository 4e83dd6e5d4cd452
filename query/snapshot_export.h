// Export of a snapshot's entries as a list for other programs: CSV (RFC 4180, for
// spreadsheets), EFU (the CSV file list that desktop search tools import), JSON Lines, and
// one self-contained web page (query/html_export.h). Text becomes UTF-8 on the way out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/code_page_text.h"
#include "query/snapshot_scan.h"

namespace mv {

enum class ExportFormat { kCsv, kEfu, kJsonLines, kHtml };

// "csv", "efu", "json" or "html"; none for another name.
std::optional<ExportFormat> ExportFormatNamed(std::string_view name);

// Appends UTF-8 text as a JSON string, in quotes, with '"', '\' and control characters
// escaped, as the JSON Lines export writes its fields.
void AppendJsonText(std::string_view utf8, std::string& out);

// How CSV fields are written. A spreadsheet takes a field that begins with "=", "+", "-" or
// "@" (and, in some, a tab or a CR) for a formula, and file names come from others: a file
// named "=HYPERLINK(...)" would be a live link in the sheet. kSpreadsheetSafe puts an
// apostrophe before such a field, which spreadsheets read as "text follows" and do not show.
enum class CsvFields { kAsTheyAre, kSpreadsheetSafe };

// Where an export goes: a file, or the standard output.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be written; the export then stops.
  virtual bool Write(std::string_view bytes) = 0;
};

// Writes every entry of an accepted snapshot, in file order: share, share-relative directory
// path, name, kind, size and created date (CSV and JSON Lines); full live path, size and
// created date (EFU). A created date that names no day of the years 1601 to 9999, or a size
// that is not a number, is left empty. False when the sink failed.
// Rows are formatted on up to threads workers (0: one per processor) and written in order.
// csvFields applies to CSV only. Names become UTF-8 in the snapshot's own encoding: through
// ansiNames when it has none declared, kept (if well-formed) when it declares UTF-8.
bool ExportSnapshot(const SnapshotLayout& layout, ExportFormat format,
                    const CodePageDecoder& ansiNames, ByteSink& sink, unsigned threads = 0,
                    CsvFields csvFields = CsvFields::kAsTheyAre);

}  // namespace mv
