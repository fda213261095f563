// Decoding text of Windows code pages, and the UTF-8 test that picks the default.

#include "TestMain.h"
#include "platform/CodePage.h"

#include <QTest>

using namespace qm::platform;

namespace {

std::string_view Bytes(const char* s) {
    return s;
}

} // namespace

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void utf8Validity_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii longer than a word")
            << QByteArray("plain ascii text, 8+ bytes") << true;
        QTest::newRow("two, three and four bytes")
            << QByteArray("\xd0\x9f \xe4\xb8\xad \xf0\x9f\x98\x80") << true;
        QTest::newRow("invalid after an ascii word") << QByteArray("abcdefgh\xe9") << false;
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false;
        QTest::newRow("overlong three bytes") << QByteArray("\xe0\x80\xaf") << false;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
        QTest::newRow("cut sequence") << QByteArray("ok\xe4\xb8") << false;
        QTest::newRow("lone continuation") << QByteArray("\x80") << false;
        QTest::newRow("cp1251 text") << QByteArray("\xcf\xf3\xf2\xfc") << false;
    }

    void utf8Validity() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(IsValidUtf8(bytes.toStdString()), valid);
    }

    void defaultDecoding() {
#if defined(Q_OS_WIN)
        // Windows reads text without a mark in its ANSI code page, as the registry editor
        // does (the test prefix's is Windows-1252).
        const std::string westernPage = "system";
#else
        const AnsiText utf8 = DecodeAnsi(Bytes("\xd0\x9f\xf0\x9f\x98\x80"), "");
        QCOMPARE(utf8.CodePage, std::string("utf-8"));
        QCOMPARE(QString::fromStdU16String(utf8.Text), QStringLiteral("П😀"));
        const std::string westernPage = "windows-1252";
#endif
        const AnsiText western = DecodeAnsi(Bytes("caf\xe9 \x80\x81\x9f"), "");
        QCOMPARE(western.CodePage, westernPage);
        // 0x81 has no character in Windows-1252; Windows decodes it as U+0081.
        QCOMPARE(QString::fromStdU16String(western.Text), QStringLiteral("café €\u0081Ÿ"));
    }

    void namedCodePages_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp1251") << QByteArray("cp1251") << QByteArray("\xcf\xf3\xf2\xfc")
                                << QStringLiteral("Путь");
        QTest::newRow("windows-1251")
            << QByteArray("Windows-1251") << QByteArray("\xcf") << QStringLiteral("П");
        QTest::newRow("bare number")
            << QByteArray("1251") << QByteArray("\xcf") << QStringLiteral("П");
        QTest::newRow("cp866") << QByteArray("cp866") << QByteArray("\x8f\xe3\xe2\xec")
                               << QStringLiteral("Путь");
        QTest::newRow("ibm866") << QByteArray("IBM866") << QByteArray("\x8f")
                                << QStringLiteral("П");
        QTest::newRow("koi8-r") << QByteArray("koi8-r") << QByteArray("\xf0")
                                << QStringLiteral("П");
        // As Windows decodes them: a byte the page leaves undefined is the C1 control of its
        // value, and a combining mark stays apart from its letter (and the last letter is kept).
        QTest::newRow("undefined byte")
            << QByteArray("cp1251") << QByteArray("a\x98z") << QStringLiteral("a\u0098z");
        QTest::newRow("mark after a letter")
            << QByteArray("cp1258") << QByteArray("A\xcc") << QStringLiteral("A\u0300");
        // Half a character at the end: Windows writes the page's own default character.
#if defined(Q_OS_WIN)
        const QString cut = QStringLiteral("a\u30FB");
#else
        const QString cut = QStringLiteral("a\uFFFD");
#endif
        QTest::newRow("cut double byte") << QByteArray("cp932") << QByteArray("a\x82") << cut;
    }

    void namedCodePages() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(IsKnownCodePage(name.toStdString()));
        const AnsiText decoded = DecodeAnsi(bytes.toStdString(), name.toStdString());
        QCOMPARE(decoded.CodePage, name.toStdString());
        QCOMPARE(QString::fromStdU16String(decoded.Text), text);
    }

    void unknownNames() {
        for (const char* name : {"klingon", "cp99999", "windows-"}) {
            QVERIFY2(!IsKnownCodePage(name), name);
            QVERIFY(DecodeAnsi(Bytes("x"), name).CodePage.empty());
        }
        QVERIFY(IsKnownCodePage(""));
    }

    void numberedNames() {
        QCOMPARE(NumberedCodePage("cp1251"), 1251u);
        QCOMPARE(NumberedCodePage("WINDOWS-1252"), 1252u);
        QCOMPARE(NumberedCodePage("CP-866"), 866u);
        QCOMPARE(NumberedCodePage("437"), 437u);
        QCOMPARE(NumberedCodePage("utf-8"), 0u);
        QCOMPARE(NumberedCodePage("cp"), 0u);
        QCOMPARE(NumberedCodePage("123456"), 0u);
    }
};

QM_TEST_GUILESS_MAIN(TestCodePage)
#include "tst_CodePage.moc"
