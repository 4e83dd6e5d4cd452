// One run of a schedule: find its groups, computers and shares on the network, capture them
// through the capture job, try again what could not be reached, apply its retention to each
// computer captured, and say what happened.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/capture_job.h"
#include "capture/schedule.h"
#include "capture/schedule_file.h"
#include "net/network_browser.h"
#include "net/task_gate.h"

namespace mv {

struct ScheduleRunContext {
  NetworkBrowser& browser;
  CaptureJob& job;
  TaskGate& gate;
  FileSystem& fileSystem;
  Clock& clock;
  std::string snapshotDirectory;
  // Waits between two tries; the program sleeps, tests move their clock.
  std::function<void(int seconds)> pause;
  int retryCount = kUnreachableRetryCount;
  int retryIntervalSeconds = kUnreachableRetryIntervalSeconds;
};

// What a run found to capture in the tables of the last scan: each computer with its shares,
// and each name of the schedule that matched nothing.
struct ScheduleSelection {
  std::vector<CaptureJob::ChosenComputer> computers;
  std::vector<std::string> computerNames;  // beside computers
  std::vector<std::string> groupNames;     // beside computers
  std::vector<std::string> missing;        // "PC7: not found on the network"
};

// Chooses from tables, limited to the computers of onlyComputers when it is not empty
// (a retry). A computer named by the schedule or in one of its groups is taken with every
// share it has now, unless the schedule names shares of it: then just those.
ScheduleSelection SelectScheduled(const Schedule& schedule, const DiscoveryTables& tables,
                                  const std::vector<std::string>& onlyComputers);

// Runs the schedule to its end (waiting first while another capture or scan runs) and
// returns its record. Blocks; never on the thread that serves the ports.
ScheduleRunRecord RunSchedule(const Schedule& schedule, ScheduleRunContext& context);

// Applies a schedule's retention to one computer's snapshots; the names removed.
std::vector<std::string> ApplyScheduleRetention(FileSystem& fileSystem,
                                                const std::string& snapshotDirectory,
                                                const RetentionPolicy& policy,
                                                const std::string& group,
                                                const std::string& computer);

}  // namespace mv
