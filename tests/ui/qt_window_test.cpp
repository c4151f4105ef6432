// The calculator window on real Qt widgets, offscreen: every control against the window
// written out in expected_window.h, the lists after loading, focus, the user's typing and choosing,
// the calculation through a real click, the message boxes, fonts and the icon. A watchdog closes
// every modal box and records it, so that no test can hang on one.

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>

#include "calc/run.h"
#include "project/project_file.h"
#include "tests/ui/expected_window.h"
#include "ui/form1.h"
#include "ui/form_layout.h"
#include "ui/main_menu.h"
#include "ui/qt/qt_window.h"

namespace {

using expected::kControls;

// The widget class each kind of control is made of.
constexpr const char* kClass[] = {"QGroupBox", "QLabel",    "QPushButton",
                                  "QComboBox", "QLineEdit", "QRadioButton"};

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

// Records and closes whatever modal widget appears, polling from the nested event loop.
class ModalWatchdog : public QObject {
 public:
  struct Seen {
    QString title{};
    QString text{};  // empty for a modal widget that is no message box
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons{};
    int buttonCount = 0;
    Qt::TextFormat format = Qt::AutoText;
    Qt::TextInteractionFlags flags{};
  };

  ModalWatchdog() {
    connect(&timer_, &QTimer::timeout, this, &ModalWatchdog::poll);
    timer_.start(10);
  }

  QList<Seen> seen;
  // Drives the modal widgets it returns true for, instead of recording and closing them.
  std::function<bool(QWidget*)> handle;

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (handle && handle(modal))) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      seen.append({modal->windowTitle()});
      modal->close();
      return;
    }
    seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                 static_cast<int>(box->buttons().size()), box->textFormat(),
                 box->textInteractionFlags()});
    box->done(QMessageBox::Ok);
  }

  QTimer timer_;
};

// Records the events the adapter raises, in order, without handling them.
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

  QWidget* form() const { return window_->form(); }
  template <class T = QWidget>
  T* find(const QString& name) const {
    T* w = form()->findChild<T*>(name);
    if (!w) qFatal("no widget %s", qPrintable(name));
    return w;
  }
  QComboBox* combo(int i) const { return find<QComboBox>(QString("Combo1(%1)").arg(i)); }
  QLineEdit* edit(const QString& name) const { return find<QLineEdit>(name); }
  QString text(const QString& name) const { return edit(name)->text(); }

  // Replaces a text box's or combo box's text the way a user does: select all, type.
  void type(QWidget* w, const QString& text) {
    QLineEdit* line = qobject_cast<QLineEdit*>(w);
    if (!line) line = qobject_cast<QComboBox*>(w)->lineEdit();
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    QTest::keyClicks(line, text);
  }
  // Opens the list and clicks the entry, as the user chooses it.
  void choose(QComboBox* box, int row) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTRY_VERIFY(!view->isVisible());
  }
  void clickCalculate() {
    QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
    QApplication::processEvents();
  }
  // Every text the user or a calculation can change, by control name.
  QMap<QString, QString> allTexts() const {
    QMap<QString, QString> texts;
    for (const auto& c : kControls) {
      if (c.kind == expected::Edit || c.kind == expected::Combo)
        texts[qs(c.name)] = shownText(find(qs(c.name)));
    }
    return texts;
  }

 private slots:
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

  void window() {
    QCOMPARE(form()->objectName(), QString("Form1"));
    QCOMPARE(form()->windowTitle(), qs(expected::kTitle));
    QCOMPARE(form()->size(), QSize(expected::kClientWidth / 15, expected::kClientHeight / 15));
    QCOMPARE(form()->minimumSize(), form()->maximumSize());      // fixed size
    QCOMPARE(ui::form1Controls().size(), std::size(kControls));  // 41 controls, no more
    // The main window adds the menu bar above the form and nothing else.
    QMainWindow* frame = window_->frame();
    QCOMPARE(frame->windowTitle(), qs(expected::kTitle));
    QCOMPARE(form()->pos(), QPoint(0, frame->menuBar()->height()));
    QCOMPARE(frame->size(), form()->size() + QSize(0, frame->menuBar()->height()));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
  }

  void controlsAfterLoad_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i)
      QTest::newRow(kControls[i].name.data()) << i;
  }
  void controlsAfterLoad() {
    QFETCH(int, row);
    const expected::Control& c = kControls[row];
    QWidget* w = find(qs(c.name));
    QCOMPARE(w->parentWidget()->objectName(), qs(c.container));
    QCOMPARE(w->metaObject()->className(), kClass[c.kind]);
    QCOMPARE(shownText(w), qs(c.text));
    QCOMPARE(w->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
    QCOMPARE(w->isVisible(), c.visible);
    QStringList listed;
    if (auto* box = qobject_cast<QComboBox*>(w)) {
      QVERIFY(box->isEditable());
      QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
      for (int item = 0; item < box->count(); ++item) listed << box->itemText(item);
    }
    QCOMPARE(listed.join('|'), qs(c.list));
  }

  void hosesAfterLoad() {
    QCOMPARE(form_->state().hoseSelection, (calc::HoseSelection{"0.01501", "麻质", "50"}));
  }

  void optionButtonsAndTheDisabledWaterColumn() {
    auto* flowGiven = find<QRadioButton>("Option1(0)");
    auto* columnGiven = find<QRadioButton>("Option1(1)");
    QVERIFY(columnGiven->isChecked() && !flowGiven->isChecked());
    QVERIFY(flowGiven->group() && flowGiven->group() == columnGiven->group());
    QVERIFY(flowGiven->group()->exclusive());
    for (const auto& c : kControls) {
      if (c.visible) QVERIFY2(find(qs(c.name))->isEnabled(), c.name.data());
    }
    QVERIFY(combo(4)->isEnabled());  // Option1_Click did not run

    // Hidden, so only code can click the flow-given option; the water column, now disabled,
    // still counts for the radius.
    type(combo(5), "13");
    flowGiven->click();
    QVERIFY(!columnGiven->isChecked());
    QVERIFY(combo(4)->isEnabled() && !combo(5)->isEnabled());
    QCOMPARE(combo(5)->currentText(), QString("13"));
    clickCalculate();
    QCOMPARE(text("Text8(0)"), QString("25.23"));  // 20 · 0.8 + 13 · 0.71
    QCOMPARE(text("Text1(2)"), QString("2.5"));
  }

  void tabOrderFollowsTabPositions() {
    QStringList expected;
    for (std::string_view name : expected::kTabOrder) expected << qs(name);
    expected << expected.front();  // and round again
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
      QWidget* f = QApplication::focusWidget();
      QVERIFY(f);
      // An editable combo box's line edit takes the focus for it.
      if (qobject_cast<QComboBox*>(f->parentWidget())) f = f->parentWidget();
      seen << f->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(seen, expected);
    // Nor does Shift+Tab ever land on a hidden control.
    for (int i = 0; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
    }
  }

  // The toolkit contract the handlers rely on, on a window of its own with no handlers.
  void adapterRaisesEventsAsTheHandlersExpect() {
    ui::QtWindow bare;
    EventRecorder recorder;
    bare.connect(recorder);
    bare.show();
    QVERIFY(QTest::qWaitForWindowExposed(bare.form()));
    auto* nozzle = bare.form()->findChild<QComboBox*>("Combo1(3)");

    bare.setText({"Combo1", 3}, "19");
    QCOMPARE(recorder.events, QStringList{"change 3"});
    bare.setText({"Combo1", 3}, "19");  // the same text again still counts as set
    QCOMPARE(recorder.events, (QStringList{"change 3", "change 3"}));

    recorder.events.clear();
    for (const char* item : {"13", "16", "19"}) bare.appendItem({"Combo1", 3}, item);
    QCOMPARE(recorder.events, QStringList{});
    QCOMPARE(nozzle->currentText(), QString("19"));

    bare.setText({"Text2"}, "x");
    QCOMPARE(recorder.events, QStringList{});  // text boxes raise nothing

    nozzle->lineEdit()->setFocus();
    nozzle->lineEdit()->end(false);
    QTest::keyClick(nozzle->lineEdit(), Qt::Key_7);  // every key that edits is one change
    QCOMPARE(recorder.events, QStringList{"change 3"});
    QCOMPARE(nozzle->currentText(), QString("197"));

    recorder.events.clear();
    choose(nozzle, 1);
    QVERIFY(recorder.events.contains("click 3"));
    QCOMPARE(recorder.events.filter("3").size(), recorder.events.size());  // only that box
    QCOMPARE(nozzle->currentText(), QString("16"));

    recorder.events.clear();
    QTest::mouseClick(bare.form()->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(recorder.events, QStringList{"command"});
  }

  // Action: every menu bar entry through its action, then Ctrl+P, Ctrl+M and F1 in a text box and
  // Enter on the focused 计 算 button. Expected: the entry's event, once each.
  void menuBarAndKeysRaiseTheirEvents() {
    ui::QtWindow bare;
    EventRecorder recorder;
    bare.connect(recorder);
    bare.show();
    QVERIFY(QTest::qWaitForWindowActive(bare.frame()));
    QStringList titles, entries;
    for (QAction* menu : bare.frame()->menuBar()->actions()) {
      titles << menu->text();
      for (QAction* entry : menu->menu()->actions()) {
        if (entry->isSeparator()) continue;
        entries << entry->text() + " " + entry->shortcut().toString();
        entry->trigger();
      }
    }
    QCOMPARE(titles, QStringList({"文件(&F)", "帮助(&H)"}));
    QCOMPARE(entries, QStringList({"生成计算书(&R)… Ctrl+P", "系统计算(&S)… Ctrl+M", "退出(&X) ",
                                   "使用说明(&H) F1", "关于(&A)… "}));
    QCOMPARE(recorder.events, QStringList({"sheet", "system", "exit", "manual", "about"}));

    recorder.events.clear();
    QLineEdit* width = bare.form()->findChild<QLineEdit*>("Text9");
    width->setFocus();
    QTest::keyClick(width, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(width, Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(width, Qt::Key_F1);
    QTest::keyClick(width, Qt::Key_Return);  // not on the button: nothing
    auto* button = bare.form()->findChild<QPushButton*>("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter);  // the keypad's
    QCOMPARE(recorder.events, QStringList({"sheet", "system", "manual", "command", "command"}));
  }

  // Action: 计 算 by Enter, then the manual, the about box and 退出 from the menu bar.
  // Expected: the results, the manual beside the program handed to the desktop, the about
  // box as selectable plain text, the window closed.
  void menuBarEntriesOnTheRealHandlers() {
    type(edit("Text9"), qs(expected::kExampleWidth));
    find<QPushButton>("Command1")->setFocus();
    QTest::keyClick(find<QPushButton>("Command1"), Qt::Key_Return);
    for (const auto& [name, shown] : expected::kExample) QCOMPARE(text(qs(name)), qs(shown));

    const QString manual =
        QDir(QCoreApplication::applicationDirPath()).filePath(qs(ui::kManualFileName));
    const bool made = !QFile::exists(manual);
    if (made) {
      QFile file(manual);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QDesktopServices::setUrlHandler("file", this, "openedUrl");
    const auto entry = [&](const QString& text) {
      for (QAction* menu : window_->frame()->menuBar()->actions()) {
        for (QAction* a : menu->menu()->actions()) {
          if (a->text() == text) return a;
        }
      }
      qFatal("no menu entry %s", qPrintable(text));
    };
    entry("使用说明(&H)")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    if (made) QFile::remove(manual);
    QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(manual)});

    entry("关于(&A)…")->trigger();
    QCOMPARE(watchdog_->seen.size(), 1);
    const ModalWatchdog::Seen about = watchdog_->seen.front();
    QCOMPARE(about.title, qs(ui::kAboutTitle));
    QCOMPARE(about.text, qs(ui::aboutText()));
    QCOMPARE(about.format, Qt::PlainText);
    QVERIFY(about.flags & Qt::TextSelectableByMouse);
    QCOMPARE(about.buttonCount, 1);

    entry("退出(&X)")->trigger();
    QTRY_VERIFY(!window_->frame()->isVisible());
  }

  void typingAndChoosingHoses() {
    type(combo(2), "70");  // no such hose: the coefficient stays, the list too
    QCOMPARE(combo(2)->currentText(), QString("70"));
    QCOMPARE(text("Text2"), QString("0.01501"));
    QTest::keyClick(combo(2)->lineEdit(), Qt::Key_Return);
    QCOMPARE(combo(2)->count(), 3);  // typed texts never join the list
    QCOMPARE(combo(2)->itemText(2), QString("80"));

    choose(combo(2), 1);
    QCOMPARE(combo(2)->currentText(), QString("65"));
    QCOMPARE(text("Text2"), QString("0.0043"));
    choose(combo(1), 1);
    QCOMPARE(combo(1)->currentText(), QString("衬胶"));
    QCOMPARE(text("Text2"), QString("0.00172"));
    QCOMPARE(text("Text8(0)"), QString());  // nothing calculated

    edit("Text2")->setText("stale");  // choosing a nozzle rewrites it from the selection
    choose(combo(3), 0);
    QCOMPARE(combo(3)->currentText(), QString("13"));
    QCOMPARE(text("Text2"), QString("0.00172"));
    QCOMPARE(combo(3)->count(), 3);
  }

  void exampleThroughARealClick() {
    // What was typed into the result fields is never read.
    for (const char* result : {"Text1(1)", "Text1(2)", "Text8(0)", "Text8(1)"})
      type(edit(result), "9x9");
    type(edit("Text9"), qs(expected::kExampleWidth));
    clickCalculate();
    for (const auto& [name, shown] : expected::kExample) QCOMPARE(text(qs(name)), qs(shown));
    QVERIFY(watchdog_->seen.isEmpty());
    for (const auto& c : kControls) QCOMPARE(find(qs(c.name))->isVisible(), c.visible);

    const QString path = QStringLiteral(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-example.png");
    QVERIFY(form()->grab().save(path));
    QCOMPARE(QImage(path).size(), form()->size() * form()->devicePixelRatioF());
  }

  void warningAndErrorBoxes() {
    // 23.10 is just wider than the radius: the warning, and the spacing of the run before
    // stays. Then a water column the run refuses: the error, and nothing changes.
    type(edit("Text9"), "10");
    clickCalculate();
    type(edit("Text9"), "23.10");
    // Enter on the focused button calculates, as on a classic Windows form.
    auto* command = find<QPushButton>("Command1");
    command->setFocus();
    QTest::keyClick(command, Qt::Key_Return);
    QCOMPARE(watchdog_->seen.size(), 1);
    QCOMPARE(text("Text8(1)"), QString("20.82"));
    QCOMPARE(text("Text8(0)"), QString("23.10"));
    type(combo(5), "<br>1a");  // markup shows as typed, on one line
    const QMap<QString, QString> before = allTexts();
    const calc::HoseSelection hoses = form_->state().hoseSelection;
    clickCalculate();
    QCOMPARE(allTexts(), before);
    QCOMPARE(form_->state().hoseSelection, hoses);

    QCOMPARE(watchdog_->seen.size(), 2);
    QCOMPARE(watchdog_->seen[0].text, qs(expected::kWidthTooLarge));
    QVERIFY2(watchdog_->seen[1].text.contains("充实水柱长度“<br>1a”"),
             qPrintable(watchdog_->seen[1].text));
    for (const ModalWatchdog::Seen& box : watchdog_->seen) {
      QCOMPARE(box.title, qs(expected::kTitle));
      QCOMPARE(box.icon, QMessageBox::NoIcon);
      QCOMPARE(box.format, Qt::PlainText);
      QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
      QCOMPARE(box.buttonCount, 1);
    }
    QVERIFY(form()->isVisible());
  }

  // Action: right-click the form's background, choose the entry, pick the first group and
  // a project name, save, decline opening. Expected: the sheet with those answers, the
  // main window's texts and focus unchanged.
  void sheetFromTheContextMenu() {
    type(edit("Text9"), "10");
    clickCalculate();
    const QMap<QString, QString> before = allTexts();
    QWidget* const focused = form()->focusWidget();
    QTemporaryDir dir;
    const QString path = dir.filePath("计算书.html");
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
    QContextMenuEvent click(QContextMenuEvent::Mouse, {3, 3}, form()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(form(), &click);
    auto* menu = form()->findChild<QMenu*>("SheetMenu");
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().front()->text(), qs(ui::kSheetMenuText));
    QCOMPARE(menu->actions().back()->text(), qs(ui::kSystemMenuText));
    menu->actions().front()->trigger();
    watchdog_->handle = nullptr;

    QCOMPARE(shown, QStringList({"生成计算书", "消火栓计算书.html"}));
    QCOMPARE(watchdog_->seen.size(), 1);
    QVERIFY(watchdog_->seen.front().text.contains(path));
    QCOMPARE(watchdog_->seen.front().buttons, QMessageBox::Yes | QMessageBox::No);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains("&lt;i&gt;楼&lt;/i&gt;") && html.contains("21.96"));
    QVERIFY(html.contains(qs(calc::occupancyText(calc::Occupancy::High))));
    QCOMPARE(allTexts(), before);
    QCOMPARE(form()->focusWidget(), focused);
  }

  // Action: the context menu's 系统计算…; in the form: 打开… the worked example, a bad
  // entry, 计 算 by Enter, fewer floors, 保存…, 关闭. Expected: the example's numbers in the
  // grid with the reducing floors marked, one box for the bad entry, the saved file as the
  // command line reads it, and the main window unchanged.
  void systemFormFromTheContextMenu() {
    const QMap<QString, QString> before = allTexts();
    QTemporaryDir dir;
    const QString saved = dir.filePath("楼.toml");
    QString fileToChoose = QStringLiteral(HYDRANT_SOURCE_DIR "/examples/office-18f.toml");
    QStringList log;
    bool driven = false;
    std::function<void(QWidget*)> driveSystemForm;
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
      QTimer::singleShot(0, modal, [&, modal] { driveSystemForm(modal); });
      return true;
    };
    driveSystemForm = [&](QWidget* modal) {
      log << modal->windowTitle();
      const auto field = [&](const char* key) { return modal->findChild<QWidget*>(key); };
      const auto button = [&](const char* name) { return modal->findChild<QPushButton*>(name); };
      auto* grid = modal->findChild<QTableWidget*>("floorGrid");
      // The hydrant comes from the main window.
      log << qobject_cast<QComboBox*>(field("hydrant.hose_material"))->currentText();
      QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
      log << qobject_cast<QComboBox*>(field("hydrant.hose_material"))->currentText();
      type(field("riser.c"), "abc");
      QTest::keyClick(qobject_cast<QLineEdit*>(field("riser.c")), Qt::Key_Return);
      log << QString::number(grid->rowCount());  // nothing calculated
      type(field("riser.c"), "120");
      QTest::keyClick(qobject_cast<QLineEdit*>(field("riser.c")), Qt::Key_Return);
      QStringList floor1;
      for (int c = 0; c < grid->columnCount(); ++c) floor1 << grid->item(17, c)->text();
      log << floor1.join(" ");
      log << QString::number(grid->item(3, 0)->background().color() !=
                             grid->item(2, 0)->background().color());
      log << modal->findChild<QLabel*>("summary")->text().section("，", 1, 1);
      const QString shot = QStringLiteral(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-system.png");
      log << (modal->grab().save(shot) ? "screenshot" : "no screenshot");
      type(field("building.floors"), "10");
      type(field("building.floor_heights"), "4.5, 3.6×8");
      fileToChoose = saved;
      QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
      QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    };
    QContextMenuEvent click(QContextMenuEvent::Mouse, {3, 3}, form()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(form(), &click);
    auto* menu = form()->findChild<QMenu*>("SheetMenu");
    QTRY_VERIFY(menu->isVisible());
    menu->actions().back()->trigger();
    watchdog_->handle = nullptr;

    QCOMPARE(log, QStringList({"消火栓系统计算", "麻质", "打开 消火栓系统 (*.toml)", "衬胶", "0",
                               "1 1.10 0.759 1.622 1.116 必须减压 20（19.87）* 0.372", "1",
                               "计算扬程 117.37 m（1.174 MPa）", "screenshot",
                               "保存 消火栓系统 (*.toml)"}));
    QCOMPARE(watchdog_->seen.size(), 1);
    QCOMPARE(watchdog_->seen.front().text, QString("立管 海澄威廉系数C“abc”不是有效的数字。"));
    const auto read = project::loadProject(saved.toStdString());
    QVERIFY2(read.ok(), read.ok() ? "" : read.error().message.c_str());
    QCOMPARE(read.value().inputs.floors, 10);
    QCOMPARE(read.value().inputs.floorHeights.front(), 4.5);
    QCOMPARE(allTexts(), before);
  }

  void fontsAndCaptions() {
    const QFont f = find<QPushButton>("Command1")->font();
    QCOMPARE(f.families().value(0), QString("宋体"));
    QCOMPARE(f.pointSize(), 12);
    QCOMPARE(f.weight(), QFont::Normal);
    QVERIFY(!f.italic() && !f.underline() && !f.strikeOut());
    const QString used = QFontInfo(f).family();
    QVERIFY2(used == "宋体" || used == "SimSun" || used.contains("Serif CJK"), qPrintable(used));
    for (const auto& c : kControls) {
      if (c.name != "Command1") QCOMPARE(find(qs(c.name))->font(), form()->font());
    }
    // Labels sized to their caption must show it whole in the window's font; so must the
    // notice, on one line.
    for (const ui::ControlDesc& c : ui::form1Controls()) {
      if (c.kind != ui::ControlKind::Label || !(c.autoSize || c.name == "Label12")) continue;
      const QString name = QString::fromStdString(ui::qualifiedName(c.name, c.index));
      auto* label = find<QLabel>(name);
      const QFontMetrics fm(label->font());
      QVERIFY2(fm.horizontalAdvance(label->text()) <= label->width(), qPrintable(name));
    }
    QVERIFY(!find<QLabel>("Label12")->wordWrap());
    QVERIFY(QFontMetrics(form()->font()).height() <= 375 / 15);
  }

  void iconImages() {
    // The window shows the committed PNG of each size, not a scaled neighbour; a resource
    // missing from the build gives a null pixmap here.
    const QIcon icon = form()->windowIcon();
    for (int s : {16, 24, 32, 48, 64}) {
      const QString file = QStringLiteral(HYDRANT_ICON_DIR "/hydrant-calc-%1.png").arg(s);
      const QImage want = QImage(file).convertToFormat(QImage::Format_ARGB32);
      QVERIFY2(!want.isNull(), qPrintable(file));
      // A pixmap is premultiplied: the colour of faint edge pixels is not kept exactly.
      const QImage got = icon.pixmap(QSize(s, s)).toImage().convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(got.size(), want.size());
      int worst = 0;
      for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
          const QRgb g = got.pixel(x, y), w = want.pixel(x, y);
          worst = std::max(worst, qAbs(qAlpha(g) - qAlpha(w)));
          if (qAlpha(w) < 128) continue;
          worst = std::max({worst, qAbs(qRed(g) - qRed(w)), qAbs(qGreen(g) - qGreen(w)),
                            qAbs(qBlue(g) - qBlue(w))});
        }
      }
      QVERIFY2(worst <= 4, qPrintable(QStringLiteral("%1 px: off by %2").arg(s).arg(worst)));
    }
    // A size between the files (125 % scaling) is made from the next larger one.
    QCOMPARE(icon.pixmap(QSize(20, 20)).size(), QSize(20, 20));
  }
};

QTEST_MAIN(WindowTest)
#include "qt_window_test.moc"
