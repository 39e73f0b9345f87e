#include "combs/stakesview.h"

#include <unordered_map>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

std::vector<std::string> StakeGridCaptions() {
  return {"№ тиража",   "Вид ставки", "Моя ставка", "Выборка",    "Результаты тиража",
          "Совпадений", "Совпадения", "Профит",     "Комментарий"};
}

TCellAlign StakeGridAlign(int col) {
  if (col == 7) return TCellAlign::Right;
  if (col == 8) return TCellAlign::Left;
  return TCellAlign::Center;
}

bool StakeRowEmpty(const TStakeRec& rec) { return rec.IsSeparator() || rec.Draw <= 0; }

namespace {

std::string DrawNumsText(const TStakeRec& rec, const char* sep) {
  std::string s;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (i) s += sep;
    s += std::to_string(rec.DrawNums[i]);
  }
  return s;
}

TNumSet Clamped(const TNumSet& set) {
  TNumSet s = set;
  if (s.Count > 8) s.Count = 8;
  if (s.Count < 0) s.Count = 0;
  return s;
}

}  // namespace

std::string StakeGridCell(const TStakeRec& rec, int col) {
  if (StakeRowEmpty(rec)) return "";
  switch (col) {
    case 0: return IntToStr(rec.Draw);
    case 1: return StakeKindName(rec.Kind);
    case 2: return NumSetToText(Clamped(rec.Numbers), ";");
    case 3: return IntToStr(rec.Sample);
    case 4: return rec.Checked ? DrawNumsText(rec, ";") : "";
    case 5: return rec.Checked ? IntToStr(rec.Matches.Count) : "";
    case 6: return rec.Checked ? NumSetToText(Clamped(rec.Matches), " ") : "";
    case 7: return Format("%.2f", {MoneyToDouble(rec.Profit)});
    case 8: return rec.Comment();
    default: return "";
  }
}

std::vector<std::string> StakeGridCells(const TStakeRec& rec) {
  std::vector<std::string> cells;
  cells.reserve(kStakeGridCols);
  for (int c = 0; c < kStakeGridCols; ++c) cells.push_back(StakeGridCell(rec, c));
  return cells;
}

std::optional<uint32_t> StakeKindColor(int kind) {
  switch (kind) {
    case skManual: return 0xEAFFEA;
    case skTable: return 0xFFEAEA;
    case skScript: return 0xEAFFFF;
    case skSystem: return 0xFCFDD9;
    default: return std::nullopt;
  }
}

bool StakeNumberMatched(const TStakeRec& rec, int number) {
  const TNumSet m = Clamped(rec.Matches);
  for (int i = 0; i < m.Count; ++i)
    if (m.Nums[i] == number) return true;
  return false;
}

std::vector<TStakeCellPart> StakeGridCellParts(const TStakeRec& rec, int col) {
  std::vector<TStakeCellPart> parts;
  if (StakeRowEmpty(rec)) return parts;
  auto numbers = [&](const uint8_t* nums, int count) {
    for (int i = 0; i < count; ++i) {
      if (i) parts.push_back({";", TStakeInk::Normal});
      parts.push_back({std::to_string(nums[i]), StakeNumberMatched(rec, nums[i]) ? TStakeInk::Matched : TStakeInk::Normal});
    }
  };
  if (col == 2) {
    const TNumSet s = Clamped(rec.Numbers);
    numbers(s.Nums, s.Count);
    return parts;
  }
  if (col == 4) {
    if (rec.Checked) numbers(rec.DrawNums, NUMS_IN_DRAW);
    return parts;
  }
  std::string text = StakeGridCell(rec, col);
  TStakeInk ink = TStakeInk::Normal;
  if (col >= 5 && col <= 7 && rec.Checked) ink = rec.Profit > 0 ? TStakeInk::Gain : TStakeInk::Loss;
  if (!text.empty()) parts.push_back({std::move(text), ink});
  return parts;
}

std::string StakesCountText(int count) { return Format("Ставок: %d", {count}); }

TGraphData StakesGraphDraws(TStakesFile& file) {
  struct DrawSum {
    int32_t Draw;
    int64_t Profit;
  };
  std::vector<DrawSum> draws;
  std::unordered_map<int32_t, size_t> index;
  file.ForEachStake([&](int, const TStakeRec& r) {
    if (r.Draw < 0) return;
    auto it = index.find(r.Draw);
    if (it == index.end()) {
      index.emplace(r.Draw, draws.size());
      draws.push_back({r.Draw, r.Profit});
    } else {
      draws[it->second].Profit = AddMoney(draws[it->second].Profit, r.Profit);
    }
  });
  if (draws.empty()) throw EQuintar(kGraphNoDraws);
  int64_t total = 0;
  for (const auto& d : draws) total = AddMoney(total, d.Profit);
  const double average = MoneyToDouble(total) / static_cast<double>(draws.size());
  TGraphData g;
  g.Caption = kStakesGraphDrawsHint;
  int64_t running = 0;
  for (const auto& d : draws) {
    running = AddMoney(running, d.Profit);
    g.AddGraphPoint(d.Draw, "Суммарный профит ставок по тиражу", MoneyToDouble(d.Profit), true, true, kGraphGreen);
    g.AddGraphPoint(d.Draw, "Среднее значение", average, false, false, kGraphBlue);
    g.AddGraphPoint(d.Draw, "Накопленное значение", MoneyToDouble(running), true, true, kGraphRed);
  }
  return g;
}

}  // namespace quintar
