// The online systems catalogue of the page "Системы": number systems shared through the catalogue service.
// The user downloads the systems he wants into the folder "Systems" (online/storedsystems.h), adds his own,
// views or edits their properties and deletes his own; a downloaded system is played against the distinct
// numbers of the combination list, all its lines or those also in the list, as stakes of kind "Система".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "online/catalogueclient.h"

namespace quintar {

class Session;

// One catalogue row; Id 0 in a system being added, -1 in the placeholder row.
struct tSystemInfo {
  int Id = 0;
  int NumCount = 0;  // 8..35: its lines hold positions 1..NumCount
  int Olap = 0;      // the block size the author states, 0..6
  int CSize = 0;     // lines (combinations)
  std::string Title, AuthorName, AuthorMail, Descr;
  TDateTime Created = 0;  // when the catalogue stored it (local time); the version mark of the local file
  int Downloads = 0;
  TDateTime LastDownload = 0;
  std::string Url;
  bool Downloaded = false;  // its local file exists
};

struct tSystemData : tSystemInfo {
  std::string CList;  // the lines, each followed by CR LF
};

// The six marks of a row (none for a row whose Id is 0 or less).
enum class TSystemMark { None, Own, OwnDownloaded, Foreign, ForeignDownloaded, NoMail, NoMailDownloaded };

inline constexpr const char* kSystemsEnabledKey = "SystemsEnabled";

// Messages.
inline constexpr const char* kSystemsListError = "Ошибка загрузки списка систем!\r\r%s";
inline constexpr const char* kSystemsUnavailable = "Список систем не доступен!";
inline constexpr const char* kSystemLoadFailed = "Ошибка загрузки системы #%d!\r\r%s";
inline constexpr const char* kSystemSaveFailed = "Ошибка сохранения системы #%d!\r\r%s";
inline constexpr const char* kSystemCountMismatch =
    "Количество скачанных комбинаций ( %d ) отличается от ожидаемого значения ( %d )";
inline constexpr const char* kSystemAddError = "Ошибка добавления системы!\r\r%s";
inline constexpr const char* kSystemEditError = "Ошибка изменения системы!\r\r%s";
inline constexpr const char* kSystemDeleteError = "Ошибка удаления системы!\r\r%s";
inline constexpr const char* kSystemNotOwnDelete = "Вы можете удалять только свои системы!";
inline constexpr const char* kSystemNotOwnEdit = "Вы можете изменять только свои системы!";
inline constexpr const char* kSystemDeleteQuestion = "Вы действительно хотите удалить систему \"%s\"?";
inline constexpr const char* kSystemNotInCatalogue = "Система #%d не найдена в online-каталоге!";
inline constexpr const char* kSystemDownloadedText = "Загружена";
inline constexpr const char* kSystemsWaitStatus = "Подождите пожалуйста...";
inline constexpr const char* kSystemsLoading = "Загрузка списка систем...";
inline constexpr const char* kSystemStakeAllComment = "Системная игра для %d чисел [вся система]: %s";
inline constexpr const char* kSystemStakeCombComment = "Системная игра для %d чисел [комбинации]: %s";

// The system dialog TFormSystem.
inline constexpr const char* kSystemDialogCaption = "Система";
inline constexpr const char* kSystemTitleRequired = "Название системы должно быть указано обязательно!";
inline constexpr const char* kSystemBadNums = "Указано недопустмое количество используемых чисел!";
inline constexpr const char* kSystemBadOlap = "Указан недопустмый размер блока!";
inline constexpr const char* kSystemAuthorRequired = "Имя автора должно быть указано обязательно!";
inline constexpr const char* kSystemDescrRequired = "Описание системы должно быть указано обязательно!";
inline constexpr const char* kSystemCombsRequired = "Содержимое системы должно быть указано обязательно!";

// The list's columns after the hidden id ("Название" .. "Ссылка") and one row's cells.
std::vector<std::string> SystemsCaptions();
std::vector<std::string> SystemsCells(const tSystemInfo& info);

// The system dialog's fields as texts.
struct TSystemFields {
  std::string Title, Descr, Author, Url, Combs, Created, CSize, Nums, CLen = "7", Olap, Downloads, LastDownload;
};
enum class TSystemField { None, Title, Nums, Olap, Author, Descr, Combs };
TSystemFields SystemDialogFields(const tSystemData& d);
// Leaving the list field (editable mode): from the last line to the first, a line of exactly seven fields
// becomes its fields as "%.2d" joined by blanks, any other line goes; "Числа" becomes the largest position
// and "Комбинаций" the number of lines. A field that is not an integer stops it with that error (the lines
// handled so far stay rewritten, the two counts stay as they were). Answers the error text, "" when none.
std::string NormaliseSystemList(TSystemFields& f);
// The OK checks in order: the field to focus and its message, None when every check passed.
TSystemField CheckSystemFields(const TSystemFields& f, std::string& message);
// The record the dialog gives on OK: Id and AuthorMail of the record it was opened with.
tSystemData SystemDialogResult(const tSystemData& opened, const TSystemFields& f);

class TSystemsCatalogue {
 public:
  explicit TSystemsCatalogue(Session& s) : s_(s) {}
  TSystemsCatalogue(const TSystemsCatalogue&) = delete;
  TSystemsCatalogue& operator=(const TSystemsCatalogue&) = delete;

  std::vector<tSystemInfo> Rows;  // in answer order (the view sorts on its own)
  bool Enabled = true;            // "SystemsEnabled": the page and the stake commands are shown
  int Language = 1049;            // the interface language sent as "cl_lcid"
  TCatalogueTuning Tuning;

  void ReadKeys();
  bool Has(int row) const { return row >= 0 && row < static_cast<int>(Rows.size()); }
  int FindRow(int id) const;
  // Own row: its author e-mail is not empty and is the user's, ignoring case.
  bool Own(const tSystemInfo& r) const;
  TSystemMark Mark(int row) const;
  // The local file of a row: <data>/Systems/7-NN-B_IIII.dat.
  std::string LocalFile(const tSystemInfo& r) const;

  // Enabling rules; row is the selected row, -1 when none.
  bool CanOn() const;
  bool CanRefresh() const;
  bool CanDownload(int selectedRows) const { return CanRefresh() && selectedRows > 0; }
  bool CanAdd() const { return CanRefresh(); }
  bool CanProp(int row) const { return CanRefresh() && Has(row); }
  bool CanDel(int row) const { return CanProp(row) && Own(Rows[static_cast<size_t>(row)]); }
  bool CanStake() const;

  // SystemsOn: shows or hides the page and the stake commands (stored); shown: refreshes, hidden: clears.
  void On();
  // RefreshSystems; returns the row of the remembered id (-1 when gone or none). At start-up a catalogue
  // without an address shows only the placeholder row and says nothing. Answers through listRead whether
  // the list request went through (a failed download again of a newer version shows its own message).
  int Refresh(int selectedId, bool startup = false, bool* listRead = nullptr);
  // GetSystemText: "" after the failure message.
  std::string GetSystemText(const tSystemInfo& r);
  // PutSystem: the id the service answers; -1 after the failure message.
  int PutSystem(const tSystemData& d, bool del);
  // Fetches the text and writes the local file (through a temporary file), its time set to Created.
  bool DownloadSystem(const tSystemInfo& r);
  // SystemsDownload for the rows in the order given; every other local file for the same count of
  // numbers goes. Answers whether every row was downloaded.
  bool DownloadRows(const std::vector<int>& rows);
  // SystemsAdd: the new record for the dialog, and storing what the dialog gave; returns the new row, -1.
  tSystemData NewData() const;
  int Add(const tSystemData& d);
  // SystemsProp: the row with its text; storing the dialog's values (the local file is not touched).
  tSystemData PropData(int row);
  bool SaveProp(int row, const tSystemData& d);
  // SystemsDel after the question (unless ask is false); the row and its local file go.
  bool Del(int row, bool ask = true);

  // StakeSystem over the combination list: the multi-stake dialog (draw, number of draws, comment; false
  // cancels) is asked once the system is loaded. Returns the number of stakes added, -1 when it ended early.
  using TMultiStakeDialog = std::function<bool(int& draw, int& draws, std::string& comment)>;
  int StakeSystem(bool combined, const TMultiStakeDialog& dialog);

  // The requests; each raises EQuintar with the text to show. The list appends rows as they are read;
  // empty tells whether the result element was empty.
  void RequestList(std::vector<tSystemInfo>& rows, bool& empty);
  std::string RequestSystem(int id);
  int RequestPut(const tSystemData& d, bool del);
  // One list request and the row with that id; nothing after a message (resource for a failed request).
  std::optional<tSystemInfo> Lookup(int id, const char* resource);

 private:
  TCatalogueIdentity Identity();
  std::string Post(const char* request, const TCatalogueForm& form);
  void MarkRows();
  void ShowChange();
  Session& s_;
};

}  // namespace quintar
