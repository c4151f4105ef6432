// The calculator window on real Qt widgets, offscreen: the adapter's wiring and what the user
// sees (every control against the layout table and a few places written out by hand, fonts,
// focus, the combo boxes' events, the menus and keys on the real handlers, one calculation, its
// sheet and refused runs by click and key, the system form, the icon). What the handlers do is
// tested on the fake window. A watchdog closes every modal box and records it, so that no test
// can hang on one.

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

#include "files/project_file.h"
#include "tests/ui/expected_window.h"
#include "ui/form1.h"
#include "ui/qt/qt_system_dialog.h"
#include "ui/qt/qt_window.h"

namespace {

// The widget class each kind of control is made of, in ui::ControlKind's order.
constexpr const char* kClass[] = {"QGroupBox", "QLabel",       "QLineEdit",
                                  "QComboBox", "QRadioButton", "QPushButton"};

QString nameOf(const ui::ControlDesc& c) {
  return QString::fromStdString(ui::qualifiedName(c.name, c.index));
}

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString shownText(QWidget* w) {
  if (auto* frame = qobject_cast<QGroupBox*>(w)) return frame->title();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  return qobject_cast<QLineEdit*>(w)->text();
}

// "1" when a label's text, wrapped or not, is read whole in it.
QString shownWhole(QLabel* label) {
  const QRect room = label->contentsRect();
  const QRect need =
      QFontMetrics(label->font())
          .boundingRect(room, label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
  return QString::number(need.width() <= room.width() && need.height() <= room.height());
}

// Records and closes whatever modal widget appears, polling from the nested event loop.
class ModalWatchdog : public QObject {
 public:
  // The text only of a message box; how: a message box's text format, selectability, icon and
  // buttons ("plain Ok"), another widget's object name.
  struct Seen {
    QString title, text, how;
  };

  ModalWatchdog() { startTimer(10); }

  QList<Seen> seen;
  // Drives the modal widgets it returns true for, instead of recording and closing them.
  std::function<bool(QWidget*)> handle;

 private:
  void timerEvent(QTimerEvent*) override {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (handle && handle(modal))) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      seen.append({modal->windowTitle(), {}, modal->objectName()});
      modal->close();
      return;
    }
    QStringList how{box->textFormat() == Qt::PlainText ? "plain" : "markup"};
    // By mouse only is some styles' default; the about box asks for the keyboard too.
    if (box->textInteractionFlags() & Qt::TextSelectableByKeyboard) how << "selectable";
    if (box->icon() != QMessageBox::NoIcon) how << "icon";
    for (QAbstractButton* b : box->buttons())
      how << QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKey(box->standardButton(b));
    seen.append({box->windowTitle(), box->text(), how.join(" ")});
    box->done(QMessageBox::Ok);
  }
};

// Records the events the adapter raises, in order, instead of handling them.
class EventRecorder final : public ui::FormEvents {
 public:
  void Option1_Click(int index) override { events << QString("option %1").arg(index); }
  void Combo1_Change(int index) override { events << QString("change %1").arg(index); }
  void Combo1_Click(int index) override { events << QString("click %1").arg(index); }
  void Command1_Click() override { events << "command"; }
  void mnuSheet_Click() override { events << "sheet"; }
  void mnuExit_Click() override { events << "exit"; }
  void mnuManual_Click() override { events << "manual"; }
  void mnuAbout_Click() override { events << "about"; }
  void mnuSystem_Click() override { events << "system"; }
  void Text9_Change() override { events << "width"; }
  QStringList events;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 public slots:
  // The desktop's handler of file URLs while a test looks at what would be opened.
  void openedUrl(const QUrl& url) { opened_ << url; }

 private:
  std::unique_ptr<ui::QtWindow> window_;
  std::unique_ptr<ui::Form1> form_;
  std::unique_ptr<ModalWatchdog> watchdog_;
  QList<QUrl> opened_;
  QTemporaryDir settings_;  // the forms' QSettings, never the user's

  QWidget* form() const { return window_->form(); }
  template <class T = QWidget>
  T* find(const QString& name) const {
    T* w = form()->findChild<T*>(name);
    if (!w) qFatal("no widget %s", qPrintable(name));
    return w;
  }
  QComboBox* combo(int i) const { return find<QComboBox>(QString("Combo1(%1)").arg(i)); }
  QLineEdit* edit(const QString& name) const { return find<QLineEdit>(name); }

  // Replaces a text box's or combo box's text the way a user does: select all, type.
  void type(QWidget* w, const QString& text) {
    QLineEdit* line = qobject_cast<QLineEdit*>(w);
    if (!line) line = qobject_cast<QComboBox*>(w)->lineEdit();
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    QTest::keyClicks(line, text);
  }
  // Every text the window shows, by control name.
  QMap<QString, QString> allTexts() const {
    QMap<QString, QString> texts;
    for (const ui::ControlDesc& c : ui::form1Controls())
      texts[nameOf(c)] = shownText(find(nameOf(c)));
    return texts;
  }

  // The offscreen platform gives the window back no focus when a modal box closes.
  void activate() {
    window_->frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_->frame()));
  }
  // Right-clicks the form's background and chooses an entry of the menu that opens.
  void chooseFromContextMenu(int entry) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, {3, 3}, form()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(form(), &click);
    auto* menu = form()->findChild<QMenu*>("SheetMenu");
    QTRY_VERIFY(menu->isVisible());
    QStringList entries;
    for (QAction* a : menu->actions()) entries << a->text();
    QCOMPARE(entries, QStringList({qs(ui::kSheetMenuText), qs(ui::kSystemMenuText)}));
    menu->actions().at(entry)->trigger();
  }

 private slots:
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
  }

  void init() {
    watchdog_ = std::make_unique<ModalWatchdog>();
    window_ = std::make_unique<ui::QtWindow>();
    form_ = std::make_unique<ui::Form1>(*window_);
    form_->Form_Load();
    window_->show();
    form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form()));
  }

  void cleanup() {
    form_.reset();
    window_.reset();
    watchdog_.reset();
  }

  // The window and each control made as the layout table says, in its container, a few places
  // written out by hand, the fonts, and every label sized to its caption showing it whole.
  void loadedWindow() {
    QCOMPARE(form()->size(), QSize(expected::kClientWidth / 15, expected::kClientHeight / 15));
    // The main window adds the menu bar above the form and the two-line status bar below it.
    QMainWindow* frame = window_->frame();
    QCOMPARE(frame->windowTitle(), qs(expected::kTitle));
    QCOMPARE(form()->pos(), QPoint(0, frame->menuBar()->height()));
    QCOMPARE(frame->size(),
             form()->size() + QSize(0, frame->menuBar()->height() + frame->statusBar()->height()));
    QVERIFY(frame->statusBar()->height() >= 2 * QFontMetrics(frame->font()).lineSpacing());
    QVERIFY(form()->minimumSize() == form()->maximumSize() &&  // fixed sizes
            frame->minimumSize() == frame->maximumSize());

    for (const ui::ControlDesc& c : ui::form1Controls()) {
      QWidget* w = find(nameOf(c));
      const QByteArray name = nameOf(c).toUtf8();
      QVERIFY2(w->parentWidget()->objectName() == qs(c.container), name);
      QVERIFY2(w->metaObject()->className() == QByteArray(kClass[static_cast<int>(c.kind)]), name);
      QVERIFY2(w->geometry() == QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15), name);
      QVERIFY2(w->isVisible() == c.visible && w->isEnabled(), name);
      if (!c.caption.empty()) QVERIFY2(shownText(w) == qs(c.caption), name);
      if (auto* box = qobject_cast<QComboBox*>(w))
        QVERIFY2(box->isEditable() && box->insertPolicy() == QComboBox::NoInsert, name);
      if (c.name != "Command1") QVERIFY2(w->font() == form()->font(), name);
      // The notice too, on one line.
      if (c.kind == ui::ControlKind::Label && (c.autoSize || c.name == "Label12"))
        QVERIFY2(QFontMetrics(w->font()).horizontalAdvance(shownText(w)) <= w->width(), name);
    }
    QVERIFY(!find<QLabel>("Label12")->wordWrap());
    QVERIFY(QFontMetrics(form()->font()).height() <= 375 / 15);
    for (const expected::Place& p : expected::kPlaces) {
      QWidget* w = find(qs(p.name));
      QCOMPARE(QRect(w->mapTo(form(), QPoint(0, 0)), w->size()),
               QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
    }
    QStringList listed;
    for (int item = 0; item < combo(3)->count(); ++item) listed << combo(3)->itemText(item);
    QCOMPARE(listed, QStringList({"13", "16", "19"}));
    QCOMPARE(combo(3)->currentText(), QString("19"));
    // Both option buttons in one exclusive group, the water column given.
    QButtonGroup* options = find<QRadioButton>("Option1(0)")->group();
    QVERIFY(options && options->exclusive() && options->buttons().size() == 2);
    QCOMPARE(options->checkedButton(), find("Option1(1)"));

    const QFont f = find<QPushButton>("Command1")->font();
    QCOMPARE(f.families().value(0) + " " + QString::number(f.pointSize()), QString("宋体 12"));
    QVERIFY(f.weight() == QFont::Normal && !f.italic() && !f.underline() && !f.strikeOut());
    const QString used = QFontInfo(f).family();
    QVERIFY2(used == "宋体" || used == "SimSun" || used.contains("Serif CJK"), qPrintable(used));
  }

  void tabOrderFollowsTabPositions() {
    QStringList expected, seen;
    for (std::string_view name : expected::kTabOrder) expected << qs(name);
    expected << expected.front();  // and round again
    for (int i = 0; i < expected.size(); ++i) {
      QWidget* f = QApplication::focusWidget();
      QVERIFY(f);
      // An editable combo box's line edit takes the focus for it.
      seen << (qobject_cast<QComboBox*>(f->parentWidget()) ? f->parentWidget() : f)->objectName();
      QTest::keyClick(f, Qt::Key_Tab);
    }
    QCOMPARE(seen, expected);
    // Nor does Shift+Tab ever land on a hidden control.
    for (int i = 0; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
    }
  }

  // What the handlers rely on but, doing the same idempotent work for a change and a click,
  // cannot show: how many events a combo box raises and which.
  void comboBoxEventsAsTheHandlersExpect() {
    // Qt selects the first entry appended to an empty list, which changes the text: the load
    // again on emptied lists. The text boxes it empties raise nothing either.
    for (int i = 0; i < 6; ++i) combo(i)->clear();
    EventRecorder recorder;
    window_->connect(recorder);
    form_->Form_Load();
    window_->setText({"Combo1", 3}, "19");  // the same text again still counts as set
    QCOMPARE(recorder.events, QStringList({"change 0", "change 1", "change 2", "change 3",
                                           "change 4", "change 5", "change 3"}));
    recorder.events.clear();
    type(combo(3), "16");  // every key that edits is one change: Delete, 1, 6
    QCOMPARE(recorder.events, QStringList(3, "change 3"));

    recorder.events.clear();
    combo(3)->showPopup();  // and the first entry chosen with the mouse
    QAbstractItemView* view = combo(3)->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QRect first = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center());
    QTRY_VERIFY(!view->isVisible());
    QVERIFY(recorder.events.contains("click 3"));
    QCOMPARE(recorder.events.filter("3").size(), recorder.events.size());  // only that box
  }

  // Action: every menu bar entry, then Ctrl+P, Ctrl+M and F1 in a text box, then 退出.
  // Expected: each entry's dialog once (the sheet's options, the system form, the about box as
  // selectable plain text), the manual beside the program handed to the desktop, the window
  // closed.
  void menuBarAndKeys() {
    const QString manual = QCoreApplication::applicationDirPath() + '/' + qs(ui::kManualFileName);
    const bool made = QFile(manual).open(QIODevice::WriteOnly | QIODevice::NewOnly);
    QDesktopServices::setUrlHandler("file", this, "openedUrl");
    QStringList entries;
    for (QAction* menu : window_->frame()->menuBar()->actions()) {
      entries << menu->text();
      for (QAction* entry : menu->menu()->actions()) {
        if (entry->isSeparator()) continue;
        entries << entry->text() + " " + entry->shortcut().toString();
        if (entry->text() != "退出(&X)") entry->trigger();
      }
    }
    for (QKeyCombination key :
         {Qt::CTRL | Qt::Key_P, Qt::CTRL | Qt::Key_M, Qt::Key_F1 | Qt::NoModifier}) {
      activate();
      edit("Text9")->setFocus();
      QTest::keyClick(edit("Text9"), key.key(), key.keyboardModifiers());
    }
    QDesktopServices::unsetUrlHandler("file");
    if (made) QFile::remove(manual);
    QCOMPARE(entries, QStringList({"文件(&F)", "生成计算书(&R)… Ctrl+P", "系统计算(&S)… Ctrl+M",
                                   "退出(&X) ", "帮助(&H)", "使用说明(&H) F1", "关于(&A)… "}));
    QCOMPARE(opened_, QList<QUrl>(2, QUrl::fromLocalFile(manual)));
    QStringList dialogs;
    for (const ModalWatchdog::Seen& seen : watchdog_->seen) dialogs << seen.title + " " + seen.how;
    const QString sheet = "生成计算书 SheetDialog", system = "未命名 - 消火栓系统计算 SystemForm";
    QCOMPARE(dialogs, QStringList({sheet, system, qs(ui::kAboutTitle) + " plain selectable Ok",
                                   sheet, system}));
    QCOMPARE(watchdog_->seen.at(2).text, qs(ui::aboutText()));

    window_->frame()->menuBar()->actions().front()->menu()->actions().back()->trigger();  // 退出
    QTRY_VERIFY(!window_->frame()->isVisible());
  }

  // Action: the example by a mouse click on 计 算 (after typing into the result fields); the
  // context menu's 生成计算书… with the first group and a project name, saved, opening declined;
  // a water column the run refuses, by a click, by Enter in a text box (no button's key) and by
  // Return and the keypad's Enter on the focused 计 算; the hidden option button (only code
  // clicks it). Expected: the example's results; the sheet with the dialog's answers and the
  // window's texts and focus unchanged; one plain-text box per refused run, markup shown as
  // typed, nothing changed; the flow-given mode.
  void calculationSheetAndRefusals() {
    auto* button = find<QPushButton>("Command1");
    for (const char* result : {"Text1(1)", "Text1(2)", "Text8(0)", "Text8(1)"})
      type(edit(result), "9x9");
    type(edit("Text9"), qs(expected::kExampleWidth));
    QTest::mouseClick(button, Qt::LeftButton);
    for (const auto& [name, shown] : expected::kExample)
      QCOMPARE(edit(qs(name))->text(), qs(shown));
    QVERIFY(watchdog_->seen.isEmpty());
    QCOMPARE(window_->frame()->findChild<QLabel*>("StatusText")->text(),
             "设计点：栓口动压 0.254 MPa，5.00 L/s（GB 50974 表 3.5.2）\n"
             "校核：1 项不满足（7.4.2-2 水带）— Ctrl+P 生成计算书查看");
    QVERIFY(form()->grab().save(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-example.png"));
    // With the menu bar and the status bar, for the manual.
    QVERIFY(window_->frame()->grab().save(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-window.png"));

    QMap<QString, QString> before = allTexts();
    QWidget* const focused = form()->focusWidget();
    QTemporaryDir dir;
    const QString path = dir.filePath("计算书");  // typed without its extension
    QStringList shown;
    watchdog_->handle = [&](QWidget* modal) {
      if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        shown << QFileInfo(files->selectedFiles().value(0)).fileName();
        files->selectFile(path);
        return QMetaObject::invokeMethod(files, "accept");
      }
      if (modal->objectName() != "SheetDialog") return false;  // the yes/no box: answered Ok
      shown << modal->windowTitle();
      modal->findChild<QRadioButton*>("occupancyHigh")->click();
      modal->findChild<QLineEdit*>("project")->setText("<i>楼</i>");
      QTest::mouseClick(modal->findChild<QPushButton*>("ok"), Qt::LeftButton);
      return true;
    };
    chooseFromContextMenu(0);
    watchdog_->handle = nullptr;
    QCOMPARE(shown, QStringList({"生成计算书", "消火栓计算书.html"}));
    QCOMPARE(watchdog_->seen.size(), 1);
    QVERIFY(watchdog_->seen[0].text.contains(path + ".html") &&
            watchdog_->seen[0].how == "plain Yes No");
    QFile file(path + ".html");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    // The dialog's answers reach the sheet.
    QVERIFY(html.contains("&lt;i&gt;楼&lt;/i&gt;") &&
            html.contains(qs(calc::occupancyText(calc::Occupancy::High))));
    QCOMPARE(allTexts(), before);
    QCOMPARE(form()->focusWidget(), focused);

    watchdog_->seen.clear();
    type(combo(5), "<br>1a");
    // Greyed like a disabled box, yet enabled: the old results stay readable and copyable.
    QLineEdit* radius = edit("Text8(0)");
    QVERIFY(radius->isEnabled() && radius->text() == qs(expected::kExample[2].text));
    QCOMPARE(radius->palette().color(QPalette::Active, QPalette::Text),
             radius->palette().color(QPalette::Disabled, QPalette::Text));
    before = allTexts();
    QTest::mouseClick(button, Qt::LeftButton);
    const std::pair<QWidget*, Qt::Key> keys[] = {
        {edit("Text9"), Qt::Key_Return}, {button, Qt::Key_Return}, {button, Qt::Key_Enter}};
    for (const auto& [target, key] : keys) {
      activate();
      target->setFocus();
      QTest::keyClick(target, key);
    }
    QCOMPARE(allTexts(), before);
    QCOMPARE(watchdog_->seen.size(), 3);
    for (const ModalWatchdog::Seen& box : watchdog_->seen) {
      QVERIFY2(box.text.contains("充实水柱长度“<br>1a”"), qPrintable(box.text));
      QCOMPARE(box.title + " " + box.how, qs(expected::kTitle) + " plain Ok");
    }

    find<QRadioButton>("Option1(0)")->click();
    QVERIFY(combo(4)->isEnabled() && !combo(5)->isEnabled());
  }

  // The title block confirmed in the sheet dialog (its save dialog then cancelled) is in the
  // settings' titleBlock group; the next run's dialog shows it and the system form reads it;
  // a cancelled dialog keeps nothing.
  void titleBlockKeptAcrossRuns() {
    // field: the dialog's edit, also the field's key in the project file and the settings.
    const struct {
      const char* field;
      QString typed;
      bool confirm;
      QString shownNext;
    } rows[] = {
        {"designer", "王工", true, "王工"},
        {"organization", "某设计院", true, "某设计院"},
        {"designer", "不留", false, "王工"},
    };
    for (const auto& r : rows) {
      QString shown;
      const auto answer = [&](bool type, const char* button) {
        watchdog_->handle = [&, type, button](QWidget* modal) {
          if (modal->objectName() != "SheetDialog") return false;  // the save dialog: closed
          auto* edit = modal->findChild<QLineEdit*>(r.field);
          shown = edit->text();
          if (type) edit->setText(r.typed);
          QTest::mouseClick(modal->findChild<QPushButton*>(button), Qt::LeftButton);
          return true;
        };
      };
      answer(true, r.confirm ? "ok" : "cancel");
      form_->mnuSheet_Click();
      cleanup();  // the program ends and starts again
      init();
      answer(false, "cancel");
      form_->mnuSheet_Click();
      watchdog_->handle = nullptr;
      QCOMPARE(shown, r.shownNext);
      QSettings settings(ui::QtSystemDialog::kSettingsOrganization,
                         ui::QtSystemDialog::kSettingsApplication);
      QCOMPARE(settings.value(QString("titleBlock/") + r.field).toString(), r.shownNext);
      ui::QtSystemDialog system(nullptr, nullptr);
      const calc::TitleBlock kept = system.rememberedTitle();
      for (const calc::TitleField& f : calc::kTitleFields) {
        if (f.name == r.field) QCOMPARE(qs(kept.*f.member), r.shownNext);
      }
    }
  }

  // A result longer than its box (128.09 m in 消防栓口水压) is shown from its first digit after
  // the write and again after the focus leaves it at the end, with the whole text as tooltip;
  // one that fits has none.
  void resultsShownFromTheirFirstDigit() {
    const QString pressure = "128.09(mH2o)";
    QLineEdit* box = edit("Text1(1)");
    window_->setText({"Text1", 1}, pressure.toStdString());
    const QFontMetrics metrics(box->font());
    QVERIFY(metrics.horizontalAdvance(pressure) > box->width() - 8);  // does not fit
    QCOMPARE(box->cursorPosition(), 0);
    QCOMPARE(box->toolTip(), pressure);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    edit("Text9")->setFocus();
    QCOMPARE(box->cursorPosition(), 0);
    window_->setText({"Text1", 1}, "1.20");
    QCOMPARE(box->toolTip(), QString());
  }

  // Qt's own buttons and file dialogs in Chinese once the program's translations are loaded.
  void qtDialogsInChinese() {
    ui::qt::loadTranslations(*QCoreApplication::instance());
    QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::No)->text(),
             QString("是(&Y)否(&N)"));
    QFileDialog files;
    files.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(files.labelText(QFileDialog::Accept), QString("保存(&S)"));
  }

  // Action: the context menu's 系统计算…; in the form: 打开… the worked example, 计 算 by
  // Enter, a pump head too low, Ctrl+Tab there and back, a bad 供水路数 on the hidden page, the
  // form enlarged, fewer floors, 保存…, 关闭. Expected: the window's hose shown first; one row
  // and the reducing floors' marks in the grid; the failed check red and counted; the smallest
  // form fits 1366×768 and 1920×1080 at 150 %; the bad entry's page shown, focus in it; the grids
  // take the room, the size is kept; the storey heights follow 层数; the saved file as the
  // command line reads it; the main window unchanged.
  void systemFormFromTheContextMenu() {
    const QMap<QString, QString> before = allTexts();
    QTemporaryDir dir;
    const QString saved = dir.filePath("楼.toml");
    QString fileToChoose = QStringLiteral(HYDRANT_SOURCE_DIR "/examples/office-18f.toml");
    QStringList log;
    bool driven = false;
    QSize enlarged;
    watchdog_->handle = [&](QWidget* modal) {
      if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        log << files->windowTitle() + " " + files->nameFilters().join(";");
        files->selectFile(fileToChoose);
        return QMetaObject::invokeMethod(files, "accept");
      }
      if (modal->objectName() != "SystemForm" || driven) return false;
      driven = true;
      // Driven from a timer of its own: the watchdog's timer must stay free to answer the
      // form's file dialogs and boxes.
      QTimer::singleShot(0, modal, [&, modal] {
        const auto field = [&](const char* key) { return modal->findChild<QWidget*>(key); };
        const auto button = [&](const char* name) { return modal->findChild<QPushButton*>(name); };
        auto* grid = modal->findChild<QTableWidget*>("floorGrid");
        // The hydrant comes from the main window.
        log << qobject_cast<QComboBox*>(field("hydrant.hose_material"))->currentText();
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
        type(field("riser.c"), "120");
        QTest::keyClick(qobject_cast<QLineEdit*>(field("riser.c")), Qt::Key_Return);
        for (int c = 0; c < grid->columnCount(); ++c) log << grid->item(17, c)->text();  // floor 1
        log << QString::number(grid->item(4, 0)->background().color() !=
                               grid->item(3, 0)->background().color());
        auto* checks = modal->findChild<QTableWidget*>("checkList");
        type(field("pump.rated_head"), "100");
        QTest::mouseClick(button("cmdCalculate"), Qt::LeftButton);
        log << modal->findChild<QLabel*>("summary")->text().section("；", -1);
        for (int r = 0; r < checks->rowCount(); ++r) {
          const bool red = checks->item(r, 1)->foreground().color() == QColor(192, 0, 0);
          // Scrolled into view.
          const bool shown =
              checks->viewport()->rect().contains(checks->visualItemRect(checks->item(r, 1)));
          if (red || checks->item(r, 1)->text() == "不满足")
            log << checks->item(r, 0)->text() + (shown ? " 可见" : " 不可见");
        }
        // At its smallest, with the result line of the run laid out, the form fits the screens
        // and the result line and every entry are read whole.
        modal->layout()->activate();
        modal->resize(modal->minimumSize());
        modal->layout()->activate();
        log << QString::number(modal->minimumWidth() <= 1280 && modal->minimumHeight() <= 680);
        QStringList squashed;
        for (auto* e : modal->findChildren<QWidget*>()) {
          if (e->objectName().contains('.') && e->isVisible() &&
              e->height() < e->minimumSizeHint().height())
            squashed << e->objectName();
        }
        log << shownWhole(modal->findChild<QLabel*>("summary")) + squashed.join(" ");
        QVERIFY(modal->grab().save(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-system.png"));
        // Ctrl+Tab to the second page and back; a bad entry there brings its page and focus.
        auto* pages = modal->findChild<QTabWidget*>("pages");
        QTest::keyClick(field("pump.rated_head"), Qt::Key_Tab, Qt::ControlModifier);
        log << pages->tabText(pages->currentIndex());
        QVERIFY(modal->grab().save(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-system-2.png"));
        QTest::keyClick(field("supply.mains"), Qt::Key_Tab, Qt::ControlModifier);
        type(field("supply.mains"), "3");
        QTest::mouseClick(button("cmdCalculate"), Qt::LeftButton);
        log << pages->tabText(pages->currentIndex()) +
                   (modal->focusWidget() == field("supply.mains") ? " 焦点" : " 无焦点");
        type(field("supply.mains"), "");
        const QSize gridBefore = grid->size(), checksBefore = checks->size();
        enlarged = modal->minimumSize() + QSize(200, 100);
        modal->resize(enlarged);
        modal->layout()->activate();
        log << QString::number(grid->height() > gridBefore.height() &&
                               checks->width() > checksBefore.width());
        type(field("building.floors"), "10");
        log << qobject_cast<QLineEdit*>(field("building.floor_heights"))->text();
        fileToChoose = saved;
        QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
        // A change shows in the caption; Esc asks first (the watchdog answers 取消).
        log << modal->windowTitle();
        type(field("riser.c"), "100");
        log << modal->windowTitle();
        QTest::keyClick(modal, Qt::Key_Escape);
        log << QString::number(modal->isVisible());
        type(field("riser.c"), "120");
        log << modal->windowTitle();
        QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
      });
      return true;
    };
    chooseFromContextMenu(1);
    watchdog_->handle = nullptr;

    QCOMPARE(log, QStringList({"麻质",
                               "打开 消火栓系统 (*.toml)",
                               "1",
                               "1.10",
                               "0.759",
                               "1.622",
                               "1.093",
                               "必须减压",
                               "21（20.003）",
                               "0.402",
                               "0.560",
                               "1",
                               "3 项不满足",
                               "7.4.12-2 可见",
                               "5.2.2 可见",
                               "10.1.7 不可见",
                               "1",
                               "1",
                               "水池、水箱与稳压设施",
                               "水池、水箱与稳压设施 焦点",
                               "1",
                               "5.1, 3.9×8",
                               "保存 消火栓系统 (*.toml)",
                               "楼.toml - 消火栓系统计算",
                               "楼.toml* - 消火栓系统计算",
                               "1",
                               "楼.toml - 消火栓系统计算"}));
    QCOMPARE(ui::QtSystemDialog(nullptr, nullptr).size(), enlarged);
    QCOMPARE(watchdog_->seen.size(), 2);
    QCOMPARE(watchdog_->seen[0].text,
             "消防水池与进水 供水路数“3”：供水路数应在 1 至 2 之间，现为 3。");
    QCOMPARE(watchdog_->seen[1].text, "保存对“楼.toml”的更改？");
    const auto read = files::loadProject(saved.toStdString());
    QVERIFY2(read.ok(), read.ok() ? "" : read.error().message.c_str());
    QCOMPARE(read.value().inputs.floors, 10);
    QCOMPARE(read.value().inputs.floorHeights.back(), 3.9);
    QCOMPARE(allTexts(), before);
  }

  // The window shows the committed PNG of each size, not a scaled neighbour; a resource missing
  // from the build gives a null pixmap here. Compared premultiplied, as a pixmap keeps them.
  void iconImages() {
    const QIcon icon = form()->windowIcon();
    for (int s : {16, 24, 32, 48, 64}) {
      const QString file = QStringLiteral(HYDRANT_ICON_DIR "/hydrant-calc-%1.png").arg(s);
      const QImage want = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
      QVERIFY2(!want.isNull(), qPrintable(file));
      QVERIFY2(icon.pixmap(QSize(s, s)).toImage().convertToFormat(want.format()) == want,
               qPrintable(file));
    }
    // A size between the files (125 % scaling) is made from the next larger one.
    QCOMPARE(icon.pixmap(QSize(20, 20)).size(), QSize(20, 20));
  }
};

QTEST_MAIN(WindowTest)
#include "qt_window_test.moc"
