// A schedule's run through the capture job, with tries again for computers out of reach.
#include "capture/schedule_run.h"

#include <algorithm>

#include "core/snapshot_library.h"
#include "core/text.h"
#include "platform/threading.h"

namespace mv {
namespace {

bool ContainsIgnoringCase(const std::vector<std::string>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return EqualsIgnoreCase(n, name); });
}

// "COMPUTER\SHARE" cut at its backslash.
std::pair<std::string_view, std::string_view> SplitShare(std::string_view share) {
  const std::size_t slash = share.find('\\');
  if (slash == std::string_view::npos) return {share, {}};
  return {share.substr(0, slash), share.substr(slash + 1)};
}

std::string GroupOf(const DiscoveryTables& tables, const NetComputerEntry& computer) {
  for (const NetGroupEntry& group : tables.groups) {
    if (group.item == computer.parentItem && !group.name.empty()) return group.name;
  }
  return std::string();
}

// Waits until no other task holds the gate, then starts the job; false when no worker runs.
bool StartWhenFree(ScheduleRunContext& context,
                   const std::vector<CaptureJob::ChosenComputer>& computers) {
  for (;;) {
    context.gate.WaitUntilFree();
    if (context.job.StartCaptureOf(computers, context.snapshotDirectory)) return true;
    // Refused with the gate free: no worker runs. Else another task came first; wait again.
    if (!context.gate.Busy()) return false;
  }
}

void ScanAndWait(ScheduleRunContext& context) {
  context.gate.WaitUntilFree();
  context.browser.RequestScan();
  context.gate.WaitUntilFree();
}

}  // namespace

ScheduleSelection SelectScheduled(const Schedule& schedule, const DiscoveryTables& tables,
                                  const std::vector<std::string>& onlyComputers) {
  ScheduleSelection selection;
  std::vector<std::string> foundComputers;
  std::vector<std::string> foundShares;
  std::vector<std::string> foundGroups;
  for (int slot = 0; slot < static_cast<int>(tables.computers.size()); ++slot) {
    const NetComputerEntry& computer = tables.computers[slot];
    if (computer.name.empty() || computer.item == kNoTreeItem) continue;
    if (!onlyComputers.empty() && !ContainsIgnoringCase(onlyComputers, computer.name)) continue;
    const std::string group = GroupOf(tables, computer);
    const bool byGroup = ContainsIgnoringCase(schedule.groups, group);
    if (byGroup) foundGroups.push_back(group);
    const bool byName = ContainsIgnoringCase(schedule.computers, computer.name);
    if (byName) foundComputers.push_back(computer.name);
    bool namesShares = false;
    for (const std::string& share : schedule.shares) {
      namesShares = namesShares || EqualsIgnoreCase(SplitShare(share).first, computer.name);
    }
    if (!byGroup && !byName && !namesShares) continue;
    CaptureJob::ChosenComputer chosen{slot, {}};
    for (const NetShareEntry& share : tables.shares) {
      if (share.name.empty() || share.parentItem != computer.item) continue;
      bool wanted = !namesShares;
      for (const std::string& named : schedule.shares) {
        const auto [owner, name] = SplitShare(named);
        if (EqualsIgnoreCase(owner, computer.name) && EqualsIgnoreCase(name, share.name)) {
          wanted = true;
          foundShares.push_back(named);
        }
      }
      if (wanted) chosen.shares.push_back(share.name);
    }
    if (chosen.shares.empty()) {
      selection.missing.push_back(computer.name + ": no share could be listed");
      continue;
    }
    selection.computers.push_back(std::move(chosen));
    selection.computerNames.push_back(computer.name);
    selection.groupNames.push_back(group);
  }
  auto wantedNow = [&](std::string_view computer) {
    return onlyComputers.empty() || ContainsIgnoringCase(onlyComputers, computer);
  };
  for (const std::string& name : schedule.computers) {
    if (wantedNow(name) && !ContainsIgnoringCase(foundComputers, name)) {
      selection.missing.push_back(name + ": not found on the network");
    }
  }
  for (const std::string& share : schedule.shares) {
    const std::string_view owner = SplitShare(share).first;
    if (!wantedNow(owner) || ContainsIgnoringCase(foundShares, share)) continue;
    if (ContainsIgnoringCase(foundComputers, owner) ||
        ContainsIgnoringCase(selection.computerNames, owner)) {
      selection.missing.push_back(share + ": not found on the network");
    } else if (!ContainsIgnoringCase(schedule.computers, owner)) {
      selection.missing.push_back(std::string(owner) + ": not found on the network");
    }
  }
  if (onlyComputers.empty()) {
    for (const std::string& group : schedule.groups) {
      if (!ContainsIgnoringCase(foundGroups, group)) {
        selection.missing.push_back("group " + group + ": no computer found on the network");
      }
    }
  }
  // One line per computer, whichever of its names failed.
  std::sort(selection.missing.begin(), selection.missing.end());
  selection.missing.erase(std::unique(selection.missing.begin(), selection.missing.end()),
                          selection.missing.end());
  return selection;
}

std::vector<std::string> ApplyScheduleRetention(FileSystem& fileSystem,
                                                const std::string& snapshotDirectory,
                                                const RetentionPolicy& policy,
                                                const std::string& group,
                                                const std::string& computer) {
  std::vector<std::string> removed;
  if (!policy.HasRule()) return removed;
  const std::vector<std::string> listed = ListSnapshotFiles(fileSystem, snapshotDirectory);
  // An empty group stands for computers outside any group: only those of that computer
  // name whose group piece is empty are meant, which the choice checks below.
  const PruneChoice choice{group, computer};
  for (const std::size_t position : SnapshotsToPrune(listed, policy, choice)) {
    if (group.empty() && listed[position].rfind(".", 0) != 0) continue;
    if (RemoveSnapshotFile(fileSystem, snapshotDirectory, listed[position]) == IoError::kNone) {
      removed.push_back(listed[position]);
    }
  }
  return removed;
}

ScheduleRunRecord RunSchedule(const Schedule& schedule, ScheduleRunContext& context) {
  ScheduleRunRecord record;
  record.started = context.clock.Now();
  std::vector<std::string> lasting;   // what no second try mends: shares, groups, the start
  std::vector<std::string> failures;  // of computers, in the last try
  std::vector<std::string> retry;     // computers to try again
  int written = 0;
  std::size_t removed = 0;
  for (int attempt = 0; attempt <= context.retryCount; ++attempt) {
    if (attempt > 0) {
      if (retry.empty()) break;
      if (context.pause) context.pause(context.retryIntervalSeconds);
    }
    ScanAndWait(context);
    const ScheduleSelection selection = SelectScheduled(schedule, context.browser.tables(), retry);
    failures.clear();
    std::vector<std::string> next;
    for (const std::string& line : selection.missing) {
      // Only computers can come back; a share missing on a computer read is no outage.
      const std::string_view name = std::string_view(line).substr(0, line.find(':'));
      if (name.find('\\') == std::string_view::npos && name.rfind("group ", 0) != 0) {
        next.emplace_back(name);
        failures.push_back(line);
      } else {
        lasting.push_back(line);
      }
    }
    if (!selection.computers.empty()) {
      if (!StartWhenFree(context, selection.computers)) {
        lasting.push_back("the capture could not start");
        break;
      }
      context.gate.WaitUntilFree();
      const auto& failed = context.job.LastFailedComputers();
      for (std::size_t i = 0; i < selection.computers.size(); ++i) {
        const std::string& name = selection.computerNames[i];
        const auto hit = std::find_if(failed.begin(), failed.end(), [&](const auto& f) {
          return EqualsIgnoreCase(f.name, name);
        });
        if (hit != failed.end()) {
          failures.push_back(hit->text);
          next.push_back(name);
          continue;
        }
        ++written;
        removed += ApplyScheduleRetention(context.fileSystem, context.snapshotDirectory,
                                          schedule.retention, selection.groupNames[i], name)
                       .size();
      }
    }
    retry = next;
  }
  record.ended = context.clock.Now();
  failures.insert(failures.begin(), lasting.begin(), lasting.end());
  record.ok = failures.empty();
  std::string outcome = std::to_string(written) + (written == 1 ? " snapshot" : " snapshots");
  if (removed > 0) outcome += ", " + std::to_string(removed) + " removed by retention";
  for (const std::string& failure : failures) outcome += "; " + failure;
  record.outcome = outcome;
  return record;
}

}  // namespace mv
