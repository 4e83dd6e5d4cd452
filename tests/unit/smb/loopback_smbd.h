// A real Samba server for the SMB tests: smbd on the loopback address and a free port, with
// its configuration, password database, locks, state and log in a scratch folder (nothing of
// the system's is used or touched). It serves "Public" to guests (read only) and "Private"
// to one user of its own password database, mapped to this process's account, and "Dfs", a
// DFS root (not browsed) to guests. The server stops with the object, and with the process
// should that end first.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

#include "test_support.h"

namespace mv::test {

class LoopbackSmbd {
 public:
  static constexpr char kComputer[] = "localhost";
  static constexpr char kUser[] = "mvtester";
  static constexpr char kPassword[] = "Mv-Test-Secret-7";

  LoopbackSmbd();  // starts the server; running() says whether it came up
  ~LoopbackSmbd();
  LoopbackSmbd(const LoopbackSmbd&) = delete;
  LoopbackSmbd& operator=(const LoopbackSmbd&) = delete;

  bool running() const { return pid_ > 0; }
  // Why the server is not running, with the end of its log.
  const std::string& failure() const { return failure_; }
  // Whether smbd is installed at all.
  static bool Installed();

  std::uint16_t port() const { return port_; }
  // Native folder of "Public", "Private" or "Dfs".
  std::string ShareFolder(const std::string& share) const { return scratch_.Join(share); }
  // An authentication file with the user's password, or with another one.
  std::string AuthFile(const std::string& password = kPassword) const;
  // Runs smbclient with the user's credentials on a share; true when it succeeded.
  bool RunSmbClient(const std::string& share, const std::string& commands) const;
  // Cuts every client's connection, as a server restart or a broken link would, and answers
  // how many; the server goes on accepting new ones.
  int DropConnections() const;

 private:
  bool Start();
  void Stop();

  ScratchDir scratch_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
  std::string failure_;
};

}  // namespace mv::test
