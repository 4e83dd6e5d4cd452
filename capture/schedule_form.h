// A schedule as the window's form shows it, field by field, and back; and the schedule that
// the ticks of the Take Snapshots dialog stand for.
#pragma once

#include <functional>
#include <string>

#include "capture/schedule.h"
#include "net/discovery_tables.h"
#include "platform/view_ports.h"

namespace mv {

struct ScheduleForm {
  std::string name;
  std::string groups, computers, shares;  // names, separated by commas
  ScheduleRepeat repeat = ScheduleRepeat::kDaily;
  std::string time = "02:00";  // HH:MM
  unsigned weekdays = 0x1f;    // bit 0 Monday ... bit 6 Sunday
  std::string everyHours = "6";
  // Retention: counts, and a span ("30d"); empty fields are no rule.
  std::string keepLast, keepDaily, keepWeekly, keepMonthly, keepWithin;
};

ScheduleForm FormOfSchedule(const Schedule& schedule);

// The schedule the form describes, checked as the schedules file checks it; false with
// what is wrong, for the user ("The time must be HH:MM, for example 02:00.").
bool ScheduleOfForm(const ScheduleForm& form, Schedule& schedule, std::string& problem);

// What the ticks stand for, by name: a ticked group whose computers and shares are all
// ticked is the group; otherwise each ticked computer of a ticked group whose shares are all
// ticked is the computer (its later shares too), and of the others each ticked share.
void ScheduleTargetsOfTicks(const DiscoveryTables& tables,
                            const std::function<bool(TreeItem)>& ticked, Schedule& schedule);

}  // namespace mv
