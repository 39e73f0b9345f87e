#include "views/layoutpage.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/filters.h"
#include "util/format.h"
#include "util/inifile.h"
#include "views/gridmodels.h"

namespace quintar::gui {

TLayoutPage::TLayoutPage(Session& session, QWidget* parent)
    : TMainPage("tsLayout", "Схема", parent), session_(session) {
  edLayoutLen = new QSpinBox(this);
  edLayoutLen->setObjectName("edLayoutLen");
  edLayoutLen->setRange(kViewLenMin, kViewLenMax);
  edLayoutLen->setValue(session_.Views.LayoutLen);
  edLayoutLen->setMinimumWidth(50);
  edLayoutLen->setToolTip(Tr(kLayoutLenHint));
  edLayoutLen->setStatusTip(Tr(kLayoutLenHint));
  edLayoutLen->installEventFilter(this);
  connect(edLayoutLen, &QSpinBox::valueChanged, this, [this](int v) {
    if (!syncing_) session_.Views.LayoutLen = v;
  });
  btnLayoutCalc = new QToolButton(this);
  btnLayoutCalc->setObjectName("btnLayoutCalc");
  btnLayoutCalc->setText(Tr("Обновить"));

  model_ = new TLayoutModel(session_, this);
  sgLayout = new QTableView(this);
  sgLayout->setObjectName("sgLayout");
  sgLayout->setModel(model_);
  sgLayout->setSelectionBehavior(QAbstractItemView::SelectItems);
  sgLayout->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgLayout->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgLayout->setWordWrap(false);
  sgLayout->setCornerButtonEnabled(false);
  sgLayout->verticalHeader()->hide();
  sgLayout->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgLayout->verticalHeader()->setDefaultSectionSize(sgLayout->fontMetrics().height() + 6);
  QHeaderView* h = sgLayout->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setMinimumSectionSize(10);
  connect(sgLayout->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelectionChanged(); });

  pnlLayoutCompare = new QWidget(this);
  pnlLayoutCompare->setObjectName("pnlLayoutCompare");
  auto* lists = new QHBoxLayout;
  lists->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < kLayoutCompareLists; ++i) {
    auto* ed = new QSpinBox(pnlLayoutCompare);
    ed->setObjectName(QString("edLayoutCmp%1").arg(i + 1));
    ed->setRange(kViewLenMin, kViewLenMax);
    ed->setValue(session_.Views.LayoutCompareLen[static_cast<size_t>(i)]);
    const QString hint = Tr(Format("Количество тиражей, использующихся для расчета статистики в списке %d", {i + 1}));
    ed->setToolTip(hint);
    ed->setStatusTip(hint);
    ed->installEventFilter(this);
    connect(ed, &QSpinBox::valueChanged, this, [this, i](int v) {
      if (!syncing_) session_.Views.LayoutCompareLen[static_cast<size_t>(i)] = v;
    });
    auto* lv = new QTreeWidget(pnlLayoutCompare);
    lv->setObjectName(QString("lvLayoutCmp%1").arg(i + 1));
    lv->setColumnCount(2);
    lv->setHeaderLabels({Tr("Кол-во"), QString()});
    lv->setRootIsDecorated(false);
    lv->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lv->setAllColumnsShowFocus(true);
    lv->setUniformRowHeights(true);
    lv->header()->resizeSection(0, 50);
    lv->header()->setStretchLastSection(true);
    lv->setMinimumWidth(60);
    auto* column = new QVBoxLayout;
    column->addWidget(ed);
    column->addWidget(lv, 1);
    lists->addLayout(column, 1);
    edLayoutCmp[static_cast<size_t>(i)] = ed;
    lvLayoutCmp[static_cast<size_t>(i)] = lv;
  }
  btnLayoutCmpCalc = new QToolButton(pnlLayoutCompare);
  btnLayoutCmpCalc->setObjectName("btnLayoutCmpCalc");
  btnLayoutCmpCalc->setText(Tr("Обновить"));
  auto* cmpLayout = new QVBoxLayout(pnlLayoutCompare);
  cmpLayout->setContentsMargins(0, 0, 0, 0);
  auto* cmpTop = new QHBoxLayout;
  cmpTop->addStretch(1);
  cmpTop->addWidget(btnLayoutCmpCalc);
  cmpLayout->addLayout(cmpTop);
  cmpLayout->addLayout(lists, 1);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->addWidget(sgLayout);
  splitter_->addWidget(pnlLayoutCompare);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  splitter_->setChildrenCollapsible(false);

  auto* top = new QHBoxLayout;
  top->addWidget(edLayoutLen);
  top->addWidget(btnLayoutCalc);
  top->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(splitter_, 1);
  // The five comparison lists do not set the main window's least width: a narrow window clips them.
  setMinimumSize(200, 150);
}

void TLayoutPage::ReadSettings(const IniFile& ini) {
  compareHeight_ = std::max(40, ini.ReadInteger(kMainForm, "LayoutCompareHeight", compareHeight_));
  splitter_->setSizes({std::max(1, splitter_->height() - compareHeight_), compareHeight_});
  syncing_ = true;
  edLayoutLen->setValue(session_.Views.LayoutLen);
  for (size_t i = 0; i < edLayoutCmp.size(); ++i) edLayoutCmp[i]->setValue(session_.Views.LayoutCompareLen[i]);
  syncing_ = false;
}

void TLayoutPage::WriteSettings(IniFile& ini) {
  ini.WriteInteger(kMainForm, "LayoutLen", edLayoutLen->value());
  for (size_t i = 0; i < edLayoutCmp.size(); ++i)
    ini.WriteInteger(kMainForm, Format("LayoutCompareLen%d", {static_cast<int>(i) + 1}), edLayoutCmp[i]->value());
  ini.WriteInteger(kMainForm, "LayoutCompareHeight", pnlLayoutCompare->height());
}

void TLayoutPage::BindCommands(ActionRegistry& actions) {
  auto ensure = [&](const char* name, const char* caption, const char* hint) {
    if (!actions.Action(name)) actions.Add(name, Tr(caption), Tr(hint), false);
  };
  ensure("LayoutCalc", "Обновить", kLayoutCalcHint);
  ensure("LayoutCmpCalc", "Обновить", kLayoutCmpCalcHint);
  ensure("LayoutFilter_Include", kFilterIncludeCaption, kNumberFilterIncludeHint);
  ensure("LayoutFilter_Exclude", kFilterExcludeCaption, kNumberFilterExcludeHint);
  ensure("LayoutXlsExport", "Экспорт схемы в Microsoft Excel", "");
  actions.Bind(
      "LayoutCalc", [this] { return session_.Views.CanLayoutCalc(); },
      [this] {
        session_.Views.LayoutCalc();
        RefreshPage(false);
      });
  actions.Bind(
      "LayoutCmpCalc", [this] { return session_.Views.CanLayoutCmpCalc(); },
      [this] {
        session_.Views.LayoutCmpCalc();
        RefreshPage(false);
      });
  actions.Bind(
      "LayoutFilter_Include", [this] { return session_.Views.CanLayoutFilter(Selection()); },
      [this] { session_.Views.LayoutFilter_Include(Selection()); });
  actions.Bind(
      "LayoutFilter_Exclude", [this] { return session_.Views.CanLayoutFilter(Selection()); },
      [this] { session_.Views.LayoutFilter_Exclude(Selection()); });
  btnLayoutCalc->setDefaultAction(actions.Action("LayoutCalc"));
  btnLayoutCmpCalc->setDefaultAction(actions.Action("LayoutCmpCalc"));
  connect(this, &TLayoutPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });

  auto addMenu = [&](QWidget* w, std::initializer_list<const char*> names) {
    w->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const char* name : names) {
      if (std::string(name) == "-") {
        auto* sep = new QAction(w);
        sep->setSeparator(true);
        w->addAction(sep);
      } else if (QAction* a = actions.Action(name)) {
        w->addAction(a);
      }
    }
  };
  addMenu(sgLayout, {"LayoutFilter_Include", "LayoutFilter_Exclude", "-", "LayoutCalc", "ViewShemaGradient", "-",
                     "LayoutXlsExport"});
  for (QTreeWidget* lv : lvLayoutCmp) addMenu(lv, {"LayoutCmpCalc"});
}

TGridRect TLayoutPage::Selection() const { return GridSelection(sgLayout); }

bool TLayoutPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (watched == edLayoutLen) {
        if (session_.IsIdle() && session_.Views.LayoutLenEnter(edLayoutLen->cleanText().toStdString())) RefreshPage(false);
        return true;
      }
      for (size_t i = 0; i < edLayoutCmp.size(); ++i)
        if (watched == edLayoutCmp[i]) {
          if (session_.IsIdle() &&
              session_.Views.LayoutCmpEnter(static_cast<int>(i), edLayoutCmp[i]->cleanText().toStdString()))
            RefreshPage(false);
          return true;
        }
    }
  }
  return TMainPage::eventFilter(watched, event);
}

void TLayoutPage::RefreshPage(bool force) {
  syncing_ = true;
  if (edLayoutLen->value() != session_.Views.LayoutLen) edLayoutLen->setValue(session_.Views.LayoutLen);
  for (size_t i = 0; i < edLayoutCmp.size(); ++i)
    if (edLayoutCmp[i]->value() != session_.Views.LayoutCompareLen[i])
      edLayoutCmp[i]->setValue(session_.Views.LayoutCompareLen[i]);
  syncing_ = false;
  if (force || shownScheme_ != session_.Views.LayoutGeneration()) ShowScheme();
  if (force || shownCompare_ != session_.Views.LayoutCompareGeneration()) ShowCompare();
}

void TLayoutPage::ShowScheme() {
  shownScheme_ = session_.Views.LayoutGeneration();
  const TGridRect keep = Selection();
  model_->Refresh();
  const TLayoutScheme& scheme = session_.Views.Layout();
  const QFontMetrics fm = sgLayout->fontMetrics();
  for (int c = 0; c < scheme.ColCount(); ++c)
    sgLayout->horizontalHeader()->resizeSection(
        c, scheme.ColumnWidth(c, [&fm](const std::string& text) { return fm.horizontalAdvance(Q(text)); }));
  if (scheme.FilterSelectionAllowed(keep)) SelectGridRect(sgLayout, keep);
  emit SelectionChanged();
}

void TLayoutPage::ShowCompare() {
  shownCompare_ = session_.Views.LayoutCompareGeneration();
  const auto& lists = session_.Views.LayoutCompare();
  for (size_t i = 0; i < lists.size(); ++i) {
    QTreeWidget* lv = lvLayoutCmp[i];
    lv->clear();
    lv->headerItem()->setText(1, Q(lists[i].Caption));
    QList<QTreeWidgetItem*> items;
    for (const auto& [count, numbers] : lists[i].Rows)
      items.append(new QTreeWidgetItem(QStringList{QString::number(count), Q(numbers)}));
    lv->addTopLevelItems(items);
  }
}

}  // namespace quintar::gui
