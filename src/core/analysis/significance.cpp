#include "analysis/significance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

// Tails ---------------------------------------------------------------------------------------------------

long double BinomialUpperTail(int64_t n, long double p, int64_t k) {
  if (k <= 0) return 1;
  if (k > n || p <= 0) return 0;
  if (p >= 1) return 1;
  const long double q = 1 - p, ratio = p / q;
  auto term = [&](int64_t j) {
    const long double nn = static_cast<long double>(n), jj = static_cast<long double>(j);
    return std::exp(std::lgamma(nn + 1) - std::lgamma(jj + 1) - std::lgamma(nn - jj + 1) + jj * std::log(p) +
                    (nn - jj) * std::log1p(-p));
  };
  const long double mean = static_cast<long double>(n) * p;
  if (static_cast<long double>(k) >= mean) {
    // Upwards from k: past the mode every term is smaller than the one before.
    long double t = term(k), sum = 0;
    for (int64_t j = k; j <= n && t > 0; ++j) {
      sum += t;
      if (t < sum * 1e-22L && static_cast<long double>(j) > mean) break;
      t *= static_cast<long double>(n - j) / static_cast<long double>(j + 1) * ratio;
    }
    return std::min<long double>(sum, 1);
  }
  // Below the mean the lower tail is the smaller sum; it is summed downwards from k - 1.
  long double t = term(k - 1), sum = 0;
  for (int64_t j = k - 1; j >= 0 && t > 0; --j) {
    sum += t;
    if (t < sum * 1e-22L) break;
    t *= static_cast<long double>(j) / static_cast<long double>(n - j + 1) / ratio;
  }
  return std::clamp<long double>(1 - sum, 0, 1);
}

long double GammaQ(long double a, long double x) {
  if (x <= 0) return 1;
  const long double lg = std::lgamma(a);
  if (x < a + 1) {
    // The series of the lower function, Q = 1 - P.
    long double ap = a, sum = 1 / a, del = sum;
    for (int n = 0; n < 100000; ++n) {
      ap += 1;
      del *= x / ap;
      sum += del;
      if (std::fabs(del) < std::fabs(sum) * 1e-21L) break;
    }
    return std::clamp<long double>(1 - sum * std::exp(-x + a * std::log(x) - lg), 0, 1);
  }
  // The continued fraction of the upper function (modified Lentz).
  const long double tiny = 1e-4000L;
  long double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    const long double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    const long double del = d * c;
    h *= del;
    if (std::fabs(del - 1) < 1e-21L) break;
  }
  return std::clamp<long double>(std::exp(-x + a * std::log(x) - lg) * h, 0, 1);
}

long double ChiSquareUpperTail(long double x, int df) {
  if (df <= 0) return 1;
  return GammaQ(static_cast<long double>(df) / 2, x / 2);
}

std::string PValueText(long double p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%#.4Lg", p);
  std::string s(buf);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// Rating rows ------------------------------------------------------------------------------------------

namespace {

constexpr int kTailsTried = NUMS_IN_DRAW;  // m = 1..7

std::string Fixed(double v, int digits) { return FloatToFixed(v, digits); }

}  // namespace

std::string SignificanceVerdict(long double p) {
  if (!(p < 0.05L)) return kChanceVerdict;
  const long double inverse = 1 / std::max<long double>(p, 1e-300L);
  const std::string often = inverse < 1e12L ? Format("примерно один раз из %s", {Fixed(static_cast<double>(inverse), 0)})
                                            : std::string("реже одного раза из триллиона");
  return Format("лучше случайного угадывания: так же хорошо или лучше случай угадывает с вероятностью %s (%s)",
                {PValueText(p), often});
}

TRowSignificance RowSignificance(const TRatingRec& row, const TStakePrices& prices) {
  TRowSignificance r;
  r.Name = row.Name();
  r.Stakes = std::max<int64_t>(0, row.Stakes);
  r.Profit = row.Profit;
  const TMatchChances& chances = MatchChances();
  const long double all = static_cast<long double>(CombCount(MAX_NUMBER, NUMS_IN_DRAW));
  const long double n = static_cast<long double>(r.Stakes);
  for (int i = 0; i <= NUMS_IN_DRAW; ++i) {
    r.Counts.push_back(std::max<int32_t>(0, row.Counts[i]));
    r.ExpectedCounts.push_back(static_cast<double>(n * static_cast<long double>(chances.Q[i]) / all));
  }
  long double best = 2;
  for (int m = 1; m <= NUMS_IN_DRAW; ++m) {
    TMatchTail t;
    t.Matches = m;
    int64_t q = 0;
    for (int i = m; i <= NUMS_IN_DRAW; ++i) {
      t.Observed += r.Counts[static_cast<size_t>(i)];
      q += chances.Q[i];
    }
    const long double p = static_cast<long double>(q) / all;
    t.Expected = static_cast<double>(n * p);
    t.Tail = BinomialUpperTail(r.Stakes, p, t.Observed);
    if (t.Tail < best) {
      best = t.Tail;
      r.BestMatches = m;
    }
    r.Tails.push_back(t);
  }
  r.PValue = r.Stakes > 0 ? std::min<long double>(1, best * kTailsTried) : 1;
  // Money: the mean and the spread of one stake's result under chance.
  long double mean = 0, square = 0;
  for (int i = 0; i <= NUMS_IN_DRAW; ++i) {
    const long double p = static_cast<long double>(chances.Q[i]) / all;
    const long double v = static_cast<long double>(prices.StakeResult(NUMS_IN_DRAW, i)) / 10000;
    mean += p * v;
    square += p * v * v;
  }
  r.ExpectedProfit = static_cast<double>(n * mean);
  r.ProfitDeviation = static_cast<double>(std::sqrt(std::max<long double>(0, n * (square - mean * mean))));
  r.Verdict = r.Stakes > 0 ? SignificanceVerdict(r.PValue) : std::string("нет проверенных ставок");
  return r;
}

TRatingRec SumOfRows(const std::vector<TRatingRec>& rows, const std::string& name) {
  TRatingRec sum = MakeRatingRec(name);
  for (const TRatingRec& r : rows) {
    sum.Stakes += r.Stakes;
    sum.Guessed += r.Guessed;
    for (int i = 0; i <= NUMS_IN_DRAW; ++i) sum.Counts[i] += r.Counts[i];
    sum.Profit = AddMoney(sum.Profit, r.Profit);
  }
  return sum;
}

// The archive ------------------------------------------------------------------------------------------

namespace {

struct TBin {
  int From, To;
  double Observed = 0, Expected = 0;
};

// Adjacent categories joined until each expects at least 5; a short last one joins the one before it.
std::vector<TBin> MergeBins(const std::vector<TBin>& cells) {
  std::vector<TBin> out;
  TBin cur{0, 0};
  bool open = false;
  for (const TBin& c : cells) {
    if (!open) {
      cur = c;
      open = true;
    } else {
      cur.To = c.To;
      cur.Observed += c.Observed;
      cur.Expected += c.Expected;
    }
    if (cur.Expected >= 5) {
      out.push_back(cur);
      open = false;
    }
  }
  if (open) {
    if (out.empty()) {
      out.push_back(cur);
    } else {
      out.back().To = cur.To;
      out.back().Observed += cur.Observed;
      out.back().Expected += cur.Expected;
    }
  }
  return out;
}

TChiSquareTest BinnedTest(const std::string& caption, const std::vector<TBin>& cells) {
  TChiSquareTest t;
  t.Caption = caption;
  for (const TBin& b : MergeBins(cells)) {
    t.Categories.push_back(b.From == b.To ? std::to_string(b.From) : Format("%d-%d", {b.From, b.To}));
    t.Observed.push_back(b.Observed);
    t.Expected.push_back(b.Expected);
    if (b.Expected > 0) t.ChiSquare += (b.Observed - b.Expected) * (b.Observed - b.Expected) / b.Expected;
  }
  t.Freedom = static_cast<int>(t.Categories.size()) - 1;
  t.PValue = ChiSquareUpperTail(t.ChiSquare, t.Freedom);
  t.Verdict = t.Freedom > 0 ? RandomnessVerdict(t.PValue) : std::string("мало тиражей для проверки");
  return t;
}

// How many combinations of 7 of 35 have each sum (index = sum).
const std::array<int64_t, 225>& SumCounts() {
  static const std::array<int64_t, 225> counts = [] {
    // ways[k][s]: sets of k numbers with sum s among the numbers seen so far.
    std::vector<std::array<int64_t, 225>> ways(NUMS_IN_DRAW + 1);
    for (auto& w : ways) w.fill(0);
    ways[0][0] = 1;
    for (int v = 1; v <= MAX_NUMBER; ++v)
      for (int k = NUMS_IN_DRAW; k >= 1; --k)
        for (int s = 224; s >= v; --s) ways[static_cast<size_t>(k)][static_cast<size_t>(s)] += ways[static_cast<size_t>(k - 1)][static_cast<size_t>(s - v)];
    return ways[NUMS_IN_DRAW];
  }();
  return counts;
}

bool ValidNumber(int v) { return v >= 1 && v <= MAX_NUMBER; }

}  // namespace

std::string RandomnessVerdict(long double p) {
  if (!(p < 0.05L)) return "не отличается от случайных тиражей";
  return Format("%s от случайных тиражей: случайно такое отклонение бывает с вероятностью %s",
                {std::string(p < 0.001L ? "сильное отклонение" : "отклонение"), PValueText(p)});
}

TRandomnessReport ArchiveRandomness(const TDrawsArray& draws, int last, int len) {
  TRandomnessReport rep;
  if (draws.empty() || last < 0) return rep;
  last = std::min(last, static_cast<int>(draws.size()) - 1);
  const int first = len <= 0 || len > last + 1 ? 0 : last - len + 1;
  rep.Draws = last - first + 1;
  rep.FirstDraw = draws[static_cast<size_t>(first)].Number;
  rep.LastDraw = draws[static_cast<size_t>(last)].Number;
  rep.FirstDate = draws[static_cast<size_t>(first)].Date();
  rep.LastDate = draws[static_cast<size_t>(last)].Date();
  const double L = rep.Draws;
  const long double all = static_cast<long double>(CombCount(MAX_NUMBER, NUMS_IN_DRAW));

  // The numbers' frequencies. The seven numbers of a draw are different, so the counts of one draw are
  // not independent: each is 1 with chance 1/5 and two of them covary by -p(1-p)/34. Scaled by that law
  // the sum of squares has the chi-square law with 34 degrees of freedom.
  {
    TChiSquareTest t;
    t.Caption = "Частоты чисел 1..35";
    std::array<double, MAX_NUMBER + 1> counts{};
    for (int i = first; i <= last; ++i)
      for (uint8_t v : draws[static_cast<size_t>(i)].Nums)
        if (ValidNumber(v)) counts[v] += 1;
    const double p = static_cast<double>(NUMS_IN_DRAW) / MAX_NUMBER, e = L * p;
    double squares = 0;
    for (int v = 1; v <= MAX_NUMBER; ++v) {
      t.Categories.push_back(std::to_string(v));
      t.Observed.push_back(counts[static_cast<size_t>(v)]);
      t.Expected.push_back(e);
      squares += (counts[static_cast<size_t>(v)] - e) * (counts[static_cast<size_t>(v)] - e);
    }
    t.Freedom = MAX_NUMBER - 1;
    t.ChiSquare = L > 0 ? squares * (MAX_NUMBER - 1) / (MAX_NUMBER * L * p * (1 - p)) : 0;
    t.PValue = ChiSquareUpperTail(t.ChiSquare, t.Freedom);
    t.Verdict = RandomnessVerdict(t.PValue);
    rep.Tests.push_back(t);
  }
  // The sums against the sums of all combinations.
  {
    const auto& ways = SumCounts();
    std::vector<TBin> cells;
    std::array<double, 225> seen{};
    for (int i = first; i <= last; ++i) {
      int s = 0;
      bool ok = true;
      for (uint8_t v : draws[static_cast<size_t>(i)].Nums) {
        ok = ok && ValidNumber(v);
        s += v;
      }
      if (ok && s <= 224) seen[static_cast<size_t>(s)] += 1;
    }
    for (int s = 28; s <= 224; ++s)
      cells.push_back({s, s, seen[static_cast<size_t>(s)], static_cast<double>(L * static_cast<long double>(ways[static_cast<size_t>(s)]) / all)});
    rep.Tests.push_back(BinnedTest("Суммы чисел", cells));
  }
  // Even numbers: 17 of the 35.
  {
    std::vector<TBin> cells;
    std::array<double, NUMS_IN_DRAW + 1> seen{};
    for (int i = first; i <= last; ++i) {
      int even = 0;
      for (uint8_t v : draws[static_cast<size_t>(i)].Nums) even += ValidNumber(v) && v % 2 == 0;
      seen[static_cast<size_t>(even)] += 1;
    }
    for (int k = 0; k <= NUMS_IN_DRAW; ++k) {
      const long double q = static_cast<long double>(CombCount(17, k) * CombCount(18, NUMS_IN_DRAW - k));
      cells.push_back({k, k, seen[static_cast<size_t>(k)], static_cast<double>(L * q / all)});
    }
    rep.Tests.push_back(BinnedTest("Количество чётных чисел", cells));
  }
  // Numbers of the previous draw drawn again: the law of the matches of one stake.
  {
    std::vector<TBin> cells;
    std::array<double, NUMS_IN_DRAW + 1> seen{};
    for (int i = first + 1; i <= last; ++i) {
      uint64_t before = 0;
      for (uint8_t v : draws[static_cast<size_t>(i - 1)].Nums)
        if (ValidNumber(v)) before |= uint64_t{1} << v;
      int again = 0;
      for (uint8_t v : draws[static_cast<size_t>(i)].Nums) again += ValidNumber(v) && (before >> v & 1);
      seen[static_cast<size_t>(std::min(again, NUMS_IN_DRAW))] += 1;
    }
    const double pairs = std::max(0.0, L - 1);
    for (int k = 0; k <= NUMS_IN_DRAW; ++k)
      cells.push_back({k, k, seen[static_cast<size_t>(k)],
                       static_cast<double>(pairs * static_cast<long double>(MatchChances().Q[k]) / all)});
    rep.Tests.push_back(BinnedTest("Повторы чисел предыдущего тиража", cells));
  }
  return rep;
}

// Texts ------------------------------------------------------------------------------------------------

namespace {

std::string Html(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A bar chart of observed (blue) against expected (grey) counts, as inline SVG.
std::string BarChart(const std::vector<std::string>& categories, const std::vector<double>& observed,
                     const std::vector<double>& expected) {
  const int width = 720, height = 220, left = 40, bottom = 30, top = 10;
  double top_value = 1;
  for (double v : observed) top_value = std::max(top_value, v);
  for (double v : expected) top_value = std::max(top_value, v);
  const size_t n = std::max<size_t>(categories.size(), 1);
  const double slot = static_cast<double>(width - left - 10) / static_cast<double>(n), bar = slot * 0.4;
  const double scale = (height - bottom - top) / top_value;
  std::string s = Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" role=\"img\">", {width, height});
  s += Format("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"black\"/>", {left, height - bottom, width - 10, height - bottom});
  char num[64];
  auto fmt = [&](double v) {
    std::snprintf(num, sizeof num, "%.1f", v);
    return std::string(num);
  };
  for (size_t i = 0; i < categories.size(); ++i) {
    const double x = left + slot * static_cast<double>(i) + slot * 0.1;
    const double ho = observed[i] * scale, he = expected[i] * scale;
    s += "<rect x=\"" + fmt(x) + "\" y=\"" + fmt(height - bottom - ho) + "\" width=\"" + fmt(bar) + "\" height=\"" +
         fmt(ho) + "\" fill=\"#3366cc\"><title>" + Html(categories[i]) + ": " + fmt(observed[i]) + "</title></rect>";
    s += "<rect x=\"" + fmt(x + bar) + "\" y=\"" + fmt(height - bottom - he) + "\" width=\"" + fmt(bar) + "\" height=\"" +
         fmt(he) + "\" fill=\"#aaaaaa\"><title>" + Html(categories[i]) + ": " + fmt(expected[i]) + "</title></rect>";
    if (categories.size() <= 40 || i % 5 == 0)
      s += "<text x=\"" + fmt(x + bar) + "\" y=\"" + std::to_string(height - bottom + 14) +
           "\" font-size=\"10\" text-anchor=\"middle\">" + Html(categories[i]) + "</text>";
  }
  s += "<text x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(height - 4) +
       "\" font-size=\"11\"><tspan fill=\"#3366cc\">■ наблюдается</tspan>  <tspan fill=\"#888888\">■ ожидается при "
       "случайности</tspan></text></svg>";
  return s;
}

const char* kPageHead =
    "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\"><title>%s</title>"
    "<style>body{font-family:sans-serif;margin:1em 2em}table{border-collapse:collapse;margin:.5em 0}"
    "td,th{border:1px solid #bbb;padding:2px 8px;text-align:right}th{background:#eee}"
    "td:first-child{text-align:left}.verdict{font-weight:bold}</style></head><body>\n<h1>%s</h1>\n";

}  // namespace

std::string SignificanceHtml(const std::vector<TRowSignificance>& rows, bool charts) {
  const std::string title = "Результаты ставок против случайного угадывания";
  std::string s = Format(kPageHead, {title, title});
  s += "<p>Для каждого числа совпадений m: сколько ставок угадали m чисел и больше, сколько таких ставок дало бы "
       "случайное угадывание, и вероятность случайно угадать не хуже. p-значение — наименьшая из этих вероятностей, "
       "умноженная на число проверенных m (поправка Холма).</p>\n";
  for (const TRowSignificance& r : rows) {
    s += "<h2>" + Html(r.Name) + "</h2>\n";
    s += Format("<p>Ставок: %d</p>\n<table><tr><th>Совпадений</th><th>Наблюдается</th><th>Ожидается</th>"
                "<th>Вероятность не хуже</th></tr>\n",
                {r.Stakes});
    for (const TMatchTail& t : r.Tails)
      s += Format("<tr><td>&ge; %d</td><td>%d</td><td>%s</td><td>%s</td></tr>\n",
                  {t.Matches, t.Observed, Fixed(t.Expected, 3), PValueText(t.Tail)});
    s += "</table>\n";
    s += Format("<p>p-значение: %s<br>Профит: %s; ожидаемый при случайности: %s, стандартное отклонение %s</p>\n",
                {PValueText(r.PValue), Fixed(MoneyToDouble(r.Profit), 2), Fixed(r.ExpectedProfit, 2),
                 Fixed(r.ProfitDeviation, 2)});
    s += "<p class=\"verdict\">Вывод: " + Html(r.Verdict) + "</p>\n";
    if (charts) {
      const TReportChart c = SignificanceCharts({r}).front();
      s += BarChart(c.Categories, c.Observed, c.Expected) + "\n";
    }
  }
  return s + "</body></html>\n";
}

std::vector<TReportChart> SignificanceCharts(const std::vector<TRowSignificance>& rows) {
  std::vector<TReportChart> out;
  for (const TRowSignificance& r : rows) {
    TReportChart c;
    c.Caption = r.Name;
    for (int i = 0; i <= NUMS_IN_DRAW; ++i) {
      c.Categories.push_back(std::to_string(i));
      c.Observed.push_back(static_cast<double>(r.Counts[static_cast<size_t>(i)]));
    }
    c.Expected = r.ExpectedCounts;
    out.push_back(std::move(c));
  }
  return out;
}

std::vector<TReportChart> RandomnessCharts(const TRandomnessReport& report) {
  std::vector<TReportChart> out;
  for (const TChiSquareTest& t : report.Tests) out.push_back({t.Caption, t.Categories, t.Observed, t.Expected});
  return out;
}

TRatingRec StakesRow(TStakesFile& stakes, int first, const std::string& name) {
  TRatingRec row = MakeRatingRec(name);
  stakes.ForEachStake(
      [&](int, const TStakeRec& r) {
        const int m = r.Matches.Count;
        if (!r.Checked || r.Draw < 0 || m < 0 || m > NUMS_IN_DRAW) return;
        ++row.Stakes;
        row.Guessed += m;
        ++row.Counts[m];
        row.Profit = AddMoney(row.Profit, r.Profit);
      },
      std::max(0, std::min(first, stakes.Count())));
  return row;
}

std::string RandomnessHtml(const TRandomnessReport& rep, bool charts) {
  const std::string title = "Случайность архива тиражей";
  std::string s = Format(kPageHead, {title, title});
  s += Format("<p>Тиражи № %d (%s) — № %d (%s), всего %d. Каждая проверка сравнивает архив с независимыми "
              "случайными тиражами по закону, который точно следует из правил игры (хи-квадрат).</p>\n",
              {rep.FirstDraw, Html(rep.FirstDate), rep.LastDraw, Html(rep.LastDate), rep.Draws});
  for (const TChiSquareTest& t : rep.Tests) {
    s += "<h2>" + Html(t.Caption) + "</h2>\n";
    s += Format("<p>Хи-квадрат: %s, степеней свободы: %d, p-значение: %s</p>\n",
                {Fixed(t.ChiSquare, 3), t.Freedom, PValueText(t.PValue)});
    s += "<p class=\"verdict\">Вывод: " + Html(t.Verdict) + "</p>\n";
    if (charts) s += BarChart(t.Categories, t.Observed, t.Expected) + "\n";
    s += "<table><tr><th>Значение</th><th>Наблюдается</th><th>Ожидается</th></tr>\n";
    for (size_t i = 0; i < t.Categories.size(); ++i)
      s += "<tr><td>" + Html(t.Categories[i]) + "</td><td>" + Fixed(t.Observed[i], 0) + "</td><td>" +
           Fixed(t.Expected[i], 2) + "</td></tr>\n";
    s += "</table>\n";
  }
  return s + "</body></html>\n";
}

std::vector<std::string> SignificanceLines(const TRowSignificance& r) {
  std::vector<std::string> out;
  out.push_back("Комментарий\t" + r.Name);
  out.push_back(Format("Ставок\t%d", {r.Stakes}));
  out.push_back("Совпадений\tНаблюдается\tОжидается\tВероятность не хуже");
  for (const TMatchTail& t : r.Tails)
    out.push_back(Format(">= %d\t%d\t%s\t%s", {t.Matches, t.Observed, Fixed(t.Expected, 3), PValueText(t.Tail)}));
  out.push_back("p-значение\t" + PValueText(r.PValue));
  out.push_back("Профит\t" + Fixed(MoneyToDouble(r.Profit), 2));
  out.push_back("Ожидаемый профит\t" + Fixed(r.ExpectedProfit, 2));
  out.push_back("Стандартное отклонение профита\t" + Fixed(r.ProfitDeviation, 2));
  out.push_back("Вывод\t" + r.Verdict);
  return out;
}

std::vector<std::string> RandomnessLines(const TRandomnessReport& rep) {
  std::vector<std::string> out;
  out.push_back(Format("Первый тираж\t%d", {rep.FirstDraw}));
  out.push_back(Format("Последний тираж\t%d", {rep.LastDraw}));
  out.push_back(Format("Тиражей\t%d", {rep.Draws}));
  out.push_back("Проверка\tХи-квадрат\tСтепеней свободы\tp-значение\tВывод");
  for (const TChiSquareTest& t : rep.Tests)
    out.push_back(Format("%s\t%s\t%d\t%s\t%s", {t.Caption, Fixed(t.ChiSquare, 3), t.Freedom, PValueText(t.PValue), t.Verdict}));
  return out;
}

}  // namespace quintar
