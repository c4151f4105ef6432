#pragma once
// The design point a hydrant is actually built to under GB 50974-2014, and the code checks
// with their clauses. Separate from the window's run: that stays as it is, this works in
// double precision with no rounding between steps and rounds only for display.
//
// Candidates for the outlet pressure H_xh (m of water column, H_k = 2 m included):
//   A  from the water column H = max(S_k, S_k,req);
//   F  from the minimum flow per stream q_min;
//   P  the minimum outlet pressure p_min of 7.4.12-2.
// The design point is the largest of the three (ties: A, then F, then P). Given an
// available outlet pressure, or a flow per stream, that is the design point instead and
// nothing is raised: a shortfall fails. 1 m of water column is taken as 0.01 MPa.
//
// The protection radius of 10.2.1 takes S_k as 7.4.12-2 fixes it (13 m or 10 m), whatever
// was entered; the window's radius, from the entered S_k, is the run's and not this one.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calc_error.h"
#include "calc/entries.h"

namespace calc {

// The two groups of places of 7.4.12-2.
enum class Occupancy {
  High,  // 高层建筑、厂房、库房和室内净空高度超过8m的民用建筑等场所: 13 m, 0.35 MPa
  Other,  // 其他场所: 10 m, 0.25 MPa
};

enum class Governing { WaterColumn, MinFlow, MinPressure, Pressure, Flow };

// NotApplicable: the check does not apply to this design (no plate, no tank).
enum class Verdict { Pass, Fail, Note, Advice, NotApplicable };

struct DesignInputs {
  double hoseLength = 20;            // L_d, m
  double hoseCoefficient = 0.01501;  // A_z from the hose table
  std::string material = "麻质";     // hose material text
  std::string hoseDiameter = "50";   // hose diameter text, mm
  double nozzle = 19;                // d, mm
  double waterColumn = 10;           // S_k as entered, m
  std::optional<double> width;       // protection width b, m
  Occupancy occupancy = Occupancy::Other;
  int streams = 2;                    // streams that must reach every point: 2 or 1
  double minFlow = 5;                 // q_min per stream, l/s
  std::optional<double> pressureMPa;  // available outlet pressure: the pressure-given direction
  std::optional<double> flow;         // given flow per stream, L/s: the flow-given direction (the
                                      // pressure, when both are given, comes first)
  // false: the checks carry id, clause and verdict only (requirement, value and text stay
  // empty), for batch runs that print verdicts and numbers.
  bool withTexts = true;
  bool operator==(const DesignInputs&) const = default;
};

// The settings of the check that the entries do not give.
struct DesignSettings {
  Occupancy occupancy = Occupancy::Other;
  int streams = 2;                    // 2 or 1
  double minFlow = 5;                 // l/s per stream
  std::optional<double> pressureMPa;  // given: the pressure-given direction
};

// One hydraulic state of hydrant, hose and nozzle, unrounded.
struct HydrantPoint {
  double outletPressure = 0;  // H_xh, m
  double nozzlePressure = 0;  // H_q, m
  double flow = 0;            // q, l/s
  double hoseLoss = 0;        // h_d, m
  double waterColumn = 0;     // dense water column the jet reaches, m
};

// A hydraulic state as the sheet and the command line show it: heads, loss and flow to
// 0.01, the outlet pressure in MPa to 0.001 (from the unrounded metres), the water column
// to 0.1 m.
struct ShownPoint {
  std::string outletPressure;
  std::string outletPressureMPa;
  std::string nozzlePressure;
  std::string flow;
  std::string hoseLoss;
  std::string waterColumn;
};
ShownPoint shownPoint(const HydrantPoint& point);
// The same rounding as numbers: each field is the number its ShownPoint text shows.
HydrantPoint roundedPoint(const HydrantPoint& point);

struct DesignCheck {
  std::string id;      // "waterColumn", "minPressure", "maxPressure", "minFlow", "spacing", ...
  std::string clause;  // "7.4.12-2"
  Verdict verdict = Verdict::Pass;
  std::string requirement;  // what the clause asks, for the sheet's table ("≥ 13 m")
  std::string value;        // what the design has ("18.5 m")
  std::string text;         // one Simplified Chinese sentence a plan reviewer would accept
  // What the design must change, in one line, when the check finds a shortfall; empty
  // otherwise. A conclusion lists these by clause.
  std::string remedy;
};

struct DesignResult {
  Governing governedBy = Governing::WaterColumn;
  double requiredWaterColumn = 0;  // S_k,req, m
  double minPressure = 0;          // p_min, m
  // Outlet pressure that gives q_min through this nozzle and hose, m; formed in every
  // direction: above 0.50 MPa the kit cannot give q_min without a reducer defeating it.
  double minFlowOutlet = 0;
  // The candidates; unset in the pressure-given direction, where none is formed.
  std::optional<HydrantPoint> fromWaterColumn;  // A
  std::optional<HydrantPoint> fromMinFlow;      // F (its waterColumn is S_k,act at q_min)
  HydrantPoint design;                          // the design point
  double radius = 0;                            // R = 0.8·L_d + 0.71·S_k,req, m
  // When a width is given and b ≤ R: S, its cap of 7.4.10 and min(S, cap).
  std::optional<double> spacing;
  std::optional<double> spacingCap;
  std::optional<double> adoptedSpacing;
  bool widthTooLarge = false;  // b > R: two rows of hydrants or a smaller width
  std::vector<DesignCheck> checks;
};

// Captions that name the design inputs in a CalcError and in a batch file's header.
inline constexpr const char* kOccupancyField = "场所类别";
inline constexpr const char* kStreamsField = "水枪充实水柱股数";
inline constexpr const char* kMinFlowField = "每支水枪最小流量(l/s)";
inline constexpr const char* kOutletPressureField = "栓口动压(MPa)";

// H_xh in m → MPa.
constexpr double toMPa(double metres) { return metres / 100.0; }

// The check's inputs for a calculation whose run succeeded: its entries read as the run read
// them, the width by its leading number as the window reads it (empty: none), the
// coefficient the hose table gave. The command line, batch runs and the sheet all start here.
DesignInputs designInputs(const Calculation& calculation, const DesignSettings& settings);

// Fails where the water column of candidate A lies beyond the nozzle's reach (an error
// naming the water column, as the run gives), or an input is one no hydrant has: not
// finite, a negative length or width, a nozzle or minimum flow of 0, streams other than 1
// or 2, a given pressure not above the hydrant's own 0.02 MPa.
Result<DesignResult> checkDesign(const DesignInputs& inputs);

// "pass", "fail", "note", "advice", "na" and "waterColumn", "minFlow", "minPressure", "pressure",
// "flow":
// the names in JSON and CSV.
std::string_view verdictName(Verdict verdict);
std::string_view governingName(Governing governing);
// The ids of the checks in the order checkDesign gives them.
std::span<const std::string_view> checkIds();
// 满足, 不满足, 注意, 建议, 不适用.
std::string_view verdictWords(Verdict verdict);
// What set the design point, in words: 充实水柱, 最小流量, 最小栓口动压, 给定栓口动压,
// 给定出水量.
std::string_view governingWords(Governing governing);
// The group of 7.4.12-2 named in full, for the sheet and the dialog.
std::string_view occupancyText(Occupancy occupancy);

}  // namespace calc
