// Script files: the working file "Quintar_7x35.lss" that always holds the current script, and ".lsc"
// files for exchange. Both hold the line texts in Windows-1251, each line ended by CR LF; on reading,
// CR LF, LF or CR end a line and a last line without an end is kept. Also here: the rows of the script
// list and the texts of the script status bar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "combs/filterrecs.h"

namespace quintar {

inline constexpr const char* kScriptWorkExt = ".lss";
inline constexpr const char* kScriptFileFilter = "Файлы сценариев (*.lsc)|*.lsc";
inline constexpr const char* kScriptFileExt = "lsc";

inline constexpr const char* kScriptReadError = "Ошибка чтения файла \"%s\"!\r\r%s";
inline constexpr const char* kScriptWriteError = "Ошибка записи в файл \"%s\"!\r\r%s";
inline constexpr const char* kScriptLoading = "Загрузка файла \"%s\"...";
inline constexpr const char* kScriptSaving = "Сохранение файла \"%s\"...";
inline constexpr const char* kScriptLineGone = "Запись со индексом %d в файле данных не найдена!";

// The lines of a script file's content (Windows-1251) as UTF-8 texts.
std::vector<std::string> ScriptTextLines(std::string_view fileText);
// The file content of the lines.
std::string ScriptFileText(const std::vector<std::string>& lines);
// Reads a script file; raises FileError when it cannot be read.
std::vector<std::string> ReadScriptFile(const std::string& path);
// Writes a script file through a temporary file; raises FileError when it cannot be written.
void WriteScriptFile(const std::string& path, const std::vector<std::string>& lines);

// Appends the lines of a file to a script: to an empty script the lines are simply added; otherwise,
// when there are lines to add, an empty separator line comes first unless the script ends with one.
void AppendScriptLines(std::vector<std::string>& script, const std::vector<std::string>& added);

// A line as the list keeps it: a line break inside would split it in two in the file, so CR and LF
// become blanks.
std::string CleanScriptLine(std::string_view text);

// Rows of the script list (lvScript): "Комментарии", "Опции", "Фильтр 1" .. "Фильтр 7". A separator
// line shows empty cells; a filter cell shows the filter as the text form writes it back.
std::vector<std::string> ScriptListCaptions();
std::vector<std::string> ScriptListCells(std::string_view line, const IStatCodes& codes);

// The script status bar (sbScript): five panels.
enum TScriptPanel { spLines, spCycle, spLine, spStakes, spText };
inline constexpr int kScriptPanels = 5;
std::string ScriptLinesText(int lines);    // "Строк: %d"
std::string ScriptCycleText(int cycle);    // "Цикл: %d"
std::string ScriptLineText(int line);      // "Строка: %d", from 1; 0 outside lines
std::string ScriptStakesText(int stakes);  // "Ставок: %d"
// "Фильтр %d из %d: %s": variant number, number of variants, the variant's filters.
std::string ScriptVariantText(int variant, int variants, std::string_view filters);

}  // namespace quintar
