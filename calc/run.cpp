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

// The entries the run reads as numbers, each read once; an error is reported where the run
// first needs the entry, so the messages come in the window's order.
struct Readings {
  Result<double> hoseLength;
  Result<double> waterColumn;
  double width;  // by its leading number, as the window reads it
};

Readings read(const RunInputs& in) {
  return {readNonNegative(Input::HoseLength, in.hoseLengthText),
          readNonNegative(Input::WaterColumn, in.waterColumnText),
          leadingNumber(in.protectionWidthText)};
}

// The hidden coefficient fields, the same in both modes.
void takeNozzleCoefficients(const CalcState& state, RunValues& out) {
  out.phi = state.phi;
  out.alphaF = state.alphaF;
  out.flowCoefficient = state.flowCoefficient;
  out.nozzlePressure = state.nozzlePressure;
}

// The three blocks return the error that stops the run, if any.
using Failure = std::optional<CalcError>;

Failure givenFlowBlock(const RunInputs& in, CalcState& state, RunValues& out) {
  const auto d = readNozzleDiameter(in.nozzleDiameterText);
  if (!d.ok()) return d.error();
  state.nozzleDiameter = d.value();
  const auto q = readNonNegativeSingle(Input::Flow, in.flowText);
  if (!q.ok()) return q.error();
  state.flow = q.value();

  const auto waterColumn =
      H2o(state.flow, state.nozzleDiameter, state, in.flowText, in.nozzleDiameterText);
  if (!waterColumn.ok()) return waterColumn.error();
  out.waterColumn = waterColumn.value();
  out.flow = state.flow;
  takeNozzleCoefficients(state, out);
  return std::nullopt;
}

Failure givenWaterColumnBlock(const RunInputs& in, const Readings& read, CalcState& state,
                              RunValues& out) {
  const auto d = readNozzleDiameter(in.nozzleDiameterText);
  if (!d.ok()) return d.error();
  state.nozzleDiameter = d.value();

  if (!read.waterColumn.ok()) return read.waterColumn.error();
  const auto flow = Qxh(read.waterColumn.value(), in.waterColumnText, state.nozzleDiameter, state);
  if (!flow.ok()) return flow.error();
  // The rest of the run works with the flow as shown, rounded to 0.01 l/s.
  state.flow = static_cast<float>(flow.value());
  if (!std::isfinite(state.flow)) {
    return errors::outOfRange(Input::NozzleDiameter, in.nozzleDiameterText);
  }

  if (state.hoseSelection.coefficientText.empty()) return errors::hoseCoefficient("");
  if (!read.hoseLength.ok()) return read.hoseLength.error();
  const auto loss = hd(read.hoseLength.value(), in.hoseLengthText, state.hoseSelection, state.flow);
  if (!loss.ok()) return loss.error();
  // Kept as shown, rounded to 0.01 m, so that the outlet pressure adds up on paper.
  state.hoseLoss = static_cast<float>(roundedTo(loss.value(), 2));
  if (!std::isfinite(state.hoseLoss))
    return errors::outOfRange(Input::HoseLength, in.hoseLengthText);

  out.flow = state.flow;
  takeNozzleCoefficients(state, out);
  out.hoseLoss = state.hoseLoss;
  // Nozzle pressure unrounded, hose loss as rounded, plus a fixed 2 m of water column.
  const double outlet = state.nozzlePressure.value_or(0) + state.hoseLoss + 2;
  if (!std::isfinite(outlet)) return errors::outOfRange(Input::HoseLength, in.hoseLengthText);
  out.outletPressure = outlet;
  return std::nullopt;
}

// Protection radius and, for an entered width, the spacing or the warning. The hose length
// counts when a mode block ran.
Failure commonBlock(const RunInputs& in, const Readings& read, bool modeRan, RunValues& out) {
  const auto b = static_cast<float>(read.width);
  if (!std::isfinite(b)) return errors::outOfRange(Input::ProtectionWidth, in.protectionWidthText);
  if (b < 0) return errors::negative(Input::ProtectionWidth, in.protectionWidthText);

  // The water-column entry counts in both modes, also while its box is disabled.
  const Result<double>& sk = read.waterColumn;
  if (!sk.ok()) return sk.error();
  double ld = 0;
  if (modeRan) {
    if (!read.hoseLength.ok()) return read.hoseLength.error();
    ld = read.hoseLength.value();
  }

  const double radius = protectionRadius(ld, sk.value());
  // Only an absurdly long hose or water column makes R or R² overflow; name the longer one.
  const auto tooLong = [&] {
    return ld > sk.value() ? errors::outOfRange(Input::HoseLength, in.hoseLengthText)
                           : errors::outOfRange(Input::WaterColumn, in.waterColumnText);
  };
  if (!std::isfinite(radius * radius)) return tooLong();
  out.radius = radius;

  if (in.protectionWidthText.empty()) return std::nullopt;
  // b stays single precision: a typed 23.10 is 23.1000004, wider than a radius of 23.1.
  if (radius < b) {
    out.widthTooLarge = true;
  } else {
    out.spacing = hydrantSpacing(radius, b);
  }
  return std::nullopt;
}

}  // namespace

namespace shown {
std::string waterColumn(double metres) { return numberToText(metres); }
std::string outletPressure(double metres) { return formatFixed(metres, 2); }
std::string outletPressureMPa(double metres) {
  // From the metres as shown, so that the two agree; two decimals more keep it exact.
  return formatFixed(roundedTo(roundedTo(metres, 2) / 100, 4), 4);
}
std::string flow(double litresPerSecond) {
  return singleToText(static_cast<float>(litresPerSecond));
}
std::string phi(double value) { return formatFixed(value, 4); }
std::string alphaF(double value) { return formatFixed(value, 2); }
std::string flowCoefficient(double value) { return formatFixed(value, 3); }
std::string nozzlePressure(double metres) { return formatFixed(metres, 2); }
std::string hoseLoss(double metres) { return singleToText(static_cast<float>(metres)); }
std::string radius(double metres) { return formatFixed(metres, 2); }
std::string spacing(double metres) { return formatFixed(metres, 2); }
}  // namespace shown

namespace {

using Shown = std::string (*)(double);

std::optional<std::string> showIf(const std::optional<double>& value, Shown show) {
  return value ? std::optional(show(*value)) : std::nullopt;
}

void roundAsShown(std::optional<double>& value, Shown show) {
  if (value) value = parseNumber(show(*value));
}

}  // namespace

RunOutputs runOutputs(const RunValues& v) {
  RunOutputs out;
  out.waterColumnOut = showIf(v.waterColumn, shown::waterColumn);
  if (v.outletPressure) out.outletPressureOut = shown::outletPressure(*v.outletPressure) + "(mH2o)";
  // The flow carries its unit where the water-column mode gave it, the mode that also
  // gives the outlet pressure.
  out.flowOut = showIf(v.flow, shown::flow);
  if (out.flowOut && v.outletPressure) *out.flowOut += "(l/s)";
  if (v.flow) {
    // The coefficient fields are written together; one the nozzle left unset shows empty.
    out.phiOut = showIf(v.phi, shown::phi).value_or("");
    out.alphaOut = showIf(v.alphaF, shown::alphaF).value_or("");
    out.flowCoefficientOut = showIf(v.flowCoefficient, shown::flowCoefficient).value_or("");
    out.nozzlePressureOut = showIf(v.nozzlePressure, shown::nozzlePressure).value_or("");
  }
  out.hoseLossOut = showIf(v.hoseLoss, shown::hoseLoss);
  out.radiusOut = showIf(v.radius, shown::radius);
  out.spacingOut = showIf(v.spacing, shown::spacing);
  if (v.widthTooLarge) out.message = kWidthTooLargeMessage;
  return out;
}

RunValues shownValues(const RunValues& v) {
  RunValues out = v;
  roundAsShown(out.waterColumn, shown::waterColumn);
  roundAsShown(out.outletPressure, shown::outletPressure);
  roundAsShown(out.flow, shown::flow);
  roundAsShown(out.phi, shown::phi);
  roundAsShown(out.alphaF, shown::alphaF);
  roundAsShown(out.flowCoefficient, shown::flowCoefficient);
  roundAsShown(out.nozzlePressure, shown::nozzlePressure);
  roundAsShown(out.hoseLoss, shown::hoseLoss);
  roundAsShown(out.radius, shown::radius);
  roundAsShown(out.spacing, shown::spacing);
  return out;
}

double shownOutletPressureMPa(double metres) { return roundedTo(roundedTo(metres, 2) / 100, 4); }

double protectionRadius(double hoseLength, double waterColumn) {
  return hoseLength * 0.8 + waterColumn * 0.71;
}

double hydrantSpacing(double radius, double width) {
  return std::sqrt(radius * radius - width * width);
}

RunResult runWithValues(const RunInputs& inputs, CalcState& state) {
  // Work on a copy so that a failed run leaves the window's state as it was.
  CalcState work = state;
  RunValues values;
  const Readings entries = read(inputs);
  const bool modeRan = inputs.givenFlowSelected || inputs.givenWaterColumnSelected;
  Failure failure;
  if (inputs.givenFlowSelected) failure = givenFlowBlock(inputs, work, values);
  if (!failure && inputs.givenWaterColumnSelected) {
    failure = givenWaterColumnBlock(inputs, entries, work, values);
  }
  if (!failure) failure = commonBlock(inputs, entries, modeRan, values);

  RunResult result;
  if (failure) {
    result.outputs.error = std::move(*failure);
    return result;
  }
  state = std::move(work);
  result.values = values;
  result.read = {modeRan ? entries.hoseLength.value() : 0, entries.waterColumn.value(),
                 entries.width};
  result.outputs = runOutputs(values);
  return result;
}

RunOutputs runCalculation(const RunInputs& inputs, CalcState& state) {
  return runWithValues(inputs, state).outputs;
}

}  // namespace calc
