// The freedesktop settings portal: org.freedesktop.appearance color-scheme, 1 meaning dark.

#include "osutils/SystemTheme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace qm::osutils {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Forwards the portal's SettingChanged signal for the appearance's colour scheme.
class PortalListener : public QObject {
    Q_OBJECT

public:
    PortalListener(QObject* owner, std::function<void()> changed)
        : QObject(owner), m_changed(std::move(changed)) {}

public slots:
    void SettingChanged(const QDBusMessage& message) {
        const QList<QVariant> a = message.arguments();
        if (a.size() >= 2 && a[0].toString() == kNamespace && a[1].toString() == kKey)
            m_changed();
    }

private:
    std::function<void()> m_changed;
};

} // namespace

bool SystemPrefersDark() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    call << kNamespace << kKey;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 500);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    // The value comes wrapped in one or two variants.
    QVariant value = reply.arguments().front();
    while (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value.toUInt() == 1;
}

bool WatchSystemTheme(QObject* owner, std::function<void()> changed) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true; // no desktop session: nothing announces a change
    auto* listener = new PortalListener(owner, std::move(changed));
    // The slot takes the whole message: one with typed arguments (a QDBusVariant among them) is
    // refused unless QtDBus happens to have registered its types by then.
    return bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), listener,
                       SLOT(SettingChanged(QDBusMessage)));
}

} // namespace qm::osutils

#include "SystemTheme.moc"
