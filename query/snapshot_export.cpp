// Writing a snapshot's entries as CSV, EFU or JSON Lines: the share sections are cut into
// pieces of a quarter megabyte, each read from the file, formatted by one of a few workers
// and written in order, so memory holds a few pieces whatever the size of the file.
#include "query/snapshot_export.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/byte_words.h"
#include "core/snapshot_format.h"
#include "query/html_export.h"
#include "query/ordered_work.h"

namespace mv {
namespace {

// Text of one piece of work: its rows are still in the cache when they are written.
constexpr std::size_t kPieceBytes = std::size_t{1} << 18;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCsvHeader = "Share,Path,Name,Kind,Size,Created\r\n";
constexpr std::string_view kEfuHeader = "Filename,Size,Date Modified,Date Created,Attributes\r\n";
constexpr std::string_view kCsvRowEnd = "\r\n";
constexpr std::string_view kEfuDirectoryAttributes = "16";
constexpr std::string_view kEfuFileAttributes = "0";
constexpr int kFirstYear = 1601;  // where FILETIME starts
constexpr int kLastYear = 9999;   // the last year of four digits
constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr std::uint64_t kFileTimeTicksPerDay = 864000000000;  // 100 ns ticks

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

bool IsNumber(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// month.day.year, naming a real day of the years FILETIME and four digits can hold.
bool ParseCreatedDate(std::string_view text, CalendarDate& date) {
  int parts[3] = {0, 0, 0};
  std::size_t part = 0, digits = 0;
  for (const char c : text) {
    if (c == kDateSeparator && digits > 0 && part < 2) {
      ++part;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < 4) {
      parts[part] = parts[part] * 10 + (c - '0');
      ++digits;
    } else {
      return false;
    }
  }
  if (part != 2 || digits == 0) return false;
  date = {parts[2], parts[0], parts[1]};
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < kFirstYear || date.year > kLastYear || date.month < 1 || date.month > 12) {
    return false;
  }
  const int days = kDaysInMonth[date.month - 1] + (date.month == 2 && IsLeapYear(date.year));
  return date.day >= 1 && date.day <= days;
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
std::int64_t DaysSince1970(const CalendarDate& date) {
  const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = y / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear =
      (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void AppendNumber(std::uint64_t value, std::string& out) {
  char digits[20];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

void AppendIsoDate(const CalendarDate& date, std::string& out) {
  const char text[10] = {static_cast<char>('0' + date.year / 1000),
                         static_cast<char>('0' + date.year / 100 % 10),
                         static_cast<char>('0' + date.year / 10 % 10),
                         static_cast<char>('0' + date.year % 10),
                         '-',
                         static_cast<char>('0' + date.month / 10),
                         static_cast<char>('0' + date.month % 10),
                         '-',
                         static_cast<char>('0' + date.day / 10),
                         static_cast<char>('0' + date.day % 10)};
  out.append(text, sizeof text);
}

// The first characters that make a spreadsheet read a field as a formula.
bool StartsLikeFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
      return true;
    default:
      return false;
  }
}

bool IsPlainCsvByte(char c) {
  return static_cast<unsigned char>(c) < 0x80 && c != ',' && c != '"' && c != '\r' && c != '\n';
}

// A field that needs neither quotes nor decoding goes out as it is. Checked a word at a time:
// nearly every field is plain.
bool IsPlainCsv(std::string_view text) {
  std::size_t i = 0;
  if constexpr (words::kUsable) {
    for (; i + 8 <= text.size(); i += 8) {
      const std::uint64_t word = words::Load(text.data() + i);
      if (((word & words::kHighBits) | words::BytesEqual(word, ',') | words::BytesEqual(word, '"') |
           words::BytesEqual(word, '\r') | words::BytesEqual(word, '\n')) != 0) {
        return false;
      }
    }
  }
  for (; i < text.size(); ++i) {
    if (!IsPlainCsvByte(text[i])) return false;
  }
  return true;
}

// A stretch of one share section, exported as one piece by one worker: the lines that begin
// in [first, last) of the file.
struct Piece {
  const ShareSection* section = nullptr;
  std::uint64_t first = 0, last = 0;
};

// Pieces of about kPieceBytes, cut at fixed offsets; a line belongs to the piece it begins in.
std::vector<Piece> CutIntoPieces(const SnapshotLayout& layout) {
  std::vector<Piece> pieces;
  for (const ShareSection& section : layout.shares) {
    for (std::uint64_t at = section.begin; at < section.end; at += kPieceBytes) {
      pieces.push_back({&section, at, std::min<std::uint64_t>(section.end, at + kPieceBytes)});
    }
  }
  return pieces;
}

std::string_view HeaderOf(ExportFormat format) {
  switch (format) {
    case ExportFormat::kCsv:
      return kCsvHeader;
    case ExportFormat::kEfu:
      return kEfuHeader;
    case ExportFormat::kJsonLines:
    case ExportFormat::kHtml:
      break;
  }
  return {};
}

// Formats the rows of pieces; one per worker, each with its own decoder and scratch text.
class RowWriter {
 public:
  RowWriter(ExportFormat format, const CodePageDecoder& decoder, const SnapshotLayout& layout,
            CsvFields csvFields)
      : format_(format),
        decoder_(decoder),
        layout_(layout),
        guardFormulas_(format == ExportFormat::kCsv && csvFields == CsvFields::kSpreadsheetSafe) {}

  // The rows of piece, into out (emptied first; its storage is reused). False when the
  // piece cannot be read.
  bool Write(const Piece& piece, std::string& out) {
    out.clear();
    if (!ReadLinesBeginningIn(*layout_.file, piece.section->begin, piece.section->end, piece.first,
                              piece.last, lines_)) {
      return false;
    }
    rows_ = &out;
    // The share's field is the same on every row of its section.
    share_.clear();
    if (format_ == ExportFormat::kJsonLines) {
      JsonString(piece.section->name, share_);
    } else {
      CsvField(piece.section->name, share_);
    }
    ForEachEntryIn(lines_, ShapeOfLines(lines_), [&](std::string_view, const SnapshotEntry& entry) {
      switch (format_) {
        case ExportFormat::kCsv:
          CsvRow(entry);
          break;
        case ExportFormat::kEfu:
          EfuRow(piece.section->name, entry);
          break;
        case ExportFormat::kJsonLines:
          JsonRow(entry);
          break;
        case ExportFormat::kHtml:
          break;
      }
    });
    return true;
  }

 private:
  // The characters that start a formula are ASCII, which every code page keeps as it is, so
  // the raw first byte tells.
  void CsvField(std::string_view raw, std::string& out) {
    const bool guard = guardFormulas_ && StartsLikeFormula(raw);
    if (IsPlainCsv(raw)) {
      if (guard) out += '\'';
      out.append(raw);
      return;
    }
    scratch_.clear();
    decoder_.AppendUtf8(raw, scratch_);
    if (scratch_.find_first_of(",\"\r\n") == std::string::npos) {
      if (guard) out += '\'';
      out += scratch_;
      return;
    }
    out += '"';
    if (guard) out += '\'';
    for (const char c : scratch_) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }

  void JsonString(std::string_view raw, std::string& out) {
    scratch_.clear();
    decoder_.AppendUtf8(raw, scratch_);
    AppendJsonText(scratch_, out);
  }

  void CsvRow(const SnapshotEntry& entry) {
    Rows() += share_;
    Rows() += ',';
    CsvField(entry.directory, Rows());
    Rows() += ',';
    CsvField(entry.name, Rows());
    Rows().append(entry.isDirectory ? ",directory," : ",file,");
    if (IsNumber(entry.size)) Rows().append(entry.size);
    Rows() += ',';
    if (CalendarDate date; ParseCreatedDate(entry.created, date)) AppendIsoDate(date, Rows());
    Rows().append(kCsvRowEnd);
  }

  void EfuRow(std::string_view share, const SnapshotEntry& entry) {
    livePath_.clear();
    AppendLivePath(livePath_, layout_.computer, share, entry.path);
    CsvField(livePath_, Rows());
    Rows() += ',';
    if (IsNumber(entry.size)) Rows().append(entry.size);
    Rows().append(",,");  // no date of last change is kept
    if (CalendarDate date; ParseCreatedDate(entry.created, date)) {
      AppendNumber(static_cast<std::uint64_t>(DaysSince1970(date) + kDaysFrom1601To1970) *
                       kFileTimeTicksPerDay,
                   Rows());
    }
    Rows() += ',';
    Rows().append(entry.isDirectory ? kEfuDirectoryAttributes : kEfuFileAttributes);
    Rows().append(kCsvRowEnd);
  }

  void JsonRow(const SnapshotEntry& entry) {
    Rows().append("{\"share\":");
    Rows() += share_;
    Rows().append(",\"path\":");
    JsonString(entry.directory, Rows());
    Rows().append(",\"name\":");
    JsonString(entry.name, Rows());
    Rows().append(entry.isDirectory ? ",\"kind\":\"directory\",\"size\":"
                                    : ",\"kind\":\"file\",\"size\":");
    if (IsNumber(entry.size)) {
      // JSON numbers have no leading zeros.
      const std::size_t digits = entry.size.find_first_not_of('0');
      Rows().append(digits == std::string_view::npos ? "0" : entry.size.substr(digits));
    } else {
      Rows().append("null");
    }
    Rows().append(",\"created\":");
    if (CalendarDate date; ParseCreatedDate(entry.created, date)) {
      Rows() += '"';
      AppendIsoDate(date, Rows());
      Rows() += '"';
    } else {
      Rows().append("null");
    }
    Rows().append("}\n");
  }

  ExportFormat format_;
  CodePageDecoder decoder_;
  const SnapshotLayout& layout_;
  bool guardFormulas_;
  std::string& Rows() { return *rows_; }
  std::string* rows_ = nullptr;  // the piece being written
  std::string lines_, share_, scratch_, livePath_;
};

}  // namespace

void AppendJsonText(std::string_view utf8, std::string& out) {
  out += '"';
  for (const char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out.append("\\u00");
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

std::optional<ExportFormat> ExportFormatNamed(std::string_view name) {
  if (name == "csv") return ExportFormat::kCsv;
  if (name == "efu") return ExportFormat::kEfu;
  if (name == "json") return ExportFormat::kJsonLines;
  if (name == "html") return ExportFormat::kHtml;
  return std::nullopt;
}

bool ExportSnapshot(const SnapshotLayout& layout, ExportFormat format,
                    const CodePageDecoder& ansiNames, ByteSink& sink, unsigned threads,
                    CsvFields csvFields) {
  const CodePageDecoder decoder = ansiNames.ForEncoding(layout.encoding);
  if (format == ExportFormat::kHtml) return ExportHtmlPage(layout, decoder, sink);
  std::string head(format == ExportFormat::kCsv ? kUtf8ByteOrderMark : "");
  head.append(HeaderOf(format));
  if (!head.empty() && !sink.Write(head)) return false;
  const std::vector<Piece> pieces = CutIntoPieces(layout);
  const unsigned workers = WorkerCount(threads, pieces.size());
  std::vector<RowWriter> writers(workers, RowWriter(format, decoder, layout, csvFields));
  // Rows go out in buffers that come back once written: fresh memory for every piece would
  // cost more, in page faults, than formatting the rows.
  std::mutex spareMutex;
  std::vector<std::string> spare;
  bool written = true;
  std::atomic<bool> unread{false};
  RunInOrder<std::string>(
      pieces.size(), workers,
      [&](std::size_t index, unsigned worker) {
        std::string rows;
        {
          const std::lock_guard lock(spareMutex);
          if (!spare.empty()) {
            rows = std::move(spare.back());
            spare.pop_back();
          }
        }
        if (!writers[worker].Write(pieces[index], rows)) unread = true;
        return rows;
      },
      [&](std::size_t, std::string rows) {
        written = !unread && (rows.empty() || sink.Write(rows));
        const std::lock_guard lock(spareMutex);
        spare.push_back(std::move(rows));
        return written;
      },
      &unread);
  return written && !unread;
}

}  // namespace mv
