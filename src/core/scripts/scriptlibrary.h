// The online script catalogue: the panel below the script list shows the scripts users share through the
// catalogue service with their authors, ratings and downloads. A script is downloaded into the current
// script, the current script is published or replaces one's own published script, scripts are rated 1..5
// with a comment, hidden from one's own list, or their rating withdrawn. Every command is one or two form
// requests (online/catalogueclient.h); nothing of the catalogue is stored locally.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/game.h"
#include "online/catalogueclient.h"

namespace quintar {

class Session;

// One catalogue row.
struct tScriptInfo {
  int Id = 0;
  std::string AuthorName, AuthorMail;
  int Lcid = 0;
  std::string AppName, AppVer;
  bool Universal = false;  // usable in any program of the family
  bool Public = false;     // visible to all users
  TDateTime Created = 0;
  double RatingAvg = 0;
  int RatingCount = 0;
  int YourRating = 0;  // -1 hidden by this user, 0 not rated, 1..5 this user's rating
  int Downloads = 0;
  TDateTime LastDownload = 0;
  std::string Title, Descr;
  bool Mine = false;      // the user's own: his e-mail (not empty) is the author's
  bool Editable = false;  // Mine and Usable
  bool Usable = false;    // Universal, or published from this application
};

// The properties the user edits when publishing.
struct tScriptData {
  int Id = -1;
  std::string AuthorName;
  int Lcid = 1049;
  bool Universal = false;
  bool Public = true;
  std::string Title, Descr;
};

// One line of the ratings window.
struct TScriptRate {
  std::string Name, Rate;
  TDateTime Created = 0;
  std::string AppName, AppVer, Notes;
};

// Window settings of the panel (section "TFormMain").
inline constexpr const char* kScriptLibraryOnKey = "ScriptLibraryOn";
inline constexpr const char* kScriptLibraryHeightKey = "ScriptLibraryHeight";
inline constexpr const char* kScriptLibraryFilterKey = "ScriptLibraryFilter";
inline constexpr int kScriptLibraryFilterDefault = 2;

// The filter list cbOnlineScriptsFilter; an entry sends "fltid" = entry - 1.
const std::vector<std::string>& ScriptLibraryFilterTexts();
inline constexpr const char* kScriptLibraryFilterHint = "Фильтр сценариев";

// Messages.
inline constexpr const char* kScriptLibraryLoadError = "Ошибка загрузки каталога online-сценариев!\r\r%s";
inline constexpr const char* kScriptLibraryDownloadError = "Ошибка загрузки online-сценария!\r\r%s";
inline constexpr const char* kScriptLibraryRateError = "Ошибка сохранения оценки online-сценария!\r\r%s";
inline constexpr const char* kScriptLibrarySaveError = "Ошибка сохранения online-сценария в базе данных!\r\r%s";
inline constexpr const char* kScriptLibraryPublishError = "Ошибка публикации online-сценария!\r\r%s";
inline constexpr const char* kScriptLibraryDeleteError = "Ошибка удаления online-сценария из базы данных!\r\r%s";
inline constexpr const char* kScriptLibraryRatesError = "Ошибка просмотра оценок online-сценария!\r\r%s";
inline constexpr const char* kScriptLibraryViewError = "Ошибка просмотра свойств online-сценария!\r\r%s";
inline constexpr const char* kScriptLibraryTitleError = "Ошибка проверки уникальности online-сценария!\r\r%s";
inline constexpr const char* kScriptTitleRequired = "Название сценария должно быть указано обязательно!";
inline constexpr const char* kScriptTitleTaken = "Сценарий с таким названием уже существует!\rВыберите другое название.";
inline constexpr const char* kScriptAuthorRequired = "Имя автора должно быть указано обязательно!";
inline constexpr const char* kScriptDeleteQuestion = "Вы действительно хотите удалить сценарий \"%s\"?";
inline constexpr const char* kScriptNotInCatalogue = "Сценарий #%d не найден в online-каталоге!";
inline constexpr const char* kScriptNotUsable = "Сценарий #%d создан в другом приложении и не может быть загружен!";
inline constexpr const char* kScriptNotEditable = "Вы можете изменять и удалять только свои сценарии этого приложения!";
inline constexpr const char* kScriptHasNoLines = "Текущий сценарий не содержит строк!";
inline constexpr const char* kScriptNotReturned = "Сервер не вернул сценарий";

// Status texts.
inline constexpr const char* kScriptLibraryLoading = "Загрузка online-каталога сценариев...";
inline constexpr const char* kScriptLibraryDownloading = "Скачивание сценария из online-каталога...";
inline constexpr const char* kScriptLibraryRating = "Отправка оценки на сервер...";
inline constexpr const char* kScriptLibrarySaving = "Сохранение сценария в базе данных...";
inline constexpr const char* kScriptLibraryDeleting = "Удаление сценария из базы данных...";
inline constexpr const char* kScriptLibraryRatesLoading = "Загрузка списка оценок...";

// The rating input box.
inline constexpr const char* kRateCommentCaption = "Комментарий";
inline constexpr const char* kRateCommentPrompt = "Вы можете оставить свой комментарий:";

// The properties dialog TFormScrPublic and the ratings window TFormScrRates.
inline constexpr const char* kScrPublicCaption = "Свойства сценария";
inline constexpr const char* kScrPublicEveryone = "Сценарий виден всем пользователям";
inline constexpr const char* kScrPublicOnlyMe = "Сценарий виден только мне";
inline constexpr const char* kScrPublicOnlyApp = "Только в \"%s\"";
inline constexpr const char* kScrPublicAnyApp = "В любом приложении Zembra";
inline constexpr const char* kScrRatesCaption = "Оценки пользователей";

// The panel's columns ("Тип" .. "Комментарии") and one row's cells; "Ваша оценка" is "Скрытый" for a
// hidden script. Times are "yyyy-mm-dd hh:mm:ss", the rating "%.3n" with the decimal comma.
std::vector<std::string> ScriptLibraryCaptions();
std::vector<std::string> ScriptLibraryCells(const tScriptInfo& info);
// The three-letter abbreviation of a script's language; "" for a language the catalogue does not name.
std::string CatalogueLanguageAbbrev(int lcid);
// A rating average as the panel shows it: three decimals, decimal comma, thousands grouped by a blank.
std::string RatingAvgText(double v);
// The ratings window's columns and one line's cells.
std::vector<std::string> ScriptRatesCaptions();
std::vector<std::string> ScriptRateCells(const TScriptRate& rate);

// The field whose check failed in the properties dialog.
enum class TScriptField { None, Title, Author };

class TScriptLibrary {
 public:
  explicit TScriptLibrary(Session& s) : s_(s) {}
  TScriptLibrary(const TScriptLibrary&) = delete;
  TScriptLibrary& operator=(const TScriptLibrary&) = delete;

  std::vector<tScriptInfo> Rows;  // the list in answer order (the view sorts on its own)
  bool PanelShown = true;         // "ScriptLibraryOn"
  int FilterEntry = kScriptLibraryFilterDefault;  // "ScriptLibraryFilter", 0..7
  int Language = 1049;            // the interface language sent as "cl_lcid"
  TCatalogueTuning Tuning;

  // Reads "ScriptLibraryOn" and "ScriptLibraryFilter" from the window-settings file.
  void ReadKeys();
  bool Has(int row) const { return row >= 0 && row < static_cast<int>(Rows.size()); }
  int FindRow(int id) const;

  // Enabling rules; row is the selected row, -1 when none.
  bool CanToggle() const;
  bool CanRefresh() const;
  bool CanDownload(int row) const;
  bool CanUpload() const;
  bool CanReplace(int row) const;
  bool CanDelete(int row) const;
  bool CanView(int row) const;
  bool CanRate0(int row) const;
  bool RateChecked(int row, int value) const { return Has(row) && Rows[static_cast<size_t>(row)].YourRating == value; }

  // ScriptLibrary: shows or hides the panel, stores the key and refreshes.
  void Toggle();
  // Reloads the list; returns the row of the remembered id (the selected row's, -1 when none), -1 when it is
  // gone. At start-up a catalogue without an address shows nothing and says nothing.
  int Refresh(int selectedId, bool startup = false);
  // A new filter entry refreshes the list.
  int ChangeFilter(int entry, int selectedId);
  // The selected script replaces the current script; answers whether it did.
  bool Download(int row);
  // Rates the row (1..5 with a comment, -1 hides, 0 withdraws), then refreshes; returns the row to select
  // after the refresh, or -2 when the rating failed.
  int Rate(int row, int value, const std::string& comment);

  // The properties dialog: its start for publishing and for a row, and its OK checks in order (messages
  // shown; the data trimmed). Returns the field to focus, None when every check passed.
  tScriptData NewProperties() const;
  tScriptData RowProperties(int row) const;
  TScriptField CheckProperties(tScriptData& d);
  // Publishes the lines with the properties; the new row is added. Returns its index, -1 on failure.
  int Publish(const tScriptData& d, const std::vector<std::string>& lines);
  // Replaces the row's script; the row takes the new properties. Answers whether it did.
  bool Replace(int row, const tScriptData& d, const std::vector<std::string>& lines);
  // Deletes the row's script after the question (unless ask is false); the row is removed.
  bool Delete(int row, bool ask = true);
  // The ratings of the row's script for the ratings window; nothing after the failure message.
  std::optional<std::vector<TScriptRate>> Rates(int row);

  // The requests; each raises EQuintar with the text to show on failure. The list request appends the rows
  // to rows as they are read, so that a failure leaves those read before it.
  void RequestList(int fltid, std::vector<tScriptInfo>& rows);
  std::vector<std::string> RequestScript(int id);
  void RequestRate(int id, int value, const std::string& comment);
  bool RequestTitleFree(int id, const std::string& title);
  // Publish, replace or delete; the id the service returns (-1 when it returned no row).
  int RequestPut(bool del, const tScriptData& d, const std::vector<std::string>* lines);
  std::vector<TScriptRate> RequestRates(int id);
  // One list request with "fltid=0" (hidden scripts included) and the row with that id. Nothing after a
  // message (resource: the command's failure message) when the request fails or there is no such row.
  std::optional<tScriptInfo> Lookup(int id, const char* resource);
  // The row a publish adds, or a replace rewrites.
  tScriptInfo PublishedRow(int id, const tScriptData& d) const;

 private:
  TCatalogueIdentity Identity();
  std::string Post(const char* request, const TCatalogueForm& form);
  void ShowChange();
  Session& s_;
};

}  // namespace quintar
