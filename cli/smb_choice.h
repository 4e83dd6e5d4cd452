// The options of capture and take that read real shares through SMB: --smb, and with it
// --auth-file FILE and --smb-port N; for take, --auth-browsed. And the snapshots' ANSI code
// page, --codepage N, with or without --smb.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/args.h"
#include "core/code_page_text.h"
#include "platform/smb_client.h"

namespace mv::cli {

struct SmbChoice {
  bool wanted = false;  // --smb
  SmbOptions options;
};

// Reads the SMB options; false with a usage message when one of them comes without --smb,
// or a number does not read as one.
bool ReadSmbChoice(const ParsedArgs& parsed, SmbChoice& choice, std::string& usageError);

// The ANSI code page of --codepage, kDefaultCodePage without it; false with a usage message
// when it is no number or a code page this machine does not know.
bool ReadSnapshotCodePage(const ParsedArgs& parsed, unsigned& codePage, std::string& usageError);

// The client of the choice over the platform's file system; null after writing on err why
// it cannot be opened (never with anything the authentication file holds). Warns on err of
// an authentication file that others may read.
std::unique_ptr<SmbClient> OpenChosenSmbClient(const SmbChoice& choice, std::ostream& err);

// "the computer PC7 refused the logon (...)": what a computer that refuses the credentials
// is told with.
std::string RefusedLogonText(const std::string& computer);

}  // namespace mv::cli
