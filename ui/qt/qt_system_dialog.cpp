#include "ui/qt/qt_system_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <stdexcept>

#include "ui/qt/qt_window.h"
#include "ui/system_form.h"

namespace ui {
namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Marked floors: the rows whose outlet needs reducing, in a light red behind black text.
const QColor kMarked(255, 221, 221);
// Failed checks: red text.
const QColor kFailed(192, 0, 0);

QTableWidget* makeTable(QWidget* parent, const char* name,
                        std::span<const std::string_view> columns) {
  auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
  table->setObjectName(name);
  QStringList captions;
  for (std::string_view c : columns) captions << qs(c);
  table->setHorizontalHeaderLabels(captions);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(18);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setWordWrap(false);
  return table;
}

}  // namespace

QtSystemDialog::QtSystemDialog(QWidget* parent, QStyle* style) : QDialog(parent) {
  setObjectName("SystemForm");
  setWindowTitle(qs(kSystemFormTitle));
  setFont(qt::windowFont());

  // Two pages of group boxes, in the columns the Win32 form uses too.
  pages_ = new QTabWidget(this);
  pages_->setObjectName("pages");
  const std::vector<int> groupColumns = systemGroupColumns();
  const std::vector<int> groupPages = systemGroupPages();
  std::vector<std::vector<QVBoxLayout*>> columns;
  for (std::string_view caption : systemPages()) {
    auto* page = new QWidget(pages_);
    auto* columnsRow = new QHBoxLayout(page);
    std::vector<QVBoxLayout*>& onPage = columns.emplace_back();
    for (std::size_t g = 0; g < groupColumns.size(); ++g) {
      if (groupPages[g] != pages_->count()) continue;
      while (static_cast<int>(onPage.size()) <= groupColumns[g]) {
        onPage.push_back(new QVBoxLayout);
        columnsRow->addLayout(onPage.back(), 1);
      }
    }
    pages_->addTab(page, qs(caption));
  }
  const std::span<const std::string_view> groups = systemGroups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    QWidget* page = pages_->widget(groupPages[g]);
    auto* box = new QGroupBox(qs(groups[g]), page);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(1);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const SystemField& f : systemFields()) {
      if (f.group != groups[g]) continue;
      const std::string key(f.key);
      QWidget* w = nullptr;
      switch (f.kind) {
        case FieldKind::Check: {
          auto* check = new QCheckBox(qs(f.caption), box);
          QObject::connect(check, &QCheckBox::clicked, this, [this, key] {
            if (events_) events_->sectionToggled(key), events_->entryChanged();
          });
          grid->addWidget(check, row++, 0, 1, 2);
          w = check;
          break;
        }
        case FieldKind::Combo: {
          auto* combo = new QComboBox(box);
          combo->setEditable(true);
          combo->setInsertPolicy(QComboBox::NoInsert);
          combo->setCompleter(nullptr);
          if (key.ends_with(".dn")) {
            QObject::connect(combo, &QComboBox::currentTextChanged, this, [this, key] {
              if (events_) events_->dnChanged(key);
            });
          }
          QObject::connect(combo, &QComboBox::currentTextChanged, this, [this] {
            if (events_) events_->entryChanged();
          });
          w = combo;
          break;
        }
        case FieldKind::Text: {
          auto* edit = new QLineEdit(box);
          if (key == "building.floors") {
            QObject::connect(edit, &QLineEdit::textEdited, this, [this] {
              if (events_) events_->floorsChanged();
            });
          }
          QObject::connect(edit, &QLineEdit::textEdited, this, [this] {
            if (events_) events_->entryChanged();
          });
          w = edit;
          break;
        }
      }
      w->setObjectName(qs(f.key));
      if (!f.tooltip.empty()) w->setToolTip(qs(f.tooltip));
      if (f.kind != FieldKind::Check) {
        w->setFixedWidth(key == "hydrant.occupancy"                                       ? 150
                         : key == "building.floor_heights" || key.starts_with("project.") ? 128
                                                                                          : 72);
        auto* label = new QLabel(qs(f.caption), box);
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        grid->addWidget(w, row++, 1, Qt::AlignLeft);
      }
      fields_.emplace(key, w);
    }
    columns[static_cast<std::size_t>(groupPages[g])][static_cast<std::size_t>(groupColumns[g])]
        ->addWidget(box);
  }

  // In one row right of the result line, so that the columns hold the entries alone.
  auto* buttons = new QHBoxLayout;
  const struct {
    const char* name;
    const char* caption;
    void (SystemEvents::*event)();
  } kButtons[] = {
      {"cmdCalculate", "计 算", &SystemEvents::cmdCalculate_Click},
      {"cmdOpen", "打开…", &SystemEvents::cmdOpen_Click},
      {"cmdSave", "保存…", &SystemEvents::cmdSave_Click},
      {"cmdSheet", "生成计算书…", &SystemEvents::cmdSheet_Click},
      {"cmdClose", "关闭", nullptr},
  };
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(b.caption, this);
    button->setObjectName(b.name);
    button->setMinimumWidth(84);
    if (b.event) {
      QObject::connect(button, &QPushButton::clicked, this, [this, event = b.event] {
        if (events_) (events_->*event)();
      });
    } else {
      QObject::connect(button, &QPushButton::clicked, this, &QDialog::reject);
    }
    button->setAutoDefault(false);
    button->setDefault(b.event == &SystemEvents::cmdCalculate_Click);  // Enter calculates
    buttons->addWidget(button);
  }
  for (auto& onPage : columns) {
    for (QVBoxLayout* c : onPage) c->addStretch(1);
  }

  summary_ = new QLabel(this);
  summary_->setObjectName("summary");
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Two lines beside the buttons (setSummary breaks it), room for them kept when empty. Not word
  // wrapped: a wrapping label's height-for-width would squeeze the entries above.
  summary_->setMinimumHeight(summary_->fontMetrics().boundingRect(QRect(), 0, "计\n算").height());
  floors_ = makeTable(this, "floorGrid", systemFloorColumns());
  checks_ = makeTable(this, "checkList", systemCheckColumns());
  floors_->setMinimumHeight(100);
  checks_->setMinimumHeight(100);
  // Every caption and cell whole: the columns take the width of their widest text.
  floors_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  floors_->setMinimumWidth(590);
  // 条文 and 结论 as wide as their widest words (不满足) in the form's font.
  checks_->setColumnWidth(0, checks_->fontMetrics().horizontalAdvance("7.4.12-2 ") + 16);
  checks_->setColumnWidth(1, checks_->fontMetrics().horizontalAdvance("不满足") + 16);
  checks_->horizontalHeader()->setStretchLastSection(true);

  auto* results = new QGroupBox("计算结果", this);
  auto* resultsLayout = new QVBoxLayout(results);
  auto* top = new QHBoxLayout;
  top->addWidget(summary_, 1);
  top->addLayout(buttons);
  resultsLayout->addLayout(top);
  auto* grids = new QHBoxLayout;
  grids->addWidget(floors_, 0);
  grids->addWidget(checks_, 1);
  resultsLayout->addLayout(grids);

  auto* menuBar = new QMenuBar(this);
  QMenu* file = menuBar->addMenu("文件(&F)");
  const struct {
    const char* text;
    void (SystemEvents::*event)();
  } kMenu[] = {{"打开(&O)…", &SystemEvents::cmdOpen_Click},
               {"打开示例(&E)", &SystemEvents::cmdOpenExample_Click},
               {"保存(&S)…", &SystemEvents::cmdSave_Click},
               {"生成计算书(&R)…", &SystemEvents::cmdSheet_Click}};
  for (const auto& m : kMenu) {
    QObject::connect(file->addAction(m.text), &QAction::triggered, this, [this, event = m.event] {
      if (events_) (events_->*event)();
    });
  }
  file->addSeparator();
  QObject::connect(file->addAction("退出(&X)"), &QAction::triggered, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addWidget(pages_);
  layout->addWidget(results, 1);

  if (style) {
    setStyle(style);
    for (QWidget* w : findChildren<QWidget*>()) w->setStyle(style);
  }
  // No smaller than what the layout needs, as entries show and the result line wraps (the
  // layout keeps the minimum up to date); the size the user left it with.
  adjustSize();
  setSizeGripEnabled(true);
  const QSize kept =
      QSettings(kSettingsOrganization, kSettingsApplication).value(kSizeKey).toSize();
  resize(std::max(sizeHint().width(), 960), sizeHint().height());
  if (kept.isValid()) resize(kept.expandedTo(minimumSize()).boundedTo(QSize(20000, 20000)));
}

void QtSystemDialog::reject() {
  if (events_ && !events_->closeRequested()) return;
  QDialog::reject();
}

void QtSystemDialog::setTitle(std::string_view title) { setWindowTitle(qs(title)); }

SystemView::Answer QtSystemDialog::askYesNoCancel(std::string_view prompt) {
  QMessageBox box(QMessageBox::NoIcon, qs(kAppTitle), qs(prompt),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setTextFormat(Qt::PlainText);
  box.setObjectName("MessageBox");
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::string QtSystemDialog::rememberedProjectPath() {
  return QSettings(kSettingsOrganization, kSettingsApplication)
      .value(kLastProjectKey)
      .toString()
      .toStdString();
}

void QtSystemDialog::rememberProjectPath(const std::string& path) {
  QSettings(kSettingsOrganization, kSettingsApplication)
      .setValue(kLastProjectKey, QString::fromStdString(path));
}

calc::TitleBlock QtSystemDialog::rememberedTitle() { return qt::rememberedTitle(); }

void QtSystemDialog::rememberTitle(const calc::TitleBlock& title) { qt::rememberTitle(title); }

void QtSystemDialog::done(int result) {
  QSettings(kSettingsOrganization, kSettingsApplication).setValue(kSizeKey, size());
  QDialog::done(result);
}

QWidget* QtSystemDialog::widget(std::string_view key) const {
  const auto it = fields_.find(key);
  if (it == fields_.end())
    throw std::logic_error("the system form has no entry " + std::string(key));
  return it->second;
}

void QtSystemDialog::connect(SystemEvents& events) { events_ = &events; }

std::string QtSystemDialog::entry(std::string_view key) const {
  QWidget* w = widget(key);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
  throw std::logic_error(std::string(key) + " holds no text");
}

void QtSystemDialog::setEntry(std::string_view key, std::string_view text) {
  QWidget* w = widget(key);
  const QSignalBlocker quiet(w);  // raises nothing, as SystemView promises
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(qs(text));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setCurrentIndex(combo->findText(qs(text), Qt::MatchExactly));
    combo->setEditText(qs(text));
  }
}

void QtSystemDialog::appendItem(std::string_view key, std::string_view item) {
  auto* combo = qobject_cast<QComboBox*>(widget(key));
  if (!combo) throw std::logic_error(std::string(key) + " has no list");
  const QSignalBlocker quiet(combo);
  const QString keep = combo->currentText();
  combo->addItem(qs(item));
  combo->setEditText(keep);
}

bool QtSystemDialog::isChecked(std::string_view section) const {
  return qobject_cast<QCheckBox*>(widget(section))->isChecked();
}

void QtSystemDialog::setChecked(std::string_view section, bool checked) {
  auto* check = qobject_cast<QCheckBox*>(widget(section));
  const QSignalBlocker quiet(check);
  check->setChecked(checked);
}

void QtSystemDialog::setEnabled(std::string_view key, bool enabled) {
  widget(key)->setEnabled(enabled);
}

void QtSystemDialog::focusEntry(std::string_view key) {
  QWidget* w = widget(key);
  if (const SystemField* f = findSystemField(key)) pages_->setCurrentIndex(f->page);
  w->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
  if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
    combo->lineEdit()->selectAll();
  }
}

// The pump's figures on the first line, the pressures and the count on the second.
void QtSystemDialog::setSummary(std::string_view text) {
  QString lines = qs(text);
  if (const qsizetype at = lines.indexOf(u'；'); at >= 0) lines.insert(at + 1, u'\n');
  summary_->setText(lines);
}

void QtSystemDialog::setFloorRows(const std::vector<SystemFloorRow>& rows) {
  floors_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].cells.size(); ++c) {
      auto* item = new QTableWidgetItem(qs(rows[r].cells[c]));
      item->setTextAlignment(c == 5 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
      if (rows[r].marked) item->setBackground(kMarked);
      floors_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
}

void QtSystemDialog::setCheckRows(const std::vector<SystemCheckRow>& rows) {
  checks_->setRowCount(static_cast<int>(rows.size()));
  QTableWidgetItem* firstFailed = nullptr;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int c = 0;
    for (const std::string* cell : {&rows[r].clause, &rows[r].verdict, &rows[r].text}) {
      auto* item = new QTableWidgetItem(qs(*cell));
      item->setToolTip(qs(rows[r].text));  // the sentence is longer than the column
      if (rows[r].failed) item->setForeground(kFailed);
      checks_->setItem(static_cast<int>(r), c++, item);
      if (rows[r].failed && !firstFailed) firstFailed = item;
    }
  }
  if (firstFailed) {
    checks_->doItemsLayout();  // the new rows' places, before scrolling to one
    checks_->scrollToItem(firstFailed);
  }
}

void QtSystemDialog::showMessage(std::string_view prompt) { qt::showMessage(this, prompt); }

bool QtSystemDialog::askYesNo(std::string_view prompt) { return qt::askYesNo(this, prompt); }

std::optional<std::string> QtSystemDialog::askOpenProjectPath() {
  return qt::askOpenPath(this, "打开", qs(kProjectFileFilter));
}

std::optional<std::string> QtSystemDialog::askSaveProjectPath(std::string_view fileName) {
  return qt::askSavePath(this, "保存", fileName, qs(kProjectFileFilter));
}

bool QtSystemDialog::askSheetOptions(SheetOptions& options) {
  return qt::askSheetOptions(this, options);
}

std::optional<std::string> QtSystemDialog::askSaveSheetPath(std::string_view fileName) {
  return qt::askSavePath(this, "生成计算书", fileName, "HTML (*.html *.htm)");
}

void QtSystemDialog::openFile(const std::string& path) { qt::openFile(path); }

}  // namespace ui
