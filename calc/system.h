#pragma once
// The whole hydrant system on its most unfavourable riser: the flowing hydrants below the
// most unfavourable one, the losses in riser and main, the pump head, the pressure of every
// floor, pressure reduction and orifice plates, zoning and the working pressure.
//
// Heads are in m of water (1 MPa = 100 m), flows in L/s, diameters in mm, double precision,
// rounded only for display. Floors are numbered 1..n from the bottom; floor n holds the most
// unfavourable hydrant, whose design point is calc::checkDesign's.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/book.h"
#include "calc/calc_error.h"
#include "calc/design_check.h"

namespace calc {

struct PipeInputs {
  int dn = 100;                // nominal size
  double innerDiameter = 106;  // mm
  double c = 120;              // Hazen–Williams coefficient
  bool operator==(const PipeInputs&) const = default;
};

struct TankInputs {
  double lowestLevel = 0;   // lowest effective water level, m
  double highestLevel = 0;  // highest water level (standby static), m
  double minStatic = 0.10;  // static required at the most unfavourable outlet, MPa
  bool operator==(const TankInputs&) const = default;
};

struct StabilizerInputs {
  double stopPressure = 0;  // stop pressure at its outlet, MPa
  double elevation = 0;     // its outlet, m
  bool operator==(const StabilizerInputs&) const = default;
};

struct SystemInputs {
  DesignInputs hydrant;  // the most unfavourable hydrant; width and pressureMPa unused

  // Building: one hydrant per floor on the riser.
  int floors = 1;
  std::vector<double> floorHeights;  // floors − 1 storey heights, bottom up, m
  double firstOutletElevation = 0;   // outlet of floor 1, m

  // System flows (Table 3.5.2), L/s.
  double designFlow = 40;
  double riserMinFlow = 15;

  // Supply, m.
  double poolLevel = 0;     // lowest effective level at the pump suction
  double poolMaxLevel = 0;  // highest level

  // Pump.
  double pumpElevation = 0;         // centre line, m
  std::optional<double> ratedHead;  // the selected pump's head, m; none: the calculated head
  double shutoffRatio = 1.4;        // zero-flow head / rated head

  std::optional<TankInputs> tank;
  std::optional<StabilizerInputs> stabilizer;

  PipeInputs riser;
  double riserBaseElevation = 0;  // where the riser meets the main, m
  PipeInputs main{150, 159, 120};
  double mainLength = 0;  // m

  // Design.
  double localLoss = 0.2;                   // λ: local losses / friction
  double k2 = 1.2;                          // safety factor of the pump head
  double branchInnerDiameter = 68;          // d_j of the branch holding a plate, mm
  std::optional<double> targetPressureMPa;  // after reduction; none: the design point H₀
  double componentRating = 1.6;             // rated pressure of hydrants and valves, MPa

  BookInputs book;  // volumes and standby equipment; empty: no book
  bool operator==(const SystemInputs&) const = default;
};

struct SystemHydrant {
  int floor = 0;
  double elevation = 0;       // Z_i, m
  double outletPressure = 0;  // H_k, m
  double flow = 0;            // q_k, L/s
};

struct SystemSegment {
  std::string name;          // "立管 18-17", "立管 16-基点", "干管"
  double flow = 0;           // L/s
  double innerDiameter = 0;  // mm
  double length = 0;         // m
  double velocity = 0;       // m/s
  double gradient = 0;       // j, m per m
  double friction = 0;       // h_f, m
  double local = 0;          // λ·h_f, m
};

struct SystemPump {
  double flow = 0;          // Q_p, L/s
  double head = 0;          // H_p calculated, m
  double selectedHead = 0;  // H_s, m
  double shutoffHead = 0;   // shutoffRatio · H_s, m
  double friction = 0;      // Σh_f, m
  double local = 0;         // Σh_p, m
  double lift = 0;          // Z_n − pool level, m
};

enum class Reducing { None, Required, Mandatory };

struct OrificePlate {
  double flow = 0;               // q_t at the target pressure, L/s
  double velocity = 0;           // V in the branch, m/s
  double lossToTake = 0;         // ΔH = D_i − H_t, m
  double zeta = 0;               // ζ wanted
  double ratio = 0;              // r = d_k / d_j solving ζ(r) = ζ wanted
  double holeDiameterExact = 0;  // r·d_j + 1, mm
  double holeDiameter = 0;       // rounded up to a whole mm
  double afterPressure = 0;      // D_i less the made hole's loss, m
  bool ok = false;               // hole ≥ 30 % of d_j and ≥ 20 mm: the plate may be used
  bool afterInRange = false;     // p_min ≤ afterPressure ≤ 50 m
};

struct SystemFloor {
  int floor = 0;
  double elevation = 0;                  // Z_i, m
  std::optional<double> staticPressure;  // standby static S_i, m; none without tank/stabilizer
  double zeroFlowPressure = 0;           // P⁰_i, m
  double dynamicPressure = 0;            // D_i, m
  Reducing reducing = Reducing::None;
  std::optional<OrificePlate> orifice;
};

struct SystemResult {
  DesignResult design;                  // the most unfavourable hydrant
  int streams = 0;                      // s, flowing nozzles on the riser
  std::vector<SystemHydrant> hydrants;  // floor n first
  double riserFlow = 0;                 // Q_r, L/s
  std::vector<SystemSegment> segments;  // riser top down, then the main
  SystemPump pump;
  double targetPressure = 0;        // H_t, m
  std::vector<SystemFloor> floors;  // floor 1 first
  double workingPressure = 0;       // P_w at the pump outlet, m
  std::vector<DesignCheck> checks;  // the book's checks last
  std::optional<BookResult> book;   // when inputs.book has any section
};

// The first input no system has, or nothing. The error's field names the input by its key in
// the project file ("riser.base_elevation"), its text is the value, its message says why.
std::optional<CalcError> validateSystem(const SystemInputs& inputs);

// Z_1 … Z_n, m.
std::vector<double> outletElevations(const SystemInputs& inputs);

// Fails where validateSystem does and where the design point cannot be formed.
Result<SystemResult> calculateSystem(const SystemInputs& inputs);

// The checks of a calculated system, in the order the sheet lists them.
std::vector<DesignCheck> systemChecks(const SystemInputs& inputs, const SystemResult& result);

// The stabiliser's stop pressure referred to an elevation, m; 0 without a stabiliser.
double stabilizerPressureAt(const SystemInputs& inputs, double elevation);

// 10.3.1's smallest hole for a branch of this inner diameter: 30 % of it and 20 mm, mm.
double minHoleDiameter(double branchInnerDiameter);

// Hazen–Williams gradient, m per m: flow L/s, inner diameter mm.
double frictionGradient(double flow, double innerDiameterMm, double c);

// ζ of an orifice plate whose bore is the fraction r of the pipe's inner diameter, 0 < r < 1.
double orificeZeta(double ratio);
// The r in (0, 1) whose ζ is `zeta` (> 0).
double orificeRatio(double zeta);

// "none", "required", "mandatory"; 无, 应减压, 必须减压.
std::string_view reducingName(Reducing reducing);
std::string_view reducingWords(Reducing reducing);

}  // namespace calc
