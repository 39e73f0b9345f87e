#include "app/exportcommands.h"

#include <QAbstractItemView>
#include <QDesktopServices>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <set>

#include "app/actionregistry.h"
#include "app/excelexport.h"
#include "app/formexportexcel.h"
#include "app/guiutil.h"
#include "app/session.h"
#include "util/format.h"

namespace quintar::gui {

namespace {

int AlignCode(const QVariant& v) {
  if (!v.isValid()) return eaLeft;
  const int a = v.toInt();
  if (a & Qt::AlignRight) return eaRight;
  if (a & Qt::AlignHCenter) return eaCenter;
  return eaLeft;
}

// A table view and the export command of its page: the page caption is the title and the sheet name.
struct TViewExport {
  const char* Action;
  const char* View;
  TExportKind Kind;
  const char* Title;
  bool (*HasRows)(const Session& s);  // besides the view's own rows: the table it shows holds any
};

bool DrawsRows(const Session& s) { return !s.Archive.Empty(); }
bool StatRows(const Session& s) { return s.DrawsStat.RowCount() > 0; }
bool CombsRows(const Session& s) { return !s.CurrentCombs.Empty(); }
// The grid shows one empty row without stakes.
bool StakesRows(const Session& s) { return s.Stakes.IsOpen() && s.Stakes.Count() > 0; }
bool RatingsRows(const Session& s) { return s.Ratings.Count() > 0; }
bool TablesRows(const Session& s) { return s.Tables.TabShown() && s.Tables.Count() > 0; }
// The card and the scheme show one empty row without draws.
bool CardRows(const Session& s) { return s.Views.CardShown && !s.Archive.Empty(); }
bool LayoutRows(const Session& s) { return s.Views.LayoutShown && !s.Archive.Empty(); }

const TViewExport kViewExports[] = {
    {"DrawsXlsExport", "lvDraws", TExportKind::List, "Архив тиражей", DrawsRows},
    {"DrawsStatExportToExcel", "lvDrawsStat", TExportKind::List, "Статистика", StatRows},
    {"CombsXlsExport", "lvCombs", TExportKind::List, "Комбинации", CombsRows},
    {"StakesXlsExport", "sgStakes", TExportKind::Grid, "Ставки", StakesRows},
    {"RatingsXlsExport", "lvRatings", TExportKind::List, "Рейтинг", RatingsRows},
    {"TablesXlsExport", "lvTables", TExportKind::List, "Регуляры", TablesRows},
    {"CardXlsExport", "sgCard", TExportKind::Grid, "Карта", CardRows},
    {"LayoutXlsExport", "sgLayout", TExportKind::Grid, "Схема", LayoutRows},
};

void Export(Session& s, QWidget* window, const QAbstractItemView* view, const TViewExport& e) {
  TExportSource src = ExportSourceOf(view, e.Kind);
  TExportRequest req;
  req.Title = req.SheetName = e.Title;
  TExcelExport ex;
  ex.Open(src, req, s.FilePath(".ini"), &s.Host());
  TFormExportExcel dlg(window, s, ex);
  if (dlg.exec() != QDialog::Accepted) return;
  const QString file = ChooseSaveFile(window, kExportFileFilter, "xlsx", Q(ex.SheetName + ".xlsx"));
  if (file.isEmpty()) return;  // cancelled: no message
  {
    BusyScope busy(s);
    try {
      ex.Export(S(file), &s.Host());
    } catch (const std::exception& err) {
      s.ShowError(std::string(kExportError) + "\r" + err.what());
      return;
    }
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
    s.Host().ShowMessage(MsgKind::Information, Format(kExportSavedText, {S(file)}));
}

}  // namespace

TExportSource ExportSourceOf(const QAbstractItemView* view, TExportKind kind) {
  TExportSource src;
  src.Kind = kind;
  src.Window = "FormMain";
  src.Table = S(view->objectName());
  const QAbstractItemModel* model = view->model();
  const auto* table = qobject_cast<const QTableView*>(view);
  const QHeaderView* header = table ? table->horizontalHeader() : nullptr;
  const int rows = model->rowCount(), cols = model->columnCount();
  for (int c = 0; c < cols; ++c) {
    TExportColumn col;
    col.Caption = S(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    col.Width = header ? (header->isSectionHidden(c) ? 0 : header->sectionSize(c)) : 64;
    col.Align = AlignCode(rows > 0 ? model->data(model->index(0, c), Qt::TextAlignmentRole)
                                   : model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole));
    src.Columns.push_back(col);
  }
  src.RowCount = rows;
  src.Cells = [model, cols](int r, std::vector<std::string>& cells) {
    cells.reserve(static_cast<size_t>(cols));
    for (int c = 0; c < cols; ++c) cells.push_back(S(model->data(model->index(r, c), Qt::DisplayRole).toString()));
  };
  src.MultiSelect = view->selectionMode() == QAbstractItemView::ExtendedSelection ||
                    view->selectionMode() == QAbstractItemView::MultiSelection;
  if (const QItemSelectionModel* sel = view->selectionModel()) {
    src.Focused = sel->currentIndex().isValid() ? sel->currentIndex().row() : -1;
    std::set<int> selected;
    int top = -1, bottom = -1;
    for (const QItemSelectionRange& r : sel->selection()) {
      for (int row = r.top(); row <= r.bottom(); ++row) selected.insert(row);
      top = top < 0 ? r.top() : std::min(top, r.top());
      bottom = std::max(bottom, r.bottom());
    }
    src.Selected.assign(selected.begin(), selected.end());
    if (!src.MultiSelect && src.Selected.empty() && src.Focused >= 0) src.Selected.push_back(src.Focused);
    src.SelTop = top;
    src.SelBottom = bottom;
  }
  return src;
}

void BindExportCommands(ActionRegistry& reg, Session& s, QWidget* window) {
  for (const TViewExport& e : kViewExports) {
    auto* view = window->findChild<QAbstractItemView*>(e.View);
    if (!view) continue;
    reg.Bind(
        e.Action,
        [&s, view, e] { return view->model() && view->model()->rowCount() > 0 && e.HasRows(s); },
        [&s, window, view, e] { Export(s, window, view, e); });
  }
}

}  // namespace quintar::gui
