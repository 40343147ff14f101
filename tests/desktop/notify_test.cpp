// notify_test.cpp - what a notification service on the session bus receives when the alarm notifies
#include <QTest>

#include "desktop/identity.h"
#include "desktop/notify.h"
#include "tests/desktop/standin.h"

namespace {

// A notification service that never answers, like a hung one (a caller that waited would hold the tick for
// 25 s), or, where told, answers with an id or refuses.
std::unique_ptr<StandIn> Notifications(const bool* answers = nullptr, const bool* refusing = nullptr) {
    return std::make_unique<StandIn>(u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s,
                                     [=](StandIn& s, const QDBusMessage& call) {
                                         if (refusing && *refusing)
                                             s.Refuse(call, u"refused"_s);
                                         else if (answers && *answers)
                                             s.Reply(call, {7U});
                                     });
}

} // namespace

class NotifyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { desktop::SetIdentity({u"ルピカ時計"_s, u"io.example.tokei"_s, u"rupika-tokei"_s}); }

    // The alarm on Wayland alone, and an alarm the machine slept through.
    void arrivesWithItsUrgencyAndNoSound() {
        const auto standIn = Notifications();
        const QString body = u"起きろ！Wake up now!!<&>"_s; // twenty characters, the most a message holds
        for (const auto urgency : {desktop::Urgency::Critical, desktop::Urgency::Normal}) {
            standIn->calls.clear();
            desktop::Notify(u"ルピカ"_s, body, urgency);
            QTRY_COMPARE(standIn->calls.size(), 1);
            const QDBusMessage call = standIn->calls.constFirst();
            QCOMPARE(call.interface() + call.member() + call.signature(),
                     u"org.freedesktop.NotificationsNotifysusssasa{sv}i"_s);
            QVariantList args = call.arguments();
            const QVariantMap hints = qdbus_cast<QVariantMap>(args.takeAt(6));
            const QVariant level = hints.value(u"urgency"_s);
            QCOMPARE(hints.value(u"suppress-sound"_s), QVariant(true)); // the alarm box rings already
            QCOMPARE(args, (QVariantList{u"ルピカ時計"_s, 0U, u"rupika-tokei"_s, u"ルピカ"_s, body.toHtmlEscaped(),
                                         QStringList(), -1}));
            QCOMPARE(level.metaType(), QMetaType::fromType<uchar>()); // services ignore any other type
            QCOMPARE(level.toInt(), urgency == desktop::Urgency::Critical ? 2 : 1);
        }
    }
    // A notice that must be seen hears when the service cannot show it, and only then.
    void unseenIsToldWhyOnlyWhenItIsUnseen() {
        bool answers = true, refusing = false;
        const auto standIn = Notifications(&answers, &refusing);
        for (const bool refuses : {false, true}) {
            refusing = refuses;
            QStringList told;
            desktop::Notify(u"ルピカ時計"_s, u"鈴 7:05 は過ぎました"_s, desktop::Urgency::Normal,
                            [&told](const QString& why) { told << why; });
            QTest::qWait(300);
            QCOMPARE(told, refusing ? QStringList{u"refused"_s} : QStringList());
        }
    }
    // Also run alone without a session bus: the answer (or its absence) is dropped without a word, unless the
    // caller asked to hear of it.
    void withoutServiceNothingIsSaid() {
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        desktop::Notify(u"ルピカ"_s, u"x"_s, desktop::Urgency::Normal);
        QTest::qWait(300);
        if (QDBusConnection::sessionBus().isConnected())
            return;
        QStringList told;
        desktop::Notify(u"ルピカ"_s, u"x"_s, desktop::Urgency::Normal, [&told](const QString& why) { told << why; });
        QTRY_COMPARE(told, QStringList{u"no session bus"_s});
    }
};

QTEST_GUILESS_MAIN(NotifyTest)
#include "notify_test.moc"
