#include "util/inifile.h"

#include "util/cp1251.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

IniFile::IniFile(std::string path) : path_(std::move(path)) { Reload(); }

void IniFile::Reload() {
  Clear();
  if (path_.empty() || !FileExists(path_)) return;
  try {
    SetText(Cp1251ToUtf8(ReadWholeFile(path_)));
  } catch (const FileError&) {
    Clear();
  }
}

void IniFile::SetText(std::string_view text) {
  Clear();
  Section* cur = nullptr;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t e = text.find_first_of("\r\n", pos);
    if (e == std::string_view::npos) e = text.size();
    std::string line = Trim(text.substr(pos, e - pos));
    pos = e + 1;
    if (e < text.size() && text[e] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      cur = &Get(name);
      continue;
    }
    if (!cur) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    // The first occurrence wins, as with the system's INI reader.
    if (cur->index.emplace(AnsiUpperCase(key), cur->values.size()).second) cur->values.emplace_back(key, value);
    if (e >= text.size()) break;
  }
}

std::string IniFile::ToText() const {
  std::string out;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i) out += "\r\n";
    out += "[" + sections_[i].name + "]\r\n";
    for (const auto& kv : sections_[i].values) out += kv.first + "=" + kv.second + "\r\n";
  }
  return out;
}

void IniFile::UpdateFile() const {
  if (path_.empty()) return;
  WriteFileAtomic(path_, Utf8ToCp1251(ToText()));
}

const std::pair<std::string, std::string>* IniFile::Section::FindValue(std::string_view key) const {
  auto it = index.find(AnsiUpperCase(key));
  return it == index.end() ? nullptr : &values[it->second];
}

void IniFile::Section::Reindex() {
  index.clear();
  for (size_t i = 0; i < values.size(); ++i) index.emplace(AnsiUpperCase(values[i].first), i);
}

void IniFile::ReindexSections() {
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace(AnsiUpperCase(sections_[i].name), i);
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  auto it = sectionIndex_.find(AnsiUpperCase(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section& IniFile::Get(std::string_view section) {
  auto [it, added] = sectionIndex_.emplace(AnsiUpperCase(section), sections_.size());
  if (added) sections_.push_back(Section{std::string(section), {}, {}});
  return sections_[it->second];
}

bool IniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  return s && s->FindValue(key);
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> out;
  for (const auto& s : sections_) out.push_back(s.name);
  return out;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = Find(section))
    for (const auto& kv : s->values) out.push_back(kv.first);
  return out;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(std::string_view section) const {
  if (const Section* s = Find(section)) return s->values;
  return {};
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  if (const Section* s = Find(section))
    if (auto* kv = s->FindValue(key)) return kv->second;
  return std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  return StrToIntDef(ReadString(section, key, ""), def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  return StrToFloatDef(ReadString(section, key, ""), def);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = Get(section);
  std::string v = Trim(value);
  auto [it, added] = s.index.emplace(AnsiUpperCase(key), s.values.size());
  if (added)
    s.values.emplace_back(std::string(key), std::move(v));
  else
    s.values[it->second].second = std::move(v);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FloatToStr(value));
}

void IniFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it)
    if (AnsiSameText(it->name, section)) {
      sections_.erase(it);
      ReindexSections();
      return;
    }
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  auto si = sectionIndex_.find(AnsiUpperCase(section));
  if (si == sectionIndex_.end()) return;
  Section& s = sections_[si->second];
  auto it = s.index.find(AnsiUpperCase(key));
  if (it == s.index.end()) return;
  s.values.erase(s.values.begin() + static_cast<std::ptrdiff_t>(it->second));
  s.Reindex();
}

}  // namespace quintar
