// The windows as a user drives them, in-process with a fake clock and answered boxes.
#undef QT_NO_CAST_FROM_ASCII // plain literals keep the data tables short
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPixmapCache>
#include <QTimeZone>
#include <QtTest>

#include "core/alarmstate.h"
#include "desktop/sound.h"
#include "desktop/systemtime.h"
#include "desktop/userlocale.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/forms.h"
#include "forms/msgbox.h"
#include "windows/frmmsg.h"
#include "windows/frmset.h"
#include "windows/frmtokei.h"
#include "windows/instances.h"
#include "windows/shared.h"

using forms::MsgAnswer;
using forms::MsgStyle;

namespace {

const auto Tokei = [] { return windows::frmTokei().Find(); };
const auto Set = [] { return windows::frmSet().Find(); };
const auto Msg = [] { return windows::frmMsg().Find(); };
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
const auto Click = [](QWidget* form, const char* name) { Ctl<QPushButton>(form, name)->click(); };
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

    // The tick lands just after each second, at once when the clock is set, and behind a real alarm box,
    // whose own event loop it must not wait for.
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
        Row("typed, not completed from the lists", "2", "5", "", "2:05:00");
        Row("full width", "７", "０５", "", "7:05:00");
        Row("hour only", "7", "", Missing, "");
        Row("minute only", "", "05", Missing, "");
        Row("blanks", " ", "05", NotANumber, "");
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
            {"upper yellow, XOR on black", 170, 24, Qt::yellow}, {"one pixel wide", 230, 25, Qt::black}, {"red covers orange", 276, 24, Qt::red},
            {"lower red", 210, 120, Qt::red}, {"orange across lblDay, ends before yellow", 319, 120, QColor(0xFF, 0x80, 0x00)},
            {"yellow starts after orange", 320, 120, Qt::yellow}, {"Label1 over Line4", 176, 140, Qt::black},
            {"txtJikoku", 240, 158, QColor(0xC0, 0xC0, 0xFF)}, {"button face", 270, 148, QColor(0x80, 0x80, 0xFF)}};
        // clang-format on
        for (const auto& s : samples)
            QVERIFY2(colourAt(s.x, s.y) == s.colour, s.what);
        // The upper orange, all of its logical pixel.
        QCOMPARE(main.pixelColor(qRound(230 * scale), qRound(25 * scale) - 1), QColor(0xFF, 0x80, 0x00));
        // clang-format off
        const std::tuple<QWidget*, const char*, QColor> labels[] = {{Tokei(), "lbltokei", windows::Lilac},
            {Tokei(), "lblDay", windows::Lilac}, {Tokei(), "Label1", {}}, {Set(), "Label1", {}}, {Set(), "Label3", {}},
            {Msg(), "Label1", {}}};
        // clang-format on
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
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
