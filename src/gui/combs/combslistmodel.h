// The combination list lvCombs as a virtual list: the model holds only a row count and makes each cell
// from the session's current list when the view asks for it, so millions of rows show at once.
#pragma once

#include <QAbstractTableModel>

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCombsListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumns = 9;  // position, the seven numbers, the sum

  explicit TCombsListModel(Session& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the list: a changed row count resets the rows (the selection goes with them), otherwise the
  // visible rows are repainted.
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0;
};

}  // namespace quintar::gui
