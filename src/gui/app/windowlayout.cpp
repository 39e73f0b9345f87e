#include "app/windowlayout.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "app/guiutil.h"

namespace quintar::gui {

namespace {

TRect ToRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

QHeaderView* HeaderOf(const QAbstractItemView* view) {
  if (auto* t = qobject_cast<const QTableView*>(view)) return t->horizontalHeader();
  if (auto* t = qobject_cast<const QTreeView*>(view)) return t->header();
  return nullptr;
}

bool SortableView(const QAbstractItemView* view) {
  if (auto* t = qobject_cast<const QTableView*>(view)) return t->isSortingEnabled();
  if (auto* t = qobject_cast<const QTreeView*>(view)) return t->isSortingEnabled();
  return false;
}

bool GridLinesOf(const QAbstractItemView* view) {
  if (auto* t = qobject_cast<const QTableView*>(view)) return t->showGrid();
  return false;
}

}  // namespace

TScreenInfo ScreenOf(const QWidget* w) {
  QScreen* s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
  TScreenInfo info;
  if (s) {
    info.Size = s->size();
    info.PixelsPerInch = static_cast<int>(std::lround(s->logicalDotsPerInch()));
  }
  return info;
}

void SaveWindowPlacement(IniFile& ini, std::string_view section, const QWidget* w, const TScreenInfo& screen) {
  TWindowPlacement wp;
  QRect normal = w->normalGeometry();
  if (!normal.isValid() || normal.isEmpty()) normal = w->geometry();
  wp.NormalPosition = ToRect(normal);
  if (w->isMinimized())
    wp.ShowCmd = SW_SHOWMINIMIZED;
  else if (w->isMaximized())
    wp.ShowCmd = SW_SHOWMAXIMIZED;
  else
    wp.ShowCmd = SW_SHOWNORMAL;
  StoreWindowPlacement(ini, section, wp, screen.Size.width(), screen.Size.height(), screen.PixelsPerInch);
}

void SaveWindowPlacement(IniFile& ini, std::string_view section, const QWidget* w) {
  SaveWindowPlacement(ini, section, w, ScreenOf(w));
}

TShowState RestoreWindowPlacement(const IniFile& ini, std::string_view section, QWidget* w, const TScreenInfo& screen) {
  TWindowPlacement current;
  current.ShowCmd = w->isVisible() ? (w->isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL) : 0;
  current.NormalPosition = ToRect(w->geometry());
  const bool resizable = w->minimumSize() != w->maximumSize();
  TPlacementRestore r = ReadWindowPlacement(ini, section, current, screen.Size.width(), screen.Size.height(),
                                            screen.PixelsPerInch, resizable);
  if (r.ApplyPosition) {
    const TRect& n = r.Placement.NormalPosition;
    // A placement that would put the window out of sight on this desktop (another monitor layout) is
    // not applied; the window keeps its designed place.
    QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    TRect desktop = s ? ToRect(s->virtualGeometry()) : TRect{0, 0, screen.Size.width(), screen.Size.height()};
    if (RectVisibleOn(n, desktop)) w->setGeometry(n.Left, n.Top, n.Width(), n.Height());
  }
  return r.State;
}

TShowState RestoreWindowPlacement(const IniFile& ini, std::string_view section, QWidget* w) {
  return RestoreWindowPlacement(ini, section, w, ScreenOf(w));
}

void SaveListLayout(IniFile& ini, std::string_view section, const QAbstractItemView* view, bool withOptions) {
  QHeaderView* h = HeaderOf(view);
  if (!h) return;
  TListLayout l;
  for (int i = 0; i < h->count(); ++i) l.Widths.push_back(h->sectionSize(i));
  l.Sortable = SortableView(view);
  l.SortColumn = h->sortIndicatorSection();
  l.SortDirection = h->sortIndicatorOrder() == Qt::AscendingOrder ? 0 : 1;
  l.GridLines = GridLinesOf(view);
  l.MultiSelect = view->selectionMode() == QAbstractItemView::ExtendedSelection ||
                  view->selectionMode() == QAbstractItemView::MultiSelection;
  StoreListLayout(ini, section, S(view->objectName()), l, withOptions);
}

void RestoreListLayout(const IniFile& ini, std::string_view section, QAbstractItemView* view, bool withOptions) {
  QHeaderView* h = HeaderOf(view);
  if (!h) return;
  TListLayout l;
  for (int i = 0; i < h->count(); ++i) l.Widths.push_back(h->sectionSize(i));
  l.Sortable = SortableView(view);
  l.SortColumn = h->sortIndicatorSection();
  l.SortDirection = h->sortIndicatorOrder() == Qt::AscendingOrder ? 0 : 1;
  l.GridLines = GridLinesOf(view);
  l.MultiSelect = view->selectionMode() == QAbstractItemView::ExtendedSelection;
  ReadListLayout(ini, section, S(view->objectName()), l, withOptions);
  for (int i = 0; i < h->count(); ++i) h->resizeSection(i, std::max(0, l.Widths[static_cast<size_t>(i)]));
  if (l.Sortable) h->setSortIndicator(l.SortColumn, l.SortDirection == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (withOptions) {
    if (auto* t = qobject_cast<QTableView*>(view)) t->setShowGrid(l.GridLines);
    view->setSelectionMode(l.MultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  }
}

}  // namespace quintar::gui
