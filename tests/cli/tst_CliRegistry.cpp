// quillmark-cli registry, run as a process: output bytes, options, exit codes and messages.

#include "CliRunner.h"
#include "RegExportWriter.h"
#include "TestFiles.h"
#include "TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kExpected =
    "[Registry]\r\n"
    "Root: HKCU; Subkey: \"Software\\\xd0\x9f\"; Flags: uninsdeletekey;\r\n"
    "Root: HKCU; Subkey: \"Software\\\xd0\x9f\"; ValueType: string; "
    "ValueName: \"v\"; ValueData: \"x\"; Flags: uninsdeletevalue;\r\n";

} // namespace

class TestCliRegistry : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_export;

    QString Write(const QString& name, const QByteArray& bytes) {
        return qm::testing::WriteFile(m_dir.filePath(name), bytes);
    }

private slots:
    void initTestCase() {
        m_export = Write(QStringLiteral("e.reg"),
                         qm::testing::Utf16LeWithBom(QStringLiteral(
                             "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\П]\r\n\"v\"=\"x\"\r\n")));
    }

    void writesUtf8WithCrLf() {
        const CliRun r =
            RunCli({QStringLiteral("registry"), m_export, QStringLiteral("--uninsdeletekey"),
                    QStringLiteral("--uninsdeletevalue")});
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, kExpected);
        QVERIFY(r.Err.isEmpty());
    }

    // An export through a pipe, named "-" or as a path, in each encoding; "-o -" is standard
    // output.
    void exportThroughAPipe_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_CURRENT_USER\\Software\\П]\r\n\"v\"=\"x\"\r\n");
        const QByteArray utf16 = qm::testing::Utf16LeWithBom(text);
        QTest::newRow("UTF-16 with a mark") << "-" << utf16;
        QTest::newRow("UTF-16 without a mark") << "-" << utf16.sliced(2);
#if !defined(Q_OS_WIN) // Windows reads text without a mark in its ANSI code page
        QTest::newRow("UTF-8") << "-" << text.toUtf8();
        QTest::newRow("/dev/stdin, UTF-16") << "/dev/stdin" << utf16;
#endif
    }

    void exportThroughAPipe() {
        QFETCH(QString, input);
        QFETCH(QByteArray, bytes);
        const CliRun r =
            RunCli({QStringLiteral("registry"), input, QStringLiteral("-o"), QStringLiteral("-"),
                    QStringLiteral("--uninsdeletekey"), QStringLiteral("--uninsdeletevalue")},
                   bytes);
        QCOMPARE(r.Err, QByteArray());
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, kExpected);
    }

    void writesToAFile() {
        const QString out = m_dir.filePath(QStringLiteral("out.iss"));
        const CliRun r =
            RunCli({QStringLiteral("registry"), QStringLiteral("-o"), out, m_export,
                    QStringLiteral("--uninsdeletevalue"), QStringLiteral("--uninsdeletekey")});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY(r.Out.isEmpty());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), kExpected);

        const CliRun bad = RunCli({QStringLiteral("registry"), m_export, QStringLiteral("-o"),
                                   m_dir.filePath(QStringLiteral("no/such/dir/out.iss"))});
        QCOMPARE(bad.ExitCode, 1);
        QVERIFY(bad.Err.startsWith("quillmark-cli: cannot write"));
    }

    void readsAnsiCodePages() {
        const QString ansi = Write(QStringLiteral("ru.reg"),
                                   "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"\xcf\"=\"\xf3\"\r\n");
        const CliRun r = RunCli({QStringLiteral("registry"), ansi, QStringLiteral("--codepage"),
                                 QStringLiteral("cp1251")});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Out.contains("ValueName: \"\xd0\x9f\"; ValueData: \"\xd1\x83\";"),
                 r.Out.constData());
    }

    void failuresExitWithOne() {
        const CliRun missing =
            RunCli({QStringLiteral("registry"), m_dir.filePath(QStringLiteral("none.reg"))});
        QCOMPARE(missing.ExitCode, 1);
        QVERIFY(missing.Out.isEmpty());
        QVERIFY(missing.Err.endsWith(TextLines("none.reg: no such file\n")));

        // A value the registry editor would not import costs that value only.
        const QString bad = Write(QStringLiteral("bad.reg"),
                                  "[HKEY_CURRENT_USER\\K]\r\n\"v\"=hex:zz\r\n\"w\"=\"1\"\r\n");
        const CliRun broken = RunCli({QStringLiteral("registry"), bad});
        QCOMPARE(broken.ExitCode, 0);
        QVERIFY(broken.Err.isEmpty());
        QVERIFY(broken.Out.contains("\"zz\" is not a hexadecimal byte"));
        QVERIFY(broken.Out.contains("ValueName: \"w\"; ValueData: \"1\";"));
    }

    void usageErrorsExitWithTwo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        const QString e = QStringLiteral("e.reg");
        QTest::newRow("no command") << QStringList{} << QByteArray("no command given");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")}
                                         << QByteArray("unknown command frobnicate");
        QTest::newRow("no file") << QStringList{QStringLiteral("registry")}
                                 << QByteArray("registry needs an export file");
        QTest::newRow("two files")
            << QStringList{QStringLiteral("registry"), e, e} << QByteArray("only one export file");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--fast")}
            << QByteArray("unknown option --fast");
        QTest::newRow("both key options")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--uninsdeletekey"),
                           QStringLiteral("--uninsdeletekeyifempty")}
            << QByteArray("exclude each other");
        QTest::newRow("unknown code page")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--codepage"),
                           QStringLiteral("klingon")}
            << QByteArray("unknown code page klingon");
        QTest::newRow("code page missing")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--codepage")}
            << QByteArray("--codepage needs a code page name");
        QTest::newRow("output missing")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("-o")}
            << QByteArray("-o needs a file name");
        QTest::newRow("unknown privileges")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--privileges"),
                           QStringLiteral("root")}
            << QByteArray("--privileges needs admin, lowest or dynamic");
        QTest::newRow("a MinVersion the compiler refuses")
            << QStringList{QStringLiteral("registry"), e, QStringLiteral("--min-version"),
                           QStringLiteral("6.1 sp1")}
            << QByteArray("--min-version needs a version Inno Setup accepts");
    }

    // The install-mode options reach the section.
    void installModeOptions() {
        const CliRun r = RunCli(
            {QStringLiteral("registry"), m_export, QStringLiteral("--privileges"),
             QStringLiteral("dynamic"), QStringLiteral("--min-version"), QStringLiteral("6.1sp1"),
             QStringLiteral("--classes-as-hka"), QStringLiteral("--wow64-view")});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Out.endsWith(" Check: not IsAdminInstallMode; MinVersion: 6.1sp1;\r\n"),
                 r.Out.constData());
        const CliRun admin = RunCli({QStringLiteral("registry"), m_export,
                                     QStringLiteral("--privileges"), QStringLiteral("admin")});
        QVERIFY(admin.Out.contains("; Not converted: [HKEY_CURRENT_USER\\Software\\"));
    }

    void usageErrorsExitWithTwo() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        VerifyUsageError(args, message);
    }

    void help() {
        for (const QStringList& args :
             {QStringList{QStringLiteral("--help")},
              QStringList{QStringLiteral("registry"), QStringLiteral("--help")}}) {
            const CliRun r = RunCli(args);
            QCOMPARE(r.ExitCode, 0);
            QVERIFY(r.Out.contains("quillmark-cli registry FILE.reg"));
            // A command's --help is about that command alone.
            QCOMPARE(r.Out.contains("quillmark-cli files DIR"), args.size() == 1);
        }
    }

    // A long run shows its progress on standard error while that is a terminal (the export
    // arrives in two parts a second apart), and clears it at the end; never with --quiet or
    // when standard error is a file or a pipe.
    void progress_data() {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("shown");
        QTest::newRow("terminal") << true << QString() << true;
        QTest::newRow("--quiet") << true << QStringLiteral("--quiet") << false;
        QTest::newRow("a pipe") << false << QString() << false;
    }

    void progress() {
#if defined(Q_OS_WIN)
        QSKIP("made with a POSIX shell and a pseudo-terminal");
#endif
        QFETCH(bool, terminal);
        QFETCH(QString, option);
        QFETCH(bool, shown);
        qm::testing::ExportKey first;
        first.Path = QStringLiteral("HKEY_CURRENT_USER\\Software\\First");
        qm::testing::ExportKey second = first;
        second.Path = QStringLiteral("HKEY_CURRENT_USER\\Software\\Second");
        using qm::testing::ExportKeyText;
        Write(QStringLiteral("a.reg"),
              (qm::testing::ExportHeader(false) + ExportKeyText(first, false)).toUtf8());
        Write(QStringLiteral("b.reg"),
              (ExportKeyText(second, false) + ExportKeyText(first, false)).toUtf8());
        const QString command =
            QStringLiteral(
                "cd '%1' && (cat a.reg; sleep 1.2; cat b.reg) | '%2' registry - -o out.iss %3")
                .arg(m_dir.path(), QStringLiteral(QM_CLI_PATH), option);
        QProcess p;
        if (terminal) // standard error on a terminal of its own
            p.start(QStringLiteral("script"),
                    {QStringLiteral("-qfec"), command, QStringLiteral("/dev/null")});
        else
            p.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray seen = p.readAllStandardOutput() + p.readAllStandardError();
        QCOMPARE(seen.contains("MB converted"), shown);
        if (shown)
            QVERIFY2(seen.endsWith("\r\033[K"), seen.constData());
        QVERIFY(QFile(m_dir.filePath(QStringLiteral("out.iss"))).size() > 0);
    }
};

QM_TEST_GUILESS_MAIN(TestCliRegistry)
#include "tst_CliRegistry.moc"
