#include "listcache.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "online/taggedtext.h"
#include "store.h"

namespace quintar::catalogue {

namespace {

const char kScriptColumns[] =
    "SELECT s.id, s.owner_mail, s.owner_hwdid, s.author_name, s.author_mail, s.appid, s.appver, s.lcid, "
    "s.uniapps, s.publics, s.title, s.descr, s.created, s.downloads, s.last_download, COUNT(r.rate), "
    "TOTAL(r.rate) FROM scripts s LEFT JOIN ratings r ON r.script_id = s.id AND r.rate > 0 ";
const char kSystemColumns[] =
    "SELECT id, owner_mail, owner_hwdid, author_name, author_mail, nums, clen, olap, csize, title, descr, url, "
    "created, downloads, last_download FROM systems ";

// A value that goes back without Base64: markers and control characters never do.
std::string Plain(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '<' || c == '>' || static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return out;
}

void Element(std::string& out, const char* name, std::string_view value) {
  out += '<';
  out += name;
  out += '>';
  out += value;
  out += "</";
  out += name;
  out += '>';
}

void Element(std::string& out, const char* name, int64_t value) { Element(out, name, std::to_string(value)); }

template <class E>
size_t Size(const E& e) {
  return e.head.size() + e.tail.size() + e.authorMail.size();
}

// Puts an entry in its place by id (or takes it out when there is none), keeping the byte count.
template <class E>
void Upsert(std::vector<E>& v, int id, const std::optional<E>& e, size_t& bytes, size_t (*size)(const E&)) {
  auto it = std::lower_bound(v.begin(), v.end(), id, [](const E& x, int k) { return x.id < k; });
  bool found = it != v.end() && it->id == id;
  if (found) bytes -= size(*it);
  if (e) {
    bytes += size(*e);
    if (found)
      *it = *e;
    else
      v.insert(it, *e);
  } else if (found) {
    v.erase(it);
  }
}

}  // namespace

WriterFirstLock::WriterFirstLock() {
  pthread_rwlockattr_t attr;
  pthread_rwlockattr_init(&attr);
  pthread_rwlockattr_setkind_np(&attr, PTHREAD_RWLOCK_PREFER_WRITER_NONRECURSIVE_NP);
  pthread_rwlock_init(&lock_, &attr);
  pthread_rwlockattr_destroy(&attr);
}
WriterFirstLock::~WriterFirstLock() { pthread_rwlock_destroy(&lock_); }
void WriterFirstLock::lock() { pthread_rwlock_wrlock(&lock_); }
void WriterFirstLock::unlock() { pthread_rwlock_unlock(&lock_); }
void WriterFirstLock::lock_shared() { pthread_rwlock_rdlock(&lock_); }
void WriterFirstLock::unlock_shared() { pthread_rwlock_unlock(&lock_); }

std::string ListCache::AppName(const std::string& appid) const {
  auto it = appNames_.find(appid);
  return it == appNames_.end() ? appid : it->second;
}

ListCache::ScriptEntry ListCache::ReadScript(const ListCache& self, Stmt& s) {
  ScriptEntry e;
  e.id = static_cast<int>(s.Int(0));
  e.ownerMail = s.Text(1);
  e.ownerHwdid = s.Text(2);
  e.authorMail = Plain(s.Text(4));
  e.isPublic = s.Int(9) != 0;
  e.created = s.Int(12);
  std::string appid = s.Text(5);
  int64_t count = s.Int(15);
  char avg[32];
  std::snprintf(avg, sizeof avg, "%.3f",
                count > 0 ? static_cast<double>(s.Int(16)) / static_cast<double>(count) : 0.0);
  e.head = "<row>";
  Element(e.head, "id", s.Int(0));
  Element(e.head, "app_name", Plain(self.AppName(appid)));
  Element(e.head, "app_ver", Plain(s.Text(6)));
  Element(e.head, "key_cl_name", Plain(s.Text(3)));
  e.head += "<key_cl_mail>";
  e.mid = "</key_cl_mail>";
  Element(e.mid, "key_cl_lcid", s.Int(7));
  Element(e.mid, "uniapps", s.Int(8) ? 1 : 0);
  Element(e.mid, "publics", e.isPublic ? 1 : 0);
  Element(e.mid, "created", FormatUtc(e.created));
  Element(e.mid, "rating_avg", avg);
  Element(e.mid, "rating_cnt", count);
  e.mid += "<rating_you>";
  e.tail = "</rating_you>";
  Element(e.tail, "downloads", s.Int(13));
  Element(e.tail, "last_download", FormatUtc(s.Int(14)));
  Element(e.tail, "title", Base64Encode(s.Text(10)));
  Element(e.tail, "descr", Base64Encode(s.Text(11)));
  Element(e.tail, "app_guid", Plain(appid));
  e.tail += "</row>\n";
  return e;
}

ListCache::SystemEntry ListCache::ReadSystem(Stmt& s) {
  SystemEntry e;
  e.id = static_cast<int>(s.Int(0));
  e.ownerMail = s.Text(1);
  e.ownerHwdid = s.Text(2);
  e.authorMail = Plain(s.Text(4));
  e.nums = static_cast<int>(s.Int(5));
  e.clen = static_cast<int>(s.Int(6));
  e.head = "<row>";
  Element(e.head, "id", s.Int(0));
  Element(e.head, "nums", e.nums);
  Element(e.head, "olap", s.Int(7));
  Element(e.head, "csize", s.Int(8));
  Element(e.head, "title", Base64Encode(s.Text(9)));
  Element(e.head, "descr", Base64Encode(s.Text(10)));
  Element(e.head, "author", Plain(s.Text(3)));
  e.head += "<cl_mail>";
  e.tail = "</cl_mail>";
  Element(e.tail, "url", Plain(s.Text(11)));
  Element(e.tail, "created", FormatUtc(s.Int(12)));
  Element(e.tail, "downloads", s.Int(13));
  Element(e.tail, "last_download", FormatUtc(s.Int(14)));
  e.tail += "</row>\n";
  return e;
}

void ListCache::Reload(Db& db, int64_t generation) {
  std::vector<ScriptEntry> scripts;
  std::vector<SystemEntry> systems;
  std::unordered_map<std::string, std::unordered_map<int, int>> ratings;
  size_t scriptBytes = 0, systemBytes = 0;
  {
    Stmt s(db, (std::string(kScriptColumns) + "GROUP BY s.id ORDER BY s.id").c_str());
    while (s.Step()) {
      scripts.push_back(ReadScript(*this, s));
      scriptBytes += ScriptSize(scripts.back());
    }
  }
  {
    Stmt s(db, (std::string(kSystemColumns) + "ORDER BY id").c_str());
    while (s.Step()) {
      systems.push_back(ReadSystem(s));
      systemBytes += Size(systems.back());
    }
  }
  {
    Stmt s(db, "SELECT script_id, user_mail, user_hwdid, rate FROM ratings");
    while (s.Step()) ratings[s.Text(1) + '\n' + s.Text(2)][static_cast<int>(s.Int(0))] = static_cast<int>(s.Int(3));
  }
  std::unique_lock lock(mutex_);
  scripts_.swap(scripts);
  systems_.swap(systems);
  ratings_.swap(ratings);
  scriptBytes_ = scriptBytes;
  systemBytes_ = systemBytes;
  generation_ = generation;
  pending_ = generation;
}

std::shared_ptr<ListCache::Prepared> ListCache::Prepare(Db& db, const CacheDelta& delta) const {
  auto p = std::make_shared<Prepared>();
  if (!delta.Scripts.empty()) {
    Stmt s(db, (std::string(kScriptColumns) + "WHERE s.id = ?1 GROUP BY s.id").c_str());
    for (int id : delta.Scripts) {
      s.Bind(1, id);
      if (s.Step())
        p->scripts[id] = ReadScript(*this, s);
      else
        p->scripts[id] = std::nullopt;
      s.Reset();
    }
  }
  if (!delta.Systems.empty()) {
    Stmt s(db, (std::string(kSystemColumns) + "WHERE id = ?1").c_str());
    for (int id : delta.Systems) {
      s.Bind(1, id);
      if (s.Step())
        p->systems[id] = ReadSystem(s);
      else
        p->systems[id] = std::nullopt;
      s.Reset();
    }
  }
  if (!delta.Ratings.empty()) {
    Stmt s(db, "SELECT rate FROM ratings WHERE script_id = ?1 AND user_mail = ?2 AND user_hwdid = ?3");
    for (const auto& [id, key] : delta.Ratings) {
      size_t nl = key.find('\n');
      s.Bind(1, id).Bind(2, std::string_view(key).substr(0, nl)).Bind(3, std::string_view(key).substr(nl + 1));
      p->ratings[{id, key}] = s.Step() ? static_cast<int>(s.Int(0)) : 0;
      s.Reset();
    }
  }
  return p;
}

void ListCache::Apply(const Prepared& p, int64_t generation) {
  std::unique_lock lock(mutex_);
  for (const auto& [id, e] : p.scripts) Upsert(scripts_, id, e, scriptBytes_, &ScriptSize);
  for (const auto& [id, e] : p.systems) Upsert(systems_, id, e, systemBytes_, &Size<SystemEntry>);
  for (const auto& [k, rate] : p.ratings) {
    if (rate == 0) {
      auto u = ratings_.find(k.second);
      if (u != ratings_.end()) {
        u->second.erase(k.first);
        if (u->second.empty()) ratings_.erase(u);
      }
    } else {
      ratings_[k.second][k.first] = rate;
    }
  }
  generation_ = generation;
}

void ListCache::ScriptRows(std::string& out, const User& user, int fltid, int64_t now) const {
  std::shared_lock lock(mutex_);
  static const std::unordered_map<int, int> kNone;
  auto u = ratings_.find(user.Key());
  const auto& mine = u == ratings_.end() ? kNone : u->second;
  out.reserve(out.size() + scriptBytes_ + scripts_.size() * 8 + 256);
  for (const ScriptEntry& e : scripts_) {
    bool own = user.Owns(e.ownerMail, e.ownerHwdid);
    if (!e.isPublic && !own) continue;
    int you = 0;
    if (!mine.empty()) {
      auto r = mine.find(e.id);
      if (r != mine.end()) you = r->second;
    }
    bool keep = false;
    switch (fltid) {
      case -1: keep = you == -1; break;
      case 0: keep = true; break;
      case 1: keep = you != -1; break;
      case 2: keep = own; break;
      case 3: keep = e.isPublic && you != -1; break;
      case 4: keep = you >= 1; break;
      case 5: keep = you == 0; break;
      case 6: keep = you != -1 && e.created >= now - 86400; break;
      default: break;
    }
    if (!keep) continue;
    out += e.head;
    if (own)
      out += e.authorMail;
    else if (!e.authorMail.empty())
      out += "***";
    out += e.mid;
    if (you < 0) out += '-';
    out += static_cast<char>('0' + (you < 0 ? -you : you));
    out += e.tail;
  }
}

void ListCache::SystemRows(std::string& out, const User& user, int comblen, int maxnums) const {
  std::shared_lock lock(mutex_);
  out.reserve(out.size() + systemBytes_ + systems_.size() * 4 + 256);
  for (const SystemEntry& e : systems_) {
    if (e.clen != comblen || e.nums > maxnums) continue;
    out += e.head;
    if (user.Owns(e.ownerMail, e.ownerHwdid))
      out += e.authorMail;
    else if (!e.authorMail.empty())
      out += "***";
    out += e.tail;
  }
}

size_t ListCache::ScriptCount() const {
  std::shared_lock lock(mutex_);
  return scripts_.size();
}

}  // namespace quintar::catalogue
