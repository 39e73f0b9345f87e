#include "game/drawarchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <unordered_set>

#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

TDrawArchive::TFileStamp TDrawArchive::StampOf(const std::string& path) {
  struct stat st {};
  TFileStamp t;
  if (::stat(path.c_str(), &st) != 0) return t;
  t.Dev = st.st_dev;
  t.Ino = st.st_ino;
  t.Size = st.st_size;
  t.MtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return t;
}

bool TDrawArchive::FileChanged(const std::string& path) const { return !(StampOf(path) == stamp_); }

void TDrawArchive::LoadFromFile(const std::string& path) {
  draws_.clear();
  stamp_ = StampOf(path);
  if (!FileExists(path)) return;
  int64_t size = FileSizeOf(path);
  size_t count = size > 0 ? static_cast<size_t>(size / static_cast<int64_t>(sizeof(TDraw))) : 0;
  draws_.assign(count, ZeroDraw());
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw FileError(SysErrorText(errno));
  size_t want = count * sizeof(TDraw), got = 0;
  char* dst = reinterpret_cast<char*>(draws_.data());
  while (got < want) {
    ssize_t n = ::read(fd, dst + got, want - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw FileError(SysErrorText(err));
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
}

void TDrawArchive::SaveToFile(const std::string& path) {
  AtomicFileWriter w(path);
  w.Write(draws_.data(), draws_.size() * sizeof(TDraw));
  w.Commit();
  stamp_ = StampOf(path);
}

void TDrawArchive::AppendDraw(const TDraw& d) { draws_.push_back(d); }

void TDrawArchive::DeleteDraw(int index) {
  if (index < 0 || index >= Count())
    throw EQuintar(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  draws_.erase(draws_.begin() + index);
}

void TDrawArchive::ReplaceDraw(int index, const TDraw& d) {
  if (index < 0 || index >= Count())
    throw EQuintar(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  draws_[static_cast<size_t>(index)] = d;
}

int TDrawArchive::IndexOfDraw(int number) const {
  const int n = Count();
  if (n == 0) return -1;
  if (draws_.front().Number == number) return 0;
  if (draws_.back().Number == number) return n - 1;
  // Guess by linear interpolation between the first and the last number, then walk towards it.
  const int64_t first = draws_.front().Number, last = draws_.back().Number;
  if (last != first) {
    int64_t guess = (static_cast<int64_t>(number) - first) * (n - 1) / (last - first);
    if (guess >= 0 && guess < n) {
      int i = static_cast<int>(guess);
      if (draws_[static_cast<size_t>(i)].Number == number) return i;
      if (draws_[static_cast<size_t>(i)].Number < number) {
        while (i < n && draws_[static_cast<size_t>(i)].Number < number) ++i;
      } else {
        while (i >= 0 && draws_[static_cast<size_t>(i)].Number > number) --i;
      }
      if (i >= 0 && i < n && draws_[static_cast<size_t>(i)].Number == number) return i;
    }
  }
  for (int i = n - 1; i >= 0; --i)
    if (draws_[static_cast<size_t>(i)].Number == number) return i;
  return -1;
}

int TDrawArchive::NextDrawNumber(int offset) const {
  if (Empty()) return 1;
  if (offset < 0 || offset >= Count()) return -1;
  const int32_t number = draws_[static_cast<size_t>(High() - offset)].Number;
  return number >= INT32_MAX ? INT32_MAX : number + 1;
}

TDraw TDrawArchive::DrawFromNewest(int r) const {
  if (r < 0 || r >= Count()) return ZeroDraw();
  return draws_[static_cast<size_t>(High() - r)];
}

TComb TDrawArchive::CombFromNewest(int r) const {
  if (r < 0 || r >= Count()) return TComb{};
  return CombOf(draws_[static_cast<size_t>(High() - r)]);
}

std::string TDrawArchive::NextDrawText(int offset) const {
  if (!(offset > 0 && offset < Count())) return "";
  return CombToText(CombOf(draws_[static_cast<size_t>(High() - offset + 1)]));
}

int TDrawArchive::DateAfterDraw(int r, int days) const {
  if (r < 0 || r >= Count()) return 20130301;
  return DateToInt(TextToDrawDate(draws_[static_cast<size_t>(High() - r)].Date()) + days);
}

int TDrawArchive::ImportCsvText(std::string_view text) {
  // A delimited-text line ends at a NUL: such a file is not the program's exchange text (a UTF-16 file
  // read as single bytes, a binary file) and nothing of it is taken.
  if (text.find('\0') != std::string_view::npos) throw FileError(kCsvNotText);
  // Each line's draw number is looked up among those present: one hash lookup a line instead of a walk
  // through the archive, which made an import of many draws quadratic.
  std::unordered_set<int32_t> numbers;
  numbers.reserve(draws_.size() * 2 + 64);
  for (const TDraw& d : draws_) numbers.insert(d.Number);
  int added = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t e = text.find_first_of("\r\n", pos);
    if (e == std::string_view::npos) e = text.size();
    std::string_view raw = text.substr(pos, e - pos);
    pos = e + 1;
    if (e < text.size() && text[e] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    std::string line = Trim(raw);
    if (line.empty()) continue;
    auto f = SplitDelimitedText(line, ';', '"');
    TDraw d = ZeroDraw();
    size_t k;
    if (f.size() == 10) {
      d.Number = NumberFromText(f[0]);
      k = 1;
    } else if (f.size() == 9) {
      d.Number = Count() + 1;
      k = 0;
    } else {
      continue;
    }
    d.SetDate(Utf8Left(f[k], 11));
    for (int i = 0; i < NUMS_IN_DRAW; ++i) d.Nums[i] = static_cast<uint8_t>(NumberFromText(f[k + 1 + i]));
    d.Bonus = static_cast<uint8_t>(NumberFromText(f[k + 8]));
    // The newest draw's number must have a successor, or the next draw could not be numbered.
    if (d.Number > 0 && d.Number <= kMaxDrawNumber && numbers.insert(d.Number).second) {
      AppendDraw(d);
      ++added;
    }
  }
  return added;
}

std::string CsvFileText(std::string_view bytes) {
  auto utf16 = [&](bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
      char32_t u = bigEndian ? (a << 8 | b) : (b << 8 | a);
      if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i + 2]), d = static_cast<unsigned char>(bytes[i + 3]);
        const char32_t lo = bigEndian ? (c << 8 | d) : (d << 8 | c);
        if (lo >= 0xDC00 && lo <= 0xDFFF) {
          u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
          i += 2;
        }
      }
      AppendUtf8(out, u);
    }
    return out;
  };
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return utf16(false);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return utf16(true);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  return Cp1251ToUtf8(bytes);
}

int TDrawArchive::ImportCsv(const std::string& path) { return ImportCsvText(CsvFileText(ReadWholeFile(path))); }

std::string TDrawArchive::ExportCsvText() const {
  std::string out;
  for (const TDraw& d : draws_) {
    out += std::to_string(d.Number) + ";" + QuotedStr(d.Date(), '"');
    for (int i = 0; i < NUMS_IN_DRAW; ++i) out += ";" + std::to_string(d.Nums[i]);
    out += ";" + std::to_string(d.Bonus) + "\r\n";
  }
  return out;
}

void TDrawArchive::ExportCsv(const std::string& path) const { WriteFileAtomic(path, Utf8ToCp1251(ExportCsvText())); }

bool CheckDrawText(std::string_view text, uint8_t nums[NUMS_IN_DRAW], uint8_t& bonus) {
  auto words = SplitAny(text, ",;", false);
  if (words.size() != 8) return false;
  bool seen[MAX_NUMBER + 1] = {};
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    int v = NumberFromText(words[static_cast<size_t>(i)]);
    if (v < 1 || v > MAX_NUMBER || seen[v]) return false;
    seen[v] = true;
    nums[i] = static_cast<uint8_t>(v);
  }
  int b = NumberFromText(words[7]);
  if (b < 1 || b > MAX_BONUS) return false;
  bonus = static_cast<uint8_t>(b);
  return true;
}

std::string DrawEditText(const TDraw& d) {
  return CombToText(CombOf(d)) + ";" + std::to_string(d.Bonus);
}

}  // namespace quintar

#include <random>

namespace quintar {

TDrawArchive MakeDemoArchive(int count, unsigned seed) {
  std::mt19937 rng(seed);
  TDrawArchive a;
  TDateTime first = Today() - 7.0 * count;
  for (int i = 0; i < count; ++i) {
    TDraw d = ZeroDraw();
    d.Number = i + 1;
    bool used[MAX_NUMBER + 1] = {};
    for (int k = 0; k < NUMS_IN_DRAW; ++k) {
      int n;
      do n = static_cast<int>(rng() % MAX_NUMBER) + 1;
      while (used[n]);
      used[n] = true;
      d.Nums[k] = static_cast<uint8_t>(n);
    }
    d.Bonus = static_cast<uint8_t>(rng() % MAX_BONUS + 1);
    d.SetDate(DrawDateToText(first + 7.0 * i));
    a.AppendDraw(d);
  }
  return a;
}

}  // namespace quintar
