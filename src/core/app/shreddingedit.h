// The command "Формулы шинковки" (EditShredding): the three shredding formulas with the count of decimal
// digits each keeps. The dialog shows ShreddingSettingsOf and, on OK, hands what it collected to
// EditShredding.
#pragma once

#include <string>

#include "app/session.h"

namespace quintar {

inline constexpr int kShreddingFormulas = 3;
inline constexpr int kMinShreddingDigits = 1, kMaxShreddingDigits = 5;

struct TShreddingSettings {
  std::string Formula[kShreddingFormulas];
  int Digits[kShreddingFormulas] = {2, 2, 2};
};

TShreddingSettings ShreddingSettingsOf(const TStatList& list);

inline bool CanEditShredding(const Session& s) { return s.IsIdle(); }
// Stores the formulas and digits (digits kept within 1..5), writes the SHREDDING section of the
// settings file, builds group 12's prefetch files anew, rebuilds the catalogue so that the methods
// take the new formulas and names, and recomputes the views.
void EditShredding(Session& s, const TShreddingSettings& data);

}  // namespace quintar
