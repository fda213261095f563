// Operating-system services and their stand-ins, beyond what the backend tests check on every
// system: where the lock and the stand-in live, the supported-system test, shell open.

#include "TestMain.h"
#include "platform/KnownFolders.h"
#include "platform/OsVersion.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/posix/XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace qm::platform;

class TestPlatformServices : public QObject {
    Q_OBJECT

private slots:
    // The lock and the registry stand-in live in a folder only the user can use: the runtime
    // folder when it is private, else the user's own in the temporary folder, never one that
    // another user (or a link) prepared.
    void privateFolder_data() {
        QTest::addColumn<QString>("runtime"); // "none", "private" or "open" (mode 0755)
        QTest::addColumn<QString>("planted"); // what stands at <temp>/quillmark-<uid> before
        QTest::addColumn<QString>("used");    // "runtime", "temp", or "" for none
        QTest::newRow("private runtime folder") << "private"
                                                << ""
                                                << "runtime";
        QTest::newRow("no runtime folder") << "none"
                                           << ""
                                           << "temp";
        QTest::newRow("runtime folder open to others") << "open"
                                                       << ""
                                                       << "temp";
        QTest::newRow("a link planted in its place") << "none"
                                                     << "link"
                                                     << "";
        QTest::newRow("a folder of another user") << "none"
                                                  << "foreign"
                                                  << "";
    }

    void privateFolder() {
        QFETCH(QString, runtime);
        QFETCH(QString, planted);
        QFETCH(QString, used);
        QTemporaryDir dir;
        const QString runtimeDir = dir.filePath(QStringLiteral("run"));
        QDir().mkdir(runtimeDir);
        QFile::setPermissions(runtimeDir,
                              runtime == u"open"
                                  ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther
                                  : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (runtime == u"none")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtimeDir.toUtf8());
        const QString temp = dir.filePath(QStringLiteral("tmp"));
        QDir().mkdir(temp);
        qputenv("TMPDIR", temp.toUtf8());
        const QString own = temp + QStringLiteral("/quillmark-") + QString::number(geteuid());
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QDir().mkdir(elsewhere);
        if (planted == u"link") {
            QVERIFY(QFile::link(elsewhere, own));
        } else if (planted == u"foreign") {
            QVERIFY(QDir().mkdir(own));
            QVERIFY(chown(own.toLocal8Bit().constData(), 65534, 65534) == 0);
        }
        const QString expected = used == u"runtime" ? runtimeDir
                                 : used == u"temp"  ? own
                                                    : QString();
        QCOMPARE(QString::fromStdString(posix::PrivateFolder()), expected);
        // The lock goes there; without such a folder the program runs without one.
        QVERIFY(!InstanceAlreadyRunning(u"PrivateTest"));
        QCOMPARE(InstanceAlreadyRunning(u"PrivateTest"), !expected.isEmpty());
        QVERIFY(QDir(elsewhere).isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(QFileInfo(expected).permissions() & 0x0077, QFile::Permissions());
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void supportedSystems() {
        static_assert(IsSupportedWindowsVersion({10, 10240}));
        static_assert(IsSupportedWindowsVersion({10, 22631}));
        static_assert(!IsSupportedWindowsVersion({10, 10239}));
        static_assert(!IsSupportedWindowsVersion({6, 3}));
        static_assert(!IsSupportedWindowsVersion({11, 30000}));
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

QM_TEST_GUILESS_MAIN(TestPlatformServices)
#include "tst_PlatformServices.moc"
