#pragma once
// The volumes and standby equipment of a hydrant system's calculation book: fire duration,
// the fire pool, the roof tank, the stabilising pump with its pressure tank, the pump
// adapters and the fire pump set. Pure: what it needs of the system comes in as BookSystem.
//
// Flows in L/s, volumes in m³ (the pressure tank in L), heads in m of water (1 MPa = 100 m)
// unless a name says MPa. Every input section is optional: one left out is not part of the
// book, and what depends on it is left out too. Clauses known only from a paraphrase or
// from memory give 注意 with "条文待核", never 满足 or 不满足.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "calc/calc_error.h"
#include "calc/design_check.h"

namespace calc {

// The rows of the fire-duration table, in the order buildingUseNames gives their names.
enum class BuildingUse {
  Office,
  OtherPublic,
  Complex,
  Commercial,
  Exhibition,
  Finance,
  Library,
  BookStack,
  Archive,
  Research,
  Hotel,
  Residence,
  Underground,
  PlantABC,
  WarehouseABC,
  PlantDE,
  WarehouseDE,
};

enum class BuildingClass {
  PublicHigh1,
  PublicHigh2,
  PublicLow,
  ResidenceHigh1,
  ResidenceHigh2,
  ResidenceLow,
  Industrial,
};

struct BookBuilding {
  BuildingUse use = BuildingUse::Office;
  double height = 0;                           // building height (GB 50016), m
  std::optional<BuildingClass> buildingClass;  // none: derived from use and height
  std::optional<double> volume;                // m³, for industrial buildings
  bool operator==(const BookBuilding&) const = default;
};

struct BookSupply {
  int mains = 2;                        // municipal supply pipes, 1 or 2
  double outdoorFlow = 0;               // outdoor hydrant design flow, L/s
  bool outdoorGuaranteed = false;       // the municipal network gives the outdoor flow
  std::optional<double> municipalFlow;  // what the municipal network can give, L/s
  std::optional<int> inletDn;           // the pool's inlet; none: no refill counted
  double inletVelocity = 1.5;           // m/s
  bool operator==(const BookSupply&) const = default;
};

struct BookSprinkler {
  double flow = 0;         // L/s
  double duration = 1.0;   // h
  bool fullCover = false;  // the whole building sprinklered
  bool operator==(const BookSprinkler&) const = default;
};

struct BookTank {
  std::optional<double> volume;     // effective volume as built, m³
  std::optional<double> minStatic;  // an entered requirement, MPa, instead of the class's
  bool operator==(const BookTank&) const = default;
};

struct BookStabilizer {                 // its stop pressure and elevation are the system's
  std::optional<double> flow;           // L/s
  std::optional<double> startPressure;  // P1 at its outlet, MPa
  std::optional<double> tankVolume;     // the pressure tank's effective volume, L
  std::optional<double> autoStartFlow;  // the flow switch that starts the fire pump, L/s
  bool operator==(const BookStabilizer&) const = default;
};

struct BookPump {
  std::optional<int> suctionDn;
  std::optional<int> dischargeDn;
  bool operator==(const BookPump&) const = default;
};

struct BookInputs {
  std::optional<BookBuilding> building;
  std::optional<BookSupply> supply;
  std::optional<BookSprinkler> sprinkler;
  std::optional<BookTank> tank;
  std::optional<BookStabilizer> stabilizer;
  std::optional<BookPump> pump;
  // A tank with only an entered static requirement is the system's, not a book.
  bool any() const {
    return building || supply || sprinkler || (tank && tank->volume) || stabilizer || pump;
  }
  bool operator==(const BookInputs&) const = default;
};

// H(Q) = a − b·Q^c, H in m, Q in L/s.
struct BookCurve {
  double a = 0;
  double b = 0;
  double c = 1;
  double head(double flow) const;
};

// What the book takes from the system calculation.
struct BookSystem {
  int floors = 1;
  double designFlow = 0;             // indoor hydrant design flow as entered, L/s
  double pumpFlow = 0;               // Q_p, L/s
  double pumpHead = 0;               // H_s, m
  double shutoffRatio = 1.4;         // zero-flow head / H_s
  std::optional<BookCurve> curve;    // none: through (0, r·H_s), (Q_p, H_s), (1.5 Q_p, 0.65 H_s)
  double topOutlet = 0;              // elevation of the most unfavourable outlet, m
  double workingPressure = 0;        // m
  std::optional<double> tankLowest;  // the roof tank's lowest effective level, m
  std::optional<double> stabilizerStop;  // MPa at its outlet
  double stabilizerElevation = 0;        // its outlet, m
};

struct BookPool {
  bool required = false;
  double hydrantPart = 0;    // 3.6 q t, m³
  double sprinklerPart = 0;  // m³
  double outdoorPart = 0;    // m³, 0 when the network guarantees it
  double volumeBeforeRefill = 0;
  double refillRate = 0;             // q_f, m³/h; 0 without a counted refill
  double refill = 0;                 // q_f · t, m³
  double minimum = 0;                // m³, 0 where none applies
  double volume = 0;                 // m³
  std::optional<double> refillTime;  // h
  int compartments = 1;
  bool twoPools = false;
};

struct BookTankResult {
  bool required = false;                 // a roof tank is required
  std::optional<double> requiredVolume;  // m³; none: no figure for this class
  double requiredStatic = 0;             // MPa
  bool staticAdvisory = false;           // the requirement is 不宜 only
  std::optional<double> staticPressure;  // MPa at the most unfavourable outlet, lowest level
  std::optional<double> volume;          // as entered, m³
};

struct BookStabilizerResult {
  double flowMin = 0;  // L/s
  double flowMax = 0;
  double standbyStatic = 0;             // MPa at the most unfavourable outlet, stop pressure
  std::optional<double> startsPerHour;  // with flow and tank volume
  double rise = 0;                      // Z_n − its outlet, m
  bool proposal = false;                // P1, P2 below are proposed, not entered
  double startMin = 0;                  // the least P1 for 0.15 MPa at the outlet, proposed
  bool stopRaised = false;              // the entered P2 is too low for it
  double start = 0;                     // P1, MPa
  double stop = 0;                      // P2, MPa
  double fireStartHigh = 0;             // the fire pump's auto-start, MPa at its outlet
  double fireStartLow = 0;
  double flow = 0;  // L/s, entered or flowMax proposed
  bool flowProposed = false;
  double tankVolume = 0;  // L, entered or the least for 15 starts and 150 L
  bool tankProposed = false;
};

struct BookAdapters {
  bool required = false;
  int hydrantMin = 0;  // ⌈Q/15⌉
  int hydrantMax = 0;  // ⌈Q/10⌉
  int hydrant = 0;     // adopted
  std::optional<int> sprinklerMin;
  std::optional<int> sprinklerMax;
  std::optional<int> sprinkler;
};

struct BookPumpSet {
  double flow = 0;  // Q_p, L/s
  double head = 0;  // H_s, m
  BookCurve curve;
  bool curveGiven = false;
  double point150Head = 0;  // H(1.5 Q_p), m
  std::optional<bool> standbyRequired;
  std::optional<double> suctionVelocity;    // m/s
  std::optional<double> dischargeVelocity;  // m/s
  double dischargeGaugeMin = 0;             // MPa
  double dischargeGauge = 0;                // the standard range chosen, MPa
  double suctionGauge = 0;                  // MPa
};

struct BookResult {
  std::optional<BuildingUse> use;
  std::optional<BuildingClass> buildingClass;
  bool classDerived = false;
  std::optional<double> duration;  // h
  double hydrantFlow = 0;          // after the reduction for full sprinkler cover, L/s
  bool reduced = false;
  std::optional<BookPool> pool;
  std::optional<BookTankResult> tank;
  std::optional<BookStabilizerResult> stabilizer;
  std::optional<BookAdapters> adapters;
  BookPumpSet pumpSet;
  std::vector<DesignCheck> checks;
};

// 办公楼 … 丁戊类仓库 and 一类高层公共建筑 … 工业建筑, in enum order.
std::span<const std::string_view> buildingUseNames();
std::span<const std::string_view> buildingClassNames();
std::string_view buildingUseName(BuildingUse use);
std::string_view buildingClassName(BuildingClass buildingClass);
std::optional<BuildingUse> buildingUseOf(std::string_view name);
std::optional<BuildingClass> buildingClassOf(std::string_view name);

BuildingClass derivedClass(BuildingUse use, double height);
bool isHighRise(BuildingClass buildingClass);

// The three-point curve: H(0) = r·H_s, H(Q_p) = H_s, H(1.5 Q_p) = 0.65 H_s; r > 1.
BookCurve threePointCurve(double pumpFlow, double pumpHead, double shutoffRatio);

// The first input no book has, named by its project-file key; or nothing.
std::optional<CalcError> validateBook(const BookInputs& inputs);

Result<BookResult> calculateBook(const BookInputs& inputs, const BookSystem& system);

struct SystemInputs;
struct SystemResult;
// What the book takes from a calculated system.
BookSystem bookSystem(const SystemInputs& inputs, const SystemResult& result);

}  // namespace calc
