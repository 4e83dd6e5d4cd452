// Row actions: which rows a command takes, which verb and path go to the shell, in which
// order, and how a typed location becomes a navigation path.
#include "ui/row_actions.h"

#include "core/parsed_entry.h"
#include "core/snapshot_format.h"
#include "core/text.h"
#include "res/resource_ids.h"
#include "ui/file_list_rows.h"

namespace mv {
namespace {

constexpr std::string_view kUncLead = "\\\\";

}  // namespace

RowKind ClassifyRow(std::string_view typeText) {
  if (EqualsIgnoreCase(typeText, kShareTypeText)) return RowKind::kShare;
  if (EqualsIgnoreCase(typeText, kDirectoryTypeText)) return RowKind::kDirectory;
  return RowKind::kFile;
}

std::string RowFileName(std::string_view name, std::string_view typeText) {
  std::string fileName(name);
  if (ClassifyRow(typeText) == RowKind::kFile) {
    fileName += '.';
    fileName += typeText;
  }
  return fileName;
}

int FindCurrentRow(FileListPort& list) {
  const int count = list.RowCount();
  for (const std::uint32_t bit : {kRowFocused, kRowSelected}) {
    for (int row = 0; row < count; ++row) {
      if ((list.RowState(row) & bit) != 0) return row;
    }
  }
  return -1;
}

int EnterKeyCommand(bool ctrlHeld, bool altHeld) {
  if (ctrlHeld && altHeld) return 0;
  if (altHeld) return IDM_FILE_PROPERTIES;
  if (ctrlHeld) return IDM_EXPLORE;
  return IDM_OPEN;
}

TypedLocation ReadTypedLocation(std::string_view text, std::string_view computer) {
  std::string prefix(kUncLead);
  prefix += computer;
  TypedLocation result;
  if (EqualsIgnoreCase(text, prefix)) {
    result.kind = TypedLocation::Kind::kIgnore;
    return result;
  }
  prefix += kPathSeparator;
  if (!StartsWithIgnoreCase(text, prefix)) return result;

  // The two leading backslashes stay; any later run of backslashes counts as one.
  std::string normal(text.substr(0, kUncLead.size()));
  for (std::size_t i = kUncLead.size(); i < text.size(); ++i) {
    if (text[i] == kPathSeparator && i + 1 < text.size() && text[i + 1] == kPathSeparator) continue;
    normal += text[i];
  }
  const std::size_t afterComputer = normal.find(kPathSeparator, kUncLead.size()) + 1;
  result.kind = TypedLocation::Kind::kNavigate;
  result.navigationPath = normal.substr(afterComputer);
  if (!result.navigationPath.empty() && result.navigationPath.back() != kPathSeparator) {
    result.navigationPath += kPathSeparator;
  }
  return result;
}

std::string RowActions::RowPath(int row) {
  return browser_.LocationText() +
         RowFileName(list_.CellText(row, kNameColumn), list_.CellText(row, kTypeColumn));
}

void RowActions::EnterRow(int row) {
  browser_.OpenLocation(ParseBareName(list_.CellText(row, kNameColumn)).displayName);
}

std::vector<int> RowActions::SelectedRows() {
  std::vector<int> rows;
  for (int row = 0; row < list_.RowCount(); ++row) {
    if ((list_.RowState(row) & kRowSelected) != 0) rows.push_back(row);
  }
  return rows;
}

bool RowActions::IsContainerRow(int row) {
  return ClassifyRow(list_.CellText(row, kTypeColumn)) != RowKind::kFile;
}

void RowActions::ActivateRow() {
  const int row = FindCurrentRow(list_);
  if (row < 0) return;
  if (IsContainerRow(row)) {
    EnterRow(row);
  } else {
    shell_.Open(RowPath(row));
  }
}

void RowActions::OpenRows() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) shell_.Open(browser_.LocationText());
  for (const int row : rows) {
    if (IsContainerRow(row)) {
      // The selected share or directory itself is entered, even when the focus rests on
      // another row: entering the focused row instead would open a file twice.
      EnterRow(row);
      return;
    }
    shell_.Open(RowPath(row));
  }
}

void RowActions::ExploreRows() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) shell_.Open(browser_.LocationText());
  for (const int row : rows) {
    // A file gives the folder that holds it.
    shell_.Explore(IsContainerRow(row) ? RowPath(row) : browser_.LocationText());
  }
}

void RowActions::ShowRowProperties() {
  const int row = FindCurrentRow(list_);
  shell_.ShowProperties(row < 0 ? browser_.LocationText() : RowPath(row));
}

void RowActions::EnterLocation(const std::string& text) {
  const TypedLocation location = ReadTypedLocation(text, browser_.snapshotComputer());
  if (location.kind == TypedLocation::Kind::kIgnore) return;
  if (location.kind == TypedLocation::Kind::kNavigate) {
    browser_.SetNavigationPath(location.navigationPath);
    if (browser_.FillFileList(location.navigationPath, "") != 0) return;
  }
  // A file that cannot be read was reported by the fill.
  const bool reported = location.kind == TypedLocation::Kind::kNavigate && browser_.readFailed();
  if (!reported) notices_.ShowMessage(CouldNotLocateText(text), MessageKind::kError);
  browser_.SetNavigationPath(browser_.listedPath());
}

std::string RowActions::CopyPathText() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return browser_.LocationText();
  std::string text;
  for (const int row : rows) {
    if (!text.empty()) text += kLineEnd;
    text += RowPath(row);
  }
  return text;
}

}  // namespace mv
