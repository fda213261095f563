// Reading version information: the FileVersion scan, the choice of string block, PE files made
// here and the program's own binary (damaged files are the version-block fuzz target's).

#include "PeFileWriter.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "about/FileInfoUtils.h"
#include "platform/VersionBlock.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qm::platform::VersionBlockSpec;

namespace {

VersionBlockSpec Spec(std::u16string fileVersion, std::uint16_t fixed0 = 2) {
    VersionBlockSpec spec;
    spec.FileVersion[0] = fixed0;
    spec.Translation = qm::platform::TranslationPair(0x0409, 0x04E4);
    spec.StringTables.push_back({u"040904E4",
                                 {{u"CompanyName", u"Maker"},
                                  {u"FileVersion", std::move(fileVersion)},
                                  {u"LegalCopyright", u"(C) Maker"}}});
    return spec;
}

class Files {
public:
    QString Write(const std::vector<std::uint8_t>& bytes) {
        return qm::testing::WriteFile(m_dir.filePath(QStringLiteral("f%1.exe").arg(m_count++)),
                                      QByteArrayView(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<qsizetype>(bytes.size())));
    }
    QString Pe(const VersionBlockSpec& spec, bool pe32Plus = true) {
        return Write(
            qm::testing::PeFileWithVersionBlock(qm::platform::BuildVersionBlock(spec), pe32Plus));
    }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

} // namespace

class TestFileInfoUtils : public QObject {
    Q_OBJECT

private slots:
    void versionScan_data() {
        QTest::addColumn<QString>("fileVersion");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dotted") << QStringLiteral("2.5.14.310") << QStringLiteral("2.5.14.310");
        QTest::newRow("commas and blanks")
            << QStringLiteral("2, 5, 14, 310") << QStringLiteral("2.5.14.310");
        QTest::newRow("remark after a blank")
            << QStringLiteral("2.5.14.310 (beta)") << QStringLiteral("2.5.14.310");
        QTest::newRow("runs of dots, trailing dot")
            << QStringLiteral("1..2.") << QStringLiteral("1.2");
        QTest::newRow("leading separators") << QStringLiteral(",.1.2") << QStringLiteral("1.2");
        QTest::newRow("a letter first: the fixed part")
            << QStringLiteral("v2.0") << QStringLiteral("7.0.0.0");
        QTest::newRow("empty: the fixed part") << QString() << QStringLiteral("7.0.0.0");
    }

    void versionScan() {
        QFETCH(QString, fileVersion);
        QFETCH(QString, expected);
        Files files;
        for (bool pe32Plus : {true, false})
            QCOMPARE(GetFileVersionText(files.Pe(Spec(fileVersion.toStdU16String(), 7), pe32Plus)),
                     expected);
    }

    void stringValues() {
        Files files;
        const QString pe = files.Pe(Spec(u"1.0"));
        QCOMPARE(GetCompanyName(pe), QStringLiteral("Maker"));
        QCOMPARE(GetLegalCopyright(pe), QStringLiteral("(C) Maker"));
        QCOMPARE(GetVersionInfoValue(pe, QStringLiteral("companyname")), QStringLiteral("Maker"));
        QCOMPARE(GetVersionInfoValue(pe, QStringLiteral("ProductName")), QString());
        QCOMPARE(GetVersionBlockKey(pe), QStringLiteral("040904E4"));
    }

    void blockKey() {
        Files files;
        // The first translation names the block, in upper-case digits.
        VersionBlockSpec russian = Spec(u"3.1");
        russian.Translation = qm::platform::TranslationPair(0x0419, 0x04E3);
        russian.Translation.insert(russian.Translation.end(), {0x09, 0x04, 0xE4, 0x04});
        russian.StringTables.front().Key = u"041904e3";
        const QString ru = files.Pe(russian);
        QCOMPARE(GetVersionBlockKey(ru), QStringLiteral("041904E3"));
        QCOMPARE(GetFileVersionText(ru), QStringLiteral("3.1"));

        // No table, a table shorter than a pair, and 0000/0000 all mean 040904E4.
        VersionBlockSpec none = Spec(u"4.0");
        none.HasVarFileInfo = false;
        VersionBlockSpec shortTable = Spec(u"4.0");
        shortTable.Translation = {0x19, 0x04};
        VersionBlockSpec zero = Spec(u"4.0");
        zero.Translation = qm::platform::TranslationPair(0, 0);
        for (const VersionBlockSpec& spec : {none, shortTable, zero}) {
            const QString pe = files.Pe(spec);
            QCOMPARE(GetVersionBlockKey(pe), QStringLiteral("040904E4"));
            QCOMPARE(GetFileVersionText(pe), QStringLiteral("4.0"));
        }

        // Strings in a block other than the named one are not found; the version then comes
        // from the fixed part.
        VersionBlockSpec elsewhere = Spec(u"5.0", 9);
        elsewhere.Translation = qm::platform::TranslationPair(0x0407, 0x04B0);
        const QString pe = files.Pe(elsewhere);
        QCOMPARE(GetCompanyName(pe), QString());
        QCOMPARE(GetFileVersionText(pe), QStringLiteral("9.0.0.0"));
    }

    void filesWithoutVersionData() {
        Files files;
        VersionBlockSpec bare = Spec(u"x");
        bare.HasFixedInfo = false;
        QCOMPARE(GetFileVersionText(files.Pe(bare)), QString());
        QCOMPARE(GetFileVersionText(files.Write({'t', 'e', 'x', 't'})), QString());
        QCOMPARE(GetFileVersionText(QStringLiteral("/no/such/file.exe")), QString());
        QCOMPARE(GetVersionBlockKey(QStringLiteral("/no/such/file.exe")), QString());
    }

    void ownBinary() {
        const QString self = QCoreApplication::applicationFilePath();
        QCOMPARE(GetFileVersionText(self), QStringLiteral(QM_VERSION_TEXT));
        QCOMPARE(GetCompanyName(self), QStringLiteral(QM_COMPANY));
        QVERIFY(GetLegalCopyright(self).contains(QStringLiteral(QM_COMPANY)));
    }
};

QM_TEST_GUILESS_MAIN(TestFileInfoUtils)
#include "tst_FileInfoUtils.moc"
