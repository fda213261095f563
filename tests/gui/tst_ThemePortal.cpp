// The "System" theme on freedesktop systems: the preference read from the settings portal, and
// its change followed, against a stand-in portal on the test's own session bus.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "app/Unit_Base.h"
#include "osutils/SystemTheme.h"
#include "themes/WindowsDarkMode.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");

// Answers Read as the portal does (the value inside two variants). It lives in a thread of its
// own: the program reads the preference with a blocking call from the test's thread.
class StandInPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    std::atomic<uint> ColorScheme = 0;

public slots:
    QDBusVariant Read(const QString& nameSpace, const QString& key) {
        const bool known = nameSpace == u"org.freedesktop.appearance" && key == u"color-scheme";
        return QDBusVariant(QVariant::fromValue(QDBusVariant(known ? ColorScheme.load() : 0u)));
    }
};

} // namespace

class TestThemePortal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_bus;
    QByteArray m_address;
    StandInPortal m_portal;
    QThread m_portalThread;

    void Announce(const QString& nameSpace, const QString& key, uint value) {
        m_portal.ColorScheme = value;
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        QVERIFY(QDBusConnection(QStringLiteral("portal")).send(signal));
    }

private slots:
    void initTestCase() {
        IsolateFromUser(m_dir.path());
        m_address = StartPrivateSessionBus(m_bus);
        QVERIFY2(!m_address.isEmpty(), "dbus-daemon does not start");
        m_portal.moveToThread(&m_portalThread);
        m_portalThread.start();
        QDBusConnection portal =
            QDBusConnection::connectToBus(QString::fromUtf8(m_address), QStringLiteral("portal"));
        QVERIFY(portal.registerObject(kPath, &m_portal, QDBusConnection::ExportAllSlots));
        QVERIFY(portal.registerService(kService));
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        m_portalThread.quit();
        m_portalThread.wait();
        m_bus.kill();
        m_bus.waitForFinished();
    }

    void systemThemeFollowsThePortal() {
        SetDarkThemeSource({}); // the portal itself
        m_portal.ColorScheme = 0;
        QObject owner;
        QVERIFY(qm::osutils::WatchSystemTheme(&owner, [] {}));
        TForm1 form({});
        form.ThemeAuto->trigger();
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
        Announce(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1);
        QTRY_COMPARE(CurrentStyleName(), kStyleModernDark);
        // Another setting's change is no change of the theme.
        m_portal.ColorScheme = 0;
        Announce(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("font-name"), 0);
        QTest::qWait(200);
        QCOMPARE(CurrentStyleName(), kStyleModernDark);
        Announce(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 0);
        QTRY_COMPARE(CurrentStyleName(), kStyleModernLight);
    }
};

QM_TEST_MAIN(TestThemePortal)
#include "tst_ThemePortal.moc"
