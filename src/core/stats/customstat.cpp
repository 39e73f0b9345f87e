#include "stats/customstat.h"

#include "stats/statlist.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

// TKeyLookup -------------------------------------------------------------------------------------------

void TKeyLookup::Build(const TStatDrawArray& list) {
  for (auto* t : {key1_, pair0_, part1_, part32_})
    for (int i = 0; i < kBits / 64; ++i) t[i] = 0;
  for (const auto& e : list) {
    const int p1 = e.Key.Part(1);
    if (In(p1)) {
      Set(part1_, p1);
      if (e.Key.Part(3) == 0) Set(pair0_, p1);
      if (e.Key.Part(2) == 0 && e.Key.Part(3) == 0 && e.Key.Part(4) == 0) Set(key1_, p1);
    }
    const int32_t q = e.Key.Part32(1);
    if (In(q)) Set(part32_, q);
  }
  data_ = list.data();
  size_ = list.size();
  if (!data_) size_ = 0;
}

// TCustomStat ------------------------------------------------------------------------------------------

TCustomStat::TCustomStat(const TStatClassInfo& cls, const TStatList& list, int32_t param)
    : Param(param), Draws(list.Draws), CurDraw(ZeroDraw()), PrevDraw(ZeroDraw()), class_(&cls) {}

int32_t TCustomStat::TextToKey(std::string_view text) const { return StrToIntDef(Trim(text), 0); }

void TCustomStat::ListValues(int /*LastIndex*/, TStatDrawArray& /*List*/) { Value = TStatDraw{}; }

void TCustomStat::ListKey(TStatDrawArray& List, const TStatKey& key) {
  Value.Key = key;
  Value.Count = 0;
  index_.Merge(List, Value, false);
}

TDraw TCustomStat::GetDraw(int Index, bool Sorted) const {
  if (!Draws || Index < 0 || Index >= static_cast<int>(Draws->size())) return ZeroDraw();
  TDraw d = (*Draws)[static_cast<size_t>(Index)];
  if (Sorted) SortDrawNums(d);
  return d;
}

void TCustomStat::LoadDraws(int DrawIndex, int PrevIndex, bool Sorted) {
  CurDraw = GetDraw(DrawIndex, Sorted);
  if (GetKinds() & KIND_D) PrevDraw = GetDraw(PrevIndex, Sorted);
}

void TCustomStat::CombValues(const TComb& /*Comb*/, TStatDrawArray& /*List*/) {
  Value = TStatDraw{};
  Value.Count = 1;
}

void TCustomStat::DrawValues(int DrawIndex, int LastIndex, bool Sorted, TStatDrawArray& /*List*/,
                             TStatContext& /*Context*/, TLastValueArray& /*LastValues*/) {
  LoadDraws(DrawIndex, LastIndex, Sorted);
  Value = TStatDraw{};
  Value.LastDraw = CurDraw.Number;
  Value.SeenDraw = CurDraw.Number;
  Value.Depth = LastIndex - DrawIndex + 1;
  Value.Count = 1;
}

int32_t TCustomStat::FindNextDraw(const TStatDraw& V, int FromIndex, int LastIndex, bool Sorted) {
  const int newest = Draws ? static_cast<int>(Draws->size()) - 1 : -1;
  if (FromIndex > newest) return -1;
  if (FromIndex < 0) FromIndex = 0;
  TStatContext context;
  TStatDrawArray list;
  TLastValueArray lastValues;
  for (int i = FromIndex; i <= newest; ++i) {
    list.clear();
    lastValues.clear();
    DrawValues(i, LastIndex, Sorted, list, context, lastValues);
    int k = IndexOfKey(list, V.Key);
    if (k >= 0) return list[static_cast<size_t>(k)].LastDraw;
  }
  return -1;
}

// Base kinds -------------------------------------------------------------------------------------------

std::string TCustomGraphStat::ValueToText(const TStatDraw& v) const { return IntToStr(v.Key.Part(1)); }

int32_t TCustomGraphStat::DrawNumber(int DrawIndex, int LastIndex, bool Sorted) {
  TDraw d = GetDraw(DrawIndex, Sorted);
  return CombNumber(CombOf(d), DrawIndex, LastIndex, Sorted);
}

std::string TCustomValuesStat::ValueToText(const TStatDraw& v) const { return IntToStr(v.Key.Part(1)); }

std::string TCustomNumbersStat::ValueToText(const TStatDraw& v) const { return IntToStr(v.Key.Part(1)); }

std::string TCustomRatioStat::ValueToText(const TStatDraw& v) const {
  const int k = v.Key.Part(1);
  return Format("%d:%d", {k, NUMS_IN_DRAW - k});
}

int32_t TCustomRatioStat::TextToKey(std::string_view text) const {
  size_t colon = text.find(':');
  return StrToIntDef(Trim(text.substr(0, colon)), 0);
}

void TCustomMaskStat::ListValues(int LastIndex, TStatDrawArray& List) {
  TCustomStat::ListValues(LastIndex, List);
  for (int m = 0; m < 128; ++m) ListKey(List, MakeKey32(m));
}

std::string TCustomMaskStat::ValueToText(const TStatDraw& v) const {
  const int32_t key = v.Key.Part32(1);
  const std::string zero = ZeroChar(), one = OneChar();
  std::string text;
  for (int bit = 0; bit < NUMS_IN_DRAW; ++bit) text = ((key >> bit) & 1 ? one : zero) + text;
  return Format("%s (%.3d)", {text, key});
}

int32_t TCustomMaskStat::TextToKey(std::string_view text) const {
  const std::string one = OneChar();
  size_t pos = 0;
  int32_t key = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    key <<= 1;
    if (pos >= text.size()) continue;  // missing characters are 0 bits
    size_t start = pos;
    DecodeUtf8(text, pos);
    if (text.substr(start, pos - start) == one) key += 1;
  }
  return key;
}

}  // namespace quintar

namespace quintar {

void TCustomStat::FilterBlock(const TComb* in, size_t n, TComb* out, const TStatDrawArray& Selected, int LastIndex,
                              bool Sorted, bool DeleteFlag, size_t& kept) {
  const bool keep = !DeleteFlag;
  size_t k = 0;
  try {
    for (size_t i = 0; i < n; ++i)
      if (TestComb(in[i], Selected, LastIndex, Sorted, DeleteFlag) == keep) out[k++] = in[i];
  } catch (...) {
    kept = k;
    throw;
  }
  kept = k;
}

}  // namespace quintar
