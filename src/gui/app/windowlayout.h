// Window placement and list layouts of the desktop program's windows in the window-settings file.
#pragma once

#include <QSize>
#include <string_view>

#include "app/placement.h"

class QAbstractItemView;
class QWidget;

namespace quintar::gui {

// The screen a window is on: its size in pixels and its logical pixels per inch.
struct TScreenInfo {
  QSize Size;
  int PixelsPerInch = 96;
};
TScreenInfo ScreenOf(const QWidget* w);

// Stores the placement of a window (its restored rectangle and its state) for the screen it is on.
void SaveWindowPlacement(IniFile& ini, std::string_view section, const QWidget* w, const TScreenInfo& screen);
void SaveWindowPlacement(IniFile& ini, std::string_view section, const QWidget* w);
// Applies a stored placement to a window that is not shown yet and returns the state to show it in.
TShowState RestoreWindowPlacement(const IniFile& ini, std::string_view section, QWidget* w, const TScreenInfo& screen);
TShowState RestoreWindowPlacement(const IniFile& ini, std::string_view section, QWidget* w);

// Column widths (and the sort column of a sortable list) of a list or grid, under the view's object name.
void SaveListLayout(IniFile& ini, std::string_view section, const QAbstractItemView* view, bool withOptions = false);
void RestoreListLayout(const IniFile& ini, std::string_view section, QAbstractItemView* view, bool withOptions = false);

}  // namespace quintar::gui
