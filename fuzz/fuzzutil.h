// Shared by the fuzz targets: the input as a file in a private folder, for the readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quintar::fuzz {

// A folder of this process under the temporary folder, emptied before each input.
const std::string& Folder();
void EmptyFolder();
// Writes the input to Folder() + name and returns the path.
std::string InputFile(const std::string& name, const uint8_t* data, size_t size);
inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quintar::fuzz
