// power_test.cpp - what the desktop's inhibitors and the user's service manager hear when an alarm is set
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <QtDBus>

#include <cstdlib>
#include <functional>

#include "desktop/identity.h"
#include "desktop/power.h"

using namespace Qt::StringLiterals;

namespace {

// A call's arguments as one line: structures in (), arrays in [], dictionaries in {}.
QString Text(const QVariant& value);
QString Text(const QDBusArgument& a) {
    QStringList parts;
    switch (a.currentType()) {
    case QDBusArgument::StructureType:
        for (a.beginStructure(); !a.atEnd();)
            parts << Text(a.asVariant());
        a.endStructure();
        return u"("_s + parts.join(u", "_s) + u")"_s;
    case QDBusArgument::ArrayType:
        for (a.beginArray(); !a.atEnd();)
            parts << Text(a.asVariant());
        a.endArray();
        return u"["_s + parts.join(u", "_s) + u"]"_s;
    case QDBusArgument::MapType:
        for (a.beginMap(); !a.atEnd(); a.endMapEntry()) {
            a.beginMapEntry();
            const QString key = Text(a.asVariant());
            parts << key + u": "_s + Text(a.asVariant());
        }
        a.endMap();
        return u"{"_s + parts.join(u", "_s) + u"}"_s;
    default:
        return Text(a.asVariant());
    }
}
QString Text(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return Text(value.value<QDBusArgument>());
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return Text(value.value<QDBusVariant>().variant());
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    if (value.metaType() == QMetaType::fromType<QStringList>())
        return u"["_s + value.toStringList().join(u", "_s) + u"]"_s;
    return value.toString();
}

// A stand-in service on a connection of its own, so that calls travel through the bus as to a real one.
struct StandIn : QDBusVirtualObject {
    using Answer = std::function<void(StandIn&, const QDBusMessage&)>;
    const QString name, path;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    Answer answer;
    QStringList calls;
    StandIn(const QString& service, const QString& objectPath, Answer answered)
        : name(service), path(objectPath), answer(std::move(answered)) {
        bus.registerVirtualObject(path, this, QDBusConnection::SubPath);
        bus.registerService(name);
    }
    ~StandIn() override { QDBusConnection::disconnectFromBus(name); }
    // Recorded as "Member(arguments)", and where the call is on an object of its own, that object's last name.
    bool handleMessage(const QDBusMessage& call, const QDBusConnection&) override {
        QStringList arguments;
        for (const QVariant& argument : call.arguments())
            arguments << Text(argument);
        calls << call.member() + u"("_s + arguments.join(u", "_s) + u")"_s +
                     (call.path() == path ? QString() : u" on "_s + call.path().section(u'/', -1));
        if (answer)
            answer(*this, call);
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
    void Reply(const QDBusMessage& call, const QVariant& value) {
        bus.send(value.isValid() ? call.createReply(value) : call.createReply());
    }
    void Refuse(const QDBusMessage& call) {
        bus.send(call.createErrorReply(u"org.freedesktop.DBus.Error.AccessDenied"_s, u"not now"_s));
    }
};

// Inhibitors that grant each hold a handle or cookie of its own, counted from 1, or refuse every one.
StandIn::Answer Inhibitor(bool portal, bool refusing) {
    return [portal, refusing, granted = 0](StandIn& s, const QDBusMessage& call) mutable {
        if (refusing)
            return s.Refuse(call);
        if (!call.member().startsWith(u"Inhibit"_s))
            return s.Reply(call, {});
        ++granted;
        s.Reply(call, portal ? QVariant::fromValue(QDBusObjectPath(s.path + u"/request/t%1"_s.arg(granted)))
                             : QVariant(40U + uint(granted)));
    };
}

enum class Manager { Accepting, FailingJob, Refusing, Hung };
// The user's service manager: each start a job of its own, which ends as the manager decides.
StandIn::Answer ServiceManager(Manager kind) {
    return [kind, jobs = 0](StandIn& s, const QDBusMessage& call) mutable {
        if (kind == Manager::Hung)
            return;
        if (kind == Manager::Refusing && call.member() == u"StartTransientUnit"_s)
            return s.Refuse(call);
        const QDBusObjectPath job(u"/org/freedesktop/systemd1/job/%1"_s.arg(++jobs));
        s.Reply(call, QVariant::fromValue(job));
        if (call.member() != u"StartTransientUnit"_s)
            return;
        QDBusMessage removed =
            QDBusMessage::createSignal(s.path, u"org.freedesktop.systemd1.Manager"_s, u"JobRemoved"_s);
        removed << uint(jobs) << QVariant::fromValue(job) << call.arguments().value(0)
                << (kind == Manager::FailingJob ? u"failed"_s : u"done"_s);
        s.bus.send(removed);
    };
}

std::unique_ptr<StandIn> Portal(bool refusing = false) {
    return std::make_unique<StandIn>(u"org.freedesktop.portal.Desktop"_s, u"/org/freedesktop/portal/desktop"_s,
                                     Inhibitor(true, refusing));
}
std::unique_ptr<StandIn> Gnome(bool refusing = false) {
    return std::make_unique<StandIn>(u"org.gnome.SessionManager"_s, u"/org/gnome/SessionManager"_s,
                                     Inhibitor(false, refusing));
}
std::unique_ptr<StandIn> PowerManagement() {
    return std::make_unique<StandIn>(u"org.freedesktop.PowerManagement"_s,
                                     u"/org/freedesktop/PowerManagement/Inhibit"_s, Inhibitor(false, false));
}
std::unique_ptr<StandIn> Systemd(Manager kind) {
    return std::make_unique<StandIn>(u"org.freedesktop.systemd1"_s, u"/org/freedesktop/systemd1"_s,
                                     ServiceManager(kind));
}

const QString WakeRefused = u"this system does not let the clock wake a sleeping machine for the alarm .*; the "
                            u"clock still keeps it from going to sleep by itself while the alarm is set"_s;
const QString HoldRefused = u"the desktop would not hold off its automatic suspend for the alarm .*"_s;

} // namespace

class PowerTest : public QObject {
    Q_OBJECT
    QWidget window;
    // The window as the portal and GNOME name it: by its X id on X, by nothing elsewhere.
    QString WindowNamed(QString call) {
        const bool x = QGuiApplication::platformName() == u"xcb"_s;
        return call.replace(u"WINDOW"_s, x ? u"x11:"_s + QString::number(window.winId(), 16) : QString())
            .replace(u"XID"_s, QString::number(x ? window.winId() : 0));
    }

private slots:
    void initTestCase() {
        desktop::SetIdentity({u"ルピカ時計"_s, u"io.example.tokei"_s, u"rupika-tokei"_s});
        window.show();
    }
    void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }

    // The first service there holds off the suspend (4, never the idle 8, which would keep the screen from
    // locking); a second setting releases that hold and takes a new one with the new reason. A refusal is
    // said once, however often it comes; no service at all is no news.
    void holdsOffSuspendThroughTheFirstServiceThere_data() {
        QTest::addColumn<QString>("present");
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<bool>("refused");
        const QString portal = u"portal: Inhibit(WINDOW, 4, {reason: 鈴 %1})"_s;
        const QString gnome = u"gnome: Inhibit(io.example.tokei, XID, 鈴 %1, 4)"_s;
        const QString pm = u"pm: Inhibit(ルピカ時計, 鈴 %1)"_s;
        QTest::newRow("portal first") << u"portal gnome pm"_s
                                      << QStringList{portal.arg(u"7:05"_s), u"portal: Close() on t1"_s,
                                                     portal.arg(u"0:00"_s)}
                                      << false;
        QTest::newRow("GNOME without a portal")
            << u"gnome pm"_s << QStringList{gnome.arg(u"7:05"_s), u"gnome: Uninhibit(41)"_s, gnome.arg(u"0:00"_s)}
            << false;
        QTest::newRow("power manager alone")
            << u"pm"_s << QStringList{pm.arg(u"7:05"_s), u"pm: UnInhibit(41)"_s, pm.arg(u"0:00"_s)} << false;
        QTest::newRow("none") << QString() << QStringList() << false;
        QTest::newRow("portal refuses") << u"portal-refusing gnome"_s
                                        << QStringList{portal.arg(u"7:05"_s), portal.arg(u"0:00"_s)} << true;
        QTest::newRow("GNOME refuses") << u"gnome-refusing pm"_s
                                       << QStringList{gnome.arg(u"7:05"_s), gnome.arg(u"0:00"_s)} << true;
    }
    void holdsOffSuspendThroughTheFirstServiceThere() {
        QFETCH(QString, present);
        QFETCH(QStringList, heard);
        QFETCH(bool, refused);
        std::vector<std::pair<QString, std::unique_ptr<StandIn>>> services;
        for (const QString& name : present.split(u' ', Qt::SkipEmptyParts)) {
            const bool refusing = name.endsWith(u"-refusing"_s);
            const QString shortName = name.section(u'-', 0, 0);
            services.emplace_back(shortName, shortName == u"portal"_s  ? Portal(refusing)
                                             : shortName == u"gnome"_s ? Gnome(refusing)
                                                                       : PowerManagement());
        }
        if (refused)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(HoldRefused));
        const auto all = [&] {
            QStringList calls;
            for (const auto& [name, service] : services)
                for (const QString& call : service->calls)
                    calls << name + u": "_s + call;
            return calls;
        };
        for (QString& call : heard)
            call = WindowNamed(call);
        desktop::Power power;
        power.Hold(QTime(7, 5), u"鈴 7:05"_s, &window);
        QTRY_COMPARE(all(), heard.mid(0, qMin(1, heard.size())));
        QTest::qWait(100); // the answer, with the handle or cookie to release
        power.Hold(QTime(0, 0), u"鈴 0:00"_s, &window);
        QTRY_COMPARE(all(), heard);
        QTest::qWait(100); // nothing more comes, and nothing more is said
        QCOMPARE(all(), heard);
    }

    // Woken a minute before the alarm by the wall clock, every day; moved when the alarm is set again, the old
    // timer stopped; stopped when the program ends.
    void wakesAMinuteBeforeTheAlarm_data() {
        QTest::addColumn<QTime>("alarm");
        QTest::addColumn<QString>("wake");
        QTest::newRow("7:05") << QTime(7, 5) << u"07:04"_s;
        QTest::newRow("0:00, the day before") << QTime(0, 0) << u"23:59"_s;
        QTest::newRow("0:05") << QTime(0, 5) << u"00:04"_s;
    }
    void wakesAMinuteBeforeTheAlarm() {
        QFETCH(QTime, alarm);
        QFETCH(QString, wake);
        QVERIFY(QFileInfo(u"/bin/true"_s).isExecutable()); // what the timer starts
        const auto manager = Systemd(Manager::Accepting);
        desktop::Power power;
        power.Hold(alarm, u"鈴 x"_s, nullptr);
        power.Hold(QTime(12, 0), u"鈴 12:00"_s, nullptr);
        QTRY_COMPARE(manager->calls.size(), 3);
        power.End();
        QTRY_COMPARE(manager->calls.size(), 4);
        const QString unit = u"rupika-tokei-wake-%1-(\\d+)"_s.arg(QCoreApplication::applicationPid());
        const QString start =
            u"StartTransientUnit\\((%1)\\.timer, replace, \\[\\(Description, ルピカ時計: %2\\), \\(TimersCalendar, "
            u"\\[\\(OnCalendar, \\*-\\*-\\* %3:00\\)\\]\\), \\(WakeSystem, true\\), \\(AccuracyUSec, 1000000\\), "
            u"\\(CollectMode, inactive-or-failed\\)\\], \\[\\(\\1\\.service, \\[\\(Description, ルピカ時計: %2\\), "
            u"\\(ExecStart, \\[\\(/bin/true, \\[/bin/true\\], false\\)\\]\\), \\(CollectMode, "
            u"inactive-or-failed\\)\\]\\)\\]\\)"_s;
        const auto first = QRegularExpression(start.arg(unit, u"鈴 x"_s, wake)).match(manager->calls[0]);
        const auto second = QRegularExpression(start.arg(unit, u"鈴 12:00"_s, u"11:59"_s)).match(manager->calls[2]);
        QVERIFY2(first.hasMatch(), qPrintable(manager->calls[0]));
        QVERIFY2(second.hasMatch(), qPrintable(manager->calls[2]));
        QVERIFY(first.captured(1) != second.captured(1));
        QCOMPARE(manager->calls[1], u"StopUnit(%1.timer, replace)"_s.arg(first.captured(1)));
        QCOMPARE(manager->calls[3], u"StopUnit(%1.timer, replace)"_s.arg(second.captured(1)));
    }

    // A manager that will not wake the machine is told once, plainly; the hold stands, and no timer is left to
    // stop. Where no manager answers, nothing is said.
    void wakeRefusedIsSaidOnceAndTheHoldStands_data() {
        QTest::addColumn<int>("manager");
        QTest::addColumn<bool>("said");
        QTest::newRow("start refused") << int(Manager::Refusing) << true;
        QTest::newRow("job failed") << int(Manager::FailingJob) << true;
        QTest::newRow("no manager") << -1 << false;
    }
    void wakeRefusedIsSaidOnceAndTheHoldStands() {
        QFETCH(int, manager);
        QFETCH(bool, said);
        const auto gnome = Gnome();
        const auto systemd = manager < 0 ? nullptr : Systemd(Manager(manager));
        if (said)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(WakeRefused));
        desktop::Power power;
        for (const QTime alarm : {QTime(6, 30), QTime(6, 45)}) {
            power.Hold(alarm, u"鈴"_s, &window);
            QTRY_COMPARE(gnome->calls.size(), alarm.minute() == 30 ? 1 : 3);
            QTest::qWait(100); // the job's end
        }
        power.End();
        if (systemd) {
            QCOMPARE(systemd->calls.size(), 2);
            QVERIFY(systemd->calls[1].startsWith(u"StartTransientUnit"_s)); // no stop: nothing is left
        }
    }

    // A hung manager holds the end a moment at most, and still hears the stop.
    void endWaitsOnAHungManagerAMomentAtMost() {
        const auto manager = Systemd(Manager::Hung);
        desktop::Power power;
        power.Hold(QTime(7, 0), u"鈴 7:00"_s, nullptr);
        QElapsedTimer ending;
        ending.start();
        power.End();
        QCOMPARE_LT(ending.elapsed(), 1000);
        QTRY_COMPARE(manager->calls.size(), 2);
        QVERIFY(manager->calls[1].startsWith(u"StopUnit"_s));
    }

    // A program that ends at once after its End still stops its timer.
    void stopReachesTheManagerFromAnEndingProgram() {
        const auto manager = Systemd(Manager::Accepting);
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QCoreApplication::applicationFilePath(), {u"--set-and-end"_s});
        QVERIFY(program.waitForStarted());
        const qint64 pid = program.processId();
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitCode(), 0);
        QTRY_COMPARE(manager->calls.size(), 2);
        QCOMPARE(manager->calls[1], u"StopUnit(rupika-tokei-wake-%1-1.timer, replace)"_s.arg(pid));
    }

    // Also run alone without a session bus: nothing is asked, nothing said, and the end does not wait.
    void withoutBusNothingIsSaid() {
        desktop::Power power;
        power.Hold(QTime(7, 5), u"鈴 7:05"_s, &window);
        QElapsedTimer ending;
        ending.start();
        power.End();
        QCOMPARE_LT(ending.elapsed(), 100);
        QTest::qWait(300);
    }
};

int main(int argc, char* argv[]) {
    // For the end-to-end test and the benchmark: a service manager and a session manager that grant whatever
    // they are asked, for the real program.
    if (argc == 2 && qstrcmp(argv[1], "--stand-ins") == 0) {
        QCoreApplication core(argc, argv);
        const auto manager = Systemd(Manager::Accepting);
        const auto gnome = Gnome();
        return QCoreApplication::exec();
    }
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--set-and-end") == 0) {
        desktop::Power power;
        power.Hold(QTime(7, 5), u"鈴 7:05"_s, nullptr);
        power.End();
        std::_Exit(0); // at once, as a program killed the moment it has ended would
    }
    PowerTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "power_test.moc"
