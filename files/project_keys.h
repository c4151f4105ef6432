#pragma once
// Every key of the project file, declared once: its section, caption, unit, type, default,
// range, meaning and clause, and where its value lives in a Project. The reader, the writer,
// the system form's fields and pages, the sheet's table of inputs and the manual's key table follow
// from these rows; adding a key is one row here and its use in calc/.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/system.h"
#include "calc/title_block.h"

namespace files {

struct Project {
  calc::TitleBlock title;  // [project], its keys those of calc::kTitleFields
  calc::SystemInputs inputs;
  bool operator==(const Project&) const = default;
};

enum class KeyType {
  Number,      // a TOML integer or float
  Integer,     // a TOML integer
  Text,        // a TOML string, at most `range.max` characters
  Choice,      // a TOML string, one of `choices`
  NumberList,  // an array of numbers, each within `range`
  Flag,        // a TOML boolean
  PointList,   // an array of [x, y] pairs of numbers, each within `range`; held flat x, y, x, y
};

enum class Need {
  Required,     // the file must give it
  Optional,     // absent: the default, or none where the project may go without
  WithSection,  // required when its (optional) section is given
  Alias,        // another way to give a key: read, never written or shown in the form
};

struct KeyRange {
  double min = 0;
  double max = 0;
  bool minOpen = false;  // min itself is outside
  bool maxOpen = false;
  bool contains(double v) const;
};

// A key's value: absent (monostate), a number (also integers and list counts), a text or
// choice, a list of numbers, or a flag.
using KeyValue = std::variant<std::monostate, double, std::string, std::vector<double>, bool>;

struct ProjectKey {
  std::string_view section;  // "riser"
  std::string_view name;     // "dn"
  std::string_view caption;  // "管径DN", as the form and the sheet label it
  std::string_view unit;     // "mm"; "" for a pure number or a text
  KeyType type;
  Need need;
  std::string_view example;      // the worked example's value as the form offers it
  KeyRange range;                // numbers, list entries; texts: characters in range.max
  std::string_view choices;      // Choice: the file's values, '|' between
  std::string_view suggestions;  // the form's list of common values, '|' between
  std::string_view tooltip;      // what it means, in a designer's words
  std::string_view clause;       // GB 50974-2014 clause behind it, "" for none
  KeyValue (*get)(const Project&);
  void (*set)(Project&, const KeyValue&);
  // A calculation book entry (pool, tank, stabilizer, pump pipes): the form's group box that
  // holds it on the form's second page. "" for a hydraulic entry, shown in its section's group.
  std::string_view bookGroup = {};

  std::string path() const;  // "riser.dn"
};

struct ProjectSection {
  std::string_view name;     // "tank"
  std::string_view caption;  // "高位消防水箱", as messages name it
  std::string_view group;    // the form's group box
  bool optional;             // given or not, the whole section is part of the project or not
};

// Sections in the order the file is written, keys in the order of their section.
std::span<const ProjectSection> projectSections();
std::span<const ProjectKey> projectKeys();
const ProjectKey* findProjectKey(std::string_view path);
const ProjectSection* findProjectSection(std::string_view name);

// "应在 60 至 160 之间" and the like, with the unit.
std::string rangeWords(const ProjectKey& key);

// Whether an optional section is part of the project.
bool sectionPresent(const Project& project, std::string_view section);

}  // namespace files
