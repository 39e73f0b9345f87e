#include "stats/statregistry.h"

#include "stats/statfactories.h"
#include "stats/statlist.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

std::string KindsLetters(uint8_t kinds) {
  static const char* const letters[] = {"S", "N", "D", "P", "G"};
  std::string out;
  for (int bit = 0; bit < 5; ++bit)
    if (kinds & (1 << bit)) out += letters[bit];
  return out;
}

namespace {

struct TGroupText {
  const char* code;
  const char* name;
};

const TGroupText kGroups[STAT_GROUP_COUNT] = {
    {"num", "Числа тиража"},
    {"sum", "Сумма чисел тиража"},
    {"dif", "Разности между числами тиража"},
    {"grp", "Каналы (группы чисел)"},
    {"mtx", "Матрица тиража"},
    {"sgm", "Сегменты матрицы тиража"},
    {"seq", "Последовательности чисел в одном тираже"},
    {"rep", "Повторяющиеся числа в нескольких тиражах"},
    {"ser", "Серии (цепочки) значений"},
    {"per", "Периоды повторения значений"},
    {"mov", "Переходы (изменения) значений между тиражами"},
    {"vnk", "Характеристическое число Варника"},
    {"shr", "Методы шинковки"},
};

}  // namespace

std::string StatGroupCode(int group) {
  return group >= 0 && group < STAT_GROUP_COUNT ? kGroups[group].code : "";
}

std::string StatGroupName(int group) {
  return group >= 0 && group < STAT_GROUP_COUNT ? kGroups[group].name : "#ERROR#";
}

std::string StatGroupCaption(int group) {
  return Format("{ %1:s } %0:s", {StatGroupName(group), StatGroupCode(group)});
}

// Class-level operations --------------------------------------------------------------------------------

std::string TStatClassInfo::GetName() const {
  if (!HasWith) return Name;
  if (WithText) return Format(Name, {WithText});
  return Format(Name, {WithInt});
}

std::string TStatClassInfo::CodeOf(int32_t param) const { return Format(Code, {param}); }

std::string TStatClassInfo::NameOf(int32_t param) const {
  if (NameFn) return NameFn(*this, param);
  return Format(GetName(), {param});
}

namespace {
std::string& HelpFile() {
  static std::string path;
  return path;
}
}  // namespace

void SetStatHelpFile(const std::string& path) { HelpFile() = path; }
const std::string& StatHelpFile() { return HelpFile(); }

namespace {
std::string& PagesFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void SetStatPagesFolder(const std::string& folder) { PagesFolder() = folder.empty() ? "" : IncludeTrailingSlash(folder); }
const std::string& StatPagesFolder() { return PagesFolder(); }

std::string StatPageName(const TStatClassInfo& cls, int32_t param) {
  return Format("Filters_%.4d_%s.htm", {1049, Format(cls.GetListCode(), {param})});
}

std::string TStatClassInfo::HelpUrlOf(int32_t param) const {
  const std::string& folder = PagesFolder();
  if (!folder.empty()) {
    const std::string page = folder + StatPageName(*this, param);
    if (FileExists(page)) return page;
  }
  const std::string& help = HelpFile();
  if (help.empty() || !FileExists(help)) return "";
  return "ms-its:" + help + "::/" + StatPageName(*this, param);
}

std::pair<int, int> TStatClassInfo::GetParamRange(const TStatList& list) const {
  const TConfigData& c = list.Config;
  switch (Range) {
    case TParamRange::None:
      return {0, 0};
    case TParamRange::Fixed:
      return {RangeLo, RangeHi};
    case TParamRange::Channels:
      if (c.ChannelSize <= 0) return {0, -1};
      return {ChannelOf(1, c.ChannelSize), ChannelOf(MAX_NUMBER, c.ChannelSize)};
    case TParamRange::Columns:
      if (c.MatrixCols <= 0) return {0, -1};
      return {1, c.MatrixCols};
    case TParamRange::Rows:
      if (c.MatrixCols <= 0) return {0, -1};
      return {1, GroupCount(1, MAX_NUMBER, c.MatrixCols)};
    case TParamRange::Segments: {
      int lo = 9, hi = 1;
      for (uint8_t s : c.MatrixSegments) {
        if (s < lo) lo = s;
        if (s > hi) hi = s;
      }
      return {lo, hi};
    }
  }
  return {0, -1};
}

// The table ---------------------------------------------------------------------------------------------

namespace {

// One row of the table, written as R(no, class, code, name, group, kinds letters) and options.
struct R : TStatClassInfo {
  R(int no, const char* className, const char* code, const char* name, int group, std::string_view kinds) {
    No = no;
    ClassName = className;
    Code = code;
    Name = name;
    Group = static_cast<uint8_t>(group);
    for (char ch : kinds) switch (ch) {
        case 'S': Kinds |= KIND_S; break;
        case 'N': Kinds |= KIND_N; break;
        case 'D': Kinds |= KIND_D; break;
        case 'P': Kinds |= KIND_P; break;
        case 'G': Graph = true; break;
      }
  }
  R& With(int v) { HasWith = true; WithInt = v; return *this; }
  R& With(const char* v) { HasWith = true; WithText = v; return *this; }
  R& Params(int lo, int hi) { Range = TParamRange::Fixed; RangeLo = lo; RangeHi = hi; return *this; }
  R& Channels() { Range = TParamRange::Channels; return *this; }
  R& Columns() { Range = TParamRange::Columns; return *this; }
  R& Rows() { Range = TParamRange::Rows; return *this; }
  R& Segments() { Range = TParamRange::Segments; return *this; }
  R& List(const char* code) { ListCode = code; return *this; }
  R& NotOffered() { Available = false; return *this; }
  R& NoValueList() { ValueList = false; return *this; }
  R& Serial() { CarriesContext = true; return *this; }
  R& NameBy(TStatNameOf fn) { NameFn = fn; return *this; }
  R& Make(TStatFactory fn) { Factory = fn; return *this; }
};

// The rows of families not built yet carry their codes, names, groups, kinds and parameter ranges; a
// family adds the rest of its answers (value lists, list codes, factory) when it is built.
std::vector<TStatClassInfo> BuildTable() {
  // clang-format off
  const R rows[] = {
      R(1, "TstValues", "NUMS", "Числа тиража", 0, "N").Make(NewTstValues),
      R(2, "TstDigits", "DIGS", "Цифры тиража", 0, "N").Make(NewTstDigits),
      R(3, "TstEvenCount", "EVEN", "Количество четных чисел в тираже (Ч:Н)", 0, "NG").Make(NewTstEvenCount),
      R(4, "TstEvenValues", "EVNV", "Четные и нечетные числа в тираже (Чн..нЧ)", 0, "SN").Make(NewTstEvenValues),
      R(5, "TstSmallCount", "SMAL", "Количество чисел из первой половины диапазона (1П:2П)", 0, "NG").Make(NewTstSmallCount),
      R(6, "TstSmallValues", "SMLV", "Числа из первой половины диапазона (12..12)", 0, "SN").Make(NewTstSmallValues),
      R(7, "TstPrimeCount", "PRIM", "Количество простых чисел (П:С)", 0, "NG").Make(NewTstPrimeCount),
      R(8, "TstPrimeValues", "PRMV", "Простые и составные числа (ПС..СП)", 0, "SN").Make(NewTstPrimeValues),
      R(9, "TstSumValues", "SUMS", "Сумма тиража: все значения", 1, "NG").Make(NewTstSumValues),
      R(10, "TstSumRanges", "SUM%d", "Сумма тиража: диапазон %d (%d/%d)", 1, "NG").Params(1, 3).NameBy(SumRangeName).NoValueList().Make(NewTstSumRanges),
      R(11, "TstSumChange", "SUMC", "Сумма тиража: изменения (точно)", 1, "DG").NoValueList().Make(NewTstSumChange),
      R(12, "TstSumChangeSome", "SUMV", "Сумма тиража: изменения (диапазон)", 1, "D").NoValueList().Make(NewTstSumChangeSome),
      R(13, "TstSumTrend", "SUMT", "Сумма тиража: направление изменения", 1, "DG").NoValueList().Make(NewTstSumTrend),
      R(14, "TstSumEvenValues", "SUME", "Сумма тиража: только четные", 1, "NG").Make(NewTstSumEvenValues),
      R(15, "TstSumPrimeValues", "SUMP", "Сумма тиража: только простые", 1, "NG").Make(NewTstSumPrimeValues),
      R(16, "TstSum2To3", "S2T3", "Сумма двух чисел тиража равна третьему числу", 1, "NG").Make(NewTstSum2To3),
      R(17, "TstDiffTotal", "DIFA", "Все разности между соседними позициями", 2, "SN").Make(NewTstDiffTotal),
      R(18, "TstDiffMax", "DIFM", "Максимальная разность между соседними позициями", 2, "SNG").Make(NewTstDiffMax),
      R(19, "TstMinMaxDiffs", "DIFD", "Разность между минимальным и максимальным числом", 2, "NG").Make(NewTstMinMaxDiffs),
      R(20, "TstDiffSame", "DIFO", "Одинаковые разности между соседними позициями", 2, "SN").NoValueList().Make(NewTstDiffSame),
      R(21, "TstDiffSameCnt", "DIFK", "Количество одинаковых разностей между соседними позициями", 2, "SNG").Make(NewTstDiffSameCnt),
      R(22, "TstChannels", "CHAN", "Каналы", 3, "N").Make(NewTstChannels),
      R(23, "TstChanValues", "CHNV", "Количество чисел в канале", 3, "N").NoValueList().Make(NewTstChanValues),
      R(24, "TstChanCount", "CHNC", "Количество каналов в тираже", 3, "NG").Make(NewTstChanCount),
      R(25, "TstColumns", "COLS", "Столбцы матрицы (не пустые)", 4, "N").Make(NewTstColumns),
      R(26, "TstRows", "ROWS", "Строки матрицы (не пустые)", 4, "N").Make(NewTstRows),
      R(27, "TstColValues", "COLV", "Количество чисел в столбце матрицы", 4, "N").NoValueList().Make(NewTstColValues),
      R(28, "TstRowValues", "ROWV", "Количество чисел в строке матрицы", 4, "N").NoValueList().Make(NewTstRowValues),
      R(29, "TstColCount", "COLN", "Количество не пустых столбцов в матрице", 4, "NG").Make(NewTstColCount),
      R(30, "TstRowCount", "ROWN", "Количество не пустых строк в матрице", 4, "NG").Make(NewTstRowCount),
      R(31, "TstColMask", "COLM", "Сочетания столбцов матрицы", 4, "N").Make(NewTstColMask),
      R(32, "TstRowMask", "ROWM", "Сочетания строк матрицы", 4, "N").Make(NewTstRowMask),
      R(33, "TstColAjacent", "COLA", "Столбцы матрицы со смежными числами", 4, "N").Make(NewTstColAjacent),
      R(34, "TstRowAjacent", "ROWA", "Строки матрицы со смежными числами", 4, "N").Make(NewTstRowAjacent),
      R(35, "TstColAjacentCnt", "COLC", "Количество столбцов матрицы со смежными числами", 4, "NG").Make(NewTstColAjacentCnt),
      R(36, "TstRowAjacentCnt", "ROWC", "Количество строк матрицы со смежными числами", 4, "NG").Make(NewTstRowAjacentCnt),
      R(37, "TstSegments", "SGMS", "Сегменты матрицы", 5, "N").Make(NewTstSegments),
      R(38, "TstSegmValues", "SGMV", "Количество чисел в сегменте матрицы", 5, "N").NoValueList().Make(NewTstSegmValues),
      R(39, "TstSegmCount", "SGMC", "Количество не пустых сегментов в матрице", 5, "NG").Make(NewTstSegmCount),
      R(40, "TstSequenceLen", "SEQL", "Длина последовательности в тираже", 6, "SN").Make(NewTstSequenceLen),
      R(41, "TstSequenceCnt", "SEQS", "Количество последовательностей в тираже", 6, "SNG").Make(NewTstSequenceCnt),
      R(42, "TstSequenceLenMax", "LENS", "Макс. длина последовательности в тираже", 6, "SNG").Make(NewTstSequenceLenMax),
      R(43, "TstRepValues2", "RPV2", "Повторяющиеся числа в 2-х тиражах подряд", 7, "D"),
      R(44, "TstRepValues3", "RPV3", "Повторяющиеся числа в 3-х тиражах подряд", 7, "D"),
      R(45, "TstRepValues2B3", "PRL2", "Повторяющиеся числа не более чем в 2-х тиражах", 7, "D"),
      R(46, "TstRepValues2over1", "PRV2O1", "Повторяющиеся числа в 2-х тиражах через %d тираж(а)", 7, "D").With(1),
      R(47, "TstRepValues2over2", "PRV2O2", "Повторяющиеся числа в 2-х тиражах через %d тираж(а)", 7, "D").With(2),
      R(48, "TstRepValues2over3", "PRV2O3", "Повторяющиеся числа в 2-х тиражах через %d тираж(а)", 7, "D").With(3),
      R(49, "TstRepValues2P1", "PRV+1", "Данные предыдущего тиража %s", 7, "D").With("+ 1"),
      R(50, "TstRepValues2N1", "PRV-1", "Данные предыдущего тиража %s", 7, "D").With("- 1"),
      R(51, "TstRepValues2P2", "PRV+2", "Данные предыдущего тиража %s", 7, "D").With("+ 2"),
      R(52, "TstRepValues2N2", "PRV-2", "Данные предыдущего тиража %s", 7, "D").With("- 2"),
      R(53, "TstRepCount2", "RPC2", "Количество повторов в 2-х тиражах подряд", 7, "D"),
      R(54, "TstRepCount3", "RPC3", "Количество повторов в 3-х тиражах подряд", 7, "D"),
      R(55, "TstRepCount2B3", "PRB2", "Количество повторов не более чем в 2-х тиражах", 7, "D"),
      R(56, "TstRepCount2over1", "RPO1", "Количество повторов в 2-х тиражах через %d тираж(а)", 7, "D").With(1),
      R(57, "TstRepCount2over2", "PRC2O2", "Количество повторов в 2-х тиражах через %d тираж(а)", 7, "D").With(2),
      R(58, "TstRepCount2over3", "PRC2O3", "Количество повторов в 2-х тиражах через %d тираж(а)", 7, "D").With(3),
      R(59, "TstRepCount2P1", "PRC+1", "Количество совпадений \"значений %s\"", 7, "D").With("+ 1"),
      R(60, "TstRepCount2N1", "PRC-1", "Количество совпадений \"значений %s\"", 7, "D").With("- 1"),
      R(61, "TstRepCount2P2", "PRC+2", "Количество совпадений \"значений %s\"", 7, "D").With("+ 2"),
      R(62, "TstRepCount2N2", "PRC-2", "Количество совпадений \"значений %s\"", 7, "D").With("- 2"),
      R(63, "TstCombValMix2", "KNM2", "Сочетания из %0:d чисел по всем числам тиража", 0, "S").With(2),
      R(64, "TstCombValMix3", "KNM3", "Сочетания из %0:d чисел по всем числам тиража", 0, "S").With(3),
      R(65, "TstCombValMix4", "KNM4", "Сочетания из %0:d чисел по всем числам тиража", 0, "S").With(4),
      R(66, "TstCombValSeq2", "KNS2", "Сочетания из %0:d соседних чисел тиража", 0, "S").With(2),
      R(67, "TstCombValSeq3", "KNS3", "Сочетания из %0:d соседних чисел тиража", 0, "S").With(3),
      R(68, "TstCombValSeq4", "KNS4", "Сочетания из %0:d соседних чисел тиража", 0, "S").With(4),
      R(69, "TstCombValPos2", "KNP2%d", "Сочетания из 2-х чисел тиража начиная с %0:d позиции", 0, "S").Params(1, 6).List("KNP2"),
      R(70, "TstCombValPos3", "KNP3%d", "Сочетания из 3-х чисел тиража начиная с %0:d позиции", 0, "S").Params(1, 5).List("KNP3"),
      R(71, "TstCombValPos4", "KNP4%d", "Сочетания из 4-х чисел тиража начиная с %0:d позиции", 0, "S").Params(1, 4).List("KNP4"),
      R(72, "TstCombValSort2", "KNO2", "Сочетания из %0:d чисел тиража по возрастанию", 0, "").With(2).NotOffered(),
      R(73, "TstCombValSort3", "KNO3", "Сочетания из %0:d чисел тиража по возрастанию", 0, "").With(3).NotOffered(),
      R(74, "TstCombValSort4", "KNO4", "Сочетания из %0:d чисел тиража по возрастанию", 0, "").With(4).NotOffered(),
      R(75, "TstCombDiffSeq2", "KDS2", "Сочетания из %0:d разностей между числами", 2, "S").With(2).NoValueList().Make(NewTstCombDiffSeq2),
      R(76, "TstCombDiffSeq3", "KDS3", "Сочетания из %0:d разностей между числами", 2, "S").With(3).NoValueList().Make(NewTstCombDiffSeq3),
      R(77, "TstCombDiffSeq4", "KDS4", "Сочетания из %0:d разностей между числами", 2, "S").With(4).NoValueList().Make(NewTstCombDiffSeq4),
      R(78, "TstCombChnMix2", "KCM2", "Сочетания из %0:d каналов по всем числам тиража", 3, "S").With(2).NoValueList().Make(NewTstCombChnMix2),
      R(79, "TstCombChnMix3", "KCM3", "Сочетания из %0:d каналов по всем числам тиража", 3, "S").With(3).NoValueList().Make(NewTstCombChnMix3),
      R(80, "TstCombChnMix4", "KCM4", "Сочетания из %0:d каналов по всем числам тиража", 3, "S").With(4).NoValueList().Make(NewTstCombChnMix4),
      R(81, "TstCombChnSeq2", "KCS2", "Сочетания из %0:d каналов по соседним числам", 3, "S").With(2).NoValueList().Make(NewTstCombChnSeq2),
      R(82, "TstCombChnSeq3", "KCS3", "Сочетания из %0:d каналов по соседним числам", 3, "S").With(3).NoValueList().Make(NewTstCombChnSeq3),
      R(83, "TstCombChnSeq4", "KCS4", "Сочетания из %0:d каналов по соседним числам", 3, "S").With(4).NoValueList().Make(NewTstCombChnSeq4),
      R(84, "TstCombColMix2", "KFM2", "Сочетания из %0:d столбцов по всем числам тиража", 4, "S").With(2).NoValueList().Make(NewTstCombColMix2),
      R(85, "TstCombColMix3", "KFM3", "Сочетания из %0:d столбцов по всем числам тиража", 4, "S").With(3).NoValueList().Make(NewTstCombColMix3),
      R(86, "TstCombColMix4", "KFM4", "Сочетания из %0:d столбцов по всем числам тиража", 4, "S").With(4).NoValueList().Make(NewTstCombColMix4),
      R(87, "TstCombColSeq2", "KFS2", "Сочетания из %0:d столбцов по соседним числам", 4, "S").With(2).NoValueList().Make(NewTstCombColSeq2),
      R(88, "TstCombColSeq3", "KFS3", "Сочетания из %0:d столбцов по соседним числам", 4, "S").With(3).NoValueList().Make(NewTstCombColSeq3),
      R(89, "TstCombColSeq4", "KFS4", "Сочетания из %0:d столбцов по соседним числам", 4, "S").With(4).NoValueList().Make(NewTstCombColSeq4),
      R(90, "TstCombRowMix2", "KRM2", "Сочетания из %0:d строк по всем числам тиража", 4, "S").With(2).NoValueList().Make(NewTstCombRowMix2),
      R(91, "TstCombRowMix3", "KRM3", "Сочетания из %0:d строк по всем числам тиража", 4, "S").With(3).NoValueList().Make(NewTstCombRowMix3),
      R(92, "TstCombRowMix4", "KRM4", "Сочетания из %0:d строк по всем числам тиража", 4, "S").With(4).NoValueList().Make(NewTstCombRowMix4),
      R(93, "TstCombRowSeq2", "KRS2", "Сочетания из %0:d строк по соседним числам", 4, "S").With(2).NoValueList().Make(NewTstCombRowSeq2),
      R(94, "TstCombRowSeq3", "KRS3", "Сочетания из %0:d строк по соседним числам", 4, "S").With(3).NoValueList().Make(NewTstCombRowSeq3),
      R(95, "TstCombRowSeq4", "KRS4", "Сочетания из %0:d строк по соседним числам", 4, "S").With(4).NoValueList().Make(NewTstCombRowSeq4),
      R(96, "TstCombSegmMix2", "KGM2", "Сочетания из %0:d сегментов по всем числам тиража", 5, "S").With(2).NoValueList().Make(NewTstCombSegmMix2),
      R(97, "TstCombSegmMix3", "KGM3", "Сочетания из %0:d сегментов по всем числам тиража", 5, "S").With(3).NoValueList().Make(NewTstCombSegmMix3),
      R(98, "TstCombSegmMix4", "KGM4", "Сочетания из %0:d сегментов по всем числам тиража", 5, "S").With(4).NoValueList().Make(NewTstCombSegmMix4),
      R(99, "TstCombSegmSeq2", "KGS2", "Сочетания из %0:d сегментов по соседним числам", 5, "S").With(2).NoValueList().Make(NewTstCombSegmSeq2),
      R(100, "TstCombSegmSeq3", "KGS3", "Сочетания из %0:d сегментов по соседним числам", 5, "S").With(3).NoValueList().Make(NewTstCombSegmSeq3),
      R(101, "TstCombSegmSeq4", "KGS4", "Сочетания из %0:d сегментов по соседним числам", 5, "S").With(4).NoValueList().Make(NewTstCombSegmSeq4),
      R(102, "TstPosVal", "POS%d", "Число в %0:d позиции тиража", 0, "SNG").Params(1, 7).List("POSx").Make(NewTstPosVal),
      R(103, "TstPosExt", "POE%d", "Extra (Bonus, Star...) - число (!без фильтра!)", 0, "G").Params(1, 1).List("POSx").Make(NewTstPosExt),
      R(104, "TstChnValCnt", "CHN%d", "Количество чисел в %0:d канале", 3, "NG").Channels().List("CHNx").Make(NewTstChnValCnt),
      R(105, "TstColValCnt", "COL%d", "Количество чисел в %0:d столбце матрицы", 4, "NG").Columns().List("COLx").Make(NewTstColValCnt),
      R(106, "TstRowValCnt", "ROW%d", "Количество чисел в %0:d строке матрицы", 4, "NG").Rows().List("ROWx").Make(NewTstRowValCnt),
      R(107, "TstSgmValCnt", "SGM%d", "Количество чисел в %0:d сегменте матрицы", 5, "NG").Segments().List("SGMx").Make(NewTstSgmValCnt),
      R(108, "TstNumGroups", "GRPV", "Повторы чисел в нескольких тиражах подряд", 8, "D").Serial().NoValueList().Make(NewTstNumGroups),
      R(109, "TstNumPauses", "GRPP", "Интервалы между повторениями чисел", 8, "D").Serial().NoValueList().Make(NewTstNumPauses),
      R(110, "TstChnGroups", "GRCV", "Повторы каналов в нескольких тиражах подряд", 8, "D").Serial().NoValueList().Make(NewTstChnGroups),
      R(111, "TstChnPauses", "GRCP", "Интервалы между повторениями каналов", 8, "D").Serial().NoValueList().Make(NewTstChnPauses),
      R(112, "TstSgmGroups", "GRSV", "Повторы сегментов в нескольких тиражах подряд", 8, "D").Serial().NoValueList().Make(NewTstSgmGroups),
      R(113, "TstSgmPauses", "GRSP", "Интервалы между повторениями сегментов", 8, "D").Serial().NoValueList().Make(NewTstSgmPauses),
      R(114, "TstNumPeriods", "PRDV", "Периоды повторения чисел", 9, "P").NoValueList().Make(NewTstNumPeriods),
      R(115, "TstChnPeriods", "PRDC", "Периоды повторения каналов", 9, "P").NoValueList().Make(NewTstChnPeriods),
      R(116, "TstSgmPeriods", "PRDG", "Периоды повторения сегментов", 9, "P").NoValueList().Make(NewTstSgmPeriods),
      R(117, "TstChain2DrawsAll", "SDV2", "Переходы чисел между %0:d тиражами без учета позиции", 10, "D").With(2).NoValueList().Make(NewTstChain2DrawsAll),
      R(118, "TstChain2DrawsPos", "SDP2", "Переходы чисел между %0:d тиражами с учетом позиции", 10, "SD").With(2).NoValueList().Make(NewTstChain2DrawsPos),
      R(119, "TstChain2Pos", "SDN%d", "Переходы чисел между %0:d тиражами в %%d позиции", 10, "SD").With(2).Params(1, 7).List("SDNx").NoValueList().Make(NewTstChain2Pos),
      R(120, "TstChain3DrawsPos", "SDP3", "Переходы чисел между %0:d тиражами с учетом позиции", 10, "SD").With(3).NoValueList().Make(NewTstChain3DrawsPos),
      R(121, "TstChain3Pos", "SDM%d", "Переходы чисел между %0:d тиражами в %%d позиции", 10, "SD").With(3).Params(1, 7).List("SDMx").NoValueList().Make(NewTstChain3Pos),
      R(122, "TstChain2ChannelsAll", "SCV2", "Переходы каналов между %0:d тиражами без учета позиции", 10, "D").With(2).NoValueList().Make(NewTstChain2ChannelsAll),
      R(123, "TstChain2ChannelsPos", "SCP2", "Переходы каналов между %0:d тиражами с учетом позиции", 10, "SD").With(2).NoValueList().Make(NewTstChain2ChannelsPos),
      R(124, "TstChain2Channel", "SCN%d", "Переходы каналов между %0:d тиражами в %%d позиции", 10, "SD").With(2).Params(1, 7).List("SCNx").NoValueList().Make(NewTstChain2Channel),
      R(125, "TstChain3ChannelsPos", "SCP3", "Переходы каналов между %0:d тиражами с учетом позиции", 10, "SD").With(3).NoValueList().Make(NewTstChain3ChannelsPos),
      R(126, "TstChain3Channel", "SCM%d", "Переходы каналов между %0:d тиражами в %%d позиции", 10, "SD").With(3).Params(1, 7).List("SCMx").NoValueList().Make(NewTstChain3Channel),
      R(127, "TstChain2CnlCnt", "SC2C%d", "Переходы кол-ва чисел в %%d канале между %0:d тиражами", 10, "D").With(2).Channels().List("SC2Cx").NoValueList().Make(NewTstChain2CnlCnt),
      R(128, "TstChain3CnlCnt", "SC3C%d", "Переходы кол-ва чисел в %%d канале между %0:d тиражами", 10, "D").With(3).Channels().List("SC3Cx").NoValueList().Make(NewTstChain3CnlCnt),
      R(129, "TstChainChannels2InsideAll", "SDA2", "Переходы чисел в пределах каналов (все)", 10, "D").NoValueList().Make(NewTstChainChannels2InsideAll),
      R(130, "TstChainChannels2InsideSuc", "SDG2", "Переходы чисел в пределах каналов (N-M, удачные)", 10, "D").NoValueList().Make(NewTstChainChannels2InsideSuc),
      R(131, "TstChainChannels2InsideBad", "SDZ2", "Переходы чисел в пределах каналов (N-0, не удачные)", 10, "D").NoValueList().Make(NewTstChainChannels2InsideBad),
      R(132, "TstChainChannels2InsideCnt", "SDC2", "Переходы чисел в пределах каналов (количество)", 10, "D").NoValueList().Make(NewTstChainChannels2InsideCnt),
      R(133, "TstChain2SegmentsAll", "SSV2", "Переходы сегментов между %0:d тиражами без учета позиции", 10, "D").With(2).NoValueList().Make(NewTstChain2SegmentsAll),
      R(134, "TstChain2SegmentsPos", "SSP2", "Переходы сегментов между %0:d тиражами с учетом позиции", 10, "SD").With(2).NoValueList().Make(NewTstChain2SegmentsPos),
      R(135, "TstChain2Segment", "SSN%d", "Переходы сегментов между %0:d тиражами в %%d позиции", 10, "SD").With(2).Params(1, 7).List("SSNx").NoValueList().Make(NewTstChain2Segment),
      R(136, "TstChain3SegmentsPos", "SSP3", "Переходы сегментов между %0:d тиражами с учетом позиции", 10, "SD").With(3).NoValueList().Make(NewTstChain3SegmentsPos),
      R(137, "TstChain3Segment", "SSM%d", "Переходы сегментов между %0:d тиражами в %%d позиции", 10, "SD").With(3).Params(1, 7).List("SSMx").NoValueList().Make(NewTstChain3Segment),
      R(138, "TstChain2SgmCnt", "SS2C%d", "Переходы кол-ва чисел в %%d сегменте между %0:d тиражами", 10, "D").With(2).Segments().List("SS2Cx").NoValueList().Make(NewTstChain2SgmCnt),
      R(139, "TstChain3SgmCnt", "SS3C%d", "Переходы кол-ва чисел в %%d сегменте между %0:d тиражами", 10, "D").With(3).Segments().List("SS3Cx").NoValueList().Make(NewTstChain3SgmCnt),
      R(140, "TstVarnik1", "VNK1", "Число Варника 1 (только разность)", 11, "SNG"),
      R(141, "TstVarnik2", "VNK2", "Число Варника 2 (разность + сложение, если {0,1})", 11, "SNG"),
      R(142, "TstVarnik3", "VNK3", "Числа Варника 3 (динамический, только фильтр)", 11, "SD"),
      R(143, "TstShreddingStat", "SHR%d", "Метод шинковки %0:d: %%s", 12, "SNG").Params(1, 3).List("SHRx").Make(NewTstShreddingStat),
  };
  // clang-format on
  return std::vector<TStatClassInfo>(std::begin(rows), std::end(rows));
}

}  // namespace

const std::vector<TStatClassInfo>& StatRegistry() {
  static const std::vector<TStatClassInfo> table = BuildTable();
  return table;
}

const TStatClassInfo* FindStatClass(std::string_view className) {
  for (const auto& c : StatRegistry())
    if (className == c.ClassName) return &c;
  return nullptr;
}

}  // namespace quintar
