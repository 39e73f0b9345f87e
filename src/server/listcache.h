// The list answers kept ready in memory. A list of the whole catalogue is the most frequent request and the
// largest answer (some hundred bytes a script); read from the database every time, it would cost tens of
// milliseconds. Here every script and system keeps its answer row as text, cut where a value depends on who
// asks (the author's e-mail, the asker's own rating), and a list is those pieces joined.
//
// Only the writer thread changes the cache: after each committed batch it puts in the rows that batch
// touched, as the database holds them; it reloads everything when the database's generation shows a change
// made by another process (the operator commands). Readers check that generation before they answer.
//
// The rows are never changed in place: a change makes a new row and a new view (the ordered list of rows)
// that shares every other row with the old one. A list takes the current view and builds its answer without
// any lock, so that building large answers never holds up a write, nor a write a list.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sqlite.h"

namespace quintar::catalogue {

// Who asks: the e-mail (trimmed, lower case; empty: owns nothing) and the machine id.
struct User {
  std::string Mail;
  std::string Hwdid;
  std::string Key() const { return Mail + '\n' + Hwdid; }
  bool Owns(const std::string& ownerMail, const std::string& ownerHwdid) const {
    return !Mail.empty() && Mail == ownerMail && Hwdid == ownerHwdid;
  }
};

// What a batch of writes touched; the rows are read back before the batch commits.
struct CacheDelta {
  std::set<int> Scripts, Systems;
  std::set<std::pair<int, std::string>> Ratings;  // script, user key
};

class ListCache {
 public:
  using AppNames = std::map<std::string, std::string>;
  explicit ListCache(AppNames appNames);

  // The name answered as app_name for an application id (the id itself unless configured).
  std::string AppName(const std::string& appid) const;

  // Writer thread only.
  void Reload(Db& db, int64_t generation);
  struct Prepared;
  // Reads the touched rows as the (uncommitted) transaction holds them.
  std::shared_ptr<Prepared> Prepare(Db& db, const CacheDelta& delta) const;
  void SetPending(int64_t generation) { pending_ = generation; }
  // Puts the prepared rows in; the cache then stands for that generation.
  void Apply(const Prepared& p, int64_t generation);
  void Invalidate() { generation_ = -1; }
  int64_t Generation() const { return generation_; }

  // Whether the cache holds what a database of that generation holds (or is about to: a batch that committed
  // it is putting its rows in).
  bool IsCurrent(int64_t dbGeneration) const { return dbGeneration == generation_ || dbGeneration == pending_; }

  // Appends the rows of the list answers.
  void ScriptRows(std::string& out, const User& user, int fltid, int64_t now) const;
  void SystemRows(std::string& out, const User& user, int comblen, int maxnums) const;

 private:
  struct ScriptEntry {
    struct Brief {  // what the lists choose by
      bool isPublic = false;
      int64_t created = 0;
    };
    int id = 0;
    Brief brief;
    std::string ownerMail, ownerHwdid, authorMail;
    // The row as anyone but the owner gets it who has not rated the script ("***" or nothing for the e-mail,
    // rating 0); the owner's e-mail and another rating go in at mailAt (mailLen bytes) and youAt (one byte).
    std::string text;
    uint32_t mailAt = 0, mailLen = 0, youAt = 0;
  };
  struct SystemEntry {
    struct Brief {
      int nums = 0, clen = 0;
    };
    int id = 0;
    Brief brief;
    std::string ownerMail, ownerHwdid, authorMail;
    std::string text;  // the row as anyone but the owner gets it; his e-mail goes in at mailAt
    uint32_t mailAt = 0, mailLen = 0;
  };
  // The rows in ascending id, and the size of their texts. Each reference carries what a list chooses by
  // (and a hash of the owner), so that choosing walks one array and reads a row only when it goes out.
  template <class E>
  struct View {
    struct Ref {
      int id;
      uint64_t owner;
      typename E::Brief brief;
      std::shared_ptr<const E> e;
    };
    std::vector<Ref> rows;
    size_t bytes = 0;
  };
  template <class E>
  static typename View<E>::Ref RefOf(std::shared_ptr<const E> e);
  static uint64_t OwnerHash(const std::string& mail, const std::string& hwdid);
  static ScriptEntry ReadScript(const ListCache& self, Stmt& s);
  static SystemEntry ReadSystem(Stmt& s);
  template <class E>
  static std::shared_ptr<const View<E>> Changed(const View<E>& old,
                                                const std::map<int, std::shared_ptr<const E>>& changes);

  AppNames appNames_;
  mutable std::mutex viewMutex_;  // guards the two pointers only
  std::shared_ptr<const View<ScriptEntry>> scripts_;
  std::shared_ptr<const View<SystemEntry>> systems_;
  mutable std::mutex ratingsMutex_;
  // user key -> script id -> the user's rating (-1 hidden, 1..5); entries of deleted scripts may stay.
  std::unordered_map<std::string, std::unordered_map<int, int>> ratings_;
  std::atomic<int64_t> generation_{-1};
  std::atomic<int64_t> pending_{-1};
};

struct ListCache::Prepared {
  std::map<int, std::shared_ptr<const ScriptEntry>> scripts;  // nullptr: gone
  std::map<int, std::shared_ptr<const SystemEntry>> systems;
  std::map<std::pair<int, std::string>, int> ratings;  // 0: none
};

}  // namespace quintar::catalogue
