// Builds snapshot file names and the pattern that finds them.
#include "core/snapshot_name.h"

#include "core/snapshot_format.h"

namespace mv {

std::string BuildSnapshotFileName(std::string_view group, std::string_view computer,
                                  std::string_view dateText, std::string_view timeText) {
  std::string name;
  name.reserve(group.size() + computer.size() + dateText.size() + timeText.size() + 3 +
               kSnapshotExtension.size());
  name.append(group);
  name += kNamePieceSeparator;
  name.append(computer);
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

}  // namespace mv
