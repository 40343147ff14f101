// power_test.cpp - what the desktop's inhibitors and the user's service manager hear when an alarm is set
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <map>

#include "core/ringdecision.h"
#include "desktop/identity.h"
#include "desktop/power.h"
#include "tests/desktop/standin.h"

namespace {

const QString Portal = u"org.freedesktop.portal.Desktop"_s, Gnome = u"org.gnome.SessionManager"_s,
              PowerManagement = u"org.freedesktop.PowerManagement"_s;
const QString HoldRefused = u"no desktop would hold off its automatic suspend for the alarm \\(%1\\); .*"_s;

// The wake timer's properties by name, as the manager is asked to start it.
QVariantMap Timer(const QDBusMessage& start) {
    QVariantMap timer;
    for (const auto& [name, value] : qdbus_cast<QList<std::pair<QString, QDBusVariant>>>(start.arguments().value(2)))
        timer[name] = value.variant();
    return timer;
}
QString When(const QDBusMessage& start) {
    return qdbus_cast<QList<std::pair<QString, QString>>>(Timer(start).value(u"TimersCalendar"_s)).value(0).second;
}

QString UtcText(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc()).toString(u"yyyy-MM-dd HH:mm:ss 'UTC'"_s);
}

} // namespace

class PowerTest : public QObject {
    Q_OBJECT
    QWidget window;
    std::unique_ptr<desktop::Power> Made() { return std::make_unique<desktop::Power>(desktop::PlatformPowerMeans()); }

private slots:
    void initTestCase() {
        desktop::SetIdentity({u"ルピカ時計"_s, u"io.example.tokei"_s, u"rupika-tokei"_s});
        window.show();
    }
    void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }

    // Outside a sandbox GNOME first, then the portal, then the power manager: the first whose desktop grants
    // holds; the portal's grant is its request's Response 0, and any other verdict, or none within a few
    // seconds, is no hold. A second setting releases the hold it had and asks afresh. A refusal with no grant
    // is said once; no service at all is no news.
    void holdsThroughTheFirstServiceThatGrants_data() {
        QTest::addColumn<QString>("services"); // name[:refusing|:verdict|:hung]
        QTest::addColumn<QString>("heard");    // of two settings, sorted by service
        QTest::addColumn<QString>("refusal");
        // clang-format off
        QTest::newRow("GNOME") << u"gnome portal"_s << u"gnome Inhibit, gnome Inhibit, gnome Uninhibit"_s << QString();
        QTest::newRow("GNOME refuses: the portal grants") << u"gnome:refusing portal"_s
            << u"gnome Inhibit, gnome Inhibit, portal Close rupika1, portal Inhibit, portal Inhibit"_s << QString();
        QTest::newRow("the portal's desktop refuses: the power manager") << u"portal:2 pm"_s
            << u"pm Inhibit, pm Inhibit, pm UnInhibit, portal Close rupika1, portal Close rupika2, portal Inhibit, portal Inhibit"_s << QString();
        QTest::newRow("the portal gives no verdict, GNOME refuses") << u"portal:-1 gnome:refusing"_s
            << u"gnome Inhibit, gnome Inhibit, portal Close rupika1, portal Close rupika2, portal Inhibit, portal Inhibit"_s
            << u"no verdict from the desktop"_s;
        QTest::newRow("the portal never answers") << u"portal:hung pm"_s
            << u"pm Inhibit, pm Inhibit, pm UnInhibit, portal Inhibit, portal Inhibit"_s << QString();
        QTest::newRow("none") << QString() << QString() << QString();
        // clang-format on
    }
    void holdsThroughTheFirstServiceThatGrants() {
        QFETCH(QString, services);
        QFETCH(QString, heard);
        QFETCH(QString, refusal);
        std::map<QString, std::unique_ptr<StandIn>> there;
        for (const QString& service : services.split(u' ', Qt::SkipEmptyParts)) {
            const QString name = service.section(u':', 0, 0), how = service.section(u':', 1);
            const QString bus = name == u"gnome"_s ? Gnome : name == u"pm"_s ? PowerManagement : Portal;
            there[name] = how == u"hung"_s ? std::make_unique<StandIn>(bus, u"/org/freedesktop/portal/desktop"_s)
                                           : Inhibitor(bus, how == u"refusing"_s, how.isEmpty() ? 0 : how.toInt());
        }
        if (!refusal.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(HoldRefused.arg(refusal)));
        const auto all = [&] {
            QStringList calls;
            for (const auto& [name, service] : there)
                for (const QString& call : service->Heard())
                    calls << name + u" "_s + call;
            calls.sort();
            return calls.join(u", "_s);
        };
        const auto power = Made();
        QElapsedTimer asked;
        asked.start();
        power->HoldAndWakeFor(QTime(7, 5), &window);
        QTest::qWait(3500);                 // the portal's verdict, or the want of one
        QCOMPARE_LT(asked.elapsed(), 7000); // however the services answer, or do not
        power->HoldAndWakeFor(QTime(0, 0), &window);
        QTRY_COMPARE_WITH_TIMEOUT(all(), heard, 7000);
        // Every call as the services define it, to the type; the holds of suspend alone, for this window.
        const QString x = QGuiApplication::platformName() == u"xcb"_s ? QString::number(window.winId(), 16) : QString();
        const QMap<QString, QString> signatures{
            {Portal + u"Inhibit"_s, u"sua{sv}"_s},     {Portal + u"Close"_s, QString()},
            {Gnome + u"Inhibit"_s, u"susu"_s},         {Gnome + u"Uninhibit"_s, u"u"_s},
            {PowerManagement + u"Inhibit"_s, u"ss"_s}, {PowerManagement + u"UnInhibit"_s, u"u"_s}};
        for (const auto& [name, s] : there)
            for (const QDBusMessage& call : s->calls) {
                QCOMPARE(call.signature(), signatures.value(s->service + call.member(), u"?"_s));
                const QVariantList a = call.arguments();
                if (call.member() == u"Inhibit"_s && s->service == Portal)
                    QCOMPARE((QVariantList{a[0], a[1]}), (QVariantList{x.isEmpty() ? x : u"x11:"_s + x, 4U}));
                else if (call.member() == u"Inhibit"_s && s->service == Gnome)
                    QCOMPARE((QVariantList{a[0], a[1], a[3]}),
                             (QVariantList{u"io.example.tokei"_s, x.isEmpty() ? 0U : x.toUInt(nullptr, 16), 4U}));
            }
    }

    // Woken a minute before the next ring, on a dated moment in UTC: moved when the alarm is set again, the old
    // timer stopped; moved on to the next day's after a ring; stopped when the program ends.
    void wakesAMinuteBeforeTheNextRing() {
        QVERIFY(QFileInfo(u"/bin/true"_s).isExecutable()); // what the timer starts
        const auto manager = ServiceManager(Manager::Accepting);
        const auto power = Made();
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        power->HoldAndWakeFor(QTime(7, 5), nullptr);
        power->HoldAndWakeFor(QTime(0, 0), nullptr);
        power->WakeForNextRing();
        power->Release();
        QTRY_COMPARE(manager->Heard().join(u' '), u"StartTransientUnit StopUnit StartTransientUnit StopUnit "
                                                  u"StartTransientUnit StopUnit"_s);
        const QList<QDBusMessage>& c = manager->calls;
        QCOMPARE(c[0].signature(), u"ssa(sv)a(sa(sv))"_s);
        QCOMPARE(When(c[0]), UtcText(aramu::WakeInstant(QTime(7, 5), now)));
        QCOMPARE(When(c[2]), UtcText(aramu::WakeInstant(QTime(0, 0), now)));
        QCOMPARE(When(c[4]), UtcText(aramu::WakeInstant(QTime(0, 0), now, true)));
        const QVariantMap timer = Timer(c[0]);
        // To the type: the manager takes no int32 for a uint64, nor a string for a boolean.
        const QVariant wake = timer.value(u"WakeSystem"_s), accuracy = timer.value(u"AccuracyUSec"_s);
        QCOMPARE(u"%1 %2 %3 %4"_s.arg(QLatin1String(wake.typeName()), wake.toString(),
                                      QLatin1String(accuracy.typeName()), accuracy.toString()),
                 u"bool true qulonglong 1000000"_s);
        QCOMPARE(timer.value(u"Description"_s), QVariant(u"ルピカ時計: 鈴 7:05"_s));
        // Each stop for the unit started before it; each unit named by this process, and a setting of its own.
        QStringList units;
        for (const QDBusMessage& call : c)
            units << call.arguments().value(0).toString().remove(u"rupika-tokei-wake-%1-"_s.arg(getpid()));
        QCOMPARE(units.join(u' '), u"1.timer 1.timer 2.timer 2.timer 3.timer 3.timer"_s);
    }

    // A manager that will not wake the machine is told once, plainly, with what still holds; no timer is left
    // to stop. (Where no manager answers, nothing is said: every other row.)
    void wakeRefusedIsSaidOnce_data() {
        QTest::addColumn<int>("manager");
        QTest::addColumn<QString>("said");
        QTest::newRow("job failed") << int(Manager::FailingJob)
                                    << u"the user's service manager may not wake a sleeping machine for the alarm "
                                       u"\\(it lacks the CAP_WAKE_ALARM capability, which systemd 254 and later "
                                       u"give to users at a local seat\\); an idle machine is still kept from "
                                       u"suspending itself while the alarm is set"_s;
        QTest::newRow("start refused") << int(Manager::Refusing)
                                       << u"the system would not wake a sleeping machine for the alarm \\(not "
                                          u"now\\); an idle machine is still kept .*"_s;
    }
    void wakeRefusedIsSaidOnce() {
        QFETCH(int, manager);
        QFETCH(QString, said);
        const auto gnome = Inhibitor(Gnome);
        const auto systemd = ServiceManager(Manager(manager));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(said));
        const auto power = Made();
        for (const QTime alarm : {QTime(6, 30), QTime(6, 45)}) {
            power->HoldAndWakeFor(alarm, &window);
            QTest::qWait(200); // the hold, then the job's end
        }
        power->Release();
        QCOMPARE(systemd->Heard(), QStringList(2, u"StartTransientUnit"_s)); // no stop: nothing is left
    }

    // A hung manager holds the end a moment at most, and still hears the stop.
    void releaseWaitsOnAHungManagerAMomentAtMost() {
        const auto manager = ServiceManager(Manager::Hung);
        const auto power = Made();
        power->HoldAndWakeFor(QTime(7, 0), nullptr);
        QElapsedTimer ending;
        ending.start();
        power->Release();
        QCOMPARE_LT(ending.elapsed(), 1000);
        QTRY_COMPARE(manager->Heard(), (QStringList{u"StartTransientUnit"_s, u"StopUnit"_s}));
    }

    // A clock started stops the wakes of clocks that are gone (killed, crashed), and only theirs. (Ended by a
    // signal, the clock stops its own: the end-to-end test.)
    void stopsTheLeftoversOfGoneClocks() {
        QProcess gone;
        gone.start(u"true"_s);
        const qint64 goneId = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString self = u"rupika-tokei-wake-%1-1.timer"_s.arg(QCoreApplication::applicationPid());
        const QString dead = u"rupika-tokei-wake-%1-3.timer"_s.arg(goneId);
        const auto manager = ServiceManager(Manager::Accepting, {{self}, {dead}, {dead.chopped(6) + u".service"_s}});
        const auto power = Made();
        power->StopLeftovers();
        QTRY_COMPARE(manager->Heard(), (QStringList{u"ListUnitsByPatterns"_s, u"StopUnit"_s}));
        QCOMPARE(manager->calls[1].arguments(), (QVariantList{dead, u"replace"_s}));
    }

    // Also run alone without a session bus: nothing is asked, nothing said, and the end does not wait.
    void withoutBusNothingIsSaid() {
        const auto power = Made();
        power->HoldAndWakeFor(QTime(7, 5), &window);
        QElapsedTimer ending;
        ending.start();
        power->Release();
        QCOMPARE_LT(ending.elapsed(), 100);
        QTest::qWait(300);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PowerTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "power_test.moc"
