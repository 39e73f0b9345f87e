#include "combs/stakesfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>

#include "combs/checkjournal.h"
#include "combs/stakelogs.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

// Records per block when streaming the file (about 1.2 MB).
constexpr int kBlock = 4096;

std::string SysText(int err) { return SysErrorText(err); }

[[noreturn]] void Fail(const std::string& resource, const std::string& detail) {
  throw EStakesFile(resource, detail);
}

// Runs an operation and gives every failure that is not already a stakes failure the resource text.
template <class F>
auto WithResource(const char* resource, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const EStakesFile&) {
    throw;
  } catch (const std::exception& e) {
    throw EStakesFile(resource, e.what());
  }
}

void SyncFolder(const std::string& path) {
  const std::string dir = ExtractFilePath(path);
  int d = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    ::fsync(d);
    ::close(d);
  }
}

void WriteAll(int fd, int64_t offset, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd, p, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EQuintar(SysText(errno));
    }
    if (n == 0) throw EQuintar(SysText(EIO));
    p += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
}

// A record this program could have written: version 2, a known kind, checked 0 or 1, at most 8 numbers
// and matches.
bool PlausibleStake(const TStakeRec& r) {
  return r.Version == kStakeVersion && r.Kind <= skSystem && r.Checked <= 1 && r.Numbers.Count >= 0 &&
         r.Numbers.Count <= 8 && r.Matches.Count >= -1 && r.Matches.Count <= 8;
}

// The matched numbers: every stake number equal to a draw number, in drawn order, then sorted.
void CheckRecord(TStakeRec& r, const TDraw& d, const TStakeResultFn& result) {
  std::memcpy(r.DrawNums, d.Nums, NUMS_IN_DRAW);
  TNumSet m{};
  m.Count = 0;
  const int count = std::min<int>(r.Numbers.Count, 8);
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    for (int j = 0; j < count; ++j)
      if (r.Numbers.Nums[j] == d.Nums[i] && m.Count < 8) m.Nums[m.Count++] = d.Nums[i];
  SortNumSet(m);
  r.Matches = m;
  r.Profit = result ? result(r.Numbers.Count, m.Count) : 0;
  r.Checked = 1;
}

}  // namespace

// Record ---------------------------------------------------------------------------------------------

std::string TStakeRec::Comment() const {
  return Cp1251ToUtf8(std::string_view(CommentChars, std::min<size_t>(CommentLen, sizeof CommentChars)));
}

void TStakeRec::SetComment(std::string_view text) {
  std::string cp = Utf8ToCp1251(text);
  if (cp.size() > sizeof CommentChars) cp.resize(sizeof CommentChars);
  std::memset(CommentChars, 0, sizeof CommentChars);
  std::memcpy(CommentChars, cp.data(), cp.size());
  CommentLen = static_cast<uint8_t>(cp.size());
}

TStakeRec EmptyStake() {
  TStakeRec r;
  std::memset(&r, 0, sizeof r);
  r.Version = kStakeVersion;
  r.Kind = skSeparator;
  r.Draw = -1;
  r.Matches.Count = -1;
  return r;
}

int64_t TStakePrices::StakeResult(int numbers, int matches) const {
  const int64_t combs = numbers <= NUMS_IN_DRAW ? 1 : CombCount(numbers, NUMS_IN_DRAW);
  int64_t result = -static_cast<int64_t>(std::llround(static_cast<double>(combs) * static_cast<double>(Cost)));
  if (matches >= 0)
    for (const TStakePrize& p : Profits)
      if (p.Overlap == matches) {
        result += p.Profit;
        break;
      }
  return result;
}

TStakeRec MakeStakeRecord(int draw, int sample, const TComb* comb, const TStakeResultFn& result, uint8_t kind) {
  TStakeRec r = EmptyStake();
  r.Kind = kind;
  r.Draw = draw;
  r.Checked = 0;
  r.Sample = sample;
  if (comb) {
    r.Numbers = NumSetOf(*comb);
    SortNumSet(r.Numbers);
  }
  r.SetComment(kManualStakeComment);
  r.Profit = result ? result(r.Numbers.Count, -1) : 0;
  return r;
}

// The file ------------------------------------------------------------------------------------------

TStakesFile::~TStakesFile() {
  if (fd_ >= 0) ::close(fd_);
}

void TStakesFile::SetPath(std::string path) {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  path_ = std::move(path);
  size_ = 0;
  ForgetCache();
}

std::string TStakesFile::TempPath() const { return ChangeFileExt(path_, ".~tmp"); }

void TStakesFile::OpenStakes() {
  if (fd_ >= 0) {
    ForgetCache();
    return;
  }
  if (path_.empty()) Fail(kStakesReadError, kStakesNotOpen);
  // A process that opened the file just before a rewrite renamed a new file over it may get the lock of
  // the old, unlinked file: the lock only counts when the name still leads to the locked file.
  for (int attempt = 0; attempt < 16; ++attempt) {
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) Fail(kStakesReadError, Format("Невозможно открыть файл \"%s\": %s", {path_, SysText(errno)}));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      int err = errno;
      ::close(fd);
      if (err == EWOULDBLOCK)
        throw EStakesFile(kStakesReadError, Format("Файл \"%s\" занят другим процессом.", {path_}), true);
      Fail(kStakesReadError, Format("Невозможно заблокировать файл \"%s\": %s", {path_, SysText(err)}));
    }
    struct stat held {}, named {};
    if (::fstat(fd, &held) != 0) {
      int err = errno;
      ::close(fd);
      Fail(kStakesReadError, SysText(err));
    }
    if (::stat(path_.c_str(), &named) != 0 || held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
      ::close(fd);
      continue;
    }
    fd_ = fd;
    size_ = static_cast<int64_t>(held.st_size);
    ForgetCache();
    try {
      RepairInterruptedAppend();
      ApplyCheckJournal();
    } catch (...) {
      ::close(fd_);
      fd_ = -1;
      size_ = 0;
      throw;
    }
    return;
  }
  throw EStakesFile(kStakesReadError, Format("Файл \"%s\" занят другим процессом.", {path_}), true);
}

std::string TStakesFile::AppendNotePath() const { return path_ + ".add"; }

bool TStakesFile::ApplyCheckJournal() {
  RequireOpen();
  std::optional<TCheckJournal> j = ReadCheckJournal(CheckJournalPath(path_));
  if (!j) return true;
  bool wrote = false;
  WithResource(kStakesCheckError, [&] {
    for (const auto& [index, rec] : j->Pending) {
      if (index < 0 || index >= Count()) continue;
      TStakeRec held{};
      ReadAt(static_cast<int64_t>(index) * kStakeRecSize, &held, sizeof held);
      // Only the record it was made from: the draw and the numbers come before any byte a torn write of
      // the check could have changed.
      if (held.Draw != rec.Draw || std::memcmp(&held.Numbers, &rec.Numbers, sizeof held.Numbers) != 0) continue;
      if (std::memcmp(&held, &rec, sizeof held) != 0) {
        WriteAt(static_cast<int64_t>(index) * kStakeRecSize, &rec, sizeof rec);
        wrote = true;
      }
    }
    if (wrote && ::fsync(fd_) != 0) throw EQuintar(SysText(errno));
  });
  if (wrote) ForgetCache();
  return true;
}

void TStakesFile::WriteBackup() {
  // An earlier copy is never replaced: it may hold the only copy of stakes emptied before.
  std::string backup = BackupPath();
  for (int n = 1; FileExists(backup) && n < 1000; ++n) backup = BackupPath() + "." + std::to_string(n);
  try {
    AtomicFileWriter w(backup);
    std::vector<char> buf(static_cast<size_t>(kBlock) * kStakeRecSize);
    for (int64_t at = 0; at < size_;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(buf.size()), size_ - at));
      ReadAt(at, buf.data(), n);
      w.Write(buf.data(), n);
      at += static_cast<int64_t>(n);
    }
    w.Commit();
  } catch (const std::exception& e) {
    Fail(kStakesReadError, Format("Не удалось сохранить копию файла ставок в \"%s\": %s\r\rФайл ставок оставлен без "
                                  "изменений.",
                                  {backup, std::string(e.what())}));
  }
}

void TStakesFile::RepairInterruptedAppend() {
  // A series being appended leaves a note with the size the file had before it; the note still being
  // there means the append never finished: the series is cut back off.
  int64_t cut = -1;
  const std::string note = AppendNotePath();
  if (FileExists(note)) {
    std::string text;
    try {
      text = ReadWholeFile(note);
    } catch (const std::exception&) {
    }
    auto before = TryStrToInt64(Trim(text));
    if (before && *before >= 0 && *before <= size_ && *before % kStakeRecSize == 0) cut = *before;
  }
  // A record cut short by a crash in the middle of its write, at the end of a file of this version.
  if (cut < 0 && size_ % kStakeRecSize != 0 && size_ > kStakeRecSize) {
    const int64_t whole = size_ - size_ % kStakeRecSize;
    TStakeRec first{}, last{};
    WithResource(kStakesReadError, [&] {
      ReadAt(0, &first, sizeof first);
      ReadAt(whole - kStakeRecSize, &last, sizeof last);
    });
    // Whole records of this version on both ends: anything else is a file of another kind.
    if (PlausibleStake(first) && PlausibleStake(last)) cut = whole;
  }
  if (cut >= 0 && cut < size_) {
    WriteBackup();
    if (::ftruncate(fd_, cut) != 0 || ::fsync(fd_) != 0) Fail(kStakesReadError, SysText(errno));
    size_ = cut;
    ForgetCache();
  }
  if (cut >= 0 || FileExists(note)) ::unlink(note.c_str());
}

void TStakesFile::CloseStakes() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  size_ = 0;
  ForgetCache();
  int err = 0;
  if (::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) Fail(kStakesWriteError, SysText(err));
}

void TStakesFile::RequireOpen() const {
  if (fd_ < 0) throw EStakesFile("", kStakesNotOpen);
}

int TStakesFile::Count() const {
  if (fd_ < 0) return 0;
  const int64_t n = size_ / kStakeRecSize;
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

void TStakesFile::ReadAt(int64_t offset, void* buf, size_t size) const {
  char* p = static_cast<char*>(buf);
  while (size > 0) {
    ssize_t n = ::pread(fd_, p, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EQuintar(SysText(errno));
    }
    if (n == 0) throw EQuintar("Неожиданный конец файла");
    p += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
}

void TStakesFile::WriteAt(int64_t offset, const void* buf, size_t size) const { WriteAll(fd_, offset, buf, size); }

bool TStakesFile::IsOldVersion() {
  RequireOpen();
  if (size_ == 0) return false;
  if (size_ % kStakeRecSize != 0) return true;
  uint8_t version = 0;
  WithResource(kStakesReadError, [&] { ReadAt(0, &version, 1); });
  return version != kStakeVersion;
}

bool TStakesFile::LoadStakes(const std::function<void(const std::string&)>& warn) {
  OpenStakes();
  if (!IsOldVersion()) return false;
  // Its stakes are kept in a whole copy beside it before the file is emptied; without that copy the file
  // is not touched.
  WriteBackup();
  if (warn) warn(kStakesOldVersion);
  ClearStakes();
  return true;
}

std::string TStakesFile::BackupPath() const { return path_ + ".bak"; }

TStakeRec TStakesFile::ReadStake(int index) {
  RequireOpen();
  const int n = Count();
  const int i = index < 0 ? n + index : index;
  if (i < 0 || i >= n) Fail(kStakeReadError, Format(kStakeIndexNotFound, {index}));
  if (i == cacheIndex_) return cache_;
  WithResource(kStakeReadError, [&] { ReadAt(static_cast<int64_t>(i) * kStakeRecSize, &cache_, sizeof cache_); });
  cacheIndex_ = i;
  return cache_;
}

int32_t TStakesFile::LastDraw() {
  if (Count() == 0) return 0;
  return ReadStake(-1).Draw;
}

void TStakesFile::AppendRecords(const std::vector<TStakeRec>& recs) {
  if (recs.empty()) return;
  const int64_t at = static_cast<int64_t>(Count()) * kStakeRecSize;
  const int64_t end = at + static_cast<int64_t>(recs.size() * sizeof(TStakeRec));
  try {
    WriteAt(at, recs.data(), recs.size() * sizeof(TStakeRec));
  } catch (...) {
    // A partly written record would make the whole file look like an old version at the next start.
    if (::ftruncate(fd_, at) == 0) size_ = at;
    throw;
  }
  // A trailing partial record of a damaged file may lie beyond the new records.
  if (size_ > end && ::ftruncate(fd_, end) != 0) throw EQuintar(SysText(errno));
  size_ = end;
}

void TStakesFile::AddStake(const TStakeRec& rec, int draws) {
  RequireOpen();
  if (rec.Checked) Fail(kStakeAddError, kStakeCheckedAppend);
  WithResource(kStakeAddError, [&] {
    if (draws < 2) {
      AppendRecords({rec});
      return;
    }
    if (static_cast<int64_t>(rec.Draw) + draws - 1 > INT32_MAX)
      throw EQuintar(Format("Номер тиража %d для ставки на %d тиражей вне допустимого диапазона.", {rec.Draw, draws}));
    // Until the whole series is written a note beside the file gives its size before the series: a crash
    // halfway leaves the note, and the next open cuts the unfinished series off.
    const std::string note = AppendNotePath();
    WriteFileAtomic(note, std::to_string(static_cast<int64_t>(Count()) * kStakeRecSize));
    struct NoteGone {
      const std::string& path;
      ~NoteGone() { ::unlink(path.c_str()); }
    } noteGone{note};
    int32_t last = LastDraw();
    bool empty = Count() == 0;
    std::vector<TStakeRec> batch;
    batch.reserve(std::min(2 * draws, 2 * kBlock));
    for (int j = 1; j <= draws; ++j) {
      if (!empty && last > 0) batch.push_back(SeparatorStake());
      TStakeRec copy = rec;
      copy.Draw = rec.Draw + (j - 1);
      batch.push_back(copy);
      last = copy.Draw;
      empty = false;
      if (static_cast<int>(batch.size()) >= 2 * kBlock) {
        AppendRecords(batch);
        batch.clear();
      }
    }
    AppendRecords(batch);
  });
}

void TStakesFile::AppendStakeSeparator() {
  RequireOpen();
  WithResource(kStakeAddError, [&] {
    if (Count() > 0 && LastDraw() > 0) AppendRecords({SeparatorStake()});
  });
}

void TStakesFile::ForEachStake(const std::function<void(int, const TStakeRec&)>& fn, int first) {
  RequireOpen();
  const int n = Count();
  std::vector<TStakeRec> buf(static_cast<size_t>(std::min(kBlock, std::max(n - first, 1))));
  for (int s = std::max(first, 0); s < n; s += kBlock) {
    const int m = std::min(kBlock, n - s);
    WithResource(kStakeReadError,
                 [&] { ReadAt(static_cast<int64_t>(s) * kStakeRecSize, buf.data(), static_cast<size_t>(m) * sizeof(TStakeRec)); });
    for (int k = 0; k < m; ++k) fn(s + k, buf[static_cast<size_t>(k)]);
  }
}

bool TStakesFile::FindStake(int32_t draw, const TNumSet& numbers) {
  RequireOpen();
  const int count = std::clamp<int>(numbers.Count, 0, 8);
  bool found = false;
  try {
    const int n = Count();
    std::vector<TStakeRec> buf(static_cast<size_t>(std::min(kBlock, std::max(n, 1))));
    for (int s = 0; s < n && !found; s += kBlock) {
      const int m = std::min(kBlock, n - s);
      ReadAt(static_cast<int64_t>(s) * kStakeRecSize, buf.data(), static_cast<size_t>(m) * sizeof(TStakeRec));
      for (int k = 0; k < m; ++k) {
        const TStakeRec& r = buf[static_cast<size_t>(k)];
        if (r.Draw == draw && r.Numbers.Count == numbers.Count &&
            std::memcmp(r.Numbers.Nums, numbers.Nums, static_cast<size_t>(count)) == 0) {
          found = true;
          break;
        }
      }
    }
  } catch (const std::exception& e) {
    Fail(kStakeFindError, e.what());
  }
  return found;
}

bool TStakesFile::CheckStakes(const TDrawArchive& archive, const TStakeCheckHooks& hooks) {
  RequireOpen();
  if (hooks.Status) hooks.Status(kStakesCheckStatus);
  const int n = Count();
  bool changed = false;
  bool logging = hooks.Logs != nullptr;
  auto logFailed = [&](const EStakesFile& e) {
    if (logging && hooks.LogFailure) hooks.LogFailure(e.FullText());
    logging = false;
  };
  // Progress: from the first record that gets checked on, every hundredth of the records left then.
  bool started = false;
  int64_t remaining = 0, step = 1, done = 0;
  bool haveLookup = false;
  int32_t lookedUp = 0;
  int lookedUpIndex = -1;
  std::vector<TStakeRec> buf(static_cast<size_t>(std::min(kBlock, std::max(n, 1))));
  try {
    for (int s = 0; s < n; s += kBlock) {
      const int m = std::min(kBlock, n - s);
      ReadAt(static_cast<int64_t>(s) * kStakeRecSize, buf.data(), static_cast<size_t>(m) * sizeof(TStakeRec));
      int firstChanged = -1, lastChanged = -1;
      // The stakes of this block that got checked; the rest of the program hears of them only once they
      // are on disk, so a failed write never lets the ratings count a stake that will be checked again.
      std::vector<int> checkedNow;
      auto writeBack = [&] {
        if (firstChanged < 0) return;
        std::exception_ptr failed;
        if (hooks.BeforeWrite) {
          std::vector<std::pair<int32_t, TStakeRec>> recs;
          recs.reserve(checkedNow.size());
          for (int k : checkedNow) recs.emplace_back(s + k, buf[static_cast<size_t>(k)]);
          hooks.BeforeWrite(recs);  // a failure here leaves the block unwritten and unoffered
        }
        try {
          WriteAt(static_cast<int64_t>(s + firstChanged) * kStakeRecSize, &buf[static_cast<size_t>(firstChanged)],
                  static_cast<size_t>(lastChanged - firstChanged + 1) * sizeof(TStakeRec));
        } catch (...) {
          if (!hooks.BeforeWrite) throw;
          failed = std::current_exception();
        }
        firstChanged = -1;
        // Every stake now checked on disk (or journaled to be) is offered, even after one of them was
        // refused: a stake the hook misses now is never offered again.
        std::exception_ptr refused = failed;
        if (hooks.Checked)
          for (int k : checkedNow) {
            try {
              hooks.Checked(buf[static_cast<size_t>(k)]);
            } catch (...) {
              if (!refused) refused = std::current_exception();
            }
          }
        checkedNow.clear();
        if (refused) std::rethrow_exception(refused);
      };
      try {
        for (int k = 0; k < m; ++k) {
          TStakeRec& r = buf[static_cast<size_t>(k)];
          int drawIndex = -1;
          // Only 8 number bytes exist: a larger count is a damaged record and is never checked.
          if (!r.Checked && r.Draw > 0 && r.Numbers.Count >= NUMS_IN_DRAW && r.Numbers.Count <= 8) {
            if (!haveLookup || r.Draw != lookedUp) {
              haveLookup = true;
              lookedUp = r.Draw;
              lookedUpIndex = archive.IndexOfDraw(r.Draw);
            }
            drawIndex = lookedUpIndex;
          }
          if (drawIndex >= 0 && !started) {
            started = true;
            remaining = n - (s + k);
            step = std::max<int64_t>(1, remaining / 100);
          }
          if (started) {
            ++done;
            if (done % step == 0 && hooks.Status)
              hooks.Status(Format(kStakesCheckProgress, {static_cast<double>(done) * 100.0 / static_cast<double>(remaining)}));
          }
          if (drawIndex < 0) continue;
          CheckRecord(r, archive[drawIndex], hooks.Result);
          if (firstChanged < 0) firstChanged = k;
          lastChanged = k;
          changed = true;
          checkedNow.push_back(k);
          if (logging) {
            try {
              hooks.Logs->Write(r);
            } catch (const EStakesFile& e) {
              logFailed(e);
            }
          }
        }
      } catch (...) {
        writeBack();
        throw;
      }
      writeBack();
    }
  } catch (const std::exception& e) {
    if (changed) ForgetCache();
    if (hooks.Logs) {
      try {
        hooks.Logs->Flush();
      } catch (const EStakesFile& le) {
        logFailed(le);
      }
    }
    Fail(kStakesCheckError, e.what());
  }
  if (hooks.Logs) {
    try {
      hooks.Logs->Flush();
    } catch (const EStakesFile& e) {
      logFailed(e);
    }
  }
  if (changed) OpenStakes();  // forgets the cached record
  return changed;
}

void TStakesFile::RewriteStakes(const TKeepRule& keep) {
  RequireOpen();
  const std::string tmp = TempPath();
  int tfd = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (tfd < 0) Fail(kStakeDeleteError, Format("Невозможно создать файл \"%s\": %s", {tmp, SysText(errno)}));
  // Locked from the start, so that no other process takes it for a file left by an interrupted rewrite;
  // the new file is locked before it takes the name, so no other process can slip in between.
  struct stat held {}, named {};
  if (::flock(tfd, LOCK_EX | LOCK_NB) != 0 || ::fstat(tfd, &held) != 0 || ::stat(tmp.c_str(), &named) != 0 ||
      held.st_ino != named.st_ino || ::ftruncate(tfd, 0) != 0) {
    const int err = errno ? errno : EAGAIN;
    ::close(tfd);
    Fail(kStakeDeleteError, Format("Невозможно создать файл \"%s\": %s", {tmp, SysText(err)}));
  }
  auto discard = [&] {
    ::close(tfd);
    ::unlink(tmp.c_str());
  };
  int64_t written = 0;
  try {
    std::vector<TStakeRec> out;
    out.reserve(kBlock);
    auto flush = [&] {
      WriteAll(tfd, written, out.data(), out.size() * sizeof(TStakeRec));
      written += static_cast<int64_t>(out.size() * sizeof(TStakeRec));
      out.clear();
    };
    const int n = Count();
    std::vector<TStakeRec> buf(static_cast<size_t>(std::min(kBlock, std::max(n, 1))));
    for (int s = 0; s < n; s += kBlock) {
      const int m = std::min(kBlock, n - s);
      ReadAt(static_cast<int64_t>(s) * kStakeRecSize, buf.data(), static_cast<size_t>(m) * sizeof(TStakeRec));
      for (int k = 0; k < m; ++k) {
        if (keep(s + k, buf[static_cast<size_t>(k)])) out.push_back(buf[static_cast<size_t>(k)]);
        if (static_cast<int>(out.size()) >= kBlock) flush();
      }
    }
    flush();
    if (::fsync(tfd) != 0) throw EQuintar(SysText(errno));
  } catch (const std::exception& e) {
    discard();
    Fail(kStakeDeleteError, e.what());
  }
  if (BeforeReplace) BeforeReplace();
  // The stakes file is replaced in one step: until the rename it stays whole under its name.
  if (::rename(tmp.c_str(), path_.c_str()) != 0) {
    int err = errno;
    discard();
    Fail(Format(kStakesRenameError, {tmp}), SysText(err));
  }
  SyncFolder(path_);
  ::close(fd_);
  fd_ = tfd;
  size_ = written;
  ForgetCache();
}

void TStakesFile::ClearStakes() {
  RequireOpen();
  ForgetCache();
  if (::ftruncate(fd_, 0) != 0) Fail(kStakeDeleteError, SysText(errno));
  size_ = 0;
}

TLastDrawsStart TStakesFile::FindLastDrawsStart(int draws) {
  RequireOpen();
  TLastDrawsStart result;
  try {
    const int n = Count();
    std::vector<TStakeRec> buf(static_cast<size_t>(std::min(kBlock, std::max(n, 1))));
    bool seen = false;
    int32_t previous = 0;
    for (int e = n; e > 0; e -= kBlock) {
      const int s = std::max(0, e - kBlock);
      ReadAt(static_cast<int64_t>(s) * kStakeRecSize, buf.data(), static_cast<size_t>(e - s) * sizeof(TStakeRec));
      for (int k = e - 1; k >= s; --k) {
        const TStakeRec& r = buf[static_cast<size_t>(k - s)];
        if (!r.Checked || r.Draw <= 0 || r.Matches.Count < 0) continue;
        if (seen && r.Draw == previous) continue;
        if (result.Draws == draws) {
          result.Index = k + 1;
          return result;
        }
        ++result.Draws;
        previous = r.Draw;
        seen = true;
      }
    }
  } catch (const std::exception& e) {
    Fail(kStakeFindDrawError, e.what());
  }
  result.Index = 0;
  return result;
}

// Dialog checks and the delete-by-condition rule -----------------------------------------------------

std::vector<std::string> StakeFilterConditions() {
  return {"Равно [ = ]", "Более [ > ]", "Не менее [ >= ]", "Менее [ < ]", "Не более [ <= ]"};
}

bool StakeFilterDeletes(const TStakeRec& rec, int condition, int value) {
  if (rec.IsSeparator()) return false;
  const int m = rec.Matches.Count;
  switch (condition) {
    case 0: return m == value;
    case 1: return m > value;
    case 2: return m >= value;
    case 3: return m < value;
    case 4: return m <= value;
    default: return false;
  }
}

bool StakeTextToNumbers(std::string_view text, TNumSet& numbers) {
  auto words = SplitAny(text, ",;", false);
  if (words.size() != NUMS_IN_DRAW) return false;
  TNumSet s{};
  s.Count = NUMS_IN_DRAW;
  bool used[MAX_NUMBER + 1] = {};
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    auto v = TryStrToInt(Trim(words[static_cast<size_t>(i)]));
    if (!v || *v < 1 || *v > MAX_NUMBER || used[*v]) return false;
    used[*v] = true;
    s.Nums[i] = static_cast<uint8_t>(*v);
  }
  SortNumSet(s);
  numbers = s;
  return true;
}

int StakeTextSum(std::string_view text) {
  int64_t sum = 0;
  for (const auto& w : SplitAny(text, ",;", true)) {
    auto v = TryStrToInt(Trim(w));
    if (v) sum += *v;
  }
  return static_cast<int>(std::clamp<int64_t>(sum, INT_MIN, INT_MAX));
}

namespace {
std::string CheckDrawRange(int64_t draw, int64_t draws) {
  if (draw < 1 || draw > INT32_MAX) return kBadDrawNumber;
  if (draws < 1 || draws > kMaxStakeDraws) return kBadDrawsCount;
  return "";
}
}  // namespace

std::string StakeDialogAccept(const TStakeDialogInput& in, const TStakeRec& base, TStakeRec& out) {
  TNumSet nums{};
  if (!StakeTextToNumbers(in.Numbers, nums)) return kBadStakeText;
  if (Trim(in.Comment).empty()) return kNoComment;
  std::string range = CheckDrawRange(in.Draw, in.Draws);
  if (!range.empty()) return range;
  out = base;
  out.Draw = in.Draw;
  out.SetComment(in.Comment);
  out.Numbers = nums;
  return "";
}

std::string MultiStakeDialogCheck(int draw, int draws, std::string_view comment) {
  if (Trim(comment).empty()) return kNoComment;
  return CheckDrawRange(draw, draws);
}

std::string StakeNumbersText(const TStakeRec& rec) {
  TNumSet s = rec.Numbers;
  if (s.Count > 8) s.Count = 8;
  return NumSetToText(s, ";");
}

}  // namespace quintar
