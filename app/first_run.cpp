// The first-run marker and prompt: see first_run.h.
#include "app/first_run.h"

namespace mv {

bool IsFirstRun(const std::string& notFirstRunValue) {
  return notFirstRunValue != kNotFirstRunMarker;
}

void FirstRunPrompt(NoticePort& notices, const std::function<void()>& takeSnapshots) {
  if (notices.ShowMessage(kFirstRunQuestion, MessageKind::kQuestion) != MessageAnswer::kYes) {
    return;
  }
  if (takeSnapshots) takeSnapshots();
}

}  // namespace mv
