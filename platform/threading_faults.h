// What the threading backends ask before making an event: whether a test wants this one to
// fail (FailNextEventCreations).
#pragma once

#include "platform/threading.h"

namespace mv {

bool EventCreationMustFail();

}  // namespace mv
