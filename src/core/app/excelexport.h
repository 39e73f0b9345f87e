// Spreadsheet export of a table view: the export-parameters dialog's state (fields with their check marks,
// order, captions, alignments and widths; title, notes, time line, sheet name, orientation, font size, send
// mode), its parameters kept in Quintar_7x35.ini, section "EXPORT_EXCEL_<WINDOW>.<TABLE>", and the workbook
// written from it. The export knows nothing of lottery data: a view hands it its column captions and the
// cell texts of its rows, exactly as its list shows them.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/inifile.h"

namespace quintar {

class IHost;

inline constexpr const char* kExportError = "Ошибка экспорта данных в Microsoft Excel!";
inline constexpr const char* kExportSheetError = "Ошибка открытия (создания) листа #%d!";
inline constexpr const char* kExportLoadParamsError = "Ошибка загрузки параметров экспорта из файла \"%s\"!";
inline constexpr const char* kExportSaveParamsError = "Ошибка сохранения параметров экспорта в файле \"%s\"!";
inline constexpr const char* kExportFieldParamsError = "Ошибка загрузки параметров экспортируемого поля ID=\"%d\"!";
inline constexpr const char* kExportCaptionSemicolon = "Заголовок столбца не может содержать символ \";\"!";
inline constexpr const char* kExportDoneText = "Экспортировано строк: %d";
inline constexpr const char* kExportSavedText = "Файл \"%s\" сохранён.";
inline constexpr const char* kExportTimeLine = "Отчет построен: %s.";
inline constexpr const char* kExportFileFilter = "Книга Excel (*.xlsx)|*.xlsx";
// The file format's limits.
inline constexpr int kExportMaxRows = 1048576;
inline constexpr double kExportMaxWidth = 255.0;
inline constexpr int kExportSheetNameMax = 31;

// Alignment codes of a field: 0 left, 1 right, 2 centre.
enum TExportAlign : int { eaLeft = 0, eaRight = 1, eaCenter = 2 };
// Page orientation: 0 not set, 1 portrait, 2 landscape.
inline constexpr int kExportOrientations = 3;

std::vector<std::string> ExportAlignNames();        // "по левому краю", "по правому краю", "по центру"
std::vector<std::string> ExportOrientationNames();  // "Не устанавливать", "Книжная", "Альбомная"

struct EExcelExport : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class TExportKind { List, Grid };

// One column of the source table: its caption, its pixel width as shown and its alignment code.
struct TExportColumn {
  std::string Caption;
  int Width = 64;
  int Align = eaLeft;
};

// The table a view hands to the export. A list: cell 0 is the item caption, cell n its sub-item n; a grid:
// cell k is column k (the caption row is Columns, the data rows follow). Cells gives the texts of one row;
// a row may have fewer cells than columns (the missing ones are empty).
struct TExportSource {
  TExportKind Kind = TExportKind::List;
  std::string Window = "FormMain";  // component name of the window that owns the table
  std::string Table;                // the table's name, e.g. "lvDraws"
  std::vector<TExportColumn> Columns;
  int RowCount = 0;
  std::function<void(int row, std::vector<std::string>& cells)> Cells;
  // Selection. A list: the selected rows (ascending) when it allows multi-selection, else the focused row.
  // A grid: the rectangle's rows SelTop..SelBottom (0-based data rows; SelTop < 0: none).
  bool MultiSelect = true;
  std::vector<int> Selected;
  int Focused = -1;
  int SelTop = -1, SelBottom = -1;
};

// What the caller of the export passes besides the table.
struct TExportRequest {
  std::string Title, SheetName, Notes, Header;
  bool KeepParameters = true;
  int Orientation = 0;
};

struct TExportField {
  int Id = 0;               // source id: list 0 = caption, n = sub-item n; grid: the column
  std::string Caption;      // written to the caption row
  bool Exported = true;     // the check mark
  int Align = eaLeft;
  std::string Width;        // characters, two decimals ("10.00")
  std::string PhysName;     // the column's own caption; matches saved items back to fields
};

// Cell value as the sheet stores it: a decimal number (with k decimals, maybe a percentage), or text.
struct TExportCellValue {
  enum Kind { Blank, Number, Percent, Text } kind = Blank;
  double value = 0;
  int decimals = 0;
};
TExportCellValue ClassifyExportCell(const std::string& text);

// Width text of a pixel width: pixels / 8 with two decimals; a width text read with "." or "," (nullopt-
// like: -1 when it is not a number >= 0).
std::string ExportWidthOfPixels(int pixels);
double ParseExportWidth(const std::string& text);
std::string FormatExportWidth(double width);

class TExcelExport {
 public:
  // Dialog state.
  std::string Title, Notes, Header, SheetName;
  bool ShowCreateTime = false;
  int Orientation = 0;
  int BaseFontSize = 8;
  bool SendSelected = false;   // "Экспортировать выделенные записи"
  bool SaveParameters = false; // "Сохранить параметры экспорта в файле конфигурации"
  bool KeepParameters = true;
  std::vector<TExportField> Fields;
  int RowsCount = 0;           // rows shown
  int SelectedCount = 0;       // rows selected

  static std::string SectionName(const std::string& window, const std::string& table);
  const std::string& Section() const { return section_; }
  const std::string& IniPath() const { return iniPath_; }

  // Opening the dialog: fields from the source, settings from the request, the saved parameters of
  // iniPath when keep-parameters is set, checked fields first. A failure while loading parameters is
  // shown through host (when given) and does not stop the export.
  void Open(const TExportSource& source, const TExportRequest& request, const std::string& iniPath,
            IHost* host = nullptr);
  // Loads the saved section into the dialog state (step 4 of opening); items that do not split into six
  // words or match no field are deleted from ini. Answers whether ini changed.
  bool LoadParameters(IniFile& ini);
  // Erases and rewrites the section with the current values (every field in list order).
  void StoreParameters(IniFile& ini) const;
  // Moves the checked fields ahead of the unchecked ones, keeping their order.
  void CheckedFirst();
  // "Вверх"/"Вниз": moves field i one place; false at the edge.
  bool MoveField(int i, int delta);
  // "Свойства": a caption with ";" or a width that is not a number >= 0 is refused with the message.
  std::string SetFieldProperties(int i, const std::string& caption, int align, const std::string& width);

  // The source rows the export writes, in the view's order.
  std::vector<int> ExportRows() const;
  // Export on confirmation: saves the parameters (when keep-parameters is set; a failure is shown and does
  // not stop the export), checks the sheet name and the row limit, writes the workbook to path through a
  // temporary file and a rename. Returns the data rows written; raises EExcelExport with the reason (the
  // caller shows it under kExportError) and leaves no new file and an existing one as it was.
  int Export(const std::string& path, IHost* host = nullptr);

 private:
  const TExportSource* source_ = nullptr;
  std::string section_, iniPath_;
};

// "" when the sheet name is one the file format accepts (1..31 characters, none of "[ ] : * ? / \", no
// apostrophe at either end), else the refusal text.
std::string CheckSheetName(const std::string& name);

}  // namespace quintar
