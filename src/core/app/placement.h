// Window placement and list layouts kept in the window-settings file. The rules live here as plain
// functions over numbers and rectangles; the desktop program only reads and applies a window's geometry.
//
// Placement keys, in the section of each window that keeps its placement:
//   Flags, ShowCmd, PixelsPerInch              integers
//   MinMaxPos, MinMaxPos_<w>x<h>               "minX,minY,maxX,maxY"
//   NormPos, NormPos_<w>x<h>                   "left,top,right,bottom" of the restored (normal) window
// The size-specific keys are written for the screen size at storing time and win when the program runs
// on a screen of that size again; a placement stored at another pixel density is ignored altogether.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/inifile.h"

namespace quintar {

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// Show commands as the settings file stores them.
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;

struct TWindowPlacement {
  int Flags = 0;
  int ShowCmd = 0;
  TPoint MinPosition{-1, -1};
  TPoint MaxPosition{-1, -1};
  TRect NormalPosition;
};

enum class TShowState { Normal, Minimized, Maximized };

// The state a stored show command stands for: 1, 5, 9 normal; 2, 6, 7 minimized; 3 maximized; any other
// value normal.
TShowState ShowStateOfCmd(int showCmd);

// Writes the seven placement keys (the size-specific ones for screenW x screenH).
void StoreWindowPlacement(IniFile& ini, std::string_view section, const TWindowPlacement& wp, int screenW,
                          int screenH, int pixelsPerInch);

struct TPlacementRestore {
  bool ApplyPosition = false;  // give Placement to the window
  TWindowPlacement Placement;  // the window's own placement with the stored values merged in
  TShowState State = TShowState::Normal;
};

// Reads a stored placement for a window whose current placement is `current` (its show command counts as
// 0 while the window is not visible yet). The position is applied only when a position or rectangle text
// was stored, the stored pixels per inch equal the current ones and the rectangle's left is less than its
// right. A window that cannot be resized keeps its own width and height at the stored left and top.
TPlacementRestore ReadWindowPlacement(const IniFile& ini, std::string_view section, const TWindowPlacement& current,
                                      int screenW, int screenH, int pixelsPerInch, bool resizable);

// True when the rectangle shares at least one pixel with the screen area; a placement that would put the
// window entirely out of sight is not applied.
bool RectVisibleOn(const TRect& r, const TRect& screen);

// Column layout of a list or grid: "<name>.Column<i>" widths, "<name>.SortType" = "column,direction" for
// lists sorted by a column click, "<name>.GridLines" and "<name>.MultiSelect" with the options.
struct TListLayout {
  std::vector<int> Widths;
  bool Sortable = false;
  int SortColumn = 0;
  int SortDirection = 0;
  bool GridLines = false;
  bool MultiSelect = false;
};

void StoreListLayout(IniFile& ini, std::string_view section, std::string_view name, const TListLayout& layout,
                     bool withOptions);
// Reads the same keys with the layout's current values as defaults. A blank "SortType" changes nothing;
// each of its two words that is not a number keeps the current value.
void ReadListLayout(const IniFile& ini, std::string_view section, std::string_view name, TListLayout& layout,
                    bool withOptions);

}  // namespace quintar
