// Texts of the end-of-job message.
#include "capture/end_of_job_message.h"

namespace mv {
namespace {

// A message box taller than the screen hides its OK button; longer lists end in a count.
constexpr std::size_t kMostLinesListed = 20;

void AppendList(std::string& text, const std::string& heading,
                const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  if (!text.empty()) text += "\n\n";
  text += heading;
  for (std::size_t i = 0; i < lines.size() && i < kMostLinesListed; ++i) text += "\n" + lines[i];
  if (lines.size() > kMostLinesListed) {
    text += "\n... and " + std::to_string(lines.size() - kMostLinesListed) + " more";
  }
}

}  // namespace

std::string DescribeFailedComputer(const std::string& computer, IoError error) {
  if (error == IoError::kNone) return computer;
  return computer + " (" + DescribeIoError(error) + ")";
}

std::string DescribeFailedCapture(const std::string& computer, const WriteReport& report) {
  if (report.nothingListed) {
    return computer + " (none of its shares could be listed: " + DescribeIoError(report.error) +
           ")";
  }
  if (!report.keptTemporary.empty()) {
    return computer + " (" + DescribeIoError(report.error) +
           "; the finished snapshot was kept as " + report.keptTemporary + ")";
  }
  return DescribeFailedComputer(computer, report.error);
}

std::string DescribeShare(const std::string& computer, const std::string& share) {
  return "\\\\" + computer + "\\" + share;
}

std::string DescribeNamesAltered(int namesAltered) {
  return std::to_string(namesAltered) + (namesAltered == 1 ? " name" : " names") +
         " held characters a snapshot cannot hold (line breaks, backslashes, a share "
         "header's key, or characters the system's code page lacks); they were written with "
         "\"?\" in their place.";
}

EndOfJobMessage ComposeEndOfJobMessage(const std::vector<std::string>& failedComputers,
                                       const std::vector<std::string>& sharesNotListed,
                                       int namesAltered) {
  EndOfJobMessage message{kSnapshotsCreated, MessageKind::kInformation};
  if (!failedComputers.empty()) {
    message.text.clear();
    message.kind = MessageKind::kError;
    AppendList(message.text, "Snapshots of these computers could not be created:", failedComputers);
  }
  AppendList(message.text, kSharesNotListedHeading, sharesNotListed);
  if (namesAltered > 0) message.text += "\n\n" + DescribeNamesAltered(namesAltered);
  return message;
}

}  // namespace mv
