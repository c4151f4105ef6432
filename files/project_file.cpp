#include "files/project_file.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>

#include <toml++/toml.h>

#include "calc/hose_table.h"
#include "calc/number_text.h"
#include "calc/pipe_table.h"
#include "calc/utf8.h"
#include "files/safe_file.h"

namespace files {
namespace {

using calc::CalcError;

constexpr std::int64_t kMaxFloors = 1000;  // beyond any building; keeps a typo from allocating

// A bad file: thrown inside the reader, caught once at its top.
struct Bad {
  CalcError error;
};

std::string numberText(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

std::string typeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string:
      return "字符串";
    case toml::node_type::integer:
      return "整数";
    case toml::node_type::floating_point:
      return "数值";
    case toml::node_type::boolean:
      return "布尔值";
    case toml::node_type::array:
      return "数组";
    case toml::node_type::table:
      return "表";
    default:
      return "日期时间";
  }
}

std::string valueText(const toml::node& node) {
  if (auto i = node.as_integer()) return std::to_string(i->get());
  if (auto f = node.as_floating_point()) return numberText(f->get());
  if (auto s = node.as_string()) return s->get();
  if (auto b = node.as_boolean()) return b->get() ? "true" : "false";
  return typeName(node);
}

// One section of the file, and the keys read from it so far.
class Section {
 public:
  Section(std::string file, std::string name, const toml::table* table)
      : file_(std::move(file)), name_(std::move(name)), table_(table) {}

  bool present() const { return table_ != nullptr; }

  [[noreturn]] void fail(const std::string& key, const toml::node* node,
                         const std::string& what) const {
    std::string where = file_;
    if (node && node->source().begin.line > 0)
      where += ":" + std::to_string(node->source().begin.line);
    const std::string path = name_ + "." + key;
    throw Bad{{path, node ? valueText(*node) : std::string(), where + ": " + path + ": " + what}};
  }

  // Every key of the section must be one of `known`: a typo is not silently ignored.
  void onlyKeys(std::initializer_list<std::string_view> known) const {
    if (!table_) return;
    for (auto&& [key, node] : *table_) {
      bool found = false;
      for (std::string_view k : known) found = found || key.str() == k;
      if (!found) fail(std::string(key.str()), &node, "未知的键（拼写错误？）");
    }
  }

  const toml::node* node(const std::string& key, bool required) const {
    const toml::node* n = table_ ? table_->get(key) : nullptr;
    if (!n && required) fail(key, nullptr, "缺少必需的键");
    return n;
  }

  std::optional<double> number(const std::string& key, bool required) const {
    const toml::node* n = node(key, required);
    if (!n) return std::nullopt;
    if (auto i = n->as_integer()) return static_cast<double>(i->get());
    if (auto f = n->as_floating_point()) {
      if (!std::isfinite(f->get())) fail(key, n, "应为有限数");
      return f->get();
    }
    fail(key, n, "应为数值，现为" + typeName(*n));
  }
  double number(const std::string& key, double fallback) const {
    return number(key, false).value_or(fallback);
  }
  double required(const std::string& key) const { return *number(key, true); }

  double positive(const std::string& key, std::optional<double> fallback = std::nullopt) const {
    const std::optional<double> v = number(key, !fallback);
    if (!v) return *fallback;
    if (!(*v > 0)) fail(key, node(key, true), "应为正数，现为 " + numberText(*v));
    return *v;
  }

  std::optional<std::int64_t> integer(const std::string& key, bool required) const {
    const toml::node* n = node(key, required);
    if (!n) return std::nullopt;
    if (auto i = n->as_integer()) return i->get();
    fail(key, n, "应为整数，现为" + typeName(*n) + " " + valueText(*n));
  }

  std::optional<std::string> string(const std::string& key, bool required) const {
    const toml::node* n = node(key, required);
    if (!n) return std::nullopt;
    if (auto s = n->as_string()) return s->get();
    fail(key, n, "应为字符串，现为" + typeName(*n));
  }

  // A section given must give all its keys.
  void complete(std::initializer_list<std::string_view> keys) const {
    for (std::string_view k : keys) {
      if (!table_->get(k))
        fail(std::string(k), nullptr, "缺少必需的键（该节给出时每个键都要给出）");
    }
  }

 private:
  std::string file_;
  std::string name_;
  const toml::table* table_;
};

Section section(const toml::table& root, const std::string& file, const std::string& name,
                bool required) {
  const toml::node* n = root.get(name);
  if (!n) {
    if (required) throw Bad{{name, "", file + ": [" + name + "]: 缺少必需的节"}};
    return {file, name, nullptr};
  }
  if (!n->is_table()) {
    throw Bad{{name, valueText(*n),
               file + ":" + std::to_string(n->source().begin.line) + ": " + name +
                   ": 应为节（表），现为" + typeName(*n)}};
  }
  return {file, name, n->as_table()};
}

calc::PipeInputs pipe(const Section& s) {
  calc::PipeInputs p;
  const std::int64_t dn = *s.integer("dn", true);
  if (dn <= 0 || dn > 10000)
    s.fail("dn", s.node("dn", true), "应为正数，现为 " + std::to_string(dn));
  p.dn = static_cast<int>(dn);
  if (s.node("inner_diameter", false)) {
    p.innerDiameter = s.positive("inner_diameter");
  } else if (auto row = calc::weldedSteelPipe(p.dn)) {
    p.innerDiameter = row->innerDiameter;
  } else {
    s.fail("inner_diameter", nullptr,
           "DN" + std::to_string(dn) + " 不在焊接钢管表中，应给出内径 inner_diameter");
  }
  p.c = s.positive("c");
  return p;
}

Project read(const toml::table& root, const std::string& file) {
  for (auto&& [key, node] : root) {
    static constexpr std::string_view kSections[] = {"project", "hydrant", "building", "system",
                                                     "supply",  "pump",    "tank",     "stabilizer",
                                                     "riser",   "main",    "design"};
    bool found = false;
    for (std::string_view s : kSections) found = found || key.str() == s;
    if (!found) {
      throw Bad{{std::string(key.str()), valueText(node),
                 file + ":" + std::to_string(node.source().begin.line) + ": " +
                     std::string(key.str()) + ": 未知的节或键（拼写错误？）"}};
    }
  }
  Project p;
  calc::SystemInputs& in = p.inputs;

  const Section info = section(root, file, "project", false);
  info.onlyKeys({"name", "number", "designer"});
  p.info.name = info.string("name", false).value_or("");
  p.info.number = info.string("number", false).value_or("");
  p.info.designer = info.string("designer", false).value_or("");

  const Section hydrant = section(root, file, "hydrant", true);
  hydrant.onlyKeys({"nozzle", "hose_material", "hose_diameter", "hose_length", "water_column",
                    "occupancy", "min_flow"});
  calc::DesignInputs& h = in.hydrant;
  h.nozzle = hydrant.positive("nozzle");
  h.material = *hydrant.string("hose_material", true);
  const std::int64_t hoseDiameter = *hydrant.integer("hose_diameter", true);
  h.hoseDiameter = std::to_string(hoseDiameter);
  h.hoseLength = hydrant.positive("hose_length");
  h.waterColumn = hydrant.positive("water_column");
  const std::string occupancy = *hydrant.string("occupancy", true);
  if (occupancy == "high") {
    h.occupancy = calc::Occupancy::High;
  } else if (occupancy == "other") {
    h.occupancy = calc::Occupancy::Other;
  } else {
    hydrant.fail("occupancy", hydrant.node("occupancy", true), "应为 high 或 other");
  }
  h.minFlow = hydrant.positive("min_flow", 5.0);
  bool hoseFound = false;
  for (const calc::HoseRow& row : calc::hoseTable()) {
    if (row.diameter == h.hoseDiameter && row.material == h.material) {
      h.hoseCoefficient = row.coefficient;
      hoseFound = true;
    }
  }
  if (!hoseFound) {
    hydrant.fail("hose_diameter", hydrant.node("hose_diameter", true),
                 "水龙带 " + h.hoseDiameter + " mm " + h.material +
                     " 不在水带阻力系数表中（麻质或衬胶，50、65、80 mm）");
  }

  const Section building = section(root, file, "building", true);
  building.onlyKeys({"floors", "floor_heights", "floor_height", "first_outlet_elevation"});
  const std::int64_t floors = *building.integer("floors", true);
  if (floors < 1 || floors > kMaxFloors) {
    building.fail("floors", building.node("floors", true),
                  "楼层数应为 1 至 " + std::to_string(kMaxFloors) + " 的整数");
  }
  in.floors = static_cast<int>(floors);
  const toml::node* heights = building.node("floor_heights", false);
  const toml::node* height = building.node("floor_height", false);
  if (heights && height)
    building.fail("floor_height", height, "floor_height 与 floor_heights 只能给出一个");
  if (heights) {
    const toml::array* list = heights->as_array();
    if (!list) building.fail("floor_heights", heights, "应为数值数组，现为" + typeName(*heights));
    for (const toml::node& v : *list) {
      double value = 0;
      if (auto i = v.as_integer()) {
        value = static_cast<double>(i->get());
      } else if (auto f = v.as_floating_point()) {
        value = f->get();
      } else {
        building.fail("floor_heights", &v, "应为数值数组，其中有" + typeName(v));
      }
      if (!(value > 0) || !std::isfinite(value)) {
        building.fail("floor_heights", &v, "层高应为正数，现为 " + numberText(value));
      }
      in.floorHeights.push_back(value);
    }
    if (in.floorHeights.size() != static_cast<std::size_t>(floors - 1)) {
      building.fail("floor_heights", heights,
                    "应有 floors - 1 = " + std::to_string(floors - 1) + " 个层高，现有 " +
                        std::to_string(in.floorHeights.size()) + " 个");
    }
  } else if (height || floors > 1) {
    const double each = building.positive("floor_height");
    in.floorHeights.assign(static_cast<std::size_t>(floors - 1), each);
  }
  in.firstOutletElevation = building.required("first_outlet_elevation");

  const Section system = section(root, file, "system", true);
  system.onlyKeys({"design_flow", "riser_min_flow"});
  in.designFlow = system.positive("design_flow");
  in.riserMinFlow = system.positive("riser_min_flow");

  const Section supply = section(root, file, "supply", true);
  supply.onlyKeys({"pool_level", "pool_max_level"});
  in.poolLevel = supply.required("pool_level");
  in.poolMaxLevel = supply.number("pool_max_level", in.poolLevel);

  const Section pump = section(root, file, "pump", true);
  pump.onlyKeys({"elevation", "rated_head", "shutoff_ratio"});
  in.pumpElevation = pump.required("elevation");
  if (pump.node("rated_head", false)) in.ratedHead = pump.positive("rated_head");
  in.shutoffRatio = pump.positive("shutoff_ratio", 1.4);

  const Section tank = section(root, file, "tank", false);
  if (tank.present()) {
    tank.onlyKeys({"lowest_level", "highest_level", "min_static"});
    tank.complete({"lowest_level", "highest_level", "min_static"});
    in.tank = calc::TankInputs{tank.required("lowest_level"), tank.required("highest_level"),
                               tank.positive("min_static")};
  }
  const Section stabilizer = section(root, file, "stabilizer", false);
  if (stabilizer.present()) {
    stabilizer.onlyKeys({"stop_pressure", "elevation"});
    stabilizer.complete({"stop_pressure", "elevation"});
    in.stabilizer = calc::StabilizerInputs{stabilizer.positive("stop_pressure"),
                                           stabilizer.required("elevation")};
  }

  const Section riser = section(root, file, "riser", true);
  riser.onlyKeys({"dn", "inner_diameter", "c", "base_elevation"});
  in.riser = pipe(riser);
  in.riserBaseElevation = riser.required("base_elevation");

  const Section main = section(root, file, "main", true);
  main.onlyKeys({"length", "dn", "inner_diameter", "c"});
  in.mainLength = main.positive("length");
  in.main = pipe(main);

  const Section design = section(root, file, "design", false);
  design.onlyKeys({"local_loss", "k2", "branch_inner_diameter", "target_pressure"});
  in.localLoss = design.number("local_loss", 0.2);
  if (in.localLoss < 0)
    design.fail("local_loss", design.node("local_loss", true), "应为不小于 0 的数");
  in.k2 = design.positive("k2", 1.2);
  in.branchInnerDiameter = design.positive("branch_inner_diameter", 68.0);
  if (design.node("target_pressure", false))
    in.targetPressureMPa = design.positive("target_pressure");

  // What only the whole system shows: a riser base above the lowest outlet, a pool above
  // the highest, a riser flow above the design flow.
  if (auto error = calc::validateSystem(in)) {
    const std::string key = error->field;
    const std::size_t dot = key.find('.');
    const std::string name = key.substr(0, dot);
    const Section s = section(root, file, name, false);
    s.fail(key.substr(dot + 1), s.node(key.substr(dot + 1), false), error->message);
  }
  return p;
}

void put(std::string& out, std::string_view key, double value) {
  out += key;
  out += " = ";
  // Shortest text that reads back to the same double; a whole number is written as a TOML
  // integer, which the reader takes for a number as well.
  out += numberText(value);
  out += '\n';
}

void putInt(std::string& out, std::string_view key, long long value) {
  out += key;
  out += " = ";
  out += std::to_string(value);
  out += '\n';
}

void putString(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += " = ";
  out += tomlString(value);
  out += '\n';
}

}  // namespace

calc::Result<Project> readProject(std::string_view text, std::string_view fileName) {
  const std::string file(fileName);
  try {
    const toml::table root = toml::parse(text, fileName);
    return read(root, file);
  } catch (const toml::parse_error& e) {
    return CalcError{"", std::to_string(e.source().begin.line),
                     file + ":" + std::to_string(e.source().begin.line) + ": TOML 语法错误：" +
                         std::string(e.description())};
  } catch (const Bad& bad) {
    return bad.error;
  }
}

std::string writeProject(const Project& p) {
  const calc::SystemInputs& in = p.inputs;
  const calc::DesignInputs& h = in.hydrant;
  std::string out = "# 室内消火栓系统计算项目文件\n\n[project]\n";
  putString(out, "name", p.info.name);
  putString(out, "number", p.info.number);
  putString(out, "designer", p.info.designer);

  out += "\n[hydrant]\n";
  put(out, "nozzle", h.nozzle);
  putString(out, "hose_material", h.material);
  out += "hose_diameter = " + h.hoseDiameter + "\n";
  put(out, "hose_length", h.hoseLength);
  put(out, "water_column", h.waterColumn);
  putString(out, "occupancy", h.occupancy == calc::Occupancy::High ? "high" : "other");
  put(out, "min_flow", h.minFlow);

  out += "\n[building]\n";
  putInt(out, "floors", in.floors);
  if (!in.floorHeights.empty()) {
    out += "floor_heights = [";
    for (std::size_t i = 0; i < in.floorHeights.size(); ++i) {
      if (i > 0) out += ", ";
      out += numberText(in.floorHeights[i]);
    }
    out += "]\n";
  }
  put(out, "first_outlet_elevation", in.firstOutletElevation);

  out += "\n[system]\n";
  put(out, "design_flow", in.designFlow);
  put(out, "riser_min_flow", in.riserMinFlow);

  out += "\n[supply]\n";
  put(out, "pool_level", in.poolLevel);
  put(out, "pool_max_level", in.poolMaxLevel);

  out += "\n[pump]\n";
  put(out, "elevation", in.pumpElevation);
  if (in.ratedHead) put(out, "rated_head", *in.ratedHead);
  put(out, "shutoff_ratio", in.shutoffRatio);

  if (in.tank) {
    out += "\n[tank]\n";
    put(out, "lowest_level", in.tank->lowestLevel);
    put(out, "highest_level", in.tank->highestLevel);
    put(out, "min_static", in.tank->minStatic);
  }
  if (in.stabilizer) {
    out += "\n[stabilizer]\n";
    put(out, "stop_pressure", in.stabilizer->stopPressure);
    put(out, "elevation", in.stabilizer->elevation);
  }

  out += "\n[riser]\n";
  putInt(out, "dn", in.riser.dn);
  put(out, "inner_diameter", in.riser.innerDiameter);
  put(out, "c", in.riser.c);
  put(out, "base_elevation", in.riserBaseElevation);

  out += "\n[main]\n";
  put(out, "length", in.mainLength);
  putInt(out, "dn", in.main.dn);
  put(out, "inner_diameter", in.main.innerDiameter);
  put(out, "c", in.main.c);

  out += "\n[design]\n";
  put(out, "local_loss", in.localLoss);
  put(out, "k2", in.k2);
  put(out, "branch_inner_diameter", in.branchInnerDiameter);
  if (in.targetPressureMPa) put(out, "target_pressure", *in.targetPressureMPa);
  return out;
}

calc::Result<Project> loadProject(std::string_view path) {
  const std::string name(path);
  std::string reason;
  const auto text = files::readWholeFile(name, kMaxProjectBytes, reason);
  if (!text) return unreadableProject(name, reason);
  return readProject(*text, name == "-" ? "<stdin>" : name);
}

CalcError unreadableProject(std::string_view path, std::string_view reason) {
  const std::string shown = path == "-" ? "<stdin>" : calc::oneLine(path, 64);
  const std::string what = reason.starts_with("文件过大")
                               ? "项目" + std::string(reason)
                               : "无法读取项目文件：" + std::string(reason);
  return {"", std::string(path), shown.empty() ? what : shown + ": " + what};
}

std::optional<std::string> saveProject(std::string_view path, const Project& project) {
  return files::writeFileAtomically(path, writeProject(project));
}

std::string tomlString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

}  // namespace files
