// Read-only mappings on Windows: the file opened for reading, shared with readers only, so
// that it is refused while a writer holds it and no writer opens it while it is mapped.
#include <windows.h>

#include "platform/mapped_file.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_system_path.h"

namespace mv {
namespace {

class Win32MappedFile final : public MappedFile {
 public:
  Win32MappedFile(HANDLE file, HANDLE mapping, const void* view, std::size_t size)
      : file_(file), mapping_(mapping), view_(view), size_(size) {}
  ~Win32MappedFile() override {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    CloseHandle(file_);
  }
  std::string_view bytes() const override { return {static_cast<const char*>(view_), size_}; }

 private:
  HANDLE file_;
  HANDLE mapping_;
  const void* view_;
  std::size_t size_;
};

}  // namespace

std::unique_ptr<MappedFile> MapFileExclusive(const std::string& path, std::uint64_t maxBytes,
                                             IoError& error) {
  const HANDLE file =
      CreateFileW(win32::SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = win32::LastIoError();
    return nullptr;
  }
  LARGE_INTEGER size{};
  error = IoError::kNone;
  if (!GetFileSizeEx(file, &size)) {
    error = win32::LastIoError();
  } else if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes ||
             static_cast<std::uint64_t>(size.QuadPart) >= SIZE_MAX) {
    error = IoError::kTooLarge;
  }
  HANDLE mapping = nullptr;
  const void* view = nullptr;
  if (error == IoError::kNone && size.QuadPart > 0) {
    // An empty file cannot be mapped; it needs no mapping either.
    mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view == nullptr) error = IoError::kOther;
  }
  if (error != IoError::kNone) {
    if (mapping != nullptr) CloseHandle(mapping);
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32MappedFile>(file, mapping, view,
                                           static_cast<std::size_t>(size.QuadPart));
}

}  // namespace mv
