// WriteSnapshot: creates the file, writes the header, walks each share and ends the file;
// deletes it after a stop or a failed write, so that no incomplete file looks complete.
#include "core/snapshot_writer.h"

#include <memory>

#include "capture/activity_state.h"
#include "core/share_walker.h"
#include "core/snapshot_format.h"
#include "core/snapshot_output.h"

namespace mv {
namespace {

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line.append(value);
  return line;
}

void WriteHeader(SnapshotOutput& out, const std::string& group, const std::string& computer,
                 Clock& clock) {
  WriteLine(out, kMagicLine);
  WriteLine(out, kVersionLine);
  WriteLine(out, KeyLine(kComputerKey, computer));
  WriteLine(out, KeyLine(kGroupKey, group));
  // The header's time is read here, after the lines above, apart from the file name's.
  const LocalTime now = clock.Now();
  const std::string timeText = clock.FormatTime(now, kTimePicture);
  const std::string dateText = clock.FormatDate(now, kDatePicture);
  WriteLine(out, KeyLine(kDateCreatedKey, dateText + " " + timeText));
  WriteLine(out, "");
}

}  // namespace

std::vector<std::string> SplitShareList(std::string_view shareList) {
  std::vector<std::string> names;
  std::size_t from = 0;
  while (from <= shareList.size()) {
    std::size_t cut = shareList.find(kShareListSeparator, from);
    if (cut == std::string_view::npos) cut = shareList.size();
    if (cut > from) names.emplace_back(shareList.substr(from, cut - from));
    from = cut + 1;
  }
  return names;
}

int WriteSnapshot(const std::string& group, const std::string& computer, const std::string& path,
                  const std::string& shareList, WriteReport* report, FileSystem& fs, Clock& clock) {
  WriteReport local;
  WriteReport& result = report != nullptr ? *report : local;
  result = WriteReport{};
  if (shareList.empty()) return 0;

  std::vector<std::string> shares = SplitShareList(shareList);
  if (shares.size() > kMaxSharesWritten) {
    result.sharesNotCaptured.assign(shares.begin() + kMaxSharesWritten, shares.end());
    shares.resize(kMaxSharesWritten);
  }

  // A computer that refuses the credentials gets no file, rather than one whose every share
  // looks empty.
  if (fs.LogOn(computer) == IoError::kLogonRefused) {
    result.error = IoError::kLogonRefused;
    return 1;
  }

  IoError created = IoError::kNone;
  std::unique_ptr<OutputFile> file = fs.Create(path, created);
  if (file == nullptr) {
    result.error = created == IoError::kNone ? IoError::kOther : created;
    return 1;
  }

  SnapshotOutput out(*file);
  WriteHeader(out, group, computer, clock);
  ShareWalk walk(fs, out);
  for (const std::string& share : shares) {
    if (GetActivityState() == kIdle || out.failed()) break;
    WriteShareSection(walk, computer, share);
  }
  WriteLine(out, kEndLine);
  const IoError finished = out.Finish();
  result.unlistedDirectories = walk.unlistedDirectories;
  result.namesAltered = walk.namesAltered;

  if (finished != IoError::kNone) {
    result.error = finished;
    fs.Remove(path);
  } else if (GetActivityState() == kIdle) {
    result.stopped = true;
    fs.Remove(path);
  } else {
    result.complete = true;
  }
  return 1;
}

}  // namespace mv
