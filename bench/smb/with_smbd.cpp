// Runs a command while a loopback smbd serves its guest share "Public" (see the SMB tests'
// server): MV_SMB_PORT and MV_SMB_PUBLIC (the share's folder) tell the command where. The
// server stops when the command ends; the command's exit status is the tool's.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../../tests/unit/smb/loopback_smbd.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: with_smbd COMMAND [ARGUMENT...]\n");
    return 2;
  }
  mv::test::LoopbackSmbd server;
  if (!server.running()) {
    std::fprintf(stderr, "with_smbd: %s\n", server.failure().c_str());
    return 1;
  }
  setenv("MV_SMB_PORT", std::to_string(server.port()).c_str(), 1);
  setenv("MV_SMB_PUBLIC", server.ShareFolder("Public").c_str(), 1);
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
