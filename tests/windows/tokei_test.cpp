#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <stdexcept>

#include "harness.h"
#include "platformlocale.h"
#include "sendkeys.h"
#include "ticktimer.h"
#include "units.h"

using windows::FrmTokei;

class TokeiTest : public QObject {
    Q_OBJECT

    Harness h;
    FrmTokei* tokei = nullptr;

    void setClock(int hh, int mm, int ss) { h.clock.Set({2026, 12, 6}, hh, mm, ss); }

private slots:
    void init() { tokei = h.start(); }
    void cleanup() {
        h.stop();
        QCOMPARE(Harness::openWindows(), 0);
    }

    void firstTickFillsLabelsAndTitle() {
        QCOMPARE(tokei->windowTitle(), QStringLiteral("ルピカ時計"));
        QVERIFY(tokei->lbltokei->text().isEmpty());
        h.clock.Set({2001, 3, 5}, 9, 5, 7);
        tokei->Timer1_Timer();
        QCOMPARE(tokei->lblDay->text(), QStringLiteral("2001/03/05"));
        QCOMPARE(tokei->lbltokei->text(), QStringLiteral("09:05:07"));
        QCOMPARE(tokei->windowTitle(), QStringLiteral("ルピカ時計  9:05:07"));
        QVERIFY(h.boxes.empty());
    }

    void firstTickComesAtOnceThenOnTheTenths() {
        tokei->Timer1->start();
        QCoreApplication::processEvents();
        QCOMPARE(tokei->lbltokei->text(), QStringLiteral("07:00:00"));
        QVERIFY(tokei->Timer1->isActive()); // re-armed for the next tenth
    }

    void loadKeepsTheSettingWindowHiddenUntilAsked() {
        QWidget* set = runtime::FindForm(windows::FrmSetName);
        QVERIFY(set != nullptr);
        QVERIFY(!set->isVisible());
        QCOMPARE(tokei->focusWidget(), static_cast<QWidget*>(tokei->Command1));
        tokei->Command1->click();
        QVERIFY(set->isVisible());
        QCOMPARE(runtime::FindForm(windows::FrmSetName), set); // the same instance, not a second one
    }

    void alarmBoxOpensOnceWhileTheClockRunsBehindIt() {
        QVERIFY(!aramu::SetAlarmTime("7", "05"));
        aramu::SetAlarmMessage("<b>起きろ</b>");
        int ticksInsideBox = 0;
        h.answer = [&](const runtime::MsgBoxCall&) {
            // Ticks keep arriving while the box is open.
            for (int i = 0; i < 12; ++i) {
                h.clock.AdvanceSeconds(1);
                tokei->Timer1_Timer();
                ++ticksInsideBox;
            }
            return runtime::MsgAnswer::Ok;
        };
        setClock(7, 4, 59);
        tokei->Timer1_Timer();
        QVERIFY(h.boxes.empty());
        setClock(7, 5, 0);
        tokei->Timer1_Timer();
        QCOMPARE(h.boxes.size(), std::size_t{1});
        QCOMPARE(h.boxes[0].prompt, QStringLiteral("<b>起きろ</b>"));
        QCOMPARE(h.boxes[0].title, QStringLiteral("ルピカ"));
        QCOMPARE(h.boxes[0].style, 4096);
        QCOMPARE(ticksInsideBox, 12);
        QCOMPARE(tokei->lbltokei->text(), QStringLiteral("07:05:12"));
        QCOMPARE(tokei->windowTitle(), QStringLiteral("ルピカ時計  7:05:12"));
        // Back in the alarm minute after the box: nothing more.
        setClock(7, 5, 0);
        tokei->Timer1_Timer();
        QCOMPARE(h.boxes.size(), std::size_t{1});
    }

    void exitConfirmation_data() {
        QTest::addColumn<bool>("titleBar");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("button OK") << false << 1 << true;
        QTest::newRow("button Cancel") << false << 2 << false;
        QTest::newRow("title bar OK") << true << 1 << true;
        QTest::newRow("title bar Cancel") << true << 2 << false;
    }
    void exitConfirmation() {
        QFETCH(bool, titleBar);
        QFETCH(int, answer);
        QFETCH(bool, ends);
        h.answer = [answer](const runtime::MsgBoxCall&) { return answer; };
        if (titleBar)
            tokei->close();
        else
            tokei->Command2->click();
        QCOMPARE(h.boxes.size(), std::size_t{1});
        QCOMPARE(h.boxes[0].prompt, QStringLiteral("終了するがかまわねぇか？"));
        QCOMPARE(h.boxes[0].title, QStringLiteral("終了確認"));
        QCOMPARE(h.boxes[0].style, 65);
        QCOMPARE(runtime::ProgramEnded(), ends);
        QPointer<FrmTokei> guard(tokei);
        Harness::settle();
        if (ends) {
            QVERIFY(guard.isNull());
            QVERIFY(runtime::FindForm(windows::FrmSetName) == nullptr); // no hidden window left behind
        } else {
            QVERIFY(!guard.isNull() && tokei->isVisible());
            setClock(8, 0, 0);
            tokei->Timer1_Timer();
            QCOMPARE(tokei->lbltokei->text(), QStringLiteral("08:00:00"));
        }
    }

    // Drives real boxes, the way a user answers them.
    void realBoxes_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK/Cancel, OK") << 65 << "ok" << 1;
        QTest::newRow("OK/Cancel, close box") << 65 << "close" << 2;
        QTest::newRow("OK/Cancel, Esc") << 65 << "escape" << 2;
        QTest::newRow("alarm, OK") << 4096 << "ok" << 1;
        QTest::newRow("input error, OK") << 0 << "ok" << 1;
    }
    void realBoxes() {
        QFETCH(int, style);
        QFETCH(QString, how);
        QFETCH(int, expected);
        runtime::SetMsgBoxAnswerer({});
        // Opened over the black main window, the box must still use the system's colours.
        tokei->activateWindow();
        QTRY_VERIFY(tokei->isActiveWindow());
        QColor boxBackground;
        QString shownText;
        Qt::TextFormat format = Qt::AutoText;
        bool onTop = false;
        bool modal = false;
        QTimer::singleShot(50, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            shownText = box->text();
            boxBackground = box->grab().toImage().pixelColor(2, 2);
            format = box->textFormat();
            onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            modal = box->isModal();
            if (how == QLatin1String("ok"))
                box->button(QMessageBox::Ok)->click();
            else if (how == QLatin1String("close"))
                box->close();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        const int answer = runtime::MsgBox(QStringLiteral("<img src=\"x.png\">"), style, QStringLiteral("ルピカ"));
        QCOMPARE(answer, expected);
        QCOMPARE(shownText, QStringLiteral("<img src=\"x.png\">"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(boxBackground, QApplication::palette().color(QPalette::Window));
        QCOMPARE(onTop, style == 4096);
        QVERIFY(modal);
    }

    void layoutInPixels() {
        struct Expect {
            QWidget* w;
            QRect r;
        };
        const Expect expected[] = {
            {tokei->lbltokei, {168, 40, 177, 33}}, {tokei->lblDay, {232, 88, 137, 33}},
            {tokei->Command1, {264, 136, 49, 25}}, {tokei->Command2, {320, 136, 49, 25}},
            {tokei->Label1, {176, 128, 81, 17}},   {tokei->txtJikoku, {168, 144, 81, 18}},
            {tokei->Image1, {8, 0, 150, 173}},
        };
        QCOMPARE(tokei->size(), QSize(380, 172));
        for (const Expect& e : expected)
            QCOMPARE(e.w->geometry(), e.r);
        QCOMPARE(tokei->Image1->pixmap().size(), QSize(150, 173));
        // Tab order follows the layout table.
        QCOMPARE(tokei->Command1->nextInFocusChain(), static_cast<QWidget*>(tokei->Command2));
        QCOMPARE(tokei->Command2->nextInFocusChain()->nextInFocusChain(), static_cast<QWidget*>(tokei->txtJikoku));
    }

    void coloursOnScreen() {
        setClock(20, 0, 0);
        tokei->Timer1_Timer();
        const QImage img = tokei->grab().toImage();
        struct Sample {
            const char* what;
            int x, y;
            QColor colour;
        };
        const Sample samples[] = {
            {"upper yellow, XOR on black", 170, 24, QColor(0xFF, 0xFF, 0x00)},
            {"upper orange", 230, 24, QColor(0xFF, 0x80, 0x00)},
            {"red covers orange", 276, 24, QColor(0xFF, 0x00, 0x00)},
            {"lower red", 210, 120, QColor(0xFF, 0x00, 0x00)},
            {"lower orange across lblDay", 290, 120, QColor(0xFF, 0x80, 0x00)},
            {"yellow XOR orange where they meet", 320, 120, QColor(0x00, 0x7F, 0x00)},
            {"lower yellow across lblDay", 350, 120, QColor(0xFF, 0xFF, 0x00)},
            {"background", 370, 5, QColor(Qt::black)},
            {"Label1 background over Line4", 176, 140, QColor(Qt::black)},
            {"txtJikoku background", 240, 158, QColor(0xC0, 0xC0, 0xFF)},
        };
        for (const Sample& s : samples)
            QVERIFY2(img.pixelColor(s.x, s.y) == s.colour, s.what);
        // The buttons' face and the big digits are lilac.
        const auto near = [](QColor a, QColor b) {
            return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
                   std::abs(a.blue() - b.blue()) < 24;
        };
        QVERIFY(near(img.pixelColor(tokei->Command1->geometry().left() + 6, 148), QColor(0x80, 0x80, 0xFF)));
        int lilacInDigits = 0;
        for (int x = 168; x < 345; ++x)
            for (int y = 40; y < 73; ++y)
                lilacInDigits += img.pixelColor(x, y) == QColor(0x80, 0x80, 0xFF) ? 1 : 0;
        QVERIFY(lilacInDigits > 300);
    }

    void tickLandsJustAfterEachTenth_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<int>("delay");
        QTest::newRow("on a boundary") << qint64(1000) << 102;
        QTest::newRow("just after the tick") << qint64(1002) << 100;
        QTest::newRow("mid interval") << qint64(1050) << 52;
        QTest::newRow("just before a boundary") << qint64(1099) << 3;
        QTest::newRow("early by a millisecond") << qint64(1001) << 101;
    }
    void tickLandsJustAfterEachTenth() {
        QFETCH(qint64, now);
        QFETCH(int, delay);
        QCOMPARE(runtime::MsecsToNextTick(now, 100), delay);
        QCOMPARE((now + delay) % 100, qint64(2));
    }

    void sendKeysSelectsAllAndRefusesTheUnknown() {
        tokei->txtJikoku->setText(QStringLiteral("7:05:00"));
        tokei->activateWindow();
        tokei->txtJikoku->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tokei->txtJikoku));
        tokei->txtJikoku->setCursorPosition(3);
        runtime::SendKeys(QStringLiteral("{home}+{end}"));
        QVERIFY(tokei->txtJikoku->selectedText().isEmpty()); // queued, not yet delivered
        QTRY_COMPARE(tokei->txtJikoku->selectedText(), QStringLiteral("7:05:00"));
        for (const char* bad : {"{enter}", "a", "+", "{home", "{HOME}x"})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, runtime::SendKeys(QString::fromUtf8(bad)));
    }

    void localeFormatsFromTheSystem_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("date");
        Row("C", "C", "ルピカ時計  19:05:09", "2001/03/05");
        Row("ja_JP", "ja_JP", "ルピカ時計  19:05:09", "2001/03/05");
        Row("en_US", "en_US", "ルピカ時計  7:05:09 PM", "2001/03/05");
        Row("de_DE", "de_DE", "ルピカ時計  19:05:09", "2001.03.05");
    }
    void localeFormatsFromTheSystem() {
        QFETCH(QString, locale);
        QFETCH(QString, caption);
        QFETCH(QString, date);
        const aramu::LocaleFormats f = runtime::FormatsFromLocale(QLocale(locale));
        QCOMPARE(runtime::ToQt(aramu::CaptionText({0, 19 * 3600 + 5 * 60 + 9}, f)), caption);
        QCOMPARE(runtime::ToQt(aramu::DateText({aramu::DayCountFromCivil({2001, 3, 5}), 0}, f)), date);
    }
};

QTEST_MAIN(TokeiTest)
#include "tokei_test.moc"
