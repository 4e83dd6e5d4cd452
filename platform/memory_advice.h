// Advice to the system on how to back large buffers with memory.
#pragma once

#include <cstddef>

namespace mv {

// Asks for huge pages behind the untouched buffer data of bytes bytes, where the system gives
// them on request: a buffer of many megabytes is otherwise faulted in 4 KiB at a time, which
// costs more than filling it. Only whole huge pages inside the buffer are asked for, so at
// most one huge page more than is touched is used.
void AdviseHugePages(void* data, std::size_t bytes);

}  // namespace mv
