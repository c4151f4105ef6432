#include "calc/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace calc {
namespace {

// Full-width forms (U+FF0B '＋', U+FF0D '－', U+FF0E '．', U+FF10..U+FF19 '０'..'９') are
// EF BC 8B..99 in UTF-8; the ideographic space U+3000 is E3 80 80.
constexpr unsigned char kFullWidthLead0 = 0xEF;
constexpr unsigned char kFullWidthLead1 = 0xBC;

// Rewrites the full-width characters to ASCII and the ideographic space to ' ', so that
// the grammar below only ever sees ASCII. Other bytes pass through and later fail to match.
std::string toAscii(std::string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kFullWidthLead0 && i + 2 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) == kFullWidthLead1) {
      const auto t = static_cast<unsigned char>(text[i + 2]);
      if (t >= 0x90 && t <= 0x99) {
        out.push_back(static_cast<char>('0' + (t - 0x90)));
        i += 2;
        continue;
      }
      if (t == 0x8B || t == 0x8D || t == 0x8E) {
        out.push_back(t == 0x8B ? '+' : t == 0x8D ? '-' : '.');
        i += 2;
        continue;
      }
    }
    if (c == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
        static_cast<unsigned char>(text[i + 2]) == 0x80) {
      out.push_back(' ');
      i += 2;
      continue;
    }
    out.push_back(static_cast<char>(c));
  }
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of s that is a decimal number
// [sign] (digits [. digits*] | . digits) [(e|E) [sign] digits]; 0 when there is none.
std::size_t numberPrefixLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t intStart = i;
  while (i < s.size() && isDigit(s[i])) ++i;
  const bool hasInt = i > intStart;
  bool hasFrac = false;
  if (i < s.size() && s[i] == '.') {
    std::size_t j = i + 1;
    while (j < s.size() && isDigit(s[j])) ++j;
    hasFrac = j > i + 1;
    if (hasInt || hasFrac) i = j;
  }
  if (!hasInt && !hasFrac) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t expStart = j;
    while (j < s.size() && isDigit(s[j])) ++j;
    if (j > expStart) i = j;
  }
  return i;
}

// Converts a prefix that numberPrefixLength accepted. A value beyond double's range gives
// an infinity of its sign, one too small to represent gives 0 (from_chars reports both as
// out of range and leaves the value alone, so the magnitude is judged from the digits).
double convert(std::string_view number) {
  const bool negative = !number.empty() && number.front() == '-';
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) number.remove_prefix(1);
  double value = 0;
  const auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                                   std::chars_format::general);
  if (res.ec != std::errc::result_out_of_range) return negative ? -value : value;

  // Power of ten of the first non-zero digit, plus one, plus the exponent.
  long long order = 0;
  std::size_t i = 0;
  bool seenPoint = false;
  bool seenNonZero = false;
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    const char c = number[i];
    if (c == '.') {
      seenPoint = true;
    } else if (!seenNonZero && c == '0') {
      if (seenPoint) --order;
    } else {
      if (!seenNonZero) seenNonZero = true;
      if (!seenPoint) ++order;
    }
  }
  long long exponent = 0;
  if (i < number.size()) {
    std::size_t j = i + 1;
    const bool negExp = number[j] == '-';
    if (number[j] == '+' || number[j] == '-') ++j;
    for (; j < number.size(); ++j) {
      exponent = std::min<long long>(exponent * 10 + (number[j] - '0'), 1'000'000'000LL);
    }
    if (negExp) exponent = -exponent;
  }
  if (!seenNonZero || order + exponent <= 0) return negative ? -0.0 : 0.0;
  const double inf = std::numeric_limits<double>::infinity();
  return negative ? -inf : inf;
}

// Decimal digits of |value| rounded to `significant` digits, and the power of ten of the
// first digit: value = d1.d2d3... × 10^exponent. Fixed buffers: this runs a dozen times
// per calculation.
struct Digits {
  char digits[24];
  int count = 0;
  int exponent = 0;
  bool negative = false;

  char at(int i) const { return i < count ? digits[i] : '0'; }
  bool zero() const {
    return std::all_of(digits, digits + count, [](char c) { return c == '0'; });
  }
};

template <class T>
Digits decimalDigits(T value, int significant) {
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, significant - 1);
  const char* p = buf;
  Digits d;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p != '.') d.digits[d.count++] = *p;
  }
  ++p;  // 'e'
  const bool negativeExponent = *p == '-';
  for (++p; p < res.ptr; ++p) d.exponent = d.exponent * 10 + (*p - '0');
  if (negativeExponent) d.exponent = -d.exponent;
  return d;
}

// The plain decimal text of the digits, without exponent or trailing zeros.
std::string plainText(const Digits& d) {
  if (d.zero()) return "0";
  int last = d.count;  // one past the last significant digit
  while (last > 0 && d.digits[last - 1] == '0') --last;
  std::string out;
  if (d.negative) out.push_back('-');
  if (d.exponent >= 0) {
    for (int i = 0; i <= d.exponent; ++i) out.push_back(d.at(i));
    if (d.exponent + 1 < last) {
      out.push_back('.');
      out.append(d.digits + d.exponent + 1, d.digits + last);
    }
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out.append(d.digits, d.digits + last);
  }
  return out;
}

// Rounds the digits half away from zero to `decimals` places after the point.
std::string fixedText(const Digits& d, int decimals) {
  // The first digit stands at 10^exponent; keep the digits down to 10^-decimals.
  const int keep = d.exponent + decimals + 1;
  std::string scaled;  // |value| · 10^decimals as a whole number
  if (keep <= 0) {
    scaled.push_back(keep == 0 && d.digits[0] >= '5' ? '1' : '0');
  } else {
    scaled.reserve(static_cast<std::size_t>(keep) + 1);
    for (int i = 0; i < keep; ++i) scaled.push_back(d.at(i));
    if (keep < d.count && d.digits[keep] >= '5') {
      int i = keep - 1;
      while (i >= 0 && scaled[i] == '9') scaled[i--] = '0';
      if (i >= 0) {
        ++scaled[i];
      } else {
        scaled.insert(scaled.begin(), '1');
      }
    }
  }
  if (scaled.size() < static_cast<std::size_t>(decimals) + 1) {
    scaled.insert(0, static_cast<std::size_t>(decimals) + 1 - scaled.size(), '0');
  }
  const bool negative = d.negative && scaled.find_first_not_of('0') != std::string::npos;
  std::string out;
  out.reserve(scaled.size() + 2);
  if (negative) out.push_back('-');
  out.append(scaled, 0, scaled.size() - static_cast<std::size_t>(decimals));
  if (decimals > 0) {
    out.push_back('.');
    out.append(scaled, scaled.size() - static_cast<std::size_t>(decimals));
  }
  return out;
}

constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  const std::string s = toAscii(text);
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isBlank(s[begin])) ++begin;
  while (end > begin && isBlank(s[end - 1])) --end;
  const std::string_view body(s.data() + begin, end - begin);
  if (body.empty() || numberPrefixLength(body) != body.size()) return std::nullopt;
  const double value = convert(body);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<float> parseSingle(std::string_view text) {
  const auto value = parseNumber(text);
  if (!value) return std::nullopt;
  const auto narrowed = static_cast<float>(*value);
  if (!std::isfinite(narrowed)) return std::nullopt;
  return narrowed;
}

double leadingNumber(std::string_view text) {
  const std::string s = toAscii(text);
  std::size_t begin = 0;
  while (begin < s.size() && isBlank(s[begin])) ++begin;
  const std::string_view rest(s.data() + begin, s.size() - begin);
  const std::size_t length = numberPrefixLength(rest);
  if (length == 0) return 0;
  return convert(rest.substr(0, length));
}

std::string singleToText(float value) {
  if (!std::isfinite(value)) return {};
  return plainText(decimalDigits(value, kSingleDigits));
}

std::string numberToText(double value) {
  if (!std::isfinite(value)) return {};
  return plainText(decimalDigits(value, kDoubleDigits));
}

std::string significantText(double value) {
  if (!std::isfinite(value)) return {};
  if (value == 0) return "0";
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2).ptr;
  const std::string_view text(buffer, end - buffer);
  const std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), end, exponent);
  if (exponent >= -3 && exponent <= 5) {  // plain decimals read better in this range
    const int decimals = std::max(2 - exponent, 0);
    const char* plain =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    return std::string(buffer, plain - buffer);
  }
  static const char* const kSuperscript[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string power = exponent < 0 ? "⁻" : "";
  for (char digit : std::to_string(std::abs(exponent))) power += kSuperscript[digit - '0'];
  return std::string(text.substr(0, e)) + "×10" + power;
}

std::string formatFixed(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  return fixedText(decimalDigits(value, kDoubleDigits), decimals);
}

std::string formatFixedSingle(float value, int decimals) {
  if (!std::isfinite(value)) return {};
  return fixedText(decimalDigits(value, kSingleDigits), decimals);
}

double roundedTo(double value, int decimals) {
  // Away from a tie the text's rounding is the nearest whole number of 10^-decimals, and
  // n / 10^d is the double nearest to the decimal the text holds; a value within a
  // millionth of a tie, or too large for that margin, takes the text's own way.
  static constexpr double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
  if (decimals >= 0 && decimals <= 6 && std::isfinite(value)) {
    const double scaled = value * kScale[decimals];
    const double fraction = std::fabs(scaled - std::trunc(scaled));
    if (std::fabs(scaled) < 1e9 && std::fabs(fraction - 0.5) > 1e-6) {
      const double whole = std::round(scaled);
      return whole == 0 ? 0.0 : whole / kScale[decimals];  // never -0.0: the text has no sign
    }
  }
  return parseNumber(formatFixed(value, decimals)).value_or(value);
}

float roundedToSingle(float value, int decimals) {
  return parseSingle(formatFixedSingle(value, decimals)).value_or(value);
}

std::string formatFixed(const std::optional<double>& value, int decimals) {
  return value ? formatFixed(*value, decimals) : std::string();
}

}  // namespace calc
