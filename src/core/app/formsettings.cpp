#include "app/formsettings.h"

namespace quintar {

bool FormSettings::ReadFormBool(std::string_view window, std::string_view key, bool def) const {
  return IniFile(path_).ReadBool(window, key, def);
}

int FormSettings::ReadFormInt(std::string_view window, std::string_view key, int def) const {
  return IniFile(path_).ReadInteger(window, key, def);
}

std::string FormSettings::ReadFormString(std::string_view window, std::string_view key,
                                         std::string_view def) const {
  return IniFile(path_).ReadString(window, key, def);
}

void FormSettings::WriteFormBool(std::string_view window, std::string_view key, bool value) {
  IniFile ini(path_);
  ini.WriteBool(window, key, value);
  ini.UpdateFile();
}

void FormSettings::WriteFormInt(std::string_view window, std::string_view key, int value) {
  IniFile ini(path_);
  ini.WriteInteger(window, key, value);
  ini.UpdateFile();
}

void FormSettings::WriteFormString(std::string_view window, std::string_view key, std::string_view value) {
  IniFile ini(path_);
  ini.WriteString(window, key, value);
  ini.UpdateFile();
}

}  // namespace quintar
