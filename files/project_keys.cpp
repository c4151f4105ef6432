#include "files/project_keys.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "calc/number_text.h"

namespace files {
namespace {

using calc::SystemInputs;

// Where a value lives. A number, an optional number, an integer, a text; the members of an
// optional section create the section when set.
#define NUMBER(field)                                   \
  [](const Project& p) -> KeyValue { return p.field; }, \
      [](Project& p, const KeyValue& v) { p.field = std::get<double>(v); }
#define OPTIONAL_NUMBER(field)                                                            \
  [](const Project& p) -> KeyValue { return p.field ? KeyValue(*p.field) : KeyValue(); }, \
      [](Project& p, const KeyValue& v) { p.field = std::get<double>(v); }
#define INTEGER(field)                                                       \
  [](const Project& p) -> KeyValue { return static_cast<double>(p.field); }, \
      [](Project& p, const KeyValue& v) { p.field = static_cast<int>(std::get<double>(v)); }
#define TEXT(field)                                     \
  [](const Project& p) -> KeyValue { return p.field; }, \
      [](Project& p, const KeyValue& v) { p.field = std::get<std::string>(v); }
#define IN_SECTION(section, member)                                            \
  [](const Project& p) -> KeyValue {                                           \
    return p.inputs.section ? KeyValue(p.inputs.section->member) : KeyValue(); \
  },                                                                           \
      [](Project& p, const KeyValue& v) {                                      \
        if (!p.inputs.section) p.inputs.section.emplace();                     \
        p.inputs.section->member = std::get<double>(v);                        \
      }

// A member of the ring main's pipe, which exists once any of its keys is given.
#define RING(member, as)                                                                      \
  [](const Project& p) -> KeyValue {                                                          \
    return p.inputs.ring ? KeyValue(static_cast<double>(p.inputs.ring->member)) : KeyValue(); \
  },                                                                                          \
      [](Project& p, const KeyValue& v) {                                                     \
        if (!p.inputs.ring) p.inputs.ring.emplace();                                          \
        p.inputs.ring->member = as(std::get<double>(v));                                      \
      }

// The calculation book's keys live in the optional sections of SystemInputs::book.
#define BOOK(section, member, type)                                                  \
  [](const Project& p) -> KeyValue {                                                 \
    const auto& s = p.inputs.book.section;                                           \
    return s ? KeyValue(static_cast<type>(s->member)) : KeyValue();                  \
  },                                                                                 \
      [](Project& p, const KeyValue& v) {                                            \
        if (!p.inputs.book.section) p.inputs.book.section.emplace();                 \
        p.inputs.book.section->member =                                              \
            static_cast<decltype(p.inputs.book.section->member)>(std::get<type>(v)); \
      }
#define BOOK_OPTIONAL(section, member, type)                                        \
  [](const Project& p) -> KeyValue {                                                \
    const auto& s = p.inputs.book.section;                                          \
    return s && s->member ? KeyValue(static_cast<double>(*s->member)) : KeyValue(); \
  },                                                                                \
      [](Project& p, const KeyValue& v) {                                           \
        if (!p.inputs.book.section) p.inputs.book.section.emplace();                \
        p.inputs.book.section->member = static_cast<type>(std::get<double>(v));     \
      }

constexpr double kElevation = 1000;  // m either side of ±0.00: beyond any building
constexpr KeyRange kLevels{-kElevation, kElevation};
constexpr KeyRange kC{60, 160};
constexpr KeyRange kDn{15, 1000};
constexpr KeyRange kInner{0, 1100, true};  // refined against the DN's outside diameter
constexpr KeyRange kFlow{0.1, 500};
constexpr KeyRange kName{0, 200};
constexpr KeyRange kField{0, 100};

using T = KeyType;
using N = Need;

constexpr std::array<ProjectSection, 12> kSections = {{
    {"project", "工程信息", "工程信息", false},
    {"hydrant", "消火栓", "最不利消火栓", false},
    {"building", "建筑", "建筑与流量", false},
    {"system", "系统流量", "建筑与流量", false},
    {"sprinkler", "自动喷水灭火系统", "自动喷水灭火系统", true},
    {"supply", "消防水池", "水源", false},
    {"pump", "消防水泵", "消防水泵", false},
    {"tank", "高位消防水箱", "高位水箱", true},
    {"stabilizer", "稳压泵", "稳压泵", true},
    {"design", "设计参数", "设计参数", false},
    {"riser", "立管", "立管", false},
    {"main", "干管", "干管", false},
}};

// clang-format off
const std::array kSystemKeys = {
  ProjectKey{"hydrant", "nozzle", "水枪喷嘴口径", "mm", T::Number, N::Required, "19", {6, 50}, "",
             "13|16|19", "最不利消火栓水枪的当量喷嘴直径", "7.4.2", NUMBER(inputs.hydrant.nozzle)},
  ProjectKey{"hydrant", "hose_material", "水龙带材料", "", T::Choice, N::Required, "衬胶", kField,
             "麻质|衬胶", "", "水带阻力系数表中的材料", "7.4.2", TEXT(inputs.hydrant.material)},
  ProjectKey{"hydrant", "hose_diameter", "水龙带直径", "mm", T::Integer, N::Required, "65",
             {50, 80}, "", "50|65|80", "水带公称直径，与材料一起查水带阻力系数", "7.4.2",
             [](const Project& p) -> KeyValue {
               return calc::parseNumber(p.inputs.hydrant.hoseDiameter).value_or(0);
             },
             [](Project& p, const KeyValue& v) {
               p.inputs.hydrant.hoseDiameter =
                   std::to_string(static_cast<long long>(std::get<double>(v)));
             }},
  ProjectKey{"hydrant", "hose_length", "水龙带长度", "m", T::Number, N::Required, "25",
             {0, 1000, true}, "", "20|25", "一条水带的长度", "7.4.2",
             NUMBER(inputs.hydrant.hoseLength)},
  ProjectKey{"hydrant", "water_column", "充实水柱长度", "m", T::Number, N::Required, "13",
             {0, 100, true}, "", "7|10|13", "按此计算最不利消火栓；本场所的规定值见第 7.4.12 条",
             "7.4.12", NUMBER(inputs.hydrant.waterColumn)},
  ProjectKey{"hydrant", "occupancy", "场所类别", "", T::Choice, N::Required, "high", kField,
             "high|other", "", "high：高层、厂房、库房等（0.35 MPa，13 m）；other：其他场所",
             "7.4.12",
             [](const Project& p) -> KeyValue {
               return std::string(p.inputs.hydrant.occupancy == calc::Occupancy::High ? "high"
                                                                                      : "other");
             },
             [](Project& p, const KeyValue& v) {
               p.inputs.hydrant.occupancy = std::get<std::string>(v) == "high"
                                                ? calc::Occupancy::High
                                                : calc::Occupancy::Other;
             }},
  ProjectKey{"hydrant", "min_flow", "每支水枪最小流量", "L/s", T::Number, N::Optional, "5",
             {0.1, 50}, "", "5|2.5", "由表 3.5.2 的设计流量和水枪数折算，缺省 5", "3.5.2",
             NUMBER(inputs.hydrant.minFlow)},

  ProjectKey{"building", "floors", "消火栓层数", "", T::Integer, N::Required, "18", {1, 300}, "",
             "", "竖管上每层一个消火栓", "", INTEGER(inputs.floors)},
  ProjectKey{"building", "floor_heights", "层高", "m", T::NumberList, N::Optional, "5.1, 3.9×16",
             {1.5, 20}, "", "", "自下而上，层数 − 1 个；或 floor_height 给出统一层高", "",
             [](const Project& p) -> KeyValue {
               return p.inputs.floorHeights.empty() ? KeyValue() : KeyValue(p.inputs.floorHeights);
             },
             [](Project& p, const KeyValue& v) {
               p.inputs.floorHeights = std::get<std::vector<double>>(v);
             }},
  ProjectKey{"building", "floor_height", "统一层高", "m", T::Number, N::Alias, "", {1.5, 20},
             "", "", "每层相同时代替 floor_heights", "",
             [](const Project&) -> KeyValue { return {}; },  // written as floor_heights
             [](Project& p, const KeyValue& v) {
               p.inputs.floorHeights.assign(static_cast<std::size_t>(std::max(p.inputs.floors - 1, 0)),
                                            std::get<double>(v));
             }},
  ProjectKey{"building", "first_outlet_elevation", "首层栓口标高", "m", T::Number, N::Required,
             "1.1", kLevels, "", "", "最低层消火栓栓口的标高", "",
             NUMBER(inputs.firstOutletElevation)},
  ProjectKey{"building", "use", "使用性质", "", T::Choice, N::Optional, "", kField,
             "办公楼|其他公共建筑|综合楼|商业楼|展览楼|财贸金融楼|图书馆|书库|档案楼|科研楼|"
             "高级宾馆|住宅|地下建筑|甲乙丙类厂房|甲乙丙类仓库|丁戊类厂房|丁戊类仓库", "",
             "表 3.6.2 的建筑类别；给出时计算火灾延续时间、消防水池、高位消防水箱与稳压设施",
             "3.6.2",
             [](const Project& p) -> KeyValue {
               const auto& b = p.inputs.book.building;
               return b ? KeyValue(std::string(calc::buildingUseName(b->use))) : KeyValue();
             },
             [](Project& p, const KeyValue& v) {
               if (!p.inputs.book.building) p.inputs.book.building.emplace();
               p.inputs.book.building->use = *calc::buildingUseOf(std::get<std::string>(v));
             }, "建筑分类"},
  ProjectKey{"building", "height", "建筑高度", "m", T::Number, N::Optional, "", {0, 1000}, "",
             "", "按 GB 50016 计算的建筑高度；给出使用性质时必填", "3.6.2",
             BOOK(building, height, double), "建筑分类"},
  ProjectKey{"building", "class", "建筑分类", "", T::Choice, N::Optional, "", kField,
             "一类高层公共建筑|二类高层公共建筑|多层公共建筑|一类高层住宅|二类高层住宅|多层住宅|"
             "工业建筑", "",
             "不填按使用性质和建筑高度划分；按面积或重要性划为一类的公共建筑在此给出", "5.2.1",
             [](const Project& p) -> KeyValue {
               const auto& b = p.inputs.book.building;
               return b && b->buildingClass
                          ? KeyValue(std::string(calc::buildingClassName(*b->buildingClass)))
                          : KeyValue();
             },
             [](Project& p, const KeyValue& v) {
               if (!p.inputs.book.building) p.inputs.book.building.emplace();
               p.inputs.book.building->buildingClass =
                   calc::buildingClassOf(std::get<std::string>(v));
             }, "建筑分类"},
  ProjectKey{"building", "volume", "建筑体积", "m³", T::Number, N::Optional, "", {0, 1e8, true},
             "", "", "工业建筑的体积，小于 20000 m³ 时水箱静压要求为 0.07 MPa", "5.2.2",
             BOOK_OPTIONAL(building, volume, double), "建筑分类"},

  ProjectKey{"system", "design_flow", "设计流量", "L/s", T::Number, N::Required, "40", kFlow, "",
             "", "室内消火栓设计流量（表 3.5.2）", "3.5.2", NUMBER(inputs.designFlow)},
  ProjectKey{"system", "riser_min_flow", "竖管最小流量", "L/s", T::Number, N::Required, "15",
             kFlow, "", "", "每根竖管最小流量（表 3.5.2）", "3.5.2", NUMBER(inputs.riserMinFlow)},
  ProjectKey{"system", "component_rating", "组件额定压力", "MPa", T::Number, N::Optional, "1.6",
             {0.6, 10}, "", "1.6|2.0|2.5", "消火栓、阀门等组件的额定工作压力，缺省 1.6", "8.2.4",
             NUMBER(inputs.componentRating)},

  ProjectKey{"sprinkler", "flow", "喷淋设计流量", "L/s", T::Number, N::WithSection, "30", kFlow,
             "", "", "自动喷水灭火系统设计流量，消防水池一并储存", "3.6.1",
             BOOK(sprinkler, flow, double), "自动喷水灭火系统"},
  ProjectKey{"sprinkler", "duration", "喷淋延续时间", "h", T::Number, N::Optional, "1",
             {0, 10, true}, "", "1", "自动喷水灭火系统的火灾延续时间，缺省 1.0", "3.6.2",
             BOOK(sprinkler, duration, double), "自动喷水灭火系统"},
  ProjectKey{"sprinkler", "full_cover", "全保护", "", T::Flag, N::Optional, "", kField, "", "",
             "建筑全部设自动喷水灭火系统时为 true，消火栓设计流量按第 3.5.3 条减少", "3.5.3",
             BOOK(sprinkler, fullCover, bool), "自动喷水灭火系统"},

  ProjectKey{"supply", "pool_level", "水池最低水位", "m", T::Number, N::Required, "-4.5", kLevels,
             "", "", "消防水池最低有效水位，水泵扬程由此算起", "10.1.7", NUMBER(inputs.poolLevel)},
  ProjectKey{"supply", "pool_max_level", "水池最高水位", "m", T::Number, N::Optional, "-1",
             kLevels, "", "", "缺省为最低有效水位", "8.2.3", NUMBER(inputs.poolMaxLevel)},
  ProjectKey{"supply", "mains", "供水路数", "", T::Integer, N::Optional, "", {1, 2}, "", "1|2",
             "市政给水引入管的路数；给出时计算消防水池，必填室外消防流量", "4.3.1",
             BOOK(supply, mains, double), "消防水池与进水"},
  ProjectKey{"supply", "outdoor_flow", "室外消防流量", "L/s", T::Number, N::Optional, "",
             {0, 500}, "", "", "室外消火栓设计流量", "4.3.1", BOOK(supply, outdoorFlow, double), "消防水池与进水"},
  ProjectKey{"supply", "outdoor_guaranteed", "市政保证室外", "", T::Flag, N::Optional, "", kField,
             "", "", "市政给水管网能保证室外消防给水设计流量时为 true，水池不计室外用水", "4.3.2",
             BOOK(supply, outdoorGuaranteed, bool), "消防水池与进水"},
  ProjectKey{"supply", "municipal_flow", "市政供水能力", "L/s", T::Number, N::Optional, "",
             {0, 1000}, "", "", "生产、生活用水最大时市政给水可供的流量", "4.3.1",
             BOOK_OPTIONAL(supply, municipalFlow, double), "消防水池与进水"},
  ProjectKey{"supply", "inlet_dn", "进水管DN", "", T::Integer, N::Optional, "", kDn, "", "",
             "消防水池进水管公称直径；两路供水时按此计火灾延续时间内的补水", "4.3.4",
             BOOK_OPTIONAL(supply, inletDn, int), "消防水池与进水"},
  ProjectKey{"supply", "inlet_velocity", "进水流速", "m/s", T::Number, N::Optional, "",
             {0, 5, true}, "", "", "消防水池进水管流速，缺省 1.5", "4.3.4",
             BOOK(supply, inletVelocity, double), "消防水池与进水"},

  ProjectKey{"pump", "elevation", "水泵中心标高", "m", T::Number, N::Required, "-5", kLevels, "",
             "", "消防水泵中心线的标高，应低于水池最低有效水位（自灌式吸水）", "", NUMBER(inputs.pumpElevation)},
  ProjectKey{"pump", "rated_head", "选用扬程", "m", T::Number, N::Optional, "", {0, 1000, true},
             "", "", "所选水泵的额定扬程；不填为计算扬程", "10.1.7", OPTIONAL_NUMBER(inputs.ratedHead)},
  ProjectKey{"pump", "shutoff_ratio", "零流量扬程比", "", T::Number, N::Optional, "1.4",
             {1, 2, true}, "", "", "零流量扬程与额定扬程之比（1.2–1.4）", "5.1.6",
             [](const Project& p) -> KeyValue {  // the curve gives it itself
               return p.inputs.pumpCurve.empty() ? KeyValue(p.inputs.shutoffRatio) : KeyValue();
             },
             [](Project& p, const KeyValue& v) { p.inputs.shutoffRatio = std::get<double>(v); }},
  ProjectKey{"pump", "curve", "水泵特性曲线", "", T::PointList, N::Optional, "",
             {0, 10000}, "", "",
             "实际水泵的三个点 [[0, h₁], [q₂, h₂], [q₃, h₃]]（流量 L/s 递增、扬程 m 递减）；给出时不再给选用扬程和零流量扬程比",
             "5.1.6",
             [](const Project& p) -> KeyValue {
               if (p.inputs.pumpCurve.empty()) return {};
               std::vector<double> flat;
               for (const calc::PumpCurvePoint& c : p.inputs.pumpCurve) {
                 flat.push_back(c.flow);
                 flat.push_back(c.head);
               }
               return flat;
             },
             [](Project& p, const KeyValue& v) {
               const auto& flat = std::get<std::vector<double>>(v);
               p.inputs.pumpCurve.clear();
               for (std::size_t i = 0; i + 1 < flat.size(); i += 2) {
                 p.inputs.pumpCurve.push_back({flat[i], flat[i + 1]});
               }
             }},
  ProjectKey{"pump", "suction_dn", "吸水管DN", "", T::Integer, N::Optional, "", kDn, "", "",
             "消防水泵吸水管公称直径，校核流速", "5.1.13", BOOK_OPTIONAL(pump, suctionDn, int), "水泵吸水管与出水管"},
  ProjectKey{"pump", "discharge_dn", "出水管DN", "", T::Integer, N::Optional, "", kDn, "", "",
             "消防水泵出水管公称直径，校核流速", "5.1.13", BOOK_OPTIONAL(pump, dischargeDn, int), "水泵吸水管与出水管"},

  ProjectKey{"tank", "lowest_level", "最低有效水位", "m", T::Number, N::WithSection, "75", kLevels,
             "", "", "高位消防水箱最低有效水位", "5.2.2", IN_SECTION(tank, lowestLevel)},
  ProjectKey{"tank", "highest_level", "最高水位", "m", T::Number, N::WithSection, "77", kLevels,
             "", "", "准工作状态静压按此计算", "6.2.1", IN_SECTION(tank, highestLevel)},
  ProjectKey{"tank", "min_static", "最不利点静压", "MPa", T::Number, N::Optional, "0.10",
             {0, 1, true}, "", "0.07|0.10|0.15",
             "最不利点处应有的静水压力；不填按建筑分类（未给出使用性质时 0.10）", "5.2.2",
             // Kept in the book too, where it overrides the class's requirement.
             [](const Project& p) -> KeyValue {
               const auto& t = p.inputs.book.tank;
               return t && t->minStatic ? KeyValue(*t->minStatic) : KeyValue();
             },
             [](Project& p, const KeyValue& v) {
               if (!p.inputs.tank) p.inputs.tank.emplace();
               if (!p.inputs.book.tank) p.inputs.book.tank.emplace();
               p.inputs.tank->minStatic = std::get<double>(v);
               p.inputs.book.tank->minStatic = std::get<double>(v);
             }},
  ProjectKey{"tank", "volume", "有效容积", "m³", T::Number, N::Optional, "", {0, 10000, true}, "",
             "", "高位消防水箱的有效容积", "5.2.1", BOOK_OPTIONAL(tank, volume, double), "水箱与稳压设施"},

  ProjectKey{"stabilizer", "stop_pressure", "停泵压力", "MPa", T::Number, N::WithSection, "0.6",
             {0, 3, true}, "", "", "稳压泵出口处的停泵压力", "5.3.3",
             IN_SECTION(stabilizer, stopPressure)},
  ProjectKey{"stabilizer", "elevation", "出口标高", "m", T::Number, N::WithSection, "-4", kLevels,
             "", "", "稳压泵出口的标高", "", IN_SECTION(stabilizer, elevation)},
  ProjectKey{"stabilizer", "flow", "稳压泵流量", "L/s", T::Number, N::Optional, "", {0, 50, true},
             "", "", "不填按设计流量的 1%–3% 且不小于 1 L/s 建议", "5.3.2",
             BOOK_OPTIONAL(stabilizer, flow, double), "水箱与稳压设施"},
  ProjectKey{"stabilizer", "start_pressure", "启泵压力", "MPa", T::Number, N::Optional, "",
             {0, 3, true}, "", "", "稳压泵出口处的启泵压力 P1；不填时计算书给出建议值", "5.3.3",
             BOOK_OPTIONAL(stabilizer, startPressure, double), "水箱与稳压设施"},
  ProjectKey{"stabilizer", "tank_volume", "气压罐容积", "L", T::Number, N::Optional, "",
             {0, 100000, true}, "", "150", "气压罐的有效储水容积", "5.3.4",
             BOOK_OPTIONAL(stabilizer, tankVolume, double), "水箱与稳压设施"},
  ProjectKey{"stabilizer", "auto_start_flow", "自动启泵流量", "L/s", T::Number, N::Optional, "",
             {0, 50, true}, "", "", "启动消防水泵的流量开关设定值；稳压泵流量应小于此值", "",
             BOOK_OPTIONAL(stabilizer, autoStartFlow, double), "水箱与稳压设施"},

  ProjectKey{"design", "local_loss", "局部损失比例", "", T::Number, N::Optional, "0.2", {0, 1}, "",
             "", "局部损失占沿程损失的比例（0.10–0.20）", "10.1.6", NUMBER(inputs.localLoss)},
  ProjectKey{"design", "k2", "安全系数k2", "", T::Number, N::Optional, "1.2", {1, 2}, "", "",
             "水泵扬程的安全系数（1.20–1.40）", "10.1.7", NUMBER(inputs.k2)},
  ProjectKey{"design", "branch_inner_diameter", "支管内径", "mm", T::Number, N::Optional, "68",
             {20, 200}, "", "", "装减压孔板的水平支管内径", "10.3.1",
             NUMBER(inputs.branchInnerDiameter)},
  ProjectKey{"design", "target_pressure", "减压目标", "MPa", T::Number, N::Optional, "0.35",
             {0.02, 0.5, true}, "", "", "减压后的栓口动压；不填为设计栓口动压", "7.4.12",
             OPTIONAL_NUMBER(inputs.targetPressureMPa)},

  ProjectKey{"riser", "dn", "管径DN", "", T::Integer, N::Required, "100", kDn, "", "",
             "最不利立管的公称直径", "8.1.5", INTEGER(inputs.riser.dn)},
  ProjectKey{"riser", "inner_diameter", "内径", "mm", T::Number, N::Optional, "106", kInner, "",
             "", "不填按焊接钢管表取", "10.1.2", NUMBER(inputs.riser.innerDiameter)},
  ProjectKey{"riser", "c", "海澄威廉系数C", "", T::Number, N::Required, "120", kC, "", "",
             "管材的海澄-威廉系数", "10.1.2", NUMBER(inputs.riser.c)},
  ProjectKey{"riser", "base_elevation", "立管底标高", "m", T::Number, N::Required, "-1", kLevels,
             "", "", "立管与干管相接处的标高", "", NUMBER(inputs.riserBaseElevation)},
  ProjectKey{"riser", "count", "立管数量", "", T::Integer, N::Optional, "1", {1, 100}, "", "",
             "接在环状干管上的立管根数，每根每层一个消火栓；1 为一根立管接枝状干管", "8.1.5",
             INTEGER(inputs.riserCount)},
  ProjectKey{"riser", "spacing", "立管间距", "m", T::Number, N::Optional, "", {0, 1000, true},
             "", "", "相邻立管底部（及顶部环管）之间的管长；两根及以上立管时必填", "",
             [](const Project& p) -> KeyValue {
               return p.inputs.riserSpacing > 0 ? KeyValue(p.inputs.riserSpacing) : KeyValue();
             },
             [](Project& p, const KeyValue& v) { p.inputs.riserSpacing = std::get<double>(v); }},
  ProjectKey{"riser", "top_ring", "顶部环管", "", T::Flag, N::Optional, "", kField, "", "",
             "true：各立管顶部以立管同径管道连成环（至少两根立管）", "",
             [](const Project& p) -> KeyValue {
               return p.inputs.topRing ? KeyValue(true) : KeyValue();
             },
             [](Project& p, const KeyValue& v) { p.inputs.topRing = std::get<bool>(v); }},

  ProjectKey{"main", "length", "长度", "m", T::Number, N::Required, "60", {0, 10000}, "", "",
             "水泵至立管底的干管长度", "10.1.2", NUMBER(inputs.mainLength)},
  ProjectKey{"main", "dn", "管径DN", "", T::Integer, N::Required, "150", kDn, "", "",
             "干管的公称直径", "", INTEGER(inputs.main.dn)},
  ProjectKey{"main", "inner_diameter", "内径", "mm", T::Number, N::Optional, "159", kInner, "",
             "", "不填按焊接钢管表取", "10.1.2", NUMBER(inputs.main.innerDiameter)},
  ProjectKey{"main", "c", "海澄威廉系数C", "", T::Number, N::Required, "120", kC, "", "",
             "管材的海澄-威廉系数", "10.1.2", NUMBER(inputs.main.c)},
  ProjectKey{"main", "ring_dn", "环管管径DN", "", T::Integer, N::Optional, "", kDn, "", "",
             "连接各立管底部的环状干管的公称直径；不填同干管", "8.1.5", RING(dn, static_cast<int>)},
  ProjectKey{"main", "ring_inner_diameter", "环管内径", "mm", T::Number, N::Optional, "", kInner,
             "", "", "不填按焊接钢管表取（未给环管管径时同干管）", "10.1.2",
             RING(innerDiameter, double)},
  ProjectKey{"main", "ring_c", "环管海澄威廉系数C", "", T::Number, N::Optional, "", kC, "", "",
             "不填同干管", "10.1.2", RING(c, double)},
};
// clang-format on

#undef NUMBER
#undef OPTIONAL_NUMBER
#undef INTEGER
#undef TEXT
#undef IN_SECTION
#undef RING
#undef BOOK
#undef BOOK_OPTIONAL

std::string plain(double v) { return calc::numberToText(v); }

// [project]: the title block's fields, as its table names them.
template <std::size_t I>
KeyValue titleValue(const Project& p) {
  return p.title.*calc::kTitleFields[I].member;
}
template <std::size_t I>
void setTitleValue(Project& p, const KeyValue& v) {
  p.title.*calc::kTitleFields[I].member = std::get<std::string>(v);
}

// The worked example's title, as the form offers it.
std::string_view titleExample(const calc::TitleField& f) {
  if (f.member == &calc::TitleBlock::project) return "某办公楼";
  if (f.member == &calc::TitleBlock::projectNumber) return "2026-031";
  if (f.member == &calc::TitleBlock::designer) return "张工";
  return "";
}

template <std::size_t... I>
std::vector<ProjectKey> titleKeys(std::index_sequence<I...>) {
  return {ProjectKey{"project", calc::kTitleFields[I].tomlKey, calc::kTitleFields[I].label, "",
                     T::Text, N::Optional, titleExample(calc::kTitleFields[I]),
                     calc::kTitleFields[I].member == &calc::TitleBlock::project ? kName : kField,
                     "", "",
                     calc::kTitleFields[I].signs ? "印在计算书标题栏的签署栏" : "印在计算书标题栏",
                     "", titleValue<I>, setTitleValue<I>}...};
}

// Made on first use: other files' tables are made from it while the program starts.
const std::vector<ProjectKey>& allKeys() {
  static const std::vector<ProjectKey> keys = [] {
    std::vector<ProjectKey> all =
        titleKeys(std::make_index_sequence<std::size(calc::kTitleFields)>());
    all.insert(all.end(), kSystemKeys.begin(), kSystemKeys.end());
    return all;
  }();
  return keys;
}

}  // namespace

bool KeyRange::contains(double v) const {
  if (!std::isfinite(v)) return false;
  if (minOpen ? !(v > min) : !(v >= min)) return false;
  return maxOpen ? v < max : v <= max;
}

std::string ProjectKey::path() const { return std::string(section) + "." + std::string(name); }

std::span<const ProjectSection> projectSections() { return kSections; }
std::span<const ProjectKey> projectKeys() { return allKeys(); }

const ProjectKey* findProjectKey(std::string_view path) {
  const std::vector<ProjectKey>& keys = allKeys();
  const auto it =
      std::find_if(keys.begin(), keys.end(), [&](const ProjectKey& k) { return k.path() == path; });
  return it == keys.end() ? nullptr : &*it;
}

const ProjectSection* findProjectSection(std::string_view name) {
  const auto it = std::find_if(kSections.begin(), kSections.end(),
                               [&](const ProjectSection& s) { return s.name == name; });
  return it == kSections.end() ? nullptr : &*it;
}

std::string rangeWords(const ProjectKey& key) {
  const KeyRange& r = key.range;
  std::string unit;
  if (!key.unit.empty()) unit.append(" ").append(key.unit);
  std::string out;
  if (key.type == KeyType::Text) {
    out.append("不超过 ").append(plain(r.max)).append(" 个字符");
  } else if (r.minOpen) {
    out.append("应大于 ").append(plain(r.min)).append(r.min == 0 ? "" : unit);
    out.append(r.maxOpen ? "且小于 " : "且不大于 ").append(plain(r.max)).append(unit);
  } else {
    out.append("应在 ").append(plain(r.min)).append(" 至 ").append(plain(r.max));
    out.append(unit).append(" 之间");
  }
  return out;
}

bool sectionPresent(const Project& project, std::string_view section) {
  if (section == "tank") return project.inputs.tank.has_value();
  if (section == "stabilizer") return project.inputs.stabilizer.has_value();
  if (section == "sprinkler") return project.inputs.book.sprinkler.has_value();
  return true;
}

}  // namespace files
