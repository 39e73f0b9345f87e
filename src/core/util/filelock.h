// An advisory lock on a file of its own (created when missing), held for the object's lifetime: the
// writers of one data file take it around their read-modify-write so that two processes never lose each
// other's change.
#pragma once

#include <string>

namespace quintar {

class TFileLock {
 public:
  // Waits up to timeoutMs for the lock; raises FileError when the lock file cannot be opened or another
  // process keeps the lock that long.
  TFileLock(std::string path, int timeoutMs);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace quintar
