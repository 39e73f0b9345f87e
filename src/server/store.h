// The catalogue database: its tables, the mark that tells it from any other file, opening (created when the
// file is missing or empty, upgraded when its schema is older, refused and left untouched when it is not a
// catalogue database) and the connection settings every user of the file shares.
//
// Tables: scripts (one row per published script, its text last so that lists never read it), ratings (one
// row per script and user: 1..5, or -1 for a script the user hid), systems (one row per system, its lines
// last), meta (the format mark and the generation, which every write transaction counts up, so that a server
// sees changes made by the operator commands of another process).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "sqlite.h"

namespace quintar::catalogue {

inline constexpr int kSchemaVersion = 1;
// PRAGMA application_id of a catalogue database: "Q7CS".
inline constexpr int32_t kApplicationId = 0x51374353;
inline constexpr const char* kFormatMark = "quintar-catalogue";

// A file that cannot serve as the catalogue database; the message names the file and why.
struct CatalogueFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class OpenMode {
  Serve,    // the server: a missing or empty file gets the schema
  Operate,  // an operator command: the file must be a catalogue database already
};

// Opens the database for reading and writing with the shared settings. A file that exists and is not a
// catalogue database is refused before SQLite opens it, so that it stays exactly as it was.
Db OpenCatalogue(const std::string& path, OpenMode mode);
// A further connection to a database that OpenCatalogue has accepted (readers, the checkpointer).
Db OpenConnection(const std::string& path, bool readOnly);

// The generation of the database as the connection sees it now.
int64_t ReadGeneration(Db& db);
// Counts the generation up; inside the write transaction of every change.
void BumpGeneration(Db& db);

// A time as the answers write it: "yyyy-mm-dd hh:nn:ss" in UTC; 0 gives "".
std::string FormatUtc(int64_t unixSeconds);

}  // namespace quintar::catalogue
