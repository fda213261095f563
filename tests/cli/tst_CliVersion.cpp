// quillmark-cli version and --version, run as a process.

#include "CliRunner.h"
#include "PeFileWriter.h"
#include "TestMain.h"
#include "platform/VersionBlock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCliVersion : public QObject {
    Q_OBJECT

private slots:
    void ownVersion() {
        const CliRun r = RunCli({QStringLiteral("--version")});
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, TextLines("quillmark-cli " QM_VERSION_TEXT "\n"));
    }

    void versionOfAFile() {
        qm::platform::VersionBlockSpec spec;
        spec.FileVersion[0] = 6;
        spec.Translation = qm::platform::TranslationPair(0x0419, 0x04E3);
        spec.StringTables.push_back(
            {u"041904E3", {{u"CompanyName", u"Maker"}, {u"LegalCopyright", u"(C) Maker"}}});
        const std::vector<std::uint8_t> pe =
            qm::testing::PeFileWithVersionBlock(qm::platform::BuildVersionBlock(spec));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tool.exe"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(pe.data()), static_cast<qint64>(pe.size()));
        f.close();

        const CliRun r = RunCli({QStringLiteral("version"), path});
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Out, TextLines("FileVersion: 6.0.0.0\nCompanyName: Maker\n"
                                  "LegalCopyright: (C) Maker\nBlockKey: 041904E3\n"));

        QCOMPARE(RunCli({QStringLiteral("version"), dir.filePath(QStringLiteral("none"))}).ExitCode,
                 1);
        VerifyUsageError({QStringLiteral("version")}, "version needs exactly one file");
    }
};

QM_TEST_GUILESS_MAIN(TestCliVersion)
#include "tst_CliVersion.moc"
