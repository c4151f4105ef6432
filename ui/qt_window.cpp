#include "ui/qt_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "ui/app_icon.h"
#include "ui/qt_system_dialog.h"
#include "ui/system_form.h"

namespace ui {
namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The window's default font: 宋体 9 pt where it exists (Chinese Windows). Elsewhere a CJK
// font whose Latin letters are half the width of a Chinese character, as in 宋体, so the
// captions fit the label sizes of the layout (12 px per Chinese character, 6 per letter).
QFont windowFont() {
  QFont font;
  font.setFamilies({"宋体", "SimSun", "Noto Sans Mono CJK SC"});
  font.setPointSize(9);
  return font;
}

// Command1's own font: 宋体 12 pt, normal weight; a CJK serif stands in where it is missing.
QFont buttonFont() {
  QFont font;
  font.setFamilies({qs(kButtonFontFamily), "SimSun", "Noto Serif CJK SC"});
  font.setPointSize(kButtonFontPointSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

bool takesFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::ComboBox ||
         kind == ControlKind::CommandButton;
}

}  // namespace

QtWindow::QtWindow() { build(); }

QtWindow::~QtWindow() = default;

void QtWindow::build() {
  form_ = std::make_unique<QWidget>();
  form_->setObjectName(qs(kFormName));
  form_->setWindowTitle(qs(kAppTitle));
  form_->setWindowIcon(appIcon());
  form_->setFont(windowFont());
  form_->setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
  controls_.emplace(std::string(kFormName), form_.get());

  auto* options = new QButtonGroup(form_.get());
  options->setExclusive(true);

  // Frames come first in the table, so every container exists before its children.
  for (const ControlDesc& desc : form1Controls()) {
    QWidget* parent = controls_.at(std::string(desc.container));
    const int index = desc.index;
    QWidget* w = nullptr;
    switch (desc.kind) {
      case ControlKind::Frame:
        w = new QGroupBox(qs(desc.caption), parent);
        break;
      case ControlKind::Label: {
        auto* label = new QLabel(qs(desc.caption), parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        w = label;
        break;
      }
      case ControlKind::TextBox:
        w = new QLineEdit(qs(creationText(desc)), parent);
        break;
      case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);  // typed texts never join the list
        combo->setCompleter(nullptr);                 // no inline completion of typed texts
        combo->setEditText(qs(creationText(desc)));
        QObject::connect(combo, &QComboBox::editTextChanged, combo, [this, index] {
          if (events_) events_->Combo1_Change(index);
        });
        // Choosing an entry also changes the edit text, so Qt raises both; the two handlers
        // do the same idempotent work, which leaves the result of one run.
        QObject::connect(combo, &QComboBox::activated, combo, [this, index] {
          if (events_) events_->Combo1_Click(index);
        });
        w = combo;
        break;
      }
      case ControlKind::OptionButton: {
        auto* option = new QRadioButton(qs(desc.caption), parent);
        options->addButton(option, index);
        // The water-column-given mode is selected at creation; this raises no click.
        option->setChecked(desc.name == "Option1" && index == 1);
        QObject::connect(option, &QRadioButton::clicked, option, [this, index] {
          if (events_) events_->Option1_Click(index);
        });
        w = option;
        break;
      }
      case ControlKind::CommandButton: {
        auto* button = new QPushButton(qs(desc.caption), parent);
        button->setFont(buttonFont());
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button, [this] {
          if (events_) events_->Command1_Click();
        });
        // Enter on the focused button presses it, as Space does, like a classic Windows
        // form; autoDefault would do it too but draws the button with a default frame.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
          auto* enter = new QShortcut(QKeySequence(key), button);
          enter->setContext(Qt::WidgetShortcut);
          QObject::connect(enter, &QShortcut::activated, button, &QPushButton::click);
        }
        w = button;
        break;
      }
    }
    w->setObjectName(qs(qualifiedName(desc.name, index)));
    w->setGeometry(twipsToPixels(desc.left), twipsToPixels(desc.top), twipsToPixels(desc.width),
                   twipsToPixels(desc.height));
    if (!desc.visible) {
      // Explicitly hidden widgets stay hidden when the window is shown.
      w->setVisible(false);
      w->setFocusPolicy(Qt::NoFocus);
      if (auto* combo = qobject_cast<QComboBox*>(w)) combo->lineEdit()->setFocusPolicy(Qt::NoFocus);
    }
    controls_.emplace(qualifiedName(desc.name, index), w);
  }

  std::vector<ControlDesc> chain;
  for (const ControlDesc& desc : form1Controls()) {
    if (desc.visible && takesFocus(desc.kind)) chain.push_back(desc);
  }
  std::sort(chain.begin(), chain.end(),
            [](const ControlDesc& a, const ControlDesc& b) { return a.tab < b.tab; });
  for (std::size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(require({chain[i - 1].name, chain[i - 1].index}),
                         require({chain[i].name, chain[i].index}));
  }
  // The sheet's and the system form's entries live in a context menu of the form's background,
  // outside the layout; the text boxes keep their own menus.
  sheetMenu_ = new QMenu(form_.get());
  sheetMenu_->setObjectName("SheetMenu");
  QAction* sheetAction = sheetMenu_->addAction(qs(kSheetMenuText));
  QObject::connect(sheetAction, &QAction::triggered, form_.get(), [this] {
    if (events_) events_->mnuSheet_Click();
  });
  QAction* systemAction = sheetMenu_->addAction(qs(kSystemMenuText));
  QObject::connect(systemAction, &QAction::triggered, form_.get(), [this] {
    if (events_) events_->mnuSystem_Click();
  });
  form_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(form_.get(), &QWidget::customContextMenuRequested, form_.get(),
                   [this](const QPoint& at) { sheetMenu_->popup(form_->mapToGlobal(at)); });

  // Given to the lowest tab position once the window becomes active.
  require({chain.front().name, chain.front().index})->setFocus();

#ifndef Q_OS_WIN
  // Frame captions sit on the frame's border line in the classic Windows style; Linux's
  // default style puts them above it, which moves the frames' contents away from them.
  classicStyle_.reset(QStyleFactory::create("Windows"));
  if (classicStyle_) {
    form_->setStyle(classicStyle_.get());
    for (QWidget* w : form_->findChildren<QWidget*>()) w->setStyle(classicStyle_.get());
  }
#endif
}

QWidget* QtWindow::control(ControlId id) const {
  const auto it = controls_.find(qualifiedName(id.name, id.index));
  return it == controls_.end() ? nullptr : it->second;
}

QWidget* QtWindow::require(ControlId id) const {
  QWidget* w = control(id);
  if (!w) throw std::logic_error("Form1 has no control " + qualifiedName(id.name, id.index));
  return w;
}

void QtWindow::show() { form_->show(); }

void QtWindow::connect(FormEvents& events) { events_ = &events; }

std::string QtWindow::text(ControlId id) const {
  QWidget* w = require(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
  throw std::logic_error(qualifiedName(id.name, id.index) + " holds no text");
}

void QtWindow::setText(ControlId id, std::string_view text) {
  QWidget* w = require(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(qs(text));
    return;
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    // Qt raises editTextChanged only when the text differs; the handlers expect exactly one
    // change for every text set from code, so raise it here ourselves.
    {
      const QSignalBlocker quiet(combo);
      combo->setEditText(qs(text));
    }
    if (events_) events_->Combo1_Change(id.index);
    return;
  }
  throw std::logic_error(qualifiedName(id.name, id.index) + " holds no text");
}

void QtWindow::appendItem(ControlId id, std::string_view item) {
  auto* combo = qobject_cast<QComboBox*>(require(id));
  if (!combo) throw std::logic_error(qualifiedName(id.name, id.index) + " has no list");
  // Qt selects the first entry of an empty list and replaces the edit text with it; the
  // text must stay as it is and nothing may be raised.
  const QSignalBlocker quiet(combo);
  const QString keep = combo->currentText();
  combo->addItem(qs(item));
  combo->setCurrentIndex(combo->findText(keep, Qt::MatchExactly | Qt::MatchCaseSensitive));
  combo->setEditText(keep);
}

bool QtWindow::isOptionSelected(ControlId id) const {
  auto* option = qobject_cast<QRadioButton*>(require(id));
  if (!option) throw std::logic_error(qualifiedName(id.name, id.index) + " is no option button");
  return option->isChecked();
}

void QtWindow::setEnabled(ControlId id, bool enabled) { require(id)->setEnabled(enabled); }

void QtWindow::showMessage(std::string_view prompt) { qt::showMessage(form_.get(), prompt); }

bool QtWindow::askSheetOptions(SheetOptions& options) {
  return qt::askSheetOptions(form_.get(), options);
}

std::optional<std::string> QtWindow::askSavePath(std::string_view fileName) {
  return qt::askSavePath(form_.get(), qs(kSheetMenuText).chopped(1), fileName,
                         "HTML (*.html *.htm)");
}

bool QtWindow::askYesNo(std::string_view prompt) { return qt::askYesNo(form_.get(), prompt); }

void QtWindow::openFile(const std::string& path) { qt::openFile(path); }

void QtWindow::runSystemForm(SystemEntries& entries) {
  QtSystemDialog dialog(form_.get(), classicStyle_.get());
  SystemForm form(dialog);
  form.Form_Load(entries);
  dialog.exec();
  entries = form.entries();
}

namespace qt {

QFont windowFont() { return ui::windowFont(); }

void showMessage(QWidget* parent, std::string_view prompt) {
  QMessageBox box(QMessageBox::NoIcon, qs(kAppTitle), qs(prompt), QMessageBox::Ok, parent);
  // A message may quote what the user typed: "<b>19" must show as typed, not as markup.
  box.setTextFormat(Qt::PlainText);
  box.setObjectName("MessageBox");
  box.exec();
}

bool askSheetOptions(QWidget* parent, SheetOptions& options) {
  QDialog dialog(parent);
  dialog.setObjectName("SheetDialog");
  dialog.setWindowTitle(qs(kSheetMenuText).chopped(1));
  auto* form = new QFormLayout;

  // Two exclusive choices as radio buttons, each named for the tests.
  const auto choice = [&](const char* caption,
                          std::initializer_list<std::pair<const char*, QString>> buttons) {
    auto* box = new QWidget(&dialog);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(box);
    for (const auto& [name, text] : buttons) {
      auto* button = new QRadioButton(text, box);
      button->setObjectName(name);
      group->addButton(button);
      column->addWidget(button);
    }
    form->addRow(caption, box);
  };
  choice("场所类别：", {{"occupancyHigh", qs(calc::occupancyText(calc::Occupancy::High))},
                        {"occupancyOther", qs(calc::occupancyText(calc::Occupancy::Other))}});
  choice("布置方式：", {{"streams2", "两支水枪的充实水柱同时到达任何部位"},
                        {"streams1", "一支水枪的充实水柱到达任何部位"}});
  choice("每支水枪设计流量：", {{"minFlow5", "5 l/s"}, {"minFlow2.5", "2.5 l/s"}});
  auto* project = new QLineEdit(qs(options.project), &dialog);
  project->setObjectName("project");
  form->addRow("工程名称：", project);
  auto* designer = new QLineEdit(qs(options.designer), &dialog);
  designer->setObjectName("designer");
  form->addRow("设计人：", designer);

  const auto radio = [&](const char* name) { return dialog.findChild<QRadioButton*>(name); };
  radio(options.occupancy == calc::Occupancy::High ? "occupancyHigh" : "occupancyOther")
      ->setChecked(true);
  radio(options.streams == 1 ? "streams1" : "streams2")->setChecked(true);
  radio(options.minFlow == 2.5 ? "minFlow2.5" : "minFlow5")->setChecked(true);

  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* ok = buttons->addButton("确定", QDialogButtonBox::AcceptRole);
  ok->setObjectName("ok");
  ok->setDefault(true);
  buttons->addButton("取消", QDialogButtonBox::RejectRole)->setObjectName("cancel");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  options.occupancy =
      radio("occupancyHigh")->isChecked() ? calc::Occupancy::High : calc::Occupancy::Other;
  options.streams = radio("streams1")->isChecked() ? 1 : 2;
  options.minFlow = radio("minFlow2.5")->isChecked() ? 2.5 : 5;
  options.project = project->text().toStdString();
  options.designer = designer->text().toStdString();
  return true;
}

std::optional<std::string> askSavePath(QWidget* parent, const QString& title,
                                       std::string_view fileName, const QString& filter) {
  // A bare name goes into the documents folder; a path (a file opened before) stays.
  QString proposed = qs(fileName);
  if (QFileInfo(proposed).isRelative()) {
    proposed = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                   .filePath(proposed);
  }
  const QString path = QFileDialog::getSaveFileName(parent, title, proposed, filter);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> askOpenPath(QWidget* parent, const QString& title,
                                       const QString& filter) {
  const QString path = QFileDialog::getOpenFileName(
      parent, title, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), filter);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

bool askYesNo(QWidget* parent, std::string_view prompt) {
  QMessageBox box(QMessageBox::NoIcon, qs(kAppTitle), qs(prompt),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setObjectName("MessageBox");
  return box.exec() == QMessageBox::Yes;
}

void openFile(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace qt

}  // namespace ui
