#include "util/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "util/safefile.h"

namespace quintar {

TFileLock::TFileLock(std::string path, int timeoutMs) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw FileError("Невозможно открыть файл блокировки \"" + path + "\": " + SysErrorText(errno));
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    const int err = errno;
    if (err != EWOULDBLOCK && err != EINTR) {
      ::close(fd_);
      fd_ = -1;
      throw FileError("Невозможно заблокировать файл \"" + path + "\": " + SysErrorText(err));
    }
    if (std::chrono::steady_clock::now() >= until) {
      ::close(fd_);
      fd_ = -1;
      throw FileError("Файл \"" + path + "\" заблокирован другим процессом.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TFileLock::~TFileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace quintar
