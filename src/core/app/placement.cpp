#include "app/placement.h"

#include <algorithm>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

namespace {

std::string SizeKey(std::string_view base, int w, int h) { return Format("%s_%dx%d", {base, w, h}); }

// Up to four integers split at ","; missing or unreadable words take the defaults.
void ReadFour(const std::string& text, const int def[4], int out[4]) {
  std::vector<std::string> words = SplitAny(text, ",", false);
  for (size_t i = 0; i < 4; ++i) {
    out[i] = def[i];
    if (i < words.size()) {
      if (auto v = TryStrToInt(Trim(words[i]))) out[i] = *v;
    }
  }
}

// The text of the size-specific key, else of the generic one; "" when neither holds text.
std::string SizeOrGeneric(const IniFile& ini, std::string_view section, std::string_view base, int w, int h) {
  std::string text = Trim(ini.ReadString(section, SizeKey(base, w, h), ""));
  if (text.empty()) text = Trim(ini.ReadString(section, base, ""));
  return text;
}

}  // namespace

TShowState ShowStateOfCmd(int showCmd) {
  switch (showCmd) {
    case 2: case 6: case 7: return TShowState::Minimized;
    case 3: return TShowState::Maximized;
    default: return TShowState::Normal;
  }
}

void StoreWindowPlacement(IniFile& ini, std::string_view section, const TWindowPlacement& wp, int screenW,
                          int screenH, int pixelsPerInch) {
  const std::string minMax =
      Format("%d,%d,%d,%d", {wp.MinPosition.X, wp.MinPosition.Y, wp.MaxPosition.X, wp.MaxPosition.Y});
  const TRect& r = wp.NormalPosition;
  const std::string norm = Format("%d,%d,%d,%d", {r.Left, r.Top, r.Right, r.Bottom});
  ini.WriteInteger(section, "Flags", wp.Flags);
  ini.WriteInteger(section, "ShowCmd", wp.ShowCmd);
  ini.WriteInteger(section, "PixelsPerInch", pixelsPerInch);
  ini.WriteString(section, "MinMaxPos", minMax);
  ini.WriteString(section, SizeKey("MinMaxPos", screenW, screenH), minMax);
  ini.WriteString(section, "NormPos", norm);
  ini.WriteString(section, SizeKey("NormPos", screenW, screenH), norm);
}

TPlacementRestore ReadWindowPlacement(const IniFile& ini, std::string_view section, const TWindowPlacement& current,
                                      int screenW, int screenH, int pixelsPerInch, bool resizable) {
  TPlacementRestore res;
  res.Placement = current;
  TWindowPlacement& wp = res.Placement;
  wp.Flags = ini.ReadInteger(section, "Flags", current.Flags);

  const std::string posText = SizeOrGeneric(ini, section, "MinMaxPos", screenW, screenH);
  const int zeros[4] = {0, 0, 0, 0};
  int pos[4];
  ReadFour(posText, zeros, pos);
  wp.MinPosition = {pos[0], pos[1]};
  wp.MaxPosition = {pos[2], pos[3]};

  const std::string rectText = SizeOrGeneric(ini, section, "NormPos", screenW, screenH);
  const TRect& cur = current.NormalPosition;
  const int rectDef[4] = {cur.Left, cur.Top, cur.Left + cur.Width(), cur.Top + cur.Height()};
  int rect[4];
  ReadFour(rectText, rectDef, rect);
  wp.NormalPosition = {rect[0], rect[1], rect[2], rect[3]};
  if (!resizable) {
    wp.NormalPosition.Right = wp.NormalPosition.Left + cur.Width();
    wp.NormalPosition.Bottom = wp.NormalPosition.Top + cur.Height();
  }

  const int storedPpi = ini.ReadInteger(section, "PixelsPerInch", pixelsPerInch);
  res.ApplyPosition = (!posText.empty() || !rectText.empty()) && storedPpi == pixelsPerInch &&
                      wp.NormalPosition.Left < wp.NormalPosition.Right;

  wp.ShowCmd = ini.ReadInteger(section, "ShowCmd", 0);
  res.State = ShowStateOfCmd(wp.ShowCmd);
  return res;
}

bool RectVisibleOn(const TRect& r, const TRect& screen) {
  return std::max(r.Left, screen.Left) < std::min(r.Right, screen.Right) &&
         std::max(r.Top, screen.Top) < std::min(r.Bottom, screen.Bottom);
}

void StoreListLayout(IniFile& ini, std::string_view section, std::string_view name, const TListLayout& layout,
                     bool withOptions) {
  if (layout.Sortable)
    ini.WriteString(section, Format("%s.SortType", {name}), Format("%d,%d", {layout.SortColumn, layout.SortDirection}));
  for (size_t i = 0; i < layout.Widths.size(); ++i)
    ini.WriteInteger(section, Format("%s.Column%d", {name, static_cast<int>(i)}), layout.Widths[i]);
  if (withOptions) {
    ini.WriteBool(section, Format("%s.GridLines", {name}), layout.GridLines);
    ini.WriteBool(section, Format("%s.MultiSelect", {name}), layout.MultiSelect);
  }
}

void ReadListLayout(const IniFile& ini, std::string_view section, std::string_view name, TListLayout& layout,
                    bool withOptions) {
  if (layout.Sortable) {
    const std::string sortType = Trim(ini.ReadString(section, Format("%s.SortType", {name}), ""));
    if (!sortType.empty()) {
      std::vector<std::string> words = SplitAny(sortType, ",", false);
      if (words.size() > 0)
        if (auto v = TryStrToInt(Trim(words[0]))) layout.SortColumn = *v;
      if (words.size() > 1)
        if (auto v = TryStrToInt(Trim(words[1]))) layout.SortDirection = *v;
    }
  }
  for (size_t i = 0; i < layout.Widths.size(); ++i)
    layout.Widths[i] = ini.ReadInteger(section, Format("%s.Column%d", {name, static_cast<int>(i)}), layout.Widths[i]);
  if (withOptions) {
    layout.GridLines = ini.ReadBool(section, Format("%s.GridLines", {name}), layout.GridLines);
    layout.MultiSelect = ini.ReadBool(section, Format("%s.MultiSelect", {name}), layout.MultiSelect);
  }
}

}  // namespace quintar
