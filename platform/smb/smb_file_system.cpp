// SMB listings: the whole directory is read at once on a context of the thread's own (the
// library fetches it whole anyway), converted to the code page, and then served from memory.
#include "platform/smb/smb_file_system.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <vector>

#include "platform/posix/posix_shared.h"

namespace mv::smb {
namespace {

using Entries = std::shared_ptr<const std::vector<DirEntry>>;

std::atomic<std::uint64_t> gNextId{1};

// The last directory listed on this thread, kept for the walk's second listing of it: used
// once, by the very next listing on the thread, and only while it is fresh.
constexpr auto kListingReuseWindow = std::chrono::seconds(5);
struct LastListing {
  std::uint64_t owner = 0;
  std::string folder;
  Entries entries;
  std::chrono::steady_clock::time_point listedAt;
};
thread_local LastListing tLastListing;

class SmbListing final : public DirectoryListing {
 public:
  SmbListing(Entries entries, std::string glob)
      : entries_(std::move(entries)), glob_(std::move(glob)) {}

  bool Next(DirEntry& entry) override {
    while (next_ < entries_->size()) {
      const DirEntry& found = (*entries_)[next_++];
      if (!posix::MatchesListingGlob(glob_, found.name.c_str())) continue;
      entry = found;
      return true;
    }
    return false;
  }

 private:
  Entries entries_;
  std::string glob_;
  std::size_t next_ = 0;
};

std::int64_t CreationSeconds(const libsmb_file_info& info) {
  // A server that keeps no creation time reports 0; the modification time stands in.
  return info.btime_ts.tv_sec != 0 ? info.btime_ts.tv_sec : info.mtime_ts.tv_sec;
}

}  // namespace

SmbFileSystem::SmbFileSystem(SmbSession& session, UncNames& names)
    : session_(session), names_(names), id_(gNextId.fetch_add(1)) {}

std::unique_ptr<DirectoryListing> SmbFileSystem::List(const std::string& pattern, IoError& error) {
  std::string folder, glob;
  posix::SplitListingPattern(pattern, folder, glob);
  LastListing last = std::move(tLastListing);
  tLastListing = LastListing{};
  if (last.owner == id_ && last.folder == folder && last.entries != nullptr &&
      std::chrono::steady_clock::now() - last.listedAt < kListingReuseWindow) {
    error = IoError::kNone;
    return std::make_unique<SmbListing>(std::move(last.entries), std::move(glob));
  }

  std::string url;
  if (!names_.ToUrl(folder, url)) {
    error = IoError::kNotFound;
    return nullptr;
  }
  auto entries = std::make_shared<std::vector<DirEntry>>();
  const IoError failure = session_.Read(url, !BelowLink(folder), [&](SMBCCTX* context) {
    entries->clear();
    SMBCFILE* dir = Smb().smbc_getFunctionOpendir(context)(context, url.c_str());
    if (dir == nullptr) return errno != 0 ? errno : EIO;
    const smbc_readdirplus2_fn next = Smb().smbc_getFunctionReaddirPlus2(context);
    struct stat st {};
    while (const libsmb_file_info* info = next(context, dir, &st)) {
      DirEntry& entry = entries->emplace_back();
      const bool directory = (info->attrs & kAttrDirectory) != 0;
      entry.name = info->name;  // as the server gives it, until the whole folder is read
      entry.attributes = info->attrs;
      entry.size = directory ? 0 : info->size;
      entry.created = posix::ToUtc(CreationSeconds(*info));
    }
    Smb().smbc_getFunctionClosedir(context)(context, dir);
    return 0;
  });
  if (failure != IoError::kNone) {
    error = failure;
    return nullptr;
  }
  // An altered name takes none of the folder's other names.
  std::vector<std::string> listed;
  for (const DirEntry& entry : *entries) listed.push_back(entry.name);
  const AlteredNames::Taken taken = AlteredNames::AmongListed(listed);
  for (std::size_t i = 0; i < entries->size(); ++i) {
    DirEntry& entry = (*entries)[i];
    entry.nameAltered = !names_.FromServer(folder, listed[i], entry.name, taken);
  }
  NoteLinks(folder, *entries);
  tLastListing = LastListing{id_, folder, entries, std::chrono::steady_clock::now()};
  error = IoError::kNone;
  return std::make_unique<SmbListing>(std::move(entries), std::move(glob));
}

bool SmbFileSystem::ListsConcurrently() const {
  return session_.Overlapping();
}

void SmbFileSystem::NoteLinks(const std::string& folder, const std::vector<DirEntry>& entries) {
  for (const DirEntry& entry : entries) {
    if ((entry.attributes & (kAttrDirectory | kAttrReparsePoint)) !=
        (kAttrDirectory | kAttrReparsePoint)) {
      continue;
    }
    std::string path = folder;
    AppendPathComponent(path, entry.name);
    std::lock_guard lock(linksMutex_);
    links_.insert(std::move(path));
  }
}

bool SmbFileSystem::BelowLink(const std::string& folder) {
  std::lock_guard lock(linksMutex_);
  if (links_.empty()) return false;
  for (std::size_t end = folder.find('\\', 2); end != std::string::npos;
       end = folder.find('\\', end + 1)) {
    if (links_.count(folder.substr(0, end)) != 0) return true;
  }
  return links_.count(folder) != 0;
}

IoError SmbFileSystem::IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) {
  std::string url;
  if (!names_.ToUrl(path, url)) return IoError::kNotFound;
  struct stat st {};
  auto lock = SmbSession::Lock();
  SMBCCTX* context = session_.Context();
  if (context == nullptr) return IoError::kOther;
  if (Smb().smbc_getFunctionStat(context)(context, url.c_str(), &st) != 0) {
    return FromSmbErrno(errno);
  }
  if (!S_ISDIR(st.st_mode)) return IoError::kNotFound;
  // The library makes the device number of the server and share, the index of the file id
  // the server reports.
  identity.volume = static_cast<std::uint64_t>(st.st_dev);
  identity.index = static_cast<std::uint64_t>(st.st_ino);
  return IoError::kNone;
}

std::unique_ptr<OutputFile> SmbFileSystem::Create(const std::string&, IoError& error) {
  error = IoError::kAccessDenied;
  return nullptr;
}

IoError SmbFileSystem::Remove(const std::string&) {
  return IoError::kAccessDenied;
}

IoError SmbFileSystem::Replace(const std::string&, const std::string&) {
  return IoError::kAccessDenied;
}

IoError SmbFileSystem::MakeDirectory(const std::string&) {
  return IoError::kAccessDenied;
}

IoError SmbFileSystem::ReadWholeExclusive(const std::string&, std::uint64_t, std::vector<char>&) {
  return IoError::kAccessDenied;
}

IoError SmbFileSystem::LogOn(const std::string& computer) {
  std::string url;
  if (!names_.ToUrl("\\\\" + computer + "\\IPC$", url)) return IoError::kNotFound;
  auto lock = SmbSession::Lock();
  SMBCCTX* context = session_.Context();
  if (context == nullptr) return IoError::kOther;
  // IPC$ cannot be listed, and servers differ in how they refuse that; what matters is
  // whether the logon and the share were granted on the way.
  SMBCFILE* dir = Smb().smbc_getFunctionOpendir(context)(context, url.c_str());
  const int error = errno;
  if (dir != nullptr) Smb().smbc_getFunctionClosedir(context)(context, dir);
  if (dir != nullptr || session_.Connected(url)) return IoError::kNone;
  return error == EACCES || error == EPERM ? IoError::kLogonRefused : FromSmbErrno(error);
}

}  // namespace mv::smb
