// Builds snapshot file names and the pattern that finds them.
#include "core/snapshot_name.h"

#include <algorithm>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {

std::string FileNamePiece(std::string_view name) {
  static constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
  std::string piece(name);
  for (char& c : piece) {
    if (c == kNamePieceSeparator) {
      c = kNameDotStandIn;
    } else if (static_cast<unsigned char>(c) < 0x20 ||
               kNotInFileNames.find(c) != std::string_view::npos) {
      c = kFileNameStandIn;
    }
  }
  return piece;
}

std::string NameOfFileNamePiece(std::string_view piece) {
  std::string name(piece);
  std::replace(name.begin(), name.end(), kNameDotStandIn, kNamePieceSeparator);
  return name;
}

std::string BuildSnapshotFileName(std::string_view group, std::string_view computer,
                                  std::string_view dateText, std::string_view timeText) {
  std::string name = FileNamePiece(group);
  name += kNamePieceSeparator;
  name += FileNamePiece(computer);
  name += kNamePieceSeparator;
  name.append(dateText);
  name += kNamePieceSeparator;
  name.append(timeText);
  name.append(kSnapshotExtension);
  return name;
}

std::string BuildSnapshotPath(std::string_view dir, std::string_view group,
                              std::string_view computer, std::string_view dateText,
                              std::string_view timeText) {
  std::string path(dir);
  path += kPathSeparator;
  path += BuildSnapshotFileName(group, computer, dateText, timeText);
  return path;
}

std::string BuildSnapshotPathAt(std::string_view dir, std::string_view group,
                                std::string_view computer, const LocalTime& time, Clock& clock) {
  return BuildSnapshotPath(dir, group, computer, clock.FormatDate(time, kDatePicture),
                           clock.FormatTime(time, kFileTimePicture));
}

std::string BuildSnapshotSearchPattern(std::string_view dir) {
  std::string pattern(dir);
  pattern += kPathSeparator;
  pattern.append(kSnapshotPattern);
  return pattern;
}

std::string TemporarySnapshotPath(std::string_view finalPath, int attempt) {
  std::string_view stem = finalPath;
  const std::size_t extension = stem.size() - std::min(stem.size(), kSnapshotExtension.size());
  if (EqualsIgnoreCase(stem.substr(extension), kSnapshotExtension))
    stem = stem.substr(0, extension);
  std::string path(stem);
  if (attempt > 1) path += "-" + std::to_string(attempt);
  path.append(kTemporaryExtension);
  return path;
}

bool IsTemporaryNameOf(std::string_view fileName, std::string_view groupName,
                       std::string_view computerName) {
  const std::string group = FileNamePiece(groupName);
  const std::string computer = FileNamePiece(computerName);
  const std::size_t prefix = group.size() + computer.size() + 2;
  if (fileName.size() < prefix + kTemporaryExtension.size()) return false;
  const std::string_view stamp =
      fileName.substr(prefix, fileName.size() - prefix - kTemporaryExtension.size());
  // The date and the time hold five dots between them; a name with more belongs to a
  // computer whose own name goes on past a dot ("PC" and "PC.LAN").
  return StartsWithIgnoreCase(fileName, group) && fileName[group.size()] == kNamePieceSeparator &&
         StartsWithIgnoreCase(fileName.substr(group.size() + 1), computer) &&
         fileName[prefix - 1] == kNamePieceSeparator &&
         EqualsIgnoreCase(fileName.substr(fileName.size() - kTemporaryExtension.size()),
                          kTemporaryExtension) &&
         std::count(stamp.begin(), stamp.end(), kNamePieceSeparator) == 5;
}

}  // namespace mv
