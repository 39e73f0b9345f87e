#include "game/drawspage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"
#include "game/drawlistmodel.h"

namespace quintar::gui {

TDrawsPage::TDrawsPage(Session& session, QWidget* parent)
    : TMainPage("tsDraws", "Архив тиражей", parent), session_(session) {
  auto* label = new QLabel(Tr("Смещение назад:"), this);
  edDrawsOffset = new QSpinBox(this);
  edDrawsOffset->setObjectName("edDrawsOffset");
  edDrawsOffset->setRange(0, 0);
  const QString hint = Tr("Смещение относительно последнего загруженного номера тиража");
  edDrawsOffset->setToolTip(hint);
  edDrawsOffset->setStatusTip(hint);
  label->setBuddy(edDrawsOffset);
  connect(edDrawsOffset, &QSpinBox::valueChanged, this, [this](int v) {
    if (!syncing_) session_.SetDrawsOffset(v);
  });

  model_ = new TDrawListModel(session_, this);
  lvDraws = new QTableView(this);
  lvDraws->setObjectName("lvDraws");
  lvDraws->setModel(model_);
  lvDraws->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvDraws->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvDraws->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvDraws->setShowGrid(false);
  lvDraws->setWordWrap(false);
  lvDraws->setCornerButtonEnabled(false);
  lvDraws->verticalHeader()->hide();
  lvDraws->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvDraws->verticalHeader()->setDefaultSectionSize(lvDraws->fontMetrics().height() + 4);
  QHeaderView* h = lvDraws->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setMinimumSectionSize(10);
  const int designed[11] = {52, 30, 30, 30, 30, 30, 30, 30, 30, 38, 90};
  for (int i = 0; i < 11; ++i) h->resizeSection(i, designed[i]);
  connect(lvDraws->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(lvDraws, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(i.row());
  });

  auto* top = new QHBoxLayout;
  top->addWidget(label);
  top->addWidget(edDrawsOffset);
  top->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(lvDraws, 1);
}

void TDrawsPage::RefreshList(bool force) {
  model_->Refresh(force);
  syncing_ = true;
  edDrawsOffset->setMaximum(std::max(0, session_.Archive.Count() - 1));
  if (edDrawsOffset->value() != session_.DrawsOffset()) edDrawsOffset->setValue(session_.DrawsOffset());
  syncing_ = false;
}

std::vector<int> TDrawsPage::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : lvDraws->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TDrawsPage::SelectedCount() const { return static_cast<int>(lvDraws->selectionModel()->selectedRows().size()); }

int TDrawsPage::FirstSelectedRow() const {
  std::vector<int> rows = SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void TDrawsPage::ClearSelection() { lvDraws->clearSelection(); }

}  // namespace quintar::gui
