// Checking stakes changes two files, the stakes file (records marked checked in place) and the rating
// (their results summed per comment), which cannot be replaced in one step. While a check runs, the
// journal "Quintar_7x35.chk" beside them says what the rating file does not hold yet: the rating rows
// of the stakes already checked on disk, and the records of the block being written to the stakes file.
// It is written before each block goes to the stakes file and removed once the rating is saved, so that
// after a crash or a failed write the next open of the stakes file writes the block again (the records are
// whole there even when the crash tore them in the stakes file), and the next load of the rating folds
// in what it misses: stakes file and rating always agree.
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
  uint64_t Hash = 0;  // FNV-1a of its bytes
  bool operator==(const TRatingFingerprint&) const = default;
};
TRatingFingerprint RatingFingerprint(const std::string& ratingPath);

struct TCheckJournal {
  TRatingFingerprint Rating;
  TRatingsArray Delta;                                // rows not in the rating file yet
  std::vector<std::pair<int32_t, TStakeRec>> Pending;  // record index, the record as checked
};

// "Quintar_7x35.chk" beside the stakes file.
std::string CheckJournalPath(const std::string& stakesPath);
// The journal, or nothing when there is none or it is not a whole journal.
std::optional<TCheckJournal> ReadCheckJournal(const std::string& path);
// Through a temporary file and a rename; raises FileError.
void WriteCheckJournal(const std::string& path, const TCheckJournal& j);

}  // namespace quintar
