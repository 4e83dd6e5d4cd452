// Generates a directory tree of a given number of entries for the walk benchmark: every
// directory holds up to `fanout` subdirectories and `files` small files, filled breadth
// first, so depth grows with the logarithm of the size.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_tree ROOT ENTRIES [SUBDIRS] [FILES]\n");
    return 2;
  }
  const std::string root = argv[1];
  const long entries = std::atol(argv[2]);
  const long subdirs = argc > 3 ? std::atol(argv[3]) : 10;
  const long files = argc > 4 ? std::atol(argv[4]) : 90;
  if (mkdir(root.c_str(), 0755) != 0) {
    std::perror(root.c_str());
    return 1;
  }
  std::deque<std::string> pending{root};
  long made = 0;
  char text[64];
  while (made < entries && !pending.empty()) {
    const std::string dir = pending.front();
    pending.pop_front();
    for (long f = 0; f < files && made < entries; ++f, ++made) {
      const std::string path = dir + "/file-" + std::to_string(f) + ".dat";
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) {
        std::perror(path.c_str());
        return 1;
      }
      // Sizes vary so that the size column is not one digit everywhere.
      const int length = std::snprintf(text, sizeof text, "%ld\n", made * 7919 % 100003);
      if (write(fd, text, static_cast<std::size_t>(length)) != length) return 1;
      close(fd);
    }
    for (long d = 0; d < subdirs && made < entries; ++d, ++made) {
      std::string path = dir + "/dir-" + std::to_string(d);
      if (mkdir(path.c_str(), 0755) != 0) {
        std::perror(path.c_str());
        return 1;
      }
      pending.push_back(std::move(path));
    }
  }
  std::printf("%ld\n", made);
  return 0;
}
