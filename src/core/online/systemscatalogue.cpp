#include "online/systemscatalogue.h"

#include <cmath>
#include <unordered_set>

#include "app/session.h"
#include "combs/combslist.h"
#include "online/storedsystems.h"
#include "online/taggedtext.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

// Whole seconds of a local time: a file written for a row compares equal to the row's creation time.
long long Seconds(TDateTime t) { return std::llround(t * 86400.0); }

uint64_t SortedKey(TComb c) {
  SortComb(c);
  uint64_t k = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) k = k << 8 | c.n[i];
  return k;
}

}  // namespace

// Texts of the page ----------------------------------------------------------------------------------

std::vector<std::string> SystemsCaptions() {
  return {"Название", "Автор",   "Числа",     "Блок",        "Комбинаций", "Дата создания",
          "Статус",   "Загрузок", "Последняя", "Комментарии", "Ссылка"};
}

std::vector<std::string> SystemsCells(const tSystemInfo& r) {
  const bool real = r.Id > 0;
  return {r.Title,
          r.AuthorName,
          real ? Format("%.2d", {r.NumCount}) : "",
          real ? std::to_string(r.Olap) : "",
          real ? std::to_string(r.CSize) : "",
          CatalogueTimeText(r.Created),
          r.Downloaded ? kSystemDownloadedText : "",
          real ? std::to_string(r.Downloads) : "",
          CatalogueTimeText(r.LastDownload),
          r.Descr,
          r.Url};
}

// The system dialog --------------------------------------------------------------------------------------

TSystemFields SystemDialogFields(const tSystemData& d) {
  TSystemFields f;
  f.Title = d.Title;
  f.Descr = d.Descr;
  f.Author = d.AuthorName;
  f.Url = d.Url;
  std::vector<std::string> lines = SplitTextLines(d.CList);
  f.Combs = Join(lines, "\r\n");
  f.Created = CatalogueTimeText(d.Created);
  f.CSize = std::to_string(d.CSize);
  f.Nums = std::to_string(d.NumCount);
  f.Olap = std::to_string(d.Olap);
  f.Downloads = std::to_string(d.Downloads);
  f.LastDownload = CatalogueTimeText(d.LastDownload);
  return f;
}

std::string NormaliseSystemList(TSystemFields& f) {
  std::vector<std::string> lines = SplitTextLines(f.Combs);
  std::string error;
  for (size_t i = lines.size(); i-- > 0;) {
    const std::string line = Trim(lines[i]);
    const std::vector<std::string> fields = SplitAny(line, kSystemSeparators, true);
    if (line.empty() || fields.size() != static_cast<size_t>(NUMS_IN_DRAW)) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    std::vector<std::string> out;
    for (const std::string& field : fields) {
      const auto v = TryStrToInt(Trim(field));
      if (!v) {
        error = Format("'%s' is not a valid integer value", {Trim(field)});
        break;
      }
      out.push_back(Format("%.2d", {*v}));
    }
    if (!error.empty()) break;
    lines[i] = Join(out, " ");
  }
  f.Combs = Join(lines, "\r\n");
  if (!error.empty()) return error;
  // The count of numbers is the largest position of the lines: the lines then fit it whether or not
  // position 1 is used.
  int largest = 0;
  for (const std::string& l : lines)
    for (const std::string& field : SplitAny(l, " ", true)) largest = std::max(largest, StrToIntDef(field, 0));
  f.Nums = std::to_string(largest);
  f.CSize = std::to_string(lines.size());
  return "";
}

TSystemField CheckSystemFields(const TSystemFields& f, std::string& message) {
  const int nums = StrToIntDef(Trim(f.Nums), 0), olap = StrToIntDef(Trim(f.Olap), 0);
  const struct {
    bool ok;
    TSystemField field;
    const char* text;
  } checks[] = {{!Trim(f.Title).empty(), TSystemField::Title, kSystemTitleRequired},
                {nums >= 8 && nums <= 35, TSystemField::Nums, kSystemBadNums},
                {olap >= 0 && olap <= 6, TSystemField::Olap, kSystemBadOlap},
                {!Trim(f.Author).empty(), TSystemField::Author, kSystemAuthorRequired},
                {!Trim(f.Descr).empty(), TSystemField::Descr, kSystemDescrRequired},
                {!Trim(f.Combs).empty(), TSystemField::Combs, kSystemCombsRequired}};
  for (const auto& c : checks)
    if (!c.ok) {
      message = c.text;
      return c.field;
    }
  message.clear();
  return TSystemField::None;
}

tSystemData SystemDialogResult(const tSystemData& opened, const TSystemFields& f) {
  tSystemData d;
  d.Id = opened.Id;
  d.AuthorMail = opened.AuthorMail;
  d.Downloaded = opened.Downloaded;
  d.NumCount = StrToIntDef(Trim(f.Nums), 0);
  d.Olap = StrToIntDef(Trim(f.Olap), 0);
  d.CSize = StrToIntDef(Trim(f.CSize), 0);
  d.Downloads = StrToIntDef(Trim(f.Downloads), 0);
  d.Title = f.Title;
  d.AuthorName = f.Author;
  d.Descr = f.Descr;
  d.Url = f.Url;
  d.Created = Trim(f.Created).empty() ? Now() : CatalogueTextTime(f.Created);
  d.LastDownload = CatalogueTextTime(f.LastDownload);
  for (const std::string& l : SplitTextLines(f.Combs)) d.CList += l + "\r\n";
  return d;
}

// The catalogue ------------------------------------------------------------------------------------------

void TSystemsCatalogue::ReadKeys() { Enabled = s_.Frm.ReadFormBool(kMainForm, kSystemsEnabledKey, true); }

int TSystemsCatalogue::FindRow(int id) const {
  for (size_t i = 0; i < Rows.size(); ++i)
    if (Rows[i].Id == id) return static_cast<int>(i);
  return -1;
}

bool TSystemsCatalogue::Own(const tSystemInfo& r) const {
  const std::string mail = Trim(s_.Online.Catalogue.UserMail);
  return !Trim(r.AuthorMail).empty() && !mail.empty() && AnsiSameText(Trim(r.AuthorMail), mail);
}

TSystemMark TSystemsCatalogue::Mark(int row) const {
  if (!Has(row) || Rows[size_t(row)].Id <= 0) return TSystemMark::None;
  const tSystemInfo& r = Rows[size_t(row)];
  if (Own(r)) return r.Downloaded ? TSystemMark::OwnDownloaded : TSystemMark::Own;
  if (Trim(r.AuthorMail).empty()) return r.Downloaded ? TSystemMark::NoMailDownloaded : TSystemMark::NoMail;
  return r.Downloaded ? TSystemMark::ForeignDownloaded : TSystemMark::Foreign;
}

std::string TSystemsCatalogue::LocalFile(const tSystemInfo& r) const {
  return SystemsDir(s_.DataDir()) + SystemFileName(r.NumCount, r.Olap, r.Id);
}

bool TSystemsCatalogue::CanOn() const { return s_.IsIdle(); }
bool TSystemsCatalogue::CanRefresh() const { return s_.IsIdle() && Enabled; }
bool TSystemsCatalogue::CanStake() const {
  return CanRefresh() && !s_.CurrentCombs.Empty() && s_.Stakes.IsOpen();
}

TCatalogueIdentity TSystemsCatalogue::Identity() {
  return MakeCatalogueIdentity(s_.Online.Catalogue, Language, s_.FilePath(".ini"));
}

std::string TSystemsCatalogue::Post(const char* request, const TCatalogueForm& form) {
  return CataloguePost(s_.Online.Catalogue, Tuning, request, form, [this] { s_.Host().ProcessEvents(); });
}

void TSystemsCatalogue::MarkRows() {
  for (tSystemInfo& r : Rows) r.Downloaded = r.Id > 0 && FileExists(LocalFile(r));
}

void TSystemsCatalogue::ShowChange() {
  s_.Host().Changed(Change::Systems);
  s_.Host().Changed(Change::Actions);
}

// Requests -----------------------------------------------------------------------------------------------

void TSystemsCatalogue::RequestList(std::vector<tSystemInfo>& rows, bool& empty) {
  TCatalogueForm form{{"comblen", std::to_string(NUMS_IN_DRAW)}, {"maxnums", std::to_string(MAX_NUMBER)}};
  AddIdentity(form, Identity());
  TCatalogueAnswer answer(Post("sys_getlist", form));
  empty = answer.Empty();
  std::string row;
  while (answer.Next(row)) {
    auto field = [&](const char* name) { return CatalogueField(row, name); };
    tSystemInfo r;
    r.Id = StrictNumber(field("id"));
    r.NumCount = StrictNumber(field("nums"));
    r.Olap = StrictNumber(field("olap"));
    r.CSize = StrictNumber(field("csize"));
    r.Title = Base64Utf8Text(field("title"));
    r.Descr = Base64Utf8Text(field("descr"));
    r.AuthorName = Utf8ToAnsi(field("author"));
    r.AuthorMail = Utf8ToAnsi(field("cl_mail"));
    r.Url = Utf8ToAnsi(field("url"));
    r.Created = ServiceTimeToLocal(field("created"));
    r.Downloads = LenientNumber(field("downloads"), 0);
    r.LastDownload = ServiceTimeToLocal(field("last_download"));
    r.Downloaded = r.Id > 0 && FileExists(LocalFile(r));
    rows.push_back(std::move(r));
  }
}

std::string TSystemsCatalogue::RequestSystem(int systemId) {
  TCatalogueForm form{{"sys_id", std::to_string(systemId)}};
  TCatalogueAnswer answer(Post("sys_getdata", form));
  std::string row;
  while (answer.Next(row)) {
    std::string text = Base64Utf8Text(CatalogueField(row, "clist"));
    if (!text.empty()) return text;
  }
  return "";
}

int TSystemsCatalogue::RequestPut(const tSystemData& d, bool del) {
  const TCatalogueIdentity id = Identity();
  TCatalogueForm form{{"del_mode", del ? "1" : "0"}, {"sys_id", std::to_string(d.Id)},
                      {"nums", std::to_string(d.NumCount)}, {"clen", std::to_string(NUMS_IN_DRAW)},
                      {"olap", std::to_string(d.Olap)}};
  AddEscaped(form, "title", d.Title);
  AddEscaped(form, "descr", d.Descr);
  form.emplace_back("csize", std::to_string(d.CSize));
  form.emplace_back("clist", del ? std::string() : Base64Encode(EscapeText(Utf8ToAnsi(d.CList))));
  form.emplace_back("url", d.Url);
  AddIdentity(form, id, d.AuthorName, d.AuthorMail, Language);
  TCatalogueAnswer answer(Post("sys_putdata", form));
  std::string row;
  while (answer.Next(row)) {
    const int v = LenientNumber(CatalogueField(row, "id_systems"), -1);
    if (v >= 0) return v;
  }
  return -1;
}

std::optional<tSystemInfo> TSystemsCatalogue::Lookup(int systemId, const char* resource) {
  std::vector<tSystemInfo> rows;
  try {
    BusyScope busy(s_);
    StatusScope status(s_, kSystemsLoading);
    bool empty = false;
    RequestList(rows, empty);
  } catch (const std::exception& e) {
    s_.ShowError(Format(resource, {e.what()}));
    return std::nullopt;
  }
  for (const tSystemInfo& r : rows)
    if (r.Id == systemId && r.Id > 0) return r;
  s_.ShowError(Format(kSystemNotInCatalogue, {systemId}));
  return std::nullopt;
}

// Operations ---------------------------------------------------------------------------------------------

void TSystemsCatalogue::On() {
  {
    BusyScope busy(s_);
    StatusScope status(s_, kSystemsWaitStatus);
    Enabled = !Enabled;
    try {
      s_.Frm.WriteFormBool(kMainForm, kSystemsEnabledKey, Enabled);
    } catch (const std::exception& e) {
      s_.ShowError(e.what());
    }
    if (!Enabled) Rows.clear();
    ShowChange();
  }
  if (Enabled) Refresh(-1);
}

int TSystemsCatalogue::Refresh(int selectedId, bool startup, bool* listRead) {
  bool read = true;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kSystemsLoading);
    Rows.clear();
    if (startup && Trim(s_.Online.Catalogue.Url).empty()) {
      tSystemInfo placeholder;
      placeholder.Id = -1;
      placeholder.Title = kSystemsUnavailable;
      Rows.push_back(placeholder);
    } else {
      try {
        bool empty = false;
        RequestList(Rows, empty);
        if (empty) {
          tSystemInfo placeholder;
          placeholder.Id = -1;
          placeholder.Title = kSystemsUnavailable;
          Rows.push_back(placeholder);
        }
      } catch (const std::exception& e) {
        read = false;
        ShowChange();
        s_.ShowError(Format(kSystemsListError, {e.what()}));
      }
      // A local file of another version than the catalogue's is downloaded again.
      for (const tSystemInfo& r : Rows)
        if (r.Downloaded && Seconds(SystemFileTime(LocalFile(r))) != Seconds(r.Created)) DownloadSystem(r);
    }
  }
  ShowChange();
  if (listRead) *listRead = read;
  return selectedId >= 0 ? FindRow(selectedId) : -1;
}

std::string TSystemsCatalogue::GetSystemText(const tSystemInfo& r) {
  StatusScope status(s_, Format("Загрузка \"%s\"...", {r.Title}));
  try {
    return RequestSystem(r.Id);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kSystemLoadFailed, {r.Id, e.what()}));
    return "";
  }
}

int TSystemsCatalogue::PutSystem(const tSystemData& d, bool del) {
  StatusScope status(s_, Format(del ? "Удаление \"%s\"..." : "Сохранение \"%s\"...", {d.Title}));
  int result = -1;
  try {
    result = RequestPut(d, del);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kSystemSaveFailed, {d.Id, e.what()}));
    return -1;
  }
  // A service that stored nothing says so.
  if (result < 0) s_.ShowError(Format(kSystemSaveFailed, {d.Id, Format(kReturnCodeText, {result})}));
  return result;
}

bool TSystemsCatalogue::DownloadSystem(const tSystemInfo& r) {
  BusyScope busy(s_);
  const std::string text = GetSystemText(r);
  try {
    const std::vector<std::string> lines = SplitTextLines(text);
    if (text.empty() || static_cast<int>(lines.size()) != r.CSize)
      throw EQuintar(Format(kSystemCountMismatch, {static_cast<int>(lines.size()), r.CSize}));
    // Every line must be playable: seven different positions 1..NumCount.
    TByteArray positions;
    for (int p = 1; p <= r.NumCount && p <= MAX_NUMBER; ++p) positions.push_back(static_cast<uint8_t>(p));
    const std::string path = LocalFile(r);
    SystemCombsFromText(text, positions, ExtractFileName(path));
    if (!ForceSystemsDir(s_.DataDir()))
      throw EQuintar(Format("Не удалось создать папку \"%s\"", {SystemsDir(s_.DataDir())}));
    std::string content;
    for (const std::string& l : lines) content += l + "\r\n";
    WriteFileAtomic(path, Utf8ToCp1251(content));
    if (!SetSystemFileTime(path, r.Created))
      throw EQuintar(Format("Не удалось установить время файла \"%s\"", {path}));
    return FileExists(path);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kSystemLoadFailed, {r.Id, e.what()}));
    return false;
  }
}

bool TSystemsCatalogue::DownloadRows(const std::vector<int>& rows) {
  bool allOk = true;
  {
    BusyScope busy(s_);
    for (int row : rows) {
      if (!Has(row) || Rows[size_t(row)].Id <= 0) continue;
      const tSystemInfo r = Rows[size_t(row)];
      if (!DownloadSystem(r)) {
        allOk = false;
        continue;
      }
      // At most one system per count of numbers stays on disk: any other file for that count would be
      // played in its place.
      const std::string mine = LocalFile(r);
      for (const std::string& f : FindSystemFiles(s_.DataDir(), r.NumCount))
        if (f != mine) DeleteFileIfExists(f);
      MarkRows();
      ShowChange();
    }
  }
  ShowChange();
  return allOk;
}

tSystemData TSystemsCatalogue::NewData() const {
  tSystemData d;
  d.AuthorName = s_.Online.Catalogue.UserName;
  d.AuthorMail = s_.Online.Catalogue.UserMail;
  return d;
}

int TSystemsCatalogue::Add(const tSystemData& d) {
  BusyScope busy(s_);
  const int id = PutSystem(d, false);
  if (id < 0) return -1;
  try {
    tSystemInfo r = d;
    r.Id = id;
    r.Downloaded = false;
    // The placeholder row gives way to the first real row.
    if (Rows.size() == 1 && Rows.front().Id < 0) Rows.clear();
    Rows.push_back(r);
  } catch (const std::exception& e) {
    s_.ShowError(Format(kSystemAddError, {e.what()}));
    return -1;
  }
  ShowChange();
  return static_cast<int>(Rows.size()) - 1;
}

tSystemData TSystemsCatalogue::PropData(int row) {
  tSystemData d;
  if (!Has(row)) return d;
  static_cast<tSystemInfo&>(d) = Rows[size_t(row)];
  BusyScope busy(s_);
  if (d.Id > 0) d.CList = GetSystemText(d);
  return d;
}

bool TSystemsCatalogue::SaveProp(int row, const tSystemData& d) {
  if (!Has(row)) return false;
  BusyScope busy(s_);
  const int id = PutSystem(d, false);
  if (id < 0) return false;
  tSystemInfo r = d;
  r.Id = id;
  Rows[size_t(row)] = r;
  MarkRows();
  ShowChange();
  return true;
}

bool TSystemsCatalogue::Del(int row, bool ask) {
  if (!Has(row)) return false;
  const tSystemInfo r = Rows[size_t(row)];
  if (!Own(r)) {
    s_.ShowError(kSystemNotOwnDelete);
    return false;
  }
  if (ask && !s_.Confirm(Format(kSystemDeleteQuestion, {r.Title}), false)) return false;
  BusyScope busy(s_);
  tSystemData d;
  static_cast<tSystemInfo&>(d) = r;
  if (PutSystem(d, true) != 0) return false;
  try {
    Rows.erase(Rows.begin() + row);
    DeleteFileIfExists(LocalFile(r));
  } catch (const std::exception& e) {
    s_.ShowError(Format(kSystemDeleteError, {e.what()}));
  }
  ShowChange();
  return true;
}

int TSystemsCatalogue::StakeSystem(bool combined, const TMultiStakeDialog& dialog) {
  TByteArray numbers;
  TCombsArray combs;
  std::string fileName;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kSystemsWaitStatus);
    CollectDistinct(reinterpret_cast<const uint8_t*>(s_.CurrentCombs.Data()), s_.CurrentCombs.Count(), numbers);
  }
  if (!LoadSystemCombs(s_.DataDir(), s_.Host(), numbers, combs, fileName)) return -1;
  std::string name = ExtractFileName(fileName);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  int draw = s_.NewStakeDraw(), draws = 1;
  std::string comment = Format(combined ? kSystemStakeCombComment : kSystemStakeAllComment,
                               {static_cast<int>(numbers.size()), name});
  if (dialog && !dialog(draw, draws, comment)) return -1;

  int added = 0;
  bool lastOk = true;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kStakesCreateStatus);
    std::unordered_set<uint64_t> inList;
    if (combined) {
      inList.reserve(static_cast<size_t>(s_.CurrentCombs.Count()));
      for (const TComb& c : s_.CurrentCombs) inList.insert(SortedKey(c));
    }
    const TStakeResultFn result = s_.StakePrices().Fn();
    const int sample = combined ? s_.CurrentCombs.Count() : static_cast<int>(combs.size());
    try {
      s_.Stakes.AppendStakeSeparator();
      for (TComb c : combs) {
        SortComb(c);
        if (combined && !inList.count(SortedKey(c))) continue;
        TStakeRec rec = MakeStakeRecord(draw, sample, &c, result, skSystem);
        rec.SetComment(comment);
        lastOk = false;
        s_.Stakes.AddStake(rec, draws);
        lastOk = true;
        ++added;
      }
    } catch (const std::exception& e) {
      lastOk = false;
      const auto* se = dynamic_cast<const EStakesFile*>(&e);
      s_.ShowError(se ? se->FullText() : std::string(kStakeAddError) + "\r\r" + e.what());
    }
  }
  if (added > 0 && lastOk) {
    s_.CheckStakes();
    s_.UpdateStakesView(true);
  } else {
    s_.UpdateStakesView(false);
  }
  return lastOk ? added : -1;
}

}  // namespace quintar
