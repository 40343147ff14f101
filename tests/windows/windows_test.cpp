// The windows as a user drives them, in-process with a fake clock and answered boxes.
#undef QT_NO_CAST_FROM_ASCII // plain literals keep the data tables short
#include <QAbstractItemView>
#include <QAccessible>
#include <QBackingStore>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmapCache>
#include <QTimeZone>
#include <QtTest>

#include <optional>

#include "core/alarmstate.h"
#include "desktop/sound.h"
#include "desktop/systemtime.h"
#include "desktop/userlocale.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/forms.h"
#include "forms/limitedtextbox.h"
#include "forms/msgbox.h"
#include "forms/ticklabel.h"
#include "windows/frmmsg.h"
#include "windows/frmset.h"
#include "windows/frmtokei.h"
#include "windows/instances.h"
#include "windows/shared.h"

using forms::MsgAnswer;
using forms::MsgStyle;

namespace {

forms::Form* Tokei() {
    return windows::frmTokei().Find();
}
forms::Form* Set() {
    return windows::frmSet().Find();
}
forms::Form* Msg() {
    return windows::frmMsg().Find();
}
const QString DefaultMessage = "スロット屋で勝負の時間でぃ！！", Missing = "てやんでぃ！時間をいれやがれぃ！";
const QString NotANumber = "てやんでぃ！数字をいれやがれぃ！",
              OutsideTheDay = "てやんでぃ！0時0分から23時59分までにしやがれぃ！";

struct FakeClock final : aramu::Clock {
    QDateTime now;
    mutable int reads = 0;
    aramu::ClockReading Now() const override {
        return ++reads, aramu::ClockReading{now.date(), now.time(), now.toSecsSinceEpoch(), now.toSecsSinceEpoch()};
    }
};

template <class T = QWidget> T* Ctl(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1String(name));
}
QString Text(QWidget* form, const char* name) {
    QWidget* w = Ctl(form, name);
    return w->property(qobject_cast<QComboBox*>(w) ? "currentText" : "text").toString();
}
void Click(QWidget* form, const char* name) {
    Ctl<QPushButton>(form, name)->click();
}
// Keys for what a keyboard types, an input-method commit for the rest (full-width digits, kanji, a paste).
void Type(QWidget* edit, const QString& text) {
    if (text.size() < 100 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
        return QTest::keyClicks(edit, text);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
}
void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
// Pixels of `image` (its left part if given) that `pick` takes.
template <class Pick> int Count(const QImage& image, Pick pick, int width = -1) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < (width < 0 ? image.width() : width); ++x)
            n += pick(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}
// The part of `window`, a picture of the label's window, where the label lies.
QImage Where(const QWidget* label, const QImage& window) {
    const qreal r = label->devicePixelRatioF();
    return window.copy(QRect(label->mapTo(label->window(), QPoint()) * r, label->size() * r))
        .convertToFormat(QImage::Format_RGB32);
}
// True where the picture is of one colour only.
bool Blank(const QImage& image) {
    QImage ground(image.size(), image.format());
    ground.fill(image.pixel(0, 0));
    return image == ground;
}
// What the window's backing store holds where `label` lies.
QImage OnScreen(const QWidget* label) {
    const QPaintDevice* store = label->window()->backingStore()->paintDevice();
    return store->devType() == QInternal::Image ? Where(label, *static_cast<const QImage*>(store)) : QImage();
}
// What a label made afresh like `shown`, over a window like its own, draws of `text`.
QImage Afresh(const forms::TickLabel* shown, const QString& text) {
    const QWidget* parent = shown->window();
    QWidget host;
    host.setPalette(parent->palette());
    host.setBackgroundRole(parent->backgroundRole());
    host.setAutoFillBackground(parent->autoFillBackground());
    host.resize(parent->size());
    (void)host.winId(); // a window of its own, on the label's screen and at its scale
    host.windowHandle()->setScreen(shown->screen());
    auto* label = new forms::TickLabel(&host);
    label->setGeometry(shown->geometry());
    label->setFont(shown->font());
    label->setPalette(shown->palette());
    label->setAutoFillBackground(shown->autoFillBackground());
    label->setLayoutDirection(shown->layoutDirection());
    label->setText(text);
    if (label->devicePixelRatioF() != shown->devicePixelRatioF())
        return {};
    // The whole window, as text drawn at another offset may be antialiased otherwise.
    return Where(label, host.grab().toImage());
}
// One data row of text cells on one line.
template <class... Cells> void Row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << QString(cells));
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    FakeClock clock;
    std::vector<forms::MsgBoxCall> boxes;
    std::function<MsgAnswer(const forms::MsgBoxCall&)> answer;
    windows::FrmTokei* tokei = nullptr;

    void tickAt(int h, int m, int s) {
        clock.now.setTime(QTime(h, m, s));
        tokei->Timer1_Timer();
    }

private slots:
    void init() {
        aramu::Alarm() = aramu::AlarmState{};
        clock.now = QDateTime(QDate(2026, 12, 6), QTime(7, 0, 0), QTimeZone::utc());
        desktop::SetProgramClock(&clock);
        boxes.clear();
        answer = [](const forms::MsgBoxCall&) { return MsgAnswer::Ok; };
        forms::SetMsgBoxAnswerer([this](const forms::MsgBoxCall& call) { return boxes.push_back(call), answer(call); });
        tokei = &windows::frmTokei().Show();
        tokei->findChild<desktop::TickTimer*>()->Stop(); // the test drives every tick itself
    }
    void cleanup() {
        forms::ResetForms();
        Settle();
        forms::SetMsgBoxAnswerer({});
        desktop::SetProgramClock(nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->windowTitle()));
    }

    // The message set through the windows; ticks go on behind the one box, each from one reading.
    void alarmBoxOpensOnceWhileTheClockRunsBehindIt() {
        QCOMPARE(tokei->windowTitle(), "ルピカ時計");
        Click(Tokei(), "Command1");
        Click(Set(), "Command2");
        Ctl<QLineEdit>(Msg(), "txtMessage")->setText("<b>起きろ</b>");
        Click(Msg(), "Command1"); // back in the setting window
        Ctl<QComboBox>(Set(), "Combo1")->setEditText("7");
        Ctl<QComboBox>(Set(), "Combo2")->setEditText("05");
        Click(Set(), "Command1");
        int rings = 0, sound = -1;
        QStringList behind;
        answer = [&](const forms::MsgBoxCall& call) {
            for (int s = 1; s <= 12; ++s) // ticks keep arriving while the box is open
                tickAt(7, 5, s);
            behind = {Text(Tokei(), "lblDay"), Text(Tokei(), "lbltokei"), tokei->windowTitle()};
            clock.now = clock.now.addDays(1); // left open until the next day's alarm, which rings it again
            tickAt(7, 4, 59);
            tickAt(7, 5, 0);
            rings = call.sound ? call.sound->Rings() : -1;
            sound = call.sound ? call.sound->SoundKind() : -1;
            return MsgAnswer::Ok;
        };
        clock.now.setDate(QDate(2001, 3, 5));
        tickAt(7, 4, 59);
        clock.reads = 0;
        tickAt(7, 5, 0);
        QCOMPARE(clock.reads, 15);
        QCOMPARE(boxes.size(), 1u);
        QCOMPARE(boxes[0].prompt + boxes[0].title, "<b>起きろ</b>ルピカ");
        QVERIFY(boxes[0].style == MsgStyle::OkSystemModal && sound == desktop::BoxSound::Alarm);
        QCOMPARE(behind, QStringList({"2001/03/05", "07:05:12", "ルピカ時計  7:05:12"}));
        QCOMPARE(rings, 1); // never started by an answered box, but asked to ring again once
        tickAt(7, 5, 1);    // no late box for the day that rang in the open one
        QCOMPARE(boxes.size(), 1u);
        clock.now = clock.now.addDays(1); // and the day after, once the box is gone, a box again
        tickAt(7, 4, 59);
        tickAt(7, 5, 0);
        QCOMPARE(boxes.size(), 2u);
    }

    // Cancel from the title bar keeps everything; OK from 終 ends the program, the hidden window too.
    void exitQuestion() {
        QPointer<windows::FrmTokei> guard(tokei);
        for (const MsgAnswer given : {MsgAnswer::Cancel, MsgAnswer::Ok}) {
            answer = [given](const forms::MsgBoxCall&) { return given; };
            const bool ok = given == MsgAnswer::Ok;
            ok ? Click(Tokei(), "Command2") : (void)tokei->close();
            QCOMPARE(boxes.size(), ok ? 2u : 1u);
            QCOMPARE(boxes.back().prompt + boxes.back().title, "終了するがかまわねぇか？終了確認");
            QVERIFY(boxes.back().style == MsgStyle::OkCancelInformation);
            Settle();
            QCOMPARE(forms::ProgramEnded(), ok);
            QCOMPARE(guard && guard->isVisible(), !ok);
            QCOMPARE(Set() == nullptr, ok);
        }
    }

    // Real boxes answered as a user would: plain text, the system's colours over the black window.
    void realBoxes() {
        forms::SetMsgBoxAnswerer({});
        for (auto [style, how, expected] : {std::tuple{MsgStyle::OkCancelInformation, "ok", MsgAnswer::Ok},
                                            {MsgStyle::OkCancelInformation, "close box", MsgAnswer::Cancel},
                                            {MsgStyle::OkSystemModal, "Esc", MsgAnswer::Ok}}) {
            tokei->activateWindow();
            QTRY_VERIFY(tokei->isActiveWindow());
            QString shown; // what the box held as it showed: its text, whether plain, on top, its buttons
            QColor background;
            QTimer::singleShot(0, this, [&, how = QString(how)] {
                QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown = box->text() + (box->textFormat() == Qt::PlainText ? " plain" : "") +
                        (box->icon() == QMessageBox::Information ? " (i)" : "") +
                        (box->windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? " on top" : "");
                for (QAbstractButton* button : box->buttons())
                    shown += " " + button->text();
                background = box->grab().toImage().pixelColor(2, 2);
                how == "ok"          ? box->button(QMessageBox::Ok)->click()
                : how == "close box" ? (void)box->close()
                                     : QTest::keyClick(box, Qt::Key_Escape);
            });
            QVERIFY2(forms::MsgBox("<img src=\"x.png\">", style, "ルピカ") == expected, how);
            QCOMPARE(shown, QString("<img src=\"x.png\"> plain") +
                                (style == MsgStyle::OkSystemModal ? " on top OK" : " (i) OK キャンセル"));
            QCOMPARE(background, QApplication::palette().color(QPalette::Window));
        }
    }

    // And it goes on behind a real alarm box, whose own event loop the tick must not wait for.
    void tickLandsJustAfterEachSecondAndAtOnceWhenTheClockIsSet() {
        for (auto [now, delay] : {std::pair{5000, 1002}, {5002, 1000}, {5999, 3}, {-1, 3}})
            QCOMPARE(desktop::MsecsToNextTick(now, 1000), delay);
        auto* timer = tokei->findChild<desktop::TickTimer*>();
        timer->Start();
        QTRY_COMPARE(Text(Tokei(), "lbltokei"), "07:00:00");
        clock.now.setTime(QTime(9, 30, 0));
        timer->ClockWasSet(); // what the kernel's cancelled timer brings about
        QCOMPARE(Text(Tokei(), "lbltokei"), "09:30:00");
        QVERIFY(timer->IsActive() && timer->RemainingMs() <= 1002);

        forms::SetMsgBoxAnswerer({});
        QVERIFY(!aramu::Alarm().SetAlarmTime(u"9", u"31", desktop::UserFormats()));
        QString behind;
        QTimer watch; // runs inside the box's own event loop too
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                watch.stop();
                clock.now.setTime(QTime(9, 31, 1));
                (void)QTest::qWaitFor([&] { return Text(Tokei(), "lbltokei") == "09:31:01"; }, 2000);
                behind = Text(Tokei(), "lbltokei");
                box->close();
            }
        });
        watch.start(50);
        clock.now.setTime(QTime(9, 31, 0)); // the next tick rings, and waits in the box
        QTRY_VERIFY_WITH_TIMEOUT(!behind.isEmpty(), 5000);
        QCOMPARE(behind, "09:31:01");
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
        Row("pasted past 32,767 characters", QString(40000, '0') + "7", "05", "", "7:05:00");
    }
    void settingTheAlarm() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, box);
        QFETCH(QString, alarm);
        Click(Tokei(), "Command1");
        Set()->activateWindow();
        QTRY_VERIFY(Set()->isActiveWindow());
        for (auto [name, typed, count] : {std::tuple{"Combo1", hour, 24}, {"Combo2", minute, 12}}) {
            auto* combo = Ctl<QComboBox>(Set(), name);
            QVERIFY(combo->currentText().isEmpty() && combo->count() == count);
            combo->setFocus();
            Type(combo->lineEdit(), typed);
        }
        QTest::keyClick(Ctl(Set(), "Command1"), Qt::Key_Return); // Enter presses 決, which has the focus
        QTRY_VERIFY(!boxes.empty() || Set() == nullptr);
        QCOMPARE(boxes.empty() ? "" : boxes[0].prompt + boxes[0].title, box.isEmpty() ? "" : box + "ルピカ");
        QCOMPARE(Text(Tokei(), "txtJikoku"), alarm);
        if (!alarm.isEmpty())
            return;
        // Refused: the window stays with what was typed, or with 0 and 0 after missing text.
        QCOMPARE(Text(Set(), "Combo1") + "|" + Text(Set(), "Combo2"), box == Missing ? "0|0" : hour + "|" + minute);
        QCOMPARE(aramu::Alarm().Generation(), 0u);
        Click(Set(), "Command1"); // after missing text a second 決 sets midnight
        QCOMPARE(Text(Tokei(), "txtJikoku"), box == Missing ? "0:00:00" : "");
    }

    // Shown again, a window is as it was; loaded again, it starts afresh, and nothing a closed one held
    // outlives it. In 文's window typing stops at twenty characters and a background click selects all.
    void windowsStartAfreshOnlyOnceClosed() {
        const auto widgets = QApplication::allWidgets().size();
        Click(Tokei(), "Command1");
        Ctl<QComboBox>(Set(), "Combo1")->setEditText("9");
        Click(Tokei(), "Command1");
        QCOMPARE(Text(Set(), "Combo1"), "9");
        Click(Set(), "Command2");
        auto* edit = Ctl<QLineEdit>(Msg(), "txtMessage");
        QCOMPARE(Msg()->focusWidget(), edit);
        edit->clear();
        Type(edit, "abcdefghijklmnopqrstuvwxyz");
        QCOMPARE(edit->text(), "abcdefghijklmnopqrst");
        edit->setCursorPosition(5);
        QTest::mouseClick(Ctl(Msg(), "Label1"), Qt::LeftButton, {}, QPoint(10, 5));
        QVERIFY(edit->selectedText().isEmpty()); // a click on the label is the label's
        QTest::mouseClick(Msg(), Qt::LeftButton, {}, QPoint(280, 20));
        QCOMPARE(edit->selectedText(), "abcdefghijklmnopqrst");
        Click(Msg(), "Command1");
        Click(Set(), "Command2"); // the default again, whatever was stored
        QCOMPARE(Text(Msg(), "txtMessage"), DefaultMessage);
        Ctl<QLineEdit>(Msg(), "txtMessage")->setText("寝てろ");
        Msg()->close(); // stores nothing
        QCOMPARE(aramu::Alarm().AlarmMessage(), "abcdefghijklmnopqrst");
        Click(Set(), "Command2");
        Set()->close();
        Settle();
        Click(Msg(), "Command1"); // 決 brings the setting window back, afresh
        QVERIFY(Set()->isVisible() && Text(Set(), "Combo1").isEmpty());
        Settle();
        QCOMPARE(QApplication::allWidgets().size(), widgets);
    }

    // A clock set every evening for months keeps nothing of each closed setting window: after the first
    // few, a new one's fields are drawn from the pictures already cached, and nothing crowds out a
    // picture cached before.
    void settingWindowsLeaveNothingBehind() {
        const auto set = [&](int times) {
            for (int i = 0; i < times; ++i) {
                Click(Tokei(), "Command1");
                QVERIFY(QTest::qWaitForWindowExposed(Set()));
                for (const char* name : {"Combo1", "Combo2"}) {
                    auto* combo = Ctl<QComboBox>(Set(), name);
                    combo->setFocus();
                    Type(combo->lineEdit(), "7");
                    Settle();
                }
                Click(Set(), "Command1");
                Settle();
            }
        };
        const int limit = QPixmapCache::cacheLimit();
        QPixmapCache::setCacheLimit(64); // kB: a few windows cached anew crowd out the oldest picture
        set(4);
        const QPixmapCache::Key probe = QPixmapCache::insert(QPixmap(16, 16));
        const auto widgets = QApplication::allWidgets().size();
        set(8);
        const bool kept = QPixmapCache::find(probe, nullptr);
        QPixmapCache::setCacheLimit(limit);
        QVERIFY2(kept, "each new setting window cached its pictures anew");
        QCOMPARE(QApplication::allWidgets().size(), widgets);
    }

    void twentyCharacters() {
        const QString a16(16, u'あ'), a19(19, u'あ'), a20(20, u'あ'), yoshi = "𠮷", family = "👨\u200D👩\u200D👧";
        // clang-format off
        const struct { const char* what; QString before, edited, kept; } cases[] = {
            {"20th typed", a19, a19 + "い", a19 + "い"},
            {"21st refused", a20, a20 + "い", a20},
            {"non-BMP counts once", a19, a19 + yoshi, a19 + yoshi},
            {"a flag at the end fits", a19, a19 + "🇯🇵", a19 + "🇯🇵"},
            {"a flag that does not fit is left out whole", a19, a19 + "x🇯🇵", a19 + "x"},
            {"an accent typed after its letter", a19 + "e", a19 + "e\u0301", a19 + "e\u0301"},
            {"a family counts once", a19, a19 + family, a19 + family},
            {"paste never halves a character", "abc", "abc" + yoshi.repeated(30), "abc" + yoshi.repeated(17)},
            {"paste in the middle keeps the end", "ab" + a16 + "cd", "abZZZZ" + a16 + "cd", "ab" + a16 + "cd"},
            {"deletion", a20, a19, a19}};
        // clang-format on
        for (const auto& c : cases)
            QVERIFY2(forms::FitEdit(c.before, c.edited, 20).text == c.kept, c.what);
    }

    void secondsRepaintAsAWholeWould_data() {
        QTest::addColumn<QString>("change");
        for (const char* change : {"none", "a new font", "a slanted face", "a face too wide, condensed", "a resize",
                                   "a new scale", "right to left", "the window's background"})
            QTest::newRow(change) << QString(change);
    }
    // A new second repaints the clock only where a character changed and where its ink reaches; what that
    // leaves on screen is what a label made afresh, with the same face, size, colours, ground and text,
    // draws. After each change the label draws nothing it measured or drew before. Also run under every look.
    void secondsRepaintAsAWholeWould() {
        QFETCH(QString, change);
        QVERIFY(QTest::qWaitForWindowExposed(tokei));
        auto* label = Ctl<forms::TickLabel>(Tokei(), "lbltokei");
        const QDate day(2026, 12, 31), next(2027, 1, 1);
        const auto tick = [&](QDate date, QTime time) {
            clock.now = QDateTime(date, time, QTimeZone::utc());
            tokei->Timer1_Timer();
            Settle();
        };
        // Every digit measured and drawn before the change, so that none is first measured after it.
        for (const QTime time : {QTime(12, 34, 56), QTime(7, 8, 9), QTime(7, 0, 9)})
            tick(day, time);
        QFont font = label->font();
        if (change == "a new font") {
            label->setFont(forms::MakeFont(forms::Face::MsGothic, 16, true));
        } else if (change == "a slanted face") { // whose ink reaches into the next cell
            font.setItalic(true);
            label->setFont(font);
        } else if (change == "a face too wide, condensed") {
            font.setPointSizeF(40);
            font.setItalic(true);
            label->setFont(font);
        } else if (change == "a resize") {
            label->resize(120, 40); // narrower than the text, condensed, and taller
        } else if (change == "a new scale") {
            const qreal scale = tokei->devicePixelRatioF();
            if (QGuiApplication::screens().size() < 2)
                QSKIP("one screen only: run with QT_QPA_PLATFORM=offscreen:configfile=two-screens.json");
            // Shown again there, as the test's screens cannot tell a shown window of a new scale.
            tokei->hide();
            tokei->windowHandle()->setScreen(QGuiApplication::screens()[1]);
            tokei->show();
            QVERIFY(QTest::qWaitForWindowExposed(tokei));
            QCOMPARE(tokei->devicePixelRatioF(), 2 * scale);
        } else if (change == "right to left") {
            label->setLayoutDirection(Qt::RightToLeft);
        } else if (change == "the window's background") {
            QPalette palette = tokei->palette();
            palette.setColor(QPalette::Window, QColor(0x20, 0x20, 0x60));
            tokei->setPalette(palette);
        }
        Settle();
        // 9 to 10, 59 to 00, midnight and the year.
        const std::pair<QDate, QTime> ticks[] = {{day, {7, 0, 10}},   {day, {7, 0, 59}}, {day, {7, 1, 0}},
                                                 {day, {23, 59, 59}}, {next, {0, 0, 0}}, {next, {0, 0, 9}},
                                                 {next, {0, 0, 10}},  {next, {0, 1, 0}}};
        for (const auto& [date, time] : ticks) {
            tick(date, time);
            const QString drawn = time.toString("hh:mm:ss");
            const QImage afresh = Afresh(label, drawn);
            QVERIFY(!afresh.isNull());
            if (change == "a new scale" && Blank(afresh)) // as Qt 6.8's offscreen platform draws there
                QSKIP("this Qt's offscreen platform draws nothing of a window on its second screen");
            QVERIFY2(OnScreen(label) == afresh, qPrintable(drawn));
            // Screen readers read what is drawn.
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), drawn);
        }
    }

    // Also run under other styles, faces and scales: nothing cut off or hidden, the stripes' order
    // and colours, lines one logical pixel, fields showing what is typed and list entries in full.
    void looksAsGiven() {
        tickAt(20, 8, 8);
        Click(Tokei(), "Command1");
        Click(Set(), "Command2");
        // A look not in effect would test nothing: Qt falls back quietly from a style it cannot load.
        if (const QString style = qEnvironmentVariable("QT_STYLE_OVERRIDE"); !style.isEmpty())
            QCOMPARE(QApplication::style()->name(), style.toLower());
        if (const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR"); !scale.isEmpty())
            QCOMPARE(tokei->devicePixelRatioF(), scale.toDouble());
        for (QWidget* w : {Ctl(Tokei(), "lbltokei"), Ctl(Set(), "Combo1"), Ctl(Msg(), "Label1")})
            QVERIFY2(QFontInfo(w->font()).family().startsWith(qEnvironmentVariable("LOOK_FACE")),
                     qPrintable(QFontInfo(w->font()).family()));
        const qreal scale = tokei->devicePixelRatioF();
        const QImage main = tokei->grab().toImage();
        const auto colourAt = [&](int x, int y) { return main.pixelColor(qRound(x * scale), qRound(y * scale)); };
        // clang-format off
        const struct { const char* what; int x, y; QColor colour; } samples[] = {
            {"upper yellow, XOR on black", 170, 24, Qt::yellow}, {"upper orange", 230, 24, QColor(0xFF, 0x80, 0x00)},
            {"one pixel wide", 230, 25, Qt::black}, {"red covers orange", 276, 24, Qt::red}, {"lower red", 210, 120, Qt::red},
            {"lower orange across lblDay", 290, 120, QColor(0xFF, 0x80, 0x00)}, {"orange ends before yellow", 319, 120, QColor(0xFF, 0x80, 0x00)},
            {"yellow starts after orange", 320, 120, Qt::yellow}, {"Label1 over Line4", 176, 140, Qt::black},
            {"txtJikoku", 240, 158, QColor(0xC0, 0xC0, 0xFF)}, {"button face", 270, 148, QColor(0x80, 0x80, 0xFF)}};
        // clang-format on
        for (const auto& s : samples)
            QVERIFY2(colourAt(s.x, s.y) == s.colour, s.what);
        QCOMPARE(main.pixelColor(qRound(230 * scale), qRound(25 * scale) - 1), QColor(0xFF, 0x80, 0x00)); // all of it
        const std::tuple<QWidget*, const char*, QColor> labels[] = {{Tokei(), "lbltokei", windows::Lilac},
                                                                    {Tokei(), "lblDay", windows::Lilac},
                                                                    {Tokei(), "Label1", {}},
                                                                    {Set(), "Label1", {}},
                                                                    {Set(), "Label3", {}},
                                                                    {Msg(), "Label1", {}}};
        for (const auto& [form, name, colour] : labels) {
            const QImage label = Ctl(form, name)->grab().toImage();
            // The big digits in their own colour: strokes that wide have pixels of it alone.
            QVERIFY2(!colour.isValid() || Count(label, [&](QColor c) { return c == colour; }) > 0, name);
            int top = label.height(), bottom = -1;
            for (int y = 0; y < label.height(); ++y)
                for (int x = 0; x < label.width(); ++x)
                    if (label.pixelColor(x, y) != label.pixelColor(0, 0)) {
                        QVERIFY2(y < label.height() - 1 && x < label.width() - 1, name); // not cut off
                        top = std::min(top, y), bottom = std::max(bottom, y);
                    }
            QVERIFY2(bottom >= 0 && top < label.height() / 2, name); // there, and from the top
        }
        auto* hour = Ctl<QComboBox>(Set(), "Combo1");
        hour->setEditText("23");
        const QImage field = hour->grab().toImage();
        const auto lilac = [](QColor c) { return c.blue() > 0x80 && c.blue() - c.red() > 0x20; }; // not the grey edge
        QVERIFY2(Count(field, lilac, field.width() / 2) > 10, "the typed hour shows");
        // Bold stays as heavy at every scale.
        const auto ink = [](bool bold) {
            QWidget host;
            const QFont font = forms::MakeFont(forms::Face::MsPMincho, 9, bold);
            QLabel* label = forms::MakeLabel(&host, "ink", "鈴設定時刻", {0, 0, 1215, 255}, Qt::white, Qt::black, font);
            return Count(label->grab().toImage(), [](QColor c) { return c.lightness() > 127; });
        };
        // A bold made up by FreeType (the IPA faces) doubles the ink at 1x, a face's own bold less so.
        const QFontInfo bold(forms::MakeFont(forms::Face::MsPMincho, 9, true));
        const bool madeUp = QFontDatabase::weight(bold.family(), bold.styleName()) < QFont::Bold;
        QVERIFY2(ink(true) > ink(false) * (madeUp ? 1.6 : 1.1), "bold is not as heavy as it should be");
        hour->showPopup(); // a list entry in full, "10" and not "…": as it shows in a wider list
        QWidget* list = hour->view()->window();
        const QRect ten = hour->view()->visualRect(hour->model()->index(9, 0));
        const QImage asShown = hour->view()->viewport()->grab(ten).toImage();
        list->resize(list->width() + 100, list->height());
        QVERIFY2(hour->view()->viewport()->grab(ten).toImage() == asShown, "10 is elided");
        hour->hidePopup();
    }

    // Where the environment leaves the character type to C, LC_CTYPE names UTF-8 before Qt reads it; whatever
    // the user chose instead stays, LC_ALL above all. (The environment is put back afterwards.)
    void utf8WhereTheEnvironmentLeavesTheCLocale() {
#if !defined(Q_OS_UNIX)
        QSKIP("only a Unix C library takes its character type from LC_ALL, LC_CTYPE and LANG");
#endif
        // nullptr: unset
        const struct {
            const char *all, *ctype, *lang, *ctypeAfter;
        } cases[] = {
            {nullptr, nullptr, nullptr, "C.UTF-8"},
            {nullptr, nullptr, "C", "C.UTF-8"},
            {"", "", "", "C.UTF-8"},
            {nullptr, "C", "ja_JP.UTF-8", "C.UTF-8"},
            {nullptr, nullptr, "ja_JP.UTF-8", nullptr},
            {nullptr, "en_US.UTF-8", "C", "en_US.UTF-8"},
            {"C", nullptr, nullptr, nullptr},
            {"POSIX", "C", "C", "C"},
            {"ja_JP.UTF-8", nullptr, "C", nullptr},
        };
        const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
        std::optional<QByteArray> saved[3];
        for (int i = 0; i < 3; ++i)
            if (qEnvironmentVariableIsSet(names[i]))
                saved[i] = qgetenv(names[i]);
        const auto put = [](const char* name, const char* value) { value ? qputenv(name, value) : qunsetenv(name); };
        for (const auto& c : cases) {
            put("LC_ALL", c.all), put("LC_CTYPE", c.ctype), put("LANG", c.lang);
            desktop::UseUtf8InTheCLocale();
            const QByteArray what =
                QByteArray(c.all ? c.all : "-") + ' ' + (c.ctype ? c.ctype : "-") + ' ' + (c.lang ? c.lang : "-");
            QVERIFY2(qEnvironmentVariableIsSet("LC_CTYPE") == (c.ctypeAfter != nullptr), what);
            if (c.ctypeAfter)
                QCOMPARE(qgetenv("LC_CTYPE"), QByteArray(c.ctypeAfter));
        }
        for (int i = 0; i < 3; ++i)
            put(names[i], saved[i] ? saved[i]->constData() : nullptr);
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
