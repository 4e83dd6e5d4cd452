// The shell port over ShellExecuteA.
#pragma once

#include "platform/shell_port.h"

namespace mv {

class Win32ShellPort final : public ShellPort {
 public:
  void Open(const std::string& target) override;
};

}  // namespace mv
