// Checking stakes changes two files, the stakes file (records marked checked in place) and the rating
// (their results summed per comment), which cannot be replaced in one step. While a check runs, the
// journal beside them says what the rating file does not hold yet: the rating rows of the stakes already
// checked on disk, and the records of the block being written to the stakes file. It is written before
// each block goes to the stakes file and removed once the rating is saved, so that after a crash or a
// failed write the next open of the stakes file writes the block again (the records are whole in the
// journal even when the crash tore them in the stakes file), and the next load of the rating folds in
// what it misses: stakes file and rating always agree.
//
// The journal is two files, "Quintar_7x35.chk" and "Quintar_7x35.chk2", written in turn in place, each
// with a sequence number and a checksum: a crash while one is written leaves the other whole, and the
// newer whole one counts. Nothing is renamed or forced to the disk for each block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "combs/ratings.h"
#include "combs/stakesfile.h"

namespace quintar {

// What the rating file was when the journal was begun: a journal of another rating file is stale.
struct TRatingFingerprint {
  int64_t Size = -1;  // -1: no rating file
  uint64_t Hash = 0;  // CRC-32 of its bytes
  bool operator==(const TRatingFingerprint&) const = default;
};
TRatingFingerprint RatingFingerprint(const std::string& ratingPath);

struct TCheckJournal {
  TRatingFingerprint Rating;
  TRatingsArray Delta;                                // rows not in the rating file yet
  std::vector<std::pair<int32_t, TStakeRec>> Pending;  // record index, the record as checked
};

// "Quintar_7x35.chk" beside the stakes file (its second file adds "2").
std::string CheckJournalPath(const std::string& stakesPath);
// The newest whole journal, or nothing when there is none.
std::optional<TCheckJournal> ReadCheckJournal(const std::string& path);
bool CheckJournalExists(const std::string& path);
void RemoveCheckJournal(const std::string& path);

// Writes the journal of one check, block after block; raises FileError.
class TCheckJournalWriter {
 public:
  explicit TCheckJournalWriter(std::string path);
  ~TCheckJournalWriter();
  TCheckJournalWriter(const TCheckJournalWriter&) = delete;
  TCheckJournalWriter& operator=(const TCheckJournalWriter&) = delete;
  void Write(const TRatingFingerprint& rating, const TRatingsArray& delta,
             const std::vector<std::pair<int32_t, TStakeRec>>& pending);

 private:
  std::string path_;
  int fd_[2] = {-1, -1};
  int64_t size_[2] = {0, 0};
  uint64_t seq_ = 0;
  int next_ = 0;
  std::string buf_;
};

}  // namespace quintar
