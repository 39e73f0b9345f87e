#include "combs/checkjournal.h"

#include <cstring>

#include "util/safefile.h"

namespace quintar {

namespace {

constexpr char kMagic[8] = {'Q', '7', '3', '5', 'C', 'H', 'K', '1'};

uint64_t Fnv1a(std::string_view bytes, uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

template <class T>
void Put(std::string& out, const T& v) {
  out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <class T>
bool Get(std::string_view& in, T& v) {
  if (in.size() < sizeof v) return false;
  std::memcpy(&v, in.data(), sizeof v);
  in.remove_prefix(sizeof v);
  return true;
}

}  // namespace

TRatingFingerprint RatingFingerprint(const std::string& ratingPath) {
  TRatingFingerprint f;
  if (!FileExists(ratingPath)) return f;
  const std::string bytes = ReadWholeFile(ratingPath);
  f.Size = static_cast<int64_t>(bytes.size());
  f.Hash = Fnv1a(bytes);
  return f;
}

std::string CheckJournalPath(const std::string& stakesPath) { return ChangeFileExt(stakesPath, ".chk"); }

std::optional<TCheckJournal> ReadCheckJournal(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const FileError&) {
    return std::nullopt;
  }
  if (bytes.size() < sizeof kMagic + sizeof(uint64_t) || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return std::nullopt;
  uint64_t sum = 0;
  std::memcpy(&sum, bytes.data() + bytes.size() - sizeof sum, sizeof sum);
  std::string_view in(bytes.data(), bytes.size() - sizeof sum);
  if (Fnv1a(in) != sum) return std::nullopt;
  in.remove_prefix(sizeof kMagic);
  TCheckJournal j;
  int32_t rows = 0, records = 0;
  if (!Get(in, j.Rating.Size) || !Get(in, j.Rating.Hash) || !Get(in, rows) || rows < 0 ||
      static_cast<uint64_t>(rows) > in.size() / sizeof(TRatingRec))
    return std::nullopt;
  j.Delta.resize(static_cast<size_t>(rows));
  for (auto& r : j.Delta) Get(in, r);
  if (!Get(in, records) || records < 0 ||
      static_cast<uint64_t>(records) > in.size() / (sizeof(int32_t) + sizeof(TStakeRec)))
    return std::nullopt;
  j.Pending.resize(static_cast<size_t>(records));
  for (auto& [index, rec] : j.Pending) {
    Get(in, index);
    Get(in, rec);
  }
  if (!in.empty()) return std::nullopt;
  return j;
}

void WriteCheckJournal(const std::string& path, const TCheckJournal& j) {
  std::string out(kMagic, sizeof kMagic);
  Put(out, j.Rating.Size);
  Put(out, j.Rating.Hash);
  Put(out, static_cast<int32_t>(j.Delta.size()));
  for (const auto& r : j.Delta) Put(out, r);
  Put(out, static_cast<int32_t>(j.Pending.size()));
  for (const auto& [index, rec] : j.Pending) {
    Put(out, index);
    Put(out, rec);
  }
  Put(out, Fnv1a(out));
  AtomicFileWriter w(path);
  w.Write(out);
  // A crash of the process leaves either the old or the new journal; it is written for every block of a
  // check, so it is not forced to the disk each time.
  w.Commit(false);
}

}  // namespace quintar
