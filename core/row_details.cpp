// Texts of the status bar's detail part: see row_details.h.
#include "core/row_details.h"

namespace mv {

std::string SnapshotCreatedText(const std::string& created) {
  return "Snapshot Created: " + created;
}

std::string RowDetailsText(const std::string& name, const std::string& type,
                           const std::string& size, const std::string& created) {
  std::string text = name;
  if (!type.empty()) text += " Type: " + type;
  if (!size.empty()) text += " Size: " + size;
  if (!created.empty()) text += " Created: " + created;
  return text;
}

}  // namespace mv
