#include "ui/qt/qt_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QIcon>
#include <QIconEngine>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QTranslator>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

#include "ui/main_menu.h"
#include "ui/qt/qt_system_dialog.h"
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

// Enter on the focused button clicks it, as on a classic Windows form; Qt's push buttons
// outside a dialog take only Space. (Auto-default would do it too, but changes the frame.)
class CommandButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

// A text box that shows its text from the first character after every write and whenever
// the focus leaves it (Qt scrolls a long text to its end, which hides its leading digits),
// with the whole text as tooltip when it does not fit.
class TextBox final : public QLineEdit {
 public:
  TextBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    QObject::connect(this, &QLineEdit::textChanged, this, [this] { followText(); });
  }

  void showFromStart() {
    setCursorPosition(0);
    followText();
  }

 protected:
  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
  }
  void resizeEvent(QResizeEvent* event) override {
    QLineEdit::resizeEvent(event);
    followText();
  }

 private:
  void followText() {
    QStyleOptionFrame option;
    initStyleOption(&option);
    // The room QLineEdit draws text in: its contents less the text margins and its own 2 px
    // on either side.
    const int room = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width() -
                     4 - textMargins().left() - textMargins().right();
    setToolTip(fontMetrics().horizontalAdvance(text()) > room ? text() : QString());
  }
};

// The program icon: the committed PNGs compiled in from packaging/icons (ui/CMakeLists.txt).
// A file is read only when the platform asks for a size: the offscreen platform never does,
// and start-up does not pay for probing pictures nobody shows (QIcon::addFile opens each).
class IconFilesEngine final : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = qMax(1, qMin(size.width(), size.height()));
    auto it = cache_.find(side);
    if (it == cache_.end()) {
      // The smallest file not below the size asked for (else the largest), scaled to it.
      const int* file = std::find_if(std::begin(kSizes), std::end(kSizes) - 1,
                                     [side](int s) { return s >= side; });
      QPixmap pm(QStringLiteral(":/icons/hydrant-calc-%1.png").arg(*file));
      if (*file != side) pm = pm.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      it = cache_.emplace(side, pm).first;
    }
    return it->second;
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int s : kSizes) sizes.append(QSize(s, s));
    return sizes;
  }
  QIconEngine* clone() const override { return new IconFilesEngine(*this); }
  QString key() const override { return QStringLiteral("hydrant-calc-files"); }

 private:
  static constexpr int kSizes[] = {16, 24, 32, 48, 64};
  std::map<int, QPixmap> cache_;
};

QIcon appIcon() { return QIcon(new IconFilesEngine); }

bool takesFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::ComboBox ||
         kind == ControlKind::CommandButton;
}

}  // namespace

QtWindow::QtWindow() { build(); }

QtWindow::~QtWindow() = default;

void QtWindow::build() {
  frame_ = std::make_unique<QMainWindow>();
  frame_->setObjectName("MainWindow");
  frame_->setWindowTitle(qs(kAppTitle));
  frame_->setWindowIcon(appIcon());
  frame_->setFont(windowFont());
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
      case ControlKind::TextBox: {
        auto* box = new TextBox(qs(creationText(desc)), parent);
        if (desc.name == "Text9") {
          QObject::connect(box, &QLineEdit::textChanged, box, [this] {
            if (events_) events_->Text9_Change();
          });
        }
        w = box;
        break;
      }
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
        auto* button = new CommandButton(qs(desc.caption), parent);
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

  frame_->setCentralWidget(form_.get());
  buildMenuBar();
  buildStatusBar();
  // The form's fixed size and the menu bar's height, nothing more.
  frame_->layout()->setSizeConstraint(QLayout::SetFixedSize);

  // Given to the lowest tab position once the window becomes active.
  require({chain.front().name, chain.front().index})->setFocus();

#ifndef Q_OS_WIN
  // Frame captions sit on the frame's border line in the classic Windows style; Linux's
  // default style puts them above it, which moves the frames' contents away from them.
  classicStyle_.reset(QStyleFactory::create("Windows"));
  if (classicStyle_) {
    frame_->setStyle(classicStyle_.get());
    for (QWidget* w : frame_->findChildren<QWidget*>()) w->setStyle(classicStyle_.get());
  }
#endif
}

void QtWindow::buildMenuBar() {
  QMenuBar* bar = frame_->menuBar();
  for (const Menu& menu : kMainMenu) {
    QMenu* popup = bar->addMenu(qs(menu.title));
    for (const MenuItem& item : menu.items) {
      if (item.separatorBefore) popup->addSeparator();
      QAction* action = popup->addAction(qs(item.text));
      if (!item.shortcut.empty()) action->setShortcut(QKeySequence(qs(item.shortcut)));
      QObject::connect(action, &QAction::triggered, frame_.get(), [this, command = item.command] {
        if (events_) raiseMenuCommand(*events_, command);
      });
    }
  }
}

void QtWindow::buildStatusBar() {
  QStatusBar* bar = frame_->statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(false);  // the window has a fixed size
  status_ = new QLabel(bar);
  status_->setObjectName("StatusText");
  status_->setTextFormat(Qt::PlainText);
  // Two lines high whether empty or not, and never wider than the form: the window keeps its
  // size, a longer line is cut and shown whole as the tooltip.
  status_->setMinimumHeight(2 * status_->fontMetrics().lineSpacing());
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  bar->addWidget(status_, 1);
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

void QtWindow::show() { frame_->show(); }

void QtWindow::connect(FormEvents& events) { events_ = &events; }

std::string QtWindow::text(ControlId id) const {
  QWidget* w = require(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
  throw std::logic_error(qualifiedName(id.name, id.index) + " holds no text");
}

void QtWindow::setText(ControlId id, std::string_view text) {
  QWidget* w = require(id);
  if (auto* edit = dynamic_cast<TextBox*>(w)) {
    edit->setText(qs(text));
    edit->showFromStart();
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

void QtWindow::setDimmed(ControlId id, bool dimmed) {
  QWidget* w = require(id);
  // The disabled colours on an enabled box: it looks disabled, yet stays in the tab order
  // and its text can still be selected and copied.
  QPalette palette = w->parentWidget()->palette();
  if (dimmed) {
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base}) {
      const QColor disabled = palette.color(QPalette::Disabled, role);
      palette.setColor(QPalette::Active, role, disabled);
      palette.setColor(QPalette::Inactive, role, disabled);
    }
  }
  w->setPalette(palette);
}

void QtWindow::setStatus(std::string_view designPoint, std::string_view checks) {
  const QString text = designPoint.empty() && checks.empty()
                           ? QString()
                           : qs(designPoint) + QChar('\n') + qs(checks);
  status_->setText(text);
  status_->setToolTip(text);
}

void QtWindow::showMessage(std::string_view prompt) { qt::showMessage(form_.get(), prompt); }

bool QtWindow::askSheetOptions(SheetOptions& options) {
  return qt::askSheetOptions(form_.get(), options);
}

calc::TitleBlock QtWindow::rememberedTitle() { return qt::rememberedTitle(); }

void QtWindow::rememberTitle(const calc::TitleBlock& title) { qt::rememberTitle(title); }

std::optional<std::string> QtWindow::askSavePath(std::string_view fileName) {
  return qt::askSavePath(form_.get(), qs(kSheetMenuText).chopped(1), fileName,
                         "HTML (*.html *.htm)");
}

bool QtWindow::askYesNo(std::string_view prompt) { return qt::askYesNo(form_.get(), prompt); }

void QtWindow::openFile(const std::string& path) { qt::openFile(path); }

void QtWindow::runSystemForm(SystemSession& session) {
  QtSystemDialog dialog(form_.get(), classicStyle_.get());
  SystemForm form(dialog);
  form.Form_Load(session);
  dialog.exec();
  session = form.session();
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
  choice("每支水枪最小流量：", {{"minFlow5", "5 L/s"}, {"minFlow2.5", "2.5 L/s"}});
  // The title block's fields, each a line edit named after its field.
  std::vector<QLineEdit*> edits;
  for (const calc::TitleField& field : calc::kTitleFields) {
    auto* edit = new QLineEdit(qs(options.title.*field.member), &dialog);
    edit->setObjectName(qs(field.name));
    form->addRow(qs(std::string(field.label) + "："), edit);
    edits.push_back(edit);
  }

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
  for (std::size_t i = 0; i < edits.size(); ++i) {
    options.title.*calc::kTitleFields[i].member = edits[i]->text().toStdString();
  }
  return true;
}

void loadTranslations(QCoreApplication& app) {
  // Qt's own texts (the buttons of boxes and file dialogs) from Debian's
  // qt6-translations-l10n; without the file they stay English and nothing else changes.
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
}

std::optional<std::string> askSavePath(QWidget* parent, const QString& title,
                                       std::string_view fileName, const QString& filter) {
  // A bare name goes into the documents folder; a path (a file opened before) stays.
  QString proposed = qs(fileName);
  if (QFileInfo(proposed).isRelative()) {
    proposed = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                   .filePath(proposed);
  }
  QFileDialog dialog(parent, title, proposed, filter);
  dialog.setObjectName("SaveDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without an extension gets the filter's first one, as on Windows.
  const QRegularExpressionMatch suffix = QRegularExpression(R"(\*\.(\w+))").match(filter);
  if (suffix.hasMatch()) dialog.setDefaultSuffix(suffix.captured(1));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
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

// One value per field, named by its key in the project file, so the store reads like one.
calc::TitleBlock rememberedTitle() {
  QSettings settings(QtSystemDialog::kSettingsOrganization, QtSystemDialog::kSettingsApplication);
  settings.beginGroup(kTitleGroup);
  calc::TitleBlock title;
  for (const calc::TitleField& field : calc::kTitleFields) {
    title.*field.member = settings.value(qs(field.tomlKey)).toString().toStdString();
  }
  return title;
}

void rememberTitle(const calc::TitleBlock& title) {
  QSettings settings(QtSystemDialog::kSettingsOrganization, QtSystemDialog::kSettingsApplication);
  settings.beginGroup(kTitleGroup);
  for (const calc::TitleField& field : calc::kTitleFields) {
    settings.setValue(qs(field.tomlKey), QString::fromStdString(title.*field.member));
  }
}

}  // namespace qt

void QtWindow::showAbout(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, qs(kAboutTitle), qs(text), QMessageBox::Ok, form_.get());
  box.setTextFormat(Qt::PlainText);
  // For a support mail: the version and date are selected and copied like any text.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.setObjectName("AboutBox");
  box.exec();
}

std::string QtWindow::programFolder() const {
  return (QCoreApplication::applicationDirPath() + '/').toStdString();
}

void QtWindow::close() { frame_->close(); }

}  // namespace ui
