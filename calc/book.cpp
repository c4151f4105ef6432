#include "calc/book.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "calc/number_text.h"
#include "calc/system.h"

namespace calc {
namespace {

constexpr double kOnLimit = 1e-9;
constexpr const char* kUnread = "（条文待核）";

constexpr std::array<std::string_view, 17> kUses{
    "办公楼",   "其他公共建筑", "综合楼",       "商业楼",     "展览楼",    "财贸金融楼",
    "图书馆",   "书库",         "档案楼",       "科研楼",     "高级宾馆",  "住宅",
    "地下建筑", "甲乙丙类厂房", "甲乙丙类仓库", "丁戊类厂房", "丁戊类仓库"};
constexpr std::array<std::string_view, 7> kClasses{
    "一类高层公共建筑", "二类高层公共建筑", "多层公共建筑", "一类高层住宅",
    "二类高层住宅",     "多层住宅",         "工业建筑"};
// Pressure gauge ranges, MPa.
constexpr std::array<double, 10> kGaugeRanges{1.0, 1.6, 2.5, 4.0, 6.0, 10, 16, 25, 40, 60};

std::string f1(double v) { return formatFixed(v, 1); }
std::string f2(double v) { return formatFixed(v, 2); }
std::string f3(double v) { return formatFixed(v, 3); }
std::string plain(double v) { return numberToText(v); }

DesignCheck row(const char* id, const char* clause, Verdict verdict, std::string requirement,
                std::string value, std::string text) {
  return {id, clause, verdict, std::move(requirement), std::move(value), std::move(text), {}};
}

// What the design must change, on the check just added, when `shortfall`.
void remedy(std::vector<DesignCheck>& checks, bool shortfall, std::string text) {
  if (shortfall) checks.back().remedy = std::move(text);
}

bool positive(double v) { return std::isfinite(v) && v > 0; }
bool nonNegative(double v) { return std::isfinite(v) && v >= 0; }
CalcError bad(const char* key, double value, const char* message) {
  return {key, plain(value), message};
}

bool industrial(BuildingUse use) { return use >= BuildingUse::PlantABC; }

// Smallest whole count of adapters at the given flow per adapter.
int adaptersFor(double flow, double each) {
  return static_cast<int>(std::ceil(flow / each - kOnLimit));
}

// Nominal DN as the bore, m/s.
double velocityThrough(double flow, int dn) {
  const double d = dn / 1000.0;
  return flow / 1000 / (std::numbers::pi / 4 * d * d);
}

// The tank's volume of 5.2.1, m³; none where the clause gives no figure.
std::optional<double> tankVolumeFor(BuildingClass cls, double height, double hydrantFlow) {
  switch (cls) {
    case BuildingClass::PublicHigh1:
      return height > 150 ? 100 : height > 100 ? 50 : 36;
    case BuildingClass::PublicHigh2:
    case BuildingClass::PublicLow:
      return 18;
    case BuildingClass::ResidenceHigh1:
      return height > 100 ? 36 : 18;
    case BuildingClass::ResidenceHigh2:
      return 12;
    case BuildingClass::ResidenceLow:
      if (height > 21) return 6;
      return std::nullopt;
    case BuildingClass::Industrial:
      return hydrantFlow > 25 + kOnLimit ? 18 : 12;
  }
  return std::nullopt;
}

// 5.2.2: MPa, and whether it is only 不宜.
std::pair<double, bool> tankStaticFor(BuildingClass cls, double height,
                                      std::optional<double> volume) {
  switch (cls) {
    case BuildingClass::PublicHigh1:
      return {height > 100 ? 0.15 : 0.10, false};
    case BuildingClass::ResidenceLow:
      return {0.07, true};
    case BuildingClass::Industrial:
      if (volume && *volume < 20000) return {0.07, true};
      return {0.10, false};
    default:
      return {0.07, false};
  }
}

double duration(BuildingUse use, BuildingClass cls, double height) {
  switch (use) {
    case BuildingUse::Complex:
    case BuildingUse::Commercial:
    case BuildingUse::Exhibition:
      return isHighRise(cls) ? 3.0 : 2.0;
    case BuildingUse::Finance:
    case BuildingUse::Library:
    case BuildingUse::BookStack:
    case BuildingUse::Archive:
    case BuildingUse::Research:
    case BuildingUse::Hotel:
      return height > 50 ? 3.0 : 2.0;
    case BuildingUse::PlantABC:
    case BuildingUse::WarehouseABC:
      return 3.0;
    default:
      return 2.0;
  }
}

struct Context {
  const BookInputs& in;
  const BookSystem& sys;
  BookResult& r;
};

// Hydrants and sprinklers together, L/s.
double indoorFlow(const Context& x) {
  return x.r.hydrantFlow + (x.in.sprinkler ? x.in.sprinkler->flow : 0);
}

void buildingPart(Context& x) {
  const BookBuilding& b = *x.in.building;
  x.r.use = b.use;
  x.r.buildingClass = b.buildingClass.value_or(derivedClass(b.use, b.height));
  x.r.classDerived = !b.buildingClass;
  const BuildingClass cls = *x.r.buildingClass;
  x.r.duration = duration(b.use, cls, b.height);
  x.r.checks.push_back(
      row("duration", "3.6.2", Verdict::Note, "表 3.6.2", f1(*x.r.duration) + " h",
          std::string(buildingUseName(b.use)) + "，" + std::string(buildingClassName(cls)) +
              (x.r.classDerived ? "（按建筑高度 " : "（设计给定，建筑高度 ") + plain(b.height) +
              " m），火灾延续时间取 " + f1(*x.r.duration) + " h" + kUnread + "。"));

  // 3.5.3: the hydrant flow with the whole building sprinklered.
  if (!x.in.sprinkler || !x.in.sprinkler->fullCover) return;
  const double q = x.sys.designFlow;
  const bool high = isHighRise(cls) || (cls == BuildingClass::Industrial && b.height > 24);
  std::string text;
  if (high && b.height <= 50 + kOnLimit && q > 20 + kOnLimit) {
    x.r.hydrantFlow = q - 5;
    text = "高层建筑高度不超过 50 m 且设计流量大于 20 L/s，减少 5 L/s：" + plain(q) +
           " − 5 = " + plain(x.r.hydrantFlow) + " L/s。";
  } else if (!high && q > 10 + kOnLimit) {
    x.r.hydrantFlow = std::max(0.5 * q, 10.0);
    text = "多层建筑减少 50%，且不小于 10 L/s：max(0.5×" + plain(q) +
           ", 10) = " + plain(x.r.hydrantFlow) + " L/s。";
  } else {
    text = high ? "高层建筑高度大于 50 m 或设计流量不大于 20 L/s，不减少。"
                : "设计流量不大于 10 L/s，不减少。";
  }
  x.r.reduced = x.r.hydrantFlow < q;
  x.r.checks.push_back(row("fullCover", "3.5.3", Verdict::Pass, "自动喷水全保护",
                           plain(x.r.hydrantFlow) + " L/s",
                           "室内设自动喷水灭火系统全保护，" + text));
}

void poolPart(Context& x) {
  const BookSupply& s = *x.in.supply;
  const double t = *x.r.duration;
  const double height = x.in.building->height;
  BookPool p;
  const double indoorOutdoor = indoorFlow(x) + s.outdoorFlow;
  std::string why;
  if (s.municipalFlow && *s.municipalFlow < indoorOutdoor - kOnLimit) {
    why = "市政给水可供 " + plain(*s.municipalFlow) + " L/s，小于室内外消防设计流量 " +
          plain(indoorOutdoor) + " L/s";
  } else if (s.mains == 1 && s.outdoorFlow > 20 + kOnLimit) {
    why = "一路供水且室外消防给水设计流量 " + plain(s.outdoorFlow) + " L/s 大于 20 L/s";
  } else if (s.mains == 1 && height > 50 + kOnLimit) {
    why = "一路供水且建筑高度 " + plain(height) + " m 大于 50 m";
  }
  p.required = !why.empty();
  x.r.checks.push_back(row("poolRequired", "4.3.1", Verdict::Pass, "需设水池的条件",
                           p.required ? "应设" : "可不设",
                           p.required ? why + "，应设消防水池。"
                                      : "市政供水满足第 4.3.1 条，可不设消防水池；"
                                        "设有水池时按下列计算其有效容积。"));

  p.hydrantPart = 3.6 * x.r.hydrantFlow * t;
  std::string formula = "3.6×(" + plain(x.r.hydrantFlow) + "×" + f1(t);
  if (x.in.sprinkler) {
    p.sprinklerPart = 3.6 * x.in.sprinkler->flow * x.in.sprinkler->duration;
    formula += " + " + plain(x.in.sprinkler->flow) + "×" + plain(x.in.sprinkler->duration);
  }
  if (!s.outdoorGuaranteed) {
    p.outdoorPart = 3.6 * s.outdoorFlow * t;
    formula += " + " + plain(s.outdoorFlow) + "×" + f1(t);
  }
  formula += ")";
  p.volumeBeforeRefill = p.hydrantPart + p.sprinklerPart + p.outdoorPart;
  if (s.inletDn) {
    const double d = *s.inletDn / 1000.0;
    p.refillRate = 3600 * std::numbers::pi / 4 * d * d * s.inletVelocity;
  }
  if (s.mains == 2) {
    p.refill = p.refillRate * t;
    p.minimum = x.in.sprinkler ? 100 : 50;
  }
  p.volume = std::max({p.volumeBeforeRefill - p.refill, p.minimum, 0.0});
  if (p.refillRate > 0) p.refillTime = p.volume / p.refillRate;
  p.compartments = p.volume > 500 + kOnLimit ? 2 : 1;
  p.twoPools = p.volume > 1000 + kOnLimit;

  std::string text = "V = " + formula + " = " + f2(p.volumeBeforeRefill) + " m³";
  if (p.refill > 0) {
    text += "；两路补水 " + f2(p.refillRate) + " m³/h × " + f1(t) + " h = " + f2(p.refill) +
            " m³，V = " + f2(p.volumeBeforeRefill - p.refill) + " m³";
  }
  text += s.outdoorGuaranteed ? "；市政管网保证室外消防用水，水池不计室外用水" : "";
  x.r.checks.push_back(row("poolVolume", "3.6.1、4.3.2", Verdict::Note, "V = 3.6 Σq t",
                           f2(p.volume) + " m³", text + kUnread + "。"));
  if (s.mains == 2) {
    const bool raised = p.volume > p.volumeBeforeRefill - p.refill + kOnLimit;
    x.r.checks.push_back(
        row("poolMinimum", "4.3.4", Verdict::Pass, "≥ " + plain(p.minimum) + " m³",
            f2(p.volume) + " m³",
            std::string(x.in.sprinkler ? "两路供水，" : "两路供水且仅设消火栓系统，") +
                "有效容积不应小于 " + plain(p.minimum) + " m³" +
                (raised ? "，取 " + plain(p.minimum) + " m³。" : "，计算值满足。")));
  }
  if (p.refillTime) {
    x.r.checks.push_back(row(
        "refillTime", "4.3.3", Verdict::Note, "≤ 48 h", f2(*p.refillTime) + " h",
        "补水时间 " + f2(p.volume) + " ÷ " + f2(p.refillRate) + " = " + f2(*p.refillTime) + " h，" +
            (*p.refillTime > 48 + kOnLimit ? "大于" : "不大于") + " 48 h" + kUnread + "。"));
    remedy(x.r.checks, *p.refillTime > 48 + kOnLimit,
           "加大消防水池进水管，使补水时间不大于 48 h" + std::string(kUnread));
  }
  if (p.compartments > 1) {
    x.r.checks.push_back(row(
        "poolSplit", "4.3.6", Verdict::Note, "> 500 m³ 分格", f2(p.volume) + " m³",
        p.twoPools
            ? "有效容积大于 1000 m³，应设两座能独立使用的消防水池" + std::string(kUnread) + "。"
            : "有效容积大于 500 m³，宜设两格能独立使用的消防水池" + std::string(kUnread) + "。"));
    remedy(x.r.checks, true,
           std::string(p.twoPools ? "消防水池应分设两座" : "消防水池宜分设两格") + kUnread);
  }
  x.r.pool = p;
}

void tankPart(Context& x) {
  const BookBuilding& b = *x.in.building;
  const BuildingClass cls = *x.r.buildingClass;
  BookTankResult t;
  t.required = cls == BuildingClass::PublicHigh1 || cls == BuildingClass::PublicHigh2 ||
               cls == BuildingClass::ResidenceHigh1 || cls == BuildingClass::ResidenceHigh2;
  t.requiredVolume = tankVolumeFor(cls, b.height, x.r.hydrantFlow);
  const auto [req, advisory] = tankStaticFor(cls, b.height, b.volume);
  const bool entered = x.in.tank && x.in.tank->minStatic;
  t.requiredStatic = entered ? *x.in.tank->minStatic : req;
  t.staticAdvisory = !entered && advisory;
  const bool has = x.sys.tankLowest || (x.in.tank && x.in.tank->volume);
  if (x.in.tank) t.volume = x.in.tank->volume;
  x.r.checks.push_back(row(
      "tankRequired", "6.1.9", t.required && !has ? Verdict::Fail : Verdict::Pass,
      t.required ? "应设高位消防水箱" : "—", has ? "已设" : "未设",
      t.required
          ? (has ? "高层民用建筑设高位消防水箱。" : "高层民用建筑应设高位消防水箱，本设计未设。")
          : "按第 6.1.9 条可不设高位消防水箱（大于 10000 m² "
            "且 2 层以上的公共建筑除外）。"));
  remedy(x.r.checks, t.required && !has, "应设置高位消防水箱");
  if (has && t.requiredVolume) {
    const std::string need = "≥ " + plain(*t.requiredVolume) + " m³";
    const std::string shops = b.use == BuildingUse::Commercial
                                  ? "总建筑面积大于 10000 m² 的商店不应小于 36 m³，大于 30000 m² "
                                    "不应小于 50 m³，取大值。"
                                  : "";
    if (x.in.tank && x.in.tank->volume) {
      const double v = *x.in.tank->volume;
      const bool low = v < *t.requiredVolume - kOnLimit;
      x.r.checks.push_back(
          row("tankVolume", "5.2.1", low ? Verdict::Fail : Verdict::Pass, need, plain(v) + " m³",
              std::string(buildingClassName(cls)) + "高位消防水箱有效容积不应小于 " +
                  plain(*t.requiredVolume) + " m³，设计 " + plain(v) + " m³" +
                  (low ? "，不满足。" : "。") + shops));
      remedy(x.r.checks, low, "高位消防水箱有效容积应不小于 " + plain(*t.requiredVolume) + " m³");
    } else {
      x.r.checks.push_back(row(
          "tankVolume", "5.2.1", Verdict::Note, need, "未给出",
          "未给出高位消防水箱有效容积；应不小于 " + plain(*t.requiredVolume) + " m³。" + shops));
    }
  }
  if (x.sys.tankLowest) {
    t.staticPressure = (*x.sys.tankLowest - x.sys.topOutlet) / 100;
    const bool low = *t.staticPressure < t.requiredStatic - kOnLimit;
    const Verdict v = !low                   ? Verdict::Pass
                      : x.sys.stabilizerStop ? Verdict::Pass
                      : t.staticAdvisory     ? Verdict::Advice
                                             : Verdict::Fail;
    const std::string s = "(" + f2(*x.sys.tankLowest) + " − " + f2(x.sys.topOutlet) +
                          ")/100 = " + f3(*t.staticPressure) + " MPa";
    x.r.checks.push_back(row(
        "tankStatic", "5.2.2", v, "≥ " + f2(t.requiredStatic) + " MPa",
        f3(*t.staticPressure) + " MPa",
        "水箱最低有效水位至最不利点静压 " + s +
            (!low ? "，不低于 " + f2(t.requiredStatic) + " MPa。"
             : x.sys.stabilizerStop
                 ? "，低于 " + f2(t.requiredStatic) + " MPa，已设稳压泵，稳压要求见第 5.3.3 条。"
                 : "，低于 " + f2(t.requiredStatic) + " MPa，" + (t.staticAdvisory ? "宜" : "应") +
                       "设稳压泵。")));
    remedy(x.r.checks, v == Verdict::Fail,
           "提高高位消防水箱最低有效水位，或设稳压泵（第 5.2.2 条第 5 款）");
  }
  x.r.tank = t;
}

void stabilizerPart(Context& x) {
  const BookStabilizer none;
  const BookStabilizer& in = x.in.stabilizer ? *x.in.stabilizer : none;
  BookStabilizerResult s;
  const double q = x.r.hydrantFlow;
  s.flowMin = std::max(0.01 * q, 1.0);
  s.flowMax = std::max(0.03 * q, 1.0);
  const double stop = *x.sys.stabilizerStop;
  s.rise = x.sys.topOutlet - x.sys.stabilizerElevation;
  s.standbyStatic = stop - s.rise / 100;
  s.proposal = !in.startPressure;
  if (s.proposal) {
    // P1 from the entered P2 by the pressure tank's working ratio (P1 + 0.1)/(P2 + 0.1) = 0.80
    // of absolute pressures, rounded down; when that leaves no more than 0.15 MPa at the
    // outlet, P1 is the first 0.01 MPa step above it and P2 is raised by the same ratio.
    s.startMin = std::floor((0.15 + s.rise / 100) * 100 + kOnLimit + 1) / 100;
    s.start = std::floor((0.8 * (stop + 0.1) - 0.1) * 100 + kOnLimit) / 100;
    s.stop = stop;
    if (s.start < s.startMin - kOnLimit) {
      s.start = s.startMin;
      s.stop = std::ceil(((s.start + 0.1) / 0.8 - 0.1) * 100 - kOnLimit) / 100;
      s.stopRaised = true;
    }
  } else {
    s.start = *in.startPressure;
    s.stop = stop;
  }
  s.fireStartHigh = s.start - 0.07;
  s.fireStartLow = s.start - 0.10;
  s.flow = in.flow.value_or(s.flowMax);
  s.flowProposed = !in.flow;
  s.tankVolume = in.tankVolume.value_or(std::max(150.0, 3600 * s.flow / (4 * 15)));
  s.tankProposed = !in.tankVolume;
  if (in.flow && in.tankVolume) s.startsPerHour = 3600 * *in.flow / (4 * *in.tankVolume);

  const std::string range = f2(s.flowMin) + "–" + f2(s.flowMax) + " L/s";
  x.r.checks.push_back(row("stabilizerFlow", "5.3.2", Verdict::Note, range,
                           in.flow ? plain(*in.flow) + " L/s" : "未给出",
                           "无管网泄漏量资料时按设计流量的 1%–3%：" + f2(0.01 * q) + "–" +
                               f2(0.03 * q) + " L/s，且不宜小于 1 L/s" +
                               (in.flow ? "；设计 " + plain(*in.flow) + " L/s" +
                                              (*in.flow < s.flowMin - kOnLimit   ? "，偏小"
                                               : *in.flow > s.flowMax + kOnLimit ? "，偏大"
                                                                                 : "")
                                        : "") +
                               kUnread + "。"));
  remedy(x.r.checks,
         in.flow && (*in.flow < s.flowMin - kOnLimit || *in.flow > s.flowMax + kOnLimit),
         "稳压泵流量宜取 " + range + std::string(kUnread));
  if (in.flow && in.autoStartFlow) {
    const bool ok = *in.flow < *in.autoStartFlow - kOnLimit;
    x.r.checks.push_back(row("stabilizerAutoStart", "GB 55036", ok ? Verdict::Pass : Verdict::Fail,
                             "< " + plain(*in.autoStartFlow) + " L/s", plain(*in.flow) + " L/s",
                             "稳压泵流量 " + plain(*in.flow) + " L/s" + (ok ? " 小于" : " 不小于") +
                                 "系统自动启动流量 " + plain(*in.autoStartFlow) + " L/s" +
                                 (ok ? "。" : "，稳压泵运行时消防水泵无法自动启动。")));
    remedy(x.r.checks, !ok,
           "稳压泵流量应小于系统自动启动流量 " + plain(*in.autoStartFlow) + " L/s");
  }
  x.r.checks.push_back(
      row("stabilizerStatic", "5.3.3", Verdict::Note, "> 0.15 MPa", f3(s.standbyStatic) + " MPa",
          "停泵压力折算到最不利点：" + f2(stop) + " − " +
              (s.rise < 0 ? "(" + f2(s.rise) + ")" : f2(s.rise)) + "/100 = " + f3(s.standbyStatic) +
              " MPa，" + (s.standbyStatic > 0.15 + kOnLimit ? "大于" : "不大于") + " 0.15 MPa" +
              kUnread + "。"));
  remedy(x.r.checks, s.standbyStatic <= 0.15 + kOnLimit,
         "提高稳压泵停泵压力，使最不利点静压大于 0.15 MPa" + std::string(kUnread));
  x.r.checks.push_back(row(
      "stabilizerStart", "5.3.3", Verdict::Note, "P1 − 0.07~0.10 MPa",
      "P1 = " + f2(s.start) + " MPa",
      std::string(s.proposal ? "建议稳压泵启泵压力 P1 = " : "稳压泵启泵压力 P1 = ") + f2(s.start) +
          " MPa，" + (s.stopRaised ? "停泵压力宜提高到 P2 = " + f2(s.stop) + " MPa，" : "") +
          "消防水泵自动启泵压力（折算到稳压泵出口）宜设定为 " + f2(s.fireStartLow) + "–" +
          f2(s.fireStartHigh) + " MPa" + kUnread + "。"));
  remedy(x.r.checks, s.stopRaised,
         "稳压泵停泵压力宜提高到 " + f2(s.stop) + " MPa" + std::string(kUnread));
  if (in.tankVolume) {
    const bool small = *in.tankVolume < 150 - kOnLimit;
    x.r.checks.push_back(row("pressureTank", "5.3.4", small ? Verdict::Advice : Verdict::Pass,
                             "≥ 150 L", plain(*in.tankVolume) + " L",
                             "气压罐有效储水容积 " + plain(*in.tankVolume) + " L" +
                                 (small ? "，不宜小于 150 L。" : "，不小于 150 L。")));
  }
  if (s.startsPerHour) {
    const bool many = *s.startsPerHour > 15 + kOnLimit;
    x.r.checks.push_back(
        row("stabilizerStarts", "5.3.4", many ? Verdict::Fail : Verdict::Pass, "≤ 15 次/h",
            f1(*s.startsPerHour) + " 次/h",
            "n = 3600 q/(4 V) = 3600×" + plain(*in.flow) + "/(4×" + plain(*in.tankVolume) +
                ") = " + f1(*s.startsPerHour) + " 次/h" +
                (many ? "，大于 15 次/h，应加大气压罐调节容积。" : "，不大于 15 次/h。")));
    remedy(x.r.checks, many, "加大气压罐调节容积，使稳压泵启泵次数不大于 15 次/h");
  }
  x.r.stabilizer = s;
}

void adapterPart(Context& x) {
  BookAdapters a;
  const BuildingClass cls = *x.r.buildingClass;
  const int floors = x.sys.floors;
  const double height = x.in.building->height;
  if (cls == BuildingClass::Industrial) {
    a.required = height > 24 + kOnLimit || floors > 4;
  } else {
    a.required = isHighRise(cls) || floors > 5 || x.r.use == BuildingUse::Underground;
  }
  a.hydrantMin = adaptersFor(x.r.hydrantFlow, 15);
  a.hydrantMax = adaptersFor(x.r.hydrantFlow, 10);
  a.hydrant = a.required ? std::max(a.hydrantMin, 2) : 0;
  std::string text = "消火栓系统 ⌈" + plain(x.r.hydrantFlow) +
                     "/15⌉ = " + std::to_string(a.hydrantMin) + " 至 ⌈" + plain(x.r.hydrantFlow) +
                     "/10⌉ = " + std::to_string(a.hydrantMax) + " 个";
  if (x.in.sprinkler) {
    const double qs = x.in.sprinkler->flow;
    a.sprinklerMin = adaptersFor(qs, 15);
    a.sprinklerMax = adaptersFor(qs, 10);
    a.sprinkler = std::max(*a.sprinklerMin, 2);
    text += "，自动喷水系统 ⌈" + plain(qs) + "/15⌉ = " + std::to_string(*a.sprinklerMin) + " 至 ⌈" +
            plain(qs) + "/10⌉ = " + std::to_string(*a.sprinklerMax) + " 个";
  }
  text += a.required ? "；消火栓系统取 " + std::to_string(a.hydrant) + " 个" +
                           (a.sprinkler ? "，自动喷水系统取 " + std::to_string(*a.sprinkler) + " 个"
                                        : std::string()) +
                           "，竖向分区时每区分别设置（第 5.4.6 条）。"
                     : "；消火栓系统可不设水泵接合器（第 5.4.1 条）。";
  x.r.checks.push_back(row("adapters", "5.4.1、5.4.3", Verdict::Pass, "每个 10–15 L/s",
                           a.required ? std::to_string(a.hydrant) + " 个" : "可不设",
                           "水泵接合器：" + text));
  x.r.adapters = a;
}

void pumpPart(Context& x) {
  BookPumpSet& p = x.r.pumpSet;
  const double qp = p.flow = x.sys.pumpFlow;
  const double hs = p.head = x.sys.pumpHead;
  p.curveGiven = x.sys.curve.has_value();
  p.curve = x.sys.curve.value_or(threePointCurve(qp, hs, x.sys.shutoffRatio));
  p.point150Head = p.curve.head(1.5 * qp);
  const bool low150 = p.point150Head < 0.65 * hs - 1e-6;
  x.r.checks.push_back(
      row("pump150", "5.1.6-5", low150 ? Verdict::Fail : Verdict::Pass, "≥ " + f2(0.65 * hs) + " m",
          f2(p.point150Head) + " m",
          std::string(p.curveGiven ? "按水泵性能曲线" : "按三点曲线（零流量、设计点、150% 点）") +
              "，H(1.5×" + f2(qp) + ") = " + f2(p.point150Head) + " m，" +
              (low150 ? "低于" : "不低于") + "设计扬程的 65% " + f2(0.65 * hs) + " m" +
              (low150 ? "，不满足。" : "。")));
  remedy(x.r.checks, low150, "另选水泵，使 1.5 倍设计流量时扬程不低于 " + f2(0.65 * hs) + " m");

  if (x.in.building) {
    const BookBuilding& b = *x.in.building;
    std::string why;
    if (indoorFlow(x) <= 10 + kOnLimit) {
      why = "室内消防给水设计流量不大于 10 L/s";
    } else if (b.height < 54 - kOnLimit && b.use == BuildingUse::Residence) {
      why = "建筑高度小于 54 m 的住宅";
    } else if (b.height < 54 - kOnLimit && x.in.supply &&
               x.in.supply->outdoorFlow <= 25 + kOnLimit) {
      why = "建筑高度小于 54 m 且室外消防给水设计流量不大于 25 L/s";
    }
    p.standbyRequired = why.empty();
    x.r.checks.push_back(
        row("standbyPump", "5.1.10", Verdict::Pass, "备用泵", why.empty() ? "应设" : "可不设",
            why.empty() ? "消防水泵应设备用泵，其性能与工作泵一致。" : why + "，可不设备用泵。"));
  }
  const auto band = [&](const char* id, const char* what, int dn, double lo, double hi) {
    const double v = velocityThrough(qp, dn);
    const bool in = v >= lo - kOnLimit && v <= hi + kOnLimit;
    const std::string req = f1(lo) + "–" + f1(hi) + " m/s";
    x.r.checks.push_back(
        row(id, "5.1.13", in ? Verdict::Pass : Verdict::Advice, req, f2(v) + " m/s",
            std::string(what) + " DN" + std::to_string(dn) + " 流速 " + f2(v) + " m/s，" +
                (in ? "在 " : "宜在 ") + req + (in ? " 之间。" : " 之间。")));
    return v;
  };
  if (x.in.pump && x.in.pump->suctionDn) {
    const int dn = *x.in.pump->suctionDn;
    p.suctionVelocity = dn < 250 ? band("suctionVelocity", "吸水管", dn, 1.0, 1.2)
                                 : band("suctionVelocity", "吸水管", dn, 1.2, 1.6);
  }
  if (x.in.pump && x.in.pump->dischargeDn) {
    const int dn = *x.in.pump->dischargeDn;
    p.dischargeVelocity = dn < 250 ? band("dischargeVelocity", "出水管", dn, 1.5, 2.0)
                                   : band("dischargeVelocity", "出水管", dn, 2.0, 2.5);
  }
  p.dischargeGaugeMin = std::max(2 * x.sys.workingPressure / 100, 1.6);
  p.dischargeGauge = kGaugeRanges.back();
  for (double g : kGaugeRanges) {
    if (g >= p.dischargeGaugeMin - kOnLimit) {
      p.dischargeGauge = g;
      break;
    }
  }
  p.suctionGauge = 1.0;  // the first standard range of at least 0.70 MPa
  x.r.checks.push_back(
      row("gauges", "5.1.17", Verdict::Pass,
          "出水 ≥ " + f2(p.dischargeGaugeMin) + " MPa，吸水 ≥ 0.70 MPa",
          "0–" + f1(p.dischargeGauge) + " / 0–" + f1(p.suctionGauge) + " MPa",
          "出水管压力表量程不应低于工作压力的 2 倍（2×" + f3(x.sys.workingPressure / 100) +
              " MPa）且不低于 1.60 MPa，选 0–" + f1(p.dischargeGauge) +
              " MPa；吸水管压力表量程不应低于 0.70 MPa，选 0–" + f1(p.suctionGauge) + " MPa。"));
}

}  // namespace

double BookCurve::head(double flow) const { return a - b * std::pow(flow, c); }

std::span<const std::string_view> buildingUseNames() { return kUses; }
std::span<const std::string_view> buildingClassNames() { return kClasses; }
std::string_view buildingUseName(BuildingUse use) { return kUses[static_cast<int>(use)]; }
std::string_view buildingClassName(BuildingClass cls) { return kClasses[static_cast<int>(cls)]; }

std::optional<BuildingUse> buildingUseOf(std::string_view name) {
  const auto it = std::find(kUses.begin(), kUses.end(), name);
  if (it == kUses.end()) return std::nullopt;
  return static_cast<BuildingUse>(it - kUses.begin());
}

std::optional<BuildingClass> buildingClassOf(std::string_view name) {
  const auto it = std::find(kClasses.begin(), kClasses.end(), name);
  if (it == kClasses.end()) return std::nullopt;
  return static_cast<BuildingClass>(it - kClasses.begin());
}

BuildingClass derivedClass(BuildingUse use, double height) {
  if (industrial(use)) return BuildingClass::Industrial;
  if (use == BuildingUse::Residence) {
    return height > 54   ? BuildingClass::ResidenceHigh1
           : height > 27 ? BuildingClass::ResidenceHigh2
                         : BuildingClass::ResidenceLow;
  }
  return height > 50   ? BuildingClass::PublicHigh1
         : height > 24 ? BuildingClass::PublicHigh2
                       : BuildingClass::PublicLow;
}

bool isHighRise(BuildingClass cls) {
  return cls == BuildingClass::PublicHigh1 || cls == BuildingClass::PublicHigh2 ||
         cls == BuildingClass::ResidenceHigh1 || cls == BuildingClass::ResidenceHigh2;
}

BookCurve threePointCurve(double pumpFlow, double pumpHead, double r) {
  // a − b Q_p^c = H_s and a − b (1.5 Q_p)^c = 0.65 H_s: 1.5^c = (r − 0.65)/(r − 1).
  BookCurve curve;
  curve.a = r * pumpHead;
  curve.c = std::log((r - 0.65) / (r - 1)) / std::log(1.5);
  curve.b = (curve.a - pumpHead) / std::pow(pumpFlow, curve.c);
  return curve;
}

std::optional<CalcError> validateBook(const BookInputs& in) {
  if (const auto& b = in.building) {
    if (!nonNegative(b->height)) return bad("building.height", b->height, "应为不小于 0 的数");
    if (b->volume && !positive(*b->volume)) return bad("building.volume", *b->volume, "应为正数");
  }
  if (const auto& s = in.supply) {
    if (s->mains != 1 && s->mains != 2) return bad("supply.mains", s->mains, "应为 1 或 2");
    if (!nonNegative(s->outdoorFlow)) {
      return bad("supply.outdoor_flow", s->outdoorFlow, "应为不小于 0 的数");
    }
    if (s->municipalFlow && !nonNegative(*s->municipalFlow)) {
      return bad("supply.municipal_flow", *s->municipalFlow, "应为不小于 0 的数");
    }
    if (s->inletDn && *s->inletDn <= 0) return bad("supply.inlet_dn", *s->inletDn, "应为正数");
    if (!positive(s->inletVelocity)) {
      return bad("supply.inlet_velocity", s->inletVelocity, "应为正数");
    }
  }
  if (const auto& s = in.sprinkler) {
    if (!positive(s->flow)) return bad("sprinkler.flow", s->flow, "应为正数");
    if (!positive(s->duration)) return bad("sprinkler.duration", s->duration, "应为正数");
  }
  if (const auto& t = in.tank) {
    if (t->volume && !positive(*t->volume)) return bad("tank.volume", *t->volume, "应为正数");
    if (t->minStatic && !positive(*t->minStatic)) {
      return bad("tank.min_static", *t->minStatic, "应为正数");
    }
  }
  if (const auto& s = in.stabilizer) {
    const std::pair<const char*, const std::optional<double>*> values[] = {
        {"stabilizer.flow", &s->flow},
        {"stabilizer.start_pressure", &s->startPressure},
        {"stabilizer.tank_volume", &s->tankVolume},
        {"stabilizer.auto_start_flow", &s->autoStartFlow}};
    for (const auto& [key, value] : values) {
      if (*value && !positive(**value)) return bad(key, **value, "应为正数");
    }
  }
  if (const auto& p = in.pump) {
    if (p->suctionDn && *p->suctionDn <= 0)
      return bad("pump.suction_dn", *p->suctionDn, "应为正数");
    if (p->dischargeDn && *p->dischargeDn <= 0) {
      return bad("pump.discharge_dn", *p->dischargeDn, "应为正数");
    }
  }
  return std::nullopt;
}

Result<BookResult> calculateBook(const BookInputs& in, const BookSystem& sys) {
  if (auto error = validateBook(in)) return *error;
  if (in.stabilizer && in.stabilizer->startPressure && sys.stabilizerStop &&
      *in.stabilizer->startPressure >= *sys.stabilizerStop) {
    return bad("stabilizer.start_pressure", *in.stabilizer->startPressure,
               "启泵压力应小于停泵压力");
  }
  if (sys.shutoffRatio <= 1 && !sys.curve) {
    return bad("pump.shutoff_ratio", sys.shutoffRatio, "零流量扬程应大于设计扬程");
  }
  BookResult r;
  r.hydrantFlow = sys.designFlow;
  Context x{in, sys, r};
  if (in.building) {
    buildingPart(x);
    if (in.supply) poolPart(x);
    tankPart(x);
  }
  if (sys.stabilizerStop) stabilizerPart(x);
  if (in.building) adapterPart(x);
  pumpPart(x);
  return r;
}

BookSystem bookSystem(const SystemInputs& in, const SystemResult& r) {
  BookSystem s;
  s.floors = in.floors;
  s.designFlow = in.designFlow;
  s.pumpFlow = r.pump.flow;
  s.pumpHead = r.pump.selectedHead;
  s.shutoffRatio = in.shutoffRatio;
  s.topOutlet = r.floors.back().elevation;
  s.workingPressure = r.workingPressure;
  if (in.tank) s.tankLowest = in.tank->lowestLevel;
  if (in.stabilizer) {
    s.stabilizerStop = in.stabilizer->stopPressure;
    s.stabilizerElevation = in.stabilizer->elevation;
  }
  return s;
}

}  // namespace calc
