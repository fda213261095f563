// How the converter reads an export's lines into keys and values.

#include "RegEditorReadings.h"
#include "TestMain.h"
#include "regconv/AdvancedRegConverter.h"

#include <QTest>

namespace {

QString TypeName(TRegDataType t) {
    switch (t) {
    case TRegDataType::rdString:
        return QStringLiteral("str");
    case TRegDataType::rdExpandString:
        return QStringLiteral("expand");
    case TRegDataType::rdBinary:
        return QStringLiteral("bin");
    case TRegDataType::rdDWord:
        return QStringLiteral("dword");
    case TRegDataType::rdMultiString:
        return QStringLiteral("multi");
    case TRegDataType::rdQWord:
        return QStringLiteral("qword");
    case TRegDataType::rdUnknown:
        break;
    }
    return QStringLiteral("unknown");
}

// "[path]{name:type=data}..." with "-" marking deletions and "!" values the registry editor
// would not import; one string per key.
QStringList Describe(const QList<TRegKey>& keys) {
    QStringList out;
    for (const TRegKey& key : keys) {
        QString s = (key.Deleted ? QStringLiteral("[-") : QStringLiteral("[")) + key.Path + u']';
        for (const TRegValue& v : key.Values)
            s += u'{' + v.Name + u':' + TypeName(v.DataType) +
                 (v.Fault == TRegLineFault::None ? QString() : QStringLiteral("!")) +
                 (v.Deleted ? u'-' : u'=') + v.Data + u'}';
        out.append(s);
    }
    return out;
}

QStringList Read(const QString& text) {
    TAdvancedRegConverter converter;
    converter.ConvertFromText(text);
    return Describe(converter.RegKeys());
}

} // namespace

class TestRegReader : public QObject {
    Q_OBJECT

private slots:
    void workedExample() {
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "; exported settings\r\n"
                                            "[HKEY_CURRENT_USER\\Software\\Example\\Tool]\r\n"
                                            "@=\"Default text\"\r\n"
                                            "\"Path\"=\"C:\\\\Program Files\\\\Tool\"\r\n"
                                            "\"Count\"=dword:0000001a\r\n"
                                            "\"Blob\"=hex:01,02,AB\r\n"
                                            "\r\n"
                                            "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n");
        QCOMPARE(Read(text),
                 QStringList({QStringLiteral("[HKEY_CURRENT_USER\\Software\\Example\\Tool]"
                                             "{:str=Default text}"
                                             "{Path:str=C:\\Program Files\\Tool}"
                                             "{Count:dword=dword:0000001a}"
                                             "{Blob:bin=hex:01,02,AB}"),
                              QStringLiteral("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]")}));
    }

    void lines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("keys");
        const auto row = [](const char* name, const char* text,
                            std::initializer_list<const char*> keys) {
            QStringList expected;
            for (const char* k : keys)
                expected.append(QString::fromUtf8(k));
            QTest::newRow(name) << QString::fromUtf8(text) << expected;
        };
        row("deleted value", "[K]\n\"Name\"=-", {"[K]{Name:str--}"});
        row("quoted minus is a string", "[K]\n\"Name\"=\"-\"", {"[K]{Name:str=-}"});
        row("values before the first key are kept, not imported", "\"A\"=\"1\"\n[K]\n\"B\"=\"2\"",
            {"[]{:str!=\"A\"=\"1\"}", "[K]{B:str=2}"});
        row("prefix case is ignored and kept", "[K]\n\"N\"=DWORD:00000001",
            {"[K]{N:dword=DWORD:00000001}"});
        row("hex forms",
            "[K]\n\"a\"=hex(4):01,00,00,00\n\"b\"=hex(0):\n\"c\"=hex(b):01\n\"d\"=HEX(2):41,00\n"
            "\"e\"=Hex(7):00,00\n\"f\"=hex:ff",
            {"[K]{a:bin=hex(4):01,00,00,00}{b:bin=hex(0):}{c:qword=hex(b):01}"
             "{d:expand=HEX(2):41,00}{e:multi=Hex(7):00,00}{f:bin=hex:ff}"});
        row("escaped quote inside a name", "[K]\n\"a\\\"b\"=\"x\"", {"[K]{a\"b:str=x}"});
        row("escaped backslash ends a name", "[K]\n\"a\\\\\"=\"x\"", {"[K]{a\\:str=x}"});
        row("string escapes undone", "[K]\n\"p\"=\"C:\\\\Temp\\\\ \\\"q\\\" \\n\"",
            {"[K]{p:str=C:\\Temp\\ \"q\" \\n}"});
        row("a name without equals is no value", "[K]\n\"Name\"\n\"Name\" 5\n\"Name\n@",
            {"[K]{:str!=\"Name\"}{:str!=\"Name\" 5}{:str!=\"Name}{:str!=@}"});
        row("default value", "[K]\n@=\"\"\n\"\"=\"x\"", {"[K]{:str=}{:str=x}"});
        row("continuation lines are joined",
            "[K]\n\"b\"=hex:01,02,\\\n  03,04,\\\n  05\n\"c\"=\"x\"",
            {"[K]{b:bin=hex:01,02,03,04,05}{c:str=x}"});
        row("a path twice gives two keys", "[K]\n\"a\"=\"1\"\n[K]\n\"b\"=\"2\"",
            {"[K]{a:str=1}", "[K]{b:str=2}"});
        row("comments after complete values",
            "[K]\n\"A\"=\"x\" ; note\n\"N\"=dword:00000001 ; note\n\"B\"=hex:01,02 ; note\n"
            "\"C\"=\"a;b\";x\n\"D\"=- ; gone\n\"E\"=\"q\\\"\";",
            {"[K]{A:str=x}{N:dword=dword:00000001}{B:bin=hex:01,02}{C:str=a;b}{D:str--}"
             "{E:str=q\"}"});
        row("comments on continued hex data", "[K]\n\"b\"=hex:01,\\ ; one\n  02,\\\n  03 ; two",
            {"[K]{b:bin=hex:01,02,03}"});
        row("text after a closing quote is not imported",
            "[K]\n\"B\"=\"x\"junk\n\"C\"=\"\"C:\\x\"\"",
            {"[K]{B:str!=\"x\"junk}{C:str!=\"\"C:\\x\"\"}"});
        row("indented lines and comments", "  [K]\n\t\"a\"=\"1\"\n ; c\n// c\n# c",
            {"[K]{a:str=1}"});
        row("every kind of line break", "[K]\r\"a\"=\"1\"\n\"b\"=\"2\"\r\n\"c\"=\"3\"",
            {"[K]{a:str=1}{b:str=2}{c:str=3}"});
    }

    void lines() {
        QFETCH(QString, text);
        QFETCH(QStringList, keys);
        QCOMPARE(Read(text), keys);
    }

    // The whole converter on the lines the registry editor reads in ways easy to get wrong.
    void registryEditorReadings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("section");
        for (const TRegEditorReading& r : kRegEditorReadings)
            QTest::newRow(r.Name) << RegEditorReadingExport(r) << QString::fromUtf8(r.Section);
    }

    void registryEditorReadings() {
        QFETCH(QString, text);
        QFETCH(QString, section);
        TAdvancedRegConverter converter;
        QCOMPARE(converter.ConvertFromText(text),
                 QStringLiteral("[Registry]\r\n") + section.replace(u'\n', QStringLiteral("\r\n")) +
                     QStringLiteral("\r\n"));
    }

    void eachConversionStartsAfresh() {
        TAdvancedRegConverter converter;
        converter.ConvertFromText(QStringLiteral("[A]\n\"x\"=\"1\""));
        converter.ConvertFromText(QStringLiteral("\"y\"=\"2\""));
        QCOMPARE(Describe(converter.RegKeys()),
                 QStringList{QStringLiteral("[]{:str!=\"y\"=\"2\"}")});
    }
};

QM_TEST_GUILESS_MAIN(TestRegReader)
#include "tst_RegReader.moc"
