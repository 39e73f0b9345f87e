#include "listcache.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "form.h"
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
size_t TextSize(const E& e) {
  return e.text.size() + e.authorMail.size();
}

}  // namespace

ListCache::ListCache(AppNames appNames)
    : appNames_(std::move(appNames)),
      scripts_(std::make_shared<View<ScriptEntry>>()),
      systems_(std::make_shared<View<SystemEntry>>()) {}

std::string ListCache::AppName(const std::string& appid) const {
  auto it = appNames_.find(appid);
  return it == appNames_.end() ? appid : it->second;
}

ListCache::ScriptEntry ListCache::ReadScript(const ListCache& self, Stmt& s) {
  ScriptEntry e;
  e.id = static_cast<int>(s.Int(0));
  e.ownerMail = s.Text(1);
  e.ownerHwdid = s.Text(2);
  e.authorMail = PlainValue(s.Text(4));
  e.brief.isPublic = s.Int(9) != 0;
  e.brief.created = s.Int(12);
  std::string appid = s.Text(5);
  int64_t count = s.Int(15);
  char avg[32];
  std::snprintf(avg, sizeof avg, "%.3f", count > 0 ? static_cast<double>(s.Int(16)) / static_cast<double>(count) : 0.0);
  std::string head = "<row>", mid, tail;
  Element(head, "id", s.Int(0));
  Element(head, "app_name", PlainValue(self.AppName(appid)));
  Element(head, "app_ver", PlainValue(s.Text(6)));
  Element(head, "key_cl_name", PlainValue(s.Text(3)));
  head += "<key_cl_mail>";
  mid = "</key_cl_mail>";
  Element(mid, "key_cl_lcid", s.Int(7));
  Element(mid, "uniapps", s.Int(8) ? 1 : 0);
  Element(mid, "publics", e.brief.isPublic ? 1 : 0);
  Element(mid, "created", FormatUtc(e.brief.created));
  Element(mid, "rating_avg", avg);
  Element(mid, "rating_cnt", count);
  mid += "<rating_you>";
  tail = "</rating_you>";
  Element(tail, "downloads", s.Int(13));
  Element(tail, "last_download", FormatUtc(s.Int(14)));
  Element(tail, "title", Base64Encode(s.Text(10)));
  Element(tail, "descr", Base64Encode(s.Text(11)));
  Element(tail, "app_guid", PlainValue(appid));
  tail += "</row>\n";
  const std::string masked = e.authorMail.empty() ? "" : "***";
  e.text = head + masked + mid + "0" + tail;
  e.mailAt = static_cast<uint32_t>(head.size());
  e.mailLen = static_cast<uint32_t>(masked.size());
  e.youAt = static_cast<uint32_t>(head.size() + masked.size() + mid.size());
  return e;
}

ListCache::SystemEntry ListCache::ReadSystem(Stmt& s) {
  SystemEntry e;
  e.id = static_cast<int>(s.Int(0));
  e.ownerMail = s.Text(1);
  e.ownerHwdid = s.Text(2);
  e.authorMail = PlainValue(s.Text(4));
  e.brief.nums = static_cast<int>(s.Int(5));
  e.brief.clen = static_cast<int>(s.Int(6));
  std::string head = "<row>", tail;
  Element(head, "id", s.Int(0));
  Element(head, "nums", e.brief.nums);
  Element(head, "olap", s.Int(7));
  Element(head, "csize", s.Int(8));
  Element(head, "title", Base64Encode(s.Text(9)));
  Element(head, "descr", Base64Encode(s.Text(10)));
  Element(head, "author", PlainValue(s.Text(3)));
  head += "<cl_mail>";
  tail = "</cl_mail>";
  Element(tail, "url", PlainValue(s.Text(11)));
  Element(tail, "created", FormatUtc(s.Int(12)));
  Element(tail, "downloads", s.Int(13));
  Element(tail, "last_download", FormatUtc(s.Int(14)));
  tail += "</row>\n";
  const std::string masked = e.authorMail.empty() ? "" : "***";
  e.text = head + masked + tail;
  e.mailAt = static_cast<uint32_t>(head.size());
  e.mailLen = static_cast<uint32_t>(masked.size());
  return e;
}

void ListCache::Reload(Db& db, int64_t generation) {
  auto scripts = std::make_shared<View<ScriptEntry>>();
  auto systems = std::make_shared<View<SystemEntry>>();
  std::unordered_map<std::string, std::unordered_map<int, int>> ratings;
  {
    Stmt s(db, (std::string(kScriptColumns) + "GROUP BY s.id ORDER BY s.id").c_str());
    while (s.Step()) {
      scripts->rows.push_back(RefOf(std::make_shared<const ScriptEntry>(ReadScript(*this, s))));
      scripts->bytes += TextSize(*scripts->rows.back().e);
    }
  }
  {
    Stmt s(db, (std::string(kSystemColumns) + "ORDER BY id").c_str());
    while (s.Step()) {
      systems->rows.push_back(RefOf(std::make_shared<const SystemEntry>(ReadSystem(s))));
      systems->bytes += TextSize(*systems->rows.back().e);
    }
  }
  {
    Stmt s(db, "SELECT script_id, user_mail, user_hwdid, rate FROM ratings");
    while (s.Step()) ratings[s.Text(1) + '\n' + s.Text(2)][static_cast<int>(s.Int(0))] = static_cast<int>(s.Int(3));
  }
  {
    std::lock_guard<std::mutex> lock(viewMutex_);
    scripts_ = std::move(scripts);
    systems_ = std::move(systems);
  }
  {
    std::lock_guard<std::mutex> lock(ratingsMutex_);
    ratings_.swap(ratings);
  }
  generation_ = generation;
  pending_ = generation;
}

std::shared_ptr<ListCache::Prepared> ListCache::Prepare(Db& db, const CacheDelta& delta) const {
  auto p = std::make_shared<Prepared>();
  if (!delta.Scripts.empty()) {
    Stmt s(db, (std::string(kScriptColumns) + "WHERE s.id = ?1 GROUP BY s.id").c_str());
    for (int id : delta.Scripts) {
      s.Bind(1, id);
      p->scripts[id] = s.Step() ? std::make_shared<const ScriptEntry>(ReadScript(*this, s)) : nullptr;
      s.Reset();
    }
  }
  if (!delta.Systems.empty()) {
    Stmt s(db, (std::string(kSystemColumns) + "WHERE id = ?1").c_str());
    for (int id : delta.Systems) {
      s.Bind(1, id);
      p->systems[id] = s.Step() ? std::make_shared<const SystemEntry>(ReadSystem(s)) : nullptr;
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

uint64_t ListCache::OwnerHash(const std::string& mail, const std::string& hwdid) {
  return std::hash<std::string>{}(mail + '\n' + hwdid);
}

template <class E>
typename ListCache::View<E>::Ref ListCache::RefOf(std::shared_ptr<const E> e) {
  return {e->id, OwnerHash(e->ownerMail, e->ownerHwdid), e->brief, std::move(e)};
}

// A new view: the old one's rows with the changed ones put in their places by id (nullptr: taken out).
template <class E>
std::shared_ptr<const ListCache::View<E>> ListCache::Changed(const View<E>& old,
                                                             const std::map<int, std::shared_ptr<const E>>& changes) {
  auto v = std::make_shared<View<E>>();
  v->rows.reserve(old.rows.size() + changes.size());
  v->bytes = old.bytes;
  auto it = old.rows.begin();
  for (const auto& [id, e] : changes) {
    for (; it != old.rows.end() && it->id < id; ++it) v->rows.push_back(*it);
    if (it != old.rows.end() && it->id == id) v->bytes -= TextSize(*(it++)->e);
    if (e) {
      v->bytes += TextSize(*e);
      v->rows.push_back(RefOf(e));
    }
  }
  v->rows.insert(v->rows.end(), it, old.rows.end());
  return v;
}

void ListCache::Apply(const Prepared& p, int64_t generation) {
  std::shared_ptr<const View<ScriptEntry>> scripts;
  std::shared_ptr<const View<SystemEntry>> systems;
  {
    std::lock_guard<std::mutex> lock(viewMutex_);
    scripts = scripts_;
    systems = systems_;
  }
  if (!p.scripts.empty()) scripts = Changed(*scripts, p.scripts);
  if (!p.systems.empty()) systems = Changed(*systems, p.systems);
  {
    std::lock_guard<std::mutex> lock(viewMutex_);
    scripts_.swap(scripts);
    systems_.swap(systems);
  }
  {
    std::lock_guard<std::mutex> lock(ratingsMutex_);
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
  }
  generation_ = generation;
  // The old views go here, outside the locks, unless a list still holds them.
}

void ListCache::ScriptRows(std::string& out, const User& user, int fltid, int64_t now) const {
  std::shared_ptr<const View<ScriptEntry>> view;
  {
    std::lock_guard<std::mutex> lock(viewMutex_);
    view = scripts_;
  }
  std::unordered_map<int, int> mine;
  {
    std::lock_guard<std::mutex> lock(ratingsMutex_);
    auto u = ratings_.find(user.Key());
    if (u != ratings_.end()) mine = u->second;
  }
  // First the rows the list keeps, with what depends on the asker, and their size: the answer is then
  // written into memory of exactly its size.
  struct Kept {
    const ScriptEntry* e;
    bool own;
    int you;
  };
  std::vector<Kept> kept;
  size_t bytes = 0;
  const uint64_t me = user.Mail.empty() ? 0 : OwnerHash(user.Mail, user.Hwdid);
  for (const auto& row : view->rows) {
    bool own = !user.Mail.empty() && row.owner == me && user.Owns(row.e->ownerMail, row.e->ownerHwdid);
    if (!row.brief.isPublic && !own) continue;
    int you = 0;
    if (!mine.empty()) {
      auto r = mine.find(row.id);
      if (r != mine.end()) you = r->second;
    }
    bool keep = false;
    switch (fltid) {
      case -1: keep = you == -1; break;
      case 0: keep = true; break;
      case 1: keep = you != -1; break;
      case 2: keep = own; break;
      case 3: keep = row.brief.isPublic && you != -1; break;
      case 4: keep = you >= 1; break;
      case 5: keep = you == 0; break;
      case 6: keep = you != -1 && row.brief.created >= now - 86400; break;
      default: break;
    }
    if (!keep) continue;
    const ScriptEntry& e = *row.e;
    kept.push_back({&e, own, you});
    bytes += e.text.size() + (own ? e.authorMail.size() : 0) + (you < 0 ? 1 : 0);
  }
  out.reserve(out.size() + bytes + 64);
  for (const Kept& k : kept) {
    const ScriptEntry& e = *k.e;
    if (!k.own && k.you == 0) {
      out += e.text;  // the common row, in one piece
      continue;
    }
    std::string_view t = e.text;
    out += t.substr(0, e.mailAt);
    out += k.own ? std::string_view(e.authorMail) : t.substr(e.mailAt, e.mailLen);
    out += t.substr(e.mailAt + e.mailLen, e.youAt - e.mailAt - e.mailLen);
    if (k.you < 0) out += '-';
    out += static_cast<char>('0' + (k.you < 0 ? -k.you : k.you));
    out += t.substr(e.youAt + 1);
  }
}

void ListCache::SystemRows(std::string& out, const User& user, int comblen, int maxnums) const {
  std::shared_ptr<const View<SystemEntry>> view;
  {
    std::lock_guard<std::mutex> lock(viewMutex_);
    view = systems_;
  }
  out.reserve(out.size() + view->bytes + view->rows.size() * 4 + 64);
  for (const auto& row : view->rows) {
    if (row.brief.clen != comblen || row.brief.nums > maxnums) continue;
    const SystemEntry& e = *row.e;
    if (!user.Owns(e.ownerMail, e.ownerHwdid)) {
      out += e.text;
      continue;
    }
    std::string_view t = e.text;
    out += t.substr(0, e.mailAt);
    out += e.authorMail;
    out += t.substr(e.mailAt + e.mailLen);
  }
}

}  // namespace quintar::catalogue
