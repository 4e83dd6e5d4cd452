// The schedule form's fields and the ticks as a schedule: see schedule_form.h.
#include "capture/schedule_form.h"

#include <algorithm>
#include <charconv>

#include "capture/schedule_file.h"
#include "core/text.h"

namespace mv {
namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool HasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// The names of a comma-separated field; false when one holds a control character.
bool Names(std::string_view field, std::vector<std::string>& names) {
  names.clear();
  for (std::size_t start = 0; start <= field.size();) {
    std::size_t comma = field.find(',', start);
    if (comma == std::string_view::npos) comma = field.size();
    const std::string_view name = Trimmed(field.substr(start, comma - start));
    if (HasControl(name)) return false;
    if (!name.empty()) names.emplace_back(name);
    start = comma + 1;
  }
  return true;
}

// An empty field is 0 (no rule); else a count of 1 to kMaxRetentionNumber.
bool Count(std::string_view field, int& count) {
  field = Trimmed(field);
  count = 0;
  if (field.empty()) return true;
  const auto [stop, problem] = std::from_chars(field.data(), field.data() + field.size(), count);
  return problem == std::errc() && stop == field.data() + field.size() && count >= 1 &&
         count <= kMaxRetentionNumber;
}

bool IsShareName(std::string_view share) {
  const std::size_t slash = share.find('\\');
  return slash != std::string_view::npos && slash > 0 && slash + 1 < share.size() &&
         share.find('\\', slash + 1) == std::string_view::npos;
}

}  // namespace

ScheduleForm FormOfSchedule(const Schedule& schedule) {
  ScheduleForm form;
  form.name = schedule.name;
  form.groups = Joined(schedule.groups);
  form.computers = Joined(schedule.computers);
  form.shares = Joined(schedule.shares);
  const ScheduleWhen& when = schedule.when;
  form.repeat = when.repeat;
  const std::string whenText = ScheduleWhenText(when);
  form.time = whenText.substr(whenText.size() - 5);  // every form ends in HH:MM
  if (when.repeat == ScheduleRepeat::kWeekdays) form.weekdays = when.weekdays;
  if (when.repeat == ScheduleRepeat::kEveryHours) form.everyHours = std::to_string(when.everyHours);
  const RetentionPolicy& keep = schedule.retention;
  auto count = [](int n) { return n > 0 ? std::to_string(n) : std::string(); };
  form.keepLast = count(keep.keepLast);
  form.keepDaily = count(keep.keepDaily);
  form.keepWeekly = count(keep.keepWeekly);
  form.keepMonthly = count(keep.keepMonthly);
  if (keep.keepWithin) form.keepWithin = RetentionSpanText(*keep.keepWithin);
  return form;
}

bool ScheduleOfForm(const ScheduleForm& form, Schedule& schedule, std::string& problem) {
  Schedule made;
  made.name = std::string(Trimmed(form.name));
  if (!IsValidScheduleName(made.name)) {
    problem = "The name must have 1 to " + std::to_string(kMaxScheduleNameBytes) +
              " characters, none of them [ or ].";
    return false;
  }
  if (!Names(form.groups, made.groups) || !Names(form.computers, made.computers) ||
      !Names(form.shares, made.shares)) {
    problem = "A name to capture holds a control character.";
    return false;
  }
  for (const std::string& share : made.shares) {
    if (!IsShareName(share)) {
      problem = "'" + share + "' is not a share: write it as COMPUTER\\SHARE.";
      return false;
    }
  }
  if (made.groups.empty() && made.computers.empty() && made.shares.empty()) {
    problem = "Name at least one group, computer or share to capture.";
    return false;
  }
  const std::string time(Trimmed(form.time));
  std::string whenText;
  switch (form.repeat) {
    case ScheduleRepeat::kDaily:
      whenText = "daily " + time;
      break;
    case ScheduleRepeat::kWeekdays: {
      if ((form.weekdays & 0x7f) == 0) {
        problem = "Tick at least one weekday.";
        return false;
      }
      ScheduleWhen days;
      days.repeat = ScheduleRepeat::kWeekdays;
      days.weekdays = form.weekdays & 0x7f;
      const std::string text = ScheduleWhenText(days);  // "weekdays mon,... 00:00"
      whenText = text.substr(0, text.size() - 5) + time;
      break;
    }
    case ScheduleRepeat::kEveryHours:
      whenText = "every " + std::string(Trimmed(form.everyHours)) + "h from " + time;
      break;
  }
  if (!ParseScheduleWhen(whenText, made.when)) {
    problem = form.repeat == ScheduleRepeat::kEveryHours
                  ? "The hours must be 1 to 24 and the time HH:MM, for example 00:15."
                  : "The time must be HH:MM, for example 02:00.";
    return false;
  }
  RetentionPolicy& keep = made.retention;
  if (!Count(form.keepLast, keep.keepLast) || !Count(form.keepDaily, keep.keepDaily) ||
      !Count(form.keepWeekly, keep.keepWeekly) || !Count(form.keepMonthly, keep.keepMonthly)) {
    problem =
        "A number to keep must be 1 to " + std::to_string(kMaxRetentionNumber) + ", or empty.";
    return false;
  }
  if (const std::string_view within = Trimmed(form.keepWithin); !within.empty()) {
    RetentionSpan span;
    if (!ParseRetentionSpan(within, span)) {
      problem = "Keep within takes a span such as 30d, 2w, 6m, 1y or 12h.";
      return false;
    }
    keep.keepWithin = span;
  }
  // What the file would refuse, the form refuses too.
  std::vector<Schedule> readBack;
  ScheduleFileError error;
  if (!ParseSchedules(FormatSchedules({made}), readBack, error)) {
    problem = error.message;
    return false;
  }
  schedule = std::move(made);
  return true;
}

void ScheduleTargetsOfTicks(const DiscoveryTables& tables,
                            const std::function<bool(TreeItem)>& ticked, Schedule& schedule) {
  auto isTicked = [&](TreeItem item) { return item != kNoTreeItem && ticked(item); };
  for (const NetGroupEntry& group : tables.groups) {
    if (group.name.empty() || !isTicked(group.item)) continue;
    struct Computer {
      const NetComputerEntry* entry;
      std::vector<std::string> tickedShares;
      bool allShares;
    };
    std::vector<Computer> computers;
    bool wholeGroup = true;
    for (const NetComputerEntry& computer : tables.computers) {
      if (computer.name.empty() || computer.parentItem != group.item) continue;
      Computer c{&computer, {}, true};
      for (const NetShareEntry& share : tables.shares) {
        if (share.name.empty() || share.parentItem != computer.item) continue;
        if (isTicked(share.item)) {
          c.tickedShares.push_back(share.name);
        } else {
          c.allShares = false;
        }
      }
      const bool computerTicked = isTicked(computer.item);
      wholeGroup = wholeGroup && computerTicked && c.allShares;
      if (computerTicked) computers.push_back(std::move(c));
    }
    if (wholeGroup) {
      schedule.groups.push_back(group.name);
      continue;
    }
    for (const Computer& c : computers) {
      if (c.allShares) {
        schedule.computers.push_back(c.entry->name);
        continue;
      }
      for (const std::string& share : c.tickedShares) {
        schedule.shares.push_back(c.entry->name + "\\" + share);
      }
    }
  }
}

}  // namespace mv
