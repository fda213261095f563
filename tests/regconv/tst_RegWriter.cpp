// The [Registry] lines the converter writes: formats, options, Inno Setup escaping, data types,
// deletions, and the comment lines for what Inno Setup cannot express.

#include "tst_RegWriter.h"

#include "InnoRegistryParser.h"
#include "TestMain.h"
#include "regconv/AdvancedRegConverter.h"

#include <QTest>

Q_DECLARE_METATYPE(TRegConvOptions)

using qm::testing::InnoLineKind;
using qm::testing::ParseInnoRegistryLine;

namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");

enum class Check { Compiles, Nothing };

// Converts and checks that Inno Setup would accept every line.
QStringList Convert(const QString& text, TRegConvOptions options = {}, const QString& codePage = {},
                    Check check = Check::Compiles) {
    TAdvancedRegConverter converter;
    converter.SetOptionsSource([options] { return options; });
    converter.SetAnsiCodePage(codePage);
    const QString out = converter.ConvertFromText(text);
    if (!out.endsWith(QStringLiteral("\r\n")))
        qFatal("output does not end in CR LF");
    QStringList lines = out.split(QStringLiteral("\r\n"));
    lines.removeLast();
    if (lines != converter.ISSContent())
        qFatal("ConvertFromText and ISSContent differ");
    for (const QString& line : lines) {
        if (check == Check::Nothing)
            break;
        const auto parsed = ParseInnoRegistryLine(line);
        if (!parsed.Error.isEmpty() || parsed.Entry.Expands)
            qFatal("Inno Setup would reject or expand \"%s\": %s", qPrintable(line),
                   qPrintable(parsed.Error));
    }
    return lines;
}

// The one line written for a single value under HKCU\K (the line after the key line).
QString ValueLineFor(const QString& valueLine, const QString& header = kHeader) {
    const QStringList lines = Convert(header + QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n") +
                                      valueLine + QStringLiteral("\r\n"));
    return lines.size() == 3 ? lines[2] : QStringLiteral("<%1 lines>").arg(lines.size());
}

QString Data(const char* typeAndData) {
    return QStringLiteral("Root: HKCU; Subkey: \"K\"; ValueType: ") +
           QString::fromUtf8(typeAndData) + u';';
}

QStringList Utf8Lines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out.append(QString::fromUtf8(l));
    return out;
}

const QString kExample = kHeader + QStringLiteral(R"([HKEY_CURRENT_USER\Software\Example\Tool]
@="Default text"
"Path"="C:\\Program Files\\Tool"
"Say"="He said \"hi\""
"Count"=dword:0000001a
"Blob"=hex:01,02,AB
"Big"=hex(b):01,00,00,00,00,00,00,00
"Empty"=hex:

[-HKEY_LOCAL_MACHINE\SOFTWARE\Old]

[hkey_classes_root\.xyz\]
@="xyzfile"

[HKEY_CURRENT_USER]
"Top"="1"
)");

} // namespace

void TestRegWriter::exampleWithoutOptions() {
    const QStringList expected = Utf8Lines({
        R"([Registry])",
        R"(Root: HKCU; Subkey: "Software\Example\Tool";)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: string; ValueName: ""; ValueData: "Default text";)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: string; ValueName: "Path"; ValueData: "C:\Program Files\Tool";)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: string; ValueName: "Say"; ValueData: "He said ""hi""";)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: dword; ValueName: "Count"; ValueData: $0000001a;)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: binary; ValueName: "Blob"; ValueData: "01 02 ab";)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: qword; ValueName: "Big"; ValueData: $0000000000000001;)",
        R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: binary; ValueName: "Empty"; ValueData: "";)",
        R"(Root: HKLM; Subkey: "SOFTWARE\Old"; Flags: deletekey;)",
        R"(Root: HKCR; Subkey: ".xyz";)",
        R"(Root: HKCR; Subkey: ".xyz"; ValueType: string; ValueName: ""; ValueData: "xyzfile";)",
        R"(; Not converted: [HKEY_CURRENT_USER]: Inno Setup needs a subkey and cannot write to a root key)",
        R"(; Not converted: value "Top" of [HKEY_CURRENT_USER]: Inno Setup needs a subkey and cannot write values of a root key)",
    });
    QCOMPARE(Convert(kExample), expected);
}

void TestRegWriter::exampleWithOptions() {
    const QStringList lines =
        Convert(kExample, {.UninsDeleteKeyIfEmpty = true, .UninsDeleteValue = true});
    QCOMPARE(lines[1],
             QStringLiteral(
                 R"(Root: HKCU; Subkey: "Software\Example\Tool"; Flags: uninsdeletekeyifempty;)"));
    QCOMPARE(
        lines[2],
        QStringLiteral(
            R"(Root: HKCU; Subkey: "Software\Example\Tool"; ValueType: string; ValueName: ""; ValueData: "Default text"; Flags: uninsdeletevalue;)"));
    // A deletion carries no uninstall flag.
    QCOMPARE(lines[9], QStringLiteral(R"(Root: HKLM; Subkey: "SOFTWARE\Old"; Flags: deletekey;)"));
    QCOMPARE(lines[10],
             QStringLiteral(R"(Root: HKCR; Subkey: ".xyz"; Flags: uninsdeletekeyifempty;)"));
}

void TestRegWriter::keyOptions_data() {
    QTest::addColumn<bool>("key");
    QTest::addColumn<bool>("ifEmpty");
    QTest::addColumn<bool>("value");
    QTest::addColumn<QString>("keyLine");
    QTest::addColumn<QString>("valueLine");
    const QString k = QStringLiteral(R"(Root: HKCU; Subkey: "K";)");
    const QString v = k + QStringLiteral(R"( ValueType: string; ValueName: "a"; ValueData: "1";)");
    QTest::newRow("none") << false << false << false << k << v;
    QTest::newRow("value only") << false << false << true << k
                                << v + QStringLiteral(" Flags: uninsdeletevalue;");
    QTest::newRow("key") << true << false << false << k + QStringLiteral(" Flags: uninsdeletekey;")
                         << v;
    QTest::newRow("both key options: ifempty wins")
        << true << true << false << k + QStringLiteral(" Flags: uninsdeletekeyifempty;") << v;
}

void TestRegWriter::keyOptions() {
    QFETCH(bool, key);
    QFETCH(bool, ifEmpty);
    QFETCH(bool, value);
    QFETCH(QString, keyLine);
    QFETCH(QString, valueLine);
    const QStringList lines = Convert(
        QStringLiteral("[HKEY_CURRENT_USER\\K]\n\"a\"=\"1\"\n"),
        {.UninsDeleteKey = key, .UninsDeleteKeyIfEmpty = ifEmpty, .UninsDeleteValue = value});
    QCOMPARE(lines.value(1), keyLine);
    QCOMPARE(lines.value(2), valueLine);
}

// Classes as HKA, the 32-bit view, the privileges and MinVersion, with the uninstall flags:
// the line of each key of one export (a comment where the install mode cannot write it), and
// one value line, which carries its key's check and MinVersion after its own flags.
void TestRegWriter::installModeOptions_data() {
    QTest::addColumn<TRegConvOptions>("options");
    QTest::addColumn<QStringList>("keyLines");
    QTest::addColumn<QString>("valueLine"); // of HKLM\Software\Vendor
    const QString admin = QStringLiteral(
        "an administrative install writes the administrator's HKEY_CURRENT_USER, not the user's");
    const QString lowest = QStringLiteral(
        "an install without administrative rights cannot write this per-machine key");
    const auto comment = [](const char* key, const QString& why) {
        return QStringLiteral("; Not converted: [%1]: %2").arg(QString::fromUtf8(key), why);
    };
    const QString vendor = QStringLiteral(R"(Root: HKLM; Subkey: "Software\Vendor";)");
    const QString c = QStringLiteral(R"( ValueType: string; ValueName: "c"; ValueData: "3";)");
    TRegConvOptions none;
    QTest::newRow("none") << none
                          << Utf8Lines({R"(Root: HKCR; Subkey: ".xyz";)",
                                        R"(Root: HKCR; Subkey: "WOW6432Node\CLSID\{{1}";)",
                                        R"(Root: HKLM; Subkey: "Software\WOW6432Node\Vendor";)",
                                        R"(Root: HKCU; Subkey: "Software\WOW6432Node\Vendor";)",
                                        R"(Root: HKLM; Subkey: "Software\Vendor";)",
                                        R"(Root: HKU; Subkey: ".DEFAULT\Software\Vendor";)",
                                        R"(Root: HKCC; Subkey: "Software\Vendor";)",
                                        R"(Root: HKCR; Subkey: ".old"; Flags: deletekey;)"})
                          << vendor + c;
    TRegConvOptions places;
    places.ClassesAsHka = true;
    places.Wow64View = true;
    QTest::newRow("classes as HKA, 32-bit view")
        << places
        << Utf8Lines({R"(Root: HKA; Subkey: "Software\Classes\.xyz";)",
                      R"(Root: HKA32; Subkey: "Software\Classes\CLSID\{{1}";)",
                      R"(Root: HKLM32; Subkey: "Software\Vendor";)",
                      R"(Root: HKCU; Subkey: "Software\WOW6432Node\Vendor";)",
                      R"(Root: HKLM; Subkey: "Software\Vendor";)",
                      R"(Root: HKU; Subkey: ".DEFAULT\Software\Vendor";)",
                      R"(Root: HKCC; Subkey: "Software\Vendor";)",
                      R"(Root: HKA; Subkey: "Software\Classes\.old"; Flags: deletekey;)"})
        << vendor + c;
    TRegConvOptions adminOnly;
    adminOnly.Privileges = TRegPrivileges::Admin;
    adminOnly.UninsDeleteKey = true;
    adminOnly.Wow64View = true;
    QTest::newRow("admin, uninsdeletekey, 32-bit view")
        << adminOnly
        << QStringList{Utf8Lines(
                           {R"(Root: HKCR; Subkey: ".xyz"; Flags: uninsdeletekey;)",
                            R"(Root: HKCR32; Subkey: "CLSID\{{1}"; Flags: uninsdeletekey;)",
                            R"(Root: HKLM32; Subkey: "Software\Vendor"; Flags: uninsdeletekey;)"}) +
                       QStringList{
                           comment(R"(HKEY_CURRENT_USER\Software\WOW6432Node\Vendor)", admin)} +
                       Utf8Lines(
                           {R"(Root: HKLM; Subkey: "Software\Vendor"; Flags: uninsdeletekey;)",
                            R"(Root: HKU; Subkey: ".DEFAULT\Software\Vendor"; Flags: uninsdeletekey;)",
                            R"(Root: HKCC; Subkey: "Software\Vendor"; Flags: uninsdeletekey;)",
                            R"(Root: HKCR; Subkey: ".old"; Flags: deletekey;)"})}
        << vendor + c;
    TRegConvOptions lowestOnly;
    lowestOnly.Privileges = TRegPrivileges::Lowest;
    lowestOnly.UninsDeleteValue = true;
    QTest::newRow("lowest, uninsdeletevalue")
        << lowestOnly
        << QStringList{Utf8Lines({R"(Root: HKCR; Subkey: ".xyz";)",
                                  R"(Root: HKCR; Subkey: "WOW6432Node\CLSID\{{1}";)"}) +
                       QStringList{
                           comment(R"(HKEY_LOCAL_MACHINE\Software\WOW6432Node\Vendor)", lowest)} +
                       Utf8Lines({R"(Root: HKCU; Subkey: "Software\WOW6432Node\Vendor";)"}) +
                       QStringList{comment(R"(HKEY_LOCAL_MACHINE\Software\Vendor)", lowest),
                                   comment(R"(HKEY_USERS\.DEFAULT\Software\Vendor)", lowest),
                                   comment(R"(HKEY_CURRENT_CONFIG\Software\Vendor)", lowest)} +
                       Utf8Lines({R"(Root: HKCR; Subkey: ".old"; Flags: deletekey;)"})}
        << QStringLiteral(
               R"(; Not converted: value "c" of [HKEY_LOCAL_MACHINE\Software\Vendor]: )") +
               lowest;
    TRegConvOptions dynamic;
    dynamic.Privileges = TRegPrivileges::Dynamic;
    dynamic.ClassesAsHka = true;
    dynamic.UninsDeleteKeyIfEmpty = true;
    dynamic.UninsDeleteValue = true;
    dynamic.MinVersion = QStringLiteral("6.1sp1");
    const QString m = QStringLiteral(" MinVersion: 6.1sp1;");
    const QString a =
        QStringLiteral(" Flags: uninsdeletekeyifempty; Check: IsAdminInstallMode;") + m;
    QTest::newRow("dynamic, HKA, MinVersion, both uninstall flags")
        << dynamic
        << QStringList{QStringLiteral(
                           R"(Root: HKA; Subkey: "Software\Classes\.xyz"; Flags: uninsdeletekeyifempty;)") +
                           m,
                       QStringLiteral(
                           R"(Root: HKA; Subkey: "Software\Classes\WOW6432Node\CLSID\{{1}"; Flags: uninsdeletekeyifempty;)") +
                           m,
                       QStringLiteral(R"(Root: HKLM; Subkey: "Software\WOW6432Node\Vendor";)") + a,
                       QStringLiteral(
                           R"(Root: HKCU; Subkey: "Software\WOW6432Node\Vendor"; Flags: uninsdeletekeyifempty; Check: not IsAdminInstallMode;)") +
                           m,
                       vendor + a,
                       QStringLiteral(R"(Root: HKU; Subkey: ".DEFAULT\Software\Vendor";)") + a,
                       QStringLiteral(R"(Root: HKCC; Subkey: "Software\Vendor";)") + a,
                       QStringLiteral(
                           R"(Root: HKA; Subkey: "Software\Classes\.old"; Flags: deletekey;)") +
                           m}
        << vendor + c + QStringLiteral(" Flags: uninsdeletevalue; Check: IsAdminInstallMode;") + m;
}

void TestRegWriter::installModeOptions() {
    QFETCH(TRegConvOptions, options);
    QFETCH(QStringList, keyLines);
    QFETCH(QString, valueLine);
    const QStringList lines = Convert(kHeader + QStringLiteral(R"([HKEY_CLASSES_ROOT\.xyz]
@="xyzfile"
[HKEY_CLASSES_ROOT\WOW6432Node\CLSID\{1}]
@="32"
[HKEY_LOCAL_MACHINE\Software\WOW6432Node\Vendor]
"a"="1"
[HKEY_CURRENT_USER\Software\WOW6432Node\Vendor]
"b"="2"
[HKEY_LOCAL_MACHINE\Software\Vendor]
"c"="3"
[HKEY_USERS\.DEFAULT\Software\Vendor]
"d"="4"
[HKEY_CURRENT_CONFIG\Software\Vendor]
"e"="5"
[-HKEY_CLASSES_ROOT\.old]
)"),
                                      options);
    QStringList keys;
    for (qsizetype i = 1; i < lines.size(); i += 2) // each key has one value, the last none
        keys << lines[i];
    QCOMPARE(keys, keyLines);
    QCOMPARE(lines.value(10), valueLine);
}

// What ISCC 6.4.1 answered for each MinVersion (probed), and so must the option's check and the
// test-side reader; the compiler's older "a,b" form is refused here on purpose.
void TestRegWriter::minVersionTexts() {
    const struct {
        const char* Text;
        bool Accepted;
    } verdicts[] = {
        {"6.1sp1", true},      {"10.0.17763", true}, {"6", true},         {"6.01", true},
        {"6.1SP1", true},      {"1.2.3sp1", true},   {"6.1.65535", true}, {"127", true},
        {"6.99", true},        {"6.1sp255", true},   {"6.1.1.1", false},  {"6.1 sp1", false},
        {"6.1sp", false},      {"abc", false},       {"", false},         {"6.", false},
        {".1", false},         {"6..1", false},      {"128", false},      {"6.100", false},
        {"6.1.65536", false},  {"6.1sp256", false},  {"-1", false},       {"6.1b", false},
        {"4294967296", false}, {"6.1sp1x", false}};
    for (const auto& v : verdicts) {
        const QString text = QString::fromLatin1(v.Text);
        QVERIFY2(IsInnoMinVersion(text) == v.Accepted, v.Text);
        const auto parsed = ParseInnoRegistryLine(
            QStringLiteral(R"(Root: HKCU; Subkey: "K"; MinVersion: %1;)").arg(text));
        QVERIFY2(parsed.Error.isEmpty() == v.Accepted || text.isEmpty(), v.Text);
    }
}

void TestRegWriter::innoEscaping() {
    QCOMPARE(
        Convert(QStringLiteral(R"([HKEY_CURRENT_USER\A{b}"c"]
"n{1}\""=hex(2):7b,00,22,00,00,00
"m"="{app}\x")")),
        Utf8Lines({
            R"([Registry])",
            R"(Root: HKCU; Subkey: "A{{b}""c""";)",
            R"(Root: HKCU; Subkey: "A{{b}""c"""; ValueType: expandsz; ValueName: "n{{1}"""; ValueData: "{{""";)",
            R"(Root: HKCU; Subkey: "A{{b}""c"""; ValueType: string; ValueName: "m"; ValueData: "{{app}\x";)",
        }));
}

// Lines that would run preprocessor code, split where they are shown, or hold what the
// registry editor would not import: written safely or as comments, and installing exactly the
// export's text where they are written.
void TestRegWriter::safeLines_data() {
    QTest::addColumn<QString>("values");        // value lines under HKEY_CURRENT_USER\K
    QTest::addColumn<QStringList>("lines");     // what follows the key line
    QTest::addColumn<QStringList>("installed"); // "name=data" of each value line written
    const auto row = [](const char* name, const char* values, const QStringList& lines,
                        const QStringList& installed) {
        QTest::newRow(name) << QString::fromUtf8(values).replace(u'~', QChar::Null) << lines
                            << installed;
    };
    const auto value = [](const char* rest) {
        return QStringLiteral(R"(Root: HKCU; Subkey: "K"; ValueType: )") + QString::fromUtf8(rest);
    };
    const auto comment = [](const char* name, const QString& why) {
        return QStringLiteral(R"(; Not converted: value "%1" of [HKEY_CURRENT_USER\K]: %2)")
            .arg(QString::fromUtf8(name), why);
    };
    const auto split = [&](const char* name, const char* what, const char* separator) {
        return comment(name, QStringLiteral("%1 holds the separator %2, which would split the "
                                            "line where it is shown or copied")
                                 .arg(QString::fromUtf8(what), QString::fromUtf8(separator)));
    };
    const QString notImported = QStringLiteral(
        "the registry editor does not import a string with text after its closing quote");
    row("preprocessor in names and strings", R"("{#Exec('calc.exe')}"="{#x}{{#y}"
"{#"="{#")",
        {value(
             R"(string; ValueName: "{#"{{#"}Exec('calc.exe')}"; ValueData: "{#"{{#"}x}{{{#"{{#"}y}";)"),
         value(R"(string; ValueName: "{#"{{#"}"; ValueData: "{#"{{#"}";)")},
        {QStringLiteral("{#Exec('calc.exe')}={#x}{{#y}"), QStringLiteral("{#={#")});
    row("preprocessor in hex text", R"("e"=hex(2):7b,00,23,00,00,00
"m"=hex(7):7b,00,23,00,00,00,7b,00,7b,00,23,00,00,00,00,00)",
        {value(R"(expandsz; ValueName: "e"; ValueData: "{#"{{#"}";)"),
         value(R"(multisz; ValueName: "m"; ValueData: "{#"{{#"}{break}{{{#"{{#"}";)")},
        {QStringLiteral("e={#"), QStringLiteral("m={#|{{#")});
    row("separators and NUL in names and text",
        "\"a\u2028b\"=\"x\"\n\"c\"=\"d\u2029e\"\n\"f\"=\"g\uFDD0\"\n\"n~\"=\"1\"\n"
        "\"h\"=hex(7):41,00,00,00,42,00,d1,fd,00,00,00,00",
        {split("a<U+2028>b", "the name", "<U+2028>"), split("c", "the text", "<U+2029>"),
         split("f", "the text", "<U+FDD0>"),
         comment("n<U+0000>",
                 QStringLiteral("the name holds a NUL character, which Inno Setup cannot write")),
         split("h", "the text", "<U+FDD1>")},
        {});
    row("comments after complete values", R"("A"="x" ; note
"N"=dword:00000001 ; note
"B"=hex:01,02 ; note
"D"=- ; gone)",
        {value(R"(string; ValueName: "A"; ValueData: "x";)"),
         value(R"(dword; ValueName: "N"; ValueData: $00000001;)"),
         value(R"(binary; ValueName: "B"; ValueData: "01 02";)"),
         value(R"(none; ValueName: "D"; Flags: deletevalue;)")},
        {QStringLiteral("A=x"), QStringLiteral("N=1"), QStringLiteral("B=0102"),
         QStringLiteral("D=")});
    row("text after a closing quote", R"("B"="x"junk
"C"=""C:\x"")",
        {comment("B", notImported), comment("C", notImported)}, {});
}

void TestRegWriter::safeLines() {
    QFETCH(QString, values);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, installed);
    const QStringList out = Convert(QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n") + values);
    QCOMPARE(out.mid(2), lines);
    QStringList written;
    for (const QString& line : out.mid(2)) {
        const auto parsed = ParseInnoRegistryLine(line);
        if (parsed.Kind != InnoLineKind::Entry)
            continue;
        const auto& e = parsed.Entry;
        QString data = e.Text;
        if (e.ValueType == u"multisz")
            data = e.Strings.join(u'|');
        else if (e.ValueType == u"dword")
            data = QString::number(e.Number);
        else if (e.ValueType == u"binary")
            data = QString::fromLatin1(e.Bytes.toHex());
        written << e.ValueName + u'=' + data;
    }
    QCOMPARE(written, installed);
}

void TestRegWriter::dataTypes_data() {
    QTest::addColumn<QString>("valueLine");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* in, const char* typeAndData) {
        QTest::newRow(name) << QString::fromUtf8(in) << Data(typeAndData);
    };
    row("dword keeps its digits", R"("v"=dword:0000001A)",
        R"(dword; ValueName: "v"; ValueData: $0000001A)");
    row("dword of fewer digits", R"("v"=dword:10)", R"(dword; ValueName: "v"; ValueData: $10)");
    row("qword is little-endian", R"("v"=hex(b):ef,cd,ab,89,67,45,23,01)",
        R"(qword; ValueName: "v"; ValueData: $0123456789abcdef)");
    row("dword stored as bytes", R"("v"=hex(4):78,56,34,12)",
        R"(dword; ValueName: "v"; ValueData: $12345678)");
    row("binary bytes", R"("v"=hex:00,FF,1)", R"(binary; ValueName: "v"; ValueData: "00 ff 01")");
    row("binary of type 3", R"("v"=hex(3):0a)", R"(binary; ValueName: "v"; ValueData: "0a")");
    row("empty binary", R"("v"=hex:)", R"(binary; ValueName: "v"; ValueData: "")");
    row("binary over three lines", "\"v\"=hex:01,02,\\\r\n  03,04,\\\r\n  05",
        R"(binary; ValueName: "v"; ValueData: "01 02 03 04 05")");
    row("expandsz, UTF-16", R"("v"=hex(2):25,00,41,00,25,00,2d,4e,00,00)",
        R"(expandsz; ValueName: "v"; ValueData: "%A%中")");
    row("expandsz, empty", R"("v"=hex(2):00,00)", R"(expandsz; ValueName: "v"; ValueData: "")");
    row("string stored as hex", R"("v"=hex(1):48,00,69,00,00,00)",
        R"(string; ValueName: "v"; ValueData: "Hi")");
    row("multisz", "\"v\"=hex(7):61,00,00,00,7b,00,22,00,00,00,\\\r\n  00,00",
        R"(multisz; ValueName: "v"; ValueData: "a{break}{{""")");
    row("multisz keeps an empty string inside", R"("v"=hex(7):61,00,00,00,00,00,62,00,00,00,00,00)",
        R"(multisz; ValueName: "v"; ValueData: "a{break}{break}b")");
    row("empty multisz", R"("v"=hex(7):00,00)", R"(multisz; ValueName: "v"; ValueData: "")");
    row("multisz without a terminator", R"("v"=hex(7):61,00)",
        R"(multisz; ValueName: "v"; ValueData: "a")");
    row("empty name is the default", R"(""="x")", R"(string; ValueName: ""; ValueData: "x")");
}

void TestRegWriter::dataTypes() {
    QFETCH(QString, valueLine);
    QFETCH(QString, expected);
    QCOMPARE(ValueLineFor(valueLine), expected);
}

void TestRegWriter::ansiHexText() {
    const QString regedit4 = QStringLiteral("REGEDIT4\r\n\r\n");
    // Not valid UTF-8, so the default reads Windows-1252.
    QCOMPARE(ValueLineFor(QStringLiteral(R"("v"=hex(2):25,41,25,5c,e9,80,00)"), regedit4),
             Data(R"(expandsz; ValueName: "v"; ValueData: "%A%\é€")"));
    QCOMPARE(ValueLineFor(QStringLiteral(R"("v"=hex(7):61,00,62,00,00)"), regedit4),
             Data(R"(multisz; ValueName: "v"; ValueData: "a{break}b")"));
    // The header decides, not the text's encoding: hex text in a REGEDIT4 export is ANSI.
    QCOMPARE(ValueLineFor(QStringLiteral(R"("v"=hex(1):48,69,00)"), regedit4),
             Data(R"(string; ValueName: "v"; ValueData: "Hi")"));
    const QStringList cyrillic = Convert(
        regedit4 + QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n\"v\"=hex(2):cf,f3,f2,fc,00\r\n"), {},
        QStringLiteral("cp1251"));
    QCOMPARE(cyrillic.value(2), Data(R"(expandsz; ValueName: "v"; ValueData: "Путь")"));
}

void TestRegWriter::deletions() {
    QCOMPARE(
        Convert(QStringLiteral(R"([-HKEY_CURRENT_USER\Gone]
"ignored"="x"
[HKEY_LOCAL_MACHINE\K]
"v"=-
@=-
[-HKEY_USERS]
[-HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Environment]
[HKEY_CURRENT_USER\system\currentcontrolset\control\session manager\environment]
[HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001\Control\Session Manager\Environment]
)"),
                {.UninsDeleteKey = true, .UninsDeleteValue = true}),
        Utf8Lines({
            R"([Registry])",
            R"(Root: HKCU; Subkey: "Gone"; Flags: deletekey;)",
            R"(; Not converted: the registry editor ignores values under a key it deletes: "ignored"="x")",
            R"(Root: HKLM; Subkey: "K"; Flags: uninsdeletekey;)",
            R"(Root: HKLM; Subkey: "K"; ValueType: none; ValueName: "v"; Flags: deletevalue;)",
            R"(Root: HKLM; Subkey: "K"; ValueType: none; ValueName: ""; Flags: deletevalue;)",
            R"(; Not converted: [-HKEY_USERS]: Inno Setup cannot delete a root key)",
            // The compiler refuses to delete this one key, under any root.
            R"(; Not converted: [-HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Environment]: Inno Setup's compiler refuses to delete this key, which holds the system's environment variables)",
            R"(; uninsdeletekey left out for [HKEY_CURRENT_USER\system\currentcontrolset\control\session manager\environment]: Inno Setup's compiler refuses to delete this key, which holds the system's environment variables)",
            R"(Root: HKCU; Subkey: "system\currentcontrolset\control\session manager\environment";)",
            R"(Root: HKLM; Subkey: "SYSTEM\ControlSet001\Control\Session Manager\Environment"; Flags: uninsdeletekey;)",
        }));
}

void TestRegWriter::notConvertible_data() {
    QTest::addColumn<QString>("valueLine");
    QTest::addColumn<QString>("comment");
    const auto row = [](const char* name, const char* in, const char* why) {
        QTest::newRow(name) << QString::fromUtf8(in) << QString::fromUtf8(why);
    };
    row("REG_NONE", R"("v"=hex(0):01)", R"(: hex(0): has no Inno Setup value type)");
    row("big-endian dword", R"("v"=hex(5):00,00,00,01)",
        R"(: hex(5): (a big-endian dword) has no Inno Setup value type)");
    row("resource list", R"("v"=hex(8):01)", R"(: hex(8): has no Inno Setup value type)");
    row("not a data form", R"("v"=hexagon)", R"(: the data is not a registry data form)");
    row("short qword", R"("v"=hex(b):01,02)", R"(: hex(b): data needs 8 bytes, not 2)");
    row("long hex(4)", R"("v"=hex(4):01,02,03,04,05)", R"(: hex(4): data needs 4 bytes, not 5)");
    row("dword without digits", R"("v"=dword:)", R"(: the dword data has no digits)");
    row("dword too long", R"("v"=dword:123456789)",
        R"(: the dword data "123456789" is not 1 to 8 hexadecimal digits)");
    row("dword not hex", R"("v"=dword:0000001g)",
        R"(: the dword data "0000001g" is not 1 to 8 hexadecimal digits)");
    row("NUL inside expandsz", R"("v"=hex(2):41,00,00,00,42,00,00,00)",
        R"(: the text holds a NUL character, which Inno Setup cannot write)");
    row("line break in a string", R"("v"=hex(1):41,00,0d,00,0a,00,00,00)",
        R"(: the text holds a line break, which Inno Setup cannot write)");
    row("line break in a multisz", R"("v"=hex(7):41,00,0a,00,00,00,00,00)",
        R"(: the text holds a line break, which Inno Setup cannot write)");
    row("odd UTF-16", R"("v"=hex(2):41,00,42)", R"(: UTF-16 text data has an odd number of bytes)");
    row("letters that are no hex byte", R"("v"=hex(2):zz)", R"(: "zz" is not a hexadecimal byte)");
    row("a byte above ff", R"("v"=hex(7):41,00,100)", R"(: "100" is not a hexadecimal byte)");
}

void TestRegWriter::notConvertible() {
    QFETCH(QString, valueLine);
    QFETCH(QString, comment);
    QCOMPARE(ValueLineFor(valueLine),
             QStringLiteral("; Not converted: value \"v\" of [HKEY_CURRENT_USER\\K]") + comment);
}

void TestRegWriter::commentsNeverEndInBackslash() {
    // Names and data that end in a backslash, under a root key and in a bad dword.
    const QStringList lines = Convert(QStringLiteral(R"([HKEY_CURRENT_USER]
"a\\"="x"
[HKEY_CURRENT_USER\K\]
"d"=dword:1\
)"));
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[2].startsWith(QStringLiteral(R"(; Not converted: value "a\" of)")));
    QCOMPARE(
        lines[4],
        QStringLiteral(
            R"(; Not converted: value "d" of [HKEY_CURRENT_USER\K\]: the dword data "1\" is not 1 to 8 hexadecimal digits)"));
}

void TestRegWriter::keyPaths() {
    QCOMPARE(
        Convert(QStringLiteral(R"([]
"lost"="x"
[-]
[HKEY_CURRENT_USER\Software\X\]
[HKEY_CURRENT_USER\\Software\X]
[hkcu\Short]
[HKEY_CURENT_USER\Typo]
"v"="1"
[\Software\NoRoot]
[HKEY_CURRENT_CONFIG\C]
)")),
        Utf8Lines({
            R"([Registry])",
            R"(; Not converted: []: the root is not a registry root)",
            R"(; Not converted: value "lost" of []: the key's root is not a registry root)",
            R"(; Not converted: [-]: the root is not a registry root)",
            R"(Root: HKCU; Subkey: "Software\X";)",
            R"(Root: HKCU; Subkey: "Software\X";)",
            R"(Root: HKCU; Subkey: "Short";)",
            R"(; Not converted: [HKEY_CURENT_USER\Typo]: the root is not a registry root)",
            R"(; Not converted: value "v" of [HKEY_CURENT_USER\Typo]: the key's root is not a registry root)",
            R"(; Not converted: [\Software\NoRoot]: the root is not a registry root)",
            R"(Root: HKCC; Subkey: "C";)",
        }));
}

void TestRegWriter::rootThatWouldAddParameters() {
    QCOMPARE(
        Convert(QStringLiteral(R"([HKCU; Flags: deletekey\Software]
"v"="1"
)")),
        Utf8Lines({
            R"([Registry])",
            R"(; Not converted: [HKCU; Flags: deletekey\Software]: the root is not a registry root)",
            R"(; Not converted: value "v" of [HKCU; Flags: deletekey\Software]: the key's root is not a registry root)",
        }));
}

void TestRegWriter::emptyExport() {
    QCOMPARE(Convert(QString()), QStringList{QStringLiteral("[Registry]")});
    QCOMPARE(Convert(kHeader + QStringLiteral("; nothing\r\n")),
             QStringList{QStringLiteral("[Registry]")});
}

QM_TEST_GUILESS_MAIN(TestRegWriter)
