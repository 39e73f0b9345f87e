#include "scripts/scriptlibrarypanel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/session.h"
#include "online/cataloguelist.h"
#include "scripts/scriptlibrary.h"

namespace quintar::gui {

namespace {

constexpr int kRatingColumn = 7;

QVariant SortKey(const tScriptInfo& r, int column) {
  switch (column) {
    case 1: return Q(r.Title);
    case 2: return Q(r.AuthorName);
    case 4: return Q(r.AppVer);
    case 6: return r.Created;
    case 7: return r.RatingAvg;
    case 8: return r.RatingCount;
    case 9: return r.YourRating;
    case 10: return r.Downloads;
    case 11: return r.LastDownload;
    default: return Q(ScriptLibraryCells(r)[static_cast<size_t>(column)]);
  }
}

}  // namespace

TScriptLibraryPanel::TScriptLibraryPanel(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName("pnlOnlineScripts");
  TScriptLibrary& lib = session_.ScriptLibrary;
  TCatalogueRows rows;
  rows.Captions = ScriptLibraryCaptions();
  rows.Count = [&lib] { return static_cast<int>(lib.Rows.size()); };
  rows.Cells = [&lib](int row) { return ScriptLibraryCells(lib.Rows[static_cast<size_t>(row)]); };
  rows.SortKey = [&lib](int row, int column) { return SortKey(lib.Rows[static_cast<size_t>(row)], column); };
  // Public scripts carry a green mark, private ones a ring of the same colour.
  rows.Mark = [&lib](int row) {
    static const QIcon shown = CatalogueMark(QColor(0x2E, 0x9E, 0x44), true);
    static const QIcon hidden = CatalogueMark(QColor(0xC0, 0x60, 0x10), false);
    return lib.Rows[static_cast<size_t>(row)].Public ? shown : hidden;
  };
  rows.Id = [&lib](int row) { return lib.Rows[static_cast<size_t>(row)].Id; };
  lvOnlineScripts = new TCatalogueList("lvOnlineScripts", std::move(rows), false, kRatingColumn, Qt::DescendingOrder, this);
  const int widths[] = {70, 200, 120, 110, 70, 50, 145, 70, 60, 85, 70, 145, 300};
  for (int i = 0; i < static_cast<int>(std::size(widths)); ++i) lvOnlineScripts->horizontalHeader()->resizeSection(i, widths[i]);

  tbOnlineScripts = new QToolBar(this);
  tbOnlineScripts->setObjectName("tbOnlineScripts");
  tbOnlineScripts->setToolButtonStyle(Qt::ToolButtonTextOnly);
  tbOnlineScripts->setIconSize(QSize(12, 12));
  cbOnlineScriptsFilter = new QComboBox(this);
  cbOnlineScriptsFilter->setObjectName("cbOnlineScriptsFilter");
  cbOnlineScriptsFilter->setToolTip(Tr(kScriptLibraryFilterHint));
  for (const std::string& t : ScriptLibraryFilterTexts()) cbOnlineScriptsFilter->addItem(Tr(t));
  cbOnlineScriptsFilter->setCurrentIndex(lib.FilterEntry);
  cbOnlineScriptsFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(tbOnlineScripts);
  layout->addWidget(lvOnlineScripts, 1);

  connect(lvOnlineScripts, &TCatalogueList::SelectionChanged, this, [this] { emit SelectionChanged(); });
  connect(lvOnlineScripts, &TCatalogueList::RowActivated, this, [this](int row) { emit RowActivated(row); });
  connect(cbOnlineScriptsFilter, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { emit FilterChosen(entry); });
}

void TScriptLibraryPanel::RefreshList() {
  lvOnlineScripts->Reload();
  if (cbOnlineScriptsFilter->currentIndex() != session_.ScriptLibrary.FilterEntry)
    cbOnlineScriptsFilter->setCurrentIndex(session_.ScriptLibrary.FilterEntry);
}

int TScriptLibraryPanel::SelectedRow() const { return lvOnlineScripts->SelectedRow(); }

int TScriptLibraryPanel::SelectedId() const {
  const int row = SelectedRow();
  return session_.ScriptLibrary.Has(row) ? session_.ScriptLibrary.Rows[static_cast<size_t>(row)].Id : -1;
}

void TScriptLibraryPanel::SelectOnly(int row) { lvOnlineScripts->SelectOnly(row); }

}  // namespace quintar::gui
