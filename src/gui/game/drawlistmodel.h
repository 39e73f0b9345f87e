// The draw list lvDraws as a virtual list: the model holds only a row count and formats each row from the
// session's archive when the view asks for it. Row 0 is the newest draw.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace quintar {
class Session;
}

namespace quintar::gui {

class TDrawListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TDrawListModel(Session& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the archive: a changed size resets the rows, otherwise every row is repainted (the
  // highlighted row, the colours and, with force, the contents may have changed).
  void Refresh(bool force);

 private:
  const std::vector<std::string>& Cells(int row) const;

  Session& session_;
  int rows_ = 0;
  mutable int cachedRow_ = -1;
  mutable std::vector<std::string> cachedCells_;
};

}  // namespace quintar::gui
