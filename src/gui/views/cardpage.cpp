#include "views/cardpage.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/actionregistry.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "combs/filters.h"
#include "views/gridmodels.h"

namespace quintar::gui {

namespace {
constexpr int kCellWidth = 26;
}

TCardPage::TCardPage(Session& session, QWidget* parent) : TMainPage("tsCard", "Карта", parent), session_(session) {
  model_ = new TCardModel(session_, this);
  sgCard = new QTableView(this);
  sgCard->setObjectName("sgCard");
  sgCard->setModel(model_);
  sgCard->setSelectionBehavior(QAbstractItemView::SelectItems);
  sgCard->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgCard->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgCard->setWordWrap(false);
  sgCard->setCornerButtonEnabled(false);
  sgCard->verticalHeader()->hide();
  sgCard->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgCard->verticalHeader()->setDefaultSectionSize(sgCard->fontMetrics().height() + 4);
  QHeaderView* h = sgCard->horizontalHeader();
  h->setSectionsMovable(false);
  h->setHighlightSections(false);
  h->setStretchLastSection(false);
  h->setMinimumSectionSize(10);
  h->setDefaultSectionSize(kCellWidth);
  h->resizeSection(0, 52);
  connect(sgCard->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelectionChanged(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(sgCard, 1);
}

void TCardPage::SetNumberColumnWidth(int width) {
  if (width > 0) sgCard->horizontalHeader()->resizeSection(0, width);
}

TGridRect TCardPage::Selection() const { return GridSelection(sgCard); }

void TCardPage::RefreshPage(bool force) {
  if (!force && shownGeneration_ == session_.Views.CardGeneration()) return;
  shownGeneration_ = session_.Views.CardGeneration();
  const TGridRect keep = Selection();
  model_->Refresh();
  SelectGridRect(sgCard, keep);
  emit SelectionChanged();
}

void TCardPage::BindCommands(ActionRegistry& actions) {
  auto ensure = [&](const char* name, const char* caption, const char* hint) {
    if (!actions.Action(name)) actions.Add(name, Tr(caption), Tr(hint), false);
  };
  ensure("CardFilter_Include", kFilterIncludeCaption, kNumberFilterIncludeHint);
  ensure("CardFilter_Exclude", kFilterExcludeCaption, kNumberFilterExcludeHint);
  ensure("CardXlsExport", "Экспорт карты тиражей в Microsoft Excel", "");
  actions.Bind(
      "CardFilter_Include", [this] { return session_.Views.CanCardFilter(Selection()); },
      [this] { session_.Views.CardFilter_Include(Selection()); });
  actions.Bind(
      "CardFilter_Exclude", [this] { return session_.Views.CanCardFilter(Selection()); },
      [this] { session_.Views.CardFilter_Exclude(Selection()); });
  connect(this, &TCardPage::SelectionChanged, &actions, [&actions] { actions.UpdateActions(); });

  sgCard->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"CardFilter_Include", "CardFilter_Exclude", "-", "ViewColorCard", "ViewColorCardSequences",
                           "-", "CardXlsExport"}) {
    if (std::string(name) == "-") {
      auto* sep = new QAction(sgCard);
      sep->setSeparator(true);
      sgCard->addAction(sep);
    } else if (QAction* a = actions.Action(name)) {
      sgCard->addAction(a);
    }
  }
}

}  // namespace quintar::gui
