#include "scripts/scriptpage.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"
#include "app/session.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptlibrary.h"
#include "scripts/scriptlibrarypanel.h"
#include "util/inifile.h"

namespace quintar::gui {

namespace {

// A status bar panel of a designed width that gives way when the page is narrower, so that the page
// never makes the window wider than the user left it.
class TPanelLabel : public QLabel {
 public:
  TPanelLabel(int width, QWidget* parent) : QLabel(parent), width_(width) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {8, QLabel::minimumSizeHint().height()}; }

 private:
  int width_;
};

}  // namespace

// Script list model -------------------------------------------------------------------------------------

TScriptListModel::TScriptListModel(Session& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), rows_(static_cast<int>(session.ScriptLines.size())) {}

int TScriptListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TScriptListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ScriptListCaptions().size());
}

QVariant TScriptListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const std::vector<std::string>& cells = Cells(index.row());
  if (index.column() >= static_cast<int>(cells.size())) return {};
  return Q(cells[static_cast<size_t>(index.column())]);
}

const std::vector<std::string>& TScriptListModel::Cells(int row) const {
  if (cells_.size() != static_cast<size_t>(rows_)) cells_.assign(static_cast<size_t>(rows_), {});
  std::vector<std::string>& c = cells_[static_cast<size_t>(row)];
  if (c.empty()) c = session_.ScriptListCells(row);
  return c;
}

QVariant TScriptListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const std::vector<std::string> captions = ScriptListCaptions();
  if (section < 0 || section >= static_cast<int>(captions.size())) return {};
  return Tr(captions[static_cast<size_t>(section)]);
}

void TScriptListModel::Refresh() {
  cells_.clear();
  const int rows = static_cast<int>(session_.ScriptLines.size());
  if (rows == rows_) {
    if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
    return;
  }
  // Lines are added at the end, so the selection of the rows before them stays; fewer lines mean lines
  // were deleted or the script was replaced, and the rows are built anew without a selection.
  if (rows > rows_) {
    beginInsertRows(QModelIndex(), rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
    emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
  } else {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  }
}

// Page --------------------------------------------------------------------------------------------------

TScriptPage::TScriptPage(Session& session, QWidget* parent)
    : TMainPage("tsScript", "Сценарий", parent), session_(session) {
  model_ = new TScriptListModel(session_, this);
  lvScript = new QTableView(this);
  lvScript->setObjectName("lvScript");
  lvScript->setModel(model_);
  lvScript->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvScript->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvScript->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvScript->setShowGrid(false);
  lvScript->setWordWrap(false);
  lvScript->setCornerButtonEnabled(false);
  lvScript->verticalHeader()->hide();
  lvScript->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  lvScript->verticalHeader()->setDefaultSectionSize(lvScript->fontMetrics().height() + 4);
  QHeaderView* h = lvScript->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setMinimumSectionSize(10);
  h->resizeSection(0, 160);
  h->resizeSection(1, 240);
  for (int i = 2; i < model_->columnCount(); ++i) h->resizeSection(i, 200);
  connect(lvScript->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit SelectionChanged(); });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { emit SelectionChanged(); });
  connect(lvScript, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) emit RowActivated(i.row());
  });

  sbScript = new QStatusBar(this);
  sbScript->setObjectName("sbScript");
  sbScript->setSizeGripEnabled(false);
  const int widths[kScriptPanels] = {100, 90, 100, 110, 50};
  for (int i = 0; i < kScriptPanels; ++i) {
    auto* l = new TPanelLabel(widths[i], sbScript);
    l->setObjectName(QString("ScriptPanel%1").arg(i + 1));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setContentsMargins(3, 0, 3, 0);
    sbScript->addWidget(l, i + 1 == kScriptPanels ? 1 : 0);
    panels_.push_back(l);
  }
  // The panels as the session last set them; before any run the counters read 0.
  const std::string initial[kScriptPanels] = {ScriptLinesText(static_cast<int>(session_.ScriptLines.size())),
                                              ScriptCycleText(0), ScriptLineText(0), ScriptStakesText(0), ""};
  for (int i = 0; i < kScriptPanels; ++i) {
    const std::string& t = session_.ScriptPanelText(i);
    SetPanel(i, Q(t.empty() ? initial[i] : t));
  }

  auto* top = new QWidget(this);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->setSpacing(2);
  topLayout->addWidget(lvScript, 1);
  topLayout->addWidget(sbScript);
  pnlOnlineScripts = new TScriptLibraryPanel(session_, this);
  splScript = new QSplitter(Qt::Vertical, this);
  splScript->setObjectName("splOnlineScripts");
  splScript->setChildrenCollapsible(false);
  splScript->addWidget(top);
  splScript->addWidget(pnlOnlineScripts);
  splScript->setStretchFactor(0, 1);
  splScript->setStretchFactor(1, 0);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(splScript, 1);
}

void TScriptPage::ReadSettings(const IniFile& ini) {
  libraryHeight_ = std::max(40, ini.ReadInteger(kMainForm, kScriptLibraryHeightKey, kDesignedLibraryHeight));
  session_.ScriptLibrary.ReadKeys();
  ShowLibraryPanel();
  pnlOnlineScripts->RefreshList();
}

void TScriptPage::WriteSettings(IniFile& ini) {
  if (pnlOnlineScripts->isVisible() && pnlOnlineScripts->height() > 0) libraryHeight_ = pnlOnlineScripts->height();
  ini.WriteInteger(kMainForm, kScriptLibraryHeightKey, libraryHeight_);
  ini.WriteInteger(kMainForm, kScriptLibraryFilterKey, session_.ScriptLibrary.FilterEntry);
}

void TScriptPage::ShowLibraryPanel() {
  const bool shown = session_.ScriptLibrary.PanelShown;
  if (!shown && pnlOnlineScripts->isVisible() && pnlOnlineScripts->height() > 0)
    libraryHeight_ = pnlOnlineScripts->height();
  pnlOnlineScripts->setVisible(shown);
  if (shown) {
    const int total = std::max(splScript->height(), libraryHeight_ + 100);
    splScript->setSizes({std::max(1, total - libraryHeight_), libraryHeight_});
  }
}

void TScriptPage::RefreshPage(bool force) {
  (void)force;
  RefreshList();
}

void TScriptPage::RefreshList() {
  model_->Refresh();
  SetPanel(spLines, Q(ScriptLinesText(static_cast<int>(session_.ScriptLines.size()))));
}

void TScriptPage::SetPanel(int index, const QString& text) {
  if (index >= 0 && index < static_cast<int>(panels_.size())) panels_[static_cast<size_t>(index)]->setText(text);
}

QString TScriptPage::PanelText(int index) const {
  return index >= 0 && index < static_cast<int>(panels_.size()) ? panels_[static_cast<size_t>(index)]->text() : QString();
}

std::vector<int> TScriptPage::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : lvScript->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TScriptPage::SelectedCount() const { return static_cast<int>(lvScript->selectionModel()->selectedRows().size()); }

int TScriptPage::FirstSelectedRow() const {
  std::vector<int> rows = SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void TScriptPage::SelectOnly(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex i = model_->index(row, 0);
  lvScript->selectionModel()->setCurrentIndex(
      i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  lvScript->scrollTo(i);
}

void TScriptPage::ClearSelection() { lvScript->clearSelection(); }

}  // namespace quintar::gui
