// What the threading backends ask before making an event or starting a thread: whether a
// test wants this one to fail (FailNextEventCreations, FailNextThreadStarts).
#pragma once

#include "platform/threading.h"

namespace mv {

bool EventCreationMustFail();
bool ThreadStartMustFail();

}  // namespace mv
