// Keeps the capture indexes of the snapshots folder up to date in the background: the window
// asks at its start and whenever new snapshots came (a capture by hand or a scheduled run),
// and one thread of the keeper's own updates them, a request made meanwhile being served once
// after. A search never waits for it: what no index holds as it is now is read.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "platform/threading.h"

namespace mv {

class IndexKeeper {
 public:
  // Updates the indexes of directory soon; the thread starts with the first request.
  void Request(const std::string& directory);
  // Called on the keeper's thread after each update (tests and the status line).
  void SetDone(std::function<void(const std::string& directory)> done);

 private:
  void Body();

  std::mutex mutex_;
  std::string wanted_;  // the folder to update next; empty: none
  std::function<void(const std::string&)> done_;
  bool started_ = false;
  ManualResetEvent wake_;
};

// The process's keeper; it lives as long as the process.
IndexKeeper& TheIndexKeeper();

}  // namespace mv
