// Samba's client library, loaded only when SMB is used: linking it would cost every run of
// the program the start-up of its hundred-odd dependencies. Every call into the library
// goes through the entry points of this table.
#pragma once

#include <string>

extern "C" {
#include <libsmbclient.h>
}

namespace mv::smb {

// The library file the build's headers describe.
inline constexpr char kSmbLibraryFile[] = "libsmbclient.so.0";

// The entry points the SMB backend uses, under the library's own names.
#define MV_SMB_ENTRY_POINTS(X)           \
  X(smbc_new_context)                    \
  X(smbc_init_context)                   \
  X(smbc_free_context)                   \
  X(smbc_setDebug)                       \
  X(smbc_setLogCallback)                 \
  X(smbc_setOptionUserData)              \
  X(smbc_getOptionUserData)              \
  X(smbc_setOptionNoAutoAnonymousLogin)  \
  X(smbc_setPort)                        \
  X(smbc_setFunctionAuthDataWithContext) \
  X(smbc_getFunctionAddCachedServer)     \
  X(smbc_setFunctionAddCachedServer)     \
  X(smbc_getFunctionCheckServer)         \
  X(smbc_setFunctionCheckServer)         \
  X(smbc_getFunctionOpendir)             \
  X(smbc_getFunctionReaddir)             \
  X(smbc_getFunctionReaddirPlus2)        \
  X(smbc_getFunctionClosedir)            \
  X(smbc_getFunctionStat)

struct SmbLibrary {
#define MV_SMB_DECLARE(name) decltype(&::name) name = nullptr;
  MV_SMB_ENTRY_POINTS(MV_SMB_DECLARE)
#undef MV_SMB_DECLARE
};

// Loads file and finds every entry point in it; false, with error naming the file and what
// is missing, when it cannot. A library that loads stays loaded to the end of the process.
bool OpenSmbLibrary(const char* file, SmbLibrary& library, std::string& error);

// Loads kSmbLibraryFile on the first call (any thread) and tells on every call whether it
// could; error then says why.
bool LoadSmbLibrary(std::string& error);

// Whether calls on different contexts may run on several threads at once (the library was
// given thread functions when it loaded); else every call must hold one lock. Call after
// LoadSmbLibrary has returned true.
bool SmbCallsMayOverlap();

// The entry points of kSmbLibraryFile, once LoadSmbLibrary has returned true.
const SmbLibrary& Smb();

}  // namespace mv::smb
