// The file-system port over SMB: listings and directory identities of \\COMPUTER\SHARE\...
// paths, read from the servers through Samba's client library. Snapshots are written
// locally, so everything that would write answers "access denied".
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/smb/smb_session.h"
#include "platform/smb/unc_names.h"

namespace mv::smb {

class SmbFileSystem final : public FileSystem {
 public:
  // Both must outlive the file system. Any number of threads may use it at once.
  SmbFileSystem(SmbSession& session, UncNames& names);

  // One request per directory: each entry's name, attributes, size and creation time come
  // from the server's listing itself. A walk lists every directory twice in a row (once for
  // its entries, once for its subdirectories); the second listing on the same thread is
  // served from the first, so the server is asked once.
  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override;
  // Listings run on several threads at once, each on a context of its own, where the
  // library allows it.
  bool ListsConcurrently() const override;
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override;
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override;
  IoError Remove(const std::string& path) override;
  IoError Replace(const std::string& from, const std::string& to) override;
  IoError MakeDirectory(const std::string& path) override;
  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override;
  // Connects to the computer's IPC$ share, which any logon may use: a refusal to connect
  // there is a refusal of the credentials.
  IoError LogOn(const std::string& computer) override;

 private:
  // Below a link (a DFS link, say) the library may have to connect to another server, which
  // no other call may overlap; the links seen in the listings so far are kept for that.
  void NoteLinks(const std::string& folder, const std::vector<DirEntry>& entries);
  bool BelowLink(const std::string& folder);

  SmbSession& session_;
  UncNames& names_;
  const std::uint64_t id_;  // tells this file system's cached listing from another's
  std::mutex linksMutex_;
  std::set<std::string> links_;  // paths of the links listed
};

}  // namespace mv::smb
