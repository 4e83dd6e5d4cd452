// Names a backend lists that are not well-formed UTF-8: each reaches the program altered ('?'
// for each stray byte) and unique within its folder, and leads back to the name listed. The
// posix and SMB backends keep their altered names here alike.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mv {

class AlteredNames {
 public:
  // Whether the folder holds a name, as the backend lists it: an altered name never takes one.
  using Taken = std::function<bool(const std::string& name)>;
  // The names among listed (a folder's, read whole) that reach the program as they are.
  static Taken AmongListed(const std::vector<std::string>& listed);

  // name = listed, when it is well-formed UTF-8: false. Otherwise true, and name is listed
  // with '?' for each stray byte, a numbered suffix added ("a? (2).txt", "dir? (3)") while that
  // text is another altered name of folderPath or taken; the same listed name in the same folder
  // gets the same name each time. It is remembered under folderPath + "\" + name (as
  // AppendPathComponent appends it; "\\" + name when folderPath is empty), so that paths
  // through it lead back (Listed), and two folders altered alike are each walked as their own.
  bool Alter(std::string_view folderPath, std::string_view listed, std::string& name,
             const Taken& taken = {});

  // The listed name behind the last component of path, when Alter made that component.
  bool Listed(const std::string& path, std::string& listed) const;

  // Whether no name was altered yet: paths need no look-up then.
  bool empty() const { return !any_.load(std::memory_order_acquire); }

 private:
  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::string> listedByPath_;  // altered path -> listed name
  // folder path + '\0' + listed name -> the altered name given to it there.
  std::unordered_map<std::string, std::string> nameByListed_;
  std::atomic<bool> any_{false};
};

}  // namespace mv
