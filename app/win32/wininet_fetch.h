// The update check's request over WinINet.
#pragma once

#include <cstddef>
#include <string>

namespace mv {

// One request for url with the agent "Mirrorvault" and one read of at most limit bytes of
// the body. Empty when the session, the request or the read fails, and for a reply whose
// status is not a success (an error page is no version number).
std::string FetchFirstBytes(const std::string& url, std::size_t limit);

}  // namespace mv
