#include <gtest/gtest.h>

#include "app/placement.h"
#include "testutil.h"
#include "util/inifile.h"

using namespace quintar;
using quintar::test::TempDir;

namespace {
const char* kSec = "TFormMain";

TWindowPlacement Current() {
  TWindowPlacement wp;
  wp.NormalPosition = {100, 50, 1300, 850};
  return wp;
}
}  // namespace

TEST(Placement, StoresSevenKeysWithTheScreenSize) {
  TempDir dir;
  IniFile ini(dir.File("a.frm"));
  TWindowPlacement wp;
  wp.ShowCmd = SW_SHOWMAXIMIZED;
  wp.NormalPosition = {10, 20, 810, 620};
  StoreWindowPlacement(ini, kSec, wp, 1920, 1080, 96);
  ini.UpdateFile();
  IniFile back(dir.File("a.frm"));
  EXPECT_EQ(back.ReadInteger(kSec, "Flags", 99), 0);
  EXPECT_EQ(back.ReadInteger(kSec, "ShowCmd", 0), 3);
  EXPECT_EQ(back.ReadInteger(kSec, "PixelsPerInch", 0), 96);
  EXPECT_EQ(back.ReadString(kSec, "MinMaxPos", ""), "-1,-1,-1,-1");
  EXPECT_EQ(back.ReadString(kSec, "MinMaxPos_1920x1080", ""), "-1,-1,-1,-1");
  EXPECT_EQ(back.ReadString(kSec, "NormPos", ""), "10,20,810,620");
  EXPECT_EQ(back.ReadString(kSec, "NormPos_1920x1080", ""), "10,20,810,620");
  EXPECT_EQ(back.ReadSection(kSec).size(), 7u);
}

TEST(Placement, ScreenSizeKeysWinAndTheGenericKeyIsTheFallback) {
  IniFile ini;
  ini.WriteString(kSec, "NormPos", "1,2,301,202");
  ini.WriteString(kSec, "NormPos_1920x1080", "10,20,1010,720");
  ini.WriteInteger(kSec, "PixelsPerInch", 96);

  TPlacementRestore onWide = ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 96, true);
  EXPECT_TRUE(onWide.ApplyPosition);
  EXPECT_EQ(onWide.Placement.NormalPosition, (TRect{10, 20, 1010, 720}));

  TPlacementRestore onOther = ReadWindowPlacement(ini, kSec, Current(), 1280, 1024, 96, true);
  EXPECT_TRUE(onOther.ApplyPosition);
  EXPECT_EQ(onOther.Placement.NormalPosition, (TRect{1, 2, 301, 202}));

  ini.WriteString(kSec, "NormPos_1280x1024", "5,6,705,506");
  onOther = ReadWindowPlacement(ini, kSec, Current(), 1280, 1024, 96, true);
  EXPECT_EQ(onOther.Placement.NormalPosition, (TRect{5, 6, 705, 506}));
}

TEST(Placement, AnotherPixelDensityIgnoresTheStoredPlacement) {
  IniFile ini;
  ini.WriteString(kSec, "NormPos", "1,2,301,202");
  ini.WriteInteger(kSec, "PixelsPerInch", 120);
  EXPECT_FALSE(ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 96, true).ApplyPosition);
  EXPECT_TRUE(ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 120, true).ApplyPosition);
}

TEST(Placement, NothingStoredOrAnEmptyRectangleIsNotApplied) {
  IniFile ini;
  TPlacementRestore r = ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 96, true);
  EXPECT_FALSE(r.ApplyPosition);
  EXPECT_EQ(r.State, TShowState::Normal);
  EXPECT_EQ(r.Placement.NormalPosition, Current().NormalPosition);

  ini.WriteString(kSec, "NormPos", "500,10,500,400");  // left not less than right
  EXPECT_FALSE(ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 96, true).ApplyPosition);

  // Missing words take the window's own values; a position text alone is enough to apply them.
  IniFile partial;
  partial.WriteString(kSec, "NormPos", "7,8");
  r = ReadWindowPlacement(partial, kSec, Current(), 1920, 1080, 96, true);
  EXPECT_TRUE(r.ApplyPosition);
  EXPECT_EQ(r.Placement.NormalPosition, (TRect{7, 8, 1300, 850}));
  IniFile posOnly;
  posOnly.WriteString(kSec, "MinMaxPos", "1,2,x");
  r = ReadWindowPlacement(posOnly, kSec, Current(), 1920, 1080, 96, true);
  EXPECT_TRUE(r.ApplyPosition);
  EXPECT_EQ(r.Placement.MinPosition, (TPoint{1, 2}));
  EXPECT_EQ(r.Placement.MaxPosition, (TPoint{0, 0}));
}

TEST(Placement, FixedSizeWindowKeepsItsSizeAtTheStoredCorner) {
  IniFile ini;
  ini.WriteString(kSec, "NormPos", "30,40,100,100");
  TPlacementRestore r = ReadWindowPlacement(ini, kSec, Current(), 1920, 1080, 96, false);
  EXPECT_EQ(r.Placement.NormalPosition, (TRect{30, 40, 1230, 840}));
}

TEST(Placement, ShowCommands) {
  for (int cmd : {1, 5, 9, 0, 4, 8, 11, -1}) EXPECT_EQ(ShowStateOfCmd(cmd), TShowState::Normal) << cmd;
  for (int cmd : {2, 6, 7}) EXPECT_EQ(ShowStateOfCmd(cmd), TShowState::Minimized) << cmd;
  EXPECT_EQ(ShowStateOfCmd(3), TShowState::Maximized);
  IniFile ini;
  ini.WriteInteger(kSec, "ShowCmd", 3);
  EXPECT_EQ(ReadWindowPlacement(ini, kSec, Current(), 800, 600, 96, true).State, TShowState::Maximized);
}

TEST(Placement, VisibilityOnTheScreen) {
  TRect screen{0, 0, 1280, 1024};
  EXPECT_TRUE(RectVisibleOn({100, 100, 500, 500}, screen));
  EXPECT_TRUE(RectVisibleOn({-300, -10, 1, 20}, screen));
  EXPECT_FALSE(RectVisibleOn({1920, 0, 3000, 800}, screen));
  EXPECT_FALSE(RectVisibleOn({-500, 0, 0, 800}, screen));
}

TEST(ListLayout, WidthsAndSortTypeRoundTrip) {
  IniFile ini;
  TListLayout l;
  l.Widths = {50, 30, 90};
  l.Sortable = true;
  l.SortColumn = 2;
  l.SortDirection = 1;
  StoreListLayout(ini, kSec, "lvRatings", l, false);
  EXPECT_EQ(ini.ReadString(kSec, "lvRatings.SortType", ""), "2,1");
  EXPECT_EQ(ini.ReadInteger(kSec, "lvRatings.Column2", 0), 90);
  EXPECT_FALSE(ini.ValueExists(kSec, "lvRatings.GridLines"));

  TListLayout back;
  back.Widths = {1, 1, 1, 1};
  back.Sortable = true;
  ReadListLayout(ini, kSec, "lvRatings", back, false);
  EXPECT_EQ(back.Widths, (std::vector<int>{50, 30, 90, 1}));
  EXPECT_EQ(back.SortColumn, 2);
  EXPECT_EQ(back.SortDirection, 1);
}

TEST(ListLayout, BlankOrBadSortTypeKeepsTheCurrentValues) {
  IniFile ini;
  TListLayout l;
  l.Sortable = true;
  l.SortColumn = 4;
  l.SortDirection = 0;
  ini.WriteString(kSec, "lvScript.SortType", "   ");
  ReadListLayout(ini, kSec, "lvScript", l, false);
  EXPECT_EQ(l.SortColumn, 4);
  ini.WriteString(kSec, "lvScript.SortType", "x, 1");
  ReadListLayout(ini, kSec, "lvScript", l, false);
  EXPECT_EQ(l.SortColumn, 4);
  EXPECT_EQ(l.SortDirection, 1);
  ini.WriteString(kSec, "lvScript.SortType", " 3 ");
  ReadListLayout(ini, kSec, "lvScript", l, false);
  EXPECT_EQ(l.SortColumn, 3);
  EXPECT_EQ(l.SortDirection, 1);
}

TEST(ListLayout, OptionsOnlyWhenAsked) {
  IniFile ini;
  TListLayout l;
  l.Widths = {10};
  l.GridLines = true;
  l.MultiSelect = true;
  StoreListLayout(ini, "TFormExport", "lvFields", l, true);
  EXPECT_EQ(ini.ReadString("TFormExport", "lvFields.GridLines", ""), "1");
  TListLayout back;
  ReadListLayout(ini, "TFormExport", "lvFields", back, false);
  EXPECT_FALSE(back.GridLines);
  ReadListLayout(ini, "TFormExport", "lvFields", back, true);
  EXPECT_TRUE(back.GridLines);
  EXPECT_TRUE(back.MultiSelect);
}
