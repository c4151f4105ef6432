#pragma once
// The whole hydrant system solved as a network: the pool, the pump on its curve, the main, a
// ring of risers (with a ring at their tops when asked), one hydrant per floor on every riser.
// Four duties: the head the most unfavourable riser needs (10.1.7), the design duty, every
// floor's fire with the plates above it (pressure reduction and orifice plates), and every
// floor's hydrant open alone; then zoning and the working pressure.
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

// A pump curve read off the maker's data: three points (flow L/s, head m), the first at zero flow.
struct PumpCurvePoint {
  double flow = 0;
  double head = 0;
  bool operator==(const PumpCurvePoint&) const = default;
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
  // The real pump's curve; none: the curve through (0, ratio·H_s), (Q_p, H_s), (1.5·Q_p, 0.65·H_s).
  std::vector<PumpCurvePoint> pumpCurve;

  std::optional<TankInputs> tank;
  std::optional<StabilizerInputs> stabilizer;

  PipeInputs riser;
  double riserBaseElevation = 0;  // where the risers meet the main or the ring, m
  int riserCount = 1;             // risers on the ring, 1: one riser on a branch main
  double riserSpacing = 0;        // m between neighbouring risers' feet (and tops), count ≥ 2
  bool topRing = false;           // the risers' tops joined by a ring of the riser's pipe
  PipeInputs main{150, 159, 120};
  double mainLength = 0;           // m, from the pump to riser 1's foot
  std::optional<PipeInputs> ring;  // the ring main; none: the main's pipe

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
  int riser = 1;
  int floor = 0;
  double elevation = 0;       // Z_i, m
  double outletPressure = 0;  // H_k, m
  double flow = 0;            // q_k, L/s
};

struct SystemSegment {
  std::string name;  // "立管 18–17", "立管 16–底部", "干管", "环管 1–2", "3号立管 18–17"
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
  // The curve H(Q) = a − b·Q^c, m and L/s.
  double a = 0;
  double b = 0;
  double c = 1;
  double dutyFlow = 0;  // at the design duty, L/s
  double dutyHead = 0;  // m
};

struct SystemRiser {
  int riser = 1;
  double headLoss = 0;  // ΔH_r: head at the pump outlet less Z_n + H₀ with the fire on top of r, m
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
  double afterPressure = 0;      // the floor's outlet pressure with the made plate, m
  bool ok = false;               // hole ≥ 30 % of d_j and ≥ 20 mm: the plate may be used
  bool afterInRange = false;     // p_min ≤ afterPressure ≤ 50 m
};

struct SystemFloor {
  int floor = 0;
  double elevation = 0;                  // Z_i, m
  std::optional<double> staticPressure;  // standby static S_i, m; none without tank/stabilizer
  double zeroFlowPressure = 0;           // P⁰_i, m
  double dynamicPressure = 0;            // D_i: outlet pressure with the fire here, no plate, m
  Reducing reducing = Reducing::None;
  std::optional<OrificePlate> orifice;
  double singleHydrantPressure = 0;  // L_i: outlet pressure with this hydrant open alone, m
  int singleHydrantRiser = 1;        // the riser where L_i occurs
  double singleHydrantFlow = 0;      // the pump's flow then, L/s
};

// Solver iterations summed over each duty's solves, and the solves.
struct SystemIterations {
  int required = 0;
  int design = 0;
  int floors = 0;
  int single = 0;
  int solves = 0;
};

struct SystemResult {
  DesignResult design;  // the most unfavourable hydrant
  int streams = 0;      // s, flowing nozzles on the riser
  std::vector<SystemRiser> risers;
  int mostUnfavourableRiser = 1;        // r*
  std::vector<SystemHydrant> hydrants;  // r* at the required head, floor n first
  double riserFlow = 0;                 // Q_r, L/s
  double otherFlow = 0;                 // R: the rest of the design flow, drawn elsewhere, L/s
  std::vector<SystemSegment> segments;  // from r*'s top hydrant back to the pump
  std::vector<SystemHydrant> designHydrants;  // open at the design duty, top first
  SystemPump pump;
  SystemIterations iterations;
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

// Fails where validateSystem does, where the design point cannot be formed and where a duty's
// network does not balance (the error names the duty and the residual left).
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

// "1–15、17": floor numbers in runs of consecutive floors.
std::string floorList(const std::vector<int>& floors);
// "5.1, 3.9×16": storey heights in runs of equal heights.
std::string heightRuns(const std::vector<double>& heights);

// The exact hole diameter with the digits that explain its rounding up: two decimals, or more
// where two would read as the whole mm below the hole made (20.003 beside 21, not 20.00).
std::string holeDigits(const OrificePlate& plate);

}  // namespace calc
