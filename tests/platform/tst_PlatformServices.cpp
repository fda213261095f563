// Operating-system services and their stand-ins: single-instance lock, known folders, the
// supported-system test, shell open.

#include "platform/KnownFolders.h"
#include "platform/OsVersion.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::platform;

class TestPlatformServices : public QObject {
    Q_OBJECT

private slots:
    void singleInstance() {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        QVERIFY(!InstanceAlreadyRunning(u"QuillmarkTest"));
        // A second claim (another open of the lock) finds it held.
        QVERIFY(InstanceAlreadyRunning(u"QuillmarkTest"));
        QVERIFY(!InstanceAlreadyRunning(u"OtherName"));
    }

    void supportedSystems() {
        static_assert(IsSupportedWindowsVersion({10, 10240}));
        static_assert(IsSupportedWindowsVersion({10, 22631}));
        static_assert(!IsSupportedWindowsVersion({10, 10239}));
        static_assert(!IsSupportedWindowsVersion({6, 3}));
        static_assert(!IsSupportedWindowsVersion({11, 30000}));
        QVERIFY(IsSupportedWindowsVersion(CurrentOsVersion())); // the stand-in here
    }

    void roamingFolder() {
        qputenv("XDG_CONFIG_HOME", "/srv/config");
        QCOMPARE(QString::fromStdU16String(RoamingAppDataFolder()), QStringLiteral("/srv/config"));
        qputenv("XDG_CONFIG_HOME", "relative/ignored");
        qputenv("HOME", "/home/someone");
        QCOMPARE(QString::fromStdU16String(RoamingAppDataFolder()),
                 QStringLiteral("/home/someone/.config"));
    }

    void shellOpenStartsAProgram() {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ran"));
        const QString script = dir.filePath(QStringLiteral("tool"));
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(ShellOpen(script.toStdU16String()));
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(ShortcutTarget(script.toStdU16String()).empty());
    }
};

QTEST_GUILESS_MAIN(TestPlatformServices)
#include "tst_PlatformServices.moc"
