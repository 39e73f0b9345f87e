// Number systems stored on this computer: the folder "Systems" beside the program's data holds one text
// file per downloaded system, named "7-NN-B_IIII.dat" (combination length 7, the system's count of
// numbers, its block size and its catalogue id). Each line names seven positions out of 1..n; played
// against n actual numbers, every line becomes a combination. The file's last-write time is the
// catalogue's creation time of the system and marks the version held here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/host.h"
#include "game/game.h"

namespace quintar {

inline constexpr const char* kSystemsFolder = "Systems";
// Characters that separate the positions of a system line (runs count as one).
inline constexpr std::string_view kSystemSeparators = " *+,-./:;=\\_|~";

inline constexpr const char* kSystemNotFound = "Система для %d чисел не найдена или не загружена на компьютер!";
inline constexpr const char* kSystemNotFoundHelp =
    "\r\rПеред системной игрой необходимо предварительно загрузить системы на Ваш компьютер через меню "
    "\"Системы\" - \"Загрузить\".";
inline constexpr const char* kSystemLoadError = "Ошибка загрузки комбинаций системы!\r\r%s";

// The folder of stored systems under a data folder, with a trailing "/".
std::string SystemsDir(const std::string& dataDir);
// Creates the folder when it is missing; answers whether it exists afterwards.
bool ForceSystemsDir(const std::string& dataDir);
// The file name of a system: "7-12-0_0042.dat" for id 42, 12 numbers, block 0.
std::string SystemFileName(int numCount, int olap, int id);
// A system counts as downloaded when its file exists.
bool SystemDownloaded(const std::string& dataDir, int numCount, int olap, int id);
// The stored system files for a count of numbers ("7-12-*_*.dat"), full paths in name order.
std::vector<std::string> FindSystemFiles(const std::string& dataDir, int numCount);

// The last-write time of a file as a local date and time, or 0 when it has none.
TDateTime SystemFileTime(const std::string& path);
// Sets the file's times to a local date and time; answers whether it could.
bool SetSystemFileTime(const std::string& path, TDateTime time);

// Turns the lines of a system file into combinations of the numbers: position p of a line stands for
// the p-th number (from 1). Raises EQuintar naming the file and the line when a line does not hold seven
// positions, a position is not an integer or lies outside 1..n, or a line names a position twice.
// Blank lines hold no combination and are passed over. Combinations keep the file's order.
TCombsArray SystemCombsFromText(std::string_view text, const TByteArray& numbers, const std::string& fileName);

// The stored system for the count of the numbers, mapped onto them. On success fileName is the file's
// full path; without a stored system it is the "not found" text and the error box tells how to get one;
// a bad file is shown with the load error text. Answers whether at least one combination was read.
bool LoadSystemCombs(const std::string& dataDir, IHost& host, const TByteArray& numbers, TCombsArray& combs,
                     std::string& fileName);

}  // namespace quintar
