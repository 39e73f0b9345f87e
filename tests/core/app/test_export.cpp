// quintar-cli export as outside checks call it: every table view of a data folder with the real archive
// exported and read back with an independent reader (openpyxl), cell by cell against the list command's
// output; the saved parameters; the refusals that leave no new file; the cell rule of numbers and texts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/excelexport.h"
#include "testutil.h"
#include "util/cp1251.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using quintar::test::RunCli;
using quintar::test::TempDir;

namespace {

// Dumps a workbook: "S title orientation", "W column width hidden", then one line per cell that exists:
// row, column, type (n number, s text, blank), value, number format, size, bold, italic, border (left
// style), horizontal, vertical, wrap.
const char* const kDumper = R"PY(
import sys, openpyxl
from openpyxl.utils import get_column_letter
wb = openpyxl.load_workbook(sys.argv[1])
print("N", len(wb.worksheets))
ws = wb.worksheets[0]
print("S", ws.title, ws.page_setup.orientation, sep="\t")
for k, d in sorted(ws.column_dimensions.items()):
    print("W", k, "%.4f" % (d.width or 0), int(bool(d.hidden)), sep="\t")
for row in ws.iter_rows():
    for c in row:
        if c.value is None and not c.has_style:
            continue
        t = "blank" if c.value is None else ("n" if isinstance(c.value, (int, float)) else "s")
        v = "" if c.value is None else (repr(float(c.value)) if t == "n" else str(c.value))
        a = c.alignment
        print("C", c.row, c.column, t, v.replace("\t", " ").replace("\n", " "), c.number_format, c.font.sz,
              int(bool(c.font.b)), int(bool(c.font.i)), c.border.left.style, a.horizontal, a.vertical,
              int(bool(a.wrap_text)), sep="\t")
)PY";

const char* const kPython = "/usr/bin/python3";

struct TBookCell {
  std::string type, value, numfmt, size, bold, italic, border, halign, valign, wrap;
};
struct TBook {
  int sheets = 0;
  std::string title, orientation;
  std::map<std::string, std::pair<double, bool>> widths;  // column letter -> width, hidden
  std::map<std::pair<int, int>, TBookCell> cells;             // 1-based row, column
  const TBookCell* At(int r, int c) const {
    auto it = cells.find({r, c});
    return it == cells.end() ? nullptr : &it->second;
  }
};

bool HaveOpenpyxl() {
  return std::system((std::string(kPython) + " -c 'import openpyxl' >/dev/null 2>&1").c_str()) == 0;
}

TBook ReadBook(const TempDir& dir, const std::string& path) {
  const std::string script = dir.File("dump.py"), out = dir.File("dump.txt");
  test::WriteBytes(script, kDumper);
  const std::string cmd = std::string(kPython) + " " + script + " '" + path + "' > '" + out + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << path;
  TBook book;
  std::istringstream in(FileExists(out) ? ReadWholeFile(out) : "");
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> w;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      w.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (w[0].rfind("N ", 0) == 0) book.sheets = std::stoi(w[0].substr(2));
    if (w[0] == "S" && w.size() == 3) book.title = w[1], book.orientation = w[2];
    if (w[0] == "W" && w.size() == 4) book.widths[w[1]] = {std::stod(w[2]), w[3] == "1"};
    if (w[0] == "C" && w.size() == 13)
      book.cells[{std::stoi(w[1]), std::stoi(w[2])}] = {w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10], w[11], w[12]};
  }
  return book;
}

std::vector<std::vector<std::string>> Lines(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(cells);
  }
  return rows;
}

// The stored width of a column of w characters: whole pixels of the default font's 7-pixel digits plus
// its 5-pixel padding.
double StoredWidth(double w) { return w == 0 ? 0 : std::floor((std::floor(w * 7 + 0.5) + 5) / 7 * 256) / 256; }

std::string Column(int k) {
  std::string s;
  for (; k > 0; k = (k - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (k - 1) % 26));
  return s;
}

// The folder: the real archive, stakes checked against it, the rating built from them, two tables.
void FillFolder(const TempDir& dir) {
  test::WriteBytes(dir.File("Quintar_7x35.ini"),
                   "[STAKES]\r\nCost=10\r\nProfits=2\r\nProfit_0_Overlap=3\r\nProfit_0_Profit=25.5\r\n"
                   "Profit_1_Overlap=4\r\nProfit_1_Profit=300\r\n");
  const std::string d = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({d, "draws", "import", test::SharedDataFile("draws-7x35-import.csv")}), 0);
  ASSERT_EQ(RunCli({d, "stakes", "add", "1;5;9;13;25;32;33", "--draw=1560", "--draws=12", "--comment=Мой"}), 0);
  ASSERT_EQ(RunCli({d, "stakes", "add", "7;11;12;18;27;30;34", "--draw=1570", "--draws=10", "--comment=Второй"}), 0);
  ASSERT_EQ(RunCli({d, "ratings", "refresh"}), 0);
  ASSERT_EQ(RunCli({d, "tables", "add", "--comb=1;2;3;4;5;6;7", "--step=5", "--name=Пять"}), 0);
  ASSERT_EQ(RunCli({d, "tables", "add", "--last-draw", "--step=0"}), 0);
  test::WriteBytes(dir.File("list.lcv"), "1;2;3;4;5;6;7\r\nнет\r\n30;2;17;8;25;11;34\r\n5;6;7;8;9;10;11\r\n");
}

}  // namespace

// Every view: the workbook holds exactly the rows the list command prints, numbers as numbers with their
// decimals, the title block, captions and data block formatted and laid out as the dialog says.
TEST(Export, EveryViewHoldsTheListCommandsCells) {
  if (test::SharedDataFile("draws-7x35-import.csv").empty()) GTEST_SKIP() << "no real archive";
  if (!HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  TempDir dir;
  FillFolder(dir);
  const std::string d = "--data-dir=" + dir.Path();
  const struct {
    std::vector<std::string> list;    // the list command
    std::vector<std::string> export_; // export VIEW [arguments of the list command]
    std::vector<std::string> extra;   // dialog options
    std::string title;                // title = sheet name
    int captionRow;                   // 1-based
    std::vector<int> rows;            // 1-based rows of the list exported (empty: all)
    std::vector<int> fields;          // source ids in the sheet's order (empty: all)
    bool grid;
  } cases[] = {
      {{"draws", "list"}, {"draws"}, {}, "Архив тиражей", 3, {}, {}, false},
      {{"draws", "list", "--sorted"}, {"draws", "--sorted"}, {"--header=Шапка", "--notes=Заметка", "--time",
        "--fields=10,0,9", "--rows=2-4,10", "--font-size=10", "--orientation=2"}, "Архив тиражей", 7, {2, 3, 4, 10},
       {10, 0, 9}, false},
      {{"stats", "NUMS", "--len=100", "--sort=2", "--desc"}, {"stats", "NUMS", "--len=100", "--sort=2", "--desc"},
       {"--time"}, "Статистика", 4, {}, {}, false},
      {{"stats", "SUMS", "--offset=3"}, {"stats", "SUMS", "--offset=3"}, {}, "Статистика", 3, {}, {}, false},
      {{"combs", "list", "--in=" + dir.File("list.lcv")}, {"combs", "--in=" + dir.File("list.lcv")}, {},
       "Комбинации", 3, {}, {}, false},
      {{"combs", "list", "--mode=2", "--param=1;2;3;4;5;6;7;8;9", "--exclude=300"},
       {"combs", "--mode=2", "--param=1;2;3;4;5;6;7;8;9", "--exclude=300"},
       {"--notes=Девять"}, "Комбинации", 4, {}, {}, false},
      {{"stakes", "list"}, {"stakes"}, {"--rows=3-7", "--orientation=1"}, "Ставки", 3, {3, 4, 5, 6, 7}, {}, true},
      {{"ratings", "list", "--mode=2"}, {"ratings", "--mode=2"}, {}, "Рейтинг", 3, {}, {}, false},
      {{"tables", "list"}, {"tables"}, {"--sheet=Мои регуляры"}, "Регуляры", 3, {}, {}, false},
      {{"card"}, {"card"}, {}, "Карта", 3, {}, {}, true},
      {{"layout", "--len=60", "--offset=2"}, {"layout", "--len=60", "--offset=2"}, {"--rows=2-4"}, "Схема", 3,
       {2, 3, 4}, {}, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.export_[0] + " case " + std::to_string(n));
    std::string listOut;
    std::vector<std::string> listArgs = {d};
    listArgs.insert(listArgs.end(), c.list.begin(), c.list.end());
    ASSERT_EQ(RunCli(listArgs, &listOut), 0);
    auto lines = Lines(listOut);
    // A trailing status line is not a row.
    if (lines.size() > 1 && lines.back().size() == 1 && lines.back()[0].find(": ") != std::string::npos) lines.pop_back();
    ASSERT_GE(lines.size(), 2u) << listOut;
    const std::string file = dir.File("view" + std::to_string(n++) + ".xlsx");
    std::vector<std::string> args = {d, "export", c.export_[0], file};
    args.insert(args.end(), c.export_.begin() + 1, c.export_.end());
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    std::string out, err;
    ASSERT_EQ(RunCli(args, &out, &err), 0) << err;
    std::vector<int> rows = c.rows;
    if (rows.empty())
      for (int r = 1; r < static_cast<int>(lines.size()); ++r) rows.push_back(r);
    EXPECT_EQ(out, "Экспортировано строк: " + std::to_string(rows.size()) + "\n");

    const TBook book = ReadBook(dir, file);
    EXPECT_EQ(book.sheets, 1);
    const bool customSheet = std::find(c.extra.begin(), c.extra.end(), "--sheet=Мои регуляры") != c.extra.end();
    EXPECT_EQ(book.title, customSheet ? "Мои регуляры" : c.title);
    const bool landscape = std::find(c.extra.begin(), c.extra.end(), "--orientation=2") != c.extra.end();
    const bool portrait = std::find(c.extra.begin(), c.extra.end(), "--orientation=1") != c.extra.end();
    EXPECT_EQ(book.orientation, landscape ? "landscape" : portrait ? "portrait" : "None");
    const int base = std::find(c.extra.begin(), c.extra.end(), "--font-size=10") != c.extra.end() ? 10 : 8;
    const std::string sz = std::to_string(base) + ".0";

    // The title block: every line left-aligned and vertically centred, with its own font.
    const int r0 = c.captionRow == 7 ? 2 : 0;
    ASSERT_NE(book.At(r0 + 1, 1), nullptr);
    EXPECT_EQ(book.At(r0 + 1, 1)->value, c.title);
    EXPECT_EQ(book.At(r0 + 1, 1)->size, std::to_string(base + 4) + ".0");
    EXPECT_EQ(book.At(r0 + 1, 1)->bold, "1");
    EXPECT_EQ(book.At(r0 + 1, 1)->halign, "left");
    EXPECT_EQ(book.At(r0 + 1, 1)->valign, "center");
    if (r0) {
      EXPECT_EQ(book.At(1, 1)->value, "Шапка");
      EXPECT_EQ(book.At(1, 1)->size, std::to_string(base - 2) + ".0");
      EXPECT_EQ(book.At(1, 1)->italic, "1");
      EXPECT_EQ(book.At(4, 1)->value, "Заметка");
      EXPECT_EQ(book.At(4, 1)->bold, "1");
    }
    const bool timed = std::find(c.extra.begin(), c.extra.end(), "--time") != c.extra.end();
    if (timed) {
      const TBookCell* t = book.At(c.captionRow - 2, 1);
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->value.rfind("Отчет построен: ", 0), 0u) << t->value;
      EXPECT_EQ(t->value.size(), std::string("Отчет построен: 01.01.2026 00:00:00.").size());
      EXPECT_EQ(t->italic, "1");
    }
    EXPECT_EQ(book.At(c.captionRow - 1, 1), nullptr);  // the empty row above the captions

    std::vector<int> fields = c.fields;
    if (fields.empty())
      for (int k = 0; k < static_cast<int>(lines[0].size()); ++k) fields.push_back(k);
    for (size_t k = 0; k < fields.size(); ++k) {
      const int col = static_cast<int>(k) + 1;
      const TBookCell* cap = book.At(c.captionRow, col);
      ASSERT_NE(cap, nullptr);
      const std::string& caption = lines[0][static_cast<size_t>(fields[k])];
      EXPECT_EQ(cap->type, caption.empty() ? "blank" : "s");  // the card's first caption is empty
      EXPECT_EQ(cap->value, caption);
      EXPECT_EQ(cap->border, "medium");
      EXPECT_EQ(cap->halign, "center");
      EXPECT_EQ(cap->valign, "center");
      EXPECT_EQ(cap->wrap, "1");
      EXPECT_EQ(cap->size, sz);
      ASSERT_TRUE(book.widths.count(Column(col))) << Column(col);
    }
    EXPECT_EQ(book.At(c.captionRow, static_cast<int>(fields.size()) + 1), nullptr);

    std::string halign0;
    for (size_t i = 0; i < rows.size(); ++i) {
      const auto& line = lines[static_cast<size_t>(rows[i])];
      for (size_t k = 0; k < fields.size(); ++k) {
        const int row = c.captionRow + 1 + static_cast<int>(i), col = static_cast<int>(k) + 1;
        const size_t id = static_cast<size_t>(fields[k]);
        const std::string text = id < line.size() ? line[id] : "";
        const TBookCell* cell = book.At(row, col);
        ASSERT_NE(cell, nullptr) << row << "," << col;
        SCOPED_TRACE("row " + std::to_string(row) + " col " + std::to_string(col) + " text \"" + text + "\"");
        const TExportCellValue v = ClassifyExportCell(text);
        if (v.kind == TExportCellValue::Blank) {
          EXPECT_EQ(cell->type, "blank");
        } else if (v.kind == TExportCellValue::Text) {
          EXPECT_EQ(cell->type, "s");
          EXPECT_EQ(cell->value, text);
        } else {
          EXPECT_EQ(cell->type, "n");
          std::string t = text;
          std::replace(t.begin(), t.end(), ',', '.');
          double expect = std::stod(t.back() == '%' ? t.substr(0, t.size() - 1) : t);
          if (t.back() == '%') expect /= 100;
          EXPECT_NEAR(std::stod(cell->value), expect, 1e-9);
          std::string fmt = v.decimals ? "0." + std::string(static_cast<size_t>(v.decimals), '0') : "";
          if (v.kind == TExportCellValue::Percent) fmt = (fmt.empty() ? "0" : fmt) + "%";
          EXPECT_EQ(cell->numfmt, fmt.empty() ? "General" : fmt);
        }
        EXPECT_EQ(cell->border, "thin");
        EXPECT_EQ(cell->size, sz);
        EXPECT_EQ(cell->valign, "center");
        if (c.grid) {
          EXPECT_EQ(cell->halign, "left");
        }
        if (k == 0 && i == 0) halign0 = cell->halign;
        if (k == 0) {
          EXPECT_EQ(cell->halign, halign0);  // one alignment for the whole column
        }
      }
    }
    EXPECT_EQ(book.At(c.captionRow + 1 + static_cast<int>(rows.size()), 1), nullptr);
  }
}

// The parameters in Quintar_7x35.ini: saved on every export, restored only with the check box on, items
// matched back by id and physical name, the others dropped from the section, checked fields first.
TEST(Export, ParametersPersistAsSavedAndBadItemsAreDropped) {
  TempDir dir;
  const std::string ini = dir.File("Quintar_7x35.ini");
  TExportSource src;
  src.Table = "lvDraws";
  for (const char* cap : {"Тираж", "1", "2", "Дата тиража"}) src.Columns.push_back({cap, 80, eaCenter});
  src.RowCount = 2;
  src.Cells = [](int r, std::vector<std::string>& cells) { cells = {std::to_string(10 + r), "1", "2", "5 Jan 2017"}; };
  const struct {
    std::string section;           // the section as the file holds it ("" none)
    bool restored;                 // the check box after loading
    std::string title, sheet;      // after loading
    std::vector<std::string> order;// captions in the list after loading, "-" before unchecked ones
    std::vector<std::string> kept; // item values left in the file after loading
  } cases[] = {
      {"", false, "Архив тиражей", "Архив тиражей", {"Тираж", "1", "2", "Дата тиража"}, {}},
      // Off: nothing but the check box is read, even the items stay as they are.
      {"RestoreParameters=0\r\nSheetName=Другой\r\nItem_0=3;Дата тиража;Д;1;0;5.00\r\n", false, "Архив тиражей",
       "Архив тиражей", {"Тираж", "1", "2", "Дата тиража"}, {"3;Дата тиража;Д;1;0;5.00"}},
      {"RestoreParameters=1\r\nTitle=Старый\r\nSheetName=Лист\r\nShowCreateTime=1\r\nBaseFontSize=11\r\n"
       "Item_0=3;ДАТА тиража;Дата;1;0;12,50\r\nItem_1=0;Тираж;№;True;1;10.00\r\nItem_2=2;2;два;-1;2;3.75\r\n"
       "Item_3=1;1;один;False;2;3.75\r\n",
       true, "Архив тиражей", "Лист", {"Дата", "№", "два", "-", "один"},
       {"3;ДАТА тиража;Дата;1;0;12,50", "0;Тираж;№;True;1;10.00", "2;2;два;-1;2;3.75", "1;1;один;False;2;3.75"}},
      // A changed physical name, an unknown id, five words, seven words: dropped; unchecked fields go last.
      {"RestoreParameters=1\r\nItem_0=1;Один;x;1;0;1.00\r\nItem_1=9;Тираж;y;1;0;1.00\r\nItem_2=0;Тираж;z;1;0\r\n"
       "Item_3=0;Тираж;z;1;0;1.00;7\r\nItem_4=2;2;два;0;0;2.00\r\n",
       true, "Архив тиражей", "Архив тиражей", {"Тираж", "1", "Дата тиража", "-", "два"}, {"2;2;два;0;0;2.00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section);
    DeleteFileIfExists(ini);
    if (!c.section.empty())
      test::WriteBytes(ini, Utf8ToCp1251("[GLOBAL]\r\nX=1\r\n[EXPORT_EXCEL_FORMMAIN.LVDRAWS]\r\n" + c.section));
    TExportRequest req;
    req.Title = req.SheetName = "Архив тиражей";
    TExcelExport ex;
    ex.Open(src, req, ini);
    EXPECT_EQ(ex.SaveParameters, c.restored);
    EXPECT_EQ(ex.Title, c.title);
    EXPECT_EQ(ex.SheetName, c.sheet);
    std::vector<std::string> order;
    bool unchecked = false;
    for (const auto& f : ex.Fields) {
      if (!f.Exported && !unchecked) order.push_back("-"), unchecked = true;
      EXPECT_FALSE(f.Exported && unchecked) << "a checked field after an unchecked one";
      order.push_back(f.Caption);
    }
    EXPECT_EQ(order, c.order);
    IniFile after(ini);
    std::vector<std::string> kept;
    for (const auto& [k, v] : after.ReadSectionValues("EXPORT_EXCEL_FORMMAIN.LVDRAWS"))
      if (k.rfind("Item_", 0) == 0) kept.push_back(v);
    EXPECT_EQ(kept, c.kept);

    // Every export rewrites the section with the current values, the other sections as they were.
    ex.Notes = "N";
    ASSERT_EQ(ex.Export(dir.File("p.xlsx")), 2);
    IniFile saved(ini);
    EXPECT_EQ(saved.ReadString("EXPORT_EXCEL_FORMMAIN.LVDRAWS", "Notes", ""), "N");
    EXPECT_EQ(saved.ReadBool("EXPORT_EXCEL_FORMMAIN.LVDRAWS", "RestoreParameters", true), c.restored);
    EXPECT_EQ(saved.ReadString("GLOBAL", "X", c.section.empty() ? "" : "1"), c.section.empty() ? "" : "1");
    const auto items = saved.ReadSectionValues("EXPORT_EXCEL_FORMMAIN.LVDRAWS");
    std::vector<std::string> rewritten;
    for (const auto& [k, v] : items)
      if (k.rfind("Item_", 0) == 0) rewritten.push_back(k + "=" + v);
    ASSERT_EQ(rewritten.size(), ex.Fields.size());
    const auto& f0 = ex.Fields[0];
    EXPECT_EQ(rewritten[0], "Item_0=" + std::to_string(f0.Id) + ";" + f0.PhysName + ";" + f0.Caption + ";" +
                                (f0.Exported ? "1" : "0") + ";" + std::to_string(f0.Align) + ";" + f0.Width);
    EXPECT_EQ(f0.Width.find(','), std::string::npos);
  }

  // Through the command line: --save keeps the dialog's choices, the next export restores them; the
  // caption's ";" and the other bad values are usage errors.
  const std::string d = "--data-dir=" + dir.Path();
  DeleteFileIfExists(ini);
  ASSERT_EQ(RunCli({d, "draws", "add", "1;2;3;4;5;6;7;1", "--number=5", "--date=5 Jan 2017"}), 0);
  std::string out, err;
  ASSERT_EQ(RunCli({d, "export", "draws", dir.File("a.xlsx"), "--save", "--fields=10,0", "--caption=0=Номер",
                    "--width=10=300", "--align=0=1", "--sheet=Тиражи", "--time"},
                   &out, &err),
            0)
      << err;
  IniFile saved(ini);
  const std::string sec = "EXPORT_EXCEL_FORMMAIN.LVDRAWS";
  EXPECT_EQ(saved.ReadString(sec, "Item_0", ""), "10;Дата тиража;Дата тиража;1;0;300.00");
  EXPECT_EQ(saved.ReadString(sec, "Item_1", ""), "0;Тираж;Номер;1;1;6.50");
  EXPECT_EQ(saved.ReadString(sec, "Item_2", ""), "1;1;1;0;2;3.75");
  EXPECT_EQ(saved.ReadString(sec, "SheetName", ""), "Тиражи");
  ASSERT_EQ(RunCli({d, "export", "draws", dir.File("b.xlsx")}, &out, &err), 0) << err;
  if (HaveOpenpyxl()) {
    const TBook b = ReadBook(dir, dir.File("b.xlsx"));
    EXPECT_EQ(b.title, "Тиражи");
    // Title, time line, captions in row 4.
    ASSERT_NE(b.At(4, 2), nullptr);
    EXPECT_EQ(b.At(4, 1)->value, "Дата тиража");
    EXPECT_EQ(b.At(4, 2)->value, "Номер");
    EXPECT_EQ(b.At(4, 3), nullptr);
    EXPECT_EQ(b.At(5, 2)->halign, "right");
    EXPECT_NEAR(b.widths.at("A").first, StoredWidth(255), 1e-3);  // 300 is written as 255
    EXPECT_NEAR(b.widths.at("B").first, StoredWidth(6.5), 1e-3);
  }
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--caption=0=a;b"}, {"--caption=77=x"}, {"--align=0=3"}, {"--width=0=-1"},
        {"--orientation=3"}, {"--font-size=0"}, {"--fields=0,0"}, {"--fields=11"}, {"--rows=0-2"}, {"--rows=5"},
        {"--time", "--no-time"}, {"--bogus"}}) {
    std::vector<std::string> args = {d, "export", "draws", dir.File("c.xlsx")};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(RunCli(args, &out, &err), 2) << bad[0];
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(RunCli({d, "export", "nosuch", dir.File("c.xlsx")}, &out, &err), 2);
  EXPECT_FALSE(FileExists(dir.File("c.xlsx")));
}

// Failures say why and leave no new file, an existing file as it was, and no temporary file behind.
TEST(Export, RefusalsLeaveNoNewFileAndTheOldOneAsItWas) {
  TempDir dir;
  const std::string d = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({d, "draws", "add", "1;2;3;4;5;6;7;1", "--number=5", "--date=5 Jan 2017"}), 0);
  const std::string old = dir.File("old.xlsx");
  test::WriteBytes(old, "не книга");
  const struct {
    std::vector<std::string> args;
    std::string file;
    std::string reason;  // in standard error after the failure line
  } cases[] = {
      {{"draws"}, dir.File("no/such/folder/x.xlsx"), "не существует"},
      {{"draws", "--sheet="}, old, "Ошибка открытия (создания) листа #1!"},
      {{"draws", "--sheet=12345678901234567890123456789012"}, old, "Ошибка открытия (создания) листа #1!"},
      {{"draws", "--sheet=a[1]"}, old, "Ошибка открытия (создания) листа #1!"},
      {{"draws", "--sheet='лист"}, old, "Ошибка открытия (создания) листа #1!"},
      {{"draws", "--sheet=a/b"}, old, "Ошибка открытия (создания) листа #1!"},
      // Every combination: more rows than a sheet holds, refused before anything is written.
      {{"combs"}, old, "1048576"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    std::vector<std::string> args = {d, "export", c.args[0], c.file};
    args.insert(args.end(), c.args.begin() + 1, c.args.end());
    std::string out, err;
    EXPECT_EQ(RunCli(args, &out, &err), 1);
    EXPECT_EQ(err.rfind("Ошибка экспорта данных в Microsoft Excel!\n", 0), 0u) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    EXPECT_EQ(ReadWholeFile(old), "не книга");
  }
  // A folder that cannot be written (as another user), then the files of the folder: nothing new.
  std::filesystem::create_directories(dir.File("ro"));
  std::filesystem::permissions(dir.File("ro"), std::filesystem::perms::owner_all | std::filesystem::perms::others_read |
                                                   std::filesystem::perms::others_exec);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::others_all, std::filesystem::perm_options::add);
  std::filesystem::permissions(dir.File("Quintar_7x35.ldr"), std::filesystem::perms::others_read,
                               std::filesystem::perm_options::add);
  if (::geteuid() == 0) {
    std::string out, err;
    EXPECT_EQ(test::RunCliAs(65534, {d, "export", "draws", dir.File("ro/x.xlsx")}, &out, &err), 1) << err;
    EXPECT_FALSE(FileExists(dir.File("ro/x.xlsx")));
  }
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  for (const auto& n : names) EXPECT_EQ(n.find(".tmp"), std::string::npos) << n;
  EXPECT_TRUE(std::find(names.begin(), names.end(), "old.xlsx") != names.end());
}

// The cell rule: decimal numbers (with their decimals, or a percentage) become numbers, all else is text.
TEST(Export, NumbersAndTextsAsTheTableShowsThem) {
  using K = TExportCellValue;
  const struct {
    const char* text;
    K::Kind kind;
    double value;
    int decimals;
  } cases[] = {
      {"", K::Blank, 0, 0},          {"0", K::Number, 0, 0},          {"144", K::Number, 144, 0},
      {"-10.00", K::Number, -10, 2}, {"1,71429", K::Number, 1.71429, 5}, {"25.5", K::Number, 25.5, 1},
      {"12,50%", K::Percent, 0.125, 2}, {"7%", K::Percent, 0.07, 0}, {"999999999999999", K::Number, 999999999999999, 0},
      {"1000000000000000", K::Text, 0, 0}, {"-", K::Text, 0, 0},   {"+2", K::Text, 0, 0},
      {"1;2;3", K::Text, 0, 0},      {"[12], 15", K::Text, 0, 0},     {"012", K::Text, 0, 0},
      {"5 Jan 2017", K::Text, 0, 0}, {"1.", K::Text, 0, 0},           {".5", K::Text, 0, 0},
      {"1.2.3", K::Text, 0, 0},      {"%", K::Text, 0, 0},            {"1e5", K::Text, 0, 0},
      {" 1", K::Text, 0, 0},         {"--1", K::Text, 0, 0},          {"-0", K::Number, 0, 0},
  };
  for (const auto& c : cases) {
    const K v = ClassifyExportCell(c.text);
    EXPECT_EQ(v.kind, c.kind) << c.text;
    if (c.kind == K::Number || c.kind == K::Percent) {
      EXPECT_NEAR(v.value, c.value, 1e-12) << c.text;
      EXPECT_EQ(v.decimals, c.decimals) << c.text;
    }
  }
  EXPECT_EQ(CheckSheetName("Ставки"), "");
  EXPECT_EQ(CheckSheetName(std::string(31, 'x')), "");
  EXPECT_EQ(CheckSheetName("Абвгдеёжзийклмнопрстуфхцчшщъыьэ"), "");  // 31 letters, 62 bytes
}

// The workbook opens in LibreOffice Calc: converted headless to CSV it gives the list's rows.
TEST(Export, OpensInLibreOffice) {
  const char* soffice = nullptr;
  for (const char* p : {"/usr/bin/soffice", "/usr/bin/libreoffice", "/usr/lib/libreoffice/program/soffice"})
    if (FileExists(p)) soffice = p;
  if (!soffice) GTEST_SKIP() << "LibreOffice is not installed";
  TempDir dir;
  const std::string d = "--data-dir=" + dir.Path();
  ASSERT_EQ(RunCli({d, "draws", "add", "1;2;3;4;5;6;7;1", "--number=5", "--date=5 Jan 2017"}), 0);
  ASSERT_EQ(RunCli({d, "export", "draws", dir.File("lo.xlsx")}), 0);
  const std::string cmd = std::string(soffice) + " -env:UserInstallation=file://" + dir.Path() +
                          "profile --headless --convert-to csv --outdir '" + dir.Path() + "' '" + dir.File("lo.xlsx") +
                          "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string csv = ReadWholeFile(dir.File("lo.csv"));
  EXPECT_NE(csv.find("5,1,2,3,4,5,6,7,1,28,5 Jan 2017"), std::string::npos) << csv;
}
