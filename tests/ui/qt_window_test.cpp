// The calculator window on real Qt widgets, offscreen: names, geometry, initial contents,
// focus, the user's typing and choosing, the calculation through a real click, the
// message boxes, fonts and the icon. A watchdog closes every modal box and records it,
// so that no test can hang on one.

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "calc/run.h"
#include "ui/app_icon.h"
#include "ui/form1.h"
#include "ui/form_layout.h"
#include "ui/qt_window.h"

using ui::ControlDesc;
using ui::ControlKind;

namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString nameOf(const ControlDesc& c) { return qs(ui::qualifiedName(c.name, c.index)); }

// Records and closes whatever modal widget appears, polling from the nested event loop.
class ModalWatchdog : public QObject {
 public:
  struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    int buttonCount = 0;
    bool isMessageBox = false;
  };

  ModalWatchdog() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &ModalWatchdog::poll);
    timer_.start();
  }

  QList<Seen> seen;

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    Seen s;
    s.title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      s.isMessageBox = true;
      s.text = box->text();
      s.icon = box->icon();
      s.format = box->textFormat();
      s.buttons = box->standardButtons();
      s.buttonCount = static_cast<int>(box->buttons().size());
      seen.append(s);
      box->done(QMessageBox::Ok);
    } else {
      seen.append(s);
      modal->close();
    }
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
  QStringList events;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ui::QtWindow> window_;
  std::unique_ptr<ui::Form1> form_;
  std::unique_ptr<ModalWatchdog> watchdog_;

  QWidget* form() const { return window_->form(); }
  template <class T>
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
    for (const ControlDesc& c : ui::form1Controls()) {
      if (c.kind == ControlKind::TextBox) texts[nameOf(c)] = text(nameOf(c));
      if (c.kind == ControlKind::ComboBox) texts[nameOf(c)] = combo(c.index)->currentText();
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
    QCOMPARE(form()->windowTitle(), QString("Tavrel小工具"));
    QCOMPARE(form()->size(), QSize(427, 317));
    QCOMPARE(form()->minimumSize(), form()->maximumSize());  // fixed size
  }

  void controlNamesKindsAndContainers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    for (const ControlDesc& c : ui::form1Controls()) {
      QTest::newRow(qPrintable(nameOf(c)))
          << nameOf(c) << static_cast<int>(c.kind) << qs(c.container) << qs(c.caption);
    }
  }
  void controlNamesKindsAndContainers() {
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QWidget* w = find<QWidget>(name);
    QCOMPARE(w->parentWidget()->objectName(), container);
    switch (static_cast<ControlKind>(kind)) {
      case ControlKind::Frame:
        QCOMPARE(qobject_cast<QGroupBox*>(w)->title(), caption);
        break;
      case ControlKind::Label:
        QCOMPARE(qobject_cast<QLabel*>(w)->text(), caption);
        break;
      case ControlKind::OptionButton:
        QCOMPARE(qobject_cast<QRadioButton*>(w)->text(), caption);
        break;
      case ControlKind::CommandButton:
        QCOMPARE(qobject_cast<QPushButton*>(w)->text(), caption);
        break;
      case ControlKind::TextBox:
        QVERIFY(qobject_cast<QLineEdit*>(w));
        break;
      case ControlKind::ComboBox: {
        auto* box = qobject_cast<QComboBox*>(w);
        QVERIFY(box && box->isEditable());
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
        break;
      }
    }
  }

  void geometryFromTwips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");
    for (const ControlDesc& c : ui::form1Controls()) {
      // 15 twips per pixel at 96 DPI; every value of the layout is a multiple of 15.
      QTest::newRow(qPrintable(nameOf(c)))
          << nameOf(c) << QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15);
    }
  }
  void geometryFromTwips() {
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    QCOMPARE(find<QWidget>(name)->geometry(), expected);
  }

  void contentsAfterLoad_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("items");
    const QStringList none;
    QTest::newRow("hose length") << "Combo1(0)"
                                 << "20" << QStringList{"20", "25"};
    QTest::newRow("hose material") << "Combo1(1)"
                                   << "麻质" << QStringList{"麻质", "衬胶"};
    QTest::newRow("hose diameter") << "Combo1(2)"
                                   << "50" << QStringList{"50", "65", "80"};
    QTest::newRow("nozzle, last entry") << "Combo1(3)"
                                        << "19" << QStringList{"13", "16", "19"};
    QTest::newRow("flow, hidden") << "Combo1(4)"
                                  << "2.5" << QStringList{"2.5", "5", "10"};
    QTest::newRow("water column, middle entry") << "Combo1(5)"
                                                << "10" << QStringList{"7", "10", "13"};
    for (const char* empty : {"Text9", "Text1(1)", "Text1(2)", "Text8(0)", "Text8(1)", "Text1(0)"})
      QTest::newRow(empty) << empty << "" << none;
    QTest::newRow("Text2 coefficient") << "Text2"
                                       << "0.01501" << none;
    for (const char* created : {"Text3", "Text4", "Text5", "Text6", "Text7"})
      QTest::newRow(created) << created << created << none;
  }
  void contentsAfterLoad() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(QStringList, items);
    if (auto* box = form()->findChild<QComboBox*>(name)) {
      QCOMPARE(box->currentText(), expected);
      QStringList listed;
      for (int i = 0; i < box->count(); ++i) listed << box->itemText(i);
      QCOMPARE(listed, items);
    } else {
      QCOMPARE(text(name), expected);
    }
    QCOMPARE(form_->state().hoseSelection, (calc::HoseSelection{"0.01501", "麻质", "50"}));
  }

  void modeAndEnabledStateAfterLoad() {
    auto* flowGiven = find<QRadioButton>("Option1(0)");
    auto* columnGiven = find<QRadioButton>("Option1(1)");
    QVERIFY(columnGiven->isChecked());
    QVERIFY(!flowGiven->isChecked());
    QVERIFY(flowGiven->group() && flowGiven->group() == columnGiven->group());
    QVERIFY(flowGiven->group()->exclusive());
    for (const ControlDesc& c : ui::form1Controls()) {
      if (c.visible) QVERIFY2(find<QWidget>(nameOf(c))->isEnabled(), qPrintable(nameOf(c)));
    }
    QVERIFY(combo(4)->isEnabled());  // Option1_Click did not run
  }

  void hiddenControlsNeverShownNorFocused() {
    const auto check = [&] {
      for (const ControlDesc& c : ui::form1Controls()) {
        QWidget* w = find<QWidget>(nameOf(c));
        QCOMPARE(w->isVisible(), c.visible);
        if (!c.visible) QVERIFY2(!w->isVisibleTo(form()), qPrintable(nameOf(c)));
      }
    };
    check();
    type(edit("Text9"), "10");
    clickCalculate();
    check();
    // A whole round of Tab and Shift+Tab never lands on a hidden control.
    for (auto key : {Qt::Key_Tab, Qt::Key_Backtab}) {
      for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QWidget* f = QApplication::focusWidget();
        QVERIFY(f && f->isVisible());
      }
    }
  }

  void tabOrderFollowsTabPositions() {
    const QStringList expected = {"Command1",  "Text1(2)",  "Text1(1)",  "Combo1(0)",
                                  "Combo1(1)", "Combo1(2)", "Combo1(3)", "Combo1(5)",
                                  "Text9",     "Text8(0)",  "Text8(1)",  "Command1"};
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

  void typing70KeepsCoefficientAndList() {
    type(combo(2), "70");
    QCOMPARE(combo(2)->currentText(), QString("70"));
    QCOMPARE(text("Text2"), QString("0.01501"));
    QTest::keyClick(combo(2)->lineEdit(), Qt::Key_Return);
    QCOMPARE(combo(2)->count(), 3);  // typed texts never join the list
    QCOMPARE(combo(2)->itemText(2), QString("80"));
  }

  void choosingRubberWith65BeforeAnyCalculation() {
    choose(combo(2), 1);
    QCOMPARE(combo(2)->currentText(), QString("65"));
    QCOMPARE(text("Text2"), QString("0.0043"));
    choose(combo(1), 1);
    QCOMPARE(combo(1)->currentText(), QString("衬胶"));
    QCOMPARE(text("Text2"), QString("0.00172"));
    QVERIFY(!edit("Text2")->isVisible());
    QCOMPARE(text("Text8(0)"), QString());  // nothing calculated
  }

  void choosingANozzleRewritesText2() {
    edit("Text2")->setText("stale");
    choose(combo(3), 0);
    QCOMPARE(combo(3)->currentText(), QString("13"));
    QCOMPARE(text("Text2"), QString("0.01501"));
    QCOMPARE(combo(3)->count(), 3);
  }

  void exampleThroughARealClick() {
    type(edit("Text9"), "10");
    clickCalculate();
    QCOMPARE(text("Text1(2)"), QString("4.62(l/s)"));
    QCOMPARE(text("Text1(1)"), QString("21.96(mH2o)"));
    QCOMPARE(text("Text8(0)"), QString("23.10"));
    QCOMPARE(text("Text8(1)"), QString("20.82"));
    QCOMPARE(text("Text4"), QString("0.0097"));
    QCOMPARE(text("Text3"), QString("1.20"));
    QCOMPARE(text("Text5"), QString("1.576"));
    QCOMPARE(text("Text6"), QString("13.55"));
    QCOMPARE(text("Text7"), QString("6.41"));
    QCOMPARE(text("Text1(0)"), QString());
    QVERIFY(watchdog_->seen.isEmpty());

    const QString path = QStringLiteral(HYDRANT_SCREENSHOT_DIR "/hydrant-calc-example.png");
    QVERIFY(form()->grab().save(path));
    QCOMPARE(QImage(path).size(), form()->size() * form()->devicePixelRatioF());
  }

  void width2310WarnsAndKeepsSpacing() {
    type(edit("Text9"), "10");
    clickCalculate();
    type(edit("Text9"), "23.10");
    clickCalculate();
    QCOMPARE(watchdog_->seen.size(), 1);
    const ModalWatchdog::Seen box = watchdog_->seen.front();
    QVERIFY(box.isMessageBox);
    QCOMPARE(box.title, QString("Tavrel小工具"));
    QCOMPARE(box.text, QString::fromUtf8(calc::kWidthTooLargeMessage));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.format, Qt::PlainText);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.buttonCount, 1);
    QCOMPARE(text("Text8(1)"), QString("20.82"));
    QCOMPARE(text("Text8(0)"), QString("23.10"));
    QVERIFY(form()->isVisible());
  }

  void letterInWaterColumnShowsErrorAndChangesNothing() {
    type(edit("Text9"), "10");
    clickCalculate();
    type(combo(5), "<br>1a");  // markup shows as typed, on one line
    const QMap<QString, QString> before = allTexts();
    const calc::HoseSelection hoses = form_->state().hoseSelection;
    clickCalculate();
    QCOMPARE(watchdog_->seen.size(), 1);
    const ModalWatchdog::Seen box = watchdog_->seen.front();
    QVERIFY(box.isMessageBox);
    QCOMPARE(box.title, QString("Tavrel小工具"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttonCount, 1);
    QCOMPARE(box.format, Qt::PlainText);
    QVERIFY2(box.text.contains("充实水柱长度“<br>1a”"), qPrintable(box.text));
    QCOMPARE(allTexts(), before);
    QCOMPARE(form_->state().hoseSelection, hoses);
    QVERIFY(form()->isVisible());
  }

  void typedResultFieldsAreNeverRead() {
    for (const char* result : {"Text1(1)", "Text1(2)", "Text8(0)", "Text8(1)"})
      type(edit(result), "9x9");
    type(edit("Text9"), "10");
    clickCalculate();
    QCOMPARE(text("Text1(1)"), QString("21.96(mH2o)"));
    QCOMPARE(text("Text1(2)"), QString("4.62(l/s)"));
    QCOMPARE(text("Text8(0)"), QString("23.10"));
    QCOMPARE(text("Text8(1)"), QString("20.82"));
  }

  void disabledWaterColumnStillCounts() {
    type(combo(5), "13");
    find<QRadioButton>("Option1(0)")->click();  // hidden: only code can click it
    QVERIFY(!find<QRadioButton>("Option1(1)")->isChecked());
    QVERIFY(combo(4)->isEnabled());
    QVERIFY(!combo(5)->isEnabled());
    QCOMPARE(combo(5)->currentText(), QString("13"));
    clickCalculate();
    QCOMPARE(text("Text8(0)"), QString("25.23"));  // 20 · 0.8 + 13 · 0.71
    QCOMPARE(text("Text1(2)"), QString("2.5"));
  }

  void commandButtonFont() {
    const QFont f = find<QPushButton>("Command1")->font();
    QCOMPARE(f.families().value(0), QString("宋体"));
    QCOMPARE(f.pointSize(), 12);
    QCOMPARE(f.weight(), QFont::Normal);
    QVERIFY(!f.italic() && !f.underline() && !f.strikeOut());
    const QString used = QFontInfo(f).family();
    QVERIFY2(used == "宋体" || used == "SimSun" || used.contains("Serif CJK"), qPrintable(used));
    for (const ControlDesc& c : ui::form1Controls()) {
      if (c.kind != ControlKind::CommandButton)
        QCOMPARE(find<QWidget>(nameOf(c))->font(), form()->font());
    }
  }

  void captionsFitTheirLabels() {
    // Labels sized to their caption must show it whole in the window's font; so must the
    // notice, on one line.
    for (const ControlDesc& c : ui::form1Controls()) {
      if (c.kind != ControlKind::Label || !(c.autoSize || c.name == "Label12")) continue;
      auto* label = find<QLabel>(nameOf(c));
      const QFontMetrics fm(label->font());
      QVERIFY2(fm.horizontalAdvance(label->text()) <= label->width(), qPrintable(nameOf(c)));
    }
    const QString notice = find<QLabel>("Label12")->text();
    QVERIFY(!notice.isEmpty() && !notice.contains('\n'));
    QVERIFY(!find<QLabel>("Label12")->wordWrap());
    QVERIFY(QFontMetrics(form()->font()).height() <= 375 / 15);
  }

  void iconImages() {
    const QList<QSize> sizes = form()->windowIcon().availableSizes();
    for (int s : {16, 32, 48}) QVERIFY(sizes.contains(QSize(s, s)));

    QFile file(QStringLiteral(HYDRANT_ICON_ICO));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    const auto u8 = [&](int at) { return static_cast<unsigned char>(ico.at(at)); };
    QCOMPARE(u8(2), 1);  // type: icon
    QCOMPARE(u8(4), 6);  // image count
    QSet<QPair<int, int>> entries;
    for (int i = 0; i < 6; ++i) {
      const int e = 6 + 16 * i;
      entries.insert({u8(e), u8(e + 6)});  // width, bits per pixel
    }
    QCOMPARE(entries,
             (QSet<QPair<int, int>>{{16, 4}, {32, 4}, {48, 4}, {16, 8}, {32, 8}, {48, 8}}));

    // Each image must be the window icon's drawing, reduced to its palette.
    QImageReader reader(&file, "ico");
    file.seek(0);
    QCOMPARE(reader.imageCount(), 6);
    for (int i = 0; i < 6; ++i) {
      QVERIFY(reader.jumpToImage(i));
      const QImage got = reader.read().convertToFormat(QImage::Format_ARGB32);
      const QImage want = ui::drawAppIcon(got.width()).convertToFormat(QImage::Format_ARGB32);
      QVERIFY(!got.isNull());
      long diff = 0;
      int opaque = 0;
      int maskMismatch = 0;
      for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
          const QRgb g = got.pixel(x, y);
          const QRgb w = want.pixel(x, y);
          if ((qAlpha(g) >= 128) != (qAlpha(w) >= 128)) ++maskMismatch;
          if (qAlpha(w) < 255 || qAlpha(g) < 128) continue;
          ++opaque;
          diff += qAbs(qRed(g) - qRed(w)) + qAbs(qGreen(g) - qGreen(w)) + qAbs(qBlue(g) - qBlue(w));
        }
      }
      QVERIFY(opaque > got.width() * got.height() / 2);
      QVERIFY2(maskMismatch == 0, qPrintable(QString::number(maskMismatch)));
      QVERIFY2(diff / opaque < 120, qPrintable(QString::number(diff / opaque)));
    }
  }
};

QTEST_MAIN(WindowTest)
#include "qt_window_test.moc"
