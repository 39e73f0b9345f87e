#include "online/systemspage.h"

#include <QHeaderView>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/session.h"
#include "online/cataloguelist.h"
#include "online/systemscatalogue.h"

namespace quintar::gui {

namespace {

constexpr int kNumsColumn = 2;

QVariant SortKey(const tSystemInfo& r, int column) {
  switch (column) {
    case 0: return Q(r.Title);
    case 1: return Q(r.AuthorName);
    case 2: return r.NumCount;
    case 3: return r.Olap;
    case 4: return r.CSize;
    case 5: return r.Created;
    case 7: return r.Downloads;
    case 8: return r.LastDownload;
    default: return Q(SystemsCells(r)[static_cast<size_t>(column)]);
  }
}

// Own rows green, someone else's blue, rows without author e-mail grey; filled once downloaded.
QIcon MarkIcon(TSystemMark m) {
  static const QColor own(0x2E, 0x9E, 0x44), foreign(0x2F, 0x6F, 0xC8), none(0x90, 0x90, 0x90);
  switch (m) {
    case TSystemMark::Own: return CatalogueMark(own, false);
    case TSystemMark::OwnDownloaded: return CatalogueMark(own, true);
    case TSystemMark::Foreign: return CatalogueMark(foreign, false);
    case TSystemMark::ForeignDownloaded: return CatalogueMark(foreign, true);
    case TSystemMark::NoMail: return CatalogueMark(none, false);
    case TSystemMark::NoMailDownloaded: return CatalogueMark(none, true);
    case TSystemMark::None: break;
  }
  return {};
}

}  // namespace

TSystemsPage::TSystemsPage(Session& session, QWidget* parent)
    : TMainPage("tsSystems", "Системы", parent), session_(session) {
  TSystemsCatalogue& cat = session_.Systems;
  TCatalogueRows rows;
  rows.Captions = SystemsCaptions();
  rows.Count = [&cat] { return static_cast<int>(cat.Rows.size()); };
  rows.Cells = [&cat](int row) { return SystemsCells(cat.Rows[static_cast<size_t>(row)]); };
  rows.SortKey = [&cat](int row, int column) { return SortKey(cat.Rows[static_cast<size_t>(row)], column); };
  rows.Mark = [&cat](int row) {
    static const QIcon marks[] = {QIcon(),
                                  MarkIcon(TSystemMark::Own),
                                  MarkIcon(TSystemMark::OwnDownloaded),
                                  MarkIcon(TSystemMark::Foreign),
                                  MarkIcon(TSystemMark::ForeignDownloaded),
                                  MarkIcon(TSystemMark::NoMail),
                                  MarkIcon(TSystemMark::NoMailDownloaded)};
    return marks[static_cast<int>(cat.Mark(row))];
  };
  rows.Id = [&cat](int row) { return cat.Rows[static_cast<size_t>(row)].Id; };
  lvSystems = new TCatalogueList("lvSystems", std::move(rows), true, kNumsColumn, Qt::AscendingOrder, this);
  const int widths[] = {220, 130, 60, 45, 90, 145, 80, 75, 145, 260, 200};
  for (int i = 0; i < static_cast<int>(std::size(widths)); ++i) lvSystems->horizontalHeader()->resizeSection(i, widths[i]);

  tbSystems = new QToolBar(this);
  tbSystems->setObjectName("tbSystems");
  tbSystems->setToolButtonStyle(Qt::ToolButtonTextOnly);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(tbSystems);
  layout->addWidget(lvSystems, 1);

  connect(lvSystems, &TCatalogueList::SelectionChanged, this, [this] { emit SelectionChanged(); });
  connect(lvSystems, &TCatalogueList::RowActivated, this, [this](int row) { emit RowActivated(row); });
}

void TSystemsPage::RefreshPage(bool force) {
  if (force) RefreshList();
}

void TSystemsPage::RefreshList() { lvSystems->Reload(); }

std::vector<int> TSystemsPage::SelectedRows() const { return lvSystems->SelectedRows(); }
int TSystemsPage::SelectedRow() const { return lvSystems->SelectedRow(); }

int TSystemsPage::SelectedId() const {
  const int row = SelectedRow();
  return session_.Systems.Has(row) ? session_.Systems.Rows[static_cast<size_t>(row)].Id : -1;
}

void TSystemsPage::SelectOnly(int row) { lvSystems->SelectOnly(row); }

}  // namespace quintar::gui
