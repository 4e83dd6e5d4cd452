// A computer with shares for tests that walk \\COMPUTER\SHARE for real: natively its folder
// lies below a scratch UNC root (SetUncRoot), under Wine in the prefix's dosdevices\unc.
#pragma once

#include <string>

namespace mv::test {

class ScratchComputer {
 public:
  ScratchComputer();   // a fresh computer name, unique to this process
  ~ScratchComputer();  // removes every share folder
  ScratchComputer(const ScratchComputer&) = delete;
  ScratchComputer& operator=(const ScratchComputer&) = delete;

  // False where shares cannot be made up (Windows outside Wine): such tests skip.
  static bool Available();

  const std::string& name() const { return name_; }
  // Creates the folder of share and returns its native path.
  std::string AddShare(const std::string& share);
  // Native path of relative (with '/') inside share.
  std::string Join(const std::string& share, const std::string& relative) const;

 private:
  std::string folder_;  // native path of the computer's folder
  std::string name_;
};

}  // namespace mv::test
