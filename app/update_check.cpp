// The update check's decisions: see update_check.h.
#include "app/update_check.h"

#include <string_view>

#include "app/web_pages.h"
#include "core/text.h"

namespace mv {

std::string UpdateQueryUrl(const std::string& server) {
  return server + "/update/ver.php?ver=" + std::to_string(kOwnVersion);
}

void UpdateCheck(const std::string& server, const ReplyFetcher& fetch, NoticePort& notices,
                 ShellPort& shell) {
  const std::string reply = fetch(UpdateQueryUrl(server), kUpdateReplyLimit);
  // A fetcher that returned more than asked still has only the first bytes read. NUL bytes
  // end the number like any other non-digit.
  const std::string_view counted = std::string_view(reply).substr(0, kUpdateReplyLimit);
  if (ParseIntLikeAtoi(counted) <= kOwnVersion) return;
  if (notices.ShowMessage(kUpdateQuestion, MessageKind::kQuestion) == MessageAnswer::kYes) {
    shell.Open(kMakerWebRoot);
  }
}

}  // namespace mv
