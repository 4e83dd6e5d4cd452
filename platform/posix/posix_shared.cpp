// Shared pieces of the Linux backends.
#include "platform/posix/posix_shared.h"

#include <fnmatch.h>

#include <cerrno>
#include <ctime>

namespace mv::posix {

IoError FromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return IoError::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return IoError::kAccessDenied;
    case ENAMETOOLONG:
      return IoError::kPathTooLong;
    case ENOSPC:
    case EDQUOT:
      return IoError::kDiskFull;
    case EWOULDBLOCK:
      return IoError::kSharingViolation;
    case EFBIG:
      return IoError::kTooLarge;
    case EEXIST:
      return IoError::kAlreadyExists;
    default:
      return IoError::kOther;
  }
}

UtcDateTime ToUtc(std::int64_t seconds) {
  UtcDateTime out;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (gmtime_r(&t, &tm) == nullptr) return out;
  out.year = tm.tm_year + 1900;
  out.month = tm.tm_mon + 1;
  out.day = tm.tm_mday;
  out.hour = tm.tm_hour;
  out.minute = tm.tm_min;
  out.second = tm.tm_sec;
  return out;
}

void SplitListingPattern(const std::string& pattern, std::string& folder, std::string& glob) {
  const std::size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos) {
    folder = ".";
    glob = pattern;
  } else {
    folder = pattern.substr(0, cut);
    glob = pattern.substr(cut + 1);
  }
  if (glob == "*.*") glob = "*";
}

bool MatchesListingGlob(const std::string& glob, const char* name) {
  // No FNM_PERIOD: "*.mirvaul*" lists ".PC1.05.12.2026.09.04.05.mirvaul", as on Windows.
  return glob == "*" || fnmatch(glob.c_str(), name, FNM_CASEFOLD) == 0;
}

}  // namespace mv::posix
