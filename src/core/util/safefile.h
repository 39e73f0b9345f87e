// Safe rewriting of data files: the new content goes to a temporary file in the same folder, is flushed
// to disk and then renamed over the old file, so a failure halfway never loses the old file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quintar {

struct FileError : std::exception {
  explicit FileError(std::string msg) : msg_(std::move(msg)) {}
  const char* what() const noexcept override { return msg_.c_str(); }

 private:
  std::string msg_;
};

// Writes a file through a temporary file and rename. Write errors raise FileError.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter();  // discards the temporary file when Commit was not reached
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(const void* data, size_t size);
  void Write(std::string_view s) { Write(s.data(), s.size()); }
  // Flushes, syncs and renames the temporary file over the target. Without sync the new file survives a
  // crash of the process (the rename is one step) but not necessarily a crash of the system.
  void Commit(bool sync = true);
  const std::string& TempPath() const { return temp_; }

 private:
  void Flush();
  void WriteOut(const char* data, size_t size);
  std::string path_, temp_;
  int fd_ = -1;
  std::string buf_;
};

void WriteFileAtomic(const std::string& path, std::string_view content);

// Whole-file reading; raises FileError with the system's message when the file cannot be read.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
int64_t FileSizeOf(const std::string& path);  // -1 when missing
bool ForceDirectories(const std::string& path);
bool DeleteFileIfExists(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // with trailing "/"
std::string ExtractFileName(const std::string& path);
std::string ChangeFileExt(const std::string& path, std::string_view ext);
std::string IncludeTrailingSlash(const std::string& dir);
// Removes the temporary files that interrupted writes left in the folder: "<base>.*.tmpXXXXXX",
// "<base>_*.tmpXXXXXX" and "<base>.~tmp", unless a running process still holds one. Returns how many went.
int RemoveStaleTempFiles(const std::string& folder, std::string_view base);
// The system's text for errno (in English).
std::string SysErrorText(int err);

}  // namespace quintar
