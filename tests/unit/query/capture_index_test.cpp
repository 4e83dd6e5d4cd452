// The capture index against reading every snapshot: over random libraries that churn, rename,
// lose and rewrite snapshots, and whose index files get damaged or left stale, find with the
// indexes gives each snapshot the hits that reading it gives, and the histories (and what is
// gone) are those a brute-force count over every snapshot gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/library_snapshots.h"
#include "platform/memory/memory_file_system.h"
#include "query/indexed_find.h"
#include "query/name_pattern.h"
#include "snapshot_texts.h"

namespace mv {
namespace {

const std::string kDir = "C:\\lib";

// Every hit per snapshot file, as "file|share|path|kind|size|created", sorted per file.
class Hits final : public FindReport {
 public:
  void Found(const LibrarySnapshot& s, std::string_view computer, NameEncoding encoding,
             const std::vector<FoundEntry>& hits) override {
    for (const FoundEntry& h : hits) {
      by[s.fileName].push_back(
          std::string(computer) + "|" +
          EntryKey(encoding, h.isDirectory, h.share, h.path, h.size, h.created));
    }
    by[s.fileName];
  }
  void Skipped(const LibrarySnapshot& s, std::string_view) override { by[s.fileName] = {"skip"}; }
  std::map<std::string, std::vector<std::string>> Sorted() {
    for (auto& [file, list] : by) std::sort(list.begin(), list.end());
    return by;
  }
  std::map<std::string, std::vector<std::string>> by;
};

class Histories final : public HistoryReport {
 public:
  void Seen(const EntryHistory& h) override {
    seen.insert(h.computer + "|" +
                EntryKey(h.encoding, h.entry.isDirectory, h.entry.share, h.entry.path, h.entry.size,
                         h.entry.created) +
                "|" + h.first->fileName + "|" + h.last->fileName + "|" +
                std::to_string(h.captures) + (h.inNewest ? "|now" : "|gone"));
  }
  void Skipped(const LibrarySnapshot&, std::string_view) override {}
  std::set<std::string> seen;
};

// What the histories must be, counted from the hits of every snapshot read.
std::set<std::string> BruteHistories(const std::vector<LibrarySnapshot>& library,
                                     std::map<std::string, std::vector<std::string>> hits,
                                     bool goneOnly) {
  std::map<std::string, std::vector<const LibrarySnapshot*>> computers;  // oldest first
  for (auto s = library.rbegin(); s != library.rend(); ++s) {
    computers[s->group + "." + s->computer].push_back(&*s);
  }
  std::set<std::string> out;
  for (const auto& [name, captures] : computers) {
    std::map<std::string, std::vector<std::size_t>> where;
    std::size_t newest = 0;
    for (std::size_t i = 0; i < captures.size(); ++i) {
      const std::vector<std::string>& list = hits[captures[i]->fileName];
      if (list == std::vector<std::string>{"skip"}) continue;
      newest = i + 1;
      for (const std::string& key : std::set<std::string>(list.begin(), list.end())) {
        where[key.substr(key.find('|') + 1)].push_back(i);
      }
    }
    for (const auto& [key, at] : where) {
      std::string computer;  // of the last capture that holds it
      for (const std::string& k : hits[captures[at.back()]->fileName]) {
        if (k.substr(k.find('|') + 1) == key) computer = k.substr(0, k.find('|'));
      }
      const bool now = at.back() + 1 == newest;
      if (goneOnly && now) continue;
      out.insert(computer + "|" + key + "|" + captures[at.front()]->fileName + "|" +
                 captures[at.back()]->fileName + "|" + std::to_string(at.size()) +
                 (now ? "|now" : "|gone"));
    }
  }
  return out;
}

struct Library {
  MemoryFileSystem fs{MatchesNamePattern};
  std::mt19937 random{36};
  int day = 0;
  // Each computer's current entries: line -> kept; the share list is fixed.
  std::map<std::string, std::set<std::string>> live;

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  std::string NewLine() {
    static const char* const names[] = {"note.txt", "NOTE.TXT", "caf\xE9.doc",  "b\xC3\xA9t.txt",
                                        "a",        "ab.c",     "report 1.txt", "Sub"};
    static const char* const folders[] = {"", "Sub\\", "Sub\\Deep\\", "\\", "Sub\\\\x\\"};
    static const char* const sizes[] = {"0", "12", "007", "5368709120", "x"};
    static const char* const dates[] = {"1.2.2020", "12.31.1999", "01.1.2020", "3.40.2020"};
    return std::string(folders[Pick(5)]) + names[Pick(8)] + std::to_string(Pick(4)) +
           (Pick(4) == 0 ? ";;d;;" : ";;f;;") + sizes[Pick(5)] + ";;" + dates[Pick(4)];
  }

  // A new newest capture of computer: some entries go, some come, some are renamed.
  void Capture(const std::string& computer) {
    std::set<std::string>& entries = live[computer];
    while (entries.size() < 30) entries.insert(NewLine());
    for (int churn = Pick(5); churn > 0; --churn) {
      entries.erase(std::next(entries.begin(), Pick(static_cast<int>(entries.size()))));
      entries.insert(NewLine());
    }
    const bool utf8 = computer == "PC2" && Pick(2) == 0;
    std::string text = test::HeaderText(computer);
    if (utf8) text.insert(text.find("\r\n\r\n") + 2, "ENCODING: UTF-8\r\n");
    for (const char* share : {"SHARENAME: Docs\r\n", "SHARENAME: Pub\r\n"}) {
      text += share;
      for (const std::string& line : entries) {
        if ((line.size() % 2 == 0) == (share[11] == 'D')) text += line + "\r\n";
      }
    }
    text += "END\r\n";
    ++day;
    const std::string name = "WG." + computer + "." + (day % 28 < 9 ? "0" : "") +
                             std::to_string(day % 28 + 1) + "." + std::to_string(day / 28 + 1) +
                             ".2026.10.00.00.mirvaul";
    fs.files[kDir + "\\" + name] = Pick(12) == 0 ? "Mirrorvault file\r\n" : text;
  }

  std::vector<std::string> Snapshots() {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : fs.files) {
      if (path.ends_with(".mirvaul")) names.push_back(path);
    }
    return names;
  }
};

TEST(CaptureIndex, FindWithIndexesGivesWhatReadingEverySnapshotGives) {
  Library lib;
  lib.fs.AddDirectory(kDir);
  std::size_t answeredFromIndex = 0;
  for (int step = 0; step < 50; ++step) {
    const int action = lib.Pick(10);
    const std::vector<std::string> snapshots = lib.Snapshots();
    if (action < 4 || snapshots.size() < 3) {
      lib.Capture(lib.Pick(2) == 0 ? "PC1" : "PC2");
    } else if (action == 4) {
      lib.fs.files.erase(
          snapshots[static_cast<std::size_t>(lib.Pick(static_cast<int>(snapshots.size())))]);
    } else if (action == 5) {  // rewritten under its name: the index must not be trusted
      std::string& bytes = lib.fs.files[snapshots[static_cast<std::size_t>(
          lib.Pick(static_cast<int>(snapshots.size())))]];
      const std::size_t at = bytes.find("note.txt");
      if (at != std::string::npos) bytes.replace(at, 8, "NOTE.txt");
    } else if (action == 6) {  // a damaged index: a byte flipped, cut, or grown
      for (auto& [path, bytes] : lib.fs.files) {
        if (!path.ends_with(".mvindex") || bytes.empty()) continue;
        const int how = lib.Pick(3);
        if (how == 0)
          bytes[static_cast<std::size_t>(lib.Pick(static_cast<int>(bytes.size())))] ^= 0x10;
        if (how == 1)
          bytes.resize(static_cast<std::size_t>(lib.Pick(static_cast<int>(bytes.size()))));
        if (how == 2) bytes += "x";
      }
    } else {  // the keeper's update, or the command's that reads every page
      UpdateIndexes(lib.fs, kDir, {}, step % 2 == 0);
    }
    const std::vector<LibrarySnapshot> library = ListLibrarySnapshots(lib.fs, kDir);
    for (const char* pattern : {"*", "note", "*.TXT", "\xC3\xA9", "?ot*", "ab", "b*t?.txt"}) {
      FindRequest request;
      request.pattern = pattern;
      request.threads = 1;
      request.kinds = step % 3 == 0 ? EntryKinds::kFiles : EntryKinds::kAll;
      Hits read, indexed;
      FindInSnapshots(lib.fs, library, request, read);
      IndexUse use;
      FindWithIndexes(lib.fs, kDir, library, request, indexed, &use);
      answeredFromIndex += use.indexed;
      const auto expected = read.Sorted();
      ASSERT_EQ(indexed.Sorted(), expected) << "step " << step << " pattern " << pattern;
      for (const bool gone : {false, true}) {
        Histories histories;
        FindHistories(lib.fs, kDir, library, request, gone, histories);
        ASSERT_EQ(histories.seen, BruteHistories(library, expected, gone))
            << "step " << step << " pattern " << pattern << (gone ? " gone" : "");
      }
    }
  }
  EXPECT_GT(answeredFromIndex, 1000u);  // the index did answer, not only the reading
}

// Updates change what they must: a new capture is read alone, a removed one is dropped, and a
// computer without snapshots loses its index.
TEST(CaptureIndex, UpdatesReadOnlyWhatChanged) {
  Library lib;
  lib.fs.AddDirectory(kDir);
  for (int i = 0; i < 4; ++i) lib.Capture("PC1");
  for (auto& [path, bytes] : lib.fs.files) {  // no refused captures in this one
    if (bytes.size() < 30) bytes = test::kSampleSnapshot;
  }
  ASSERT_EQ(UpdateIndexes(lib.fs, kDir, {}).at(0).added, 4u);
  lib.Capture("PC1");
  lib.fs.files.erase(lib.Snapshots().front());
  const IndexUpdate update = UpdateIndexes(lib.fs, kDir, {}).at(0);
  EXPECT_EQ(update.added + update.left, 1u);
  EXPECT_EQ(update.dropped, 1u);
  EXPECT_EQ(update.fileName, "wg.pc1.mvindex");
  for (const std::string& path : lib.Snapshots()) lib.fs.files.erase(path);
  EXPECT_TRUE(UpdateIndexes(lib.fs, kDir, {}).empty());
  EXPECT_EQ(lib.fs.files.count(kDir + "\\wg.pc1.mvindex"), 0u);
}

// A search reads an index in pieces: the pages its name needs, not the file.
TEST(CaptureIndex, ASearchReadsThePagesItNeedsNotTheWholeIndex) {
  struct CountedFiles final : MemoryFileSystem {
    CountedFiles() : MemoryFileSystem(MatchesNamePattern) {}
    std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override {
      struct Counted final : InputFile {
        std::unique_ptr<InputFile> file;
        std::uint64_t* read = nullptr;
        const FileStamp& stamp() const override { return file->stamp(); }
        IoError ReadAt(std::uint64_t at, char* out, std::size_t size, std::size_t& got) override {
          const IoError e = file->ReadAt(at, out, size, got);
          *read += got;
          return e;
        }
      };
      auto counted = std::make_unique<Counted>();
      counted->file = MemoryFileSystem::OpenExclusive(path, error);
      counted->read = path.ends_with(".mvindex") ? &indexBytesRead : &otherBytes;
      return counted->file == nullptr ? nullptr : std::move(counted);
    }
    std::uint64_t indexBytesRead = 0, otherBytes = 0;
  } fs;
  fs.AddDirectory(kDir);
  for (int day = 1; day <= 3; ++day) {
    std::string text = test::HeaderText("PC1") + "SHARENAME: Docs\r\n";
    for (int n = day * 100; n < 60000 + day * 100; ++n) {
      text += "Dir" + std::to_string(n / 100) + "\\file " + std::to_string(n) + ".txt;;f;;" +
              std::to_string(n) + ";;1.2.2020\r\n";
    }
    fs.files[kDir + "\\WG.PC1.0" + std::to_string(day) + ".12.2026.10.00.00.mirvaul"] =
        text + "file 12345.txt;;f;;1;;1.2.2020\r\nEND\r\n";
  }
  ASSERT_TRUE(UpdateIndexes(fs, kDir, {}).at(0).failure.empty());
  const std::size_t indexBytes = fs.files.at(kDir + "\\wg.pc1.mvindex").size();
  fs.indexBytesRead = 0;
  FindRequest request;
  request.pattern = "file 12345.txt";
  Hits hits;
  IndexUse use;
  FindWithIndexes(fs, kDir, ListLibrarySnapshots(fs, kDir), request, hits, &use);
  EXPECT_EQ(use.indexed, 3u);
  for (const auto& [file, list] : hits.by) EXPECT_EQ(list.size(), 2u) << file;
  // A few reads each of the header, grams, postings, strings, entries, folders and ranges.
  EXPECT_GT(indexBytes, 2000000u);
  EXPECT_LT(fs.indexBytesRead, indexBytes / 4);
}

}  // namespace
}  // namespace mv
