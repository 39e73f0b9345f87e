// The archive of past draws: index 0 is the oldest draw. Its file is a plain sequence of 24-byte TDraw
// records without header, oldest first.
#pragma once

#include <string>

#include "game/game.h"

namespace quintar {

class TDrawArchive {
 public:
  const TDrawsArray& Draws() const { return draws_; }
  int Count() const { return static_cast<int>(draws_.size()); }
  int High() const { return Count() - 1; }
  bool Empty() const { return draws_.empty(); }
  const TDraw& operator[](int i) const { return draws_[static_cast<size_t>(i)]; }
  TDraw& operator[](int i) { return draws_[static_cast<size_t>(i)]; }

  // Reads the file: the archive is sized to (file size div 24) records, which are read in order; a read
  // error raises with the records not read left zero. A missing file gives an empty archive.
  void LoadFromFile(const std::string& path);
  // Rewrites the whole file through a temporary file; the old file stays intact on failure.
  void SaveToFile(const std::string& path);
  // Whether the file is no longer the one last read or written here (another process replaced it).
  bool FileChanged(const std::string& path) const;

  void AppendDraw(const TDraw& d);
  void DeleteDraw(int index);  // raises EQuintar for an index outside the array
  void ReplaceDraw(int index, const TDraw& d);
  void Clear() { draws_.clear(); }

  int IndexOfDraw(int number) const;
  int NextDrawNumber(int offset) const;
  TDraw DrawFromNewest(int r) const;
  TComb CombFromNewest(int r) const;
  std::string NextDrawText(int offset) const;
  int DateAfterDraw(int r, int days) const;

  // CSV exchange: Number;"Date";n1;...;n7;bonus with CR LF, Windows-1251.
  // Import appends every new draw and returns how many were added; file errors raise FileError.
  // A text holding a NUL byte is refused whole (FileError kCsvNotText); draw numbers above kMaxDrawNumber
  // are skipped like lines of another form.
  int ImportCsvText(std::string_view utf8Text);
  int ImportCsv(const std::string& path);
  std::string ExportCsvText() const;
  void ExportCsv(const std::string& path) const;

 private:
  // What the file was when it was last read or written here: device, inode, size and change time.
  struct TFileStamp {
    uint64_t Dev = 0, Ino = 0;
    int64_t Size = -1, MtimeNs = 0;
    bool operator==(const TFileStamp&) const = default;
  };
  static TFileStamp StampOf(const std::string& path);
  TDrawsArray draws_;
  TFileStamp stamp_;
};

// The highest draw number the archive takes: the next draw after it must still be numbered.
inline constexpr int32_t kMaxDrawNumber = 2147483646;
inline constexpr const char* kBadDrawNumberText = "Номер тиража должен быть от 1 до 2147483646!";
inline constexpr const char* kCsvNotText =
    "Файл не является текстовым файлом тиражей: в нём есть нулевые байты (возможно, это файл в кодировке "
    "UTF-16 без метки порядка байтов или двоичный файл). Сохраните его как текст CSV в кодировке "
    "Windows-1251, UTF-8 или UTF-16.";

// The text of a CSV file as UTF-8: UTF-16 (little or big endian) and UTF-8 files are known by their
// byte-order mark, any other file is Windows-1251.
std::string CsvFileText(std::string_view bytes);

// The draw dialog's check of its text field ("n1;...;n7;bonus" or with commas): exactly 8 words, the
// first 7 distinct numbers 1..35, the 8th 1..20. Fills nums and bonus and returns true when it passes.
bool CheckDrawText(std::string_view text, uint8_t nums[NUMS_IN_DRAW], uint8_t& bonus);
inline constexpr const char* kBadDrawText = "Введена некорректная комбинация!";

// The text the draw dialog shows for a draw: the 7 numbers and the bonus joined by ";".
std::string DrawEditText(const TDraw& d);

}  // namespace quintar

namespace quintar {

// A demo archive of count random draws (weekly, the newest a week before today), made for trying the
// program out; it is not real results data.
TDrawArchive MakeDemoArchive(int count, unsigned seed);

}  // namespace quintar
