#include "app/shreddingedit.h"

#include <algorithm>

namespace quintar {

TShreddingSettings ShreddingSettingsOf(const TStatList& list) {
  TShreddingSettings d;
  for (int i = 0; i < kShreddingFormulas; ++i) {
    d.Formula[i] = list.FormulaOf(i + 1);
    d.Digits[i] = list.FormulaDigitsOf(i + 1);
  }
  return d;
}

void EditShredding(Session& s, const TShreddingSettings& data) {
  auto digits = [&](int i) {
    return static_cast<uint8_t>(std::clamp(data.Digits[i], kMinShreddingDigits, kMaxShreddingDigits));
  };
  {
    BusyScope busy(s);
    TStatList& list = s.Stats;
    list.Formula1 = data.Formula[0];
    list.Formula2 = data.Formula[1];
    list.Formula3 = data.Formula[2];
    list.Formula1Digits = digits(0);
    list.Formula2Digits = digits(1);
    list.Formula3Digits = digits(2);
    s.WriteShreddingSettings();
    // The files of the shredding methods hold the old formulas' values.
    s.BuildAllPrefetches(false, TStatGroups{}.set(12));
    s.RebuildStatLists(true, true);
  }
  // The table and the graphs may show a shredding method: its values are the new formula's now.
  s.RefreshViews(true);
}

}  // namespace quintar
