#include "operator.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "form.h"
#include "store.h"
#include "util/strutil.h"

namespace quintar::catalogue {

namespace {

void List(Db& db, bool systems, std::FILE* out) {
  Stmt s(db, systems ? "SELECT id, title, author_name, author_mail, owner_hwdid, created, downloads FROM systems "
                       "ORDER BY id"
                     : "SELECT id, title, author_name, author_mail, owner_hwdid, created, downloads, publics "
                       "FROM scripts ORDER BY id");
  while (s.Step()) {
    std::fprintf(out, "%lld\t%s\t%s\t%s\t%s\t", static_cast<long long>(s.Int(0)), s.Text(1).c_str(), s.Text(2).c_str(),
                 s.Text(3).c_str(), s.Text(4).c_str());
    if (!systems) std::fprintf(out, "%lld\t", static_cast<long long>(s.Int(7)));
    std::fprintf(out, "%s\t%lld\n", FormatUtc(s.Int(5)).c_str(), static_cast<long long>(s.Int(6)));
  }
}

void Backup(Db& src, const std::string& file) {
  std::string temp = file + ".tmp";
  ::unlink(temp.c_str());
  {
    Db dst(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* b = sqlite3_backup_init(dst.Handle(), "main", src.Handle(), "main");
    if (!b) dst.Fail(sqlite3_errcode(dst.Handle()), "backup");
    int rc;
    for (int tries = 0;; ++tries) {
      rc = sqlite3_backup_step(b, -1);  // every page in one read transaction: a consistent copy
      if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || tries >= 100) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) {
      ::unlink(temp.c_str());
      throw DbError(std::string("backup: ") + sqlite3_errstr(rc), rc);
    }
    dst.Exec("PRAGMA journal_mode=DELETE");  // the copy is one self-contained file
  }
  if (::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw DbError("cannot rename the backup to " + file, 0);
  }
}

}  // namespace

int RunOperatorCommand(const std::string& dbPath, const OperatorCommand& cmd, std::FILE* out, std::FILE* err) {
  const char* kind = cmd.systems ? "system" : "script";
  const char* table = cmd.systems ? "systems" : "scripts";
  try {
    Db db = OpenCatalogue(dbPath, OpenMode::Operate);
    switch (cmd.kind) {
      case OperatorCommand::List:
        List(db, cmd.systems, out);
        return 0;
      case OperatorCommand::Remove: {
        Transaction tx(db);
        if (!cmd.systems) Stmt(db, "DELETE FROM ratings WHERE script_id = ?1").Bind(1, cmd.id).Run();
        Stmt(db, (std::string("DELETE FROM ") + table + " WHERE id = ?1").c_str()).Bind(1, cmd.id).Run();
        if (db.Changes() == 0) {
          std::fprintf(err, "quintar-catalogue-server: there is no %s #%d\n", kind, cmd.id);
          return 1;
        }
        BumpGeneration(db);
        tx.Commit();
        std::fprintf(out, "removed %s #%d\n", kind, cmd.id);
        return 0;
      }
      case OperatorCommand::SetOwner: {
        std::string mail = Trim(cmd.mail);
        if (!IsValidOwnerMail(mail) || !IsValidHwdid(cmd.hwdid)) {
          std::fprintf(err,
                       "quintar-catalogue-server: --mail must be an e-mail address (one \"@\", no blanks, at most "
                       "254 characters) and --hwdid 1..128 printable characters without blanks\n");
          return 1;
        }
        Transaction tx(db);
        Stmt s(db, (std::string("UPDATE ") + table +
                    " SET owner_mail = ?2, owner_hwdid = ?3, author_mail = ?4 WHERE id = ?1")
                       .c_str());
        s.Bind(1, cmd.id).Bind(2, AnsiLowerCase(mail)).Bind(3, cmd.hwdid).Bind(4, mail).Run();
        if (db.Changes() == 0) {
          std::fprintf(err, "quintar-catalogue-server: there is no %s #%d\n", kind, cmd.id);
          return 1;
        }
        BumpGeneration(db);
        tx.Commit();
        std::fprintf(out, "%s #%d now belongs to %s (machine %s)\n", kind, cmd.id, mail.c_str(), cmd.hwdid.c_str());
        return 0;
      }
      case OperatorCommand::Backup:
        Backup(db, cmd.file);
        std::fprintf(out, "backup of %s written to %s\n", dbPath.c_str(), cmd.file.c_str());
        return 0;
      case OperatorCommand::None:
        break;
    }
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(err, "quintar-catalogue-server: %s\n", e.what());
    return 1;
  }
}

}  // namespace quintar::catalogue
