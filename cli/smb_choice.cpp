// Reading the SMB options of mirrorvault-cli and opening the client they choose.
#include "cli/smb_choice.h"

#include <charconv>

namespace mv::cli {
namespace {

// A whole number from 1 to most, or nothing.
bool ReadNumber(const std::string& text, int most, int& number) {
  const char* end = text.data() + text.size();
  const auto [stop, problem] = std::from_chars(text.data(), end, number);
  return problem == std::errc() && stop == end && number >= 1 && number <= most;
}

}  // namespace

bool ReadSmbChoice(const ParsedArgs& parsed, SmbChoice& choice, std::string& usageError) {
  choice.wanted = parsed.Flag("--smb");
  for (const char* option : {"--auth-file", "--smb-port"}) {
    if (!choice.wanted && parsed.Option(option)) {
      usageError = std::string(option) + " goes with --smb";
      return false;
    }
  }
  choice.options.credentialsToBrowsed = parsed.Flag("--auth-browsed");
  if (choice.options.credentialsToBrowsed && !parsed.Option("--auth-file")) {
    usageError = "--auth-browsed goes with --auth-file";
    return false;
  }
  if (choice.wanted && parsed.Option("--unc-root")) {
    usageError = "--unc-root and --smb exclude each other";
    return false;
  }
  choice.options.authFile = parsed.Option("--auth-file").value_or("");
  if (const auto port = parsed.Option("--smb-port")) {
    int number = 0;
    if (!ReadNumber(*port, 65535, number)) {
      usageError = "--smb-port takes a TCP port number";
      return false;
    }
    choice.options.port = static_cast<std::uint16_t>(number);
  }
  return true;
}

bool ReadSnapshotCodePage(const ParsedArgs& parsed, unsigned& codePage, std::string& usageError) {
  codePage = kDefaultCodePage;
  const auto text = parsed.Option("--codepage");
  if (!text) return true;
  int number = 0;
  CodePageDecoder known;
  if (!ReadNumber(*text, 65535, number) || !known.Open(static_cast<unsigned>(number))) {
    usageError = "--codepage takes the number of a code page this machine knows, such as 1252";
    return false;
  }
  codePage = static_cast<unsigned>(number);
  return true;
}

std::unique_ptr<SmbClient> OpenChosenSmbClient(const SmbChoice& choice, std::ostream& err) {
  if (const std::string warning = AuthFileWarning(choice.options.authFile); !warning.empty()) {
    err << "mirrorvault-cli: warning: " << warning << "\n";
  }
  std::string error;
  std::unique_ptr<SmbClient> client = OpenSmbClient(choice.options, PlatformFileSystem(), error);
  if (client == nullptr) err << "mirrorvault-cli: " << error << "\n";
  return client;
}

std::string RefusedLogonText(const std::string& computer) {
  return "the computer " + computer +
         " refused the logon (wrong user name or password in the authentication file, or no "
         "guest access)";
}

}  // namespace mv::cli
