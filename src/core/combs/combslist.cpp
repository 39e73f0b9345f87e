#include "combs/combslist.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

void TCombsList::Grow(size_t needed) {
  size_t cap = std::max(needed, capacity_ + capacity_ / 2 + 16);
  // Default-initialised: the pages are only touched when entries are written.
  std::unique_ptr<TComb[]> block(new TComb[cap]);
  if (count_ > 0) std::memcpy(block.get(), data_.get(), static_cast<size_t>(count_) * sizeof(TComb));
  data_ = std::move(block);
  capacity_ = cap;
}

void TCombsList::Reserve(size_t n) {
  if (n <= capacity_) return;
  std::unique_ptr<TComb[]> block(new TComb[n]);
  if (count_ > 0) std::memcpy(block.get(), data_.get(), static_cast<size_t>(count_) * sizeof(TComb));
  data_ = std::move(block);
  capacity_ = n;
}

void TCombsList::SetCount(int n) {
  if (n < 0) n = 0;
  if (static_cast<size_t>(n) > capacity_) Grow(static_cast<size_t>(n));
  count_ = n;
}

void TCombsList::CopyFrom(const TCombsList& other) {
  if (&other == this) return;
  const size_t n = static_cast<size_t>(other.count_);
  if (n > capacity_) {
    // Only the new block is needed: the old entries are replaced anyway.
    std::unique_ptr<TComb[]> block(new TComb[n]);
    data_ = std::move(block);
    capacity_ = n;
    count_ = 0;
  }
  if (n > 0) std::memcpy(data_.get(), other.data_.get(), n * sizeof(TComb));
  count_ = other.count_;
}

TComb* TCombsList::Tail(size_t n) {
  if (static_cast<size_t>(count_) + n > capacity_) Grow(static_cast<size_t>(count_) + n);
  return data_.get() + count_;
}

TRowSelection NormalizeSelection(const TRowSelection& sel, int count) {
  TRowSelection out;
  for (const TRowRange& r : sel) {
    int first = std::max(r.First, 0);
    int last = std::min(r.Last, count - 1);
    if (first <= last) out.push_back({first, last});
  }
  std::sort(out.begin(), out.end(), [](const TRowRange& a, const TRowRange& b) { return a.First < b.First; });
  TRowSelection merged;
  for (const TRowRange& r : out) {
    if (!merged.empty() && r.First <= merged.back().Last + 1)
      merged.back().Last = std::max(merged.back().Last, r.Last);
    else
      merged.push_back(r);
  }
  return merged;
}

int SelectedRowCount(const TRowSelection& sel, int count) {
  int n = 0;
  for (const TRowRange& r : NormalizeSelection(sel, count)) n += r.Last - r.First + 1;
  return n;
}

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A word of a list file line as a number 0..255; anything else gives 0.
uint8_t WordNumber(std::string_view w) {
  while (!w.empty() && IsBlank(w.front())) w.remove_prefix(1);
  while (!w.empty() && IsBlank(w.back())) w.remove_suffix(1);
  int v = 0;
  if (!w.empty() && w.size() <= 3 &&
      std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    for (char c : w) v = v * 10 + (c - '0');
  } else {
    v = NumberFromText(w);
  }
  return v >= 0 && v <= 255 ? static_cast<uint8_t>(v) : 0;
}

}  // namespace

bool ParseCombsFileLine(std::string_view line, TComb& out) {
  if (line.empty()) return false;
  size_t start = 0;
  int words = 0;
  TComb c{};
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] != ',' && line[i] != ';') continue;
    if (words >= NUMS_IN_DRAW) return false;
    c.n[words++] = WordNumber(line.substr(start, i - start));
    start = i + 1;
  }
  if (words != NUMS_IN_DRAW || !IsValidComb(c)) return false;
  out = c;
  return true;
}

namespace {

// Appends the complete lines of text; returns the position after the last line break.
size_t AppendLines(std::string_view text, TCombsList& list, int& added) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch != '\r' && ch != '\n') continue;
    TComb c;
    if (ParseCombsFileLine(text.substr(start, i - start), c)) {
      list.Append(c);
      ++added;
    }
    if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return start;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

int AppendCombsText(std::string_view text, TCombsList& list) {
  if (text.substr(0, 3) == kUtf8Bom) text.remove_prefix(3);
  int added = 0;
  size_t rest = AppendLines(text, list, added);
  TComb c;
  if (rest < text.size() && ParseCombsFileLine(text.substr(rest), c)) {
    list.Append(c);
    ++added;
  }
  return added;
}

void AppendCombsFile(const std::string& path, TCombsList& list) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw FileError("Cannot open file \"" + path + "\": " + SysErrorText(errno));
  std::string buf;
  bool first = true;
  char chunk[1 << 16];
  int added = 0;
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw FileError("Cannot read file \"" + path + "\": " + SysErrorText(err));
    }
    if (n == 0) break;
    buf.append(chunk, static_cast<size_t>(n));
    if (first) {
      if (buf.size() < kUtf8Bom.size()) continue;
      if (std::string_view(buf).substr(0, 3) == kUtf8Bom) buf.erase(0, 3);
      first = false;
    }
    // A CR at the very end may be the first half of a CR LF: keep it for the next chunk.
    std::string_view view(buf);
    if (!view.empty() && view.back() == '\r') view.remove_suffix(1);
    size_t used = AppendLines(view, list, added);
    buf.erase(0, used);
  }
  ::close(fd);
  AppendCombsText(buf, list);
}

namespace {

// "1;2;3;4;5;6;7\r\n" with the numbers written without leading zeros.
void AppendFileLine(std::string& out, const TComb& c) {
  char line[7 * 4 + 2];
  char* p = line;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    unsigned v = c.n[i];
    if (i) *p++ = ';';
    if (v >= 100) *p++ = static_cast<char>('0' + v / 100);
    if (v >= 10) *p++ = static_cast<char>('0' + v / 10 % 10);
    *p++ = static_cast<char>('0' + v % 10);
  }
  *p++ = '\r';
  *p++ = '\n';
  out.append(line, static_cast<size_t>(p - line));
}

}  // namespace

std::string CombsFileText(const TCombsList& list) {
  std::string out;
  out.reserve(static_cast<size_t>(list.Count()) * 22);
  for (const TComb& c : list) AppendFileLine(out, c);
  return out;
}

void SaveCombsFile(const std::string& path, const TCombsList& list) {
  AtomicFileWriter w(path);
  std::string block;
  block.reserve(1 << 20);
  for (const TComb& c : list) {
    AppendFileLine(block, c);
    if (block.size() >= (1u << 20) - 64) {
      w.Write(block);
      block.clear();
    }
  }
  w.Write(block);
  w.Commit();
}

std::string CombsClipboardText(const TCombsList& list, const TRowSelection& sel) {
  std::string out;
  for (const TRowRange& r : NormalizeSelection(sel, list.Count()))
    for (int i = r.First; i <= r.Last; ++i) {
      out += CombToDisplay(list[i]);
      out += '\n';
    }
  return out;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch != '\r' && ch != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace quintar
