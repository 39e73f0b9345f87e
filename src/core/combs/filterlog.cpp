#include "combs/filterlog.h"

namespace quintar {

void TFilterLog::Add(std::string caption, std::string values, int count, TFilterMark mark) {
  lines_.push_back({std::move(caption), std::move(values), count, mark});
}

std::vector<std::string> TFilterLog::Captions() { return {"Примененные фильтры", "Значения", "Комбинаций"}; }

std::vector<std::string> TFilterLog::Cells(int row) const {
  const TFilterLogLine& l = lines_[static_cast<size_t>(row)];
  return {l.Caption, l.Values, std::to_string(l.Count)};
}

}  // namespace quintar
