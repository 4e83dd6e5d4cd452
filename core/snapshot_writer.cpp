// WriteSnapshot: writes the header, walks each share and ends the file under a temporary
// name, and gives the file its own name only once it is complete, so that no snapshot name
// ever stands for an incomplete file.
#include "core/snapshot_writer.h"

#include <memory>

#include "capture/activity_state.h"
#include "core/code_page_text.h"
#include "core/entry_line.h"
#include "core/share_walker.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/snapshot_output.h"
#include "core/snapshot_recode.h"
#include "core/text.h"
#include "platform/code_page.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line.append(value);
  return line;
}

// Header values come from the network: a line break in them would make lines of its own.
std::string HeaderLine(std::string_view key, std::string_view value, int& namesAltered) {
  std::string line = KeyLine(key, value);
  if (ReplaceUnwritable(line, key.size())) ++namesAltered;
  return line;
}

// Whether text is written the same in the code page; ASCII always is.
bool FitsCodePage(std::string_view text, unsigned codePage) {
  if (IsAscii(text)) return true;
  std::string encoded;
  return EncodeFitting(codePage, text, encoded);
}

// Writes the header. Names go into the code page while they fit it; a computer or group
// name that does not makes the whole snapshot UTF-8 from the start, and a later name
// carries it over (change then puts the ENCODING line where it is written here).
void WriteHeader(SnapshotOutput& out, const std::string& group, const std::string& computer,
                 Clock& clock, unsigned codePage, TemporaryUtf8Switch& change, int& namesAltered) {
  const std::string computerLine = HeaderLine(kComputerKey, computer, namesAltered);
  const std::string groupLine = HeaderLine(kGroupKey, group, namesAltered);
  const bool inCodePage = FitsCodePage(computerLine, codePage) && FitsCodePage(groupLine, codePage);
  if (inCodePage) out.EncodeIn(codePage, change);
  WriteLine(out, kMagicLine);
  WriteLine(out, kVersionLine);
  WriteLine(out, computerLine);
  WriteLine(out, groupLine);
  // The header's time is read here, after the lines above, apart from the file name's.
  const LocalTime now = clock.Now();
  const std::string timeText = clock.FormatTime(now, kTimePicture);
  const std::string dateText = clock.FormatDate(now, kDatePicture);
  WriteLine(out, KeyLine(kDateCreatedKey, dateText + " " + timeText));
  change.SetEncodingLineAt(out.written());
  if (!inCodePage) WriteLine(out, kEncodingLine);
  WriteLine(out, "");
}

// The most temporary names tried for one capture: each other capture of the same computer
// in the same second that still runs, or a name taken otherwise, costs one.
constexpr int kTemporaryNameAttempts = 64;

// Makes the temporary file new, beside path; temporary gets its path.
std::unique_ptr<OutputFile> CreateTemporary(FileSystem& fs, const std::string& path,
                                            std::string& temporary, IoError& error) {
  for (int attempt = 1; attempt <= kTemporaryNameAttempts; ++attempt) {
    temporary = TemporarySnapshotPath(path, attempt);
    error = IoError::kNone;
    std::unique_ptr<OutputFile> file = fs.CreateNew(temporary, error);
    if (file != nullptr) return file;
    if (error != IoError::kAlreadyExists) break;
  }
  if (error == IoError::kNone) error = IoError::kOther;
  return nullptr;
}

// Removes the temporary files that unfinished captures of this computer left beside the one
// being written (the process ended, or their removal failed). One that another capture is
// still writing is held by it, and stays.
void RemoveLeftovers(FileSystem& fs, const std::string& temporary, const std::string& group,
                     const std::string& computer) {
  const std::size_t cut = temporary.find_last_of("\\/");  // a local path may hold either
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
      leftovers.push_back(entry.name);
    }
  }
  for (const std::string& leftover : leftovers) {
    if (directory.empty()) {
      fs.RemoveIfAbandoned(leftover);
      continue;
    }
    std::string leftoverPath = directory.substr(0, directory.size() - 1);
    AppendPathComponent(leftoverPath, leftover);
    fs.RemoveIfAbandoned(leftoverPath);
  }
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
                  const std::vector<std::string>& shares, WriteReport* report, FileSystem& fs,
                  Clock& clock, unsigned ansiCodePage) {
  WriteReport local;
  WriteReport& result = report != nullptr ? *report : local;
  result = WriteReport{};
  if (shares.empty()) return 0;

  // A computer that refuses the credentials gets no file, rather than one whose every share
  // looks empty.
  if (fs.LogOn(computer) == IoError::kLogonRefused) {
    result.error = IoError::kLogonRefused;
    return 1;
  }

  std::string temporary;
  IoError created = IoError::kNone;
  std::unique_ptr<OutputFile> file = CreateTemporary(fs, path, temporary, created);
  if (file == nullptr) {
    result.error = created;
    return 1;
  }
  RemoveLeftovers(fs, temporary, group, computer);

  SnapshotOutput out(*file);
  TemporaryUtf8Switch change(
      fs, ansiCodePage,
      [&](std::string& next, IoError& error) { return CreateTemporary(fs, path, next, error); },
      file, temporary);
  WriteHeader(out, group, computer, clock, ansiCodePage, change, result.namesAltered);
  ShareWalk walk(fs, out);
  bool anyListed = false;
  IoError firstUnlisted = IoError::kNone;
  for (const std::string& share : shares) {
    if (GetActivityState() == kIdle || out.failed()) break;
    const IoError listed = WriteShareSection(walk, computer, share);
    if (listed == IoError::kNone) {
      anyListed = true;
    } else {
      result.sharesNotListed.push_back(share);
      if (firstUnlisted == IoError::kNone) firstUnlisted = listed;
    }
  }
  WriteLine(out, kEndLine);
  IoError finished = out.Drain();
  result.unlistedDirectories = walk.unlistedDirectories;
  result.namesAltered += walk.namesAltered;

  if (finished == IoError::kNone && GetActivityState() == kIdle) {
    result.stopped = true;
  } else if (finished == IoError::kNone && !anyListed && !result.sharesNotListed.empty()) {
    // Not one share could be read: such a file would hide the computer's last real snapshot.
    result.nothingListed = true;
    finished = firstUnlisted;
  } else if (finished == IoError::kNone) {
    // Replaces a snapshot of the same name, as a second capture within one second does.
    bool kept = false;
    finished = fs.Publish(*file, temporary, path, kept);
    result.complete = finished == IoError::kNone;
    if (kept) {
      result.error = finished;
      result.keptTemporary = temporary;
      return 1;
    }
  }
  if (!result.complete) {
    result.error = finished;
    out.Finish();
    fs.Remove(temporary);
  }
  return 1;
}

}  // namespace mv
