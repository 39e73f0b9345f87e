// The program updating itself from the maker's update server. The check fetches the update descriptor (an
// INI text), compares the offered build number with the running one and fetches the description; the
// install downloads the package, tests its SHA-256, runs it in the unpack folder "SelfUpdate/" (the package
// is a program that writes the new program files there) and puts the new files in place without ever
// leaving a half-installed program:
//
//   stage   every new file is copied beside its target as "<target>.~new"; the files of the DeleteBefore
//           lists are moved aside to "<name>.~del"
//   commit  each old target is renamed to "<target>.~old" and "<target>.~new" to the target
//   finish  the DeleteAfter files are moved aside too; only then are the ".~old" and ".~del" files of this
//           install deleted (what cannot be deleted is removed by the next check)
//
// A failure before the finish undoes every rename in reverse order and removes what was staged, so the
// program folder keeps exactly its old files. Nothing downloaded is run before its SHA-256 matched; https
// addresses are fetched with the certificate and the host name verified (TLS 1.2 or later), plain http only
// from the local machine. The user's data files are never replaced or deleted by an update.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"

namespace quintar {

class Session;

// The descriptor below the update server's base address, and the files the update uses in the program
// folder while it runs.
inline constexpr const char* kUpdateDescriptorPath = "files/autoupdates/Zembra_AU.cfg";
inline constexpr const char* kUpdateDescriptorFile = "SelfUpdates.inf";
inline constexpr const char* kUpdateUnpackFolder = "SelfUpdate";
inline constexpr const char* kAutoUpdatesKey = "AutoUpdates";

// Texts.
inline constexpr const char* kUpdateCheckStatus = "Поиск доступных обновлений...";
inline constexpr const char* kUpdateInstallStatus = "Загрузка и установка обновления \"%s\"...";
inline constexpr const char* kUpdateCheckError = "Ошибка поиска обновлений!";
inline constexpr const char* kUpdateInstallError = "Ошибка установки обновления!";
inline constexpr const char* kUpdateSystemError = "Ошибка системы самообновления программы!";
inline constexpr const char* kNoUpdates = "Обновлений не найдено!";
inline constexpr const char* kNoUpdateDescription = "< Описание обновления не доступно >";
inline constexpr const char* kNewVersionCaption = "Найдена новая версия программы";
inline constexpr const char* kDistributionInstalls =
    "Новая версия устанавливается средствами дистрибутива (менеджером пакетов).";
inline constexpr const char* kNoChecksum = "В описании обновления нет контрольной суммы SHA-256.";
inline constexpr const char* kBadChecksum = "Неверная контрольная сумма скачанного файла.";
inline constexpr const char* kBadUpdateName = "Недопустимое имя файла в описании обновления: %s";
inline constexpr const char* kUpdateFileNotFound = "Файл \"%s\" не найден!";
inline constexpr const char* kUpdateTimeout =
    "Ожидание завершения процесса (файла) \"%s\" прервано в связи с превышением времени ожидания!";
inline constexpr const char* kDataFileKept = "Файл данных не заменён: %s";

// A failure of the check (Install false) or of the install (Install true); the text is the reason.
struct EUpdate : EQuintar {
  EUpdate(bool install, const std::string& msg) : EQuintar(msg), Install(install) {}
  bool Install;
};

// The running program's version: four numbers "a.b.c.d" set by the build.
const char* ProgramVersion();
// The 4th word of a version text split at "," "-" "." "_", as a number; 0 when missing or not a number.
int BuildNumber(std::string_view version);

// The update record of a descriptor. Lists are the ";"-separated entries, trimmed, empty ones left out.
struct TUpdateRecord {
  std::string VerId, Description, DownloadUrl, OriginalFileName, ChecksumCRC32, ChecksumSHA256;
  std::vector<std::string> GlobalDeleteBefore, GlobalDeleteAfter, GlobalExecBefore, GlobalExecAfter;
  std::vector<std::string> DeleteBefore, DeleteAfter, ExecBefore, ExecAfter;
};

// Reads the descriptor's bytes (Windows-1251, or UTF-8 after a byte-order mark) for the program's section;
// a missing VerId becomes runningVersion.
TUpdateRecord ReadUpdateRecord(std::string_view bytes, std::string_view programName,
                               const std::string& runningVersion);

// Where an update may come from. "" when the address may be fetched, else why not: https:// always,
// http:// only for a loopback host (127.0.0.0/8, ::1, localhost), nothing else.
std::string UpdateAddressRefusal(const std::string& url);
// Whether a descriptor source or package is an address ("http://", "https://" or any other "scheme://")
// rather than a local path.
bool IsWebAddress(std::string_view source);
// The descriptor's address below a base address (repeated slashes taken as one).
std::string UpdateDescriptorAddress(const std::string& base);
// A data file of the program folder that an update must leave alone ("Quintar_7x35.ldr", "*.lsc",
// anything under "Prefetchs/", ...); rel is relative to the program folder, compared ignoring case.
bool IsProgramDataFile(std::string_view rel);

// What a check found.
struct TUpdateCheck {
  std::string Source;          // the descriptor's address or path
  std::string CurrentVersion;  // the running version
  TUpdateRecord Record;        // Record.VerId is the offered version
  bool Exists = false;         // a newer build is offered
  std::optional<std::string> Description;  // the description text (UTF-8, LF), when one arrived
  // The description's lines as shown: the text's lines, or the "not available" line.
  std::vector<std::string> DescriptionLines() const;
};

// What an install did besides installing.
struct TUpdateInstall {
  std::vector<std::string> DataFilesKept;  // package files and list entries left out as data files
};

// Time limits; tests shorten them.
struct TUpdateTuning {
  int ConnectTimeoutMs = 5000;
  int ReadTimeoutMs = 10000;    // without data
  int ProgramTimeoutMs = 60000;  // the package and each Exec file
  int DeleteTries = 100;
  int DeleteRetryMs = 100;
};

class TSelfUpdate {
 public:
  explicit TSelfUpdate(Session& s);
  TSelfUpdate(const TSelfUpdate&) = delete;
  TSelfUpdate& operator=(const TSelfUpdate&) = delete;

  // The folder checked and installed into (with "/"); empty: the folder of the running program file.
  std::string ProgramDir;
  std::string ProgramName = "Quintar_7x35";  // the descriptor section of the program
  std::string Version = ProgramVersion();
  // A build packaged by a distribution: it never installs, it only tells that a newer version exists.
  bool Distribution;
  TUpdateTuning Tuning;
  // The new-version dialog of the desktop program: shows what the check found and answers whether to
  // install (canInstall false: only tells, the answer is ignored). Unset: nothing is installed.
  std::function<bool(const TUpdateCheck&, bool canInstall)> Offer;

  std::string Folder() const;  // ProgramDir or the running program's folder, with "/"
  // Why this build cannot install into its folder ("" when it can): a distribution build, a folder that
  // is not writable.
  std::string InstallRefusal() const;
  bool CanInstall() const { return InstallRefusal().empty(); }

  // The check. Progress and status on the session's host; raises EUpdate(false) with the reason.
  TUpdateCheck Check(const std::string& source, int language);
  // The install of what a check found. Raises EUpdate(true) with the reason; the program folder then
  // holds its old files.
  TUpdateInstall Install(const TUpdateCheck& c);

  // The whole of it as the desktop program runs it: check, the offer, the install; failures and (unless
  // silent) "no updates" are shown on the host. True when an update was installed: restart the program.
  bool CheckUpdate(const std::string& source, bool silent, int language);

  // Settings and commands. UpdateUrl is the session's [ONLINE] "UpdateUrl"; AutoUpdates the window
  // setting.
  const std::string& UpdateUrl() const;
  bool AutoUpdates() const;
  bool CanCheckUpdate() const;
  bool CheckUpdateCommand(int language) { return CheckUpdate(UpdateDescriptorAddress(UpdateUrl()), false, language); }
  bool CanAutoSelfUpdate() const { return CanCheckUpdate(); }
  bool AutoSelfUpdateChecked() const { return AutoUpdates(); }
  void AutoSelfUpdate();
  // The silent check of the start-up; skipped (false) when UpdateUrl is empty.
  bool StartupCheck(int language);

 private:
  Session& s_;
};

}  // namespace quintar
