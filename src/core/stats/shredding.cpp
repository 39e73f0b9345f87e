#include "stats/shredding.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

namespace quintar {

namespace {

constexpr int kRowSize = 7;
const char kRowLetters[3] = {'n', 'p', 't'};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPoint(char c) { return c == '.' || c == ','; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// One character of the formula, or a variable (row * 7 + position) standing where the number's text goes.
struct Cell {
  char Ch = 0;
  int8_t Var = -1;
};
using Cells = std::vector<Cell>;

// Replaces every variable "n" + i, then "p" + i, then "t" + i for i = 1..7 (letters in any case), left to
// right, each by what replace(row, position) gives.
template <class Replace>
Cells Replaced(Cells cells, Replace replace) {
  for (int i = 1; i <= kRowSize; ++i)
    for (int row = 0; row < 3; ++row) {
      Cells out;
      out.reserve(cells.size());
      for (size_t k = 0; k < cells.size(); ++k) {
        if (cells[k].Var < 0 && Lower(cells[k].Ch) == kRowLetters[row] && k + 1 < cells.size() && cells[k + 1].Var < 0 &&
            cells[k + 1].Ch == '0' + i) {
          replace(row, i - 1, out);
          ++k;
        } else {
          out.push_back(cells[k]);
        }
      }
      cells.swap(out);
    }
  return cells;
}

Cells CellsOf(std::string_view text) {
  Cells cells;
  cells.reserve(text.size());
  for (char c : text) cells.push_back({c, -1});
  return cells;
}

// Truncation toward zero. The library's truncl and the conversion to an integer switch the x87 rounding
// mode for every call, which costs more than the rest of an evaluation; adding and taking away 2^63
// rounds to an integer in the current (nearest) mode instead, exactly, for every value below 2^63 (the
// larger ones are integers already). That needs the 64-bit significand of the x87 format; elsewhere
// the library's functions serve.
constexpr bool kX87 = std::numeric_limits<long double>::digits == 64;
constexpr long double kTwo63 = 9223372036854775808.0L;

long double Trunc(long double x) {
  if constexpr (!kX87) return std::trunc(x);
  const long double a = x < 0 ? -x : x;
  if (!(a < kTwo63)) return x;
  long double t = (a + kTwo63) - kTwo63;
  if (t > a) t -= 1;
  return x < 0 ? -t : t;
}

// The integer part of a value in 0..2^62, read from the 64-bit significand of value + 2^63.
int64_t TruncToInt(long double v) {
  if constexpr (!kX87) return static_cast<int64_t>(v);
  const long double u = v + kTwo63;
  uint64_t m;
  std::memcpy(&m, &u, sizeof m);  // the x87 format keeps the significand, integer bit included, in bytes 0..7
  int64_t r = static_cast<int64_t>(m - (uint64_t{1} << 63));
  if (u - kTwo63 > v) --r;
  return r;
}

// The functions, by their lower-case names.
enum Func : uint8_t { fArctan, fCos, fSin, fTan, fAbs, fExp, fLn, fLog, fSqrt, fSqr, fInt, fFrac, fTrunc, fRound,
                      fArcsin, fArccos, fSign, fNot, kFuncCount };
const char* const kFuncNames[kFuncCount] = {"arctan", "cos", "sin", "tan", "abs", "exp", "ln", "log", "sqrt",
                                            "sqr", "int", "frac", "trunc", "round", "arcsin", "arccos", "sign",
                                            "not"};

long double ApplyFunc(int f, long double x) {
  switch (f) {
    case fArctan: return std::atan(x);
    case fCos: return std::cos(x);
    case fSin: return std::sin(x);
    case fTan: return std::tan(x);
    case fAbs: return std::fabs(x);
    case fExp: return std::exp(x);
    case fLn: return std::log(x);     // -inf for 0, NaN below: both fail
    case fLog: return std::log10(x);
    case fSqrt: return std::sqrt(x);  // NaN below 0
    case fSqr: return x * x;
    case fInt:
    case fTrunc: return Trunc(x);
    case fFrac: return x - Trunc(x);
    case fRound: return std::nearbyint(x);  // the default rounding: halves go to the even neighbour
    case fArcsin: return std::asin(x);
    case fArccos: return std::acos(x);
    case fSign: return x > 0 ? 1.0L : (x < 0 ? -1.0L : 0.0L);
    case fNot: return x == 0 ? 1.0L : 0.0L;
  }
  return x;
}

enum Op : uint8_t { oConst, oVar, oLin, oPieces, oNeg, oAdd, oSub, oMul, oDiv, oPow, oFunc };

long double ApplyBinary(int op, long double a, long double b) {
  switch (op) {
    case oAdd: return a + b;
    case oSub: return a - b;
    case oMul: return a * b;
    case oDiv: return a / b;  // x/0 is infinite or NaN: it fails
    case oPow: return std::pow(a, b);
  }
  return a;
}

// A number text of digits and variables, read when the numbers are known.
std::optional<long double> ReadNumber(const char* text, size_t size) {
  long double v = 0;
  auto r = std::from_chars(text, text + size, v, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != text + size) return std::nullopt;  // out of range fails as well
  return v;
}

// The syntax tree ----------------------------------------------------------------------------------------

struct Node {
  Op Kind = oConst;
  int A = -1, B = -1;
  long double C = 0;  // oConst
  int Var = -1;       // oVar
  int Fn = 0;         // oFunc
  Cells Pieces;       // oPieces
};

enum Tok : uint8_t { tEnd, tNumber, tIdent, tPlus, tMinus, tStar, tSlash, tCaret, tOpen, tClose, tBad };

class Parser {
 public:
  explicit Parser(const Cells& cells) : c_(cells) { Next(); }
  std::vector<Node> Nodes;
  // The root, or -1 for a text that is not a formula.
  int Parse() {
    const int root = Expr();
    return root >= 0 && tok_ == tEnd ? root : -1;
  }

 private:
  bool Digit(size_t i) const { return c_[i].Var >= 0 || IsDigit(c_[i].Ch); }
  void Next() {
    while (pos_ < c_.size() && c_[pos_].Var < 0 && IsBlank(c_[pos_].Ch)) ++pos_;
    begin_ = pos_;
    if (pos_ >= c_.size()) {
      tok_ = tEnd;
      return;
    }
    if (Digit(pos_) || (c_[pos_].Var < 0 && IsPoint(c_[pos_].Ch))) {
      while (pos_ < c_.size() && (Digit(pos_) || (c_[pos_].Var < 0 && IsPoint(c_[pos_].Ch)))) ++pos_;
      tok_ = tNumber;
      return;
    }
    const char ch = c_[pos_].Ch;
    if (IsLetter(ch)) {
      while (pos_ < c_.size() && (Digit(pos_) || (c_[pos_].Var < 0 && IsLetter(c_[pos_].Ch)))) ++pos_;
      tok_ = tIdent;
      return;
    }
    ++pos_;
    switch (ch) {
      case '+': tok_ = tPlus; break;
      case '-': tok_ = tMinus; break;
      case '*': tok_ = tStar; break;
      case '/': tok_ = tSlash; break;
      case '^': tok_ = tCaret; break;
      case '(': tok_ = tOpen; break;
      case ')': tok_ = tClose; break;
      default: tok_ = tBad;
    }
  }
  int Add(Node n) {
    Nodes.push_back(std::move(n));
    return static_cast<int>(Nodes.size()) - 1;
  }
  int Binary(Op op, int a, int b) {
    if (a < 0 || b < 0) return -1;
    Node n;
    n.Kind = op;
    n.A = a;
    n.B = b;
    return Add(std::move(n));
  }
  int Expr() {
    int left = Term();
    while (left >= 0 && (tok_ == tPlus || tok_ == tMinus)) {
      const Op op = tok_ == tPlus ? oAdd : oSub;
      Next();
      left = Binary(op, left, Term());
    }
    return left;
  }
  int Term() {
    int left = Unary();
    while (left >= 0 && (tok_ == tStar || tok_ == tSlash)) {
      const Op op = tok_ == tStar ? oMul : oDiv;
      Next();
      left = Binary(op, left, Unary());
    }
    return left;
  }
  int Unary() {
    if (tok_ == tMinus || tok_ == tPlus) {
      const bool minus = tok_ == tMinus;
      Next();
      const int a = Unary();
      if (a < 0 || !minus) return a;
      Node n;
      n.Kind = oNeg;
      n.A = a;
      return Add(std::move(n));
    }
    return Power();
  }
  int Power() {
    const int base = Primary();
    if (base < 0 || tok_ != tCaret) return base;
    Next();
    return Binary(oPow, base, Unary());  // right to left: 2^3^2 is 2^9
  }
  int Primary() {
    if (tok_ == tNumber) {
      const int n = Number(begin_, pos_);
      Next();
      return n;
    }
    if (tok_ == tOpen) {
      Next();
      const int e = Expr();
      if (e < 0 || tok_ != tClose) return -1;
      Next();
      return e;
    }
    if (tok_ == tIdent) {
      std::string name;
      for (size_t i = begin_; i < pos_; ++i) {
        if (c_[i].Var >= 0) return -1;  // a name with a number in it is no function
        name += Lower(c_[i].Ch);
      }
      int fn = -1;
      for (int f = 0; f < kFuncCount; ++f)
        if (name == kFuncNames[f]) fn = f;
      Next();
      if (fn < 0 || tok_ != tOpen) return -1;
      Next();
      const int arg = Expr();
      if (arg < 0 || tok_ != tClose) return -1;
      Next();
      Node n;
      n.Kind = oFunc;
      n.A = arg;
      n.Fn = fn;
      return Add(std::move(n));
    }
    return -1;
  }
  // Digits and variables with at most one decimal point.
  int Number(size_t from, size_t to) {
    int points = 0, digits = 0, vars = 0;
    for (size_t i = from; i < to; ++i) {
      if (c_[i].Var >= 0) ++vars;
      else if (IsPoint(c_[i].Ch)) ++points;
      else ++digits;
    }
    if (points > 1 || digits + vars == 0) return -1;
    Node n;
    if (vars == 1 && to - from == 1) {
      n.Kind = oVar;
      n.Var = c_[from].Var;
    } else if (vars > 0) {
      n.Kind = oPieces;
      n.Pieces.assign(c_.begin() + static_cast<std::ptrdiff_t>(from), c_.begin() + static_cast<std::ptrdiff_t>(to));
    } else {
      std::string text;
      for (size_t i = from; i < to; ++i) text += IsPoint(c_[i].Ch) ? '.' : c_[i].Ch;
      auto v = ReadNumber(text.data(), text.size());
      if (!v) return -1;
      n.Kind = oConst;
      n.C = *v;
    }
    return Add(std::move(n));
  }

  const Cells& c_;
  size_t pos_ = 0, begin_ = 0;
  Tok tok_ = tEnd;
};

}  // namespace

// The compiled program -----------------------------------------------------------------------------------

struct TShreddingFormula::Program {
  struct Ins {
    Op Kind;
    uint8_t Row = 0, Pos = 0;  // oVar
    int Fn = 0;                // oFunc
    uint32_t Index = 0;        // oConst: Consts; oLin: Lins; oPieces: PieceTexts
  };
  struct Term {
    uint8_t Row, Pos;
    int64_t Coef;
  };
  struct Lin {
    int64_t C;
    uint32_t First, Count;  // Terms
  };
  std::vector<Ins> Code;
  std::vector<long double> Consts;
  std::vector<Term> Terms;
  std::vector<Lin> Lins;
  std::vector<Cells> PieceTexts;
  size_t Depth = 0;
  // Most formulas are one operation on two sums of numbers or constants ("(n1+n2+n3)/(n4+n5+n6+n7)"):
  // those are evaluated without the stack.
  bool TwoLeaves = false;

  bool Run(const uint8_t* const rows[3], long double* st, long double& out) const;
  long double Leaf(const Ins& ins, const uint8_t* const rows[3]) const {
    switch (ins.Kind) {
      case oConst: return Consts[ins.Index];
      case oVar: return rows[ins.Row][ins.Pos];
      default: {
        const Lin& l = Lins[ins.Index];
        int64_t s = l.C;
        for (uint32_t k = l.First; k < l.First + l.Count; ++k) s += Terms[k].Coef * rows[Terms[k].Row][Terms[k].Pos];
        return static_cast<long double>(s);
      }
    }
  }
  // The integer sums of the two leaves (0 for a constant leaf).
  void Sums(const uint8_t* const rows[3], int64_t* sums) const {
    for (int j = 0; j < 2; ++j) {
      const Ins& ins = Code[static_cast<size_t>(j)];
      if (ins.Kind == oConst) {
        sums[j] = 0;
      } else if (ins.Kind == oVar) {
        sums[j] = rows[ins.Row][ins.Pos];
      } else {
        const Lin& l = Lins[ins.Index];
        int64_t s = l.C;
        for (uint32_t k = l.First; k < l.First + l.Count; ++k) s += Terms[k].Coef * rows[Terms[k].Row][Terms[k].Pos];
        sums[j] = s;
      }
    }
  }
  // The smallest and largest sum of a leaf over rows of numbers 0..35.
  void Range(const Ins& ins, int64_t& lo, int64_t& hi) const {
    lo = hi = 0;
    if (ins.Kind == oVar) {
      hi = MaxNumber;
    } else if (ins.Kind == oLin) {
      const Lin& l = Lins[ins.Index];
      lo = hi = l.C;
      for (uint32_t k = l.First; k < l.First + l.Count; ++k)
        (Terms[k].Coef > 0 ? hi : lo) += Terms[k].Coef * MaxNumber;
    }
  }
  static constexpr int64_t MaxNumber = 35;
  void Finish() {
    auto leaf = [](Op k) { return k == oConst || k == oVar || k == oLin; };
    TwoLeaves = Code.size() == 3 && leaf(Code[0].Kind) && leaf(Code[1].Kind) && Code[2].Kind >= oAdd &&
                Code[2].Kind <= oPow;
  }
};

namespace {

using Program = TShreddingFormula::Program;

// An integer sum of numbers and constants: evaluated as a 64-bit integer it gives exactly what the
// extended-precision arithmetic gives, since every partial sum is an integer far below 2^63.
struct LinForm {
  int64_t C = 0;
  int64_t Coef[3 * kRowSize] = {};
};
constexpr int64_t kLinBound = int64_t{1} << 40;

bool Bounded(const LinForm& f) {
  if (std::llabs(f.C) > kLinBound) return false;
  for (int64_t c : f.Coef)
    if (std::llabs(c) > kLinBound) return false;
  return true;
}

bool Linear(const std::vector<Node>& nodes, int i, LinForm& out) {
  const Node& n = nodes[static_cast<size_t>(i)];
  switch (n.Kind) {
    case oConst:
      if (!(n.C == Trunc(n.C)) || std::fabs(n.C) > static_cast<long double>(kLinBound)) return false;
      out = LinForm{};
      out.C = static_cast<int64_t>(n.C);
      return true;
    case oVar:
      out = LinForm{};
      out.Coef[n.Var] = 1;
      return true;
    case oNeg:
      if (!Linear(nodes, n.A, out)) return false;
      out.C = -out.C;
      for (auto& c : out.Coef) c = -c;
      return true;
    case oAdd:
    case oSub: {
      LinForm a, b;
      if (!Linear(nodes, n.A, a) || !Linear(nodes, n.B, b)) return false;
      const int64_t s = n.Kind == oAdd ? 1 : -1;
      out.C = a.C + s * b.C;
      for (int v = 0; v < 3 * kRowSize; ++v) out.Coef[v] = a.Coef[v] + s * b.Coef[v];
      return Bounded(out);
    }
    case oMul: {
      LinForm a, b;
      if (!Linear(nodes, n.A, a) || !Linear(nodes, n.B, b)) return false;
      auto constant = [](const LinForm& f) {
        for (int64_t c : f.Coef)
          if (c) return false;
        return true;
      };
      if (!constant(a) && !constant(b)) return false;
      const LinForm& k = constant(a) ? a : b;
      const LinForm& f = constant(a) ? b : a;
      if (std::llabs(k.C) > (int64_t{1} << 20)) return false;
      out.C = f.C * k.C;
      for (int v = 0; v < 3 * kRowSize; ++v) out.Coef[v] = f.Coef[v] * k.C;
      return Bounded(out);
    }
    default:
      return false;
  }
}

bool HasVars(const std::vector<Node>& nodes, int i) {
  const Node& n = nodes[static_cast<size_t>(i)];
  if (n.Kind == oVar || n.Kind == oPieces) return true;
  return (n.A >= 0 && HasVars(nodes, n.A)) || (n.B >= 0 && HasVars(nodes, n.B));
}

class Compiler {
 public:
  Compiler(const std::vector<Node>& nodes, Program& p) : nodes_(nodes), p_(p) {}
  // False when a part without variables fails: then every evaluation fails.
  bool Emit(int i) {
    LinForm f;
    if (Linear(nodes_, i, f)) {
      EmitLinear(f);
      return true;
    }
    if (!HasVars(nodes_, i)) {
      // A constant part: computed once, the same way the evaluation would.
      Program sub;
      Compiler c(nodes_, sub);
      if (!c.EmitPlain(i)) return false;
      std::vector<long double> st(sub.Depth + 1);
      const uint8_t zero[kRowSize] = {};
      const uint8_t* rows[3] = {zero, zero, zero};
      long double v;
      if (!sub.Run(rows, st.data(), v)) return false;
      Const(v);
      return true;
    }
    return EmitPlain(i);
  }

 private:
  bool EmitPlain(int i) {
    const Node& n = nodes_[static_cast<size_t>(i)];
    Program::Ins ins{n.Kind};
    switch (n.Kind) {
      case oConst:
        Const(n.C);
        return true;
      case oVar:
        ins.Row = static_cast<uint8_t>(n.Var / kRowSize);
        ins.Pos = static_cast<uint8_t>(n.Var % kRowSize);
        Push(ins, 1);
        return true;
      case oPieces:
        ins.Index = static_cast<uint32_t>(p_.PieceTexts.size());
        p_.PieceTexts.push_back(n.Pieces);
        Push(ins, 1);
        return true;
      case oNeg:
      case oFunc:
        if (!Emit(n.A)) return false;
        ins.Fn = n.Fn;
        Push(ins, 0);
        return true;
      default:
        if (!Emit(n.A) || !Emit(n.B)) return false;
        Push(ins, -1);
        return true;
    }
  }
  void EmitLinear(const LinForm& f) {
    int vars = 0, only = -1;
    for (int v = 0; v < 3 * kRowSize; ++v)
      if (f.Coef[v]) ++vars, only = v;
    if (vars == 0) return Const(static_cast<long double>(f.C));
    Program::Ins ins{oVar};
    if (vars == 1 && f.C == 0 && f.Coef[only] == 1) {
      ins.Row = static_cast<uint8_t>(only / kRowSize);
      ins.Pos = static_cast<uint8_t>(only % kRowSize);
      return Push(ins, 1);
    }
    Program::Lin lin{f.C, static_cast<uint32_t>(p_.Terms.size()), 0};
    for (int v = 0; v < 3 * kRowSize; ++v)
      if (f.Coef[v]) {
        p_.Terms.push_back({static_cast<uint8_t>(v / kRowSize), static_cast<uint8_t>(v % kRowSize), f.Coef[v]});
        ++lin.Count;
      }
    ins.Kind = oLin;
    ins.Index = static_cast<uint32_t>(p_.Lins.size());
    p_.Lins.push_back(lin);
    Push(ins, 1);
  }
  void Const(long double v) {
    Program::Ins ins{oConst};
    ins.Index = static_cast<uint32_t>(p_.Consts.size());
    p_.Consts.push_back(v);
    Push(ins, 1);
  }
  void Push(const Program::Ins& ins, int change) {
    p_.Code.push_back(ins);
    depth_ += change;
    if (depth_ > 0 && static_cast<size_t>(depth_) > p_.Depth) p_.Depth = static_cast<size_t>(depth_);
  }
  const std::vector<Node>& nodes_;
  Program& p_;
  int depth_ = 0;
};

std::shared_ptr<const Program> Compile(const Cells& cells) {
  Parser parser(cells);
  const int root = parser.Parse();
  if (root < 0) return nullptr;
  auto p = std::make_shared<Program>();
  Compiler c(parser.Nodes, *p);
  if (!c.Emit(root)) return nullptr;
  p->Finish();
  return p;
}

// The number's text as the substitution writes it.
void AppendNumber(std::string& out, int v) { out += std::to_string(v); }

}  // namespace

bool TShreddingFormula::Program::Run(const uint8_t* const rows[3], long double* st, long double& out) const {
  if (TwoLeaves) {
    out = ApplyBinary(Code[2].Kind, Leaf(Code[0], rows), Leaf(Code[1], rows));
    return std::isfinite(out);
  }
  long double* top = st;  // one past the top
  for (const Ins& ins : Code) {
    switch (ins.Kind) {
      case oConst:
      case oVar:
      case oLin:
        *top++ = Leaf(ins, rows);
        break;
      case oPieces: {
        char text[512];
        size_t size = 0;
        for (const Cell& c : PieceTexts[ins.Index]) {
          char digits[4];
          size_t n = 0;
          if (c.Var >= 0) {
            int v = rows[c.Var / kRowSize][c.Var % kRowSize];
            char rev[4];
            do rev[n++] = static_cast<char>('0' + v % 10), v /= 10;
            while (v > 0);
            for (size_t k = 0; k < n; ++k) digits[k] = rev[n - 1 - k];
          } else {
            digits[n++] = IsPoint(c.Ch) ? '.' : c.Ch;
          }
          if (size + n > sizeof text) return false;
          for (size_t k = 0; k < n; ++k) text[size++] = digits[k];
        }
        auto v = ReadNumber(text, size);
        if (!v) return false;
        *top++ = *v;
        break;
      }
      case oNeg:
        top[-1] = -top[-1];
        break;
      case oFunc:
        top[-1] = ApplyFunc(ins.Fn, top[-1]);
        if (!std::isfinite(top[-1])) return false;
        break;
      default:
        --top;
        top[-1] = ApplyBinary(ins.Kind, top[-1], *top);
        if (!std::isfinite(top[-1])) return false;
    }
  }
  out = st[0];
  return true;
}

struct TShreddingFormula::Memo {
  int Digits = 0;
  int64_t Lo[2] = {0, 0}, Span[2] = {1, 1};
  std::vector<int32_t> Values;  // by (sum 1 - Lo[0]) * Span[1] + (sum 2 - Lo[1])
};

void TShreddingFormula::Memoise(int digits) {
  memo_.reset();
  if (!program_ || !program_->TwoLeaves) return;
  constexpr int64_t kMaxValues = int64_t{1} << 16;
  auto memo = std::make_shared<Memo>();
  memo->Digits = digits;
  for (int j = 0; j < 2; ++j) {
    int64_t lo, hi;
    program_->Range(program_->Code[static_cast<size_t>(j)], lo, hi);
    memo->Lo[j] = lo;
    memo->Span[j] = hi - lo + 1;
    if (memo->Span[j] > kMaxValues) return;
  }
  if (memo->Span[0] * memo->Span[1] > kMaxValues) return;
  memo->Values.resize(static_cast<size_t>(memo->Span[0] * memo->Span[1]));
  auto leaf = [&](int j, int64_t sum) {
    const Program::Ins& ins = program_->Code[static_cast<size_t>(j)];
    return ins.Kind == oConst ? program_->Consts[ins.Index] : static_cast<long double>(sum);
  };
  const Op op = program_->Code[2].Kind;
  for (int64_t a = 0; a < memo->Span[0]; ++a)
    for (int64_t b = 0; b < memo->Span[1]; ++b) {
      const long double v = ApplyBinary(op, leaf(0, a + memo->Lo[0]), leaf(1, b + memo->Lo[1]));
      memo->Values[static_cast<size_t>(a * memo->Span[1] + b)] = std::isfinite(v) ? ShredValue(v, digits) : 0;
    }
  memo_ = std::move(memo);
}

TShreddingFormula::TShreddingFormula() = default;

TShreddingFormula::TShreddingFormula(std::string_view text) : text_(text) {
  Cells cells = Replaced(CellsOf(text), [](int row, int pos, Cells& out) {
    out.push_back({0, static_cast<int8_t>(row * kRowSize + pos)});
  });
  for (size_t k = 0; k < cells.size(); ++k) {
    if (cells[k].Var < 0) continue;
    reads_[cells[k].Var / kRowSize] = true;
    if (k > 0 && cells[k - 1].Var < 0) {
      const char before = Lower(cells[k - 1].Ch);
      dynamic_ = dynamic_ || before == 'n' || before == 'p' || before == 't';
    }
  }
  if (dynamic_) return;
  program_ = Compile(cells);
  if (program_) stack_.resize(program_->Depth + 1);
}

bool TShreddingFormula::Evaluate(const uint8_t* n, const uint8_t* p, const uint8_t* t, long double& value) const {
  const uint8_t* rows[3] = {n, p, t};
  if (dynamic_) {
    const std::string text = SubstituteShreddingVariables(text_, n, p, t);
    auto program = Compile(CellsOf(text));
    if (!program) return false;
    std::vector<long double> st(program->Depth + 1);
    return program->Run(rows, st.data(), value);
  }
  return program_ && program_->Run(rows, stack_.data(), value);
}

int32_t TShreddingFormula::Shred(const uint8_t* n, const uint8_t* p, const uint8_t* t, int digits) const {
  if (memo_ && memo_->Digits == digits) {
    const uint8_t* rows[3] = {n, p, t};
    int64_t sums[2];
    program_->Sums(rows, sums);
    const int64_t a = sums[0] - memo_->Lo[0], b = sums[1] - memo_->Lo[1];
    if (a >= 0 && a < memo_->Span[0] && b >= 0 && b < memo_->Span[1])
      return memo_->Values[static_cast<size_t>(a * memo_->Span[1] + b)];
  }
  long double v;
  return Evaluate(n, p, t, v) ? ShredValue(v, digits) : 0;
}

int32_t ShredValue(long double v, int digits) {
  static const long double kPowers[10] = {1.0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L};
  digits = digits < 0 ? 0 : (digits > 9 ? 9 : digits);
  const long double a = std::fabs(v);
  const long double scaled = (a - Trunc(a)) * kPowers[digits];
  return static_cast<int32_t>(TruncToInt(scaled));  // below 10^9
}

int32_t EvalShredding(const uint8_t* n, const uint8_t* p, const uint8_t* t, int digits, std::string_view formula) {
  return TShreddingFormula(formula).Shred(n, p, t, digits);
}

std::string SubstituteShreddingVariables(std::string_view formula, const uint8_t* n, const uint8_t* p,
                                         const uint8_t* t) {
  const uint8_t* rows[3] = {n, p, t};
  Cells cells = Replaced(CellsOf(formula), [&](int row, int pos, Cells& out) {
    std::string digits;
    AppendNumber(digits, rows[row][pos]);
    for (char c : digits) out.push_back({c, -1});
  });
  std::string text;
  for (const Cell& c : cells) text += c.Ch;
  return text;
}

}  // namespace quintar
