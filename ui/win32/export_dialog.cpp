// Export...: see export_dialog.h.
#include "ui/win32/export_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/code_page_text.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/win32/escaped_exception.h"
#include "query/export_file.h"
#include "query/snapshot_scan.h"
#include "res/resource_ids.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

// The save dialog's formats, in the order of its filter.
struct FormatChoice {
  ExportFormat format;
  const wchar_t* extension;
};
constexpr FormatChoice kFormats[] = {{ExportFormat::kCsv, L"csv"},
                                     {ExportFormat::kEfu, L"efu"},
                                     {ExportFormat::kJsonLines, L"jsonl"},
                                     {ExportFormat::kHtml, L"html"}};
constexpr wchar_t kFilter[] =
    L"CSV for spreadsheets (*.csv)\0*.csv\0"
    L"EFU file list for desktop search (*.efu)\0*.efu\0"
    L"JSON Lines (*.jsonl)\0*.jsonl\0"
    L"Web page (*.html)\0*.html\0";
// The longest path the save dialog hands back, in UTF-16 units (the extended-length limit).
constexpr DWORD kLongestPath = 32768;
// How often the progress text changes at most: once per this many KiB written.
constexpr std::uint64_t kProgressStepKiB = 256;

struct ExportJob {
  std::string snapshotPath, target;
  ExportFormat format = ExportFormat::kCsv;
  HWND window = nullptr;
  std::atomic<bool> stop{false};
  std::thread worker;
  // Written by the worker before its last message, read once it has come.
  ExportFileResult result = ExportFileResult::kFailed;
  std::string failure;
};

void RunExport(ExportJob& job) {
  SnapshotLayout layout;
  CodePageDecoder decoder;
  IoError error = IoError::kNone;
  if (std::string reason;
      !ReadSnapshotLayout(PlatformFileSystem(), job.snapshotPath, layout, reason)) {
    job.failure = "'" + job.snapshotPath + "' " + reason;
  } else if (!decoder.Open(GetACP())) {
    job.failure = "The code page " + std::to_string(GetACP()) + " is not known on this machine";
  } else {
    ExportFileRequest request;
    request.format = job.format;
    request.stop = &job.stop;
    std::uint64_t shownKiB = 0;
    request.progress = [&](std::uint64_t written) {
      const std::uint64_t kib = written / 1024;
      if (kib < shownKiB + kProgressStepKiB) return;
      shownKiB = kib;
      PostMessageW(job.window, kExportProgressMessage, 0, static_cast<LPARAM>(kib));
    };
    job.result =
        ExportSnapshotToFile(PlatformFileSystem(), layout, decoder, job.target, request, error);
    if (job.result == ExportFileResult::kFailed) {
      job.failure = "Could not write '" + job.target + "': " + DescribeIoError(error) +
                    ". Nothing was written";
    }
  }
  PostMessageW(job.window, kExportProgressMessage, 1, 0);
}

std::wstring WrittenText(std::uint64_t kib) {
  return L"Written " + std::to_wstring(kib / 1024) + L"." +
         std::to_wstring(kib % 1024 * 10 / 1024) + L" MB";
}

INT_PTR CALLBACK ExportProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* job = reinterpret_cast<ExportJob*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      job = reinterpret_cast<ExportJob*>(lParam);
      job->window = window;
      SetDlgItemTextW(window, IDC_EXPORT_TEXT,
                      (L"Exporting to " + WideFromText(job->target, NameEncoding::kUtf8)).c_str());
      SendDlgItemMessageW(window, IDC_EXPORT_PROGRESS, PBM_SETMARQUEE, TRUE, 50);
      job->worker = std::thread([job] { RunGuarded([job] { RunExport(*job); }); });
      return TRUE;
    }
    case kExportProgressMessage:
      if (wParam == 0) {
        SetDlgItemTextW(window, IDC_EXPORT_TEXT,
                        WrittenText(static_cast<std::uint64_t>(lParam)).c_str());
      } else {
        EndDialog(window, 0);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && job != nullptr) {
        // The worker stops at its next write and ends the window with its last message.
        job->stop = true;
        EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
        SetDlgItemTextW(window, IDC_EXPORT_TEXT, L"Cancelling...");
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void ShowFailure(HWND owner, const std::string& text) {
  MessageBoxW(owner, WideFromText(text + ".", NameEncoding::kUtf8).c_str(), L"Mirrorvault",
              MB_OK | MB_ICONERROR);
}

// The snapshot's file name without its extension: the name the save dialog offers.
std::wstring OfferedName(const std::string& snapshotPath) {
  std::string name = snapshotPath.substr(snapshotPath.find_last_of("\\/") + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  return WideFromText(name, NameEncoding::kUtf8);
}

}  // namespace

bool ExportWithProgress(HWND owner, const std::string& snapshotPath, const std::string& target,
                        ExportFormat format) {
  // By identity, not by name, as the command line refuses it.
  if (IsSameFile(target, snapshotPath)) {
    ShowFailure(owner, "'" + target + "' is the snapshot being exported; choose another file");
    return false;
  }
  ExportJob job;
  job.snapshotPath = snapshotPath;
  job.target = target;
  job.format = format;
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EXPORT_PROGRESS), owner,
                  GuardedDialogProc<ExportProgressProc>, reinterpret_cast<LPARAM>(&job));
  if (job.worker.joinable()) job.worker.join();
  if (job.result == ExportFileResult::kFailed) ShowFailure(owner, job.failure);
  return job.result == ExportFileResult::kWritten;
}

void ShowExportDialog(HWND owner, const std::string& snapshotPath) {
  std::vector<wchar_t> file(kLongestPath, L'\0');
  const std::wstring offered = OfferedName(snapshotPath) + L".csv";
  offered.copy(file.data(), std::min<std::size_t>(offered.size(), kLongestPath - 1));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kLongestPath;
  dialog.lpstrTitle = L"Export";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&dialog)) return;
  const DWORD index = dialog.nFilterIndex;
  const FormatChoice& choice = kFormats[index >= 1 && index <= std::size(kFormats) ? index - 1 : 0];
  std::wstring target = file.data();
  // A name typed without an extension gets the chosen format's.
  if (dialog.nFileExtension == 0 || dialog.nFileExtension >= target.size()) {
    if (!target.empty() && target.back() != L'.') target += L'.';
    target += choice.extension;
  }
  ExportWithProgress(owner, snapshotPath, TextFromWide(target, NameEncoding::kUtf8), choice.format);
}

}  // namespace mv
