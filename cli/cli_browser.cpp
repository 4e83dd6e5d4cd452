// The in-memory snapshot browser of mirrorvault-cli.
#include "cli/cli_browser.h"

#include "platform/file_system.h"

namespace mv::cli {

MessageAnswer StreamNotices::ShowMessage(const std::string& text, MessageKind kind) {
  err_ << text << "\n";
  shown_ = true;
  return kind == MessageKind::kQuestion ? MessageAnswer::kNo : MessageAnswer::kOk;
}

CliBrowser::CliBrowser(std::ostream& err)
    : notices(err), browser(PlatformFileSystem(), list, controls, notices) {}

bool CliBrowser::Open(const std::string& path) {
  if (browser.LoadSnapshot(path) == 0) {
    notices.ShowMessage("Could not open '" + path + "'.\nThe file is corrupted.",
                        MessageKind::kError);
    return false;
  }
  browser.ClearNavigationPath();
  browser.SetSnapshotComputer(browser.info().computer);
  browser.OpenLocation(kShareListStep);
  return true;
}

}  // namespace mv::cli
