// COM for the calling thread, as the shell needs it: ShellExecuteA, the property sheets and
// the folder picker load shell extensions that expect a single-threaded apartment.
#pragma once

#include <objbase.h>

namespace mv {

// Enters a single-threaded apartment for the life of the object (the thread's life, for the
// main thread). A thread that already has COM keeps what it has.
class ComApartment {
 public:
  ComApartment()
      : entered_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComApartment() {
    if (entered_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};

}  // namespace mv
