// The window-settings file "Quintar_7x35.frm": one INI section per window class. Every read opens the
// file and reads one key; every write changes one key and writes the file back at once, so a setting
// changed by a command survives a crash. A missing or unreadable file gives every key its default.
#pragma once

#include <string>
#include <string_view>

#include "util/inifile.h"

namespace quintar {

class FormSettings {
 public:
  FormSettings() = default;
  explicit FormSettings(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  bool ReadFormBool(std::string_view window, std::string_view key, bool def) const;
  int ReadFormInt(std::string_view window, std::string_view key, int def) const;
  std::string ReadFormString(std::string_view window, std::string_view key, std::string_view def) const;
  void WriteFormBool(std::string_view window, std::string_view key, bool value);
  void WriteFormInt(std::string_view window, std::string_view key, int value);
  void WriteFormString(std::string_view window, std::string_view key, std::string_view value);

  // Several keys at once (placement, list layouts): read the file once, write it once.
  IniFile Open() const { return IniFile(path_); }
  void Store(const IniFile& ini) { ini.UpdateFile(); }

 private:
  std::string path_;
};

inline constexpr const char* kMainForm = "TFormMain";

}  // namespace quintar
