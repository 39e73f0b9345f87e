#include "combs/checkjournal.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "util/safefile.h"

namespace quintar {

namespace {

constexpr char kMagic[8] = {'Q', '7', '3', '5', 'C', 'H', 'K', '2'};
using TPending = std::pair<int32_t, TStakeRec>;
static_assert(sizeof(TPending) == sizeof(int32_t) + sizeof(TStakeRec));

uint64_t Checksum(std::string_view bytes) {
  uLong c = crc32(0L, Z_NULL, 0);
  while (!bytes.empty()) {
    const uInt n = static_cast<uInt>(std::min<size_t>(bytes.size(), 1u << 30));
    c = crc32(c, reinterpret_cast<const Bytef*>(bytes.data()), n);
    bytes.remove_prefix(n);
  }
  return static_cast<uint64_t>(c);
}

template <class T>
bool Get(std::string_view& in, T& v) {
  if (in.size() < sizeof v) return false;
  std::memcpy(static_cast<void*>(&v), in.data(), sizeof v);
  in.remove_prefix(sizeof v);
  return true;
}

std::string SlotPath(const std::string& path, int slot) { return slot == 0 ? path : path + "2"; }

// A whole slot: its sequence number and journal.
std::optional<std::pair<uint64_t, TCheckJournal>> ReadSlot(const std::string& file) {
  if (!FileExists(file)) return std::nullopt;
  std::string bytes;
  try {
    bytes = ReadWholeFile(file);
  } catch (const FileError&) {
    return std::nullopt;
  }
  // magic, sequence, length of the rest, the rest, checksum of everything before it
  uint64_t seq = 0, length = 0, sum = 0;
  std::string_view in(bytes);
  if (in.size() < sizeof kMagic || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  in.remove_prefix(sizeof kMagic);
  if (!Get(in, seq) || !Get(in, length) || length > in.size() || in.size() - length < sizeof sum) return std::nullopt;
  const size_t covered = sizeof kMagic + 2 * sizeof(uint64_t) + static_cast<size_t>(length);
  std::memcpy(&sum, bytes.data() + covered, sizeof sum);
  if (Checksum(std::string_view(bytes).substr(0, covered)) != sum) return std::nullopt;
  in = in.substr(0, static_cast<size_t>(length));
  TCheckJournal j;
  int32_t rows = 0, records = 0;
  if (!Get(in, j.Rating.Size) || !Get(in, j.Rating.Hash) || !Get(in, rows) || rows < 0 ||
      static_cast<uint64_t>(rows) > in.size() / sizeof(TRatingRec))
    return std::nullopt;
  j.Delta.resize(static_cast<size_t>(rows));
  for (auto& r : j.Delta) Get(in, r);
  if (!Get(in, records) || records < 0 || static_cast<uint64_t>(records) * sizeof(TPending) != in.size())
    return std::nullopt;
  j.Pending.resize(static_cast<size_t>(records));
  if (records > 0) std::memcpy(static_cast<void*>(j.Pending.data()), in.data(), in.size());
  return std::make_pair(seq, std::move(j));
}

}  // namespace

TRatingFingerprint RatingFingerprint(const std::string& ratingPath) {
  TRatingFingerprint f;
  if (!FileExists(ratingPath)) return f;
  const std::string bytes = ReadWholeFile(ratingPath);
  f.Size = static_cast<int64_t>(bytes.size());
  f.Hash = Checksum(bytes);
  return f;
}

std::string CheckJournalPath(const std::string& stakesPath) { return ChangeFileExt(stakesPath, ".chk"); }

std::optional<TCheckJournal> ReadCheckJournal(const std::string& path) {
  auto a = ReadSlot(SlotPath(path, 0)), b = ReadSlot(SlotPath(path, 1));
  if (a && b) return a->first >= b->first ? std::move(a->second) : std::move(b->second);
  if (a) return std::move(a->second);
  if (b) return std::move(b->second);
  return std::nullopt;
}

bool CheckJournalExists(const std::string& path) {
  return FileExists(SlotPath(path, 0)) || FileExists(SlotPath(path, 1));
}

void RemoveCheckJournal(const std::string& path) {
  DeleteFileIfExists(SlotPath(path, 0));
  DeleteFileIfExists(SlotPath(path, 1));
}

TCheckJournalWriter::TCheckJournalWriter(std::string path) : path_(std::move(path)) {
  // The sequence goes on from a journal left there; the older (or broken) file is written first.
  uint64_t seqs[2] = {0, 0};
  for (int slot = 0; slot < 2; ++slot)
    if (auto s = ReadSlot(SlotPath(path_, slot))) seqs[slot] = s->first;
  seq_ = std::max(seqs[0], seqs[1]);
  next_ = seqs[0] <= seqs[1] ? 0 : 1;
}

TCheckJournalWriter::~TCheckJournalWriter() {
  for (int fd : fd_)
    if (fd >= 0) ::close(fd);
}

void TCheckJournalWriter::Write(const TRatingFingerprint& rating, const TRatingsArray& delta,
                                const std::vector<std::pair<int32_t, TStakeRec>>& pending) {
  const int slot = next_;
  const std::string file = SlotPath(path_, slot);
  if (fd_[slot] < 0) {
    fd_[slot] = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_[slot] < 0) throw FileError("Cannot create file \"" + file + "\": " + SysErrorText(errno));
    size_[slot] = ::lseek(fd_[slot], 0, SEEK_END);
  }
  const int32_t rows = static_cast<int32_t>(delta.size()), records = static_cast<int32_t>(pending.size());
  const uint64_t seq = seq_ + 1;
  const uint64_t length = sizeof rating.Size + sizeof rating.Hash + sizeof rows + delta.size() * sizeof(TRatingRec) +
                          sizeof records + pending.size() * sizeof(TPending);
  buf_.clear();
  auto put = [&](const void* data, size_t size) { buf_.append(static_cast<const char*>(data), size); };
  put(kMagic, sizeof kMagic);
  put(&seq, sizeof seq);
  put(&length, sizeof length);
  put(&rating.Size, sizeof rating.Size);
  put(&rating.Hash, sizeof rating.Hash);
  put(&rows, sizeof rows);
  if (rows > 0) put(delta.data(), delta.size() * sizeof(TRatingRec));
  put(&records, sizeof records);
  if (records > 0) put(pending.data(), pending.size() * sizeof(TPending));
  const uint64_t sum = Checksum(buf_);
  put(&sum, sizeof sum);
  // Written in place over the older file: the newer one stays whole until this one is.
  size_t off = 0;
  while (off < buf_.size()) {
    const ssize_t n = ::pwrite(fd_[slot], buf_.data() + off, buf_.size() - off, static_cast<off_t>(off));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError("Cannot write file \"" + file + "\": " + SysErrorText(errno));
    }
    off += static_cast<size_t>(n);
  }
  if (size_[slot] > static_cast<int64_t>(buf_.size()) && ::ftruncate(fd_[slot], static_cast<off_t>(buf_.size())) != 0)
    throw FileError("Cannot write file \"" + file + "\": " + SysErrorText(errno));
  size_[slot] = static_cast<int64_t>(buf_.size());
  seq_ = seq;
  next_ = 1 - slot;
}

}  // namespace quintar
