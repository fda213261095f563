// Converting export files: byte-order marks, ANSI code pages, and how failures are shown.

#include "RegExportWriter.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegFileDecoding.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::testing;

namespace {

const QString kV5 = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
const QString kBody = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Q]\r\n"
                                     "\"Путь\"=\"C:\\\\Программы\\\\中文\"\r\n"
                                     "\"x\"=hex(2):1f,04,43,04,2d,4e,00,00\r\n");
const QStringList kBodyLines = {
    QStringLiteral("[Registry]"),
    QStringLiteral("Root: HKCU; Subkey: \"Software\\Q\";"),
    QStringLiteral("Root: HKCU; Subkey: \"Software\\Q\"; ValueType: string; ValueName: \"Путь\"; "
                   "ValueData: \"C:\\Программы\\中文\";"),
    QStringLiteral("Root: HKCU; Subkey: \"Software\\Q\"; ValueType: expandsz; ValueName: \"x\"; "
                   "ValueData: \"Пу中\";"),
};

class Fixture {
public:
    QString Write(const QString& name, const QByteArray& bytes) {
        return qm::testing::WriteFile(m_dir.filePath(name), bytes);
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

QStringList ConvertFile(const QString& path, const QString& codePage = {}, bool* ok = nullptr) {
    TAdvancedRegConverter converter;
    converter.SetAnsiCodePage(codePage);
    TStringListSink sink;
    const bool result = converter.ConvertFromFileToMemo(path, &sink);
    if (ok)
        *ok = result;
    return sink.Lines;
}

} // namespace

class TestRegFileDecoding : public QObject {
    Q_OBJECT

private slots:
    void unicodeForms_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = kV5 + kBody;
        QTest::newRow("UTF-16LE with mark") << Utf16LeWithBom(text);
        QTest::newRow("UTF-16BE with mark") << Utf16BeWithBom(text);
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" + text.toUtf8());
#if !defined(Q_OS_WIN) // Windows reads text without a mark in its ANSI code page
        QTest::newRow("UTF-8 without mark") << text.toUtf8();
#endif
        QTest::newRow("UTF-16LE without mark") << Utf16LeWithBom(text).sliced(2);
        QTest::newRow("lone LF line ends")
            << Utf16LeWithBom(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void unicodeForms() {
        QFETCH(QByteArray, bytes);
        Fixture fx;
        bool ok = false;
        QCOMPARE(ConvertFile(fx.Write(QStringLiteral("a.reg"), bytes), {}, &ok), kBodyLines);
        QVERIFY(ok);
    }

    void ansiExports() {
        Fixture fx;
        // cp1251 "Путь" = cf f3 f2 fc; the hex(2) data of a REGEDIT4 export is ANSI as well.
        const QByteArray cyrillic = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                    "\"\xcf\xf3\xf2\xfc\"=\"\xcf\"\r\n"
                                    "\"e\"=hex(2):cf,f3,00\r\n";
        const QStringList lines =
            ConvertFile(fx.Write(QStringLiteral("ru.reg"), cyrillic), QStringLiteral("cp1251"));
        QCOMPARE(lines.value(2), QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: string; "
                                                "ValueName: \"Путь\"; ValueData: \"П\";"));
        QCOMPARE(lines.value(3), QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: expandsz; "
                                                "ValueName: \"e\"; ValueData: \"Пу\";"));

        // Without a code page, text that is not UTF-8 is Windows-1252, and its hex text too,
        // even where those bytes alone would pass for UTF-8 (c3 a9).
        const QByteArray western = "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                   "\"caf\xe9\"=hex(2):c3,a9,80,00\r\n";
        QCOMPARE(ConvertFile(fx.Write(QStringLiteral("w.reg"), western)).value(2),
                 QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: expandsz; "
                                "ValueName: \"café\"; ValueData: \"Ã©€\";"));
    }

    void headerDecidesHexText() {
        Fixture fx;
        // A Unicode file with the old header: its hex text is ANSI (here plain ASCII).
        const QString oldHeader = QStringLiteral("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                                 "\"e\"=hex(2):41,42,00\r\n");
        QCOMPARE(ConvertFile(fx.Write(QStringLiteral("o.reg"), Utf16LeWithBom(oldHeader))).value(2),
                 QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: expandsz; ValueName: \"e\"; "
                                "ValueData: \"AB\";"));
        // An ANSI file with the new header: its hex text is UTF-16.
        const QByteArray newHeader = "Windows Registry Editor Version 5.00\r\n"
                                     "[HKEY_CURRENT_USER\\K]\r\n\"e\"=hex(2):41,00,42,00,00,00\r\n";
        QCOMPARE(ConvertFile(fx.Write(QStringLiteral("n.reg"), newHeader)).value(2),
                 QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: expandsz; ValueName: \"e\"; "
                                "ValueData: \"AB\";"));
    }

    void missingFileOrSinkChangesNothing() {
        TAdvancedRegConverter converter;
        TStringListSink sink;
        sink.Lines = QStringList{QStringLiteral("previous result")};
        QVERIFY(!converter.ConvertFromFileToMemo(QStringLiteral("/nonexistent/x.reg"), &sink));
        QVERIFY(!converter.ConvertFromFileToMemo(QString(), &sink));
        QCOMPARE(sink.Lines, QStringList{QStringLiteral("previous result")});
        Fixture fx;
        QVERIFY(
            !converter.ConvertFromFileToMemo(fx.Write(QStringLiteral("a.reg"), "[K]"), nullptr));
    }

    void failuresLeaveOneErrorLine() {
        Fixture fx;
        TAdvancedRegConverter converter;
        TStringListSink sink;
        sink.Lines = QStringList{QStringLiteral("previous result")};
        // A folder exists but cannot be read as a file.
        QVERIFY(!converter.ConvertFromFileToMemo(fx.Path(QString()), &sink));
        QCOMPARE(sink.Lines.size(), 1);
        QVERIFY2(sink.Lines[0].startsWith(QStringLiteral("Error: Cannot read file")),
                 qPrintable(sink.Lines[0]));

        converter.SetAnsiCodePage(QStringLiteral("no-such-code-page"));
        QVERIFY(!converter.ConvertFromFileToMemo(fx.Write(QStringLiteral("a.reg"), "[K]"), &sink));
        QCOMPARE(sink.Lines,
                 QStringList{QStringLiteral("Error: Unknown code page \"no-such-code-page\"")});
    }

    void secondConversionReplacesTheFirst() {
        Fixture fx;
        const QString path =
            fx.Write(QStringLiteral("a.reg"), "[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"1\"\r\n");
        TRegConvOptions options;
        TAdvancedRegConverter converter;
        converter.SetOptionsSource([&options] { return options; });
        TStringListSink sink;
        QVERIFY(converter.ConvertFromFileToMemo(path, &sink));
        options.UninsDeleteKey = true;
        QVERIFY(converter.ConvertFromFileToMemo(path, &sink));
        QCOMPARE(sink.Lines,
                 QStringList({QStringLiteral("[Registry]"),
                              QStringLiteral("Root: HKCU; Subkey: \"K\"; Flags: uninsdeletekey;"),
                              QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: string; "
                                             "ValueName: \"v\"; ValueData: \"1\";")}));
    }

    // A streamed conversion reads in pieces: its lines must be the whole file's when a key
    // line, a string, a surrogate pair, continued hex data and a CR LF each straddle the end
    // of a piece (in UTF-8 even a multi-byte sequence).
    void streamedAcrossPieceBorders_data() {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-16LE") << "utf-16le";
        QTest::newRow("UTF-16BE") << "utf-16be";
        QTest::newRow("UTF-8") << "utf-8";
    }

    void streamedAcrossPieceBorders() {
        QFETCH(QString, encoding);
        const bool utf8 = encoding == u"utf-8";
        const auto bytesOf = [&](const QString& t) {
            return utf8 ? t.toUtf8().size() : 2 * t.size();
        };
        struct Straddler {
            QString Text;
            qsizetype Utf16Split; // code units before the border
            qsizetype Utf8Split;  // bytes before the border
        };
        const QList<Straddler> straddlers = {
            {QStringLiteral("[HKEY_CURRENT_USER\\Software\\Border]\r\n"), 10, 10},
            // In UTF-8 the border cuts the "о" of "Программы" in two.
            {QStringLiteral("\"Путь\"=\"C:\\\\Программы\"\r\n"), 14, 21},
            // Between the two halves of a surrogate pair; in UTF-8 inside its four bytes.
            {QStringLiteral("\"e\"=\"x\U0001F600y\"\r\n"), 7, 8},
            {QStringLiteral("\"h\"=hex:01,02,\\\r\n  03,04\r\n"), 18, 18},
            // Between CR and LF: read as two line ends, the empty line would end the hex data.
            {QStringLiteral("\"k\"=hex:0a,\\\r\n  0b\r\n"), 13, 13},
        };
        const qint64 mark = utf8 ? 3 : 2;
        QString text = kV5;
        for (qsizetype k = 0; k < straddlers.size(); ++k) {
            const Straddler& s = straddlers[k];
            const qint64 border = mark + (k + 1) * TRegTextReader::kChunkBytes;
            qint64 gap = border - (mark + bytesOf(text)) - (utf8 ? s.Utf8Split : 2 * s.Utf16Split);
            // Comment lines fill the gap to the byte.
            const qint64 unit = utf8 ? 1 : 2;
            while (gap > 0) {
                qint64 chars = gap / unit;
                if (chars > 1000)
                    chars = chars - 1000 >= 3 ? 1000 : chars - 3; // no remainder below a line
                const QString filler = u';' + QString(chars - 3, u'x') + QStringLiteral("\r\n");
                text += filler;
                gap -= bytesOf(filler);
            }
            QVERIFY(gap == 0);
            text += s.Text;
        }
        QByteArray bytes;
        if (utf8)
            bytes = "\xEF\xBB\xBF" + text.toUtf8();
        else if (encoding == u"utf-16le")
            bytes = Utf16LeWithBom(text);
        else
            bytes = Utf16BeWithBom(text);
        Fixture fx;
        const QString path = fx.Write(QStringLiteral("big.reg"), bytes);

        TAdvancedRegConverter whole;
        TStringListSink wholeLines;
        QVERIFY(whole.ConvertFromFileToMemo(path, &wholeLines));
        TAdvancedRegConverter streamed;
        TStringListSink streamedLines;
        QFile file(path);
        QString error;
        QVERIFY2(streamed.StreamToSink(file, path, &streamedLines, error), qPrintable(error));
        QCOMPARE(streamedLines.Lines, wholeLines.Lines);
        const QString prefix =
            QStringLiteral("Root: HKCU; Subkey: \"Software\\Border\"; ValueType: ");
        QCOMPARE(wholeLines.Lines.mid(1),
                 QStringList({QStringLiteral("Root: HKCU; Subkey: \"Software\\Border\";"),
                              prefix + QStringLiteral("string; ValueName: \"Путь\"; "
                                                      "ValueData: \"C:\\Программы\";"),
                              prefix + QStringLiteral("string; ValueName: \"e\"; "
                                                      "ValueData: \"x\U0001F600y\";"),
                              prefix + QStringLiteral("binary; ValueName: \"h\"; "
                                                      "ValueData: \"01 02 03 04\";"),
                              prefix + QStringLiteral("binary; ValueName: \"k\"; "
                                                      "ValueData: \"0a 0b\";")}));
    }

    void cutUtf16File() {
        Fixture fx;
        // The last code unit lost its second byte: the line keeps a replacement character.
        QByteArray bytes = Utf16LeWithBom(QStringLiteral("[HKEY_CURRENT_USER\\K]\r\nab"));
        bytes.chop(1);
        QVERIFY(ConvertFile(fx.Write(QStringLiteral("cut.reg"), bytes))
                    .value(2)
                    .endsWith(QStringLiteral("=... or @=...: a\uFFFD")));
    }
};

QM_TEST_GUILESS_MAIN(TestRegFileDecoding)
#include "tst_RegFileDecoding.moc"
