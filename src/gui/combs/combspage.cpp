#include "combs/combspage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "app/formsettings.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/combslistmodel.h"
#include "combs/filterlogmodel.h"
#include "util/inifile.h"

namespace quintar::gui {

namespace {

void SetUpList(QTableView* lv) {
  lv->setSelectionBehavior(QAbstractItemView::SelectRows);
  lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lv->setShowGrid(false);
  lv->setWordWrap(false);
  lv->setCornerButtonEnabled(false);
  lv->verticalHeader()->hide();
  // Every row has the same height, so the view never measures rows: millions of them cost nothing.
  lv->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lv->verticalHeader()->setDefaultSectionSize(lv->fontMetrics().height() + 4);
  QHeaderView* h = lv->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setMinimumSectionSize(10);
}

}  // namespace

TCombsPage::TCombsPage(Session& session, QWidget* parent)
    : TMainPage("tsCombs", "Комбинации", parent), session_(session) {
  edCombsExclude = new QSpinBox(this);
  edCombsExclude->setObjectName("edCombsExclude");
  edCombsExclude->setRange(0, INT_MAX);
  edCombsExclude->setValue(0);
  // The field's own size would fit its largest value; it is kept narrow so the left panel can be too.
  edCombsExclude->setMinimumWidth(60);
  edCombsExclude->setMaximumWidth(110);
  const QString hint = Tr("Исключить указанное количество последних тиражей из списка комбинаций");
  edCombsExclude->setToolTip(hint);
  edCombsExclude->setStatusTip(hint);
  edCombsExclude->installEventFilter(this);
  if (QLineEdit* e = edCombsExclude->findChild<QLineEdit*>()) e->installEventFilter(this);
  connect(edCombsExclude, &QSpinBox::valueChanged, this, [this](int v) {
    session_.CombsExclude = v;
    emit ExcludeChanged(v);
  });

  btnCombsDelExists = new QPushButton(Tr("[-] Тиражи"), this);
  btnCombsDelExists->setObjectName("btnCombsDelExists");
  btnCombsDelExists->setEnabled(false);

  combsModel_ = new TCombsListModel(session_, this);
  lvCombs = new QTableView;
  lvCombs->setObjectName("lvCombs");
  lvCombs->setModel(combsModel_);
  SetUpList(lvCombs);
  lvCombs->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvCombs->horizontalHeader()->setStretchLastSection(false);
  const int designed[TCombsListModel::kColumns] = {70, 30, 30, 30, 30, 30, 30, 30, 40};
  for (int i = 0; i < TCombsListModel::kColumns; ++i) lvCombs->horizontalHeader()->resizeSection(i, designed[i]);
  connect(lvCombs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(lvCombs->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { emit SelectionChanged(); });
  connect(combsModel_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(lvCombs, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(i.row());
  });

  filtersModel_ = new TFilterLogModel(session_, this);
  lvFilters = new QTableView;
  lvFilters->setObjectName("lvFilters");
  lvFilters->setModel(filtersModel_);
  SetUpList(lvFilters);
  lvFilters->setSelectionMode(QAbstractItemView::SingleSelection);
  lvFilters->setIconSize(QSize(16, 16));
  lvFilters->horizontalHeader()->setStretchLastSection(true);
  lvFilters->horizontalHeader()->resizeSection(0, 170);
  lvFilters->horizontalHeader()->resizeSection(1, 130);

  splCombs = new QSplitter(Qt::Vertical);
  splCombs->setObjectName("splCombs");
  splCombs->addWidget(lvCombs);
  splCombs->addWidget(lvFilters);
  splCombs->setStretchFactor(0, 1);
  splCombs->setStretchFactor(1, 0);
  splCombs->setChildrenCollapsible(false);

  auto* top = new QHBoxLayout;
  top->addWidget(edCombsExclude);
  top->addWidget(btnCombsDelExists);
  top->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(splCombs, 1);
  colorShown_ = session_.ColorCombs;
}

void TCombsPage::ReadSettings(const IniFile& ini) {
  filtersHeight_ = std::max(20, ini.ReadInteger(kMainForm, "FiltersHeight", kDesignedFiltersHeight));
  const int exclude = ini.ReadInteger(kMainForm, "DrawsExclude", 0);
  edCombsExclude->setValue(std::max(0, exclude));
  if (sized_) splCombs->setSizes({std::max(1, splCombs->height() - filtersHeight_), filtersHeight_});
}

void TCombsPage::WriteSettings(IniFile& ini) {
  ini.WriteInteger(kMainForm, "FiltersHeight", sized_ ? lvFilters->height() : filtersHeight_);
  ini.WriteInteger(kMainForm, "DrawsExclude", edCombsExclude->value());
}

void TCombsPage::showEvent(QShowEvent* e) {
  TMainPage::showEvent(e);
  if (sized_) return;
  sized_ = true;
  const int total = splCombs->height();
  splCombs->setSizes({std::max(1, total - filtersHeight_ - splCombs->handleWidth()), filtersHeight_});
}

void TCombsPage::RefreshPage(bool force) {
  if (force) RefreshList();
  RefreshFilters();
}

void TCombsPage::RefreshList() {
  if (session_.ColorCombs != colorShown_) {
    colorShown_ = session_.ColorCombs;
    if (combsModel_->rowCount() == session_.CurrentCombs.Count()) {
      RepaintList();
      return;
    }
  }
  lvCombs->clearSelection();
  combsModel_->Refresh();
}

void TCombsPage::RepaintList() { lvCombs->viewport()->update(); }

void TCombsPage::RefreshFilters() {
  filtersModel_->Refresh();
  if (filtersModel_->rowCount() > 0) lvFilters->scrollToBottom();
}

TRowSelection TCombsPage::Selection() const {
  TRowSelection sel;
  for (const QItemSelectionRange& r : lvCombs->selectionModel()->selection())
    if (r.isValid()) sel.push_back(TRowRange{r.top(), r.bottom()});
  return sel;
}

int TCombsPage::SelectedCount() const { return SelectedRowCount(Selection(), session_.CurrentCombs.Count()); }

int TCombsPage::CurrentRow() const {
  const int count = session_.CurrentCombs.Count();
  const TRowSelection sel = NormalizeSelection(Selection(), count);
  if (sel.empty()) return -1;
  const QModelIndex cur = lvCombs->currentIndex();
  if (cur.isValid() && cur.row() < count)
    for (const TRowRange& r : sel)
      if (cur.row() >= r.First && cur.row() <= r.Last) return cur.row();
  return sel.front().First;
}

void TCombsPage::Select(const TRowSelection& sel) {
  QItemSelection s;
  const int last = combsModel_->columnCount() - 1;
  for (const TRowRange& r : NormalizeSelection(sel, combsModel_->rowCount()))
    s.select(combsModel_->index(r.First, 0), combsModel_->index(r.Last, last));
  lvCombs->selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
}

void TCombsPage::ClearSelection() { lvCombs->clearSelection(); }

bool TCombsPage::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      edCombsExclude->interpretText();
      emit ExcludeEntered(edCombsExclude->text());
      return true;
    }
  }
  return TMainPage::eventFilter(watched, e);
}

}  // namespace quintar::gui
