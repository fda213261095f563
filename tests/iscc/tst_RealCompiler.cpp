// The real Inno Setup 6 compiler (ISCC 6.4.1 with its preprocessor, under wine) judges what we
// write, and our test-side line reader, which every generator test uses, must judge as it does:
// - every line the reader accepted in this run's generator tests (their sections, the
//   conversions of the shared corpus, the fuzz seeds) compiles for real;
// - a table of bad and borderline lines, with the compiler's verdict on each: the reader
//   agrees on every row (everywhere), and the compiler still gives that verdict (iscc lane).

#include "InnoRegistryParser.h"
#include "RealInnoSetup.h"
#include "TestMain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::testing;

namespace {

// Accepted by the reader: every line of the row (a row of two lines shows a join).
bool ReaderAccepts(const QString& section, const QString& row, const QString& sourceDir,
                   QString& why) {
    for (const QString& line : row.split(QStringLiteral("\r\n"))) {
        why = section == QStringLiteral("[Files]") ? ParseInnoFilesLine(line, sourceDir).Error
                                                   : ParseInnoRegistryLine(line).Error;
        if (!why.isEmpty())
            return false;
    }
    return true;
}

} // namespace

class TestRealCompiler : public QObject {
    Q_OBJECT

private slots:
    void readerAgreesWithCompiler_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("compiles"); // the real compiler's verdict
        const QString r = QStringLiteral("[Registry]");
        const QString f = QStringLiteral("[Files]");
        const QString key = QStringLiteral("Root: HKCU; Subkey: \"Software\\Q\"; ");
        const QString value = key + QStringLiteral("ValueType: string; ValueName: \"v\"; ");
        auto row = [](const char* name, const QString& section, const QString& line, bool ok) {
            QTest::newRow(name) << section << line << ok;
        };
        // Registry: parameters, types, roots.
        row("string", r, value + QStringLiteral("ValueData: \"x\""), true);
        row("key only", r, key.chopped(2), true);
        row("quotes doubled", r, value + QStringLiteral("ValueData: \"a \"\"b\"\" c\""), true);
        row("quote not closed", r, value + QStringLiteral("ValueData: \"x"), false);
        row("quote inside unquoted", r, value + QStringLiteral("ValueData: a\"b"), false);
        row("text after quotes", r, value + QStringLiteral("ValueData: \"x\" y"), false);
        row("root unknown", r, QStringLiteral("Root: HKCUX; Subkey: \"S\""), false);
        row("root HKA", r, QStringLiteral("Root: HKA; Subkey: \"S\""), true);
        row("root HKLM64", r, QStringLiteral("Root: HKLM64; Subkey: \"S\""), true);
        row("subkey missing", r, QStringLiteral("Root: HKCU; ValueType: string; ValueName: \"v\""),
            false);
        const QString environment = QStringLiteral(
            "Subkey: \"system\\CurrentControlSet\\Control\\Session Manager\\Environment\"; ");
        row("protected key deleted", r,
            QStringLiteral("Root: HKCU; ") + environment + QStringLiteral("Flags: deletekey"),
            false);
        row("protected key deleted at uninstall", r,
            QStringLiteral("Root: HKLM64; ") + environment +
                QStringLiteral("Flags: uninsdeletekey"),
            false);
        row("protected key deleted if empty", r,
            QStringLiteral("Root: HKLM; ") + environment +
                QStringLiteral("Flags: uninsdeletekeyifempty"),
            true);
        row("type unknown", r, key + QStringLiteral("ValueType: str; ValueName: \"v\""), false);
        row("dword hex", r,
            key + QStringLiteral("ValueType: dword; ValueName: \"d\"; ValueData: $FFFFFFFF"), true);
        row("dword over 32 bits", r,
            key + QStringLiteral("ValueType: dword; ValueName: \"d\"; ValueData: $1FFFFFFFF"),
            true);
        row("dword not hexadecimal", r,
            key + QStringLiteral("ValueType: dword; ValueName: \"d\"; ValueData: $12G"), false);
        row("qword hex", r,
            key +
                QStringLiteral("ValueType: qword; ValueName: \"q\"; ValueData: $FFFFFFFFFFFFFFFF"),
            true);
        row("binary", r,
            key + QStringLiteral("ValueType: binary; ValueName: \"b\"; ValueData: \"01 ab FF\""),
            true);
        row("binary odd digit", r,
            key + QStringLiteral("ValueType: binary; ValueName: \"b\"; ValueData: \"01 a\""),
            false);
        row("multisz break", r,
            key + QStringLiteral("ValueType: multisz; ValueName: \"m\"; ValueData: \"a{break}b\""),
            true);
        row("parameter twice", r, value + QStringLiteral("ValueData: \"x\"; ValueData: \"y\""),
            false);
        row("parameter of [Files]", r, value + QStringLiteral("DestDir: \"{app}\""), false);
        row("flag unknown", r, value + QStringLiteral("ValueData: \"x\"; Flags: uninsdeletevalues"),
            false);
        row("flags combined", r,
            value + QStringLiteral(
                        "ValueData: \"x\"; Flags: createvalueifdoesntexist uninsdeletevalue"),
            true);
        row("flags exclusive", r,
            value + QStringLiteral("ValueData: \"x\"; Flags: uninsdeletekey uninsdeletevalue"),
            false);
        row("key flags exclusive", r,
            key + QStringLiteral("Flags: uninsdeletekey uninsdeletekeyifempty"), false);
        row("deletevalue", r,
            key + QStringLiteral("ValueType: none; ValueName: \"v\"; Flags: deletevalue"), true);
        // Constants and the preprocessor.
        row("brace doubled", r, value + QStringLiteral("ValueData: \"{{x}\""), true);
        row("constant unknown", r, value + QStringLiteral("ValueData: \"{nosuchconstant}\""),
            false);
        row("constant known", r, value + QStringLiteral("ValueData: \"{app}\\x\""), true);
        row("environment constant", r, value + QStringLiteral("ValueData: \"{%TEMP}\""), true);
        row("brace not closed", r, value + QStringLiteral("ValueData: \"{app\""), false);
        row("brace in subkey", r, QStringLiteral("Root: HKCU; Subkey: \"Software\\{x\""), false);
        row("preprocessor string", r, value + QStringLiteral("ValueData: \"{#\"{{#\"}x\""), true);
        row("preprocessor string unescaped", r, value + QStringLiteral("ValueData: \"{#\"{#\"}x\""),
            false);
        row("preprocessor blanks", r, value + QStringLiteral("ValueData: \"{# \"a\" }\""), true);
        row("preprocessor identifier", r, value + QStringLiteral("ValueData: \"{#x}\""), false);
        row("preprocessor not closed", r, value + QStringLiteral("ValueData: \"{#\"a\"\""), false);
        row("comment", r, QStringLiteral("; Not converted: {#x} and {nosuchconstant"), true);
        row("backslash joins the next line", r,
            value + QStringLiteral("ValueData: \"a\\\r\n") + value +
                QStringLiteral("ValueData: \"b\""),
            false);
        // Files: a.txt and a{b}.txt lie beside the script.
        row("file", f, QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}\""), true);
        row("file in a subfolder", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}\\x y\\{{z\""), true);
        row("file flags", f,
            QStringLiteral(
                "Source: \"a.txt\"; DestDir: \"{app}\"; Flags: ignoreversion overwritereadonly"),
            true);
        row("destination empty", f, QStringLiteral("Source: \"a.txt\"; DestDir: \"\""), false);
        row("destination missing", f, QStringLiteral("Source: \"a.txt\""), false);
        row("destination not a constant", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{nosuchdir}\""), false);
        row("destination preprocessor", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}{#\"\\x\"}\""), true);
        row("preprocessor string with a brace", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{#\"{app}\"}\""), false);
        row("source missing", f, QStringLiteral("Source: \"missing.txt\"; DestDir: \"{app}\""),
            false);
        row("source with a quote", f, QStringLiteral("Source: \"a\"\"b.txt\"; DestDir: \"{app}\""),
            false);
        row("source with braces", f, QStringLiteral("Source: \"a{b}.txt\"; DestDir: \"{app}\""),
            true);
        row("source braces doubled", f, QStringLiteral("Source: \"a{{b}.txt\"; DestDir: \"{app}\""),
            false);
        row("external source constant", f,
            QStringLiteral("Source: \"{src}\\a.txt\"; DestDir: \"{app}\"; Flags: external"), true);
        row("flag unknown", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}\"; Flags: ignoreversions"), false);
        row("32bit with 64bit", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}\"; Flags: 32bit 64bit"), false);
        row("parameter of [Registry]", f,
            QStringLiteral("Source: \"a.txt\"; DestDir: \"{app}\"; ValueType: string"), false);
    }

    void readerAgreesWithCompiler() {
        QFETCH(QString, section);
        QFETCH(QString, row);
        QFETCH(bool, compiles);
        QTemporaryDir dir;
        for (const char* name : {"a.txt", "a{b}.txt"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QString why;
        QVERIFY2(ReaderAccepts(section, row, dir.path(), why) == compiles,
                 qPrintable(compiles ? QStringLiteral("the reader rejects it: ") + why
                                     : QStringLiteral("the reader accepts it")));
        const QString missing = RealInnoSetupMissing();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        const InnoCompileResult result = CompileInnoScript(
            InnoTestScript(section + QStringLiteral("\r\n") + row + QStringLiteral("\r\n")),
            dir.path());
        QVERIFY2(
            result.Ok == compiles,
            qPrintable(result.Ok ? QStringLiteral("the compiler accepts it") : result.Message));
    }

    // In one script: the compiler stops at the first error, so a rejected line is named, left
    // out, and the rest compiled again (twenty at the most are listed).
    void everyRecordedLineCompiles() {
        const QString missing = RealInnoSetupMissing();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString folder = qEnvironmentVariable("QM_ISCC_RECORDED");
        QStringList lines;
        QStringList origins;
        QDirIterator it(folder, {QStringLiteral("*.lines")}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (!line.isEmpty()) {
                    lines << QString::fromUtf8(line);
                    origins << it.fileInfo().completeBaseName();
                }
            }
        }
        if (lines.isEmpty())
            QSKIP("no generator test recorded its lines in this run");
        QTemporaryDir dir;
        QStringList rejected;
        while (rejected.size() < 20) {
            const QString head = InnoTestScript(QStringLiteral("[Registry]\r\n"));
            const int first = static_cast<int>(head.count(QStringLiteral("\r\n"))) + 1;
            const InnoCompileResult result = CompileInnoScript(
                head + lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), dir.path());
            if (result.Ok)
                break;
            const int index = result.Line - first;
            QVERIFY2(index >= 0 && index < lines.size(), qPrintable(result.Message));
            rejected << QStringLiteral("%1: %2\n    %3")
                            .arg(origins[index], lines[index], result.Message);
            lines.removeAt(index);
            origins.removeAt(index);
        }
        QVERIFY2(rejected.isEmpty(),
                 qPrintable(QStringLiteral("the compiler rejects:\n") + rejected.join(u'\n')));
        qInfo("%lld lines compiled by the real compiler", static_cast<long long>(lines.size()));
    }
};

QM_TEST_GUILESS_MAIN(TestRealCompiler)
#include "tst_RealCompiler.moc"
