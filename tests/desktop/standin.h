// standin.h - stand-ins for the desktop's and the system's services on the session bus, recording each call
#pragma once

#include <QtDBus>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

// On a connection of its own, so that calls travel through the bus as to a real service.
struct StandIn : QDBusVirtualObject {
    using Answer = std::function<void(StandIn&, const QDBusMessage&)>;
    const QString service, path;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, service);
    Answer answer; // none: never answers, like a hung service
    QList<QDBusMessage> calls;
    StandIn(const QString& name, const QString& objectPath, Answer answered = {})
        : service(name), path(objectPath), answer(std::move(answered)) {
        bus.registerVirtualObject(path, this, QDBusConnection::SubPath);
        bus.registerService(service);
    }
    ~StandIn() override { QDBusConnection::disconnectFromBus(service); }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection&) override {
        calls << call;
        if (answer)
            answer(*this, call);
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
    void Reply(const QDBusMessage& call, const QVariantList& values = {}) {
        QDBusMessage reply = call.createReply();
        reply.setArguments(values);
        bus.send(reply);
    }
    void Refuse(const QDBusMessage& call, const QString& why = u"not now"_s) {
        bus.send(call.createErrorReply(u"org.freedesktop.DBus.Error.AccessDenied"_s, why));
    }
    // Each call as its member, and the last part of its object's path where that is not the service's.
    QStringList Heard() const {
        QStringList heard;
        for (const QDBusMessage& call : calls)
            heard << call.member() + (call.path() == path ? QString() : u" "_s + call.path().section(u'/', -1));
        return heard;
    }
};

// Inhibitors that grant each hold a cookie of its own from 41, or refuse each; the portal answers with the
// request its token names and gives the verdict (0 grants) as that request's Response, or none (-1).
inline std::unique_ptr<StandIn> Inhibitor(const QString& service, bool refusing = false, int verdict = 0) {
    const bool portal = service.contains(u"portal"_s);
    const QString path = portal                         ? u"/org/freedesktop/portal/desktop"_s
                         : service.contains(u"gnome"_s) ? u"/org/gnome/SessionManager"_s
                                                        : u"/org/freedesktop/PowerManagement/Inhibit"_s;
    return std::make_unique<StandIn>(service, path, [=, granted = 40U](StandIn& s, const QDBusMessage& call) mutable {
        if (refusing)
            return s.Refuse(call);
        if (call.member() != u"Inhibit"_s)
            return s.Reply(call);
        if (!portal)
            return s.Reply(call, {++granted});
        const QString token = qdbus_cast<QVariantMap>(call.arguments().value(2)).value(u"handle_token"_s).toString();
        const QString handle =
            u"/org/freedesktop/portal/desktop/request/%1/%2"_s.arg(call.service().mid(1).replace(u'.', u'_'), token);
        s.Reply(call, {QVariant::fromValue(QDBusObjectPath(handle))});
        if (verdict >= 0)
            s.bus.send(QDBusMessage::createSignal(handle, u"org.freedesktop.portal.Request"_s, u"Response"_s)
                       << uint(verdict) << QVariantMap());
    });
}

// A unit as the manager lists it (ssssssouso), of which the name alone matters here.
struct ListedUnit {
    QString name;
    friend QDBusArgument& operator<<(QDBusArgument& a, const ListedUnit& u) {
        const QString e;
        const QDBusObjectPath root(u"/"_s);
        a.beginStructure();
        a << u.name << e << e << e << e << e << root << 0U << e << root;
        a.endStructure();
        return a;
    }
    friend const QDBusArgument& operator>>(const QDBusArgument& a, ListedUnit&) { return a; }
};
enum class Manager { Accepting, FailingJob, Refusing, Hung };
// The user's service manager: each start a job of its own, which ends as the manager decides; it lists the
// units named, as it would those that are loaded.
inline std::unique_ptr<StandIn> ServiceManager(Manager kind, QList<ListedUnit> units = {}) {
    qDBusRegisterMetaType<ListedUnit>();
    qDBusRegisterMetaType<QList<ListedUnit>>();
    return std::make_unique<StandIn>(
        u"org.freedesktop.systemd1"_s, u"/org/freedesktop/systemd1"_s,
        [kind, units, jobs = 0U](StandIn& s, const QDBusMessage& call) mutable {
            if (kind == Manager::Hung)
                return;
            if (call.member() == u"ListUnitsByPatterns"_s)
                return s.Reply(call, {QVariant::fromValue(units)});
            if (kind == Manager::Refusing && call.member() == u"StartTransientUnit"_s)
                return s.Refuse(call);
            const QDBusObjectPath job(u"/org/freedesktop/systemd1/job/%1"_s.arg(++jobs));
            s.Reply(call, {QVariant::fromValue(job)});
            if (call.member() != u"StartTransientUnit"_s)
                return;
            s.bus.send(QDBusMessage::createSignal(s.path, u"org.freedesktop.systemd1.Manager"_s, u"JobRemoved"_s)
                       << jobs << QVariant::fromValue(job) << call.arguments().value(0)
                       << (kind == Manager::FailingJob ? u"failed"_s : u"done"_s));
        });
}
