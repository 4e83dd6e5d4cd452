// The first run for a user: the registry marker that ends it and the prompt that offers to
// take snapshots.
#pragma once

#include <functional>
#include <string>

#include "platform/view_ports.h"

namespace mv {

inline constexpr char kNotFirstRunValue[] = "notfirstrun";
inline constexpr char kNotFirstRunMarker[] = "1";
inline constexpr char kFirstRunQuestion[] =
    "This is first run of Mirrorvault.\nDo you want to take snapshots?";

// Every text but exactly "1" (missing, "0", "yes") is a first run.
bool IsFirstRun(const std::string& notFirstRunValue);

// Asks the question; Yes runs takeSnapshots (the Take Snapshots dialog), No ends the prompt.
void FirstRunPrompt(NoticePort& notices, const std::function<void()>& takeSnapshots);

}  // namespace mv
