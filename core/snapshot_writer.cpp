// WriteSnapshot: writes the header, walks each share and ends the file under a temporary
// name, and gives the file its own name only once it is complete, so that no snapshot name
// ever stands for an incomplete file.
#include "core/snapshot_writer.h"

#include <memory>

#include "capture/activity_state.h"
#include "core/share_walker.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/snapshot_output.h"
#include "core/text.h"

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

// Removes the temporary files that unfinished captures of this computer left beside the one
// being written (the process ended, or their removal failed). One that another capture is
// still writing is held open, so on Windows its removal fails and it stays.
void RemoveLeftovers(FileSystem& fs, const std::string& temporary, const std::string& group,
                     const std::string& computer) {
  const std::size_t cut = temporary.rfind(kPathSeparator);
  const std::string directory =
      cut == std::string::npos ? std::string() : temporary.substr(0, cut + 1);
  const std::string_view ownName = std::string_view(temporary).substr(directory.size());
  IoError error = IoError::kNone;
  const std::unique_ptr<DirectoryListing> listing =
      fs.ListNames(directory + std::string(kTemporaryPattern), error);
  if (listing == nullptr) return;
  std::vector<std::string> leftovers;
  DirEntry entry;
  while (listing->Next(entry)) {
    if ((entry.attributes & kAttrDirectory) == 0 && !EqualsIgnoreCase(entry.name, ownName) &&
        IsTemporaryNameOf(entry.name, group, computer)) {
      leftovers.push_back(directory + entry.name);
    }
  }
  for (const std::string& leftover : leftovers) fs.Remove(leftover);
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

  const std::string temporary = TemporarySnapshotPath(path);
  IoError created = IoError::kNone;
  std::unique_ptr<OutputFile> file = fs.Create(temporary, created);
  if (file == nullptr) {
    result.error = created == IoError::kNone ? IoError::kOther : created;
    return 1;
  }
  RemoveLeftovers(fs, temporary, group, computer);

  SnapshotOutput out(*file);
  WriteHeader(out, group, computer, clock);
  ShareWalk walk(fs, out);
  for (const std::string& share : shares) {
    if (GetActivityState() == kIdle || out.failed()) break;
    WriteShareSection(walk, computer, share);
  }
  WriteLine(out, kEndLine);
  IoError finished = out.Finish();
  result.unlistedDirectories = walk.unlistedDirectories;
  result.namesAltered = walk.namesAltered;

  if (finished == IoError::kNone && GetActivityState() == kIdle) {
    result.stopped = true;
  } else if (finished == IoError::kNone) {
    // Replaces a snapshot of the same name, as a second capture within one second does.
    finished = fs.Replace(temporary, path);
    result.complete = finished == IoError::kNone;
  }
  if (!result.complete) {
    result.error = finished;
    fs.Remove(temporary);
  }
  return 1;
}

}  // namespace mv
