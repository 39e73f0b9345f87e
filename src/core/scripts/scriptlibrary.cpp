#include "scripts/scriptlibrary.h"

#include "app/session.h"
#include "online/taggedtext.h"
#include "scripts/scriptfile.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

// Texts of the panel -------------------------------------------------------------------------------------

const std::vector<std::string>& ScriptLibraryFilterTexts() {
  static const std::vector<std::string> texts = {"Скрытые",
                                                 "Все, включая скрытые",
                                                 "Все, кроме скрытых (по умолчанию)",
                                                 "Только мои",
                                                 "Только публичные",
                                                 "С моими оценками",
                                                 "Без моих оценок",
                                                 "Новые (24 часа с момента публикации)"};
  return texts;
}

std::vector<std::string> ScriptLibraryCaptions() {
  return {"Тип",    "Название", "Автор",  "Программа",   "Версия",   "Язык",      "Создан",
          "Рейтинг", "Оценок",   "Ваша оценка", "Загрузок", "Последняя", "Комментарии"};
}

std::string CatalogueLanguageAbbrev(int lcid) {
  static const struct {
    int lcid;
    const char* abbrev;
  } kLanguages[] = {{1049, "RUS"}, {1033, "ENU"}, {2057, "ENG"}, {1031, "DEU"}, {1036, "FRA"}, {1040, "ITA"},
                    {1034, "ESP"}, {1045, "PLK"}, {1058, "UKR"}, {1059, "BEL"}, {1029, "CSY"}, {1087, "KKZ"}};
  for (const auto& l : kLanguages)
    if (l.lcid == lcid) return l.abbrev;
  return "";
}

std::string RatingAvgText(double v) { return ReplaceAll(Format("%.3n", {v}), "\xC2\xA0", " "); }

std::vector<std::string> ScriptLibraryCells(const tScriptInfo& r) {
  return {r.Mine ? "Мой" : "Общий",
          r.Title,
          r.AuthorName,
          r.Universal ? "Универсальный" : r.AppName,
          r.AppVer,
          CatalogueLanguageAbbrev(r.Lcid),
          CatalogueTimeText(r.Created),
          RatingAvgText(r.RatingAvg),
          std::to_string(r.RatingCount),
          r.YourRating < 0 ? "Скрытый" : r.YourRating > 0 ? std::to_string(r.YourRating) : "",
          std::to_string(r.Downloads),
          CatalogueTimeText(r.LastDownload),
          r.Descr};
}

std::vector<std::string> ScriptRatesCaptions() { return {"Имя", "Оценка", "Дата", "Программа", "Версия", "Комментарии"}; }

std::vector<std::string> ScriptRateCells(const TScriptRate& r) {
  return {r.Name, r.Rate, CatalogueTimeText(r.Created), r.AppName, r.AppVer, r.Notes};
}

// The catalogue ------------------------------------------------------------------------------------------

void TScriptLibrary::ReadKeys() {
  PanelShown = s_.Frm.ReadFormBool(kMainForm, kScriptLibraryOnKey, true);
  const int entry = s_.Frm.ReadFormInt(kMainForm, kScriptLibraryFilterKey, kScriptLibraryFilterDefault);
  FilterEntry = entry >= 0 && entry < static_cast<int>(ScriptLibraryFilterTexts().size()) ? entry
                                                                                           : kScriptLibraryFilterDefault;
}

int TScriptLibrary::FindRow(int id) const {
  for (size_t i = 0; i < Rows.size(); ++i)
    if (Rows[i].Id == id) return static_cast<int>(i);
  return -1;
}

bool TScriptLibrary::CanToggle() const { return s_.IsIdle(); }
bool TScriptLibrary::CanRefresh() const { return s_.IsIdle() && PanelShown; }
bool TScriptLibrary::CanDownload(int row) const { return CanRefresh() && Has(row) && Rows[size_t(row)].Usable; }
bool TScriptLibrary::CanUpload() const { return CanRefresh() && !s_.ScriptLines.empty(); }
bool TScriptLibrary::CanReplace(int row) const { return CanDelete(row) && !s_.ScriptLines.empty(); }
bool TScriptLibrary::CanDelete(int row) const { return CanRefresh() && Has(row) && Rows[size_t(row)].Editable; }
bool TScriptLibrary::CanView(int row) const { return CanRefresh() && Has(row); }
bool TScriptLibrary::CanRate0(int row) const { return CanView(row) && Rows[size_t(row)].YourRating != 0; }

TCatalogueIdentity TScriptLibrary::Identity() {
  return MakeCatalogueIdentity(s_.Online.Catalogue, Language, s_.FilePath(".ini"));
}

std::string TScriptLibrary::Post(const char* request, const TCatalogueForm& form) {
  return CataloguePost(s_.Online.Catalogue, Tuning, request, form, [this] { s_.Host().ProcessEvents(); });
}

void TScriptLibrary::ShowChange() {
  s_.Host().Changed(Change::ScriptLibrary);
  s_.Host().Changed(Change::Actions);
}

// Requests -----------------------------------------------------------------------------------------------

void TScriptLibrary::RequestList(int fltid, std::vector<tScriptInfo>& rows) {
  const TCatalogueIdentity id = Identity();
  TCatalogueForm form{{"fltid", std::to_string(fltid)}};
  AddIdentity(form, id);
  TCatalogueAnswer answer(Post("scr_getlist", form));
  std::string row;
  while (answer.Next(row)) {
    auto field = [&](const char* name) { return CatalogueField(row, name); };
    tScriptInfo r;
    r.Id = StrictNumber(field("id"));
    r.AppName = Utf8ToAnsi(field("app_name"));
    r.AppVer = Utf8ToAnsi(field("app_ver"));
    r.AuthorName = Utf8ToAnsi(field("key_cl_name"));
    r.AuthorMail = Utf8ToAnsi(field("key_cl_mail"));
    r.Lcid = LenientNumber(field("key_cl_lcid"), Language);
    r.Universal = LenientNumber(field("uniapps"), 0) > 0;
    r.Public = LenientNumber(field("publics"), 0) > 0;
    r.Created = ServiceTimeToLocal(field("created"));
    r.RatingAvg = RatingNumber(field("rating_avg"));
    r.RatingCount = LenientNumber(field("rating_cnt"), 0);
    r.YourRating = LenientNumber(field("rating_you"), 0);
    r.Downloads = LenientNumber(field("downloads"), 0);
    r.LastDownload = ServiceTimeToLocal(field("last_download"));
    r.Title = Base64Utf8Text(field("title"));
    r.Descr = Base64Utf8Text(field("descr"));
    // The user's own scripts need his e-mail: without one, nothing is his.
    r.Mine = !Trim(id.Mail).empty() && AnsiSameText(Trim(r.AuthorMail), Trim(id.Mail));
    r.Usable = r.Universal || AnsiSameText(field("app_guid"), id.AppId);
    r.Editable = r.Mine && r.Usable;
    rows.push_back(std::move(r));
  }
}

std::vector<std::string> TScriptLibrary::RequestScript(int scriptId) {
  // The identity after the script's id lets the service give a private script to its owner only.
  TCatalogueForm form{{"scr_id", std::to_string(scriptId)}};
  AddIdentity(form, Identity());
  TCatalogueAnswer answer(Post("scr_getdata", form));
  std::string row;
  while (answer.Next(row)) {
    if (!StartsWithText(row, "<script>")) continue;
    const std::string text = Base64Utf8Text(CatalogueField(row, "script"));
    if (!text.empty()) return ScriptTextLines(Utf8ToCp1251(text));
  }
  throw EQuintar(kScriptNotReturned);
}

void TScriptLibrary::RequestRate(int scriptId, int value, const std::string& comment) {
  TCatalogueForm form{{"scr_id", std::to_string(scriptId)}, {"rate_value", std::to_string(value)}};
  AddEscaped(form, "rate_notes", comment);
  AddIdentity(form, Identity());
  TCatalogueAnswer answer(Post("scr_setrate", form));
  std::optional<int> code;
  std::string row;
  while (answer.Next(row)) code = StrictNumber(CatalogueField(row, "res_code"));
  if (!code) throw EQuintar(kNoResultText);
  if (*code < 0) throw EQuintar(Format(kReturnCodeText, {*code}));
}

bool TScriptLibrary::RequestTitleFree(int scriptId, const std::string& title) {
  TCatalogueForm form{{"scr_id", std::to_string(scriptId)}};
  AddEscaped(form, "scr_title", title);
  TCatalogueAnswer answer(Post("scr_chktitle", form));
  std::string row;
  while (answer.Next(row))
    if (StrictNumber(CatalogueField(row, "ret_code")) == 0) return true;
  return false;
}

int TScriptLibrary::RequestPut(bool del, const tScriptData& d, const std::vector<std::string>* lines) {
  const TCatalogueIdentity id = Identity();
  TCatalogueForm form{{"del_mode", del ? "1" : "0"},
                      {"scr_id", std::to_string(d.Id)},
                      {"scr_uniapps", d.Universal ? "1" : "0"},
                      {"scr_publics", d.Public ? "1" : "0"}};
  AddEscaped(form, "scr_title", d.Title);
  AddEscaped(form, "scr_descr", d.Descr);
  if (!del) {
    std::string script;
    if (lines)
      for (const std::string& l : *lines) script += l + "\r\n";
    AddEscaped(form, "scr_script", script);
  }
  AddIdentity(form, id, d.AuthorName, id.Mail, d.Lcid);
  TCatalogueAnswer answer(Post("scr_putscript", form));
  int result = -1;
  std::string row;
  while (answer.Next(row)) result = StrictNumber(CatalogueField(row, "id_scripts"));
  return result;
}

std::vector<TScriptRate> TScriptLibrary::RequestRates(int scriptId) {
  TCatalogueForm form{{"scr_id", std::to_string(scriptId)}};
  AddIdentity(form, Identity());
  TCatalogueAnswer answer(Post("scr_getrates", form));
  std::vector<TScriptRate> rates;
  std::string row;
  while (answer.Next(row)) {
    TScriptRate r;
    r.Name = Utf8ToAnsi(CatalogueField(row, "key_cl_name"));
    r.Rate = Utf8ToAnsi(CatalogueField(row, "rate"));
    r.Created = ServiceTimeToLocal(CatalogueField(row, "created"));
    r.AppName = Utf8ToAnsi(CatalogueField(row, "app_name"));
    r.AppVer = Utf8ToAnsi(CatalogueField(row, "app_ver"));
    r.Notes = Utf8ToAnsi(CatalogueField(row, "notes"));
    rates.push_back(std::move(r));
  }
  return rates;
}

std::optional<tScriptInfo> TScriptLibrary::Lookup(int scriptId, const char* resource) {
  std::vector<tScriptInfo> rows;
  try {
    BusyScope busy(s_);
    StatusScope status(s_, kScriptLibraryLoading);
    RequestList(0, rows);
  } catch (const std::exception& e) {
    s_.ShowError(Format(resource, {e.what()}));
    return std::nullopt;
  }
  for (const tScriptInfo& r : rows)
    if (r.Id == scriptId) return r;
  s_.ShowError(Format(kScriptNotInCatalogue, {scriptId}));
  return std::nullopt;
}

// Commands -----------------------------------------------------------------------------------------------

void TScriptLibrary::Toggle() {
  PanelShown = !PanelShown;
  try {
    s_.Frm.WriteFormBool(kMainForm, kScriptLibraryOnKey, PanelShown);
  } catch (const std::exception& e) {
    s_.ShowError(e.what());
  }
  Refresh(-1);
}

int TScriptLibrary::Refresh(int selectedId, bool startup) {
  if (!PanelShown) selectedId = -1;
  Rows.clear();
  if (PanelShown && !(startup && Trim(s_.Online.Catalogue.Url).empty())) {
    BusyScope busy(s_);
    StatusScope status(s_, kScriptLibraryLoading);
    try {
      RequestList(FilterEntry - 1, Rows);
    } catch (const std::exception& e) {
      ShowChange();
      s_.ShowError(Format(kScriptLibraryLoadError, {e.what()}));
    }
  }
  ShowChange();
  return selectedId >= 0 ? FindRow(selectedId) : -1;
}

int TScriptLibrary::ChangeFilter(int entry, int selectedId) {
  if (entry >= 0 && entry < static_cast<int>(ScriptLibraryFilterTexts().size())) FilterEntry = entry;
  return Refresh(selectedId);
}

bool TScriptLibrary::Download(int row) {
  if (!CanDownload(row)) return false;
  std::vector<std::string> lines;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kScriptLibraryDownloading);
    try {
      lines = RequestScript(Rows[size_t(row)].Id);
      // The working file is replaced only by a whole new one; the script then follows the file.
      WriteScriptFile(s_.ScriptFilePath(), lines);
    } catch (const std::exception& e) {
      s_.ShowError(Format(kScriptLibraryDownloadError, {e.what()}));
      return false;
    }
  }
  return s_.LoadScriptFile(s_.ScriptFilePath(), false);
}

int TScriptLibrary::Rate(int row, int value, const std::string& comment) {
  if (!CanView(row)) return -2;
  const int selectedId = Rows[size_t(row)].Id;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kScriptLibraryRating);
    try {
      RequestRate(selectedId, value, comment);
    } catch (const std::exception& e) {
      s_.ShowError(Format(kScriptLibraryRateError, {e.what()}));
      return -2;
    }
  }
  return Refresh(selectedId);
}

tScriptData TScriptLibrary::NewProperties() const {
  tScriptData d;
  d.Id = -1;
  d.AuthorName = s_.Online.Catalogue.UserName;
  d.Lcid = Language;
  d.Universal = false;
  d.Public = true;
  return d;
}

tScriptData TScriptLibrary::RowProperties(int row) const {
  tScriptData d;
  if (!Has(row)) return d;
  const tScriptInfo& r = Rows[size_t(row)];
  d.Id = r.Id;
  d.AuthorName = r.AuthorName;
  d.Lcid = r.Lcid;
  d.Universal = r.Universal;
  d.Public = r.Public;
  d.Title = r.Title;
  d.Descr = r.Descr;
  return d;
}

TScriptField TScriptLibrary::CheckProperties(tScriptData& d) {
  d.Title = Trim(d.Title);
  d.AuthorName = Trim(d.AuthorName);
  if (d.Title.empty()) {
    s_.ShowError(kScriptTitleRequired);
    return TScriptField::Title;
  }
  bool free = false;
  {
    BusyScope busy(s_);
    try {
      free = RequestTitleFree(d.Id, d.Title);
    } catch (const std::exception& e) {
      s_.ShowError(Format(kScriptLibraryTitleError, {e.what()}));
    }
  }
  if (!free) {
    s_.ShowError(kScriptTitleTaken);
    return TScriptField::Title;
  }
  if (d.AuthorName.empty()) {
    s_.ShowError(kScriptAuthorRequired);
    return TScriptField::Author;
  }
  return TScriptField::None;
}

tScriptInfo TScriptLibrary::PublishedRow(int newId, const tScriptData& d) const {
  tScriptInfo r;
  r.Id = newId;
  r.AppName = kCatalogueAppName;
  r.AppVer = ProgramVersionText();
  r.AuthorName = d.AuthorName;
  r.AuthorMail = s_.Online.Catalogue.UserMail;
  r.Lcid = d.Lcid;
  r.Universal = d.Universal;
  r.Public = d.Public;
  r.Title = d.Title;
  r.Descr = d.Descr;
  r.Created = Now();
  r.Mine = r.Editable = r.Usable = true;
  return r;
}

int TScriptLibrary::Publish(const tScriptData& d, const std::vector<std::string>& lines) {
  BusyScope busy(s_);
  StatusScope status(s_, kScriptLibrarySaving);
  int newId = -1;
  try {
    newId = RequestPut(false, d, &lines);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kScriptLibrarySaveError, {e.what()}));
    return -1;
  }
  if (newId <= 0) {
    s_.ShowError(Format(kScriptLibrarySaveError, {Format(kReturnCodeText, {newId})}));
    return -1;
  }
  try {
    Rows.push_back(PublishedRow(newId, d));
  } catch (const std::exception& e) {
    s_.ShowError(Format(kScriptLibraryPublishError, {e.what()}));
    return -1;
  }
  ShowChange();
  return static_cast<int>(Rows.size()) - 1;
}

bool TScriptLibrary::Replace(int row, const tScriptData& d, const std::vector<std::string>& lines) {
  if (!Has(row)) return false;
  BusyScope busy(s_);
  StatusScope status(s_, kScriptLibrarySaving);
  tScriptData data = d;
  data.Id = Rows[size_t(row)].Id;
  int newId = -1;
  try {
    newId = RequestPut(false, data, &lines);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kScriptLibrarySaveError, {e.what()}));
    return false;
  }
  if (newId <= 0) {
    s_.ShowError(Format(kScriptLibrarySaveError, {Format(kReturnCodeText, {newId})}));
    return false;
  }
  tScriptInfo& r = Rows[size_t(row)];
  r.Id = newId;
  r.AppVer = ProgramVersionText();
  r.Created = Now();
  r.AuthorName = data.AuthorName;
  r.Lcid = data.Lcid;
  r.Universal = data.Universal;
  r.Public = data.Public;
  r.Title = data.Title;
  r.Descr = data.Descr;
  r.Usable = r.Usable || r.Universal;
  r.Editable = r.Mine && r.Usable;
  ShowChange();
  return true;
}

bool TScriptLibrary::Delete(int row, bool ask) {
  if (!Has(row)) return false;
  if (ask && !s_.Confirm(Format(kScriptDeleteQuestion, {Rows[size_t(row)].Title}))) return false;
  BusyScope busy(s_);
  StatusScope status(s_, kScriptLibraryDeleting);
  int result = -1;
  try {
    result = RequestPut(true, RowProperties(row), nullptr);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kScriptLibraryDeleteError, {e.what()}));
    return false;
  }
  if (result != 0) {
    s_.ShowError(Format(kScriptLibraryDeleteError, {Format(kReturnCodeText, {result})}));
    return false;
  }
  Rows.erase(Rows.begin() + row);
  ShowChange();
  return true;
}

std::optional<std::vector<TScriptRate>> TScriptLibrary::Rates(int row) {
  if (!Has(row)) return std::nullopt;
  BusyScope busy(s_);
  StatusScope status(s_, kScriptLibraryRatesLoading);
  try {
    return RequestRates(Rows[size_t(row)].Id);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kScriptLibraryRatesError, {e.what()}));
    return std::nullopt;
  }
}

}  // namespace quintar
