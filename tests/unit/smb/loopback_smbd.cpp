// Starting, waiting for and stopping the loopback smbd of the SMB tests.
#include "loopback_smbd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace mv::test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(10);

std::string FindProgram(const std::string& name) {
  for (const char* folder : {"/usr/sbin", "/usr/bin", "/usr/local/sbin", "/usr/local/bin"}) {
    const std::string path = std::string(folder) + "/" + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return std::string();
}

// Connects to port on the loopback address; with port 0, binds there instead and returns the
// free port the kernel chose. 0 when that failed.
std::uint16_t Loopback(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  auto* any = reinterpret_cast<sockaddr*>(&address);
  socklen_t length = sizeof address;
  const bool done = port != 0 ? connect(fd, any, length) == 0
                              : bind(fd, any, length) == 0 && getsockname(fd, any, &length) == 0;
  close(fd);
  return done ? ntohs(address.sin_port) : 0;
}

// Runs a shell command with text on its standard input; true when it exits with 0.
bool RunWithInput(const std::string& command, const std::string& input) {
  FILE* pipe = popen(command.c_str(), "w");
  if (pipe == nullptr) return false;
  std::fputs(input.c_str(), pipe);
  return pclose(pipe) == 0;
}

std::string Tail(const std::string& text) {
  constexpr std::size_t kShown = 1500;
  return text.size() > kShown ? "..." + text.substr(text.size() - kShown) : text;
}

}  // namespace

bool LoopbackSmbd::Installed() {
  return !FindProgram("smbd").empty();
}

LoopbackSmbd::LoopbackSmbd() {
  if (!Start()) Stop();
}

LoopbackSmbd::~LoopbackSmbd() {
  Stop();
}

bool LoopbackSmbd::Start() {
  const std::string smbd = FindProgram("smbd");
  const std::string pdbedit = FindProgram("pdbedit");
  if (smbd.empty() || pdbedit.empty()) {
    failure_ = "smbd or pdbedit is not installed (tools/install-deps.sh installs samba)";
    return false;
  }
  // As root the guest is "nobody", so that permissions hold for it (root would read all);
  // any other account is its own guest, as smbd cannot switch users then.
  const passwd* account = getpwuid(geteuid());
  const std::string unixUser = account != nullptr ? account->pw_name : "root";
  const std::string guest = geteuid() == 0 ? "nobody" : unixUser;
  const std::string root = scratch_.path();
  chmod(root.c_str(), 0755);  // the guest walks through it to the shares
  for (const char* folder :
       {"private", "lock", "state", "cache", "pid", "ncalrpc", "Public", "Private", "Dfs"}) {
    std::filesystem::create_directories(scratch_.Join(folder));
  }
  port_ = Loopback(0);
  WriteTextFile(scratch_.Join("usermap"), unixUser + " = " + kUser + "\n");
  // Every file of the server's lies below @ (the scratch folder).
  std::string conf = R"([global]
server role = standalone server
interfaces = 127.0.0.1
bind interfaces only = yes
smb ports = PORT
disable netbios = yes
private dir = @/private
lock directory = @/lock
state directory = @/state
cache directory = @/cache
pid directory = @/pid
ncalrpc dir = @/ncalrpc
log file = @/log.smbd
passdb backend = tdbsam:@/private/passdb.tdb
username map = @/usermap
map to guest = Bad User
guest account = GUEST
load printers = no
printcap name = /dev/null
disable spoolss = yes
usershare path =
[Public]
path = @/Public
guest ok = yes
read only = yes
[Private]
path = @/Private
read only = no
[Dfs]
path = @/Dfs
guest ok = yes
read only = yes
msdfs root = yes
browseable = no
)";
  conf.replace(conf.find("PORT"), 4, std::to_string(port_));
  conf.replace(conf.find("GUEST"), 5, guest);
  for (std::size_t at = conf.find('@'); at != std::string::npos;
       at = conf.find('@', at + root.size()))
    conf.replace(at, 1, root);
  const std::string confFile = scratch_.Join("smb.conf");
  WriteTextFile(confFile, conf);
  if (!RunWithInput(pdbedit + " -s '" + confFile + "' -a -t -u '" + unixUser + "' >/dev/null 2>&1",
                    std::string(kPassword) + "\n" + kPassword + "\n")) {
    failure_ = "pdbedit could not add the test user to the scratch password database";
    return false;
  }

  const std::string log = scratch_.Join("smbd.out");
  pid_ = fork();
  if (pid_ == 0) {
    // Its own process group, so that its helpers are stopped with it; ended with the test
    // process should that die first.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    execl(smbd.c_str(), "smbd", "--foreground", "--no-process-group", "--debug-stdout",
          "--debuglevel=1", "-s", confFile.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid_ < 0) {
    failure_ = "could not start smbd";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (Loopback(port_) == 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "smbd ended at once:\n" + Tail(ReadTextFile(log));
      return false;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      failure_ = "smbd did not listen on 127.0.0.1:" + std::to_string(port_) + ":\n" +
                 Tail(ReadTextFile(log));
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

int LoopbackSmbd::DropConnections() const {
  int dropped = 0;
  // Each connection has a child of its own named smbd; the other children (notifyd,
  // cleanupd) stay.
  for (const auto& process : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(process.path() / "stat");
    std::string name, state;
    pid_t pid = 0, parent = 0;
    if (stat >> pid >> name >> state >> parent && parent == pid_ && name == "(smbd)") {
      dropped += kill(pid, SIGKILL) == 0 ? 1 : 0;
    }
  }
  return dropped;
}

void LoopbackSmbd::Stop() {
  if (pid_ <= 0) return;
  // smbd starts its RPC helpers on demand in a session of their own; they are found by the
  // pid file in the scratch folder, and only taken for ours when they read our configuration.
  const std::string helper = ReadTextFile(scratch_.Join("pid/samba-dcerpcd.pid"));
  const pid_t helperPid = static_cast<pid_t>(std::atoi(helper.c_str()));
  if (helperPid > 0 && ReadTextFile("/proc/" + std::to_string(helperPid) + "/cmdline")
                               .find(scratch_.Join("smb.conf")) != std::string::npos) {
    kill(-helperPid, SIGTERM);
  }
  kill(-pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Whatever of the group is left (a helper that outlived smbd) goes too.
  kill(-pid_, SIGKILL);
  waitpid(pid_, &status, WNOHANG);
  pid_ = -1;
}

std::string LoopbackSmbd::AuthFile(const std::string& password) const {
  const std::string path = scratch_.Join(password == kPassword ? "auth" : "auth-other");
  WriteTextFile(path, std::string("username = ") + kUser + "\npassword = " + password + "\n");
  return path;
}

bool LoopbackSmbd::RunSmbClient(const std::string& share, const std::string& commands) const {
  const std::string smbclient = FindProgram("smbclient");
  return !smbclient.empty() && RunWithInput("TZ=UTC " + smbclient + " -A '" + AuthFile() + "' -p " +
                                                std::to_string(port_) + " '//" + kComputer + "/" +
                                                share + "' >/dev/null 2>&1",
                                            commands + "\n");
}

}  // namespace mv::test
