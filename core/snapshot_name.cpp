// Builds snapshot file names and the pattern that finds them.
#include "core/snapshot_name.h"

#include <algorithm>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The characters a piece holds only escaped: the dot's stand-in and the escape itself, so
// that both read back as themselves, and those no file name can hold, so that the name stays
// one file in the snapshots folder.
bool IsEscapedInPieces(unsigned char c) {
  static constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
  return c < 0x20 || c == 0x7F || c == static_cast<unsigned char>(kNameDotStandIn) ||
         c == static_cast<unsigned char>(kNameEscape) ||
         kNotInFileNames.find(static_cast<char>(c)) != std::string_view::npos;
}

int UpperHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FileNamePiece(std::string_view name) {
  std::string piece;
  piece.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == kNamePieceSeparator) {
      piece += kNameDotStandIn;
    } else if (IsEscapedInPieces(byte)) {
      ((piece += kNameEscape) += kHexDigits[byte >> 4]) += kHexDigits[byte & 0xF];
    } else {
      piece += c;
    }
  }
  return piece;
}

std::string NameOfFileNamePiece(std::string_view piece) {
  std::string name;
  name.reserve(piece.size());
  for (std::size_t at = 0; at < piece.size(); ++at) {
    const char c = piece[at];
    if (c == kNameDotStandIn) {
      name += kNamePieceSeparator;
      continue;
    }
    // Only the escapes FileNamePiece writes are read as such; any other '%' is a name
    // written before the escape, and stands for itself as it always did.
    const int high = c == kNameEscape && at + 2 < piece.size() ? UpperHexValue(piece[at + 1]) : -1;
    const int low = high >= 0 ? UpperHexValue(piece[at + 2]) : -1;
    const auto byte = static_cast<unsigned char>(high * 16 + low);
    if (low >= 0 && IsEscapedInPieces(byte)) {
      name += static_cast<char>(byte);
      at += 2;
    } else {
      name += c;
    }
  }
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
