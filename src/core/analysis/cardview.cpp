#include "analysis/cardview.h"

#include "util/format.h"

namespace quintar {

void TCardView::Build(const TDrawsArray& draws) {
  rows_.assign(draws.size(), TRow{});
  for (size_t k = 0; k < draws.size(); ++k) {
    const TDraw& d = draws[draws.size() - 1 - k];
    TRow& r = rows_[k];
    r.Number = d.Number;
    r.Bonus = d.Bonus;
    for (int i = 0; i < NUMS_IN_DRAW; ++i)
      if (d.Nums[i] >= 1 && d.Nums[i] <= MAX_NUMBER) r.Nums.set(d.Nums[i]);  // other numbers are not written
  }
  built_ = true;
}

bool TCardView::Has(int row, int n) const {
  const TRow* r = RowAt(row);
  return r && n >= 1 && n <= MAX_NUMBER && r->Nums.test(static_cast<size_t>(n));
}

std::string TCardView::Cell(int row, int col) const {
  if (col < 0 || col >= kCardColumns) return "";
  if (row == 0) {
    if (col == 0) return "";
    return col == kCardBonusColumn ? "E" : std::to_string(col);
  }
  const TRow* r = RowAt(row);
  if (!r) return "";
  if (col == 0) return std::to_string(r->Number);
  if (col == kCardBonusColumn) return std::to_string(r->Bonus);
  return r->Nums.test(static_cast<size_t>(col)) ? std::to_string(col) : "";
}

std::optional<uint32_t> TCardView::CellColor(int row, int col, const TCardColors& colors) const {
  if (row < 1 || row >= RowCount() || col < 1 || col > MAX_NUMBER) return std::nullopt;
  if (colors.ColorCardSequences && Has(row, col)) {
    // The caption row is no draw: the newest draw has no newer neighbour.
    const bool repeats = Has(row - 1, col) || Has(row + 1, col);
    const bool neighbour = (col > 1 && Has(row, col - 1)) || (col < MAX_NUMBER && Has(row, col + 1));
    if (repeats && neighbour) return kCardRepeatNeighbourColor;
    if (repeats) return kCardRepeatColor;
    if (neighbour) return kCardNeighbourColor;
  }
  if (colors.ColorCard) return ChannelColor(col, colors.ChannelSize);
  return std::nullopt;
}

bool TCardView::FilterSelectionAllowed(const TGridRect& r) const {
  return !r.Empty() && r.Left >= 1 && r.Right < kCardBonusColumn && r.Top >= 1 && r.Bottom < RowCount();
}

TNumberPick TCardView::SelectionNumbers(const TGridRect& r) const {
  TNumberPick pick;
  for (int c = r.Left; c <= r.Right; ++c)
    for (int row = r.Top; row <= r.Bottom; ++row) {
      const std::string text = Cell(row, c);
      if (!text.empty()) pick.Add(text);
    }
  return pick;
}

std::string ColorText(std::optional<uint32_t> rgb) {
  if (!rgb) return "";
  return Format("#%.6x", {static_cast<int>(*rgb & 0xFFFFFF)});
}

std::vector<std::string> CardLines(const TCardView& card, const TCardColors* colors) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(card.RowCount()));
  for (int row = 0; row < card.RowCount(); ++row) {
    std::string line;
    for (int col = 0; col < kCardColumns; ++col) {
      if (col) line += '\t';
      if (colors && row >= 1 && col >= 1)
        line += ColorText(card.CellColor(row, col, *colors));
      else
        line += card.Cell(row, col);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace quintar
