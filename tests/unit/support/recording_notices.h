// A notice port that records the messages and status texts it is given, and may hold a
// message as a message box on screen does.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/view_ports.h"

namespace mv::test {

// Records every message and the last status text; while held, ShowMessage waits as a
// message box on screen does. The fields are read directly only where no other thread shows
// messages; Messages() may be called while workers run.
class RecordingNotices : public NoticePort {
 public:
  MessageAnswer ShowMessage(const std::string& text, MessageKind kind) override {
    std::unique_lock lock(mutex_);
    messages.push_back(text);
    kinds.push_back(kind);
    released_.wait(lock, [this] { return !held_; });
    return MessageAnswer::kOk;
  }
  // Recorded among the messages, and in utf8Messages too.
  MessageAnswer ShowUtf8Message(const std::string& text, MessageKind kind) override {
    {
      std::lock_guard lock(mutex_);
      utf8Messages.push_back(text);
    }
    return ShowMessage(text, kind);
  }
  void SetStatusText(int part, const std::string& text) override {
    statusPart = part;
    status = text;
  }

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
    std::vector<std::pair<std::string, MessageKind>> shown;
    for (std::size_t i = 0; i < messages.size(); ++i) shown.emplace_back(messages[i], kinds[i]);
    return shown;
  }

  std::vector<std::string> messages;
  std::vector<MessageKind> kinds;
  std::vector<std::string> utf8Messages;
  int statusPart = -1;
  std::string status;

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

}  // namespace mv::test
