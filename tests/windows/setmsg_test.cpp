#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

#include "frmmsg.h"
#include "frmset.h"
#include "harness.h"
#include "limitedtextbox.h"
#include "units.h"

using windows::FrmMsg;
using windows::FrmSet;
using windows::FrmTokei;

namespace {
const QString DefaultMessage = QStringLiteral("スロット屋で勝負の時間でぃ！！");
const QString NotANumber = QStringLiteral("てやんでぃ！数字をいれやがれぃ！");
const QString OutsideTheDay = QStringLiteral("てやんでぃ！0時0分から23時59分までにしやがれぃ！");
const QString Missing = QStringLiteral("てやんでぃ！時間をいれやがれぃ！");
} // namespace

class SetMsgTest : public QObject {
    Q_OBJECT

    Harness h;
    FrmTokei* tokei = nullptr;

    FrmSet* openSet() {
        tokei->Command1->click();
        return Harness::form<FrmSet>(windows::FrmSetName);
    }
    FrmMsg* openMsg(FrmSet* set) {
        set->Command2->click();
        return Harness::form<FrmMsg>(windows::FrmMsgName);
    }
    // How often the alarm is due over one whole day.
    static int dueSecondsOfTheDay(std::int32_t* at) {
        int n = 0;
        for (std::int32_t s = 0; s < 86400; ++s)
            if (aramu::IsAlarmDue({0, s})) {
                ++n;
                *at = s;
            }
        return n;
    }

private slots:
    void init() { tokei = h.start(); }
    void cleanup() {
        h.stop();
        QCOMPARE(Harness::openWindows(), 0);
    }

    void startsEmptyWithFullLists() {
        FrmSet* set = openSet();
        QCOMPARE(set->size(), QSize(300, 81));
        QCOMPARE(set->Command1->geometry(), QRect(248, 48, 49, 25));
        QCOMPARE(set->focusWidget(), static_cast<QWidget*>(set->Command1));
        // Both start empty with nothing picked; midnight's hour comes last, minutes keep two digits.
        const QStringList ends = {set->Combo1->itemText(0), set->Combo1->itemText(23), set->Combo2->itemText(0),
                                  set->Combo2->itemText(11)};
        QCOMPARE(ends,
                 (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("00"), QStringLiteral("55")}));
        for (QComboBox* combo : {set->Combo1, set->Combo2})
            QVERIFY(combo->isEditable() && combo->currentIndex() == -1 && combo->currentText().isEmpty());
    }

    void pickSevenOhFiveAndConfirm() {
        FrmSet* set = openSet();
        set->Combo1->setCurrentIndex(6);
        set->Combo2->setCurrentIndex(1);
        QCOMPARE(set->Combo1->currentText() + set->Combo2->currentText(), QStringLiteral("705"));
        // Enter on the focused "決" confirms, as a user would press it.
        QTest::keyClick(set->Command1, Qt::Key_Return);
        QTRY_VERIFY(runtime::FindForm(windows::FrmSetName) == nullptr);
        QVERIFY(h.boxes.empty());
        QCOMPARE(tokei->txtJikoku->text(), QStringLiteral("7:05:00"));
        QVERIFY(tokei->isVisible());
        std::int32_t at = -1;
        QCOMPARE(dueSecondsOfTheDay(&at), 1);
        QCOMPARE(at, 7 * 3600 + 5 * 60);
    }

    void missingTextThenMidnight_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        Row("hour only", "7", "");
        Row("minute only", "", "05");
        Row("neither", "", "");
    }
    void missingTextThenMidnight() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        FrmSet* set = openSet();
        set->Combo1->setEditText(hour);
        set->Combo2->setEditText(minute);
        set->Command1->click();
        QCOMPARE(h.boxes.size(), std::size_t{1});
        QCOMPARE(h.boxes[0].prompt, Missing);
        QCOMPARE(h.boxes[0].title, QStringLiteral("ルピカ"));
        QCOMPARE(h.boxes[0].style, 0);
        QCOMPARE(set->Combo1->currentText(), QStringLiteral("0"));
        QCOMPARE(set->Combo2->currentText(), QStringLiteral("0"));
        QVERIFY(set->isVisible());
        QCOMPARE(aramu::Alarm().Generation(), std::uint64_t{0});
        set->Command1->click();
        Harness::settle();
        QVERIFY(runtime::FindForm(windows::FrmSetName) == nullptr);
        QCOMPARE(tokei->txtJikoku->text(), QStringLiteral("0:00:00"));
        QVERIFY(aramu::IsAlarmDue({0, 0}));
    }

    void refusedTexts_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("prompt");
        Row("blanks", " ", "05", NotANumber);
        Row("words", "七", "05", NotANumber);
        Row("minute not a number", "7", "5分", NotANumber);
        Row("past 16 bits", "32768", "0", NotANumber);
        Row("hour 24", "24", "00", OutsideTheDay);
        Row("negative hour", "-1", "00", OutsideTheDay);
        Row("23 and 75", "23", "75", OutsideTheDay);
    }
    void refusedTexts() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, prompt);
        QVERIFY(!aramu::SetAlarmTime("6", "30"));
        tokei->txtJikoku->setText(QStringLiteral("6:30:00"));
        FrmSet* set = openSet();
        set->Combo1->setEditText(hour);
        set->Combo2->setEditText(minute);
        set->Command1->click();
        Harness::settle();
        QCOMPARE(h.boxes.size(), std::size_t{1});
        QCOMPARE(h.boxes[0].prompt, prompt);
        QCOMPARE(h.boxes[0].title, QStringLiteral("ルピカ"));
        QCOMPARE(h.boxes[0].style, 0);
        QCOMPARE(runtime::FindForm(windows::FrmSetName), static_cast<runtime::Form*>(set));
        QVERIFY(set->isVisible());
        QCOMPARE(set->Combo1->currentText(), hour);
        QCOMPARE(set->Combo2->currentText(), minute);
        QCOMPARE(aramu::AlarmTime(), (aramu::TimeValue{0, 6 * 3600 + 30 * 60}));
        QCOMPARE(tokei->txtJikoku->text(), QStringLiteral("6:30:00"));
    }

    // What is typed is what counts, even where a list entry begins with it.
    void typedTextIsTakenAsTyped() {
        FrmSet* set = openSet();
        set->activateWindow();
        QTRY_VERIFY(set->isActiveWindow());
        for (QComboBox* combo : {set->Combo1, set->Combo2}) {
            combo->setFocus();
            QTest::keyClicks(combo->lineEdit(), combo == set->Combo1 ? QStringLiteral("2") : QStringLiteral("5"));
        }
        QCOMPARE(set->Combo1->currentText(), QStringLiteral("2"));
        QCOMPARE(set->Combo2->currentText(), QStringLiteral("5"));
        set->Command1->click();
        QCOMPARE(tokei->txtJikoku->text(), QStringLiteral("2:05:00"));
    }

    void fullWidthDigitsSetTheAlarm() {
        FrmSet* set = openSet();
        set->Combo1->setEditText(QStringLiteral("７"));
        set->Combo2->setEditText(QStringLiteral("０５"));
        set->Command1->click();
        QVERIFY(h.boxes.empty());
        QCOMPARE(tokei->txtJikoku->text(), QStringLiteral("7:05:00"));
    }

    void showingAgainKeepsWhatWasEntered() {
        FrmSet* set = openSet();
        set->Combo1->setEditText(QStringLiteral("9"));
        tokei->Command1->click();
        QCOMPARE(Harness::form<FrmSet>(windows::FrmSetName), set);
        QCOMPARE(set->Combo1->currentText(), QStringLiteral("9"));
    }

    void closingStartsAfreshFromTheLayout() {
        FrmSet* set = openSet();
        set->Combo1->setEditText(QStringLiteral("9"));
        set->close();
        QVERIFY(runtime::FindForm(windows::FrmSetName) == nullptr);
        Harness::settle();
        QCOMPARE(Harness::openWindows(), 1);
        FrmSet* again = openSet();
        QCOMPARE(again->Combo1->currentText(), QString());
        QCOMPARE(again->Combo2->count(), 12);
        QCOMPARE(aramu::Alarm().Generation(), std::uint64_t{0});
    }

    void messageWindowOpensOverTheSettingWindow() {
        FrmSet* set = openSet();
        FrmMsg* msg = openMsg(set);
        QVERIFY(msg != nullptr && msg->isVisible());
        QVERIFY(set->isVisible());
        QCOMPARE(msg->txtMessage->text(), DefaultMessage);
        QCOMPARE(msg->focusWidget(), static_cast<QWidget*>(msg->txtMessage));
        QCOMPARE(msg->txtMessage->geometry(), QRect(8, 40, 225, 25));
    }

    void storingTheMessage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("edit");
        QTest::newRow("unedited default") << DefaultMessage << false;
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("markup stays text") << "<b>起きろ</b>" << true;
    }
    void storingTheMessage() {
        QFETCH(QString, typed);
        QFETCH(bool, edit);
        FrmSet* set = openSet();
        FrmMsg* msg = openMsg(set);
        if (edit)
            msg->txtMessage->setText(typed);
        msg->Command1->click();
        QCOMPARE(runtime::ToQt(aramu::AlarmMessage()), typed);
        QVERIFY(runtime::FindForm(windows::FrmMsgName) == nullptr);
        QVERIFY(set->isVisible());
        // The alarm then shows exactly that text.
        set->Combo1->setEditText(QStringLiteral("7"));
        set->Combo2->setEditText(QStringLiteral("05"));
        set->Command1->click();
        h.clock.Set({2026, 12, 6}, 7, 4, 59);
        tokei->Timer1_Timer();
        h.clock.AdvanceSeconds(1);
        tokei->Timer1_Timer();
        QCOMPARE(h.boxes.size(), std::size_t{1});
        QCOMPARE(h.boxes[0].prompt, typed);
        QCOMPARE(h.boxes[0].style, 4096);
    }

    void reopeningShowsTheDefaultAndClosingStoresNothing() {
        FrmSet* set = openSet();
        FrmMsg* msg = openMsg(set);
        msg->txtMessage->setText(QStringLiteral("起きろ"));
        msg->Command1->click();
        Harness::settle();
        msg = openMsg(set);
        QCOMPARE(msg->txtMessage->text(), DefaultMessage);
        msg->txtMessage->setText(QStringLiteral("寝てろ"));
        msg->close();
        QVERIFY(runtime::FindForm(windows::FrmMsgName) == nullptr);
        QCOMPARE(aramu::AlarmMessage(), std::string("起きろ"));
    }

    void confirmingRecreatesAClosedSettingWindow() {
        FrmSet* set = openSet();
        set->Combo1->setEditText(QStringLiteral("9"));
        FrmMsg* msg = openMsg(set);
        set->close();
        msg->Command1->click();
        auto* fresh = Harness::form<FrmSet>(windows::FrmSetName);
        QVERIFY(fresh != nullptr && fresh->isVisible());
        QCOMPARE(fresh->Combo1->currentText(), QString());
    }

    void backgroundClickSelectsAll() {
        FrmMsg* msg = openMsg(openSet());
        msg->activateWindow();
        QTRY_VERIFY(msg->isActiveWindow());
        msg->txtMessage->setCursorPosition(5);
        QTest::mouseClick(msg, Qt::LeftButton, {}, QPoint(280, 20));
        QTRY_COMPARE(msg->txtMessage->selectedText(), DefaultMessage);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(msg->txtMessage));
        // A click on the label is the label's, not the background's.
        msg->txtMessage->setCursorPosition(5);
        QTest::mouseClick(msg->Label1, Qt::LeftButton, {}, QPoint(10, 5));
        QCoreApplication::processEvents();
        QVERIFY(msg->txtMessage->selectedText().isEmpty());
    }

    void fitEditCountsCharactersAsPeopleDo_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("kept");
        const QString yoshi = QStringLiteral("𠮷");
        const QString nineteen = QString(19, QChar(u'あ'));
        const QString twenty = QString(20, QChar(u'あ'));
        QTest::newRow("20th character typed") << nineteen << nineteen + Text("い") << nineteen + Text("い");
        QTest::newRow("21st character refused") << twenty << twenty + Text("い") << twenty;
        QTest::newRow("non-BMP counts once") << QString(19, QChar(u'あ')) << nineteen + yoshi << nineteen + yoshi;
        QTest::newRow("non-BMP 21st refused") << nineteen + yoshi << nineteen + yoshi + yoshi << nineteen + yoshi;
        QTest::newRow("twenty non-BMP") << yoshi.repeated(19) << yoshi.repeated(20) << yoshi.repeated(20);
        QTest::newRow("paste cut at 20") << Text("ab") << Text("ab") + QString(30, QChar(u'x'))
                                         << Text("ab") + QString(18, QChar(u'x'));
        QTest::newRow("paste never halves a character")
            << Text("abc") << Text("abc") + yoshi.repeated(30) << Text("abc") + yoshi.repeated(17);
        QTest::newRow("paste in the middle keeps the end")
            << Text("ab") + QString(16, QChar(u'y')) + Text("cd")
            << Text("ab") + Text("ZZZZ") + QString(16, QChar(u'y')) + Text("cd")
            << Text("ab") + QString(16, QChar(u'y')) + Text("cd");
        QTest::newRow("replace a selection")
            << twenty << Text("x") + QString(19, QChar(u'あ')) + Text("yz") << Text("x") + QString(19, QChar(u'あ'));
        QTest::newRow("deletion") << twenty << nineteen << nineteen;
    }
    void fitEditCountsCharactersAsPeopleDo() {
        QFETCH(QString, before);
        QFETCH(QString, edited);
        QFETCH(QString, kept);
        QCOMPARE(runtime::FitEdit(before, edited, 20).text, kept);
        QVERIFY(runtime::CharCount(kept) <= 20);
    }

    void typingAndPastingStopAtTwenty() {
        FrmMsg* msg = openMsg(openSet());
        msg->activateWindow();
        QTRY_VERIFY(msg->isActiveWindow());
        msg->txtMessage->clear();
        QTest::keyClicks(msg->txtMessage, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(msg->txtMessage->text(), QStringLiteral("abcdefghijklmnopqrst"));
        msg->txtMessage->clear();
        for (int i = 0; i < 25; ++i) {
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("𠮷"));
            QCoreApplication::sendEvent(msg->txtMessage, &commit);
        }
        QCOMPARE(msg->txtMessage->text(), QStringLiteral("𠮷").repeated(20));
        msg->txtMessage->setText(QStringLiteral("起きろ"));
        msg->txtMessage->setCursorPosition(1);
        QApplication::clipboard()->setText(QString(30, QChar(u'z')));
        msg->txtMessage->paste();
        QCOMPARE(msg->txtMessage->text(), QStringLiteral("起") + QString(17, QChar(u'z')) + QStringLiteral("きろ"));
        QCOMPARE(msg->txtMessage->cursorPosition(), 18);
    }

    // Run under the sanitizers, this also shows that nothing a window holds outlives it.
    void openAndCloseAThousandTimes() {
        runtime::UnloadForm(windows::FrmSetName);
        Harness::settle();
        const int before = static_cast<int>(QApplication::allWidgets().size());
        for (int i = 0; i < 1000; ++i) {
            FrmSet* set = openSet();
            FrmMsg* msg = openMsg(set);
            if (i % 2 == 0) {
                msg->close();
                set->close();
            } else {
                msg->Command1->click();
                Harness::form<FrmSet>(windows::FrmSetName)->close();
            }
            Harness::settle();
        }
        QCOMPARE(static_cast<int>(QApplication::allWidgets().size()), before);
    }
};

QTEST_MAIN(SetMsgTest)
#include "setmsg_test.moc"
