// The freedesktop settings portal: org.freedesktop.appearance color-scheme, 1 meaning dark.

#include "themes/SystemTheme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace qm::themes {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Forwards the portal's SettingChanged signal.
class PortalListener : public QObject {
    Q_OBJECT

public:
    PortalListener(QObject* owner, std::function<void()> changed)
        : QObject(owner), m_changed(std::move(changed)) {}

public slots:
    void SettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant&) {
        if (nameSpace == kNamespace && key == kKey)
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

void WatchSystemTheme(QObject* owner, std::function<void()> changed) {
    auto* listener = new PortalListener(owner, std::move(changed));
    QDBusConnection::sessionBus().connect(kService, kPath, kInterface,
                                          QStringLiteral("SettingChanged"), listener,
                                          SLOT(SettingChanged(QString, QString, QDBusVariant)));
}

} // namespace qm::themes

#include "SystemThemePortal.moc"
