// Reading and writing the schedules file and the runs file.
#include "capture/schedule_file.h"

#include <charconv>

#include "core/text.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

// One line of a sectioned file: a section name, a key and value, or nothing.
struct IniLine {
  enum Kind { kNothing, kSection, kValue, kBad } kind = kNothing;
  std::string_view section, key, value;
};

IniLine ReadIniLine(std::string_view line) {
  IniLine parsed;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.remove_suffix(1);
  }
  std::size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  line.remove_prefix(at);
  if (line.empty() || line[0] == '#' || line[0] == ';') return parsed;
  if (line[0] == '[') {
    if (line.back() != ']') {
      parsed.kind = IniLine::kBad;
      return parsed;
    }
    parsed.kind = IniLine::kSection;
    parsed.section = line.substr(1, line.size() - 2);
    return parsed;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    parsed.kind = IniLine::kBad;
    return parsed;
  }
  parsed.kind = IniLine::kValue;
  parsed.key = line.substr(0, equals);
  while (!parsed.key.empty() && (parsed.key.back() == ' ' || parsed.key.back() == '\t')) {
    parsed.key.remove_suffix(1);
  }
  parsed.value = line.substr(equals + 1);
  while (!parsed.value.empty() && (parsed.value[0] == ' ' || parsed.value[0] == '\t')) {
    parsed.value.remove_prefix(1);
  }
  return parsed;
}

// Walks the lines of text, giving each with its number; stops at the first false.
template <typename Visit>
bool ForEachLine(std::string_view text, ScheduleFileError& error, Visit visit) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int number = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(from, end - from);
    ++number;
    std::string checked(line);
    if (ReplaceInvalidUtf8(checked) || line.find('\0') != std::string_view::npos) {
      error = {number, "not UTF-8 text"};
      return false;
    }
    const IniLine parsed = ReadIniLine(line);
    if (parsed.kind == IniLine::kBad) {
      error = {number, "neither [name] nor key=value"};
      return false;
    }
    if (!visit(parsed, number)) return false;
    from = end + 1;
  }
  return true;
}

bool ReadCount(std::string_view text, int& count) {
  int number = 0;
  const auto [stop, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (problem != std::errc() || stop != text.data() + text.size() || number < 1 ||
      number > kMaxRetentionNumber) {
    return false;
  }
  count = number;
  return true;
}

bool IsOneLine(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

std::string ScheduleFileError::Text(std::string_view fileName) const {
  std::string text(fileName);
  if (line > 0) text += ", line " + std::to_string(line);
  return text + ": " + message;
}

bool ParseSchedules(std::string_view text, std::vector<Schedule>& schedules,
                    ScheduleFileError& error) {
  std::vector<Schedule> parsed;
  std::vector<bool> hasWhen;
  std::vector<int> startLine;
  auto finishLast = [&]() {
    if (parsed.empty()) return true;
    const Schedule& last = parsed.back();
    if (!hasWhen.back()) {
      error = {startLine.back(), "schedule '" + last.name + "' has no when="};
      return false;
    }
    if (last.groups.empty() && last.computers.empty() && last.shares.empty()) {
      error = {startLine.back(),
               "schedule '" + last.name + "' names no group=, computer= or share="};
      return false;
    }
    return true;
  };
  const bool read = ForEachLine(text, error, [&](const IniLine& line, int number) {
    if (line.kind == IniLine::kNothing) return true;
    if (line.kind == IniLine::kSection) {
      if (!finishLast()) return false;
      if (!IsValidScheduleName(line.section)) {
        error = {number, "not a schedule name: '" + std::string(line.section) + "'"};
        return false;
      }
      for (const Schedule& other : parsed) {
        if (EqualsIgnoreCase(other.name, line.section)) {
          error = {number, "a second schedule '" + std::string(line.section) + "'"};
          return false;
        }
      }
      parsed.emplace_back().name = line.section;
      hasWhen.push_back(false);
      startLine.push_back(number);
      return true;
    }
    if (parsed.empty()) {
      error = {number, "a key before the first [schedule]"};
      return false;
    }
    Schedule& s = parsed.back();
    const std::string key(line.key);
    const std::string_view value = line.value;
    bool good = true;
    if (key == "group" || key == "computer") {
      good = !value.empty();
      (key == "group" ? s.groups : s.computers).emplace_back(value);
    } else if (key == "share") {
      const std::size_t slash = value.find('\\');
      good = slash != std::string_view::npos && slash > 0 && slash + 1 < value.size() &&
             value.find('\\', slash + 1) == std::string_view::npos;
      s.shares.emplace_back(value);
    } else if (key == "when") {
      good = !hasWhen.back() && ParseScheduleWhen(value, s.when);
      hasWhen.back() = true;
    } else if (key == "keep-last") {
      good = ReadCount(value, s.retention.keepLast);
    } else if (key == "keep-daily") {
      good = ReadCount(value, s.retention.keepDaily);
    } else if (key == "keep-weekly") {
      good = ReadCount(value, s.retention.keepWeekly);
    } else if (key == "keep-monthly") {
      good = ReadCount(value, s.retention.keepMonthly);
    } else if (key == "keep-within") {
      RetentionSpan span;
      good = ParseRetentionSpan(value, span);
      s.retention.keepWithin = span;
    } else {
      error = {number, "unknown key '" + key + "'"};
      return false;
    }
    if (!good) {
      error = {number, "wrong value for " + key + ": '" + std::string(value) + "'"};
      return false;
    }
    return true;
  });
  if (!read || !finishLast()) return false;
  schedules = std::move(parsed);
  return true;
}

std::string FormatSchedules(const std::vector<Schedule>& schedules) {
  std::string text =
      "# Mirrorvault schedules: one [section] per schedule. Keys: group=, computer=,\n"
      "# share=COMPUTER\\SHARE (each repeatable), when=daily HH:MM | weekdays mon,tue,...\n"
      "# HH:MM | every Nh from HH:MM, and keep-last=, keep-daily=, keep-weekly=,\n"
      "# keep-monthly=, keep-within= (30d, 2w, 6m, 1y, 12h).\n";
  for (const Schedule& s : schedules) {
    text += "\n[" + s.name + "]\n";
    for (const std::string& group : s.groups) {
      if (IsOneLine(group)) text += "group=" + group + "\n";
    }
    for (const std::string& computer : s.computers) {
      if (IsOneLine(computer)) text += "computer=" + computer + "\n";
    }
    for (const std::string& share : s.shares) {
      if (IsOneLine(share)) text += "share=" + share + "\n";
    }
    text += "when=" + ScheduleWhenText(s.when) + "\n";
    const RetentionPolicy& r = s.retention;
    if (r.keepLast > 0) text += "keep-last=" + std::to_string(r.keepLast) + "\n";
    if (r.keepDaily > 0) text += "keep-daily=" + std::to_string(r.keepDaily) + "\n";
    if (r.keepWeekly > 0) text += "keep-weekly=" + std::to_string(r.keepWeekly) + "\n";
    if (r.keepMonthly > 0) text += "keep-monthly=" + std::to_string(r.keepMonthly) + "\n";
    if (r.keepWithin) text += "keep-within=" + RetentionSpanText(*r.keepWithin) + "\n";
  }
  return text;
}

std::optional<LocalTime> ScheduleRuns::Reference() const {
  if (!runs.empty()) return runs.back().started;
  return seen;
}

bool ParseScheduleRuns(std::string_view text, std::vector<ScheduleRuns>& runs,
                       ScheduleFileError& error) {
  std::vector<ScheduleRuns> parsed;
  const bool read = ForEachLine(text, error, [&](const IniLine& line, int number) {
    if (line.kind == IniLine::kNothing) return true;
    if (line.kind == IniLine::kSection) {
      parsed.emplace_back().name = line.section;
      return true;
    }
    if (parsed.empty()) {
      error = {number, "a key before the first [schedule]"};
      return false;
    }
    ScheduleRuns& r = parsed.back();
    LocalTime time;
    if (line.key == "seen" && ParseScheduleTime(line.value, time)) {
      r.seen = time;
      return true;
    }
    if (line.key == "run") {
      // start;end;ok|failed;outcome, the outcome holding any further ';'.
      const std::string_view v = line.value;
      const std::size_t a = v.find(';');
      const std::size_t b = a == std::string_view::npos ? a : v.find(';', a + 1);
      const std::size_t c = b == std::string_view::npos ? b : v.find(';', b + 1);
      ScheduleRunRecord record;
      if (c != std::string_view::npos && ParseScheduleTime(v.substr(0, a), record.started) &&
          ParseScheduleTime(v.substr(a + 1, b - a - 1), record.ended)) {
        const std::string_view state = v.substr(b + 1, c - b - 1);
        if (state == "ok" || state == "failed") {
          record.ok = state == "ok";
          record.outcome = v.substr(c + 1);
          AddScheduleRun(r, std::move(record));
          return true;
        }
      }
    }
    error = {number, "not a seen= or run= line"};
    return false;
  });
  if (!read) return false;
  runs = std::move(parsed);
  return true;
}

std::string FormatScheduleRuns(const std::vector<ScheduleRuns>& runs) {
  std::string text = "# Mirrorvault schedule runs: start;end;ok|failed;outcome, oldest first.\n";
  for (const ScheduleRuns& r : runs) {
    if (!IsValidScheduleName(r.name)) continue;
    text += "\n[" + r.name + "]\n";
    if (r.seen) text += "seen=" + ScheduleTimeText(*r.seen) + "\n";
    for (const ScheduleRunRecord& run : r.runs) {
      std::string outcome = run.outcome;
      for (char& c : outcome) {
        if (c == '\r' || c == '\n') c = ' ';
      }
      text += "run=" + ScheduleTimeText(run.started) + ";" + ScheduleTimeText(run.ended) + ";" +
              (run.ok ? "ok" : "failed") + ";" + outcome + "\n";
    }
  }
  return text;
}

ScheduleRuns& RunsOf(std::vector<ScheduleRuns>& runs, std::string_view name) {
  for (ScheduleRuns& r : runs) {
    if (EqualsIgnoreCase(r.name, name)) return r;
  }
  ScheduleRuns& added = runs.emplace_back();
  added.name = name;
  return added;
}

void AddScheduleRun(ScheduleRuns& runs, ScheduleRunRecord record) {
  runs.runs.push_back(std::move(record));
  if (runs.runs.size() > kKeptRunsPerSchedule) {
    runs.runs.erase(
        runs.runs.begin(),
        runs.runs.begin() + static_cast<std::ptrdiff_t>(runs.runs.size() - kKeptRunsPerSchedule));
  }
}

bool ReadScheduleFileText(FileSystem& fs, const std::string& path, std::string& text,
                          ScheduleFileError& error) {
  std::vector<char> bytes;
  const IoError failed = fs.ReadWholeExclusive(path, kMaxScheduleFileBytes, bytes);
  if (failed == IoError::kNotFound) {
    text.clear();
    return true;
  }
  if (failed != IoError::kNone) {
    error = {0, std::string("cannot be read: ") + DescribeIoError(failed)};
    return false;
  }
  text.assign(bytes.data(), bytes.empty() ? 0 : bytes.size() - 1);
  return true;
}

IoError WriteScheduleFileText(FileSystem& fs, const std::string& path, std::string_view text) {
  const std::string temporary = path + ".new";
  IoError error = IoError::kNone;
  std::unique_ptr<OutputFile> file = fs.Create(temporary, error);
  if (file == nullptr) return error;
  error = file->Write(text.data(), text.size());
  const IoError closed = file->Close();
  if (error == IoError::kNone) error = closed;
  if (error == IoError::kNone) error = fs.Replace(temporary, path);
  if (error != IoError::kNone) fs.Remove(temporary);
  return error;
}

std::string ScheduleFilePath(const std::string& folder, const char* fileName) {
  std::string path = folder;
  AppendPathComponent(path, fileName);
  return path;
}

}  // namespace mv
