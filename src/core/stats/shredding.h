// Shredding formulas: a user's arithmetic formula over the numbers of a draw (n1..n7) and of the two
// draws before it (p1..p7, t1..t7), evaluated in extended precision (long double: the 80-bit x87
// format). The value that a shredding statistic keeps is the fractional part of the absolute result,
// cut to a number of decimal digits.
//
// The formula language: decimal numbers ("3", "0.25", "0,25"), the operators + - * / and ^ (power, right
// to left, above unary minus: -2^2 is -4), parentheses, and the one-argument functions ARCTAN, COS, SIN,
// TAN, ABS, EXP, LN, LOG (decimal), SQRT, SQR (square), INT, FRAC, TRUNC, ROUND (halves to even), ARCSIN,
// ARCCOS, SIGN and NOT (1 for 0, else 0), written as a name and a parenthesised argument, in any case.
// The variables are text: "n1".."n7", "p1".."p7", "t1".."t7" (in any case) are replaced by the numbers
// in that order, i = 1..7 and n, p, t for each, before the text is read, so "n11" reads as the number
// n1 followed by the digit 1. Any error (a syntax error, a division by zero, a function outside its
// domain, an overflow) makes the evaluation fail.
//
// A formula is compiled once into a small program (integer sums of numbers are computed exactly as
// integers, constant parts once); evaluating it reads a row of numbers and allocates nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

class TShreddingFormula {
 public:
  TShreddingFormula();  // an empty formula: every evaluation fails
  explicit TShreddingFormula(std::string_view text);

  // The formula's value for the current draw n and the two draws before it, p and t (7 numbers each);
  // false when the evaluation fails.
  bool Evaluate(const uint8_t* n, const uint8_t* p, const uint8_t* t, long double& value) const;
  // The shredded value: the absolute value's fractional part times 10^digits, truncated; 0 when the
  // evaluation fails. Digits are kept within 0..9.
  int32_t Shred(const uint8_t* n, const uint8_t* p, const uint8_t* t, int digits) const;
  // For a formula that is one operation on two integer sums of numbers (the usual kind), computes once
  // the shredded value of every pair of sums the rows can give with this count of digits; Shred with
  // these digits then looks the value up (the same value it would compute).
  void Memoise(int digits);
  // Whether the formula reads the numbers of row 0 (n), 1 (p) or 2 (t).
  bool Reads(int row) const { return row >= 0 && row < 3 && reads_[row]; }
  const std::string& Text() const { return text_; }

  struct Program;  // the compiled form (shredding.cpp)
  struct Memo;     // the values Memoise computed

 private:
  std::string text_;
  std::shared_ptr<const Program> program_;  // null when the text cannot be read: every evaluation fails
  // A variable right after one of the letters n, p, t ("pn1"): the number's first digit may complete
  // another variable, so such a text is substituted and read anew for every row.
  bool dynamic_ = false;
  bool reads_[3] = {false, false, false};
  std::shared_ptr<const Memo> memo_;
  mutable std::vector<long double> stack_;  // the evaluation's stack, sized by the compiler
};

// The shredded value of a formula's result: |v|'s fractional part times 10^digits, truncated toward zero.
int32_t ShredValue(long double v, int digits);

// One evaluation of a formula's text (compiled for this call).
int32_t EvalShredding(const uint8_t* n, const uint8_t* p, const uint8_t* t, int digits, std::string_view formula);

// The formula's text with the variables replaced by the numbers' texts, as the evaluation reads it.
std::string SubstituteShreddingVariables(std::string_view formula, const uint8_t* n, const uint8_t* p, const uint8_t* t);

}  // namespace quintar
