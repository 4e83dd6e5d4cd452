// The update check: one request for the number of the latest version, and the offer to
// visit the maker's web site when it is newer than this program. Silent on every failure.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/shell_port.h"
#include "platform/view_ports.h"

namespace mv {

inline constexpr int kOwnVersion = 1;
// Only this many bytes of the reply are read; the rest never counts.
inline constexpr std::size_t kUpdateReplyLimit = 4095;
inline constexpr char kUpdateQuestion[] =
    "New version of Mirrorvault is available. \nDo you want to download new version?";

// "<server>/update/ver.php?ver=1".
std::string UpdateQueryUrl(const std::string& server);

// The first bytes (at most limit) of the body found at url; empty on any failure (no
// network, no server, an error status).
using ReplyFetcher = std::function<std::string(const std::string& url, std::size_t limit)>;

// The reply's leading number, read as atoi reads it (a number too large to hold counts as
// the largest), decides: above kOwnVersion the question is asked, and Yes opens the web site.
void UpdateCheck(const std::string& server, const ReplyFetcher& fetch, NoticePort& notices,
                 ShellPort& shell);

}  // namespace mv
