// Power on free desktops: the desktop's suspend inhibitors and the user's service manager, over the session bus.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QWidget>

#include <QDateTime>
#include <QFileInfo>
#include <QTimeZone>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <optional>
#include <utility>

#include <unistd.h>

#include "desktop/identity.h"
#include "desktop/power.h"
#include "desktop/said.h"

using namespace Qt::StringLiterals;

namespace desktop {
namespace {

// What the desktop and the service manager take as a unit's properties and as its start command.
struct Property {
    QString name;
    QDBusVariant value;
};
struct Calendar {
    QString base, when; // "OnCalendar", and its calendar time
};
struct Command {
    QString path;
    QStringList argv;
    bool ignoreFailure;
};
struct AuxUnit {
    QString name;
    QList<Property> properties;
};
struct UnitInfo { // as the manager lists its units, of which only the name is read
    QString name, description, load, active, sub, following;
    QDBusObjectPath path;
    uint job;
    QString jobType;
    QDBusObjectPath jobPath;
};

QDBusArgument& operator<<(QDBusArgument& a, const Property& p) {
    a.beginStructure();
    a << p.name << p.value;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, Property& p) {
    a.beginStructure();
    a >> p.name >> p.value;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const Calendar& c) {
    a.beginStructure();
    a << c.base << c.when;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, Calendar& c) {
    a.beginStructure();
    a >> c.base >> c.when;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const Command& c) {
    a.beginStructure();
    a << c.path << c.argv << c.ignoreFailure;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, Command& c) {
    a.beginStructure();
    a >> c.path >> c.argv >> c.ignoreFailure;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const AuxUnit& u) {
    a.beginStructure();
    a << u.name << u.properties;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, AuxUnit& u) {
    a.beginStructure();
    a >> u.name >> u.properties;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const UnitInfo& u) {
    a.beginStructure();
    a << u.name << u.description << u.load << u.active << u.sub << u.following << u.path << u.job << u.jobType
      << u.jobPath;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, UnitInfo& u) {
    a.beginStructure();
    a >> u.name >> u.description >> u.load >> u.active >> u.sub >> u.following >> u.path >> u.job >> u.jobType >>
        u.jobPath;
    a.endStructure();
    return a;
}

} // namespace
} // namespace desktop

Q_DECLARE_METATYPE(desktop::Property)
Q_DECLARE_METATYPE(desktop::Calendar)
Q_DECLARE_METATYPE(desktop::Command)
Q_DECLARE_METATYPE(desktop::AuxUnit)
Q_DECLARE_METATYPE(desktop::UnitInfo)

namespace desktop {
namespace {

const QString PortalName = u"org.freedesktop.portal.Desktop"_s;
const QString GnomeName = u"org.gnome.SessionManager"_s;
const QString PowerManagementName = u"org.freedesktop.PowerManagement"_s;
const QString PowerManagementPath = u"/org/freedesktop/PowerManagement/Inhibit"_s;
const QString PowerManagementInterface = u"org.freedesktop.PowerManagement.Inhibit"_s;
const QString RequestInterface = u"org.freedesktop.portal.Request"_s;
const QString Systemd = u"org.freedesktop.systemd1"_s;
const QString SystemdPath = u"/org/freedesktop/systemd1"_s;
const QString SystemdManager = u"org.freedesktop.systemd1.Manager"_s;

// Suspend alone: the desktop then holds off the suspend of an idle machine, where 8 (idle) would also keep the
// screen from blanking and locking.
constexpr uint SuspendFlag = 4;
// A service that has not answered by then counts as absent: D-Bus itself would wait 25 s.
constexpr int AnswerWithinMs = 3000;

// Where a desktop lacks a service (or the bus cannot start it, or it does not answer), the next one is asked.
bool NotThere(const QDBusError& error) {
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::Disconnected:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
        return true;
    default:
        return error.name() == "org.freedesktop.DBus.Error.NameHasNoOwner"_L1 ||
               error.name().startsWith("org.freedesktop.DBus.Error.Spawn."_L1);
    }
}

QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return call;
}

QDBusMessage StopUnit(const QString& unit) {
    QDBusMessage stop = Call(Systemd, SystemdPath, SystemdManager, u"StopUnit"_s, {unit, u"replace"_s});
    stop.setAutoStartService(false);
    return stop;
}

// Units of one run are named by its process, so two clocks running side by side never replace each other's,
// and a clock starting finds those whose process is gone; each setting has a name of its own, as a stopped unit
// may linger a moment under its old name.
const QString WakeUnitPrefix = u"rupika-tokei-wake-"_s;
QString WakeUnitName(quint64 setting) {
    return WakeUnitPrefix + u"%1-%2"_s.arg(::getpid()).arg(setting);
}

enum class Via { None, Portal, Gnome, PowerManagement };

// The portal asks the desktop on the program's behalf, naming it by the application id it finds from outside:
// a sandbox's, or the unit a desktop's menu starts it in. Started from a terminal it has none, and GNOME's
// session manager refuses the hold ("Application ID not specified"); where the gtk backend finds no GNOME
// screen saver it turns to org.freedesktop.ScreenSaver, which holds off idleness alone and answers the request
// never. Outside a sandbox GNOME's session manager is therefore asked first, under the id the program gives
// itself; inside one, where that service is out of reach, the portal.
QList<Via> Order() {
    const bool sandboxed = QFileInfo::exists(u"/.flatpak-info"_s) || qEnvironmentVariableIsSet("SNAP");
    if (sandboxed)
        return {Via::Portal, Via::Gnome, Via::PowerManagement};
    return {Via::Gnome, Via::Portal, Via::PowerManagement};
}

} // namespace

class PowerDBus : public QObject, public PowerMeans {
    Q_OBJECT
public:
    PowerDBus() {
        qDBusRegisterMetaType<Property>();
        qDBusRegisterMetaType<QList<Property>>();
        qDBusRegisterMetaType<Calendar>();
        qDBusRegisterMetaType<QList<Calendar>>();
        qDBusRegisterMetaType<Command>();
        qDBusRegisterMetaType<QList<Command>>();
        qDBusRegisterMetaType<AuxUnit>();
        qDBusRegisterMetaType<QList<AuxUnit>>();
        qDBusRegisterMetaType<UnitInfo>();
        qDBusRegisterMetaType<QList<UnitInfo>>();
        // Made now, so that the bus outlives the release at exit().
        connected_ = QDBusConnection::sessionBus().isConnected();
        verdictWait_.setSingleShot(true);
        verdictWait_.setInterval(AnswerWithinMs);
        connect(&verdictWait_, &QTimer::timeout, this, [this] { PortalVerdict(2, u"no verdict from the desktop"_s); });
    }

    void Hold(const QString& reason, QWidget* window, Answered answered) override {
        if (!connected_)
            return;
        ReleaseHold();
        Request request{setting_, reason, {}, 0, Order(), std::move(answered), {}};
        if (window != nullptr && QGuiApplication::platformName() == "xcb"_L1) {
            request.xid = static_cast<uint>(window->winId());
            request.window = "x11:"_L1 + QString::number(request.xid, 16);
        }
        Inhibit(std::move(request));
    }

    void Wake(qint64 instant, const QString& reason, Answered refused) override {
        if (!connected_)
            return;
        ++wakes_;
        StopWake(QDBus::NoBlock);
        const QString name = WakeUnitName(wakes_);
        timer_ = name + ".timer"_L1;
        refused_ = std::move(refused);
        // A failed start is told by the job's end, which is heard for this unit alone and only until it comes.
        // Heard from any sender, as asking the bus who the manager is would wait on it.
        QDBusConnection::sessionBus().connect(QString(), SystemdPath, SystemdManager, u"JobRemoved"_s,
                                              {QString(), QString(), timer_}, u"uoss"_s, this,
                                              SLOT(JobRemoved(uint, QDBusObjectPath, QString, QString)));
        // A dated moment in UTC, which neither the manager's zone nor a change of summer time can move; to the
        // second, where the manager would otherwise allow itself a minute; gone from the manager once elapsed,
        // stopped or failed.
        const QString when =
            QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc()).toString(u"yyyy-MM-dd HH:mm:ss"_s);
        const auto variant = [](auto value) { return QDBusVariant(QVariant::fromValue(value)); };
        const QString description = ProgramIdentity().name + u": "_s + reason;
        const QList<Property> timer{
            {u"Description"_s, variant(description)},
            {u"TimersCalendar"_s, variant(QList<Calendar>{{u"OnCalendar"_s, when + u" UTC"_s}})},
            {u"WakeSystem"_s, variant(true)},
            {u"AccuracyUSec"_s, variant(qulonglong{1'000'000})},
            {u"CollectMode"_s, variant(u"inactive-or-failed"_s)},
        };
        // Waking is all: what the timer starts does nothing.
        const QList<AuxUnit> aux{{name + ".service"_L1,
                                  {{u"Description"_s, variant(description)},
                                   {u"ExecStart"_s, variant(QList<Command>{{u"/bin/true"_s, {u"/bin/true"_s}, false}})},
                                   {u"CollectMode"_s, variant(u"inactive-or-failed"_s)}}}};
        QDBusMessage start = Call(Systemd, SystemdPath, SystemdManager, u"StartTransientUnit"_s,
                                  {timer_, u"replace"_s, QVariant::fromValue(timer), QVariant::fromValue(aux)});
        // A session bus without a running manager would only start a stand-in that fails.
        start.setAutoStartService(false);
        Ask(start, [this, unit = timer_](const QDBusPendingCall& answer) {
            if (!answer.isError() || unit != timer_)
                return;
            Unwatch(unit);
            timer_.clear();
            refused_(NotThere(answer.error()) ? Answer::Absent : Answer::Refused, answer.error().message());
        });
    }

    void Release() override {
        ReleaseHold();
        // The manager keeps a transient timer after its client is gone: the stop must be out before the
        // program is, and the end must not wait long on a manager that hangs.
        StopWake(QDBus::Block);
    }

    void StopLeftovers() override {
        if (!connected_)
            return;
        QDBusMessage list = Call(Systemd, SystemdPath, SystemdManager, u"ListUnitsByPatterns"_s,
                                 {QStringList(), QStringList{WakeUnitPrefix + u"*"_s}});
        list.setAutoStartService(false);
        Ask(list, [](const QDBusPendingCall& answer) {
            const QDBusPendingReply<QList<UnitInfo>> units = answer;
            for (const UnitInfo& unit : units.value()) {
                const pid_t pid = unit.name.mid(WakeUnitPrefix.size()).section(u'-', 0, 0).toInt();
                if (unit.name.endsWith(".timer"_L1) && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
                    QDBusConnection::sessionBus().asyncCall(StopUnit(unit.name));
            }
        });
    }

private slots:
    void JobRemoved(uint, const QDBusObjectPath&, const QString& unit, const QString& result) {
        if (unit != timer_)
            return;
        Unwatch(unit);
        if (result == "done"_L1)
            return;
        timer_.clear();
        // What the manager answers a WakeSystem= timer it may not arm; the cause is only in its log.
        refused_(result == "failed"_L1 ? Answer::ManagerMayNotWake : Answer::Refused, result);
    }

    void Response(uint code, const QVariantMap&, const QDBusMessage& signal) {
        if (!pending_) // the verdict before the handle: kept for it
            early_ = {signal.path(), code};
        else if (signal.path() == pending_->handle)
            PortalVerdict(code, u"the desktop answered %1"_s.arg(code));
    }

private:
    struct Held {
        Via via = Via::None;
        QString handle;  // the portal's
        uint cookie = 0; // the others'
    };
    struct Request {
        quint64 setting;
        QString reason;
        QString window; // as the portal names windows: "x11:" and the id in hex, or nothing
        uint xid;
        QList<Via> left; // the services still to ask, the one asked now first
        Answered answered;
        QString refusal; // the last service's own word for its refusal, if one refused
    };
    struct PortalRequest {
        QString handle;
        Request request;
    };

    template <class Answered> void Ask(const QDBusMessage& call, Answered answered) {
        auto* watcher =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, AnswerWithinMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, answered]() mutable {
            watcher->deleteLater();
            answered(*watcher);
        });
    }

    void Inhibit(Request request) {
        if (request.left.isEmpty())
            return request.answered(request.refusal.isEmpty() ? Answer::Absent : Answer::Refused, request.refusal);
        const Identity& identity = ProgramIdentity();
        const Via via = request.left.constFirst();
        QDBusMessage call;
        QString handle;
        switch (via) {
        case Via::Portal: {
            // The verdict comes later, on the request's own object: heard from before the call, so that it
            // cannot come first, as the portal's documentation asks.
            const QString token = u"rupika%1"_s.arg(request.setting);
            handle = u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(
                QDBusConnection::sessionBus().baseService().mid(1).replace(u'.', u'_'), token);
            Listen(handle, true);
            call = Call(
                PortalName, u"/org/freedesktop/portal/desktop"_s, u"org.freedesktop.portal.Inhibit"_s, u"Inhibit"_s,
                {request.window, SuspendFlag, QVariantMap{{u"reason"_s, request.reason}, {u"handle_token"_s, token}}});
            break;
        }
        case Via::Gnome:
            call = Call(GnomeName, u"/org/gnome/SessionManager"_s, GnomeName, u"Inhibit"_s,
                        {identity.id, request.xid, request.reason, SuspendFlag});
            break;
        case Via::PowerManagement:
        case Via::None:
            call = Call(PowerManagementName, PowerManagementPath, PowerManagementInterface, u"Inhibit"_s,
                        {identity.name, request.reason});
            break;
        }
        Ask(call, [this, via, handle, request = std::move(request)](const QDBusPendingCall& answer) mutable {
            const QDBusMessage reply = answer.reply();
            const bool current = request.setting == setting_;
            if (reply.type() == QDBusMessage::ErrorMessage) {
                if (via == Via::Portal)
                    Listen(handle, false);
                if (!current)
                    return;
                const QDBusError error(reply);
                if (!NotThere(error))
                    request.refusal = error.message();
                request.left.removeFirst();
                return Inhibit(std::move(request));
            }
            const QVariant first = reply.arguments().value(0);
            if (via != Via::Portal) {
                const Held held{via, {}, first.toUInt()};
                // A newer setting asked while this one was on its way, and holds by itself.
                if (!current)
                    return Release(held);
                held_ = held;
                return request.answered(Answer::Granted, {});
            }
            const QString given = first.value<QDBusObjectPath>().path();
            if (!current) {
                Listen(handle, false);
                return Release({via, given, 0});
            }
            // A portal older than handle tokens names the request otherwise: heard from now on.
            if (given != handle) {
                Listen(handle, false);
                Listen(given, true);
            }
            pending_.emplace(PortalRequest{given, std::move(request)});
            verdictWait_.start();
            if (const auto early = std::exchange(early_, {}); early.first == given)
                PortalVerdict(early.second, u"the desktop answered %1"_s.arg(early.second));
        });
    }

    // The portal's verdict on the pending request: 0 holds, anything else (or silence) asks the next service.
    void PortalVerdict(uint code, const QString& why) {
        verdictWait_.stop();
        PortalRequest pending = *std::exchange(pending_, std::nullopt);
        Listen(pending.handle, false);
        Request& request = pending.request;
        if (request.setting != setting_)
            return Release({Via::Portal, pending.handle, 0});
        if (code == 0) {
            held_ = {Via::Portal, pending.handle, 0};
            return request.answered(Answer::Granted, {});
        }
        Release({Via::Portal, pending.handle, 0}); // a late grant would hold beside the next service's
        request.refusal = why;
        request.left.removeFirst();
        Inhibit(std::move(request));
    }

    void Listen(const QString& handle, bool on) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const char* slot = SLOT(Response(uint, QVariantMap, QDBusMessage));
        if (on)
            bus.connect(QString(), handle, RequestInterface, u"Response"_s, {}, u"ua{sv}"_s, this, slot);
        else
            bus.disconnect(QString(), handle, RequestInterface, u"Response"_s, {}, u"ua{sv}"_s, this, slot);
    }

    // The hold, and any request still to be decided on, given up; answers on their way are then stale.
    void ReleaseHold() {
        ++setting_;
        verdictWait_.stop();
        if (pending_) {
            Listen(pending_->handle, false);
            Release({Via::Portal, std::exchange(pending_, std::nullopt)->handle, 0});
        }
        Release(std::exchange(held_, {}));
    }

    void Release(const Held& held) {
        QDBusMessage call;
        if (held.via == Via::Portal)
            call = Call(PortalName, held.handle, RequestInterface, u"Close"_s, {});
        else if (held.via == Via::Gnome)
            call = Call(GnomeName, u"/org/gnome/SessionManager"_s, GnomeName, u"Uninhibit"_s, {held.cookie});
        else if (held.via == Via::PowerManagement)
            call =
                Call(PowerManagementName, PowerManagementPath, PowerManagementInterface, u"UnInhibit"_s, {held.cookie});
        else
            return;
        QDBusConnection::sessionBus().asyncCall(call);
    }

    void StopWake(QDBus::CallMode mode) {
        if (timer_.isEmpty())
            return;
        Unwatch(timer_);
        if (mode == QDBus::Block)
            QDBusConnection::sessionBus().call(StopUnit(timer_), QDBus::Block, 300);
        else
            QDBusConnection::sessionBus().asyncCall(StopUnit(timer_));
        timer_.clear();
    }

    void Unwatch(const QString& unit) {
        QDBusConnection::sessionBus().disconnect(QString(), SystemdPath, SystemdManager, u"JobRemoved"_s,
                                                 {QString(), QString(), unit}, u"uoss"_s, this,
                                                 SLOT(JobRemoved(uint, QDBusObjectPath, QString, QString)));
    }

    bool connected_ = false;
    quint64 setting_ = 0, wakes_ = 0;
    Held held_;
    std::optional<PortalRequest> pending_;
    std::pair<QString, uint> early_;
    QTimer verdictWait_;
    QString timer_; // the wake's unit, while the manager may hold it
    Answered refused_;
};

std::unique_ptr<PowerMeans> PlatformPowerMeans() {
    return std::make_unique<PowerDBus>();
}

} // namespace desktop

#include "power_dbus.moc"
