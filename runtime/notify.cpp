#include "notify.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace runtime {

void NotifyUrgent(const QString& summary, const QString& body) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(2)}};
    // Servers that read markup (Plasma, GNOME) would take a "<" or "&" in the message for some.
    call << QStringLiteral("ルピカ時計") << 0U << QStringLiteral("rupika-tokei") << summary << body.toHtmlEscaped()
         << QStringList() << hints << -1;
    // The tick must not wait on a service that may be slow or absent; the reply is of no use.
    QDBusConnection::sessionBus().asyncCall(call);
}

} // namespace runtime
