#include "fuzzutil.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quintar::fuzz {

const std::string& Folder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/quintar-fuzz-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

void EmptyFolder() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Folder(), ec)) std::filesystem::remove_all(e.path(), ec);
}

std::string InputFile(const std::string& name, const uint8_t* data, size_t size) {
  EmptyFolder();
  const std::string path = Folder() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

}  // namespace quintar::fuzz
