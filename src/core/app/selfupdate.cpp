#include "app/selfupdate.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/cmdline.h"
#include "app/language.h"
#include "app/session.h"
#include "app/shell.h"
#include "online/webrequest.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

// The version and the kind of build are settings of the build (src/core/CMakeLists.txt).
#ifndef QUINTAR_VERSION
#error "The build defines QUINTAR_VERSION"
#endif
#ifndef QUINTAR_DISTRIBUTION
#define QUINTAR_DISTRIBUTION 0
#endif

namespace quintar {

namespace fs = std::filesystem;

namespace {

// The descriptor and a description are small texts; a larger answer is not one of them.
constexpr size_t kMaxDescriptorSize = 1u << 20;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

bool IsHexText(std::string_view s, size_t digits) {
  if (s.size() != digits) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

// Texts of the update server: UTF-8 after a byte-order mark, else Windows-1251.
std::string DecodeText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  return Cp1251ToUtf8(bytes);
}

std::vector<std::string> SplitList(const std::string& value) {
  std::vector<std::string> out;
  for (const std::string& part : SplitAny(value, ";", true)) {
    std::string t = Trim(part);
    if (!t.empty()) out.push_back(t);
  }
  return out;
}

// A list entry or package file relative to its folder, "/"-separated ("\" of a Windows descriptor too),
// without empty and "." components; nothing when it is absolute, holds "..", or names no file.
std::optional<std::string> RelativeName(std::string_view entry) {
  std::string e(entry);
  for (char& c : e)
    if (c == '\\') c = '/';
  if (e.empty() || e.front() == '/') return std::nullopt;
  std::vector<std::string> parts;
  for (const std::string& p : SplitAny(e, "/", true)) {
    if (p == "..") return std::nullopt;
    if (p != ".") parts.push_back(p);
  }
  if (parts.empty()) return std::nullopt;
  return Join(parts, "/");
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos;
}

bool LstatOf(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

bool IsPlainFile(const std::string& path) {
  struct stat st;
  return LstatOf(path, st) && S_ISREG(st.st_mode);
}

void RemoveTree(const std::string& path) {
  std::error_code ec;
  fs::remove_all(path, ec);  // links are removed, never followed
}

std::string HexOf(const unsigned char* bytes, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

// SHA-256 (lower-case hex) and CRC-32 (upper-case hex) of a file, read once.
void ChecksumsOf(const std::string& path, std::string& sha256, std::string& crc32Text) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) throw EQuintar(SysErrorText(errno));
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) {
    ::close(fd);
    throw EQuintar("SHA-256");
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  std::vector<unsigned char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      throw EQuintar(SysErrorText(err));
    }
    if (n == 0) break;
    EVP_DigestUpdate(ctx.get(), buf.data(), static_cast<size_t>(n));
    crc = crc32(crc, buf.data(), static_cast<uInt>(n));
  }
  ::close(fd);
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  EVP_DigestFinal_ex(ctx.get(), md, &len);
  sha256 = HexOf(md, len);
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(crc));
  crc32Text = hex;
}

// Copies a local file through a temporary file and rename.
void CopyLocalFile(const std::string& from, const std::string& to) {
  if (!FileExists(from) || DirectoryExists(from)) throw EQuintar(Format(kUpdateFileNotFound, {from}));
  int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EQuintar(Format("%s: %s", {from, SysErrorText(errno)}));
  AtomicFileWriter out(to);
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      throw EQuintar(Format("%s: %s", {from, SysErrorText(err)}));
    }
    if (n == 0) break;
    out.Write(buf.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  out.Commit(false);
}

// The folder the check keeps its files in: the program folder when it is writable, else a private
// temporary folder that goes with this object.
class TWorkFolder {
 public:
  explicit TWorkFolder(const std::string& programDir) {
    if (DirectoryExists(programDir) && ::access(programDir.c_str(), W_OK) == 0) {
      path_ = programDir;
      return;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = IncludeTrailingSlash(tmp && *tmp ? tmp : "/tmp") + "quintar-update-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw EQuintar(SysErrorText(errno));
    path_ = IncludeTrailingSlash(pattern);
    temporary_ = true;
  }
  ~TWorkFolder() {
    if (temporary_) RemoveTree(path_);
  }
  TWorkFolder(const TWorkFolder&) = delete;
  TWorkFolder& operator=(const TWorkFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool temporary_ = false;
};

// A file of the program folder that goes when the object does.
struct FileGuard {
  std::string path;
  ~FileGuard() { DeleteFileIfExists(path); }
};

// Status text and progress of a check or an install, closed on every way out.
class Progress {
 public:
  Progress(Session& s, const std::string& text, int steps) : s_(s) {
    s_.ShowStatus(text);
    s_.Host().ProgressBegin(steps);
  }
  ~Progress() {
    s_.Host().ProgressEnd();
    s_.ShowStatus("");
  }
  void Step(int pos) {
    s_.Host().ProgressStep(pos);
    s_.Host().ProcessEvents();
  }

 private:
  Session& s_;
};

// What the install changed in the program folder, so that it can be undone in reverse order.
class TInstallJournal {
 public:
  explicit TInstallJournal(std::string dir) : dir_(std::move(dir)) {}

  void Rename(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
      throw EQuintar(Format("%0:s - %1:s", {Format("Переименование файла \"%s\" в \"%s\"", {from, to}),
                                           SysErrorText(errno)}));
    renames_.emplace_back(from, to);
  }
  void Staged(const std::string& path) { staged_.push_back(path); }
  void Created(const std::string& folder) { folders_.push_back(folder); }

  // The folders of a file below the program folder, made where missing. A folder that is a link or not a
  // folder at all is refused: an update writes only inside the program folder.
  void MakeFolders(const std::string& rel, const std::string& modelDir) {
    std::string sub;
    const std::vector<std::string> parts = SplitAny(rel, "/", true);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      sub += parts[i] + "/";
      const std::string path = dir_ + sub;
      struct stat st;
      if (LstatOf(path, st)) {
        if (!S_ISDIR(st.st_mode))
          throw EQuintar(Format("%0:s - %1:s", {Format("Создание папки \"%s\"", {path}), "это не папка"}));
        continue;
      }
      struct stat model;
      mode_t mode = LstatOf(modelDir + sub, model) ? (model.st_mode & 0777) : 0755;
      if (::mkdir(path.c_str(), mode | S_IRWXU) != 0)
        throw EQuintar(Format("%0:s - %1:s", {Format("Создание папки \"%s\"", {path}), SysErrorText(errno)}));
      Created(path);
    }
  }

  // Whether a path below the program folder leads through folders only (no link, no file); raises the
  // name error otherwise. A missing folder gives false: there is no such file.
  bool Reachable(const std::string& rel) const {
    std::string sub;
    const std::vector<std::string> parts = SplitAny(rel, "/", true);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      sub += parts[i] + "/";
      struct stat st;
      if (!LstatOf(dir_ + sub, st)) return false;
      if (!S_ISDIR(st.st_mode)) throw EQuintar(Format(kBadUpdateName, {rel}));
    }
    return true;
  }

  // Undoes every rename in reverse order and removes what was staged and the folders made.
  void RollBack() {
    for (auto it = renames_.rbegin(); it != renames_.rend(); ++it) ::rename(it->second.c_str(), it->first.c_str());
    renames_.clear();
    for (const std::string& p : staged_) ::unlink(p.c_str());
    staged_.clear();
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) ::rmdir(it->c_str());
    folders_.clear();
  }

  // After the install: the old files and the files moved aside go; those that cannot be deleted keep
  // their ".~" names for the next check.
  void Finish() {
    for (const auto& [from, to] : renames_)
      if (EndsWithText(to, ".~old") || EndsWithText(to, ".~del")) ::unlink(to.c_str());
    renames_.clear();
    staged_.clear();
    folders_.clear();
  }

 private:
  std::string dir_;
  std::vector<std::pair<std::string, std::string>> renames_;
  std::vector<std::string> staged_;
  std::vector<std::string> folders_;
};

// Copies a file of the unpack folder to "<target>.~new" with its permission bits, set-id bits dropped.
void StageFile(const std::string& from, const std::string& to, TInstallJournal& j) {
  auto fail = [&](const std::string& why) {
    throw EQuintar(Format("%0:s - %1:s", {Format("Копирование файла \"%s\" в \"%s\"", {from, to}), why}));
  };
  struct stat st;
  if (LstatOf(to, st)) {
    if (S_ISDIR(st.st_mode)) fail("это папка");
    if (::unlink(to.c_str()) != 0) fail(SysErrorText(errno));
  }
  struct stat src;
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0 || ::fstat(in, &src) != 0) {
    int err = errno;
    if (in >= 0) ::close(in);
    fail(SysErrorText(err));
  }
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (out < 0) {
    int err = errno;
    ::close(in);
    fail(SysErrorText(err));
  }
  j.Staged(to);
  std::vector<char> buf(1 << 16);
  int err = 0;
  for (;;) {
    ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      err = errno;
      break;
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        err = errno;
        break;
      }
      done += w;
    }
    if (err) break;
  }
  if (!err && ::fchmod(out, src.st_mode & 0777) != 0) err = errno;
  if (!err && ::fsync(out) != 0) err = errno;
  ::close(in);
  if (::close(out) != 0 && !err) err = errno;
  if (err) fail(SysErrorText(err));
}

// The files and folders the package left in the unpack folder, relative to it, in a stable order.
struct TUnpacked {
  std::vector<std::string> files;
};
TUnpacked ListUnpacked(const std::string& unpack) {
  TUnpacked u;
  std::error_code ec;
  fs::recursive_directory_iterator it(unpack, fs::directory_options::none, ec), end;
  if (ec) throw EQuintar(Format("%s: %s", {unpack, ec.message()}));
  for (; it != end; it.increment(ec)) {
    if (ec) throw EQuintar(Format("%s: %s", {unpack, ec.message()}));
    const fs::file_status st = it->symlink_status(ec);
    const std::string rel = it->path().lexically_relative(fs::path(unpack)).generic_string();
    if (fs::is_directory(st)) continue;
    if (!fs::is_regular_file(st))
      throw EQuintar(Format("Недопустимый файл в папке обновления (ссылка или особый файл): %s", {rel}));
    u.files.push_back(rel);
  }
  std::sort(u.files.begin(), u.files.end());
  return u;
}

}  // namespace

const char* ProgramVersion() { return QUINTAR_VERSION; }

int BuildNumber(std::string_view version) {
  const std::vector<std::string> words = SplitAny(version, ",-._", false);
  if (words.size() < 4) return 0;
  return StrToIntDef(Trim(words[3]), 0);
}

TUpdateRecord ReadUpdateRecord(std::string_view bytes, std::string_view programName,
                               const std::string& runningVersion) {
  IniFile ini;
  ini.SetText(DecodeText(bytes));
  const std::string program(programName);
  auto get = [&](const char* section, const char* key) { return Trim(ini.ReadString(section, key, "")); };
  TUpdateRecord r;
  r.VerId = get(program.c_str(), "VerId");
  if (r.VerId.empty()) r.VerId = runningVersion;
  r.Description = get(program.c_str(), "Description");
  r.DownloadUrl = get(program.c_str(), "DownloadUrl");
  r.OriginalFileName = get(program.c_str(), "OriginalFileName");
  r.ChecksumCRC32 = get(program.c_str(), "ChecksumCRC32");
  r.ChecksumSHA256 = get(program.c_str(), "ChecksumSHA256");
  r.GlobalDeleteBefore = SplitList(get("GlobalOptions", "DeleteBefore"));
  r.GlobalDeleteAfter = SplitList(get("GlobalOptions", "DeleteAfter"));
  r.GlobalExecBefore = SplitList(get("GlobalOptions", "ExecBefore"));
  r.GlobalExecAfter = SplitList(get("GlobalOptions", "ExecAfter"));
  r.DeleteBefore = SplitList(get(program.c_str(), "DeleteBefore"));
  r.DeleteAfter = SplitList(get(program.c_str(), "DeleteAfter"));
  r.ExecBefore = SplitList(get(program.c_str(), "ExecBefore"));
  r.ExecAfter = SplitList(get(program.c_str(), "ExecAfter"));
  return r;
}

bool IsWebAddress(std::string_view source) {
  size_t i = 0;
  while (i < source.size() && (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '+' ||
                               source[i] == '-' || source[i] == '.'))
    ++i;
  return i > 0 && std::isalpha(static_cast<unsigned char>(source[0])) && source.substr(i, 3) == "://";
}

std::string UpdateAddressRefusal(const std::string& url) {
  const std::string bad = Format("Недопустимый адрес обновления: %s", {url});
  std::unique_ptr<CURLU, void (*)(CURLU*)> u(curl_url(), curl_url_cleanup);
  if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return bad;
  char* schemePart = nullptr;
  char* hostPart = nullptr;
  if (curl_url_get(u.get(), CURLUPART_SCHEME, &schemePart, 0) != CURLUE_OK) return bad;
  std::string scheme = Lower(schemePart);
  curl_free(schemePart);
  if (scheme == "https") return "";
  if (scheme != "http") return bad;
  if (curl_url_get(u.get(), CURLUPART_HOST, &hostPart, 0) != CURLUE_OK) return bad;
  std::string host = Lower(hostPart);
  curl_free(hostPart);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  bool loopback = host == "localhost";
  in_addr a4;
  in6_addr a6;
  if (::inet_pton(AF_INET, host.c_str(), &a4) == 1) loopback = (ntohl(a4.s_addr) >> 24) == 127;
  if (::inet_pton(AF_INET6, host.c_str(), &a6) == 1) loopback = IN6_IS_ADDR_LOOPBACK(&a6);
  if (loopback) return "";
  return Format("Адрес \"%s\" не допускается: по http:// обновления загружаются только с этого компьютера "
                "(127.0.0.1, ::1, localhost), с других серверов только по https://.",
                {url});
}

std::string UpdateDescriptorAddress(const std::string& base) {
  std::string s = Trim(base);
  while (!s.empty() && s.back() == '/') s.pop_back();
  s += std::string("/") + kUpdateDescriptorPath;
  size_t start = 0;
  if (IsWebAddress(s)) start = s.find("://") + 3;
  std::string out = s.substr(0, start);
  for (size_t i = start; i < s.size(); ++i)
    if (!(s[i] == '/' && !out.empty() && out.back() == '/' && i > start)) out += s[i];
  return out;
}

bool IsProgramDataFile(std::string_view relIn) {
  auto norm = RelativeName(relIn);
  if (!norm) return false;
  const std::string rel = Lower(*norm);
  for (const char* folder : {"prefetchs", "systems"})
    if (rel == folder || rel.rfind(std::string(folder) + "/", 0) == 0) return true;
  if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".lsc") == 0) return true;
  if (rel.find('/') != std::string::npos) return false;
  const std::string base = "quintar_7x35";
  for (const char* ext : {".ldr", ".ini", ".flt", ".frm", ".lss", ".lsk", ".lrt", ".ltb", ".chk", ".chk2"})
    if (rel == base + ext) return true;
  // The stakes file's backups and its note of an unfinished series, the archive's lock.
  if (rel.rfind(base + ".lsk.", 0) == 0 || rel == base + ".ldr.lock") return true;
  auto between = [&](const std::string& head, const std::string& tail) {
    return rel.size() >= head.size() + tail.size() && rel.rfind(head, 0) == 0 &&
           rel.compare(rel.size() - tail.size(), tail.size(), tail) == 0;
  };
  return between(base + "-", ".log") || between("scriptlog_", ".txt");
}

std::vector<std::string> TUpdateCheck::DescriptionLines() const {
  if (!Description) return {kNoUpdateDescription};
  std::vector<std::string> lines;
  size_t pos = 0;
  const std::string& t = *Description;
  while (pos < t.size()) {
    size_t e = t.find('\n', pos);
    if (e == std::string::npos) e = t.size();
    lines.push_back(t.substr(pos, e - pos));
    pos = e + 1;
  }
  return lines;
}

TSelfUpdate::TSelfUpdate(Session& s) : Distribution(QUINTAR_DISTRIBUTION != 0), s_(s) {}

std::string TSelfUpdate::Folder() const {
  if (ProgramDir.empty()) return ExtractFilePath(CurrentProgramPath());
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(ProgramDir), ec);
  return IncludeTrailingSlash(ec ? ProgramDir : p.lexically_normal().string());
}

std::string TSelfUpdate::InstallRefusal() const {
  if (Distribution) return kDistributionInstalls;
  const std::string dir = Folder();
  if (!DirectoryExists(dir)) return Format("Папка программы \"%s\" не найдена!", {dir});
  if (::access(dir.c_str(), W_OK) != 0)
    return Format("Нет доступа на запись в папку программы \"%s\": %s", {dir, SysErrorText(errno)});
  return "";
}

namespace {

// Fetches an address (GET, with the update's rules) or copies a local path into a file.
struct TFetcher {
  Session& s;
  const TUpdateTuning& tuning;

  TWebOptions Options() const {
    TWebOptions o;
    o.Tls = TTlsVersion::Tls12Up;
    o.VerifyPeer = true;
    o.ConnectTimeoutMs = tuning.ConnectTimeoutMs;
    o.ReadTimeoutMs = tuning.ReadTimeoutMs;
    o.MaxTextSize = kMaxDescriptorSize;
    o.Idle = [this] { s.Host().ProcessEvents(); };
    o.CheckRedirect = [](const std::string& url) {
      std::string why = UpdateAddressRefusal(url);
      if (!why.empty()) throw EWebError(why);
    };
    return o;
  }
  static void Allowed(const std::string& url) {
    std::string why = UpdateAddressRefusal(url);
    if (!why.empty()) throw EQuintar(why);
  }
  // A small text (descriptor, description).
  void Text(const std::string& source, const std::string& file) const {
    if (IsWebAddress(source)) {
      Allowed(source);
      WriteFileAtomic(file, WebGetText(source, true, Options()));
    } else {
      CopyLocalFile(source, file);
    }
  }
  // The package, written as it comes.
  void Package(const std::string& source, const std::string& file) const {
    if (IsWebAddress(source)) {
      Allowed(source);
      WebGetToFile(source, file, Options());
    } else {
      CopyLocalFile(source, file);
    }
  }
};

// The folder beside the descriptor where its descriptions lie ("UpdDescr/").
std::string DescriptionFolder(const std::string& source) {
  size_t from = IsWebAddress(source) ? source.find("://") + 3 : 0;
  size_t slash = source.rfind('/');
  if (slash == std::string::npos || slash < from) return IsWebAddress(source) ? source + "/UpdDescr/" : "UpdDescr/";
  return source.substr(0, slash + 1) + "UpdDescr/";
}

}  // namespace

TUpdateCheck TSelfUpdate::Check(const std::string& source, int language) {
  TUpdateCheck c;
  c.Source = Trim(source);
  c.CurrentVersion = Version;
  Progress progress(s_, kUpdateCheckStatus, 5);
  try {
    const std::string dir = Folder();
    // Leftovers of an earlier update, in the program folder and below; a distribution build never
    // leaves any and does not look.
    if (!Distribution && DirectoryExists(dir)) {
      std::error_code ec;
      fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
      for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(".~") == std::string::npos || AnsiSameText(name, "Quintar_7x35.~tmp")) continue;
        std::error_code e2;
        if (it->is_directory(e2) && !it->is_symlink(e2)) continue;
        // An old file whose replacement never took its place (the install was killed between the two
        // renames of a file) is the only copy: it goes back instead.
        const std::string path = it->path().string();
        struct stat st;
        if (EndsWithText(path, ".~old") && !LstatOf(path.substr(0, path.size() - 5), st) &&
            ::rename(path.c_str(), path.substr(0, path.size() - 5).c_str()) == 0)
          continue;
        ::unlink(path.c_str());
      }
    }
    progress.Step(1);
    progress.Step(2);  // the running version is Version

    if (c.Source.empty()) throw EQuintar("Не задан адрес описания обновления.");
    TWorkFolder work(dir);
    TFetcher fetch{s_, Tuning};
    {
      FileGuard inf{work.Path() + kUpdateDescriptorFile};
      fetch.Text(c.Source, inf.path);
      progress.Step(3);
      c.Record = ReadUpdateRecord(ReadWholeFile(inf.path), ProgramName, Version);
    }
    const TUpdateRecord& r = c.Record;
    // The offered version becomes part of file names.
    if (r.VerId.find_first_not_of("0123456789,-._") != std::string::npos)
      throw EQuintar(Format("Недопустимая версия в описании обновления: %s", {r.VerId}));
    progress.Step(4);

    c.Exists = BuildNumber(Version) < BuildNumber(r.VerId) && !r.DownloadUrl.empty();
    if (c.Exists) {
      if (!IsHexText(r.ChecksumSHA256, 64)) throw EQuintar(kNoChecksum);
      if (IsWebAddress(r.DownloadUrl)) {
        TFetcher::Allowed(r.DownloadUrl);
      } else if (IsWebAddress(c.Source)) {
        throw EQuintar(Format("Пакет обновления по локальному пути допускается только в локальном описании "
                              "обновления: %s",
                              {r.DownloadUrl}));
      }
      std::vector<std::string> names;
      if (language != 0) {
        if (const TLocaleInfo* l = FindLocale(language))
          names.push_back(Format("UpdDescr_%s_%s.txt", {l->Abbrev, r.VerId}));
        names.push_back(Format("UpdDescr_%d_%s.txt", {language, r.VerId}));
      }
      names.push_back(Format("UpdDescr_%s.txt", {r.VerId}));
      const std::string folder = DescriptionFolder(c.Source);
      FileGuard local{work.Path() + Format("UpdDescr_%s.txt", {r.VerId})};
      for (const std::string& name : names) {
        try {
          fetch.Text(folder + name, local.path);
          std::string text = DecodeText(ReadWholeFile(local.path));
          text = ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n");
          c.Description = text;
          break;
        } catch (const std::exception&) {
          DeleteFileIfExists(local.path);
        }
      }
    }
    progress.Step(5);
  } catch (const EUpdate&) {
    throw;
  } catch (const std::exception& e) {
    throw EUpdate(false, e.what());
  }
  return c;
}

TUpdateInstall TSelfUpdate::Install(const TUpdateCheck& c) {
  const TUpdateRecord& r = c.Record;
  TUpdateInstall result;
  if (!c.Exists) throw EUpdate(true, kNoUpdates);
  if (std::string why = InstallRefusal(); !why.empty()) throw EUpdate(true, why);
  if (!IsPlainName(r.OriginalFileName)) throw EUpdate(true, Format(kBadUpdateName, {r.OriginalFileName}));
  // Every list entry must stay inside its folder; the names are checked before anything is fetched.
  struct List {
    const std::vector<std::string>* entries;
    std::vector<std::string> names;
  };
  List deleteBefore[2] = {{&r.GlobalDeleteBefore, {}}, {&r.DeleteBefore, {}}};
  List deleteAfter[2] = {{&r.GlobalDeleteAfter, {}}, {&r.DeleteAfter, {}}};
  List execBefore[2] = {{&r.GlobalExecBefore, {}}, {&r.ExecBefore, {}}};
  List execAfter[2] = {{&r.GlobalExecAfter, {}}, {&r.ExecAfter, {}}};
  for (List* group : {deleteBefore, deleteAfter, execBefore, execAfter})
    for (int k = 0; k < 2; ++k)
      for (const std::string& e : *group[k].entries) {
        auto rel = RelativeName(e);
        if (!rel) throw EUpdate(true, Format(kBadUpdateName, {e}));
        group[k].names.push_back(*rel);
      }

  const std::string dir = Folder();
  const std::string unpack = dir + kUpdateUnpackFolder + "/";
  Progress progress(s_, Format(kUpdateInstallStatus, {r.VerId}), 14);
  TInstallJournal journal(dir);
  auto idle = [this] { s_.Host().ProcessEvents(); };
  auto runAll = [&](List* lists) {
    for (int k = 0; k < 2; ++k)
      for (const std::string& rel : lists[k].names) {
        const std::string file = unpack + rel;
        if (!IsPlainFile(file)) continue;
        try {
          RunProgramAndWait(file, {}, unpack, Tuning.ProgramTimeoutMs, idle);
        } catch (const std::exception&) {
          // The results of these files are not checked.
        }
      }
  };
  // Moves the files of delete lists aside ("<name>.~del"); data files are left alone.
  auto moveAside = [&](List* lists) {
    for (int k = 0; k < 2; ++k)
      for (const std::string& rel : lists[k].names) {
        if (IsProgramDataFile(rel)) {
          result.DataFilesKept.push_back(rel);
          continue;
        }
        if (!journal.Reachable(rel)) continue;
        const std::string path = dir + rel;
        struct stat st;
        if (!LstatOf(path, st)) continue;
        if (S_ISDIR(st.st_mode)) throw EQuintar(Format(kBadUpdateName, {rel}));
        journal.Rename(path, path + ".~del");
      }
  };
  try {
    progress.Step(1);
    RemoveTree(unpack);
    if (::mkdir(unpack.c_str(), 0700) != 0) throw EQuintar(Format("%s: %s", {unpack, SysErrorText(errno)}));
    progress.Step(2);

    const std::string package = unpack + Format("SelfUpdate_%s.upd", {r.VerId});
    TFetcher{s_, Tuning}.Package(r.DownloadUrl, package);
    if (!IsPlainFile(package)) throw EQuintar(Format(kUpdateFileNotFound, {package}));
    progress.Step(3);

    std::string sha, crc;
    ChecksumsOf(package, sha, crc);
    if (!AnsiSameText(sha, r.ChecksumSHA256) || (!r.ChecksumCRC32.empty() && !AnsiSameText(crc, r.ChecksumCRC32)))
      throw EQuintar(kBadChecksum);
    progress.Step(4);

    const std::string program = unpack + r.OriginalFileName;
    if (::rename(package.c_str(), program.c_str()) != 0 || ::chmod(program.c_str(), S_IRWXU) != 0)
      throw EQuintar(SysErrorText(errno));
    progress.Step(5);

    TProgramRun run;
    try {
      run = RunProgramAndWait(program, {}, unpack, Tuning.ProgramTimeoutMs, idle);
    } catch (const std::exception& e) {
      throw EQuintar(Format("%0:s - %1:s", {Format("Запуск файла \"%s\"", {program}), e.what()}));
    }
    if (run.TimedOut) throw EQuintar(Format(kUpdateTimeout, {program}));
    if (run.Signal) throw EQuintar(Format("Процесс (файл) \"%s\" прерван сигналом %d.", {program, run.Signal}));
    if (run.ExitCode) throw EQuintar(Format("Процесс (файл) \"%s\" завершился с кодом %d.", {program, run.ExitCode}));
    progress.Step(6);

    for (int tries = 0; ::unlink(program.c_str()) != 0 && errno != ENOENT; ++tries) {
      if (tries + 1 >= Tuning.DeleteTries) throw EQuintar(SysErrorText(errno));
      std::this_thread::sleep_for(std::chrono::milliseconds(Tuning.DeleteRetryMs));
    }
    progress.Step(7);

    const TUnpacked unpacked = ListUnpacked(unpack);
    if (unpacked.files.empty()) throw EQuintar(Format(kUpdateFileNotFound, {unpack + "*.*"}));
    progress.Step(8);

    // Stage: every new file beside its target; then the DeleteBefore files aside.
    std::vector<std::string> installed;
    for (const std::string& rel : unpacked.files) {
      if (IsProgramDataFile(rel)) {
        result.DataFilesKept.push_back(rel);
        continue;
      }
      journal.MakeFolders(rel, unpack);
      const std::string target = dir + rel;
      struct stat st;
      if (LstatOf(target, st) && S_ISDIR(st.st_mode))
        throw EQuintar(Format("%0:s - %1:s", {Format("Замена файла \"%s\"", {target}), "это папка"}));
      StageFile(unpack + rel, target + ".~new", journal);
      installed.push_back(rel);
    }
    moveAside(deleteBefore);
    progress.Step(9);

    runAll(execBefore);
    progress.Step(10);

    // Commit: the old file aside, the new one in its place.
    for (const std::string& rel : installed) {
      const std::string target = dir + rel;
      struct stat st;
      if (LstatOf(target, st)) journal.Rename(target, target + ".~old");
      journal.Rename(target + ".~new", target);
    }
    progress.Step(11);

    runAll(execAfter);
    progress.Step(12);

    moveAside(deleteAfter);
    progress.Step(13);
  } catch (const std::exception& e) {
    journal.RollBack();
    RemoveTree(unpack);
    throw EUpdate(true, e.what());
  }
  RemoveTree(unpack);
  journal.Finish();
  progress.Step(14);
  return result;
}

bool TSelfUpdate::CheckUpdate(const std::string& source, bool silent, int language) {
  BusyScope busy(s_);
  try {
    TUpdateCheck c;
    try {
      c = Check(source, language);
    } catch (const EUpdate& e) {
      s_.ShowFailure(kUpdateCheckError, e);
      return false;
    }
    if (!c.Exists) {
      if (!silent) s_.ShowInfo(kNoUpdates);
      return false;
    }
    const bool canInstall = CanInstall();
    if (!Offer || !Offer(c, canInstall) || !canInstall) return false;
    TUpdateInstall done;
    try {
      done = Install(c);
    } catch (const EUpdate& e) {
      s_.ShowFailure(kUpdateInstallError, e);
      return false;
    }
    if (!done.DataFilesKept.empty()) {
      std::vector<std::string> lines;
      for (const std::string& f : done.DataFilesKept) lines.push_back(Format(kDataFileKept, {f}));
      s_.ShowWarning(Join(lines, "\r"));
    }
    return true;
  } catch (const std::exception& e) {
    s_.ShowFailure(kUpdateSystemError, e);
    return false;
  }
}

const std::string& TSelfUpdate::UpdateUrl() const { return s_.Online.UpdateUrl; }

bool TSelfUpdate::AutoUpdates() const { return s_.Frm.ReadFormBool(kMainForm, kAutoUpdatesKey, true); }

bool TSelfUpdate::CanCheckUpdate() const { return s_.IsIdle() && !Trim(UpdateUrl()).empty(); }

void TSelfUpdate::AutoSelfUpdate() {
  try {
    s_.Frm.WriteFormBool(kMainForm, kAutoUpdatesKey, !AutoUpdates());
  } catch (const std::exception& e) {
    s_.ShowError(e.what());
  }
  s_.Host().Changed(Change::Actions);
}

bool TSelfUpdate::StartupCheck(int language) {
  if (Trim(UpdateUrl()).empty()) return false;
  return CheckUpdate(UpdateDescriptorAddress(UpdateUrl()), true, language);
}

}  // namespace quintar
