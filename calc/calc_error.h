#pragma once
// A calculation that cannot be carried out: which input, what it held, and a one-line
// Simplified Chinese message for the designer.

#include <string>
#include <utility>
#include <variant>

namespace calc {

struct CalcError {
  std::string field;    // the input's window caption without the colon, e.g. "水龙带长度"
  std::string text;     // the offending text as entered
  std::string message;  // what is wrong and what is allowed

  bool operator==(const CalcError&) const = default;
};

// A value or the reason there is none.
template <class T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(CalcError error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  const T& value() const { return std::get<0>(v_); }
  const CalcError& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, CalcError> v_;
};

}  // namespace calc
