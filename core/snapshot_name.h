// The name scheme of snapshot files: <dir>\<group>.<computer>.<dd.MM.yyyy>.<HH.mm.ss>.mirvaul,
// from which the library later learns group, computer and capture time without opening it.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

// "<group>.<computer>.<dateText>.<timeText>.mirvaul"; dateText in the picture "dd.MM.yyyy",
// timeText in "HH.mm.ss". Names are taken as they are: a "." in them shifts the pieces a
// reader cuts out.
std::string BuildSnapshotFileName(std::string_view group, std::string_view computer,
                                  std::string_view dateText, std::string_view timeText);

// "<dir>\<file name>".
std::string BuildSnapshotPath(std::string_view dir, std::string_view group,
                              std::string_view computer, std::string_view dateText,
                              std::string_view timeText);

// The path for a capture at `time`, one reading of the clock, formatted by `clock`.
std::string BuildSnapshotPathAt(std::string_view dir, std::string_view group,
                                std::string_view computer, const LocalTime& time, Clock& clock);

// "<dir>\*.mirvaul*": the pattern that finds the snapshot files of a directory.
std::string BuildSnapshotSearchPattern(std::string_view dir);

// The path a snapshot is written under until it is complete: finalPath with the temporary
// extension in place of the snapshot extension (appended when it has none).
std::string TemporarySnapshotPath(std::string_view finalPath);

// Whether fileName (without directory) is a temporary name that a capture of computer of
// group left behind: "<group>.<computer>.<dd.MM.yyyy>.<HH.mm.ss>.mvpart", ignoring case.
bool IsTemporaryNameOf(std::string_view fileName, std::string_view group,
                       std::string_view computer);

}  // namespace mv
