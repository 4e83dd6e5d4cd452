// The Search files dialog (resource 121): asks for the name to find.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace mv {

// Shows the dialog modally, owned by owner, offering name. Names are UTF-8. The name in the field
// when the user chose "Search" (or Enter); nothing for "Cancel", Esc or the close box.
std::optional<std::string> ShowSearchDialog(HWND owner, const std::string& name);

}  // namespace mv
