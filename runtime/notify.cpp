#include "notify.h"

#if defined(RUPIKA_HAVE_DBUS)
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>
#endif

namespace runtime {

void NotifyUrgent(const QString& summary, const QString& body) {
#if !defined(RUPIKA_HAVE_DBUS)
    (void)summary;
    (void)body;
#else
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The alarm box rings already: the notification's own sound would be a second one.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(2)},
                            {QStringLiteral("suppress-sound"), true}};
    // Servers that read markup (Plasma, GNOME) would take a "<" or "&" in the message for some.
    call << QStringLiteral("ルピカ時計") << 0U << QStringLiteral("rupika-tokei") << summary << body.toHtmlEscaped()
         << QStringList() << hints << -1;
    // The tick must not wait on a service that may be slow or absent; the reply is of no use.
    QDBusConnection::sessionBus().asyncCall(call);
#endif
}

} // namespace runtime
