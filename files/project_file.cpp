#include "files/project_file.h"

#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// toml++ checks its own state with TOML_ASSERT and, in release builds, tells the compiler
// that states it does not expect cannot happen. Text it does not expect must never reach
// undefined behaviour: every check is kept and a failed one becomes an exception caught
// below as a bad file, whatever NDEBUG says.
namespace files::detail {
struct TomlFault {
  const char* check;
};
}  // namespace files::detail
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) ((expr) ? static_cast<void>(0) : throw files::detail::TomlFault{#expr})
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wterminate"
#include <toml++/toml.h>
#pragma GCC diagnostic pop
#pragma pop_macro("NDEBUG")

#include "calc/design_check.h"
#include "calc/hose_table.h"
#include "calc/number_text.h"
#include "calc/pipe_table.h"
#include "calc/run.h"
#include "calc/utf8.h"
#include "files/safe_file.h"

namespace files {
namespace {

using calc::CalcError;

constexpr std::size_t kEchoChars = 64;  // a value quoted in a message is cut here

// A bad file: thrown inside the reader, caught once at its top.
struct Bad {
  CalcError error;
};

std::string numberText(double v) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  std::string text(buffer, result.ptr);
  // A whole number from 2^53 up is written as a float: as an integer it could exceed what a
  // TOML integer holds (9223372036854775808 does) and would not read back.
  if (std::fabs(v) >= 9007199254740992.0 && text.find_first_of(".eE") == std::string::npos) {
    result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific);
    text.assign(buffer, result.ptr);
  }
  return text;
}

std::string echo(std::string_view text) { return calc::oneLine(text, kEchoChars); }

std::size_t characters(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < text.size(); ++n) pos += calc::decodeUtf8(text, pos).length;
  return n;
}

// toml++ 3.3.0 classifies characters beyond ASCII through tables that reach undefined
// behaviour for some of them, and it looks ahead over them in places a file may put them
// (after a malformed value, even inside a string). So toml++ is given ASCII only: a string's
// characters beyond ASCII become \u escapes (a literal string becomes the basic string of the
// same value), a comment's become 'x', and anywhere else they are refused, as are bytes that
// are not UTF-8. Lines stay where they were. Line and column count characters from 1.
struct Stop {
  std::size_t line = 1, column = 1;
  enum Why { Bare, NotUtf8, Escape } why = Bare;
};

std::variant<Stop, std::string> asciiText(std::string_view text) {
  enum class In { Bare, Comment, Basic, Literal, MultiBasic, MultiLiteral } in = In::Bare;
  Stop at;
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::size_t pos = 0;
  if (text.starts_with("\xEF\xBB\xBF")) pos = 3;  // a byte-order mark
  const auto run = [&](char quote) {
    std::size_t n = 0;
    while (pos + n < text.size() && text[pos + n] == quote) ++n;
    return n;
  };
  const auto escape = [&](char32_t c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const int digits = c > 0xFFFF ? 8 : 4;
    out += digits == 8 ? "\\U" : "\\u";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(c >> shift) & 15];
  };
  while (pos < text.size()) {
    const calc::DecodedChar c = calc::decodeUtf8(text, pos);
    if (!c.valid) return Stop{at.line, at.column, Stop::NotUtf8};
    std::size_t length = c.length;
    std::string_view copy = text.substr(pos, length);  // what toml++ is given for it
    std::string replaced;
    switch (in) {
      case In::Bare:
        if (c.codePoint >= 0x80) return at;
        if (c.codePoint == '#') {
          in = In::Comment;
        } else if (c.codePoint == '"' || c.codePoint == '\'') {
          const char q = static_cast<char>(c.codePoint);
          const bool multi = run(q) >= 3;
          in = q == '"' ? (multi ? In::MultiBasic : In::Basic)
                        : (multi ? In::MultiLiteral : In::Literal);
          length = multi ? 3 : 1;
          copy = multi ? "\"\"\"" : "\"";  // a literal string opens as a basic one
        }
        break;
      case In::Comment:
        if (c.codePoint == '\n') in = In::Bare;
        if (c.codePoint >= 0x80) copy = "x";
        break;
      case In::Basic:
      case In::MultiBasic:
        if (c.codePoint == '\\') {
          if (pos + 1 < text.size() && static_cast<unsigned char>(text[pos + 1]) >= 0x80) {
            return Stop{at.line, at.column, Stop::Escape};
          }
          length = std::min<std::size_t>(2, text.size() - pos);
          copy = text.substr(pos, length);
        } else if (c.codePoint == '"') {
          const std::size_t n = run('"');
          if (in == In::Basic) {
            in = In::Bare;
          } else if (n >= 3) {  // three closing quotes, and up to two more of the text
            in = In::Bare;
            length = std::min<std::size_t>(n, 5);
            copy = text.substr(pos, length);
          }
        } else if (c.codePoint == '\n' && in == In::Basic) {
          in = In::Bare;
        } else if (c.codePoint >= 0x80) {
          escape(c.codePoint);
          copy = {};
        }
        break;
      case In::Literal:
      case In::MultiLiteral:
        if (c.codePoint == '\'') {
          const std::size_t n = run('\'');
          if (in == In::Literal || n >= 3) {
            const std::size_t closing = in == In::Literal ? 1 : std::min<std::size_t>(n, 5);
            // Quotes of the text before the closing three, then the closing quotes.
            for (std::size_t i = 0; i + (in == In::Literal ? 1 : 3) < closing; ++i) out += '\'';
            out += in == In::Literal ? "\"" : "\"\"\"";
            in = In::Bare;
            length = closing;
            copy = {};
          }
        } else if (c.codePoint == '\n' && in == In::Literal) {
          in = In::Bare;  // an unclosed literal string: toml++ reports it
        } else if (c.codePoint == '\\' || c.codePoint == '"') {
          replaced = {'\\', static_cast<char>(c.codePoint)};
          copy = replaced;
        } else if (c.codePoint >= 0x80) {
          escape(c.codePoint);
          copy = {};
        }
        break;
    }
    out += copy;
    for (std::size_t i = 0; i < length; ++i) {
      if (text[pos + i] == '\n') {
        ++at.line;
        at.column = 1;
      } else if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) {
        ++at.column;
      }
    }
    pos += length;
  }
  return out;
}

// toml++'s words for the common faults, in Chinese; the original follows in brackets.
std::string syntaxWords(std::string_view description) {
  static constexpr std::pair<std::string_view, std::string_view> kWords[] = {
      {"encountered end-of-file", "文件在此意外结束"},
      {"could not determine value type", "无法识别值的类型（中文等文字应放在引号内）"},
      {"expected '='", "键名后应为“=”"},
      {"expected digit", "此处应为数字"},
      {"expected bare key starting character", "此处应为键名"},
      {"expected keys, tables, whitespace or comments", "此处应为键、表头、空白或注释"},
      {"expected a comment or whitespace", "值或表头之后只能有空白或注释"},
      {"cannot redefine existing", "重复定义了同一个键或表"},
      {"was not closed", "括号或引号未闭合"},
      {"unterminated", "括号或引号未闭合"},
      {"invalid", "写法不符合 TOML 格式"},
  };
  for (const auto& [english, chinese] : kWords) {
    if (description.find(english) != std::string_view::npos) {
      return std::string(chinese) + "（" + std::string(description) + "）";
    }
  }
  return std::string(description);
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
  if (auto s = node.as_string()) return echo(s->get());
  if (auto b = node.as_boolean()) return b->get() ? "true" : "false";
  return typeName(node);
}

std::string_view typeWords(KeyType type) {
  switch (type) {
    case KeyType::Number:
      return "数值";
    case KeyType::Integer:
      return "整数";
    case KeyType::Text:
    case KeyType::Choice:
      return "带引号的文字";
    case KeyType::NumberList:
      return "数值数组";
    case KeyType::Flag:
      return "true 或 false";
    case KeyType::PointList:
      return "[流量, 扬程] 数对的数组";
  }
  return "";
}

// One value read from the file, with where it stood.
struct Given {
  const ProjectKey* key = nullptr;
  KeyValue value;
  std::string text;  // as written, for the message
  std::size_t line = 0;
};

class Reader {
 public:
  explicit Reader(std::string file) : file_(std::move(file)) {}

  [[noreturn]] void fail(std::string_view path, std::size_t line, std::string text,
                         const std::string& what) const {
    std::string where = file_;
    if (line > 0) where += ":" + std::to_string(line);
    throw Bad{{std::string(path), text, where + ": " + std::string(path) + ": " + what}};
  }
  [[noreturn]] void fail(const Given& g, const std::string& what) const {
    fail(g.key->path(), g.line, g.text, what);
  }

  Project read(const toml::table& root) {
    for (auto&& [name, node] : root) {
      const ProjectSection* section = findProjectSection(name.str());
      const std::size_t line = node.source().begin.line;
      if (!section) fail(name.str(), line, valueText(node), "未知的节或键（拼写错误？）");
      const toml::table* table = node.as_table();
      if (!table) {
        fail(name.str(), line, valueText(node), "应为节（表），现为" + typeName(node));
      }
      given_sections_.push_back(section->name);
      for (auto&& [key, value] : *table) {
        const std::string path = std::string(section->name) + "." + std::string(key.str());
        const ProjectKey* k = findProjectKey(path);
        if (!k) fail(path, value.source().begin.line, valueText(value), "未知的键（拼写错误？）");
        given_.push_back(take(*k, value));
      }
    }
    return apply();
  }

 private:
  Given take(const ProjectKey& k, const toml::node& node) const {
    Given g{&k, {}, valueText(node), node.source().begin.line};
    const auto number = [&](const toml::node& n) -> std::optional<double> {
      if (auto i = n.as_integer()) return static_cast<double>(i->get());
      if (auto f = n.as_floating_point()) return f->get();
      return std::nullopt;
    };
    const auto wrong = [&] {
      fail(g, "应为" + std::string(typeWords(k.type)) + "，现为" + typeName(node));
    };
    switch (k.type) {
      case KeyType::Number:
        if (auto v = number(node))
          g.value = *v;
        else
          wrong();
        break;
      case KeyType::Integer:
        if (auto i = node.as_integer())
          g.value = static_cast<double>(i->get());
        else
          wrong();
        break;
      case KeyType::Text:
      case KeyType::Choice:
        if (auto s = node.as_string())
          g.value = s->get();
        else
          wrong();
        break;
      case KeyType::Flag:
        if (auto b = node.as_boolean())
          g.value = b->get();
        else
          wrong();
        break;
      case KeyType::NumberList: {
        const toml::array* list = node.as_array();
        if (!list) wrong();
        std::vector<double> values;
        for (const toml::node& item : *list) {
          const std::optional<double> v = number(item);
          if (!v) {
            fail(k.path(), item.source().begin.line, valueText(item),
                 "应为数值数组，其中有" + typeName(item));
          }
          if (!k.range.contains(*v)) {
            fail(k.path(), item.source().begin.line, valueText(item),
                 std::string(k.caption) + rangeWords(k) + "，现为 " + valueText(item));
          }
          values.push_back(*v);
        }
        g.value = std::move(values);
        break;
      }
      case KeyType::PointList: {
        const toml::array* list = node.as_array();
        if (!list) wrong();
        std::vector<double> values;
        for (const toml::node& item : *list) {
          const toml::array* pair = item.as_array();
          const auto x = pair && pair->size() == 2 ? number(*pair->get(0)) : std::nullopt;
          const auto y = pair && pair->size() == 2 ? number(*pair->get(1)) : std::nullopt;
          if (!x || !y) {
            fail(k.path(), item.source().begin.line, valueText(item),
                 "应为 [流量, 扬程] 数对的数组，其中有" + typeName(item));
          }
          for (double v : {*x, *y}) {
            if (!k.range.contains(v)) {
              fail(k.path(), item.source().begin.line, valueText(item),
                   std::string(k.caption) + rangeWords(k) + "，现为 " + numberText(v));
            }
            values.push_back(v);
          }
        }
        g.value = std::move(values);
        break;
      }
    }
    return g;
  }

  const Given* given(std::string_view path) const {
    for (const Given& g : given_) {
      if (g.key->path() == path) return &g;
    }
    return nullptr;
  }
  bool sectionGiven(std::string_view name) const {
    for (std::string_view s : given_sections_) {
      if (s == name) return true;
    }
    return false;
  }

  // Each value within its key's range and choices.
  void check(const Given& g) const {
    const ProjectKey& k = *g.key;
    if (const auto* v = std::get_if<double>(&g.value); v && !k.range.contains(*v)) {
      fail(g, std::string(k.caption) + rangeWords(k) + "，现为 " + g.text);
    }
    if (const auto* s = std::get_if<std::string>(&g.value)) {
      if (k.type == KeyType::Text && characters(*s) > k.range.max) {
        fail(g, std::string(k.caption) + "过长，" + rangeWords(k));
      }
      if (k.type == KeyType::Choice) {
        bool found = false;
        std::string list;
        for (std::string_view rest = k.choices; !rest.empty();) {
          const std::size_t bar = rest.find('|');
          const std::string_view choice = rest.substr(0, bar);
          found = found || choice == *s;
          list += (list.empty() ? "" : "、") + std::string(choice);
          rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        }
        if (!found) fail(g, std::string(k.caption) + "应为 " + list + " 之一");
      }
    }
  }

  Project apply() const {
    Project p;
    for (const ProjectSection& section : projectSections()) {
      const bool givenSection = sectionGiven(section.name);
      if (section.optional && !givenSection) continue;
      for (const ProjectKey& k : projectKeys()) {
        if (k.section != section.name) continue;
        const Given* g = given(k.path());
        if (!g) {
          const bool required = k.need == Need::Required || (k.need == Need::WithSection);
          if (!required) continue;
          if (!givenSection) {
            throw Bad{{std::string(section.name), "",
                       file_ + ": [" + std::string(section.name) + "]: 缺少必需的节（" +
                           std::string(section.caption) + "）"}};
          }
          fail(k.path(), 0, "",
               std::string(k.need == Need::WithSection ? "缺少必需的键（该节给出时每个键都要给出）"
                                                       : "缺少必需的键") +
                   "：" + std::string(k.caption));
        }
        check(*g);
        k.set(p, g->value);
      }
    }
    whole(p);
    return p;
  }

  // What only several keys together show.
  void whole(Project& p) const {
    calc::SystemInputs& in = p.inputs;
    const Given* heights = given("building.floor_heights");
    const Given* height = given("building.floor_height");
    if (heights && height) fail(*height, "floor_height 与 floor_heights 只能给出一个");
    if (heights && in.floorHeights.size() != static_cast<std::size_t>(in.floors - 1)) {
      fail(*heights, "层高应有 " + std::to_string(in.floors - 1) + " 个（层数 − 1），现有 " +
                         std::to_string(in.floorHeights.size()) + " 个");
    }
    if (!heights && !height && in.floors > 1) {
      fail("building.floor_height", 0, "", "缺少必需的键：层高（floor_height 或 floor_heights）");
    }
    if (!given("supply.pool_max_level")) in.poolMaxLevel = in.poolLevel;

    calc::DesignInputs& h = in.hydrant;
    bool hoseFound = false;
    for (const calc::HoseRow& row : calc::hoseTable()) {
      if (row.diameter == h.hoseDiameter && row.material == h.material) {
        h.hoseCoefficient = row.coefficient;
        hoseFound = true;
      }
    }
    if (!hoseFound) {
      fail(*given("hydrant.hose_diameter"),
           "水龙带 " + h.hoseDiameter + " mm " + h.material +
               " 不在水带阻力系数表中（麻质或衬胶，50、65、80 mm）");
    }
    pipe("riser", in.riser);
    pipe("main", in.main);
    ring(in);
    const Given* curve = given("pump.curve");
    if (curve && given("pump.shutoff_ratio")) {
      fail(*given("pump.shutoff_ratio"), "给出水泵特性曲线 curve 时不应再给零流量扬程比");
    }

    // A calculation that the entries of the hydrant itself cannot give is blamed on them.
    if (auto error = calc::validateSystem(in)) {
      const Given* g = given(error->field);
      fail(error->field, g ? g->line : 0, g ? g->text : error->text, error->message);
    }
    book(in);
    // The most unfavourable hydrant's own entries: a water column beyond the nozzle's reach
    // and the like, blamed on the key that holds the entry.
    calc::DesignInputs hydrant = in.hydrant;
    hydrant.withTexts = false;
    if (const auto design = calc::checkDesign(hydrant); !design.ok()) {
      static constexpr std::pair<const char*, const char*> kEntries[] = {
          {calc::kHoseLengthField, "hydrant.hose_length"},
          {calc::kNozzleDiameterField, "hydrant.nozzle"},
          {calc::kWaterColumnField, "hydrant.water_column"},
          {calc::kMinFlowField, "hydrant.min_flow"},
      };
      std::string key = "hydrant";
      for (const auto& [field, path] : kEntries) {
        if (design.error().field == field) key = path;
      }
      const Given* g = given(key);
      fail(key, g ? g->line : 0, g ? g->text : design.error().text, design.error().message);
    }
    const std::vector<double> z = calc::outletElevations(in);
    if (in.tank && !(in.tank->lowestLevel > z.back())) {
      const Given* g = given("tank.lowest_level");
      fail(*g, "高位消防水箱最低有效水位应高于最不利（最高层）消火栓栓口 " +
                   calc::numberToText(z.back()) + " m");
    }
    for (double zi : z) {
      if (!std::isfinite(zi) || std::fabs(zi) > 10000) {
        fail("building.floor_heights", heights ? heights->line : 0, "",
             "栓口标高超出 ±10000 m，请检查层高和层数");
      }
    }
  }

  // The calculation book's keys that need others: a building's use and height go together,
  // a pool needs the number of mains and the outdoor flow.
  void book(const calc::SystemInputs& in) const {
    const auto need = [&](bool part, const char* path, const char* what) {
      if (part && !given(path)) {
        fail(path, 0, "",
             "缺少必需的键：" + std::string(findProjectKey(path)->caption) + "（" + what + "）");
      }
    };
    need(in.book.building.has_value(), "building.use", "给出建筑高度、分类或体积时必填");
    need(in.book.building.has_value(), "building.height", "给出使用性质时必填");
    need(in.book.supply.has_value(), "supply.mains", "计算消防水池时必填");
    need(in.book.supply.has_value(), "supply.outdoor_flow", "计算消防水池时必填");
    const auto& s = in.book.stabilizer;
    if (s && s->startPressure && in.stabilizer &&
        *s->startPressure >= in.stabilizer->stopPressure) {
      fail(*given("stabilizer.start_pressure"),
           "启泵压力应小于停泵压力 " + calc::numberToText(in.stabilizer->stopPressure) + " MPa");
    }
    if (auto error = calc::validateBook(in.book)) {
      const Given* g = given(error->field);
      fail(error->field, g ? g->line : 0, g ? g->text : error->text, error->message);
    }
  }

  // A pipe's inner diameter: entered, within its DN's outside diameter and above half of it,
  // or the welded steel pipe table's.
  void pipe(std::string_view section, calc::PipeInputs& pipe) const {
    const std::string key = std::string(section) + ".inner_diameter";
    const Given* entered = given(key);
    const std::optional<calc::PipeRow> row = calc::weldedSteelPipe(pipe.dn);
    if (!entered) {
      if (!row) {
        fail(key, 0, "",
             "DN" + std::to_string(pipe.dn) + " 不在焊接钢管表中，应给出内径 inner_diameter");
      }
      pipe.innerDiameter = row->innerDiameter;
      return;
    }
    const double outside = row ? row->outsideDiameter : 1.2 * pipe.dn;
    if (!(pipe.innerDiameter < outside && pipe.innerDiameter > outside / 2)) {
      fail(*entered, "内径应小于 DN" + std::to_string(pipe.dn) + " 的外径 " +
                         calc::numberToText(outside) + " mm 且大于其一半，现为 " + entered->text);
    }
  }

  // The ring main: each key not given follows the main; a DN given without its inner diameter
  // takes the welded steel pipe table's.
  void ring(calc::SystemInputs& in) const {
    if (!in.ring) return;
    const Given* dn = given("main.ring_dn");
    const Given* inner = given("main.ring_inner_diameter");
    if (!dn) in.ring->dn = in.main.dn;
    if (!given("main.ring_c")) in.ring->c = in.main.c;
    if (inner) return;
    if (!dn) {
      in.ring->innerDiameter = in.main.innerDiameter;
      return;
    }
    const std::optional<calc::PipeRow> row = calc::weldedSteelPipe(in.ring->dn);
    if (!row) {
      fail(*dn, "DN" + std::to_string(in.ring->dn) +
                    " 不在焊接钢管表中，应给出环管内径 ring_inner_diameter");
    }
    in.ring->innerDiameter = row->innerDiameter;
  }

  std::string file_;
  std::vector<Given> given_;
  std::vector<std::string_view> given_sections_;
};

void put(std::string& out, const ProjectKey& k, const KeyValue& value) {
  out += k.name;
  out += " = ";
  if (const auto* v = std::get_if<double>(&value)) {
    out += numberText(*v);
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    out += tomlString(*s);
  } else if (const auto* list = std::get_if<std::vector<double>>(&value);
             list && k.type == KeyType::PointList) {
    out += '[';
    for (std::size_t i = 0; i + 1 < list->size(); i += 2) {
      if (i > 0) out += ", ";
      out += "[" + numberText((*list)[i]) + ", " + numberText((*list)[i + 1]) + "]";
    }
    out += ']';
  } else if (const auto* list = std::get_if<std::vector<double>>(&value)) {
    out += '[';
    for (std::size_t i = 0; i < list->size(); ++i) {
      if (i > 0) out += ", ";
      out += numberText((*list)[i]);
    }
    out += ']';
  } else if (const auto* b = std::get_if<bool>(&value)) {
    out += *b ? "true" : "false";
  }
  out += '\n';
}

}  // namespace

calc::Result<Project> readProject(std::string_view text, std::string_view fileName) {
  const std::string file(fileName);
  if (text.size() > kMaxProjectBytes) {
    return CalcError{"", "", file + ": 项目文件过大（上限 1 MiB）"};
  }
  const std::variant<Stop, std::string> ascii = asciiText(text);
  if (const Stop* stop = std::get_if<Stop>(&ascii)) {
    const std::string at =
        "第 " + std::to_string(stop->line) + " 行第 " + std::to_string(stop->column) + " 列：";
    return CalcError{
        "", std::to_string(stop->line),
        file + ":" + std::to_string(stop->line) + ": " + at +
            (stop->why == Stop::NotUtf8 ? "不是有效的 UTF-8 文字，请以 UTF-8 编码保存"
             : stop->why == Stop::Escape
                 ? "反斜杠后不能是中文等文字（转义符只能是 \\、\\\"、\\n 等）"
                 : "键名和表名只能用英文字母、数字、下划线；中文等文字的值应放在引号内")};
  }
  try {
    const toml::table root = toml::parse(std::get<std::string>(ascii), fileName);
    return Reader(file).read(root);
  } catch (const toml::parse_error& e) {
    const std::size_t line = e.source().begin.line;
    return CalcError{"", std::to_string(line),
                     file + ":" + std::to_string(line) + ": TOML 语法错误：" +
                         syntaxWords(calc::oneLine(e.description()))};
  } catch (const detail::TomlFault&) {
    return CalcError{"", "", file + ": TOML 语法错误：文件的写法无法识别"};
  } catch (const Bad& bad) {
    return bad.error;
  }
}

std::string writeProject(const Project& p) {
  std::string out = "# 室内消火栓系统计算项目文件\n";
  for (const ProjectSection& section : projectSections()) {
    if (!sectionPresent(p, section.name)) continue;
    out += "\n[" + std::string(section.name) + "]\n";
    for (const ProjectKey& k : projectKeys()) {
      if (k.section != section.name) continue;
      const KeyValue value = k.get(p);
      if (!std::holds_alternative<std::monostate>(value)) put(out, k, value);
    }
  }
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
  // Whole up to Windows' usual longest path, so that a project deep in a designer's folders is
  // named in full; beyond it the name is cut rather than flooding the message.
  const std::string shown = path == "-" ? "<stdin>" : calc::oneLine(path, 260);
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
