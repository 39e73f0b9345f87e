#include "store.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <fstream>

namespace quintar::catalogue {

namespace {

const char kSchema[] = R"(
CREATE TABLE meta(
  key TEXT PRIMARY KEY NOT NULL,
  value
) WITHOUT ROWID;
CREATE TABLE scripts(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  owner_mail TEXT NOT NULL,
  owner_hwdid TEXT NOT NULL,
  author_name TEXT NOT NULL,
  author_mail TEXT NOT NULL,
  appid TEXT NOT NULL,
  appver TEXT NOT NULL,
  lcid INTEGER NOT NULL,
  uniapps INTEGER NOT NULL,
  publics INTEGER NOT NULL,
  title TEXT NOT NULL,
  title_key TEXT NOT NULL UNIQUE,
  descr TEXT NOT NULL,
  created INTEGER NOT NULL,
  downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0,
  script TEXT NOT NULL
);
CREATE TABLE ratings(
  id INTEGER PRIMARY KEY,
  script_id INTEGER NOT NULL REFERENCES scripts(id) ON DELETE CASCADE,
  user_mail TEXT NOT NULL,
  user_hwdid TEXT NOT NULL,
  rate INTEGER NOT NULL,
  notes TEXT NOT NULL,
  name TEXT NOT NULL,
  appid TEXT NOT NULL,
  appver TEXT NOT NULL,
  created INTEGER NOT NULL,
  UNIQUE(script_id, user_mail, user_hwdid)
);
CREATE TABLE systems(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  owner_mail TEXT NOT NULL,
  owner_hwdid TEXT NOT NULL,
  author_name TEXT NOT NULL,
  author_mail TEXT NOT NULL,
  appid TEXT NOT NULL,
  appver TEXT NOT NULL,
  lcid INTEGER NOT NULL,
  nums INTEGER NOT NULL,
  clen INTEGER NOT NULL,
  olap INTEGER NOT NULL,
  csize INTEGER NOT NULL,
  title TEXT NOT NULL,
  descr TEXT NOT NULL,
  url TEXT NOT NULL,
  created INTEGER NOT NULL,
  downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0,
  clist TEXT NOT NULL
);
INSERT INTO meta(key, value) VALUES('format', 'quintar-catalogue'), ('generation', 0);
)";

// Steps from schema version k to k + 1, index k - 1; each runs inside the one upgrade transaction.
const char* const kUpgrades[] = {nullptr};
constexpr int kUpgradeCount = 0;

void Configure(Db& db) {
  sqlite3_busy_timeout(db.Handle(), 10000);
  db.Exec("PRAGMA foreign_keys=ON; PRAGMA synchronous=FULL;");
}

void CreateSchema(Db& db) {
  // The schema goes in with a rollback journal, so that the file itself holds the format mark from the first
  // commit on; only then is the database switched to write-ahead logging.
  db.Exec("PRAGMA journal_mode=DELETE");
  Transaction tx(db);
  db.Exec(("PRAGMA application_id=" + std::to_string(kApplicationId) + ";").c_str());
  db.Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";").c_str());
  db.Exec(kSchema);
  tx.Commit();
}

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

Db OpenCatalogue(const std::string& path, OpenMode mode) {
  struct stat st {};
  bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) throw CatalogueFileError(path + " is not a file");
  bool fresh = !exists || st.st_size == 0;
  if (fresh && mode == OpenMode::Operate)
    throw CatalogueFileError(path + (exists ? " is empty: not a catalogue database" : " does not exist"));
  if (!fresh) {
    // The header is read directly, so that a file of another kind is never opened by SQLite at all.
    unsigned char header[100] = {};
    std::ifstream f(path, std::ios::binary);
    if (!f) throw CatalogueFileError("cannot read " + path + ": " + std::strerror(errno));
    f.read(reinterpret_cast<char*>(header), sizeof header);
    if (f.gcount() < 100 || std::memcmp(header, "SQLite format 3\0", 16) != 0)
      throw CatalogueFileError(path + " is not an SQLite database");
    if (BigEndian32(header + 68) != static_cast<uint32_t>(kApplicationId))
      throw CatalogueFileError(path + " is an SQLite database of another program, not a catalogue database");
  }
  Db db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
  Configure(db);
  if (fresh) CreateSchema(db);
  // The mark and the version are read before anything could change the file.
  std::string format;
  try {
    Stmt s(db, "SELECT value FROM meta WHERE key='format'");
    if (s.Step()) format = s.Text(0);
  } catch (const DbError&) {
    // no meta table: not ours
  }
  if (format != kFormatMark) throw CatalogueFileError(path + " has no catalogue format mark");
  int64_t version = db.QueryInt("PRAGMA user_version").value_or(0);
  if (version > kSchemaVersion)
    throw CatalogueFileError(path + " has schema version " + std::to_string(version) +
                             ", newer than this program knows (" + std::to_string(kSchemaVersion) + ")");
  if (version < 1) throw CatalogueFileError(path + " has no valid schema version");
  db.Exec("PRAGMA journal_mode=WAL");
  if (version < kSchemaVersion) {
    Transaction tx(db);
    for (int64_t v = version; v < kSchemaVersion && v - 1 < kUpgradeCount; ++v) db.Exec(kUpgrades[v - 1]);
    db.Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";").c_str());
    BumpGeneration(db);
    tx.Commit();
  }
  return db;
}

Db OpenConnection(const std::string& path, bool readOnly) {
  Db db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
  Configure(db);
  if (readOnly) db.Exec("PRAGMA query_only=1");
  return db;
}

int64_t ReadGeneration(Db& db) {
  Stmt s(db, "SELECT value FROM meta WHERE key='generation'");
  return s.Step() ? s.Int(0) : 0;
}

void BumpGeneration(Db& db) { db.Exec("UPDATE meta SET value=value+1 WHERE key='generation'"); }

std::string FormatUtc(int64_t unixSeconds) {
  if (unixSeconds <= 0) return "";
  std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace quintar::catalogue
