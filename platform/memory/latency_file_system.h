// A file system that answers each listing only after a delay, to as many threads at once as
// ask: the file system it wraps is used by one thread at a time, under a lock, and each
// listing is read whole there and held for its delay outside it. With a random delay,
// listings started together end in any order, as a busy server's do.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace mv {

class LatencyFileSystem final : public FileSystem {
 public:
  // inner must outlive this. maxDelay: each listing waits this long, or, with randomDelay,
  // anything from none to this long. concurrent: what ListsConcurrently answers.
  LatencyFileSystem(FileSystem& inner, std::chrono::microseconds maxDelay, bool randomDelay,
                    bool concurrent = true, std::uint32_t seed = 1)
      : inner_(inner),
        maxDelay_(maxDelay),
        randomDelay_(randomDelay),
        concurrent_(concurrent),
        random_(seed) {}

  // Called, under the lock, with the pattern of each listing as it starts.
  std::function<void(const std::string&)> onList;

  bool ListsConcurrently() const override { return concurrent_; }

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    std::vector<DirEntry> entries;
    std::chrono::microseconds delay = maxDelay_;
    {
      std::lock_guard lock(mutex_);
      if (onList) onList(pattern);
      if (randomDelay_) {
        delay = std::chrono::microseconds(
            std::uniform_int_distribution<std::int64_t>(0, maxDelay_.count())(random_));
      }
      const std::unique_ptr<DirectoryListing> listing = inner_.List(pattern, error);
      if (listing == nullptr) return nullptr;
      DirEntry entry;
      while (listing->Next(entry)) entries.push_back(entry);
    }
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    return std::make_unique<Listing>(std::move(entries));
  }
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override {
    std::lock_guard lock(mutex_);
    return inner_.IdentifyDirectory(path, identity);
  }
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    std::lock_guard lock(mutex_);
    return inner_.Create(path, error);
  }
  IoError Remove(const std::string& path) override {
    std::lock_guard lock(mutex_);
    return inner_.Remove(path);
  }
  IoError Replace(const std::string& from, const std::string& to) override {
    std::lock_guard lock(mutex_);
    return inner_.Replace(from, to);
  }
  IoError MakeDirectory(const std::string& path) override {
    std::lock_guard lock(mutex_);
    return inner_.MakeDirectory(path);
  }
  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override {
    std::lock_guard lock(mutex_);
    return inner_.ReadWholeExclusive(path, maxBytes, contents);
  }
  std::unique_ptr<DirectoryListing> ListNames(const std::string& pattern, IoError& error) override {
    std::lock_guard lock(mutex_);
    return inner_.ListNames(pattern, error);
  }

 private:
  class Listing final : public DirectoryListing {
   public:
    explicit Listing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    bool Next(DirEntry& entry) override {
      if (next_ >= entries_.size()) return false;
      entry = std::move(entries_[next_++]);
      return true;
    }

   private:
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
  };

  FileSystem& inner_;
  const std::chrono::microseconds maxDelay_;
  const bool randomDelay_;
  const bool concurrent_;
  std::mutex mutex_;
  std::mt19937 random_;
};

}  // namespace mv
