#include "app/excelexport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "app/host.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

std::vector<std::string> ExportAlignNames() { return {"по левому краю", "по правому краю", "по центру"}; }
std::vector<std::string> ExportOrientationNames() { return {"Не устанавливать", "Книжная", "Альбомная"}; }

// -?(0|[1-9][0-9]{0,14})([.,][0-9]+)?, optionally followed by "%".
TExportCellValue ClassifyExportCell(const std::string& text) {
  TExportCellValue v;
  if (text.empty()) return v;
  v.kind = TExportCellValue::Text;
  size_t i = 0, n = text.size();
  bool percent = false;
  if (text[n - 1] == '%') {
    percent = true;
    --n;
  }
  if (i < n && text[i] == '-') ++i;
  const size_t intStart = i;
  while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
  const size_t intLen = i - intStart;
  if (intLen == 0 || intLen > 15 || (intLen > 1 && text[intStart] == '0')) return v;
  int decimals = 0;
  if (i < n && (text[i] == '.' || text[i] == ',')) {
    ++i;
    const size_t fracStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    decimals = static_cast<int>(i - fracStart);
    if (decimals == 0) return v;
  }
  if (i != n) return v;
  std::string t = text.substr(0, n);
  std::replace(t.begin(), t.end(), ',', '.');
  double value = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), value);
  if (res.ec != std::errc()) return v;
  v.kind = percent ? TExportCellValue::Percent : TExportCellValue::Number;
  v.value = percent ? value / 100.0 : value;
  v.decimals = decimals;
  return v;
}

std::string FormatExportWidth(double width) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", width);  // the C locale: a decimal point
  return buf;
}

std::string ExportWidthOfPixels(int pixels) { return FormatExportWidth(std::max(0, pixels) / 8.0); }

double ParseExportWidth(const std::string& text) {
  std::string t = Trim(text);
  std::replace(t.begin(), t.end(), ',', '.');
  if (t.empty()) return -1;
  double v = 0;
  auto res = std::from_chars(t.data(), t.data() + t.size(), v);
  if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !(v >= 0) || v > 1e9) return -1;
  return v;
}

std::string CheckSheetName(const std::string& name) {
  const size_t len = Utf8Length(name);
  const bool bad = len < 1 || len > static_cast<size_t>(kExportSheetNameMax) ||
                   name.find_first_of("[]:*?/\\") != std::string::npos || name.front() == '\'' || name.back() == '\'';
  if (!bad) return "";
  return Format(kExportSheetError, {1}) + "\r" +
         Format("Недопустимое имя листа \"%s\": от 1 до %d символов, без [ ] : * ? / \\ и без апострофа в начале "
                "и в конце.",
                {name, kExportSheetNameMax});
}

std::string TExcelExport::SectionName(const std::string& window, const std::string& table) {
  std::string s = "EXPORT_EXCEL_" + window + "." + table;
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

void TExcelExport::Open(const TExportSource& source, const TExportRequest& request, const std::string& iniPath,
                        IHost* host) {
  source_ = &source;
  iniPath_ = iniPath;
  section_ = SectionName(source.Window, source.Table);
  Fields.clear();
  for (size_t i = 0; i < source.Columns.size(); ++i) {
    const TExportColumn& col = source.Columns[i];
    TExportField f;
    f.Id = static_cast<int>(i);
    f.Caption = f.PhysName = col.Caption;
    f.Exported = true;
    f.Align = source.Kind == TExportKind::Grid ? eaLeft : std::clamp(col.Align, 0, 2);
    f.Width = ExportWidthOfPixels(col.Width);
    Fields.push_back(std::move(f));
  }
  Title = request.Title;
  Notes = request.Notes;
  Header = request.Header;
  SheetName = request.SheetName;
  Orientation = std::clamp(request.Orientation, 0, kExportOrientations - 1);
  BaseFontSize = 8;
  KeepParameters = request.KeepParameters;
  ShowCreateTime = false;
  SaveParameters = false;

  RowsCount = source.RowCount;
  SendSelected = false;
  SelectedCount = 1;
  if (source.Kind == TExportKind::List) {
    const int sel = static_cast<int>(source.Selected.size());
    if (source.MultiSelect && sel > 1) {
      SelectedCount = sel;
      SendSelected = true;
    }
  } else {
    SelectedCount = source.SelTop < 0 ? 0 : std::max(0, std::min(source.SelBottom, source.RowCount - 1) - source.SelTop + 1);
  }

  if (KeepParameters) {
    try {
      IniFile ini(iniPath_);
      if (LoadParameters(ini)) ini.UpdateFile();
    } catch (const std::exception& e) {
      if (host) host->ShowMessage(MsgKind::Error, Format(kExportLoadParamsError, {iniPath_}) + "\r\r" + e.what());
    }
  }
  CheckedFirst();
}

namespace {

std::optional<bool> ParseExportedWord(const std::string& w) {
  const std::string t = Trim(w);
  if (t == "1" || t == "-1" || AnsiSameText(t, "True")) return true;
  if (t == "0" || AnsiSameText(t, "False")) return false;
  return std::nullopt;
}

}  // namespace

bool TExcelExport::LoadParameters(IniFile& ini) {
  SaveParameters = ini.ReadBool(section_, "RestoreParameters", false);
  if (!SaveParameters) return false;
  if (Title.empty()) Title = ini.ReadString(section_, "Title", Title);
  if (Notes.empty()) Notes = ini.ReadString(section_, "Notes", Notes);
  ShowCreateTime = ini.ReadBool(section_, "ShowCreateTime", ShowCreateTime);
  SheetName = ini.ReadString(section_, "SheetName", SheetName);
  Orientation = std::clamp(ini.ReadInteger(section_, "PageOrientation", Orientation), 0, kExportOrientations - 1);
  BaseFontSize = std::clamp(ini.ReadInteger(section_, "BaseFontSize", BaseFontSize), 1, 409);

  std::vector<std::string> drop;
  for (const auto& [key, value] : ini.ReadSectionValues(section_)) {
    if (key.size() <= 5 || !AnsiSameText(key.substr(0, 5), "Item_")) continue;
    auto pos = TryStrToInt(key.substr(5));
    if (!pos || *pos < 0) continue;
    // Exactly six words: "id;physical name;caption;exported;alignment;width".
    std::vector<std::string> words;
    size_t start = 0;
    for (;;) {
      size_t semi = value.find(';', start);
      words.push_back(value.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
      if (semi == std::string::npos) break;
      start = semi + 1;
    }
    bool ok = words.size() == 6;
    std::optional<int> id, align;
    std::optional<bool> exported;
    double width = -1;
    if (ok) {
      id = TryStrToInt(Trim(words[0]));
      exported = ParseExportedWord(words[3]);
      align = TryStrToInt(Trim(words[4]));
      width = ParseExportWidth(words[5]);
      ok = id && exported && align && *align >= 0 && *align <= 2 && width >= 0;
    }
    auto it = ok ? std::find_if(Fields.begin(), Fields.end(), [&](const TExportField& f) { return f.Id == *id; })
                 : Fields.end();
    if (it == Fields.end() || !AnsiSameText(Trim(it->PhysName), Trim(words[1]))) {
      drop.push_back(key);
      continue;
    }
    TExportField f = *it;
    f.Caption = words[2];
    f.Exported = *exported;
    f.Align = *align;
    f.Width = FormatExportWidth(width);
    Fields.erase(it);
    const size_t at = std::min(static_cast<size_t>(*pos), Fields.size());
    Fields.insert(Fields.begin() + static_cast<std::ptrdiff_t>(at), std::move(f));
  }
  for (const auto& key : drop) ini.DeleteKey(section_, key);
  return !drop.empty();
}

void TExcelExport::StoreParameters(IniFile& ini) const {
  ini.EraseSection(section_);
  ini.WriteBool(section_, "RestoreParameters", SaveParameters);
  ini.WriteString(section_, "Title", Title);
  ini.WriteString(section_, "Notes", Notes);
  ini.WriteBool(section_, "ShowCreateTime", ShowCreateTime);
  ini.WriteString(section_, "SheetName", SheetName);
  ini.WriteInteger(section_, "PageOrientation", Orientation);
  ini.WriteInteger(section_, "BaseFontSize", BaseFontSize);
  for (size_t i = 0; i < Fields.size(); ++i) {
    const TExportField& f = Fields[i];
    ini.WriteString(section_, Format("Item_%d", {static_cast<int>(i)}),
                    Format("%d;%s;%s;%s;%d;%s", {f.Id, f.PhysName, f.Caption, f.Exported ? "1" : "0", f.Align, f.Width}));
  }
}

void TExcelExport::CheckedFirst() {
  std::stable_partition(Fields.begin(), Fields.end(), [](const TExportField& f) { return f.Exported; });
}

bool TExcelExport::MoveField(int i, int delta) {
  const int j = i + delta;
  if (i < 0 || j < 0 || i >= static_cast<int>(Fields.size()) || j >= static_cast<int>(Fields.size())) return false;
  std::swap(Fields[static_cast<size_t>(i)], Fields[static_cast<size_t>(j)]);
  return true;
}

std::string TExcelExport::SetFieldProperties(int i, const std::string& caption, int align, const std::string& width) {
  if (i < 0 || i >= static_cast<int>(Fields.size())) return "";
  if (caption.find(';') != std::string::npos) return kExportCaptionSemicolon;
  const double w = ParseExportWidth(width);
  if (w < 0) return Format("Ширина столбца должна быть числом не меньше 0: \"%s\"!", {width});
  if (align < 0 || align > 2) align = eaLeft;
  TExportField& f = Fields[static_cast<size_t>(i)];
  f.Caption = caption;
  f.Align = align;
  f.Width = FormatExportWidth(w);
  return "";
}

std::vector<int> TExcelExport::ExportRows() const {
  std::vector<int> rows;
  if (!source_) return rows;
  const TExportSource& s = *source_;
  if (!SendSelected) {
    rows.resize(static_cast<size_t>(std::max(0, s.RowCount)));
    for (int r = 0; r < s.RowCount; ++r) rows[static_cast<size_t>(r)] = r;
    return rows;
  }
  if (s.Kind == TExportKind::List) {
    if (s.MultiSelect) {
      for (int r : s.Selected)
        if (r >= 0 && r < s.RowCount) rows.push_back(r);
    } else if (s.Focused >= 0 && s.Focused < s.RowCount) {
      rows.push_back(s.Focused);
    }
  } else if (s.SelTop >= 0) {
    for (int r = s.SelTop; r <= std::min(s.SelBottom, s.RowCount - 1); ++r) rows.push_back(r);
  }
  return rows;
}

namespace {

// The workbook under construction; the temporary file goes when the export does not reach the rename.
class TXlsxWriter {
 public:
  TXlsxWriter(const std::string& temp, bool constantMemory, const std::string& tmpdir) : temp_(temp), tmpdir_(tmpdir) {
    lxw_workbook_options opt{};
    opt.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    opt.tmpdir = tmpdir_.empty() ? nullptr : tmpdir_.data();
    opt.use_zip64 = LXW_TRUE;
    wb_ = workbook_new_opt(temp_.c_str(), &opt);
    if (!wb_) throw EExcelExport("Рабочая книга Microsoft Excel не создана или не активна");
  }
  ~TXlsxWriter() {
    if (wb_) {
      workbook_close(wb_);
      std::remove(temp_.c_str());
    }
  }
  lxw_workbook* Book() { return wb_; }
  void Close() {
    lxw_error err = workbook_close(wb_);
    wb_ = nullptr;
    if (err != LXW_NO_ERROR) {
      const int e = errno;
      std::remove(temp_.c_str());
      throw EExcelExport(Format("%s (%s)", {lxw_strerror(err), SysErrorText(e)}));
    }
  }

 private:
  std::string temp_, tmpdir_;
  lxw_workbook* wb_ = nullptr;
};

uint8_t LxwAlign(int align) {
  switch (align) {
    case eaRight: return LXW_ALIGN_RIGHT;
    case eaCenter: return LXW_ALIGN_CENTER;
    default: return LXW_ALIGN_LEFT;
  }
}

std::string NowText() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
  return buf;
}

void Check(lxw_error err) {
  if (err != LXW_NO_ERROR) throw EExcelExport(lxw_strerror(err));
}

}  // namespace

int TExcelExport::Export(const std::string& path, IHost* host) {
  if (!source_) throw EExcelExport("Нет таблицы для экспорта");
  const TExportSource& src = *source_;
  if (KeepParameters) {
    try {
      IniFile ini(iniPath_);
      StoreParameters(ini);
      ini.UpdateFile();
    } catch (const std::exception& e) {
      if (host) host->ShowMessage(MsgKind::Error, Format(kExportSaveParamsError, {iniPath_}) + "\r\r" + e.what());
    }
  }

  std::vector<const TExportField*> fields;
  for (const auto& f : Fields)
    if (f.Exported) fields.push_back(&f);
  const std::vector<int> rows = ExportRows();
  const int n = static_cast<int>(rows.size());

  // Everything that can be refused is refused before a file is touched.
  if (std::string why = CheckSheetName(SheetName); !why.empty()) throw EExcelExport(why);
  const int r = Header.empty() ? 0 : 2;
  const int s = (Notes.empty() ? 0 : 1) + (ShowCreateTime ? 1 : 0);
  const int captionRow = r + s + 3;  // 1-based
  if (static_cast<int64_t>(captionRow) + n > kExportMaxRows)
    throw EExcelExport(Format("Лист не вмещает %d строк: в листе не более %d строк (строк данных: %d).",
                              {captionRow + n, kExportMaxRows, n}));
  if (fields.size() > 16384) throw EExcelExport("Лист не вмещает больше 16384 столбцов.");
  const std::string folder = ExtractFilePath(path);
  const std::string dir = folder.empty() ? std::string("./") : folder;
  if (!DirectoryExists(dir)) throw EExcelExport(Format("Папка \"%s\" не существует.", {dir}));
  if (access(dir.c_str(), W_OK) != 0) throw EExcelExport(Format("Нет права записи в папку \"%s\": %s", {dir, SysErrorText(errno)}));

  const int total = 2 * static_cast<int>(fields.size()) + n + 5;
  int step = 0;
  auto progress = [&](const char* text) {
    if (!host) return;
    if (text) host->ShowStatus(text);
    host->ProgressStep(++step);
  };
  if (host) host->ProgressBegin(total);
  struct ProgressEnd {
    IHost* h;
    ~ProgressEnd() {
      if (h) {
        h->ProgressEnd();
        h->ShowStatus("");
      }
    }
  } progressEnd{host};
  progress("Вызов Microsoft Excel...");

  // A unique temporary name beside the file; libxlsxwriter writes it whole at the close.
  std::string temp = path + ".tmpXXXXXX";
  {
    std::vector<char> buf(temp.begin(), temp.end());
    buf.push_back('\0');
    const int fd = mkstemp(buf.data());
    if (fd < 0) throw EExcelExport(Format("Не удалось создать файл в папке \"%s\": %s", {dir, SysErrorText(errno)}));
    // The workbook gets the permissions of a file created the ordinary way, not mkstemp's 0600.
    const mode_t mask = umask(0);
    umask(mask);
    (void)fchmod(fd, 0666 & ~mask);
    close(fd);
    temp = buf.data();
  }
  const bool big = n > 20000;
  TXlsxWriter book(temp, big, "");
  progress("Создание рабочей книги...");
  lxw_workbook* wb = book.Book();
  progress("Создание листа...");
  lxw_worksheet* ws = workbook_add_worksheet(wb, SheetName.c_str());
  if (!ws) throw EExcelExport(Format(kExportSheetError, {1}));

  progress("Форматирование листа...");
  if (Orientation == 1) worksheet_set_portrait(ws);
  if (Orientation == 2) worksheet_set_landscape(ws);
  const double base = BaseFontSize;

  // Formats: one per (alignment, number format) of the data block, made on first use.
  auto newFormat = [&](int align, double size) {
    lxw_format* f = workbook_add_format(wb);
    format_set_font_size(f, size);
    format_set_align(f, LxwAlign(align));
    format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    return f;
  };
  // The data block's formats: per field its alignment with no number format, and with the number
  // formats "0.00" / "0.00%" of each count of decimals, made on first use.
  struct TFieldFormats {
    lxw_format* plain = nullptr;
    std::map<int, lxw_format*> numbers;  // decimals, negative for percentages (-1 - decimals)
  };
  std::map<int, TFieldFormats> byAlign;
  auto dataFormat = [&](int align, const TExportCellValue& v) {
    TFieldFormats& ff = byAlign[align];
    const bool number = v.kind == TExportCellValue::Number || v.kind == TExportCellValue::Percent;
    if (!number || (v.kind == TExportCellValue::Number && v.decimals == 0)) {
      if (!ff.plain) {
        ff.plain = newFormat(align, base);
        format_set_border(ff.plain, LXW_BORDER_THIN);
      }
      return ff.plain;
    }
    const int key = v.kind == TExportCellValue::Percent ? -1 - v.decimals : v.decimals;
    auto it = ff.numbers.find(key);
    if (it != ff.numbers.end()) return it->second;
    std::string num = v.decimals > 0 ? "0." + std::string(static_cast<size_t>(v.decimals), '0') : "0";
    if (v.kind == TExportCellValue::Percent) num += "%";
    lxw_format* f = newFormat(align, base);
    format_set_border(f, LXW_BORDER_THIN);
    format_set_num_format(f, num.c_str());
    ff.numbers.emplace(key, f);
    return f;
  };
  for (size_t k = 0; k < fields.size(); ++k) {
    double width = std::min(kExportMaxWidth, std::max(0.0, ParseExportWidth(fields[k]->Width)));
    lxw_row_col_options opt{};
    opt.hidden = width == 0 ? LXW_TRUE : LXW_FALSE;
    const auto col = static_cast<lxw_col_t>(k);
    Check(worksheet_set_column_opt(ws, col, col, width, newFormat(fields[k]->Align, base), &opt));
    progress(nullptr);
  }

  auto textFormat = [&](double size, bool bold, bool italic) {
    lxw_format* f = newFormat(eaLeft, size);
    if (bold) format_set_bold(f);
    if (italic) format_set_italic(f);
    return f;
  };
  if (!Header.empty()) Check(worksheet_write_string(ws, 0, 0, Header.c_str(), textFormat(base - 2, false, true)));
  Check(worksheet_write_string(ws, static_cast<lxw_row_t>(r), 0, Title.c_str(), textFormat(base + 4, true, false)));
  if (!Notes.empty())
    Check(worksheet_write_string(ws, static_cast<lxw_row_t>(r + 1), 0, Notes.c_str(), textFormat(base, true, false)));
  if (ShowCreateTime)
    Check(worksheet_write_string(ws, static_cast<lxw_row_t>(r + s), 0, Format(kExportTimeLine, {NowText()}).c_str(),
                                 textFormat(base, false, true)));

  lxw_format* captionFormat = newFormat(eaCenter, base);
  format_set_align(captionFormat, LXW_ALIGN_VERTICAL_CENTER);
  format_set_text_wrap(captionFormat);
  format_set_border(captionFormat, LXW_BORDER_MEDIUM);
  const auto capRow = static_cast<lxw_row_t>(captionRow - 1);
  for (size_t k = 0; k < fields.size(); ++k) {
    Check(worksheet_write_string(ws, capRow, static_cast<lxw_col_t>(k), fields[k]->Caption.c_str(), captionFormat));
    progress(nullptr);
  }

  progress("Подготовка данных для экспорта...");
  if (host) host->ShowStatus("Передача данных в Microsoft Excel...");
  std::vector<std::string> cells;
  for (int i = 0; i < n; ++i) {
    cells.clear();
    src.Cells(rows[static_cast<size_t>(i)], cells);
    const auto row = static_cast<lxw_row_t>(captionRow + i);
    for (size_t k = 0; k < fields.size(); ++k) {
      const auto id = static_cast<size_t>(fields[k]->Id);
      static const std::string empty;
      const std::string& text = id < cells.size() ? cells[id] : empty;
      const TExportCellValue v = ClassifyExportCell(text);
      lxw_format* f = dataFormat(fields[k]->Align, v);
      const auto col = static_cast<lxw_col_t>(k);
      switch (v.kind) {
        case TExportCellValue::Blank: Check(worksheet_write_blank(ws, row, col, f)); break;
        case TExportCellValue::Text: Check(worksheet_write_string(ws, row, col, text.c_str(), f)); break;
        default: Check(worksheet_write_number(ws, row, col, v.value, f)); break;
      }
    }
    if (host && (i & 1023) == 1023) {
      step += 1024;
      host->ProgressStep(step);
    }
  }
  book.Close();
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int e = errno;
    std::remove(temp.c_str());
    throw EExcelExport(Format("Не удалось записать файл \"%s\": %s", {path, SysErrorText(e)}));
  }
  return n;
}

}  // namespace quintar
