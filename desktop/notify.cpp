#include "desktop/notify.h"

#include "desktop/identity.h"

#include <QCoreApplication>
#include <QTimer>

#if defined(RUPIKA_HAVE_DBUS)
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>
#endif

namespace desktop {

void Notify(const QString& summary, const QString& body, Urgency urgency,
            std::function<void(const QString& why)> unseen) {
#if !defined(RUPIKA_HAVE_DBUS)
    (void)summary;
    (void)body;
    (void)urgency;
    if (unseen)
        QTimer::singleShot(0, QCoreApplication::instance(), [unseen] { unseen(QStringLiteral("no D-Bus")); });
#else
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The alarm box rings already, and an alarm slept through is past ringing: a sound of the
    // notification's own would be one too many.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(urgency))},
                            {QStringLiteral("suppress-sound"), true}};
    // Servers that read markup (Plasma, GNOME) would take a "<" or "&" in the message for some.
    const Identity& identity = ProgramIdentity();
    call << identity.name << 0U << identity.iconName << summary << body.toHtmlEscaped() << QStringList() << hints << -1;
    // The tick must not wait on a service that may be slow or absent.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!unseen) {
        bus.asyncCall(call);
        return;
    }
    if (!bus.isConnected()) {
        QTimer::singleShot(0, QCoreApplication::instance(), [unseen] { unseen(QStringLiteral("no session bus")); });
        return;
    }
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(reply, &QDBusPendingCallWatcher::finished, reply, [reply, unseen] {
        if (reply->isError())
            unseen(reply->error().message());
        reply->deleteLater();
    });
#endif
}

} // namespace desktop
