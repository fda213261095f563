// quillmark-cli files, run as a process: the section, flags in checklist order, usage errors.

#include "CliRunner.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Source paths are written with the system's folder separator.
QByteArray NativeSeparators(QByteArray lines) {
#if defined(Q_OS_WIN)
    lines.replace('/', '\\');
#endif
    return lines;
}

} // namespace

class TestCliFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_app;

private slots:
    void initTestCase() {
        m_app = m_dir.filePath(QStringLiteral("App"));
        QVERIFY(QDir().mkpath(m_app + QStringLiteral("/lang")));
        for (const char* name : {"App.exe", "lang/de.ini"}) {
            QFile f(m_app + u'/' + QString::fromUtf8(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void writesTheSection() {
        // Flags come out in the checklist's order, whatever the order given.
        // "-o -" is standard output, as without -o.
        const CliRun r = RunCli({QStringLiteral("files"), m_app + u'/', QStringLiteral("--dest"),
                                 QStringLiteral("{app}"), QStringLiteral("--flags"),
                                 QStringLiteral("recursesubdirs, ignoreversion"),
                                 QStringLiteral("-o"), QStringLiteral("-")});
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, NativeSeparators("[Files]\r\n"
                                         "Source: \"lang/de.ini\"; DestDir: \"{app}\\lang\";"
                                         "Flags: ignoreversion recursesubdirs;\r\n"
                                         "Source: \"App.exe\"; DestDir: \"{app}\";"
                                         "Flags: ignoreversion recursesubdirs;\r\n"));
    }

    void folderTextIsTakenAsGiven() {
        const QString out = m_dir.filePath(QStringLiteral("files.iss"));
        const CliRun r = RunCli({QStringLiteral("files"), m_app, QStringLiteral("-o"), out});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY(r.Out.isEmpty());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), NativeSeparators("[Files]\r\n"
                                               "Source: \"App/lang/de.ini\"; DestDir: "
                                               "\"{app}\\lang\";\r\n"
                                               "Source: \"App/App.exe\"; DestDir: \"{app}\";\r\n"));

        const CliRun full = RunCli({QStringLiteral("files"), m_app, QStringLiteral("--full-path")});
        QVERIFY(
            full.Out.contains((QStringLiteral("Source: \"") +
                               QDir::toNativeSeparators(m_app + QStringLiteral("/App.exe")) + u'"')
                                  .toUtf8()));
    }

    void missingFolderGivesTheHeaderAlone() {
        const CliRun r = RunCli({QStringLiteral("files"), m_dir.filePath(QStringLiteral("none"))});
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, QByteArray("[Files]\r\n"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        const QString d = QStringLiteral("dir");
        QTest::newRow("unknown flag lists the valid ones")
            << QStringList{QStringLiteral("files"), d, QStringLiteral("--flags"),
                           QStringLiteral("readonly")}
            << QByteArray("unknown flag readonly; the flags are: ignoreversion, overwritereadonly, "
                          "32bit, 64bit, allowunsafefiles,");
        QTest::newRow("no folder")
            << QStringList{QStringLiteral("files")} << QByteArray("files needs a folder");
        QTest::newRow("empty folder") << QStringList{QStringLiteral("files"), QString()}
                                      << QByteArray("files needs a folder");
        QTest::newRow("two folders")
            << QStringList{QStringLiteral("files"), d, d} << QByteArray("only one folder");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("files"), d, QStringLiteral("--deep")}
            << QByteArray("unknown option --deep");
        QTest::newRow("dest without value")
            << QStringList{QStringLiteral("files"), d, QStringLiteral("--dest")}
            << QByteArray("--dest needs a destination");
    }

    void usageErrors() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        VerifyUsageError(args, message);
    }
};

QM_TEST_GUILESS_MAIN(TestCliFiles)
#include "tst_CliFiles.moc"
