// The rating view lvRatings as a virtual list: the model holds only a row count and formats each row from
// the session's rating when the view asks for it, in the current efficiency mode.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace quintar {
class Session;
}

namespace quintar::gui {

class TRatingsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TRatingsModel(Session& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the rating: a changed row count resets the rows, otherwise every row is repainted (the order
  // and the efficiency mode may have changed).
  void Refresh();

 private:
  const std::vector<std::string>& Cells(int row) const;

  Session& session_;
  int rows_ = 0;
  mutable int cachedRow_ = -1;
  mutable std::vector<std::string> cachedCells_;
};

}  // namespace quintar::gui
