// A notice port that records the messages of the capture job and may hold them, as a
// message box on screen does.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/view_ports.h"

namespace mv::test {

// Records every message; while held, ShowMessage waits as a message box on screen does.
class RecordingNotices : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override {
    std::unique_lock lock(mutex_);
    messages_.emplace_back(text, kind);
    released_.wait(lock, [this] { return !held_; });
    return MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}

  void Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    released_.notify_all();
  }
  std::vector<std::pair<std::string, MessageKind>> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<std::pair<std::string, MessageKind>> messages_;
};

}  // namespace mv::test
