#include "util/safefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quintar {

std::string SysErrorText(int err) { return std::strerror(err); }

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw FileError(what + " \"" + path + "\": " + SysErrorText(err));
}

void SyncDir(const std::string& path) {
  const std::string dir = ExtractFilePath(path);
  int d = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (d >= 0) {
    ::fsync(d);
    ::close(d);
  }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
  // The temporary file is locked for as long as it is written: the start-up's removal of files left by
  // interrupted writes passes a file that a living process holds. Between its creation and the lock
  // another process may take it for such a file; it is then made anew.
  for (int attempt = 0;; ++attempt) {
    std::string tmpl = path_ + ".tmpXXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) Fail("Cannot create file", path_, errno);
    temp_ = name.data();
    struct stat held {}, named {};
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd_, &held) == 0 && ::stat(temp_.c_str(), &named) == 0 &&
        held.st_ino == named.st_ino && held.st_dev == named.st_dev)
      break;
    ::close(fd_);
    fd_ = -1;
    if (attempt == 8) Fail("Cannot create file", path_, EAGAIN);
  }
  ::fchmod(fd_, 0644);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) {
    ::unlink(temp_.c_str());
    ::close(fd_);
  }
}

void AtomicFileWriter::WriteOut(const char* data, size_t size) {
  size_t off = 0;
  while (off < size) {
    ssize_t n = ::write(fd_, data + off, size - off);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write file", path_, errno);
    }
    off += static_cast<size_t>(n);
  }
}

void AtomicFileWriter::Flush() {
  WriteOut(buf_.data(), buf_.size());
  buf_.clear();
}

void AtomicFileWriter::Write(const void* data, size_t size) {
  if (fd_ < 0) throw FileError("File already closed: " + path_);
  if (size >= (1u << 20)) {
    // Large pieces go out as they are instead of through the buffer.
    Flush();
    WriteOut(static_cast<const char*>(data), size);
    return;
  }
  buf_.append(static_cast<const char*>(data), size);
  if (buf_.size() >= (1u << 20)) Flush();
}

void AtomicFileWriter::Commit(bool sync) {
  if (fd_ < 0) throw FileError("File already closed: " + path_);
  Flush();
  if (sync && ::fsync(fd_) != 0) Fail("Cannot write file", path_, errno);
  // Renamed while still open and locked, so that it never lies unlocked under its temporary name.
  if (::rename(temp_.c_str(), path_.c_str()) != 0) {
    int err = errno;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    Fail("Cannot replace file", path_, err);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("Cannot write file", path_, errno);
  if (sync) SyncDir(path_);
}

void WriteFileAtomic(const std::string& path, std::string_view content) {
  AtomicFileWriter w(path);
  w.Write(content);
  w.Commit();
}

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) Fail("Cannot open file", path, errno);
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      Fail("Cannot read file", path, err);
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool ForceDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return DirectoryExists(path);
}

bool DeleteFileIfExists(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string ExtractFilePath(const std::string& path) {
  size_t p = path.find_last_of('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t p = path.find_last_of('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ChangeFileExt(const std::string& path, std::string_view ext) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + std::string(ext);
  return path.substr(0, dot) + std::string(ext);
}

std::string IncludeTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

namespace {

// "<base>.<anything>.tmpXXXXXX" (a temporary file of a rewrite) or "<base>.~tmp" (of the stakes file).
bool IsOwnTempName(std::string_view name, std::string_view base) {
  if (name.substr(0, base.size()) != base || name.size() <= base.size() ||
      (name[base.size()] != '.' && name[base.size()] != '_'))
    return false;
  if (name == std::string(base) + ".~tmp") return true;
  if (name.size() < base.size() + 11) return false;
  const std::string_view tail = name.substr(name.size() - 10);
  if (tail.substr(0, 4) != ".tmp") return false;
  for (char c : tail.substr(4))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

}  // namespace

int RemoveStaleTempFiles(const std::string& folder, std::string_view base) {
  int removed = 0;
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return 0;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d))
    if (IsOwnTempName(e->d_name, base)) names.emplace_back(e->d_name);
  ::closedir(d);
  for (const std::string& n : names) {
    const std::string path = IncludeTrailingSlash(folder) + n;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    struct stat st {};
    // Only a plain file that no living process holds.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::unlink(path.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  return removed;
}

}  // namespace quintar
