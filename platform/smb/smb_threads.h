// Samba's client library keeps a stack of scratch memory for every call, one for the whole
// process unless it is given thread functions: calls on two threads at once, even on
// contexts of their own, would then free each other's scratch memory. The library's public
// way to give them is missing from some builds, so they go to the utility library under it.
#pragma once

namespace mv::smb {

// Gives the library POSIX thread functions, once, before anything else calls into it.
// handle: the loaded client library (its dependencies are searched too). False when they
// cannot be given (the utility library lacks the entry point, or has functions already):
// calls into the library must then never overlap.
bool InstallSmbThreads(void* handle);

}  // namespace mv::smb
