// Carrying a snapshot's text from its ANSI code page into UTF-8, a piece at a time.
#include "core/snapshot_recode.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/code_page_text.h"
#include "core/snapshot_format.h"

namespace mv {
namespace {

constexpr std::size_t kRecodePiece = 256 * 1024;

// Decodes whole lines only, so that no two-byte character is cut between two pieces: the
// trail byte of a two-byte code page is never a line feed.
class PieceCopier {
 public:
  PieceCopier(OutputFile& from, OutputFile& to, CodePageDecoder& decoder)
      : from_(from), to_(to), decoder_(decoder), piece_(kRecodePiece) {}

  // Copies up to end, a line start (or the end of the text).
  IoError CopyUpTo(std::uint64_t end) {
    while (offset_ < end) {
      const auto want =
          static_cast<std::size_t>(std::min<std::uint64_t>(piece_.size(), end - offset_));
      std::size_t got = 0;
      const IoError read = from_.ReadBack(offset_, piece_.data(), want, got);
      if (read != IoError::kNone) return read;
      if (got == 0) return IoError::kOther;  // shorter than what was written
      offset_ += got;
      carried_.append(piece_.data(), got);
      std::size_t cut = carried_.size();
      if (offset_ < end) {
        const std::size_t lineFeed = carried_.rfind('\n');
        cut = lineFeed == std::string::npos ? 0 : lineFeed + 1;
      }
      utf8_.clear();
      decoder_.AppendUtf8(std::string_view(carried_).substr(0, cut), utf8_);
      carried_.erase(0, cut);
      const IoError written = to_.Write(utf8_.data(), utf8_.size());
      if (written != IoError::kNone) return written;
    }
    return IoError::kNone;
  }

 private:
  OutputFile& from_;
  OutputFile& to_;
  CodePageDecoder& decoder_;
  std::vector<char> piece_;
  std::string carried_;  // the start of a line whose end is in the next piece
  std::string utf8_;
  std::uint64_t offset_ = 0;
};

}  // namespace

IoError CopyAsUtf8(OutputFile& from, std::uint64_t size, std::uint64_t encodingLineAt,
                   unsigned codePage, OutputFile& to) {
  CodePageDecoder decoder;
  // Under a code page this machine does not know, no text beyond ASCII was ever written in
  // it (none fits): what there is reads the same in UTF-8.
  if (!decoder.Open(codePage)) decoder.Open(kUtf8CodePage);
  PieceCopier copier(from, to, decoder);
  IoError error = copier.CopyUpTo(std::min(encodingLineAt, size));
  if (error != IoError::kNone) return error;
  std::string line(kEncodingLine);
  line.append(kLineEnd);
  error = to.Write(line.data(), line.size());
  if (error != IoError::kNone) return error;
  return copier.CopyUpTo(size);
}

OutputFile* TemporaryUtf8Switch::SwitchToUtf8(OutputFile& current, std::uint64_t size,
                                              IoError& error) {
  std::string next;
  std::unique_ptr<OutputFile> nextFile = createTemporary_(next, error);
  if (nextFile == nullptr) return nullptr;
  error = CopyAsUtf8(current, size, encodingLineAt_, codePage_, *nextFile);
  if (error != IoError::kNone) {
    nextFile.reset();
    fs_.Remove(next);
    return nullptr;
  }
  // The file in the code page is closed and goes: only the new one is published.
  file_ = std::move(nextFile);
  fs_.Remove(temporary_);
  temporary_ = next;
  return file_.get();
}

}  // namespace mv
