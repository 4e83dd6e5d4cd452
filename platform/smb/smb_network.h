// The network port over SMB: one provider whose groups are those given (or those the client
// can browse, where a master browser answers), the computers of each group likewise, and
// the shares of every computer as the computer itself announces them.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/memory/in_memory_network.h"
#include "platform/network.h"
#include "platform/network_description.h"
#include "platform/smb/smb_session.h"
#include "platform/smb/unc_names.h"
#include "platform/smb_client.h"

namespace mv::smb {

inline constexpr char kSmbProviderName[] = "SMB Network";

class SmbNetwork final : public NetworkPort {
 public:
  // given: groups and computers in the code page (their shares are ignored); no group: the
  // browsed ones. session and names must outlive the network.
  SmbNetwork(SmbSession& session, UncNames& names, const NetworkDescription& given);

  // May be called from many threads at once; each call reads its container whole.
  std::unique_ptr<NetworkEnumeration> OpenEnumeration(const NetResource* container) override;

  // Computers whose shares could not be listed, with the reason (kLogonRefused: refused).
  std::vector<UnlistedComputer> UnlistedComputers() const;

 private:
  struct Found {
    std::string name;  // UTF-8, as the server gave it
    unsigned type = 0;
  };
  // The entries of a browse URL; false with errno set when it cannot be read.
  bool Read(const std::string& url, std::vector<Found>& found);
  std::unique_ptr<NetworkEnumeration> Shares(const std::string& computer);
  std::unique_ptr<NetworkEnumeration> Browsed(const NetResource& container);

  SmbSession& session_;
  UncNames& names_;
  const bool browse_;
  InMemoryNetwork given_;  // the provider, and the groups and computers given
  mutable std::mutex unlistedMutex_;
  std::vector<UnlistedComputer> unlisted_;
};

}  // namespace mv::smb
