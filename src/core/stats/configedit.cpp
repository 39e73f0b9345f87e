#include "stats/configedit.h"

#include <algorithm>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {
constexpr const char* kBadSegment = "Некорректное значение: %s!\r\rУкажите любое число от 1 до 9";
}

std::string ConfigDataError(const TConfigData& data) {
  if (data.MatrixCols < kMinMatrixCols || data.MatrixCols > kMaxMatrixCols)
    return Format("Некорректный размер матрицы: %d!\r\rУкажите количество столбцов от %d до %d",
                  {data.MatrixCols, kMinMatrixCols, kMaxMatrixCols});
  if (data.ChannelSize < kMinChannelSize || data.ChannelSize > kMaxChannelSize)
    return Format("Некорректный размер канала: %d!\r\rУкажите ширину канала от %d до %d",
                  {data.ChannelSize, kMinChannelSize, kMaxChannelSize});
  for (uint8_t s : data.MatrixSegments)
    if (s < 1 || s > 9) return Format(kBadSegment, {std::to_string(s)});
  return "";
}

void TConfigEditor::SetMatrixCols(int cols) { data_.MatrixCols = std::clamp(cols, kMinMatrixCols, kMaxMatrixCols); }

int TConfigEditor::CellNumber(int row, int col) const {
  if (row < 0 || col < 0 || col >= data_.MatrixCols) return 0;
  int n = NumberAt(row, col, data_.MatrixCols);
  return n >= 1 && n <= MAX_NUMBER ? n : 0;
}

std::string TConfigEditor::CellText(int row, int col) const {
  int n = CellNumber(row, col);
  return n ? std::to_string(data_.MatrixSegments[n - 1]) : "";
}

std::string TConfigEditor::SetCellText(int row, int col, std::string_view text) {
  int n = CellNumber(row, col);
  if (!n) return "";
  std::string t = Trim(text);
  if (t.empty()) {
    data_.MatrixSegments[n - 1] = 1;
    return "";
  }
  auto v = TryStrToInt(t);
  if (!v || *v < 1 || *v > 9) {
    data_.MatrixSegments[n - 1] = 1;
    return Format(kBadSegment, {t});
  }
  data_.MatrixSegments[n - 1] = static_cast<uint8_t>(*v);
  return "";
}

void TConfigEditor::SetChannelSize(int size) {
  data_.ChannelSize = std::clamp(size, kMinChannelSize, kMaxChannelSize);
}

std::string TConfigEditor::CostText() const { return FloatToStr(MoneyToDouble(data_.Cost)); }

bool TConfigEditor::SetCostText(std::string_view text) {
  auto v = TryStrToFloat(Trim(text));
  if (!v || !(*v >= -kMaxMoneySetting && *v <= kMaxMoneySetting)) return false;
  data_.Cost = MoneyFromDouble(*v);
  return true;
}

std::vector<std::string> TConfigEditor::ProfitLines() const {
  auto prizeFor = [&](int k) -> int64_t {
    for (const auto& p : data_.Profits)
      if (p.Overlap == k) return p.Profit;
    return 0;
  };
  std::vector<std::string> lines;
  for (int k = 0; k < kProfitLines; ++k) lines.push_back(Format("%d=%.2f", {k, MoneyToDouble(prizeFor(k))}));
  for (const auto& p : data_.Profits)
    if (p.Overlap >= kProfitLines) lines.push_back(Format("%d=%.2f", {static_cast<int>(p.Overlap), MoneyToDouble(p.Profit)}));
  return lines;
}

void TConfigEditor::SetProfitLines(const std::vector<std::string>& lines) {
  TProfitsArray profits;
  for (const auto& line : lines) {
    if (Trim(line).empty()) continue;
    size_t eq = line.find('=');
    std::string k = Trim(std::string_view(line).substr(0, eq));
    std::string v = eq == std::string::npos ? "" : Trim(std::string_view(line).substr(eq + 1));
    TProfitEntry e;
    auto overlap = TryStrToInt(k);
    e.Overlap = static_cast<uint8_t>(overlap ? std::clamp(*overlap, 0, 255) : 0);
    auto prize = TryStrToFloat(v);
    e.Profit = prize && *prize >= -kMaxMoneySetting && *prize <= kMaxMoneySetting ? MoneyFromDouble(*prize) : 0;
    profits.push_back(e);
  }
  data_.Profits = std::move(profits);
}

}  // namespace quintar
