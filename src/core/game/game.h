// The game: 7 distinct numbers from 1..35 plus a bonus from 1..20. Constants, the records that carry draws
// and combinations through the program, number properties, arithmetic, text forms and draw dates.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

constexpr int NUMS_IN_DRAW = 7;
constexpr int MAX_NUMBER = 35;
constexpr int MAX_BONUS = 20;
constexpr int COMBS_TOTAL = 6724520;

// Lowest and highest sum of 7 numbers and the width of one of ten sum ranges.
extern const int MinSum;   // 28
extern const int MaxSum;   // 224
extern const int SumStep;  // 19

// General failure of an operation; the command that started it shows the message.
struct EQuintar : std::runtime_error {
  using std::runtime_error::runtime_error;
};

#pragma pack(push, 1)
// Draw record; the same 24 bytes are stored in the draw archive file.
struct TDraw {
  int32_t Number;
  uint8_t Nums[NUMS_IN_DRAW];  // in drawn order
  uint8_t Bonus;
  uint8_t DateLen;             // short string: length byte + 11 characters (Windows-1251)
  char DateChars[11];

  std::string Date() const;            // UTF-8
  void SetDate(std::string_view text);  // UTF-8, cut to 11 characters
};

struct TComb {
  uint8_t n[NUMS_IN_DRAW];
  uint8_t& operator[](int i) { return n[i]; }
  uint8_t operator[](int i) const { return n[i]; }
  bool operator==(const TComb&) const = default;
};

struct TNumSet {
  int32_t Count;
  uint8_t Nums[8];
};

struct TStatSimple {
  int32_t Key;
  int32_t Count;
};

struct TProfitDraw {
  int32_t Draw;
  int64_t Profit;  // 1/10000 units
};
#pragma pack(pop)

static_assert(sizeof(TDraw) == 24);
static_assert(sizeof(TComb) == 7);
static_assert(sizeof(TNumSet) == 12);
static_assert(sizeof(TStatSimple) == 8);
static_assert(sizeof(TProfitDraw) == 12);

using TDrawsArray = std::vector<TDraw>;
using TCombsArray = std::vector<TComb>;
using TIntArray = std::vector<int32_t>;
using TByteArray = std::vector<uint8_t>;
using TStatSimpleArray = std::vector<TStatSimple>;
using TProfitDrawArray = std::vector<TProfitDraw>;

TDraw ZeroDraw();
TComb CombOf(const TDraw& d);

// Number properties.
inline bool IsEven(int n) { return n % 2 == 0; }
inline bool IsSmall(int n) { return n <= 18; }
bool IsPrime(int n);
int CeilDiv(int a, int b);
inline int ChannelOf(int n, int size) { return CeilDiv(n, size); }
struct TCell {
  int Col, Row;  // zero-based
};
inline TCell CellOf(int n, int cols) { return {(n - 1) % cols, (n - 1) / cols}; }
inline int ColumnOf(int n, int cols) { return (n - 1) % cols + 1; }
inline int RowOf(int n, int cols) { return (n - 1) / cols + 1; }
inline int NumberAt(int row, int col, int cols) { return 1 + row * cols + col; }
int GroupCount(int lo, int hi, int size);

// RGB colour as 0xRRGGBB.
uint32_t ChannelColor(int n, int size);

// Arithmetic.
int64_t Factorial(uint8_t n);
int64_t RisingProduct(int a, int k);
int64_t FallingProduct(int a, int k);
int64_t CombCount(int n, int k);
int64_t CombCountByHits(int n, int k, int m);
int SumUp(int a, int k);
int SumDown(int a, int k);
int ShiftNumber(int n, int k);
void ShiftComb(const TComb& comb, int k, TComb& out);

// Membership and matching.
bool DrawHasNumber(int n, const TDraw& d);
bool CombHasNumber(int n, const TComb& c);
bool DrawHasGroup(int g, const TDraw& d, int size);
bool DrawHasMapped(int v, const TDraw& d, const uint8_t table[MAX_NUMBER]);
bool ByteListHas(uint8_t v, const TByteArray& list);
void ByteListAddUnique(uint8_t v, TByteArray& list);
void ByteListAdd(uint8_t v, TByteArray& list);
int CountMatches(const uint8_t* a, const uint8_t* b);
void CommonNumbers(const TDraw& d, const TNumSet& set, TNumSet& out);
bool SameNumSet(const TNumSet& a, const TNumSet& b);
int CountDistinct(const uint8_t* combs, int n);
void CollectDistinct(const uint8_t* combs, int n, TByteArray& out);
TNumSet NumSetOf(const TComb& c);

// Sorting (stable insertion sorts).
void SortComb(TComb& c);
void SortBytes(uint8_t* p, int n);
void SortDrawNums(TDraw& d);
void SortNumSet(TNumSet& s);
void SortIntsDesc(TIntArray& list);
void SortSimple(TStatSimpleArray& list);

// Counting lists.
void AddSimple(TStatSimpleArray& list, int32_t key, int32_t inc);
void AddProfitDraw(TProfitDrawArray& list, int32_t draw, int64_t profit);

// Text forms.
int NumberFromText(std::string_view s);  // not an integer gives 0
std::string CombToText(const TComb& c);
std::string CombToDisplay(const TComb& c);
std::string NumSetToText(const TNumSet& s, std::string_view sep);
void TextToComb(std::string_view text, TComb& out);  // raises EQuintar
// Seven different numbers 1..35.
bool IsValidComb(const TComb& c);
std::string DrawInfoText(const TDraw& d);
TIntArray IntListFromText(std::string_view text);
std::string IntListToText(const TIntArray& list, std::string_view sep);
std::string StakeKindName(int kind);

// Dates: a date is held as a day count (TDate, days since 1899-12-30 with the fraction as time of day).
using TDateTime = double;
int DateToInt(TDateTime date);
TDateTime IntToDate(int v);
TDateTime EncodeDate(int year, int month, int day);  // raises EQuintar for an invalid date
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
TDateTime Today();
TDateTime Now();
std::string DrawDateToText(TDateTime date);
TDateTime TextToDrawDate(std::string_view text);  // raises EQuintar for an unreadable date
// The hooks; the main window installs them before anything else runs.
using TDateFormatter = std::function<std::string(TDateTime)>;
using TDateParser = std::function<TDateTime(std::string_view)>;
void SetDateHooks(TDateFormatter formatter, TDateParser parser);
// The program's own formatter and parser ("5 Jan 2017").
std::string FormatDrawDate(TDateTime date);
TDateTime ParseDrawDate(std::string_view text);
void InstallDrawDateHooks();
std::string MonthPageName(int v);

void ReduceDiffs(const uint8_t* row, int count, int mode, TByteArray& out);

}  // namespace quintar
