// bare_io FILE: the file work a save cannot do without, and nothing else. Reads FILE into a
// buffer of its size, writes FILE.bak and FILE.saving, each flushed to disk, and renames
// the latter over FILE. replay_bench compares a fresh process of the program's session with
// a fresh process of this one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool WriteFlushed(const std::string& path, const std::vector<char>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::fsync(fd) == 0 && ::close(fd) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bare_io FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  const int fd = ::open(path.c_str(), O_RDONLY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
  std::vector<char> bytes(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return 1;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  if (!WriteFlushed(path + ".bak", bytes) || !WriteFlushed(path + ".saving", bytes)) return 1;
  return ::rename((path + ".saving").c_str(), path.c_str()) == 0 ? 0 : 1;
}
