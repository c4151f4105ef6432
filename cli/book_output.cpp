#include "cli/book_output.h"

#include <vector>

#include "calc/number_text.h"
#include "cli/csv.h"
#include "sheet/book_sheet.h"

namespace cli {
namespace {

struct Figure {
  std::string key;
  std::string caption;
  std::string value;
  std::string unit;
};

std::string f2(double v) { return calc::formatFixed(v, 2); }
std::string yes(bool v) { return v ? "是" : "否"; }

std::vector<Figure> figures(const calc::BookResult& b) {
  std::vector<Figure> out;
  if (b.use) {
    out.push_back({"use", "建筑使用性质", std::string(calc::buildingUseName(*b.use)), ""});
    out.push_back({"class", "建筑分类", std::string(calc::buildingClassName(*b.buildingClass)),
                   b.classDerived ? "按建筑高度" : "设计给定"});
    out.push_back({"duration", "火灾延续时间", calc::formatFixed(*b.duration, 1), "h"});
  }
  if (b.reduced)
    out.push_back({"hydrantFlow", "消火栓设计流量（第 3.5.3 条）", f2(b.hydrantFlow), "L/s"});
  if (const auto& p = b.pool) {
    out.push_back({"pool.required", "需设消防水池", yes(p->required), ""});
    out.push_back({"pool.volumeBeforeRefill", "水池计算容积", f2(p->volumeBeforeRefill), "m³"});
    out.push_back({"pool.refill", "火灾延续时间内补水量", f2(p->refill), "m³"});
    out.push_back({"pool.volume", "水池有效容积", f2(p->volume), "m³"});
    out.push_back({"pool.compartments", "水池分格", std::to_string(p->compartments), "格"});
  }
  if (const auto& t = b.tank) {
    out.push_back({"tank.requiredVolume", "水箱最小有效容积",
                   t->requiredVolume ? f2(*t->requiredVolume) : "", "m³"});
    out.push_back({"tank.requiredStatic", "最不利点最低静压",
                   calc::formatFixed(t->requiredStatic, 3), "MPa"});
    out.push_back({"tank.static", "水箱最不利点静压",
                   t->staticPressure ? calc::formatFixed(*t->staticPressure, 3) : "", "MPa"});
  }
  if (const auto& s = b.stabilizer) {
    out.push_back({"stabilizer.flowMin", "稳压泵流量下限", f2(s->flowMin), "L/s"});
    out.push_back({"stabilizer.flowMax", "稳压泵流量上限", f2(s->flowMax), "L/s"});
    out.push_back({"stabilizer.standbyStatic", "最不利点准工作状态静压",
                   calc::formatFixed(s->standbyStatic, 3), "MPa"});
    out.push_back({"stabilizer.startsPerHour", "稳压泵启泵次数",
                   s->startsPerHour ? calc::formatFixed(*s->startsPerHour, 1) : "", "次/h"});
    out.push_back({"stabilizer.start", s->proposal ? "启泵压力 P1（建议）" : "启泵压力 P1",
                   f2(s->start), "MPa"});
    out.push_back({"stabilizer.stop", s->stopRaised ? "停泵压力 P2（建议）" : "停泵压力 P2",
                   f2(s->stop), "MPa"});
  }
  if (const auto& a = b.adapters) {
    out.push_back({"adapters.hydrant", "消火栓系统水泵接合器",
                   std::to_string(a->hydrantMin) + "–" + std::to_string(a->hydrantMax), "个"});
    if (a->sprinkler) {
      out.push_back({"adapters.sprinkler", "自动喷水系统水泵接合器",
                     std::to_string(*a->sprinklerMin) + "–" + std::to_string(*a->sprinklerMax),
                     "个"});
    }
  }
  out.push_back({"pumpSet.point150Head", "水泵 150% 流量点扬程", f2(b.pumpSet.point150Head), "m"});
  if (b.pumpSet.standbyRequired) {
    out.push_back({"pumpSet.standbyRequired", "需设备用泵", yes(*b.pumpSet.standbyRequired), ""});
  }
  return out;
}

}  // namespace

std::string bookText(const calc::SystemResult& r) {
  if (!r.book) return "";
  std::vector<std::vector<std::string>> rows;
  for (const Figure& f : figures(*r.book)) {
    if (f.value.empty()) continue;
    rows.push_back({f.caption, f.unit.empty() ? f.value : f.value + " " + f.unit});
  }
  std::string out = "\n消防水池、高位消防水箱与稳压设施\n" + alignedRows(rows);
  rows.clear();
  for (const sheet::EquipmentRow& e : sheet::bookEquipment(*r.book)) {
    rows.push_back({e.name, e.figures, e.count});
  }
  return out + "\n主要设备表\n" + alignedRows(rows);
}

std::string bookCsv(const calc::SystemResult& r) {
  if (!r.book) return "";
  std::string out = "\r\n" + csvRow({"key", "项目", "数值", "单位"});
  for (const Figure& f : figures(*r.book)) out += csvRow({f.key, f.caption, f.value, f.unit});
  return out;
}

Json bookJson(const calc::BookResult& b) {
  Json book = Json::object();
  const auto orNull = [](const auto& v) { return v ? Json(*v) : Json(nullptr); };
  if (b.use) {
    book["use"] = calc::buildingUseName(*b.use);
    book["class"] = calc::buildingClassName(*b.buildingClass);
    book["duration"] = *b.duration;
  }
  if (const auto& p = b.pool) {
    book["pool"] = {{"required", p->required},
                    {"volumeBeforeRefill", p->volumeBeforeRefill},
                    {"refill", p->refill},
                    {"volume", p->volume},
                    {"compartments", p->compartments}};
  }
  if (const auto& t = b.tank) {
    book["tank"] = {{"requiredVolume", orNull(t->requiredVolume)},
                    {"requiredStatic", t->requiredStatic},
                    {"static", orNull(t->staticPressure)}};
  }
  if (const auto& s = b.stabilizer) {
    book["stabilizer"] = {{"flowMin", s->flowMin},
                          {"flowMax", s->flowMax},
                          {"standbyStatic", s->standbyStatic},
                          {"startsPerHour", orNull(s->startsPerHour)}};
  }
  if (const auto& a = b.adapters) {
    book["adapters"] = {{"hydrant", {{"min", a->hydrantMin}, {"max", a->hydrantMax}}}};
    if (a->sprinkler) {
      book["adapters"]["sprinkler"] = {{"min", *a->sprinklerMin}, {"max", *a->sprinklerMax}};
    }
  }
  book["pumpSet"] = {{"point150Head", b.pumpSet.point150Head},
                     {"standbyRequired", orNull(b.pumpSet.standbyRequired)}};
  return book;
}

}  // namespace cli
