// The windows as a user drives them, in-process with a fake clock and answered boxes.
#undef QT_NO_CAST_FROM_ASCII // plain literals keep the data tables short
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QtTest>

#include "alarmstate.h"
#include "forms.h"
#include "frmmsg.h"
#include "frmset.h"
#include "frmtokei.h"
#include "limitedtextbox.h"
#include "msgbox.h"
#include "systemtime.h"
#include "texts.h"

using runtime::MsgAnswer;
using runtime::MsgStyle;

namespace {

const QString DefaultMessage = QStringLiteral("スロット屋で勝負の時間でぃ！！");
const QString NotANumber = QStringLiteral("てやんでぃ！数字をいれやがれぃ！");
const QString OutsideTheDay = QStringLiteral("てやんでぃ！0時0分から23時59分までにしやがれぃ！");
const QString Missing = QStringLiteral("てやんでぃ！時間をいれやがれぃ！");

struct FakeClock final : aramu::Clock {
    QDateTime now{QDate(2026, 12, 6), QTime(7, 0, 0), Qt::UTC};
    mutable int reads = 0;
    aramu::ClockReading Now() const override {
        ++reads;
        return {now.date(), now.time(), now.toSecsSinceEpoch()};
    }
};

template <class T = QWidget> T* Ctl(const QString& form, const char* name) {
    runtime::Form* f = runtime::FindForm(form);
    return f ? f->findChild<T*>(QLatin1String(name)) : nullptr;
}

// One data row of text cells on one line.
template <class... Cells> void Row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << QString(cells));
}

// Keys for what a keyboard types, an input-method commit for the rest (full-width digits, kanji).
void typeInto(QWidget* edit, const QString& text) {
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
        return QTest::keyClicks(edit, text);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
}

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    FakeClock clock;
    std::vector<runtime::MsgBoxCall> boxes;
    std::function<MsgAnswer(const runtime::MsgBoxCall&)> answer;
    windows::FrmTokei* tokei = nullptr;

    void at(int h, int m, int s) { clock.now.setTime(QTime(h, m, s)); }
    QString text(const QString& form, const char* name) {
        QWidget* w = Ctl(form, name);
        return w->property(qobject_cast<QComboBox*>(w) ? "currentText" : "text").toString();
    }
    void click(const QString& form, const char* name) { Ctl<QPushButton>(form, name)->click(); }
    void openSet() { click(windows::FrmTokeiName, "Command1"); }
    void openMsg() { click(windows::FrmSetName, "Command2"); }
    void typeTime(const QString& hour, const QString& minute) {
        Ctl<QComboBox>(windows::FrmSetName, "Combo1")->setEditText(hour);
        Ctl<QComboBox>(windows::FrmSetName, "Combo2")->setEditText(minute);
    }

private slots:
    void init() {
        aramu::Alarm() = aramu::AlarmState{};
        clock.now = QDateTime(QDate(2026, 12, 6), QTime(7, 0, 0), Qt::UTC);
        runtime::SetProgramClock(&clock);
        boxes.clear();
        answer = [](const runtime::MsgBoxCall&) { return MsgAnswer::Ok; };
        runtime::SetMsgBoxAnswerer([this](const runtime::MsgBoxCall& call) {
            boxes.push_back(call);
            return answer(call);
        });
        windows::RegisterWindows();
        tokei = qobject_cast<windows::FrmTokei*>(runtime::ShowForm(windows::FrmTokeiName));
        tokei->findChild<runtime::TickTimer*>()->stop(); // the test drives every tick itself
    }
    void cleanup() {
        runtime::ResetForms();
        Settle();
        runtime::SetMsgBoxAnswerer({});
        runtime::SetProgramClock(nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->windowTitle()));
    }

    // The message set through the windows; ticks go on behind the one box, each from one reading.
    void alarmBoxOpensOnceWhileTheClockRunsBehindIt() {
        QCOMPARE(tokei->windowTitle(), QStringLiteral("ルピカ時計"));
        openSet();
        openMsg();
        Ctl<QLineEdit>(windows::FrmMsgName, "txtMessage")->setText(QStringLiteral("<b>起きろ</b>"));
        click(windows::FrmMsgName, "Command1");
        typeTime(QStringLiteral("7"), QStringLiteral("05"));
        click(windows::FrmSetName, "Command1");
        answer = [&](const runtime::MsgBoxCall&) {
            for (int i = 0; i < 12; ++i) { // ticks keep arriving while the box is open
                clock.now = clock.now.addSecs(1);
                tokei->Timer1_Timer();
            }
            return MsgAnswer::Ok;
        };
        clock.now = QDateTime(QDate(2001, 3, 5), QTime(7, 4, 59), Qt::UTC);
        tokei->Timer1_Timer();
        QVERIFY(boxes.empty());
        clock.reads = 0;
        at(7, 5, 0);
        tokei->Timer1_Timer();
        QCOMPARE(clock.reads, 13);
        QCOMPARE(boxes.size(), 1u);
        QCOMPARE(boxes[0].prompt + boxes[0].title, QStringLiteral("<b>起きろ</b>ルピカ"));
        QVERIFY(boxes[0].style == MsgStyle::OkSystemModal);
        const QStringList shown = {text(windows::FrmTokeiName, "lblDay"), text(windows::FrmTokeiName, "lbltokei"),
                                   tokei->windowTitle()};
        QCOMPARE(shown, (QStringList{"2001/03/05", "07:05:12", "ルピカ時計  7:05:12"}));
        at(7, 5, 0);
        tokei->Timer1_Timer();
        QCOMPARE(boxes.size(), 1u);
    }

    void exitQuestion_data() {
        QTest::addColumn<bool>("titleBar");
        QTest::addColumn<bool>("ok");
        QTest::newRow("終, OK") << false << true;
        QTest::newRow("終, Cancel") << false << false;
        QTest::newRow("title bar, OK") << true << true;
        QTest::newRow("title bar, Cancel") << true << false;
    }
    void exitQuestion() {
        QFETCH(bool, titleBar);
        QFETCH(bool, ok);
        answer = [ok](const runtime::MsgBoxCall&) { return ok ? MsgAnswer::Ok : MsgAnswer::Cancel; };
        titleBar ? (void)tokei->close() : click(windows::FrmTokeiName, "Command2");
        QCOMPARE(boxes.size(), 1u);
        QCOMPARE(boxes[0].prompt + boxes[0].title, QStringLiteral("終了するがかまわねぇか？終了確認"));
        QVERIFY(boxes[0].style == MsgStyle::OkCancelInformation);
        QPointer<windows::FrmTokei> guard(tokei);
        Settle();
        QCOMPARE(runtime::ProgramEnded(), ok);
        QCOMPARE(guard.isNull(), ok);
        QCOMPARE(runtime::FindForm(windows::FrmSetName) == nullptr, ok); // the hidden window goes too
    }

    void realBoxes_data() {
        QTest::addColumn<MsgStyle>("style");
        QTest::addColumn<QString>("how");
        QTest::addColumn<MsgAnswer>("expected");
        QTest::newRow("exit, OK") << MsgStyle::OkCancelInformation << "ok" << MsgAnswer::Ok;
        QTest::newRow("exit, close box") << MsgStyle::OkCancelInformation << "close" << MsgAnswer::Cancel;
        QTest::newRow("exit, Esc") << MsgStyle::OkCancelInformation << "escape" << MsgAnswer::Cancel;
        QTest::newRow("alarm, Esc") << MsgStyle::OkSystemModal << "escape" << MsgAnswer::Ok;
        QTest::newRow("input error, OK") << MsgStyle::OkOnly << "ok" << MsgAnswer::Ok;
    }
    void realBoxes() {
        QFETCH(MsgStyle, style);
        QFETCH(QString, how);
        QFETCH(MsgAnswer, expected);
        runtime::SetMsgBoxAnswerer({});
        tokei->activateWindow(); // opened over the black main window, the box keeps the system's colours
        QTRY_VERIFY(tokei->isActiveWindow());
        QString shown;
        QColor background;
        bool onTop = false;
        QTimer::singleShot(50, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr && box->textFormat() == Qt::PlainText);
            shown = box->text();
            background = box->grab().toImage().pixelColor(2, 2);
            onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            if (how == QLatin1String("ok"))
                box->button(QMessageBox::Ok)->click();
            else if (how == QLatin1String("close"))
                box->close();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(runtime::MsgBox(QStringLiteral("<img src=\"x.png\">"), style, QStringLiteral("ルピカ")), expected);
        QCOMPARE(shown, QStringLiteral("<img src=\"x.png\">"));
        QCOMPARE(background, QApplication::palette().color(QPalette::Window));
        QCOMPARE(onTop, style == MsgStyle::OkSystemModal);
    }

    // Drawing order matters: XOR lines, red over orange, the stripe over lblDay, Label1 over Line4.
    void stripesAndColours() {
        tokei->Timer1_Timer();
        const QImage img = tokei->grab().toImage();
        const struct {
            const char* what;
            int x, y;
            QColor colour;
        } samples[] = {
            {"upper yellow, XOR on black", 170, 24, QColor(0xFF, 0xFF, 0x00)},
            {"upper orange", 230, 24, QColor(0xFF, 0x80, 0x00)},
            {"red covers orange", 276, 24, QColor(0xFF, 0x00, 0x00)},
            {"lower red", 210, 120, QColor(0xFF, 0x00, 0x00)},
            {"lower orange across lblDay", 290, 120, QColor(0xFF, 0x80, 0x00)},
            {"orange ends before the yellow begins", 319, 120, QColor(0xFF, 0x80, 0x00)},
            {"so no XOR green where they meet", 320, 120, QColor(0xFF, 0xFF, 0x00)},
            {"lower yellow across lblDay", 350, 120, QColor(0xFF, 0xFF, 0x00)},
            {"Label1 over Line4", 176, 140, QColor(Qt::black)},
            {"txtJikoku", 240, 158, QColor(0xC0, 0xC0, 0xFF)},
            {"button face", 270, 148, QColor(0x80, 0x80, 0xFF)},
        };
        for (const auto& s : samples)
            QVERIFY2(img.pixelColor(s.x, s.y) == s.colour, s.what);
    }

    void tickLandsJustAfterEachSecond_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<int>("delay");
        QTest::newRow("on a second") << qint64(5000) << 1002;
        QTest::newRow("just after a tick") << qint64(5002) << 1000;
        QTest::newRow("just before a second") << qint64(5999) << 3;
        QTest::newRow("before 1970") << qint64(-1) << 3;
    }
    void tickLandsJustAfterEachSecond() {
        QFETCH(qint64, now);
        QFETCH(int, delay);
        QCOMPARE(runtime::MsecsToNextTick(now, 1000), delay);
    }

    // The kernel cancels the timer's clock watch when the wall clock is set; the tick follows at once.
    void aSetClockShowsAtOnce() {
        auto* timer = tokei->findChild<runtime::TickTimer*>();
        timer->start();
        QTRY_COMPARE(text(windows::FrmTokeiName, "lbltokei"), QStringLiteral("07:00:00"));
        at(9, 30, 0);
        timer->clockWasSet();
        QCOMPARE(text(windows::FrmTokeiName, "lbltokei"), QStringLiteral("09:30:00"));
        QVERIFY(timer->isActive());
    }

    void settingTheAlarm_data() {
        for (const char* column : {"hour", "minute", "box", "alarm"}) // box: the refusal shown, if any
            QTest::addColumn<QString>(column);
        Row("7 and 05", "7", "05", "", "7:05:00");
        Row("typed, not completed from the lists", "2", "5", "", "2:05:00");
        Row("full width", "７", "０５", "", "7:05:00");
        Row("hour only", "7", "", Missing, "");
        Row("minute only", "", "05", Missing, "");
        Row("blanks", " ", "05", NotANumber, "");
        Row("minute words", "7", "5分", NotANumber, "");
        Row("past 16 bits", "40000", "0", OutsideTheDay, "");
        Row("hour 24", "24", "00", OutsideTheDay, "");
    }
    void settingTheAlarm() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, box);
        QFETCH(QString, alarm);
        openSet();
        QWidget* set = runtime::FindForm(windows::FrmSetName);
        set->activateWindow();
        QTRY_VERIFY(set->isActiveWindow());
        for (auto [name, typed] : {std::pair{"Combo1", hour}, std::pair{"Combo2", minute}}) {
            auto* combo = Ctl<QComboBox>(windows::FrmSetName, name);
            QVERIFY(combo->currentText().isEmpty() && combo->count() == (name[5] == '1' ? 24 : 12));
            combo->setFocus();
            typeInto(combo->lineEdit(), typed);
        }
        QTest::keyClick(Ctl(windows::FrmSetName, "Command1"), Qt::Key_Return); // Enter presses 決, focused or not
        QTRY_VERIFY(!boxes.empty() || runtime::FindForm(windows::FrmSetName) == nullptr);
        QCOMPARE(boxes.empty() ? QString() : boxes[0].prompt + boxes[0].title, box.isEmpty() ? "" : box + "ルピカ");
        QCOMPARE(text(windows::FrmTokeiName, "txtJikoku"), alarm);
        if (!alarm.isEmpty())
            return;
        // Refused: the window stays with what was typed, or with 0 and 0 after missing text.
        const bool missing = box == Missing;
        QCOMPARE(text(windows::FrmSetName, "Combo1") + "|" + text(windows::FrmSetName, "Combo2"),
                 missing ? QStringLiteral("0|0") : hour + "|" + minute);
        QCOMPARE(aramu::Alarm().Generation(), 0u);
        if (missing) { // a second 決 then sets midnight
            click(windows::FrmSetName, "Command1");
            QCOMPARE(text(windows::FrmTokeiName, "txtJikoku"), QStringLiteral("0:00:00"));
        }
    }

    void windowsStartAfreshOnlyOnceClosed() {
        openSet();
        typeTime(QStringLiteral("9"), QString());
        openSet(); // shown again: the same window, as it was
        QCOMPARE(text(windows::FrmSetName, "Combo1"), QStringLiteral("9"));
        openMsg();
        Ctl<QLineEdit>(windows::FrmMsgName, "txtMessage")->setText(QStringLiteral("起きろ"));
        click(windows::FrmMsgName, "Command1");
        openMsg(); // the default again, whatever was stored
        QCOMPARE(text(windows::FrmMsgName, "txtMessage"), DefaultMessage);
        Ctl<QLineEdit>(windows::FrmMsgName, "txtMessage")->setText(QStringLiteral("寝てろ"));
        runtime::FindForm(windows::FrmMsgName)->close(); // stores nothing
        QCOMPARE(aramu::Alarm().AlarmMessage(), QStringLiteral("起きろ"));
        openMsg();
        runtime::FindForm(windows::FrmSetName)->close();
        Settle();
        click(windows::FrmMsgName, "Command1"); // 決 brings the setting window back, afresh
        QVERIFY(runtime::FindForm(windows::FrmSetName)->isVisible());
        QCOMPARE(text(windows::FrmSetName, "Combo1"), QString());
    }

    void backgroundClickSelectsAll() {
        openSet();
        openMsg();
        QWidget* msg = runtime::FindForm(windows::FrmMsgName);
        auto* edit = Ctl<QLineEdit>(windows::FrmMsgName, "txtMessage");
        edit->setCursorPosition(5);
        QTest::mouseClick(Ctl(windows::FrmMsgName, "Label1"), Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(edit->selectedText().isEmpty()); // a click on the label is the label's
        QTest::mouseClick(msg, Qt::LeftButton, {}, QPoint(280, 20));
        QCOMPARE(edit->selectedText(), DefaultMessage);
        QCOMPARE(msg->focusWidget(), edit);
    }

    void twentyCharacters_data() {
        for (const char* column : {"before", "edited", "kept"})
            QTest::addColumn<QString>(column);
        const QString a16(16, u'あ'), a19(19, u'あ'), a20(20, u'あ'), yoshi = QStringLiteral("𠮷");
        Row("20th typed", a19, a19 + "い", a19 + "い");
        Row("21st refused", a20, a20 + "い", a20);
        Row("non-BMP counts once", a19, a19 + yoshi, a19 + yoshi);
        Row("a flag at the end fits", a19, a19 + "🇯🇵", a19 + "🇯🇵");
        Row("a flag that does not fit is left out whole", a19, a19 + "x🇯🇵", a19 + "x");
        Row("an accent typed after its letter", a19 + "e", a19 + "e\u0301", a19 + "e\u0301");
        Row("a family counts once", a19, a19 + "👨\u200D👩\u200D👧", a19 + "👨\u200D👩\u200D👧");
        Row("paste never halves a character", "abc", "abc" + yoshi.repeated(30), "abc" + yoshi.repeated(17));
        Row("paste in the middle keeps the end", "ab" + a16 + "cd", "abZZZZ" + a16 + "cd", "ab" + a16 + "cd");
        Row("deletion", a20, a19, a19);
    }
    void twentyCharacters() {
        QFETCH(QString, before);
        QFETCH(QString, edited);
        QFETCH(QString, kept);
        QCOMPARE(runtime::FitEdit(before, edited, 20).text, kept);
    }

    void typingAndInputMethodsStopAtTwenty() {
        openSet();
        openMsg();
        auto* edit = Ctl<QLineEdit>(windows::FrmMsgName, "txtMessage");
        edit->clear();
        typeInto(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(edit->text(), QStringLiteral("abcdefghijklmnopqrst"));
        edit->clear();
        for (int i = 0; i < 25; ++i)
            typeInto(edit, QStringLiteral("𠮷"));
        QCOMPARE(edit->text(), QStringLiteral("𠮷").repeated(20));
    }

    // Run again under other styles, faces and scales: what the windows show is never cut off or
    // hidden, lines are one logical pixel, and the fields show what is typed in full.
    void looksAsGiven() {
        at(20, 8, 8);
        tokei->Timer1_Timer();
        openSet();
        openMsg();
        const qreal scale = tokei->devicePixelRatioF();
        const QImage main = tokei->grab().toImage();
        const auto device = [&](int logical) { return qRound(logical * scale); };
        for (int y = device(24) - 1; y <= device(25); ++y) // one logical pixel of orange, whatever the scale
            QCOMPARE(main.pixelColor(device(230), y),
                     y == device(24) - 1 || y == device(25) ? QColor(Qt::black) : QColor(0xFF, 0x80, 0x00));
        for (auto [form, name] : {std::pair{windows::FrmTokeiName, "lbltokei"},
                                  {windows::FrmTokeiName, "lblDay"},
                                  {windows::FrmTokeiName, "Label1"},
                                  {windows::FrmSetName, "Label1"},
                                  {windows::FrmSetName, "Label3"},
                                  {windows::FrmMsgName, "Label1"}}) {
            const QImage label = Ctl(form, name)->grab().toImage();
            const QColor back = label.pixelColor(0, 0);
            int top = label.height(), bottom = -1;
            for (int y = 0; y < label.height(); ++y)
                for (int x = 0; x < label.width(); ++x)
                    if (label.pixelColor(x, y) != back) {
                        QVERIFY2(y < label.height() - 1 && x < label.width() - 1, name); // not cut off
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            QVERIFY2(bottom >= 0 && top < label.height() / 2, name); // there, and from the top
        }
        auto* hour = Ctl<QComboBox>(windows::FrmSetName, "Combo1");
        hour->setEditText(QStringLiteral("23"));
        const QImage field = hour->grab().toImage();
        int lit = 0;
        for (int y = 0; y < field.height(); ++y)
            for (int x = 0; x < field.width() / 2; ++x)
                lit += field.pixelColor(x, y).blue() > 0x80 ? 1 : 0;
        QVERIFY2(lit > 10, "the typed hour shows");
        hour->showPopup(); // a list entry is drawn as if it had all the room: "10", not "…"
        const QModelIndex ten = hour->model()->index(9, 0);
        const QRect cell = hour->view()->visualRect(ten);
        const auto paint = [&](int width) {
            QImage image(width, cell.height(), QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            QStyleOptionViewItem item;
            item.initFrom(hour->view());
            item.widget = hour->view();
            item.rect = QRect(0, 0, width, cell.height());
            hour->view()->itemDelegate()->paint(&painter, item, ten);
            return image.copy(0, 0, cell.width(), cell.height());
        };
        QVERIFY2(paint(cell.width()) == paint(cell.width() + 100), "10 is elided");
        hour->hidePopup();
    }

    // Under the sanitizers this also shows that nothing a window holds outlives it.
    void openAndCloseAThousandTimes() {
        runtime::UnloadForm(windows::FrmSetName);
        Settle();
        const auto before = QApplication::allWidgets().size();
        for (int i = 0; i < 1000; ++i) {
            openSet();
            openMsg();
            if (i % 2 == 0)
                runtime::FindForm(windows::FrmMsgName)->close();
            else
                click(windows::FrmMsgName, "Command1");
            runtime::FindForm(windows::FrmSetName)->close();
            Settle();
        }
        QCOMPARE(QApplication::allWidgets().size(), before);
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
