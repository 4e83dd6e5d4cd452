// Paths of the ports (ANSI code page, UNC in their extended-length form) as the
// wide-character calls of Windows take them.
#pragma once

#include <string>

namespace mv::win32 {

std::wstring SystemPath(const std::string& path);

}  // namespace mv::win32
