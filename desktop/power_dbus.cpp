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

} // namespace
} // namespace desktop

Q_DECLARE_METATYPE(desktop::Property)
Q_DECLARE_METATYPE(desktop::Calendar)
Q_DECLARE_METATYPE(desktop::Command)
Q_DECLARE_METATYPE(desktop::AuxUnit)

namespace desktop {
namespace {

const QString Portal = u"org.freedesktop.portal.Desktop"_s;
const QString Gnome = u"org.gnome.SessionManager"_s;
const QString PowerManagement = u"org.freedesktop.PowerManagement"_s;
const QString PowerManagementPath = u"/org/freedesktop/PowerManagement/Inhibit"_s;
const QString PowerManagementInterface = u"org.freedesktop.PowerManagement.Inhibit"_s;
const QString Systemd = u"org.freedesktop.systemd1"_s;
const QString SystemdPath = u"/org/freedesktop/systemd1"_s;
const QString SystemdManager = u"org.freedesktop.systemd1.Manager"_s;

// Suspend alone: the desktop then holds off the suspend of an idle machine, where 8 (idle) would also keep the
// screen from blanking and locking.
constexpr uint SuspendFlag = 4;

// Where a desktop lacks a service (or the bus cannot start it), the next one is asked: a desktop without any
// suspends nothing by itself, so there is nothing to say.
bool NotThere(const QDBusError& error) {
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::Disconnected:
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

// Units of one run are named by its process, so two clocks running side by side never replace each other's;
// each setting has a name of its own, as a stopped unit may linger a moment under its old name.
QString WakeUnitName(quint64 setting) {
    return u"rupika-tokei-wake-%1-%2"_s.arg(::getpid()).arg(setting);
}

} // namespace

class PowerKeeper : public QObject {
    Q_OBJECT
public:
    PowerKeeper() {
        qDBusRegisterMetaType<Property>();
        qDBusRegisterMetaType<QList<Property>>();
        qDBusRegisterMetaType<Calendar>();
        qDBusRegisterMetaType<QList<Calendar>>();
        qDBusRegisterMetaType<Command>();
        qDBusRegisterMetaType<QList<Command>>();
        qDBusRegisterMetaType<AuxUnit>();
        qDBusRegisterMetaType<QList<AuxUnit>>();
    }

    void Hold(QTime alarm, const QString& reason, QWidget* window) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        ++setting_;
        if (held_.via != Via::None)
            Release(held_);
        held_ = {};
        Request request{setting_, reason, {}, 0};
        if (window != nullptr && QGuiApplication::platformName() == "xcb"_L1) {
            request.xid = static_cast<uint>(window->winId());
            request.window = "x11:"_L1 + QString::number(request.xid, 16);
        }
        Inhibit(Via::Portal, request);
        Wake(alarm, reason);
    }

    void End() {
        if (timer_.isEmpty())
            return;
        // The manager keeps a transient timer after its client is gone: the stop must be out before the
        // program is, and the end must not wait long on a manager that hangs.
        QDBusConnection::sessionBus().call(StopUnit(timer_), QDBus::Block, 300);
        timer_.clear();
    }

private slots:
    void JobRemoved(uint, const QDBusObjectPath&, const QString& unit, const QString& result) {
        if (unit != timer_)
            return;
        Unwatch(unit);
        if (result == "done"_L1)
            return;
        timer_.clear();
        WakeRefused(u"its wake-up timer did not start: %1"_s.arg(result));
    }

private:
    enum class Via { None, Portal, Gnome, PowerManagement };
    struct Held {
        Via via = Via::None;
        QDBusObjectPath handle; // the portal's
        uint cookie = 0;        // the others'
    };
    struct Request {
        quint64 setting;
        QString reason;
        QString window; // as the portal names windows: "x11:" and the id in hex, or nothing
        uint xid;
    };

    template <class Answered> void Ask(const QDBusMessage& call, Answered answered) {
        auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, answered] {
            watcher->deleteLater();
            answered(*watcher);
        });
    }

    void Inhibit(Via via, const Request& request) {
        const Identity& identity = ProgramIdentity();
        QDBusMessage call;
        switch (via) {
        case Via::Portal:
            call = Call(Portal, u"/org/freedesktop/portal/desktop"_s, u"org.freedesktop.portal.Inhibit"_s, u"Inhibit"_s,
                        {request.window, SuspendFlag, QVariantMap{{u"reason"_s, request.reason}}});
            break;
        case Via::Gnome:
            call = Call(Gnome, u"/org/gnome/SessionManager"_s, Gnome, u"Inhibit"_s,
                        {identity.id, request.xid, request.reason, SuspendFlag});
            break;
        case Via::PowerManagement:
            call = Call(PowerManagement, PowerManagementPath, PowerManagementInterface, u"Inhibit"_s,
                        {identity.name, request.reason});
            break;
        case Via::None:
            return;
        }
        Ask(call, [this, via, request](const QDBusPendingCall& answer) {
            const QDBusMessage reply = answer.reply();
            const bool current = request.setting == setting_;
            if (reply.type() == QDBusMessage::ErrorMessage) {
                const QDBusError error(reply);
                if (!current)
                    return;
                if (NotThere(error))
                    return Inhibit(via == Via::Portal  ? Via::Gnome
                                   : via == Via::Gnome ? Via::PowerManagement
                                                       : Via::None,
                                   request);
                if (!holdRefusalSaid_)
                    qCWarning(Said,
                              "the desktop would not hold off its automatic suspend for the alarm (%s); "
                              "an idle machine may sleep through it",
                              qUtf8Printable(error.message()));
                holdRefusalSaid_ = true;
                return;
            }
            Held held{via, {}, 0};
            const QVariant first = reply.arguments().value(0);
            if (via == Via::Portal)
                held.handle = first.value<QDBusObjectPath>();
            else
                held.cookie = first.toUInt();
            // A newer setting asked while this one was on its way, and holds by itself.
            if (!current)
                return Release(held);
            held_ = held;
        });
    }

    void Release(const Held& held) {
        QDBusMessage call;
        if (held.via == Via::Portal)
            call = Call(Portal, held.handle.path(), u"org.freedesktop.portal.Request"_s, u"Close"_s, {});
        else if (held.via == Via::Gnome)
            call = Call(Gnome, u"/org/gnome/SessionManager"_s, Gnome, u"Uninhibit"_s, {held.cookie});
        else
            call = Call(PowerManagement, PowerManagementPath, PowerManagementInterface, u"UnInhibit"_s, {held.cookie});
        QDBusConnection::sessionBus().asyncCall(call);
    }

    void Wake(QTime alarm, const QString& reason) {
        if (!timer_.isEmpty()) {
            Unwatch(timer_);
            QDBusConnection::sessionBus().asyncCall(StopUnit(timer_));
        }
        const QString name = WakeUnitName(setting_);
        timer_ = name + ".timer"_L1;
        // A failed start is told by the job's end, which is heard for this unit alone and only until it comes.
        // Heard from any sender, as asking the bus who the manager is would wait on it.
        QDBusConnection::sessionBus().connect(QString(), SystemdPath, SystemdManager, u"JobRemoved"_s,
                                              {QString(), QString(), timer_}, u"uoss"_s, this,
                                              SLOT(JobRemoved(uint, QDBusObjectPath, QString, QString)));
        // The wall clock's time, which a sleeping machine keeps, unlike a delay; to the second, where the
        // manager would otherwise allow itself a minute, and gone from the manager once stopped or failed.
        const QTime wake = alarm.addSecs(-60);
        const auto variant = [](auto value) { return QDBusVariant(QVariant::fromValue(value)); };
        const QString description = ProgramIdentity().name + u": "_s + reason;
        const QList<Property> timer{
            {u"Description"_s, variant(description)},
            {u"TimersCalendar"_s, variant(QList<Calendar>{{u"OnCalendar"_s, wake.toString(u"'*-*-*' HH:mm:00")}})},
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
            if (!NotThere(answer.error()))
                WakeRefused(answer.error().message());
        });
    }

    void Unwatch(const QString& unit) {
        QDBusConnection::sessionBus().disconnect(QString(), SystemdPath, SystemdManager, u"JobRemoved"_s,
                                                 {QString(), QString(), unit}, u"uoss"_s, this,
                                                 SLOT(JobRemoved(uint, QDBusObjectPath, QString, QString)));
    }

    void WakeRefused(const QString& why) {
        if (!wakeRefusalSaid_)
            qCWarning(Said,
                      "this system does not let the clock wake a sleeping machine for the alarm (%s); "
                      "the clock still keeps it from going to sleep by itself while the alarm is set",
                      qUtf8Printable(why));
        wakeRefusalSaid_ = true;
    }

    quint64 setting_ = 0;
    Held held_;
    QString timer_; // the wake's unit, while the manager may hold it
    bool holdRefusalSaid_ = false, wakeRefusalSaid_ = false;
};

struct Power::Impl : PowerKeeper {};

Power::Power() : impl_(std::make_unique<Impl>()) {}
Power::~Power() = default;

void Power::Hold(QTime alarm, const QString& reason, QWidget* window) {
    impl_->Hold(alarm, reason, window);
}

void Power::End() {
    impl_->End();
}

Power& ProgramPower() {
    // Never destroyed: it may outlive the application object, and the end of the process releases the hold.
    static Power* const power = new Power;
    return *power;
}

} // namespace desktop

#include "power_dbus.moc"
