#include "ui/system_form.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "calc/number_text.h"
#include "calc/pipe_table.h"
#include "calc/run_errors.h"
#include "files/safe_file.h"
#include "sheet/system_sheet.h"

namespace ui {
namespace {

using K = FieldKind;

// The occupancy's entry shows words; the file holds "high" or "other".
constexpr std::string_view kHighWords = "高层、厂房、库房等";
constexpr std::string_view kOtherWords = "其他场所";

std::string tooltipOf(const files::ProjectKey& k) {
  // The form's 层高 takes runs and one height for every storey, which the file spells as
  // floor_height.
  std::string tip(k.section == "building" && k.name == "floor_heights"
                      ? "自下而上，层数 − 1 个，可写作 5.1, 3.9×16；各层相同时只填一个值"
                      : k.tooltip);
  if (!k.unit.empty()) tip += "；单位 " + std::string(k.unit);
  if (k.type == files::KeyType::Number || k.type == files::KeyType::Integer ||
      k.type == files::KeyType::NumberList || k.type == files::KeyType::PointList) {
    tip += "；" + files::rangeWords(k);
  }
  if (!k.clause.empty()) tip += "（GB 50974-2014 第 " + std::string(k.clause) + " 条）";
  return tip;
}

// The form has boxes for the project's name, number and designer; the rest of the title block
// travels with the project and is asked by the sheet dialog.
bool inForm(const files::ProjectKey& k) {
  return k.section != "project" || k.name == "name" || k.name == "number" || k.name == "designer";
}

std::vector<SystemField> makeFields() {
  std::vector<SystemField> fields;
  for (const files::ProjectSection& s : files::projectSections()) {
    const auto shown = [&](const files::ProjectKey& k) {
      return k.section == s.name && k.need != files::Need::Alias && inForm(k);
    };
    if (s.optional) {
      // The check box heads the group of its section's first entry.
      const auto keys = files::projectKeys();
      const auto first = std::find_if(keys.begin(), keys.end(), shown);
      const bool book = first != keys.end() && !first->bookGroup.empty();
      fields.push_back({std::string(s.name), "设" + std::string(s.caption),
                        book ? first->bookGroup : s.group, book ? 1 : 0, K::Check,
                        s.name == "tank" ? "1" : "0", "", ""});
    }
    for (const files::ProjectKey& k : files::projectKeys()) {
      if (!shown(k)) continue;
      const bool book = !k.bookGroup.empty();
      SystemField f{k.path(),
                    std::string(k.caption),
                    book ? k.bookGroup : s.group,
                    book ? 1 : 0,
                    K::Text,
                    std::string(k.example),
                    k.suggestions,
                    tooltipOf(k)};
      if (!k.unit.empty()) f.caption += "(" + std::string(k.unit) + ")";
      if (k.path() == "hydrant.occupancy") {
        f.defaultText = kHighWords;
        f.items = "高层、厂房、库房等|其他场所";
      } else if (k.type == files::KeyType::Choice) {
        f.items = k.choices;
      } else if (k.type == files::KeyType::Flag) {
        f.items = "是|否";
      }
      if (!f.items.empty() || k.name == "dn") f.kind = K::Combo;
      fields.push_back(std::move(f));
    }
  }
  return fields;
}

const std::vector<SystemField> kFields = makeFields();

// Group boxes in the order their entries come, page by page.
std::vector<std::string_view> makeGroups() {
  std::vector<std::string_view> groups;
  for (int page : {0, 1}) {
    for (const SystemField& f : kFields) {
      if (f.page == page && std::find(groups.begin(), groups.end(), f.group) == groups.end()) {
        groups.push_back(f.group);
      }
    }
  }
  return groups;
}

const std::vector<std::string_view> kGroups = makeGroups();
constexpr std::array<std::string_view, 2> kPages = {"系统水力计算", "水池、水箱与稳压设施"};

constexpr std::array<std::string_view, 9> kFloorColumns = {
    "楼层", "标高 m",      "静压 MPa",       "零流量压力 MPa", "动压 MPa",
    "减压", "孔板孔径 mm", "减压后动压 MPa", "单栓动压 MPa"};
constexpr std::array<std::string_view, 3> kCheckColumns = {"条文", "结论", "说明"};

// Entries the file holds as strings; every other entry is a number.
bool isString(std::string_view key) {
  const files::ProjectKey* k = files::findProjectKey(key);
  return k && (k->type == files::KeyType::Text ||
               (k->type == files::KeyType::Choice && key != "hydrant.occupancy"));
}

// A choice or flag the file may leave out: an empty entry is not written.
bool mayBeEmpty(std::string_view key) {
  const files::ProjectKey* k = files::findProjectKey(key);
  return k && k->need == files::Need::Optional &&
         (k->type == files::KeyType::Choice || k->type == files::KeyType::Flag);
}

std::string_view sectionOf(std::string_view key) { return key.substr(0, key.find('.')); }

std::string shortest(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

// A TOML number: whole values as integers, which the reader takes for counts and sizes too.
std::string tomlNumber(double v) {
  if (v == std::trunc(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  return shortest(v);
}

std::string text(const SystemEntries& entries, std::string_view key) {
  const auto it = entries.find(key);
  return it == entries.end() ? std::string() : it->second;
}

std::string fieldName(const SystemField& f) {
  return std::string(f.group) + " " + std::string(f.caption);
}

calc::CalcError entryError(const SystemField& f, const std::string& typed, std::string what) {
  if (typed.empty() && what.starts_with("：缺少必需的键")) what.clear();
  if (!what.ends_with("。")) what += "。";
  if (typed.empty() && what.starts_with("：")) what.erase(0, std::string_view("：").size());
  const std::string message = typed.empty()
                                  ? fieldName(f) + "未填写" + (what == "。" ? "" : "：") + what
                                  : fieldName(f) + calc::errors::quoted(typed) + what;
  return {std::string(f.key), typed, message};
}

// A reader's error about the text the entries made, told about the entry it came from.
calc::CalcError fromReader(const calc::CalcError& error, const SystemEntries& entries) {
  std::string key = error.field;
  if (key == "building.floor_height") key = "building.floor_heights";
  const SystemField* f = findSystemField(key);
  if (!f) return error;
  std::string what = error.message;
  const std::string marker = error.field + ": ";
  if (const auto at = what.find(marker); at != std::string::npos) {
    what = what.substr(at + marker.size());
  }
  return entryError(*f, text(entries, f->key), "：" + what);
}

// A reader's error about a file the form opens, told by the form's captions instead of the
// file's keys: "F 第 17 行：建筑与流量 层高(m)：层高应有 9 个…", "F：项目文件缺少[消火栓]一节".
// Errors that only a key can name (a misspelled one, TOML syntax) stay as the reader says them.
std::string openMessage(const calc::CalcError& error, const std::string& path) {
  std::string_view rest = error.message;
  if (!rest.starts_with(path)) return error.message;
  rest.remove_prefix(path.size());
  std::string line;
  if (rest.starts_with(":") && rest.size() > 1 && rest[1] >= '0' && rest[1] <= '9') {
    const std::size_t end = rest.find(':', 1);
    if (end == std::string_view::npos) return error.message;
    line = " 第 " + std::string(rest.substr(1, end - 1)) + " 行";
    rest.remove_prefix(end);
  }
  if (!rest.starts_with(": ")) return error.message;
  rest.remove_prefix(2);
  if (const files::ProjectSection* section = files::findProjectSection(error.field);
      section && rest.starts_with("[" + error.field + "]: 缺少必需的节")) {
    return path + line + "：项目文件缺少[" + std::string(section->caption) + "]一节";
  }
  std::string key = error.field;
  if (key == "building.floor_height") key = "building.floor_heights";
  const SystemField* f = findSystemField(key);
  if (!f || !rest.starts_with(error.field + ": ")) return error.message;
  rest.remove_prefix(error.field.size() + 2);
  return path + line + "：" + fieldName(*f) + "：" + std::string(rest);
}

std::string mpa(double metres) { return calc::formatFixed(metres / 100, 3); }
std::string f2(double v) { return calc::formatFixed(v, 2); }

// Groups of these heights, in order, cut into columns.
std::vector<int> packColumns(const std::vector<int>& weight) {
  const int n = static_cast<int>(weight.size());
  constexpr int kMinColumns = 4, kTallest = 2 * 16;
  std::vector<int> column(weight.size(), 0);
  for (int k = std::min(kMinColumns, n); k <= n; ++k) {
    // best[j][i]: the least tallest column when the first i groups fill j columns; cut[j][i]
    // where the last of those columns starts.
    constexpr int kNone = 1 << 29;
    std::vector best(static_cast<std::size_t>(k + 1), std::vector<int>(weight.size() + 1, kNone));
    std::vector cut(best.size(), std::vector<int>(weight.size() + 1, 0));
    best[0][0] = 0;
    for (int j = 1; j <= k; ++j) {
      for (int i = j; i <= n; ++i) {
        int run = 0;
        for (int start = i - 1; start >= j - 1; --start) {
          run += weight[static_cast<std::size_t>(start)];
          const int tallest = std::max(best[j - 1][start], run);
          if (tallest < best[j][i]) best[j][i] = tallest, cut[j][i] = start;
        }
      }
    }
    for (int j = k, i = n; j > 0; i = cut[j][i], --j) {
      for (int g = cut[j][i]; g < i; ++g) column[static_cast<std::size_t>(g)] = j - 1;
    }
    if (best[k][n] <= kTallest) break;
  }
  return column;
}

}  // namespace

std::span<const std::string_view> systemPages() { return kPages; }
std::span<const std::string_view> systemGroups() { return kGroups; }

std::vector<int> systemGroupPages() {
  std::vector<int> pages;
  for (std::string_view g : kGroups) {
    pages.push_back(std::find_if(kFields.begin(), kFields.end(), [&](const SystemField& f) {
                      return f.group == g;
                    })->page);
  }
  return pages;
}
std::span<const SystemField> systemFields() { return kFields; }
std::span<const std::string_view> systemFloorColumns() { return kFloorColumns; }
std::span<const std::string_view> systemCheckColumns() { return kCheckColumns; }

std::vector<int> systemGroupColumns() {
  // A group's height in half rows: its rows and a row and a half of frame and caption.
  std::vector<int> weight(kGroups.size(), 3);
  for (const SystemField& f : kFields) {
    const auto g = std::find(kGroups.begin(), kGroups.end(), f.group) - kGroups.begin();
    weight[static_cast<std::size_t>(g)] += 2;
  }
  const std::vector<int> pages = systemGroupPages();
  std::vector<int> column;
  for (int page = 0; page < static_cast<int>(kPages.size()); ++page) {
    std::vector<int> onPage;
    for (std::size_t g = 0; g < weight.size(); ++g) {
      if (pages[g] == page) onPage.push_back(weight[g]);
    }
    const std::vector<int> cut = packColumns(onPage);
    column.insert(column.end(), cut.begin(), cut.end());
  }
  return column;
}

const SystemField* findSystemField(std::string_view key) {
  const auto it = std::find_if(kFields.begin(), kFields.end(),
                               [&](const SystemField& f) { return f.key == key; });
  return it == kFields.end() ? nullptr : &*it;
}

std::vector<std::string> systemFieldItems(const SystemField& field) {
  std::vector<std::string> items;
  if (field.kind != FieldKind::Combo) return items;
  if (field.key.ends_with(".dn")) {
    for (const calc::PipeRow& row : calc::weldedSteelPipes())
      items.push_back(std::to_string(row.dn));
    return items;
  }
  std::string_view rest = field.items;
  while (!rest.empty()) {
    const std::size_t bar = rest.find('|');
    items.emplace_back(rest.substr(0, bar));
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  return items;
}

SystemEntries defaultSystemEntries() {
  SystemEntries entries;
  for (const SystemField& f : kFields) entries.emplace(f.key, f.defaultText);
  return entries;
}

void takeHydrantEntries(const calc::Entries& main, SystemEntries& entries) {
  entries["hydrant.nozzle"] = main.nozzle;
  entries["hydrant.hose_material"] = main.material;
  entries["hydrant.hose_diameter"] = main.hoseDiameter;
  entries["hydrant.hose_length"] = main.hoseLength;
  entries["hydrant.water_column"] = main.waterColumn;
}

std::optional<std::vector<double>> parseFloorHeights(std::string_view text) {
  // Full-width and Chinese separators to ASCII; "×" and "x" to "*".
  std::string plain(text);
  for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"，", ","},
                                 {"、", ","},
                                 {"；", ","},
                                 {";", ","},
                                 {"×", "*"},
                                 {"＊", "*"},
                                 {"x", "*"},
                                 {"X", "*"}}) {
    for (std::size_t at; (at = plain.find(from)) != std::string::npos;)
      plain.replace(at, from.size(), to);
  }
  // Blanks separate entries too, except around a '*'.
  std::vector<std::string> tokens;
  std::string current;
  const auto flush = [&] {
    if (!current.empty()) tokens.push_back(current);
    current.clear();
  };
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const char c = plain[i];
    if (c == ',') {
      if (current.empty()) return std::nullopt;  // an empty entry: ",," or a leading comma
      flush();
    } else if (c == ' ' || c == '\t') {
      // Joined to a neighbouring '*'; otherwise an entry ends here.
      std::size_t next = plain.find_first_not_of(" \t", i);
      const bool joins = (!current.empty() && current.back() == '*') ||
                         (next != std::string::npos && plain[next] == '*');
      if (!joins) flush();
    } else {
      current += c;
    }
  }
  flush();
  if (tokens.empty()) return std::nullopt;

  std::vector<double> heights;
  for (const std::string& token : tokens) {
    const std::size_t star = token.find('*');
    const std::optional<double> height = calc::parseNumber(token.substr(0, star));
    if (!height || !(*height > 0)) return std::nullopt;
    double count = 1;
    if (star != std::string::npos) {
      const std::optional<double> n = calc::parseNumber(token.substr(star + 1));
      if (!n || *n < 1 || *n != std::trunc(*n) || *n > 1000) return std::nullopt;
      count = *n;
    }
    heights.insert(heights.end(), static_cast<std::size_t>(count), *height);
  }
  return heights;
}

std::string floorHeightsText(const std::vector<double>& heights) {
  if (heights.empty()) return "";
  if (std::all_of(heights.begin(), heights.end(), [&](double h) { return h == heights[0]; })) {
    return calc::numberToText(heights[0]);
  }
  return calc::heightRuns(heights);
}

std::optional<std::string> adaptFloorHeights(std::string_view text, int floors) {
  const std::optional<std::vector<double>> heights = parseFloorHeights(text);
  if (!heights || floors < 2) return std::nullopt;
  const std::vector<double>& h = *heights;
  if (h.size() == 1) return std::nullopt;  // one height already serves any number of floors
  // Two floors keep a single height, which would lose the typical storey's; 层数 is typed digit
  // by digit (2, then 20), so that pattern must survive the first digit.
  if (floors == 2 && h.front() != h.back()) return std::nullopt;
  if (!std::all_of(h.begin() + 1, h.end(), [&](double v) { return v == h.back(); })) {
    return std::nullopt;
  }
  std::vector<double> adapted(static_cast<std::size_t>(floors - 1), h.back());
  adapted.front() = h.front();
  return floorHeightsText(adapted);
}

calc::Result<files::Project> projectFromEntries(const SystemEntries& entries) {
  std::string toml;
  for (const files::ProjectSection& s : files::projectSections()) {
    const std::string_view section = s.name;
    if (const SystemField* check = findSystemField(section);
        check && text(entries, section) != "1") {
      continue;  // a section switched off is not in the file
    }
    toml += "[" + std::string(section) + "]\n";
    for (const SystemField& f : kFields) {
      if (f.kind == FieldKind::Check || sectionOf(f.key) != section) continue;
      const std::string typed = text(entries, f.key);
      const std::string name(f.key.substr(section.size() + 1));
      if (typed.empty() && mayBeEmpty(f.key)) continue;
      if (isString(f.key)) {
        toml += name + " = " + files::tomlString(typed) + "\n";
        continue;
      }
      if (files::findProjectKey(f.key)->type == files::KeyType::Flag) {
        if (typed != "是" && typed != "否") return entryError(f, typed, "应为“是”或“否”");
        toml += name + (typed == "是" ? " = true\n" : " = false\n");
        continue;
      }
      // An empty entry is left out: optional keys take their defaults, required ones are
      // reported missing by the reader.
      if (typed.find_first_not_of(" \t") == std::string::npos) continue;
      if (f.key == "hydrant.occupancy") {
        const std::string_view value = typed == kHighWords || typed == "high"     ? "high"
                                       : typed == kOtherWords || typed == "other" ? "other"
                                                                                  : "";
        if (value.empty()) {
          return entryError(f, typed,
                            "不是可选的场所类别，请选择“" + std::string(kHighWords) + "”或“" +
                                std::string(kOtherWords) + "”");
        }
        toml += name + " = \"" + std::string(value) + "\"\n";
      } else if (const files::ProjectKey* k = files::findProjectKey(f.key);
                 k && k->type == files::KeyType::PointList) {
        // "0, 164; 40, 117; 60, 76": pairs apart by semicolons.
        std::string rest = typed;
        for (const auto& [wide, ascii] :
             {std::pair<std::string_view, char>{"；", ';'}, {"，", ','}}) {
          for (std::size_t at; (at = rest.find(wide)) != std::string::npos;) {
            rest.replace(at, wide.size(), 1, ascii);
          }
        }
        const auto number = [](std::string t) {
          const std::size_t a = t.find_first_not_of(' ');
          const std::size_t b = t.find_last_not_of(' ');
          return a == std::string::npos ? std::nullopt : calc::parseNumber(t.substr(a, b - a + 1));
        };
        std::string pairs;
        for (std::size_t from = 0; from <= rest.size();) {
          const std::size_t end = std::min(rest.find(';', from), rest.size());
          const std::string pair = rest.substr(from, end - from);
          const std::size_t comma = pair.find(',');
          const auto x = comma == std::string::npos ? std::nullopt : number(pair.substr(0, comma));
          const auto y = comma == std::string::npos ? std::nullopt : number(pair.substr(comma + 1));
          if (!x || !y) {
            return entryError(f, typed,
                              "应为以分号分开的“流量, 扬程”数对，如 0, 160; 40, 117; 60, 76");
          }
          pairs += std::string(pairs.empty() ? "" : ", ") + "[" + tomlNumber(*x) + ", " +
                   tomlNumber(*y) + "]";
          from = end + 1;
        }
        toml += name + " = [" + pairs + "]\n";
      } else if (f.key == "building.floor_heights") {
        const auto heights = parseFloorHeights(typed);
        if (!heights) {
          return entryError(f, typed,
                            "不是有效的层高，请输入一个层高或自下而上的列表，如 5.1, 3.9×16");
        }
        if (heights->size() == 1) {
          toml += "floor_height = " + shortest(heights->front()) + "\n";
        } else {
          toml += "floor_heights = [";
          for (std::size_t i = 0; i < heights->size(); ++i) {
            toml += (i ? ", " : "") + shortest((*heights)[i]);
          }
          toml += "]\n";
        }
      } else {
        const std::optional<double> v = calc::parseNumber(typed);
        if (!v) return entryError(f, typed, "不是有效的数字");
        toml += name + " = " + tomlNumber(*v) + "\n";
      }
    }
  }
  const calc::Result<files::Project> read = files::readProject(toml, kSystemFormTitle);
  if (!read.ok()) return fromReader(read.error(), entries);
  return read;
}

SystemEntries entriesFromProject(const files::Project& p) {
  // A section the file leaves out is switched off and shows the example's values.
  SystemEntries e = defaultSystemEntries();
  for (const files::ProjectSection& s : files::projectSections()) {
    const bool present = files::sectionPresent(p, s.name);
    if (s.optional) e[std::string(s.name)] = present ? "1" : "0";
    if (!present) continue;
    for (const files::ProjectKey& k : files::projectKeys()) {
      if (k.section != s.name || k.need == files::Need::Alias || !inForm(k)) continue;
      const files::KeyValue value = k.get(p);
      std::string& shown = e[k.path()];
      if (const auto* v = std::get_if<double>(&value)) {
        shown = calc::numberToText(*v);
        // As the list shows it: 0.1 as "0.10".
        for (const std::string& item : systemFieldItems(*findSystemField(k.path()))) {
          if (calc::parseNumber(item) == *v) shown = item;
        }
      } else if (const auto* text = std::get_if<std::string>(&value)) {
        shown = *text;
      } else if (const auto* list = std::get_if<std::vector<double>>(&value);
                 list && k.type == files::KeyType::PointList) {
        shown.clear();
        for (std::size_t i = 0; i + 1 < list->size(); i += 2) {
          shown += (i ? "; " : "") + calc::numberToText((*list)[i]) + ", " +
                   calc::numberToText((*list)[i + 1]);
        }
      } else if (const auto* list = std::get_if<std::vector<double>>(&value)) {
        shown = floorHeightsText(*list);
      } else if (const auto* flag = std::get_if<bool>(&value)) {
        shown = *flag ? "是" : "否";
      } else {
        shown.clear();  // an optional number not given
      }
    }
  }
  e["hydrant.occupancy"] =
      p.inputs.hydrant.occupancy == calc::Occupancy::High ? kHighWords : kOtherWords;
  return e;
}

SystemForm::SystemForm(SystemView& view) : view_(view) { view_.connect(*this); }

void SystemForm::Form_Load(const SystemSession& session) {
  for (const SystemField& f : kFields) {
    for (const std::string& item : systemFieldItems(f)) view_.appendItem(f.key, item);
  }
  session_ = session;
  if (session_.entries.empty()) {
    session_.saved = session_.entries = defaultSystemEntries();
    session_.path.clear();
    session_.readOnly = false;
    // The project used last, when it still opens; else a new one.
    if (const std::string last = view_.rememberedProjectPath(); !last.empty()) {
      if (const auto p = files::loadProject(last); p.ok()) {
        session_.saved = session_.entries = entriesFromProject(p.value());
        session_.path = last;
      }
    }
  }
  if (session_.path.empty()) {
    // A new project's hydrant is the main window's; taking it is no change of the project.
    takeHydrantEntries(session_.hydrant, session_.entries);
    takeHydrantEntries(session_.hydrant, session_.saved);
  }
  SystemEntries all = defaultSystemEntries();
  for (const auto& [key, value] : session_.entries) {
    if (findSystemField(key)) all[key] = value;
  }
  show(all);
  clearResults();
  updateTitle();
}

SystemSession SystemForm::session() const {
  SystemSession s = session_;
  s.entries = entries();
  return s;
}

bool SystemForm::modified() const { return entries() != session_.saved; }

std::string SystemForm::projectName() const {
  if (session_.readOnly) return std::string(kExampleProjectName);
  if (session_.path.empty()) return "未命名";
  return session_.path.substr(session_.path.find_last_of("/\\") + 1);
}

void SystemForm::updateTitle() {
  std::string name = projectName();
  if (session_.readOnly) name += "（只读）";
  if (modified()) name += "*";
  view_.setTitle(name + " - " + std::string(kSystemFormTitle));
}

void SystemForm::adopt(const SystemEntries& entries, std::string path, bool readOnly) {
  session_.saved = entries;
  session_.path = std::move(path);
  session_.readOnly = readOnly;
  if (!readOnly && !session_.path.empty()) view_.rememberProjectPath(session_.path);
  updateTitle();
}

void SystemForm::entryChanged() { updateTitle(); }

bool SystemForm::closeRequested() {
  if (!modified()) return true;
  switch (view_.askYesNoCancel("保存对“" + projectName() + "”的更改？")) {
    case SystemView::Answer::Yes:
      return save(false);
    case SystemView::Answer::No:
      return true;
    case SystemView::Answer::Cancel:
      break;
  }
  return false;
}

void SystemForm::cmdOpenExample_Click() {
  if (!closeRequested()) return;
  const SystemEntries example = defaultSystemEntries();
  show(example);
  clearResults();
  adopt(example, "", true);
}

void SystemForm::show(const SystemEntries& entries) {
  for (const SystemField& f : kFields) {
    const auto it = entries.find(f.key);
    if (it == entries.end()) continue;
    if (f.kind == FieldKind::Check) {
      view_.setChecked(f.key, it->second == "1");
    } else {
      view_.setEntry(f.key, it->second);
    }
  }
  for (const files::ProjectSection& s : files::projectSections()) {
    if (s.optional) sectionToggled(s.name);
  }
}

SystemEntries SystemForm::entries() const {
  SystemEntries e;
  for (const SystemField& f : kFields) {
    e[std::string(f.key)] =
        f.kind == FieldKind::Check ? (view_.isChecked(f.key) ? "1" : "0") : view_.entry(f.key);
  }
  return e;
}

void SystemForm::clearResults() {
  view_.setSummary("");
  view_.setFloorRows({});
  view_.setCheckRows({});
}

std::optional<files::Project> SystemForm::readEntries() {
  calc::Result<files::Project> p = projectFromEntries(entries());
  if (!p.ok()) {
    clearResults();  // they described other entries
    view_.showMessage(p.error().message);
    if (findSystemField(p.error().field)) view_.focusEntry(p.error().field);
    return std::nullopt;
  }
  files::Project project = p.value();
  files::Project kept;
  kept.title = title_;
  for (const files::ProjectKey& k : files::projectKeys()) {
    if (!inForm(k)) k.set(project, k.get(kept));
  }
  return project;
}

void SystemForm::cmdCalculate_Click() {
  const std::optional<files::Project> p = readEntries();
  if (!p) return;
  const calc::Result<calc::SystemResult> run = calc::calculateSystem(p->inputs);
  if (!run.ok()) {
    clearResults();
    view_.showMessage(run.error().message);
    return;
  }
  const calc::SystemResult& r = run.value();

  double maxStatic = -1;
  for (const calc::SystemFloor& f : r.floors) {
    if (f.staticPressure) maxStatic = std::max(maxStatic, *f.staticPressure);
  }
  std::string summary = "水泵流量 " + f2(r.pump.flow) + " L/s，计算扬程 " + f2(r.pump.head) +
                        " m（" + mpa(r.pump.head) + " MPa），选用扬程 " + f2(r.pump.selectedHead) +
                        " m（" + mpa(r.pump.selectedHead) + " MPa）；系统工作压力 " +
                        mpa(r.workingPressure) + " MPa；最大静压 ";
  summary += maxStatic >= 0 ? mpa(maxStatic) + " MPa" : "—（未设高位水箱或稳压泵）";

  std::vector<SystemFloorRow> floors;
  for (auto it = r.floors.rbegin(); it != r.floors.rend(); ++it) {
    const calc::SystemFloor& f = *it;
    std::string hole = "—", after = "—";
    if (f.orifice) {
      hole = calc::formatFixed(f.orifice->holeDiameter, 0) + "（" + calc::holeDigits(*f.orifice) +
             "）" + (f.orifice->ok ? "" : "*");
      after = mpa(f.orifice->afterPressure);
    }
    floors.push_back(
        {{std::to_string(f.floor), f2(f.elevation), f.staticPressure ? mpa(*f.staticPressure) : "—",
          mpa(f.zeroFlowPressure), mpa(f.dynamicPressure),
          std::string(calc::reducingWords(f.reducing)), hole, after, mpa(f.singleHydrantPressure)},
         f.reducing != calc::Reducing::None});
  }
  std::vector<SystemCheckRow> checks;
  int failed = 0;
  // The hydrant's own checks (hose and nozzle of 7.4.2, the flow of 3.5.2) first, then the
  // system's.
  std::vector<calc::DesignCheck> all;
  for (const calc::DesignCheck& c : r.design.checks) {
    if (c.id == "hose" || c.id == "nozzle" || c.id == "minFlow") all.push_back(c);
  }
  all.insert(all.end(), r.checks.begin(), r.checks.end());
  for (const calc::DesignCheck& c : all) {
    const bool fail = c.verdict == calc::Verdict::Fail;
    failed += fail;
    checks.push_back({c.clause, std::string(calc::verdictWords(c.verdict)), c.text, fail});
  }
  if (failed > 0) summary += "；" + std::to_string(failed) + " 项不满足";
  view_.setSummary(summary);
  view_.setFloorRows(floors);
  view_.setCheckRows(checks);
}

void SystemForm::cmdOpen_Click() {
  if (!closeRequested()) return;
  const std::optional<std::string> path = view_.askOpenProjectPath();
  if (!path) return;
  const calc::Result<files::Project> p = files::loadProject(*path);
  if (!p.ok()) {
    view_.showMessage(openMessage(p.error(), *path));
    return;
  }
  title_ = p.value().title;
  const SystemEntries opened = entriesFromProject(p.value());
  show(opened);
  clearResults();  // they described the entries before
  adopt(opened, *path, false);
}

void SystemForm::cmdSave_Click() { save(true); }

// The read-only example and a new project are saved under a new name (另存为); a project that
// has its file is saved into it without a dialog unless `ask`.
bool SystemForm::save(bool ask) {
  const std::optional<files::Project> p = readEntries();
  if (!p) return false;
  const bool named = !session_.path.empty() && !session_.readOnly;
  const std::optional<std::string> path =
      named && !ask
          ? session_.path
          : view_.askSaveProjectPath(named ? session_.path : std::string(kProjectFileName));
  if (!path) return false;
  if (const auto reason = files::saveProject(*path, *p)) {
    view_.showMessage(*reason);
    return false;
  }
  adopt(entries(), *path, false);
  return true;
}

// The sheet of `hydrant-calc-cli --system FILE --report R` for the entries: the same request,
// with the project, designer and the hydrant's check settings as the sheet dialog confirms them.
void SystemForm::cmdSheet_Click() {
  std::optional<files::Project> p = readEntries();
  if (!p) return;
  calc::SystemInputs& in = p->inputs;
  SheetOptions options;
  options.occupancy = in.hydrant.occupancy;
  options.streams = sheetStreams_;
  options.minFlow = in.hydrant.minFlow;
  // The project's own fields win; the ones it leaves empty come from the last sheet.
  options.title = calc::overlaid(view_.rememberedTitle(), p->title);
  if (!view_.askSheetOptions(options)) return;
  view_.rememberTitle(options.title);
  title_ = options.title;
  sheetStreams_ = options.streams;
  in.hydrant.occupancy = options.occupancy;
  in.hydrant.streams = options.streams;
  in.hydrant.minFlow = options.minFlow;

  sheet::SheetRequest request;
  request.title = options.title;
  request.date = files::todayText();
  const calc::Result<std::string> html = sheet::makeSystemSheet(in, request);
  if (!html.ok()) {
    view_.showMessage(html.error().message);
    return;
  }
  const std::optional<std::string> path = view_.askSaveSheetPath(kSystemSheetFileName);
  if (!path) return;
  if (!session_.path.empty() && files::sameFile(*path, session_.path)) {
    view_.showMessage("计算书不能保存到项目文件“" + *path + "”，否则项目会被覆盖。");
    return;
  }
  if (const auto reason = files::writeFileAtomically(*path, html.value())) {
    view_.showMessage(*reason);
    return;
  }
  if (view_.askYesNo("计算书已保存到“" + *path + "”。\n是否现在打开？")) view_.openFile(*path);
}

void SystemForm::dnChanged(std::string_view key) {
  const std::optional<double> dn = calc::parseNumber(view_.entry(key));
  if (!dn || *dn != std::trunc(*dn) || *dn < 1 || *dn > 10000) return;
  if (const auto row = calc::weldedSteelPipe(static_cast<int>(*dn))) {
    view_.setEntry(std::string(sectionOf(key)) + ".inner_diameter",
                   calc::numberToText(row->innerDiameter));
  }
}

void SystemForm::floorsChanged() {
  const std::optional<double> floors = calc::parseNumber(view_.entry("building.floors"));
  if (!floors || *floors != std::trunc(*floors) || *floors < 2 || *floors > 1000) return;
  const std::string key = "building.floor_heights";
  if (const auto adapted = adaptFloorHeights(view_.entry(key), static_cast<int>(*floors))) {
    view_.setEntry(key, *adapted);
  }
}

void SystemForm::sectionToggled(std::string_view section) {
  const bool on = view_.isChecked(section);
  for (const SystemField& f : kFields) {
    if (f.kind != FieldKind::Check && sectionOf(f.key) == section) view_.setEnabled(f.key, on);
  }
}

}  // namespace ui
