// The applied-filters list lvFilters: one row per line of the session's filter log, the first cell with
// the line's mark (kept, deleted, undone).
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "combs/filterlog.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

// The mark icons, drawn once: a green plus for kept values, a red minus for deleted ones, a blue
// arrow turning back for an undone step.
QIcon FilterMarkIcon(TFilterMark mark);

class TFilterLogModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TFilterLogModel(Session& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Takes the log's lines again.
  void Refresh();

 private:
  Session& session_;
  int rows_ = 0;
};

}  // namespace quintar::gui
