// The writer's switch from the ANSI code page to UTF-8: a snapshot starts in the code page,
// and at the first name that does not fit it, what was written so far is carried into a new
// temporary file in UTF-8, with the ENCODING line after the DATE CREATED line. Nothing is
// published before the end, so no reader ever sees either form half done.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/snapshot_output.h"
#include "platform/file_system.h"

namespace mv {

// Copies the first size bytes of from, text in codePage, into to as UTF-8, putting the
// ENCODING line (with its line end) at encodingLineAt, the start of a line. Reads and
// writes piece by piece: memory does not grow with the file. The error of a piece that could
// not be read back or written.
IoError CopyAsUtf8(OutputFile& from, std::uint64_t size, std::uint64_t encodingLineAt,
                   unsigned codePage, OutputFile& to);

// The writer's Utf8Switch: makes the next temporary file (createTemporary), carries the
// bytes over, removes the one it replaces, and hands the writer the new file and its path.
class TemporaryUtf8Switch final : public Utf8Switch {
 public:
  using CreateTemporary = std::function<std::unique_ptr<OutputFile>(std::string&, IoError&)>;

  TemporaryUtf8Switch(FileSystem& fs, unsigned codePage, CreateTemporary createTemporary,
                      std::unique_ptr<OutputFile>& file, std::string& temporary)
      : fs_(fs),
        codePage_(codePage),
        createTemporary_(std::move(createTemporary)),
        file_(file),
        temporary_(temporary) {}

  // Where the ENCODING line goes: just after the DATE CREATED line.
  void SetEncodingLineAt(std::uint64_t offset) { encodingLineAt_ = offset; }

  OutputFile* SwitchToUtf8(OutputFile& current, std::uint64_t size, IoError& error) override;

 private:
  FileSystem& fs_;
  unsigned codePage_;
  CreateTemporary createTemporary_;
  std::unique_ptr<OutputFile>& file_;
  std::string& temporary_;
  std::uint64_t encodingLineAt_ = 0;
};

}  // namespace mv
