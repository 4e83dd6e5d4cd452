// The name scheme of snapshot files: <dir>\<group>.<computer>.<dd.MM.yyyy>.<HH.mm.ss>.mirvaul,
// from which the library later learns group, computer and capture time without opening it.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mv {

// A group or computer name as its piece of a snapshot's file name: each '.' becomes
// kNameDotStandIn, so that the pieces read back right; the stand-in itself, kNameEscape and
// each character that no file name can hold (\ / : * ? " < > | and control characters)
// become kNameEscape and two upper-case hex digits ("PC~1" is "PC%7E1"), so that the name
// stays one file in the snapshots folder and two names never share a piece. Other names
// stand as they are.
std::string FileNamePiece(std::string_view name);

// The name that a group or computer piece of a file name stands for: kNameDotStandIn read
// back as '.', and the escapes FileNamePiece writes as the characters they stand for. Names
// written before the escape read as ever: their dots from the stand-in, and a '%' that is
// not such an escape as itself.
std::string NameOfFileNamePiece(std::string_view piece);

// "<group>.<computer>.<dateText>.<timeText>.mirvaul"; dateText in the picture "dd.MM.yyyy",
// timeText in "HH.mm.ss"; group and computer as FileNamePiece gives them.
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
// extension in place of the snapshot extension (appended when it has none). Attempts after
// the first, for a name another capture holds, get "-<attempt>" before the extension.
std::string TemporarySnapshotPath(std::string_view finalPath, int attempt = 1);

// Whether fileName (without directory) is a temporary name that a capture of computer of
// group left behind: "<group>.<computer>.<dd.MM.yyyy>.<HH.mm.ss>[-n].mvpart" with group and
// computer as FileNamePiece gives them, ignoring case.
bool IsTemporaryNameOf(std::string_view fileName, std::string_view group,
                       std::string_view computer);

}  // namespace mv
