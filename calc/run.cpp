#include "calc/run.h"

#include <cmath>
#include <utility>

#include "calc/hose_table.h"
#include "calc/nozzle.h"
#include "calc/number_text.h"
#include "calc/run_errors.h"

namespace calc {
namespace {

using errors::Input;

// A length, flow or water column: a number that is not negative.
Result<double> readNonNegative(Input input, std::string_view text) {
  const auto value = parseNumber(text);
  if (!value) return errors::notANumber(input, text);
  if (*value < 0) return errors::negative(input, text);
  return *value;
}

Result<float> readNonNegativeSingle(Input input, std::string_view text) {
  const auto value = parseSingle(text);
  if (!value) {
    return parseNumber(text) ? errors::outOfRange(input, text) : errors::notANumber(input, text);
  }
  if (*value < 0) return errors::negative(input, text);
  return *value;
}

Result<float> readNozzleDiameter(std::string_view text) {
  const auto d = readNonNegativeSingle(Input::NozzleDiameter, text);
  if (d.ok() && !(d.value() > 0)) return errors::notPositive(Input::NozzleDiameter, text);
  return d;
}

// The hidden coefficient fields, the same in both modes.
void writeNozzleCoefficients(const CalcState& state, RunOutputs& out) {
  out.phiOut = formatFixed(state.phi, 4);
  out.alphaOut = formatFixed(state.alphaF, 2);
  out.flowCoefficientOut = formatFixed(state.flowCoefficient, 3);
  out.nozzlePressureOut = formatFixed(state.nozzlePressure, 2);
}

// The three blocks return the error that stops the run, if any.
using Failure = std::optional<CalcError>;

Failure givenFlowBlock(const RunInputs& in, CalcState& state, RunOutputs& out) {
  const auto d = readNozzleDiameter(in.nozzleDiameterText);
  if (!d.ok()) return d.error();
  state.nozzleDiameter = d.value();
  const auto q = readNonNegativeSingle(Input::Flow, in.flowText);
  if (!q.ok()) return q.error();
  state.flow = q.value();

  const auto waterColumn =
      H2o(state.flow, state.nozzleDiameter, state, in.flowText, in.nozzleDiameterText);
  if (!waterColumn.ok()) return waterColumn.error();
  out.waterColumnOut = numberToText(waterColumn.value());
  out.flowOut = singleToText(state.flow);
  writeNozzleCoefficients(state, out);
  return std::nullopt;
}

Failure givenWaterColumnBlock(const RunInputs& in, CalcState& state, RunOutputs& out) {
  const auto d = readNozzleDiameter(in.nozzleDiameterText);
  if (!d.ok()) return d.error();
  state.nozzleDiameter = d.value();

  const auto flowText = Qxh(in.waterColumnText, state.nozzleDiameter, state);
  if (!flowText.ok()) return flowText.error();
  // The rest of the run works with the flow as shown, rounded to 0.01 l/s.
  const auto flow = parseSingle(flowText.value());
  if (!flow) return errors::outOfRange(Input::NozzleDiameter, in.nozzleDiameterText);
  state.flow = *flow;

  const auto loss = hd(in.hoseLengthText, state.hoseSelection, state.flow);
  if (!loss.ok()) return loss.error();
  // Kept as shown, rounded to 0.01 m, so that the outlet pressure adds up on paper.
  const auto rounded = parseSingle(formatFixed(loss.value(), 2));
  if (!rounded) return errors::outOfRange(Input::HoseLength, in.hoseLengthText);
  state.hoseLoss = *rounded;

  out.flowOut = singleToText(state.flow) + "(l/s)";
  writeNozzleCoefficients(state, out);
  out.hoseLossOut = singleToText(state.hoseLoss);
  // Nozzle pressure unrounded, hose loss as rounded, plus a fixed 2 m of water column.
  const double outlet = state.nozzlePressure.value_or(0) + state.hoseLoss + 2;
  if (!std::isfinite(outlet)) return errors::outOfRange(Input::HoseLength, in.hoseLengthText);
  out.outletPressureOut = formatFixed(outlet, 2) + "(mH2o)";
  return std::nullopt;
}

// Protection radius and, for an entered width, the spacing or the warning.
// `hoseLength` is the text kept by the mode block that ran; none ran when it is unset.
Failure commonBlock(const RunInputs& in, const std::optional<std::string>& hoseLength,
                    RunOutputs& out) {
  const double widthRead = leadingNumber(in.protectionWidthText);
  const auto b = static_cast<float>(widthRead);
  if (!std::isfinite(b)) return errors::outOfRange(Input::ProtectionWidth, in.protectionWidthText);
  if (b < 0) return errors::negative(Input::ProtectionWidth, in.protectionWidthText);

  // The water-column entry counts in both modes, also while its box is disabled.
  const auto sk = readNonNegative(Input::WaterColumn, in.waterColumnText);
  if (!sk.ok()) return sk.error();
  double ld = 0;
  if (hoseLength) {
    const auto length = readNonNegative(Input::HoseLength, *hoseLength);
    if (!length.ok()) return length.error();
    ld = length.value();
  }

  const double columnPart = sk.value() * 0.71;
  const double hosePart = ld * 0.8;
  const double radius = hosePart + columnPart;
  // Only an absurdly long hose or water column makes R or R² overflow; name the longer one.
  const auto tooLong = [&] {
    return ld > sk.value() ? errors::outOfRange(Input::HoseLength, *hoseLength)
                           : errors::outOfRange(Input::WaterColumn, in.waterColumnText);
  };
  if (!std::isfinite(std::pow(radius, 2))) return tooLong();
  out.radiusOut = formatFixed(radius, 2);

  if (in.protectionWidthText.empty()) return std::nullopt;
  // b stays single precision: a typed 23.10 is 23.1000004, wider than a radius of 23.1.
  if (radius < b) {
    out.message = kWidthTooLargeMessage;
  } else {
    const double width = b;
    out.spacingOut = formatFixed(std::sqrt(std::pow(radius, 2) - std::pow(width, 2)), 2);
  }
  return std::nullopt;
}

}  // namespace

RunOutputs runCalculation(const RunInputs& inputs, CalcState& state) {
  // Work on a copy so that a failed run leaves the window's state as it was.
  CalcState work = state;
  RunOutputs out;
  std::optional<std::string> hoseLength;
  Failure failure;
  if (inputs.givenFlowSelected) {
    hoseLength = inputs.hoseLengthText;
    failure = givenFlowBlock(inputs, work, out);
  }
  if (!failure && inputs.givenWaterColumnSelected) {
    hoseLength = inputs.hoseLengthText;
    failure = givenWaterColumnBlock(inputs, work, out);
  }
  if (!failure) failure = commonBlock(inputs, hoseLength, out);

  if (failure) {
    RunOutputs failed;
    failed.error = std::move(*failure);
    return failed;
  }
  state = std::move(work);
  return out;
}

}  // namespace calc
