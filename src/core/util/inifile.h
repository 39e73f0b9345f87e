// INI text files in Windows-1251: the whole file is read, changed in memory and written back with
// UpdateFile (through a temporary file and rename). Section and key names are compared without regard
// to case; values are trimmed. Booleans are written "1"/"0" and read as a non-zero integer.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quintar {

class IniFile {
 public:
  IniFile() = default;
  // Reads the file when it exists; a missing or unreadable file gives an empty store.
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }
  void Reload();
  // Writes the store back at once; raises FileError on failure.
  void UpdateFile() const;
  // Whole-text form (UTF-8, CR LF) and parsing from it, for files read or written elsewhere.
  std::string ToText() const;
  void SetText(std::string_view utf8);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // key names in file order
  // Key=value pairs of a section in file order.
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  double ReadFloat(std::string_view section, std::string_view key, double def) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteFloat(std::string_view section, std::string_view key, double value);

  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);
  void Clear() {
    sections_.clear();
    sectionIndex_.clear();
  }

 private:
  // Names are looked up by their upper-case form, so that reading a file of many keys stays linear.
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
    std::unordered_map<std::string, size_t> index;  // upper-case key -> position in values
    const std::pair<std::string, std::string>* FindValue(std::string_view key) const;
    void Reindex();
  };
  const Section* Find(std::string_view section) const;
  Section& Get(std::string_view section);
  void ReindexSections();

  std::string path_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // upper-case name -> position in sections_
};

}  // namespace quintar
