// The combination generator's parameters, kept with the catalogue settings ("CombsGenerateMode",
// "CombsGenerateParameters" in section GLOBAL of Quintar_7x35.ini).
#pragma once

#include <cstdint>
#include <string>

namespace quintar {

struct TCombsGenParams {
  uint8_t Mode = 0;    // 0..4
  std::string Params;  // up to 255 characters
};

}  // namespace quintar
