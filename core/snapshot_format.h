// The texts and limits of the snapshot file and its name: shared by the writer, the loader
// and the library so that every build writes and reads the same bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace mv {

// Lines of the file, in file order. Every line ends with CR LF.
inline constexpr std::string_view kMagicLine = "Mirrorvault file";
inline constexpr std::string_view kVersionLine = "VERSION: 1.0";
inline constexpr std::string_view kVersionKey = "VERSION: ";
inline constexpr std::string_view kVersionValue = "1.0";
inline constexpr std::string_view kComputerKey = "COMPUTER: ";
inline constexpr std::string_view kGroupKey = "GROUP: ";
inline constexpr std::string_view kDateCreatedKey = "DATE CREATED: ";
inline constexpr std::string_view kShareNameKey = "SHARENAME: ";
// Names in a snapshot are in the reader's ANSI code page, unless the header declares UTF-8
// with this line, written directly after the DATE CREATED line and only when some name does
// not fit the ANSI code page. Recognised only between the magic line and the first share.
inline constexpr std::string_view kEncodingLine = "ENCODING: UTF-8";
inline constexpr std::string_view kEncodingKey = "ENCODING: ";
enum class NameEncoding { kAnsi, kUtf8 };
inline constexpr std::string_view kEndLine = "END";
inline constexpr std::string_view kLineEnd = "\r\n";

// Entry lines: path;;type;;size;;month.day.year, the path relative to the share root.
inline constexpr std::string_view kFieldSeparator = ";;";
inline constexpr std::string_view kTypeFile = "f";
inline constexpr std::string_view kTypeDirectory = "d";
inline constexpr char kPathSeparator = '\\';
inline constexpr char kDateSeparator = '.';

// Separator of the share list handed to the writer ("Docs;Music").
inline constexpr char kShareListSeparator = ';';

// File names: <dir>\<group>.<computer>.<dd.MM.yyyy>.<HH.mm.ss>.mirvaul
inline constexpr std::string_view kSnapshotExtension = ".mirvaul";
inline constexpr std::string_view kSnapshotPattern = "*.mirvaul*";  // after "<dir>\"
// A snapshot being written carries this extension instead, which the pattern above never
// matches, and gets its own name only once it is complete.
inline constexpr std::string_view kTemporaryExtension = ".mvpart";
inline constexpr std::string_view kTemporaryPattern = "*.mvpart";
inline constexpr char kNamePieceSeparator = '.';
// A '.' inside a group or computer name stands in the file name as this character, which
// Windows file names allow, so that the name cuts into its pieces right; the library reads
// it back as '.'. The stand-in itself, kNameEscape and each character no file name can hold
// stand there as kNameEscape and two upper-case hex digits, so that every name reads back as
// it was. (Names written before the escape held '_' for a character no file name can hold.)
inline constexpr char kNameDotStandIn = '~';
inline constexpr char kNameEscape = '%';
// How a reader cuts a name into pieces lives with the library (core/library_name.h).

// Limits. A file within them is read back exactly.
inline constexpr std::size_t kMaxHeaderValueRead = 63;  // share name, COMPUTER, GROUP, DATE
inline constexpr std::size_t kMaxVersionValueRead = 3;
inline constexpr std::size_t kMaxOpenableDirectoryPath = 254;  // share\relative path
inline constexpr std::size_t kMaxEntryNameShown = 127;
// Lengths the format was designed around; the writer never cuts a longer text.
inline constexpr std::size_t kDesignEntryLineLength = 511;
inline constexpr std::size_t kDesignDirectoryPathLength = 299;
inline constexpr std::size_t kMaxNameLength = 63;        // group and computer names
inline constexpr std::size_t kMaxShareListLength = 255;  // as the network tables build it

}  // namespace mv
