#pragma once
// The errors a calculation can end in, each naming the input by its window caption and
// telling the designer in one line what is wrong and what is allowed.

#include <optional>
#include <string>
#include <string_view>

#include "calc/calc_error.h"

namespace calc::errors {

enum class Input { HoseLength, NozzleDiameter, WaterColumn, Flow, ProtectionWidth };

CalcError notANumber(Input input, std::string_view text);
CalcError negative(Input input, std::string_view text);
CalcError notPositive(Input input, std::string_view text);
// The text is a number, but what follows from it is too large to compute with.
CalcError outOfRange(Input input, std::string_view text);
// 1 − H_m·α_f·φ ≤ 0: the nozzle cannot throw a dense water column that long. The message
// names the longest whole water column it can throw, when there is such a figure.
CalcError beyondReach(std::string_view waterColumn, float nozzleDiameter,
                      std::optional<double> maxWholeMetres);
CalcError hoseCoefficient(std::string_view coefficientText);
CalcError noConvergence(std::string_view flowText);

// An entry as every message quotes it: “…”, one line of valid text (calc/utf8.h oneLine),
// at most 24 characters, so the message stays one line whatever was typed or pasted.
std::string quoted(std::string_view text);

}  // namespace calc::errors
