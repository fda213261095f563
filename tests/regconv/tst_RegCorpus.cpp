// Every real-world export of the shared corpus (when it is present) converts into lines that
// Inno Setup accepts, with one line for every key and value read.

#include "InnoRegistryParser.h"
#include "TestMain.h"
#include "regconv/AdvancedRegConverter.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

using namespace qm::testing;

namespace {

QString CorpusDir() {
    const QString fromEnv = qEnvironmentVariable("QM_REG_CORPUS");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QStringLiteral(QM_SOURCE_DIR "/../shared/corpus/reg")).absolutePath();
}

} // namespace

class TestRegCorpus : public QObject {
    Q_OBJECT

private slots:
    void everyExportConverts() {
        const QString dir = CorpusDir();
        if (!QFileInfo(dir).isDir())
            QSKIP("no corpus of real exports on this machine");
        QDirIterator it(dir, {QStringLiteral("*.reg")}, QDir::Files, QDirIterator::Subdirectories);
        int files = 0;
        int lines = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            ++files;
            TAdvancedRegConverter converter;
            TStringListSink sink;
            QVERIFY2(converter.ConvertFromFileToMemo(path, &sink),
                     qPrintable(path + QStringLiteral(": ") + sink.Lines.value(0)));

            qsizetype expectedLines = 1;
            for (const TRegKey& key : converter.RegKeys()) {
                if (!key.Path.isEmpty())
                    expectedLines += 1 + (key.Deleted ? 0 : key.Values.size());
            }
            QCOMPARE(sink.Lines.size(), expectedLines);

            for (const QString& line : sink.Lines) {
                // ";;" inside quotes is data; at the end it is an empty parameter.
                QVERIFY2(!line.endsWith(QStringLiteral(";;")),
                         qPrintable(path + QStringLiteral(": ") + line));
                const InnoLine parsed = ParseInnoRegistryLine(line);
                QVERIFY2(parsed.Error.isEmpty() && !parsed.Entry.Expands,
                         qPrintable(path + QStringLiteral(": ") + line + QStringLiteral(": ") +
                                    parsed.Error));
                ++lines;
            }
        }
        QVERIFY(files > 0);
        qInfo("%d exports, %d lines", files, lines);
    }
};

QM_TEST_GUILESS_MAIN(TestRegCorpus)
#include "tst_RegCorpus.moc"
