// Thousands of damaged exports: random byte changes, cuts, splices and garbage. The converter
// must never crash, and must either fail with one "Error: " line or write lines that are safe
// in a script (one line per key and value, each one Inno Setup accepts).

#include "InnoRegistryParser.h"
#include "RegExportWriter.h"
#include "regconv/AdvancedRegConverter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::testing;

namespace {

QString Seed() {
    ExportKey key;
    key.Path = QStringLiteral("HKEY_CURRENT_USER\\Software\\Fuzz {x} \"q\"");
    const auto add = [&](const char* name, ExportKind kind) {
        ExportValue v;
        v.Name = QString::fromUtf8(name);
        v.Kind = kind;
        v.Text = QStringLiteral("C:\\Путь\\{app}\\\"x\"");
        v.Strings = QStringList{QStringLiteral("one"), QStringLiteral("двa")};
        v.Number = 0x0123456789abcdefULL;
        v.Bytes = QByteArray("\x00\x01\xfe\xff and more bytes to wrap the line", 37);
        key.Values.append(v);
    };
    add("@", ExportKind::String);
    add("s", ExportKind::String);
    add("e", ExportKind::ExpandSz);
    add("m", ExportKind::MultiSz);
    add("d", ExportKind::DWord);
    add("q", ExportKind::QWord);
    add("b", ExportKind::Binary);
    add("h", ExportKind::HexString);
    add("x", ExportKind::Delete);
    ExportKey gone;
    gone.Path = QStringLiteral("HKEY_LOCAL_MACHINE\\Gone");
    gone.Deleted = true;
    ExportKey root;
    root.Path = QStringLiteral("HKEY_USERS");
    root.Values.append(key.Values.front());
    return ExportText({key, gone, root}, false) +
           QStringLiteral("\"v\"=hex(0):01\r\n\"w\"=hex(5):01\r\n\"z\"=hex(b):01\r\n[]\r\n");
}

QByteArray Mutate(QByteArray bytes, QRandomGenerator& rng) {
    static const char kSpecial[] = "\\\"[]=@-:,{};\r\n\0(";
    const int edits = 1 + static_cast<int>(rng.bounded(8));
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const qsizetype at = rng.bounded(bytes.size());
        switch (rng.bounded(6)) {
        case 0:
            bytes[at] = static_cast<char>(rng.bounded(256));
            break;
        case 1:
            bytes.insert(at, kSpecial[rng.bounded(static_cast<int>(sizeof kSpecial - 1))]);
            break;
        case 2:
            bytes.remove(at, 1 + rng.bounded(16));
            break;
        case 3:
            bytes.truncate(at);
            break;
        case 4: {
            const qsizetype from = rng.bounded(bytes.size());
            bytes.insert(at, bytes.mid(from, 1 + rng.bounded(64)));
            break;
        }
        default:
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << rng.bounded(8)));
            break;
        }
    }
    return bytes;
}

} // namespace

class TestRegFuzz : public QObject {
    Q_OBJECT

private slots:
    void damagedExportsNeverCrash() {
        const QString text = Seed();
        const QList<QByteArray> seeds = {
            Utf16LeWithBom(text), text.toUtf8(),
            Latin1Bytes(QStringLiteral("REGEDIT4\r\n")) + text.toUtf8(), Utf16BeWithBom(text)};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fuzz.reg"));
        QRandomGenerator rng(20261209);
        int converted = 0;
        for (int round = 0; round < 3000; ++round) {
            const QByteArray bytes =
                round % 10 == 9 ? QByteArray::fromStdString(std::string(
                                      rng.bounded(200), static_cast<char>(rng.bounded(256))))
                                : Mutate(seeds[round % seeds.size()], rng);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();

            TAdvancedRegConverter converter;
            TStringListSink sink;
            const bool whole = converter.ConvertFromFileToMemo(path, &sink);
            // Streamed, the same lines come out, or the same error.
            TAdvancedRegConverter streamer;
            TStringListSink streamed;
            QFile input(path);
            QString error;
            QCOMPARE(streamer.StreamToSink(input, path, &streamed, error), whole);
            if (!whole) {
                QCOMPARE(sink.Lines.size(), 1);
                QCOMPARE(sink.Lines[0], QStringLiteral("Error: ") + error);
                continue;
            }
            QCOMPARE(streamed.Lines, sink.Lines);
            ++converted;
            qsizetype expected = 1;
            for (const TRegKey& key : converter.RegKeys())
                expected += 1 + (key.Deleted ? 0 : key.Values.size());
            QCOMPARE(sink.Lines.size(), expected);
            for (const QString& line : sink.Lines) {
                const InnoLine parsed = ParseInnoRegistryLine(line);
                QVERIFY2(parsed.Error.isEmpty(), qPrintable(line + u'\n' + parsed.Error));
            }
        }
        QVERIFY(converted > 1000);
    }

    void damagedTextNeverCrashes() {
        QRandomGenerator rng(7);
        const QString text = Seed();
        for (int round = 0; round < 1000; ++round) {
            QString mutated = text;
            for (int e = 0; e < 6; ++e)
                mutated[rng.bounded(mutated.size())] =
                    QChar(static_cast<char16_t>(rng.bounded(0x10000)));
            mutated.truncate(rng.bounded(mutated.size() + 1));
            TAdvancedRegConverter converter;
            try {
                converter.ConvertFromText(mutated);
            } catch (const std::exception&) {
                // A conversion error is an answer; a crash is not.
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRegFuzz)
#include "tst_RegFuzz.moc"
