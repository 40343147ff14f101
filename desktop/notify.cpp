#include "desktop/notify.h"

#include "desktop/identity.h"

#if defined(RUPIKA_HAVE_DBUS)
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>
#endif

namespace desktop {

void Notify(const QString& summary, const QString& body, Urgency urgency) {
#if !defined(RUPIKA_HAVE_DBUS)
    (void)summary;
    (void)body;
    (void)urgency;
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
    // The tick must not wait on a service that may be slow or absent; the reply is of no use.
    QDBusConnection::sessionBus().asyncCall(call);
#endif
}

} // namespace desktop
