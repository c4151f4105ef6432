#include "calc/nozzle.h"

#include <cmath>

#include "calc/number_text.h"
#include "calc/run_errors.h"

namespace calc {
namespace {

// The water-column search tries whole metres from 4 m up; 10 000 trials reach water
// columns far beyond any real nozzle and still end in well under a millisecond.
constexpr int kFirstTrial = 4;
constexpr int kMaxTrials = 10'000;

// The entry as typed when the caller knows it, else the number's own text.
std::string entryText(std::string_view typed, float value) {
  return typed.empty() ? singleToText(value) : std::string(typed);
}

// Shared opening of both nozzle calculations: μ first, then φ.
std::optional<CalcError> startNozzle(float nozzleDiameter, std::string_view nozzleText,
                                     CalcState& state) {
  state.dischargeCoefficient = 1;
  if (!(nozzleDiameter > 0)) {
    return errors::notPositive(errors::Input::NozzleDiameter,
                               entryText(nozzleText, nozzleDiameter));
  }
  state.phi = nozzleCoefficient(nozzleDiameter);
  return std::nullopt;
}

}  // namespace

double nozzleCoefficient(double d) { return 0.25 / (d + std::pow(0.1 * d, 3)); }

double nozzleFlowCoefficient(double mu, double d) {
  // μ · 0.003477 first, then · d², then squared.
  return std::pow(mu * 0.003477 * std::pow(d, 2), 2);
}

double waterColumnCoefficient(double waterColumn) {
  return 1.19 + 80 * std::pow(0.01 * waterColumn, 4);
}

std::optional<double> maxWaterColumn(double d) {
  const double phi = nozzleCoefficient(d);
  const auto reaches = [phi](double h) { return 1 - h * (waterColumnCoefficient(h) * phi) > 0; };
  // H·α_f(H) grows with H, so the whole metres that reach form a range from 0: bisect it.
  constexpr double kWholeLimit = 9007199254740992.0;  // 2^53
  double lo = 0;                                      // reaches
  double hi = 1;                                      // first power of two that does not
  while (reaches(hi)) {
    if (hi >= kWholeLimit) return std::nullopt;
    lo = hi;
    hi *= 2;
  }
  while (hi - lo > 1) {
    const double mid = lo + std::floor((hi - lo) / 2);
    (reaches(mid) ? lo : hi) = mid;
  }
  return lo;
}

float trialResidual(double nozzlePressure, double phi, double h) {
  const double alpha = waterColumnCoefficient(h);
  const auto r = static_cast<float>(nozzlePressure / (alpha * (1 + phi * nozzlePressure)) - h);
  return roundedToSingle(r, 6);
}

Result<double> Qxh(double hm, std::string_view waterColumn, float nozzleDiameter,
                   CalcState& state) {
  if (auto error = startNozzle(nozzleDiameter, {}, state)) return *error;
  const double phi = *state.phi;
  const double d = nozzleDiameter;

  const double alpha = waterColumnCoefficient(hm);
  state.alphaF = alpha;

  const double b = nozzleFlowCoefficient(state.dischargeCoefficient, d);
  state.flowCoefficient = b;

  // Inverse of H_m = H_q / (α_f · (1 + φ · H_q)); the divisor reaches 0 at the longest
  // water column this nozzle can throw.
  const double divisor = 1 - hm * (alpha * phi);
  if (!(divisor > 0)) {
    return errors::beyondReach(waterColumn, nozzleDiameter, maxWaterColumn(d));
  }
  const double hq = (hm * alpha) / divisor;
  state.nozzlePressure = hq;

  const double q = std::sqrt(b * hq);
  if (!std::isfinite(q)) return errors::outOfRange(errors::Input::WaterColumn, waterColumn);
  return roundedTo(q, 2);
}

Result<double> H2o(float flow, float nozzleDiameter, CalcState& state, std::string_view flowText,
                   std::string_view nozzleText) {
  if (auto error = startNozzle(nozzleDiameter, nozzleText, state)) return *error;
  const double phi = *state.phi;
  const double d = nozzleDiameter;
  const double b = nozzleFlowCoefficient(state.dischargeCoefficient, d);
  state.flowCoefficient = b;
  const double q = flow;
  if (!(q >= 0)) return errors::negative(errors::Input::Flow, entryText(flowText, flow));
  const double hq = std::pow(q, 2) / b;
  state.nozzlePressure = hq;
  if (!std::isfinite(hq)) {
    return errors::outOfRange(errors::Input::NozzleDiameter, entryText(nozzleText, nozzleDiameter));
  }

  // The residual falls by about s per metre; once it is below 1.5 s the solution lies less
  // than half a metre beyond the last trial or below it, so the next whole metre (the
  // candidate) is the nearest one.
  double candidate = kFirstTrial;
  float previous = 0;
  for (int trial = 0; trial < kMaxTrials; ++trial) {
    const double h = candidate;
    state.alphaF = waterColumnCoefficient(h);
    state.residual = trialResidual(hq, phi, h);
    candidate = h + 1;
    const float r = state.residual;
    const double step = trial == 0 ? 1.0 : static_cast<double>(previous) - r;
    if (r < 1.5 * step) return candidate;
    previous = r;
  }
  return errors::noConvergence(entryText(flowText, flow));
}

}  // namespace calc
