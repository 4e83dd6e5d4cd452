// The largest growers between two captures: see space_growth.h.
#include "query/space_growth.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "core/text.h"

namespace mv {
namespace {

std::int64_t SizeOf(std::string_view text) {
  std::uint64_t size = 0;
  const auto [stop, problem] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (problem != std::errc() || stop != text.data() + text.size()) return 0;
  return static_cast<std::int64_t>(std::min<std::uint64_t>(size, INT64_MAX / 4));
}

// The first `levels` components of a backslash path.
std::string_view Leading(std::string_view path, int levels) {
  std::size_t at = 0;
  for (int level = 0; level < levels; ++level) {
    const std::size_t cut = path.find('\\', at);
    if (cut == std::string_view::npos) return path;
    at = cut + 1;
  }
  return path.substr(0, at - 1);
}

class GrowthReport final : public DiffReport {
 public:
  GrowthReport(const GrowthRequest& request, const CodePageDecoder& ansiNames)
      : request_(request), ansi_(ansiNames) {}

  void Begin(std::string_view, NameEncoding, std::string_view, NameEncoding newEncoding) override {
    decoder_ = ansi_.ForEncoding(newEncoding);
  }

  void Row(const DiffRow& row) override {
    if (row.isDirectory || row.path.empty()) return;
    // The row's folder, as "Share\Folder\...".
    const std::size_t cut = row.path.rfind('\\');
    key_.assign(row.share);
    if (cut != std::string_view::npos) {
      key_ += '\\';
      key_.append(row.path.substr(0, cut));
    }
    utf8_.clear();
    decoder_.AppendUtf8(key_, utf8_);
    std::string_view folder = utf8_;
    const std::string& within = request_.within;
    int levels = request_.depth;
    if (!within.empty()) {
      if (!StartsWithIgnoreCase(folder, within) ||
          (folder.size() > within.size() && folder[within.size()] != '\\')) {
        return;
      }
      levels += 1 + static_cast<int>(std::count(within.begin(), within.end(), '\\'));
    }
    Grower& grower = byFolder_[std::string(Leading(folder, levels))];
    switch (row.kind) {
      case DiffKind::kAdded:
        grower.bytes += SizeOf(row.newSize);
        ++grower.filesAdded;
        break;
      case DiffKind::kRemoved:
        grower.bytes -= SizeOf(row.oldSize);
        ++grower.filesRemoved;
        break;
      case DiffKind::kChanged:
        grower.bytes += SizeOf(row.newSize) - SizeOf(row.oldSize);
        ++grower.filesChanged;
        break;
      default:
        break;
    }
  }

  std::vector<Grower> Take() {
    std::vector<Grower> growers;
    growers.reserve(byFolder_.size());
    for (auto& [path, grower] : byFolder_) {
      grower.path = path;
      growers.push_back(std::move(grower));
    }
    const std::size_t top = std::min(request_.top, growers.size());
    auto order = [](const Grower& a, const Grower& b) {
      if (a.bytes != b.bytes) return a.bytes > b.bytes;
      if (a.filesAdded != b.filesAdded) return a.filesAdded > b.filesAdded;
      return a.path < b.path;
    };
    std::partial_sort(growers.begin(), growers.begin() + static_cast<std::ptrdiff_t>(top),
                      growers.end(), order);
    growers.resize(top);
    return growers;
  }

 private:
  const GrowthRequest& request_;
  const CodePageDecoder& ansi_;
  CodePageDecoder decoder_;
  std::string key_, utf8_;
  std::unordered_map<std::string, Grower> byFolder_;
};

}  // namespace

bool LargestGrowers(FileSystem& fileSystem, const GrowthRequest& request,
                    const CodePageDecoder& ansiNames, GrowthResult& result, DiffFailure& failure) {
  GrowthReport report(request, ansiNames);
  DiffSummary summary;
  if (!CompareSnapshotStreams(fileSystem, request.oldPath, request.newPath, ansiNames, {}, report,
                              summary, failure)) {
    return false;
  }
  result.growers = report.Take();
  result.summary = summary;
  return true;
}

}  // namespace mv
