// Capture of real shares served by a loopback smbd: the same lines as the local backend, the
// server's creation dates, unreadable and vanished directories, refused credentials, names
// outside ASCII in the snapshot's code page, and the scan and capture of `take --smb`.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "capture/activity_state.h"
#include "cli_run.h"
#include "core/snapshot_writer.h"
#include "forwarding_file_system.h"
#include "loopback_smbd.h"
#include "platform/smb/smb_credentials.h"
#include "platform/smb/unc_names.h"
#include "platform/smb/unc_routing_file_system.h"
#include "platform/smb_client.h"
#include "snapshot_texts.h"

namespace mv {
namespace {
namespace fs = std::filesystem;
using test::CliRun;
using test::LoopbackSmbd;

class SmbShareTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<LoopbackSmbd>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    if (!server_->running()) {
      if (!LoopbackSmbd::Installed() && std::getenv("CI") == nullptr) {
        GTEST_SKIP() << "smbd is not installed, so there is no SMB server to test against";
      }
      FAIL() << "the loopback smbd did not start: " << server_->failure();
    }
    SetActivityState(kCapturing);
  }
  void TearDown() override { SetActivityState(kIdle); }

  // The share's folder, emptied.
  static std::string Fresh(const std::string& share) {
    const std::string folder = server_->ShareFolder(share);
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
    return folder;
  }
  static void Make(const std::string& folder, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      fs::create_directories(fs::path(folder + "/" + file).parent_path());
      if (file.back() != '/') test::WriteTextFile(folder + "/" + file, file);
    }
  }
  static std::unique_ptr<SmbClient> Client(
      const std::string& authFile, std::vector<std::string> named = {LoopbackSmbd::kComputer},
      bool browsedToo = false) {
    std::string error;
    auto client = OpenSmbClient({authFile, server_->port(), {}, named, browsedToo},
                                PlatformFileSystem(), error);
    EXPECT_NE(client, nullptr) << error;
    return client;
  }
  // The text of a snapshot of shares taken through files.
  std::string Capture(FileSystem& files, const std::string& shares, WriteReport& report) {
    const std::string path = snaps_.Join("WG.PC.01.01.2026.00.00.00.mirvaul");
    WriteSnapshot("WG", LoopbackSmbd::kComputer, path, SplitShareList(shares), &report, files);
    EXPECT_TRUE(report.complete);
    return test::ReadTextFile(path);
  }
  CliRun Cli(cli::Args args) {
    args.insert(args.end(), {"--smb", "--smb-port", std::to_string(server_->port()), "--snapshots",
                             snaps_.path()});
    return test::RunCommand(args);
  }

  static inline std::unique_ptr<LoopbackSmbd> server_;
  test::ScratchDir snaps_;
};

TEST_F(SmbShareTest, SameLinesAsTheLocalBackendWithTheServersCreationDates) {
  const std::string folder = Fresh("Private");
  Make(folder, {"a.txt", "Sub/b.bin", "Sub/Deep/c.txt", "Empty/", "100% sure #1/d.txt", ".hid"});
  ASSERT_TRUE(server_->RunSmbClient("Private", "utimes a.txt 2009:06:03-12:00:00 -1 -1 -1"));
  test::ScratchDir unc;
  fs::create_directories(unc.Join(LoopbackSmbd::kComputer));
  fs::create_directory_symlink(folder, unc.Join(std::string(LoopbackSmbd::kComputer) + "/Private"));
  SetUncRoot(unc.path());
  WriteReport report;
  const std::string local = Capture(PlatformFileSystem(), "Private", report);
  const std::string smb = Capture(Client(server_->AuthFile())->fileSystem(), "Private", report);
  SetUncRoot(".");
  ASSERT_EQ(test::SnapshotEntries(local).size(), 10u);
  EXPECT_EQ(test::SnapshotEntries(smb), test::SnapshotEntries(local));
  EXPECT_NE(smb.find("\r\na.txt;;f;;5;;6.3.2009\r\n"), std::string::npos);  // the time it was given
}

TEST_F(SmbShareTest, UnreadableDirectoryIsCountedAndTheCaptureGoesOn) {
  const std::string folder = Fresh("Public");
  Make(folder, {"locked/secret.txt", "open/x.txt"});
  chmod((folder + "/locked").c_str(), 0);
  const CliRun run = Cli(
      {"capture", "--group", "WG", "--computer", LoopbackSmbd::kComputer, "--shares", "Public"});
  chmod((folder + "/locked").c_str(), 0755);
  ASSERT_EQ(run.code, cli::kExitOk) << run.err;
  EXPECT_NE(run.err.find("warning: 1 directory could not be listed"), std::string::npos);
  const std::vector<std::string> body =
      test::SnapshotEntries(test::ReadTextFile(run.out.substr(0, run.out.size() - 1)));
  ASSERT_EQ(body.size(), 4u);
  EXPECT_EQ(body[3], "Public\\open\\x.txt;;f;;10");
}

TEST_F(SmbShareTest, RefusedCredentialsFailTheComputerWithoutAFile) {
  const CliRun run =
      Cli({"capture", "--group", "WG", "--computer", LoopbackSmbd::kComputer, "--shares",
           "Private;Public", "--auth-file", server_->AuthFile("not-the-password")});
  EXPECT_EQ(run.code, cli::kExitFailure);
  EXPECT_NE(run.err.find("the computer localhost refused the logon"), std::string::npos);
  EXPECT_NE(run.err.find("\\\\localhost\\Private, \\\\localhost\\Public"), std::string::npos);
  EXPECT_EQ(run.err.find("not-the-password"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(snaps_.path()));
}

// Hands the share's listings to the SMB backend and takes the share's folder away once its
// root has been listed.
class VanishingShare final : public test::ForwardingFileSystem {
 public:
  VanishingShare(FileSystem& smb, std::string folder)
      : ForwardingFileSystem(smb), folder_(std::move(folder)) {}
  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    auto listing = inner_.List(pattern, error);
    if (!gone_) fs::rename(folder_, folder_ + ".away");
    gone_ = true;
    return listing;
  }

 private:
  std::string folder_;
  bool gone_ = false;
};

TEST_F(SmbShareTest, ShareFolderGoneMidCaptureLeavesItsDirectoriesUnlisted) {
  const std::string folder = Fresh("Public");
  Make(folder, {"a/x.txt", "b/y.txt", "c.txt"});
  auto client = Client("");
  VanishingShare vanishing(client->fileSystem(), folder);
  smb::UncRoutingFileSystem files(vanishing, PlatformFileSystem());
  WriteReport report;
  const std::string text = Capture(files, "Public", report);
  fs::rename(folder + ".away", folder);
  EXPECT_EQ(report.unlistedDirectories, 2);
  EXPECT_EQ(test::SnapshotEntries(text).size(), 4u);  // the share and its three entries
}

// Connections cut while listings are in flight on several threads (a server restart, a
// broken link): the listings that fail on a dead connection are made again on a new one, so
// the capture is whole, and the session goes on serving the next capture.
class CuttingConnections final : public test::ForwardingFileSystem {
 public:
  CuttingConnections(FileSystem& smb, const LoopbackSmbd& server)
      : ForwardingFileSystem(smb), server_(server) {}
  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    if (++listed_ == 6) dropped = server_.DropConnections();
    return inner_.List(pattern, error);
  }
  bool ListsConcurrently() const override { return inner_.ListsConcurrently(); }
  std::atomic<int> dropped{0};

 private:
  const LoopbackSmbd& server_;
  std::atomic<int> listed_{0};
};

TEST_F(SmbShareTest, ConnectionsCutMidWalkAreMadeAgainAndTheCaptureIsWhole) {
  const std::string folder = Fresh("Public");
  std::vector<std::string> files;
  for (int d = 0; d < 30; ++d) {
    for (int f = 0; f < 3; ++f)
      files.push_back("d" + std::to_string(d) + "/s/f" + std::to_string(f));
  }
  Make(folder, files);
  auto client = Client("");
  CuttingConnections cutting(client->fileSystem(), *server_);
  ASSERT_TRUE(cutting.ListsConcurrently());
  smb::UncRoutingFileSystem routed(cutting, PlatformFileSystem());
  WriteReport cut;
  const std::vector<std::string> again = test::SnapshotEntries(Capture(routed, "Public", cut));
  EXPECT_GT(cutting.dropped.load(), 0);
  EXPECT_EQ(cut.unlistedDirectories, 0);
  WriteReport whole;
  const std::vector<std::string> all =
      test::SnapshotEntries(Capture(client->fileSystem(), "Public", whole));
  EXPECT_EQ(all.size(), 1u + 30 * 5);  // the share, and per folder: itself, s and three files
  EXPECT_EQ(again, all);
}

// A DFS link (a Samba msdfs root) whose target server cannot be reached, as when it is down:
// the link is written as a folder and counted unlisted, and the rest of the share is walked.
// (The library follows referrals on port 445 only, so a reachable target cannot be tested
// against this server's own port.)
TEST_F(SmbShareTest, DfsLinkToAServerDownIsCountedUnlisted) {
  const std::string dfs = Fresh("Dfs");
  Make(dfs, {"plain/p.txt"});
  fs::create_symlink("msdfs:localhost\\Public", dfs + "/link");
  WriteReport report;
  EXPECT_EQ(test::SnapshotEntries(Capture(Client("")->fileSystem(), "Dfs", report)),
            (std::vector<std::string>{"SHARENAME: Dfs", "Dfs\\link;;d;;0", "Dfs\\plain;;d;;0",
                                      "Dfs\\plain\\p.txt;;f;;11"}));
  EXPECT_EQ(report.unlistedDirectories, 1);
}

// Names come from the servers whole: one outside code page 1252 makes the snapshot UTF-8,
// and folders of any name are walked.
TEST_F(SmbShareTest, NamesFromTheServersAreKeptWhole) {
  const std::string folder = Fresh("Public");
  Make(folder, {"caf\u00e9.txt", "\u65e5\u672c.txt", "\u00dcn\u00ef/x.txt", "\u76ee\u5f55/y.txt"});
  WriteReport report;
  const std::string text = Capture(Client("")->fileSystem(), "Public", report);
  EXPECT_NE(text.find("\r\nENCODING: UTF-8\r\n\r\nSHARENAME: Public"), std::string::npos);
  const std::vector<std::string> body = test::SnapshotEntries(text);
  for (const char* name :
       {"caf\u00e9.txt", "\u65e5\u672c.txt", "\u00dcn\u00ef\\x.txt", "\u76ee\u5f55\\y.txt"}) {
    EXPECT_NE(std::find_if(body.begin(), body.end(),
                           [&](const std::string& line) {
                             return line.rfind(std::string("Public\\") + name + ";;f", 0) == 0;
                           }),
              body.end())
        << name;
  }
  EXPECT_EQ(report.namesAltered, 0);
}

// Names a server gives that are not UTF-8 (smbd hides its own, others do not), altered alike:
// each gets a name the folder has not, and its path leads back to it alone.
TEST(UncNamesTest, NamesAlteredAlikeLeadBackToTheirOwn) {
  smb::UncNames names;
  const auto taken = AlteredNames::AmongListed({"dir\xFE", "dir\xFD", "dir?"});
  std::string first, second, url;
  EXPECT_FALSE(names.FromServer("\\\\PC\\S", "dir\xFE", first, taken));
  EXPECT_FALSE(names.FromServer("\\\\PC\\S", "dir\xFD", second, taken));
  EXPECT_EQ(first, "dir? (2)");
  EXPECT_EQ(second, "dir? (3)");
  ASSERT_TRUE(names.ToUrl("\\\\PC\\S\\" + second + "\\x", url));
  EXPECT_EQ(url, "smb://PC/S/dir%FD/x");
  ASSERT_TRUE(names.ToUrl("\\\\PC\\S\\dir?", url));
  EXPECT_EQ(url, "smb://PC/S/dir%3F");
}

// Listings on many threads, each on a context of its own, two shares walked at once through
// one session as two computers' workers do: each file is the one a walk that lists one
// folder at a time writes (below their headers, which tell the time).
TEST_F(SmbShareTest, ParallelListingsWriteTheFilesOfTheWalkOneListingAtATime) {
  for (const std::string share : {"Public", "Private"}) {
    const std::string folder = Fresh(share);
    std::vector<std::string> files{"top.txt", "Empty/"};
    for (int a = 0; a < 6; ++a) {
      for (int b = 0; b < 5; ++b) {
        files.push_back(share + std::to_string(a) + "/" + std::to_string(b) + "/f" +
                        std::to_string(a * b) + ".txt");
      }
    }
    Make(folder, files);
  }
  auto client = Client(server_->AuthFile());
  ASSERT_TRUE(client->fileSystem().ListsConcurrently());
  const auto capture = [&](FileSystem& files, const std::string& share) {
    const std::string path = snaps_.Join(share + (&files == &client->fileSystem() ? "1" : "0"));
    WriteReport report;
    WriteSnapshot("WG", LoopbackSmbd::kComputer, path, {share}, &report, files);
    EXPECT_TRUE(report.complete && report.unlistedDirectories == 0) << share;
    return test::SnapshotEntries(test::ReadTextFile(path));
  };
  std::vector<std::string> parallel[2];
  std::thread other([&] { parallel[1] = capture(client->fileSystem(), "Private"); });
  parallel[0] = capture(client->fileSystem(), "Public");
  other.join();
  test::ForwardingFileSystem oneAtATime(client->fileSystem());
  ASSERT_FALSE(oneAtATime.ListsConcurrently());
  EXPECT_EQ(parallel[0].size(), 69u);
  EXPECT_EQ(parallel[0], capture(oneAtATime, "Public"));
  EXPECT_EQ(parallel[1], capture(oneAtATime, "Private"));
}

TEST_F(SmbShareTest, TakeListsTheServersSharesAndCapturesEveryComputer) {
  Make(Fresh("Public"), {"p.txt"});
  Make(Fresh("Private"), {"q.txt"});
  const CliRun run = Cli({"take", "--computer", LoopbackSmbd::kComputer, "--computer", "127.0.0.1",
                          "--auth-file", server_->AuthFile()});
  ASSERT_EQ(run.code, cli::kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "WORKGROUP\n  localhost\n    Public\n    Private\n  127.0.0.1\n    Public\n"
            "    Private\nSnapshots successfully created.\n");
  int files = 0;
  for (const auto& file : fs::directory_iterator(snaps_.path())) {
    EXPECT_EQ(test::SnapshotEntries(test::ReadTextFile(file.path().string())),
              (std::vector<std::string>{"SHARENAME: Public", "Public\\p.txt;;f;;5",
                                        "SHARENAME: Private", "Private\\q.txt;;f;;5"}));
    ++files;
  }
  EXPECT_EQ(files, 2);
}

// The credentials go to the servers named, to others only when asked; the others get a
// guest logon, which the private share refuses. Once forgotten, nothing more is read.
TEST_F(SmbShareTest, CredentialsGoOnlyToTheServersNamed) {
  Make(Fresh("Private"), {"q.txt"});
  struct Case {
    std::vector<std::string> named;
    bool browsedToo;
    bool reachesPrivate;
  };
  const Case cases[] = {
      {{"LOCALHOST"}, false, true}, {{"127.0.0.1", "filesrv"}, false, false}, {{}, true, true}};
  for (const Case& c : cases) {
    std::unique_ptr<SmbClient> client = Client(server_->AuthFile(), c.named, c.browsedToo);
    IoError error = IoError::kNone;
    const std::string pattern = std::string("\\\\") + LoopbackSmbd::kComputer + "\\Private\\*";
    EXPECT_EQ(client->fileSystem().List(pattern, error) != nullptr, c.reachesPrivate)
        << DescribeIoError(error);
    client->ForgetCredentials();
    const std::string other = std::string("\\\\") + LoopbackSmbd::kComputer + "\\Public\\*";
    EXPECT_EQ(client->fileSystem().List(other, error), nullptr);
  }
  // An authentication file others may read is named on stderr; a private one is not.
  const std::string authFile = server_->AuthFile();
  for (const mode_t mode : {0600, 0640, 0604}) {
    chmod(authFile.c_str(), mode);
    const CliRun run = Cli({"capture", "--group", "WG", "--computer", LoopbackSmbd::kComputer,
                            "--shares", "Private", "--auth-file", authFile});
    EXPECT_EQ(run.code, cli::kExitOk) << run.err;
    EXPECT_EQ(run.err.find("may be read by other users") != std::string::npos, mode != 0600)
        << run.err;
  }
}

TEST(SmbAuthFile, ReadsSmbclientsFormatAndNeverQuotesIt) {
  smb::SmbCredentials good;
  std::string error;
  ASSERT_TRUE(
      smb::ParseAuthText("# mine\nUsername = OFFICE\\ann\n password=  s e=cret \n", good, error));
  EXPECT_EQ(good.username, "ann");
  EXPECT_EQ(good.domain, "OFFICE");
  EXPECT_EQ(good.password, "s e=cret");
  for (const char* bad : {"password = s3cret\n", "user: s3cret\n"}) {
    smb::SmbCredentials credentials;
    EXPECT_FALSE(smb::ParseAuthText(bad, credentials, error)) << bad;
    EXPECT_EQ(error.find("s3cret"), std::string::npos);
  }
}

}  // namespace
}  // namespace mv
