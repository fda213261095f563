// Random registry contents written as exports of both forms, converted, and read back the way
// Inno Setup reads the section: what it would install must equal what the export holds.

#include "InnoRegistryParser.h"
#include "RegExportWriter.h"
#include "TestMain.h"
#include "regconv/AdvancedRegConverter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qm::testing;

namespace {

struct Root {
    const char* Long;
    const char* Short;
};
constexpr Root kRoots[] = {{"HKEY_CURRENT_USER", "HKCU"},
                           {"HKEY_LOCAL_MACHINE", "HKLM"},
                           {"hkey_classes_root", "HKCR"},
                           {"HKEY_USERS", "HKU"},
                           {"HKEY_CURRENT_CONFIG", "HKCC"}};

class Generator {
public:
    Generator(quint32 seed, bool latin1Only) : m_rng(seed), m_latin1(latin1Only) {}

    int Below(int n) { return static_cast<int>(m_rng.bounded(n)); }

    // Text that survives both forms: the characters that need escaping in an export or in a
    // script are frequent on purpose.
    QString Text(int maxLength, bool allowEmpty = true) {
        static const QString ascii = QStringLiteral("ab Z09\\\"{}[]=;@%$,.-_'#{#");
        static const QString latin1 = QStringLiteral("éÿ©±");
        static const QString wide = QStringLiteral("ПуТь中文한😀");
        QString s;
        const int length = Below(maxLength + 1);
        for (int i = 0; i < length; ++i) {
            const int pick = Below(10);
            if (pick < 7)
                s += ascii[Below(static_cast<int>(ascii.size()))];
            else if (pick < 9 || m_latin1)
                s += latin1[Below(static_cast<int>(latin1.size()))];
            else
                s += wide.mid(Below(static_cast<int>(wide.size()) - 1), 1);
        }
        // A lone surrogate half cannot be decoded back; keep pairs whole.
        if (!s.isEmpty() && s.back().isHighSurrogate())
            s.chop(1);
        if (s.isEmpty() && !allowEmpty)
            s = QStringLiteral("k");
        return s;
    }

    QString KeyName() {
        QString s = TextOrHeader(8, false);
        s.remove(u'\\');
        s = s.trimmed();
        return s.isEmpty() ? QStringLiteral("k") : s;
    }

    // Now and then the header line's text, which inside a key is a name or data like any other.
    QString TextOrHeader(int maxLength, bool allowEmpty = true) {
        if (Below(15) == 0)
            return Below(2) == 0 ? QStringLiteral("Windows Registry Editor Version 5.00")
                                 : QStringLiteral("REGEDIT4");
        return Text(maxLength, allowEmpty);
    }

    ExportValue Value() {
        ExportValue v;
        const int name = Below(16);
        v.Name = name < 2    ? QString()
                 : name == 2 ? QStringLiteral("@")
                 : name == 3 ? QStringLiteral("n@")
                             : TextOrHeader(10);
        v.Kind = static_cast<ExportKind>(Below(9));
        switch (v.Kind) {
        case ExportKind::String:
        case ExportKind::ExpandSz:
        case ExportKind::HexString:
            v.Text = TextOrHeader(40);
            break;
        case ExportKind::MultiSz:
            for (int i = Below(4); i > 0; --i)
                v.Strings.append(TextOrHeader(12, false));
            break;
        case ExportKind::DWord:
            v.Number = m_rng.generate();
            break;
        case ExportKind::QWord:
            v.Number = m_rng.generate64();
            break;
        case ExportKind::Binary:
            for (int i = Below(70); i > 0; --i)
                v.Bytes.append(static_cast<char>(Below(256)));
            break;
        case ExportKind::Delete:
            break;
        case ExportKind::Raw: {
            // Malformed data costs its value only; a line that cannot go on a value's data
            // costs itself.
            static const QStringList bad = {
                QStringLiteral("hex:01,,02"),
                QStringLiteral("hex:01,zz,02"),
                QStringLiteral("hex:100"),
                QStringLiteral("hex(2):48\\,4f,00,00"),
                QStringLiteral("hex:01,00  #comment"),
                QStringLiteral("hex(7):41,00,\\\r\n# ends it\r\n  00,00"),
                QStringLiteral("-\"x\""),
                QStringLiteral("dword:1234 #note")};
            v.Text = bad[Below(static_cast<int>(bad.size()))];
            break;
        }
        }
        if (Below(5) == 0) {
            static const QStringList skipped = {QString(), QStringLiteral("; a comment"),
                                                QStringLiteral("  ;indented")};
            for (int i = 1 + Below(2); i > 0; --i)
                v.SkippedLines.append(skipped[Below(static_cast<int>(skipped.size()))]);
        }
        return v;
    }

    ExportKey Key(QString& rootShort) {
        const Root& root = kRoots[Below(5)];
        rootShort = QString::fromLatin1(root.Short);
        ExportKey key;
        key.Path = QString::fromLatin1(root.Long);
        for (int i = 1 + Below(3); i > 0; --i)
            key.Path += u'\\' + KeyName();
        key.Deleted = Below(10) == 0;
        if (Below(6) == 0)
            key.Tail = Below(2) == 0 ? QStringLiteral(" ; note") : QStringLiteral("\t;");
        if (!key.Deleted) {
            for (int i = Below(6); i > 0; --i)
                key.Values.append(Value());
        }
        return key;
    }

private:
    QRandomGenerator m_rng;
    bool m_latin1;
};

QString Hex(const QByteArray& b) {
    return QString::fromLatin1(b.toHex(' '));
}

// One line per entry: root|subkey|type|name|data|flags.
QString Describe(const InnoRegEntry& e) {
    QString data;
    if (e.HasValueData) {
        if (e.ValueType == u"multisz")
            data = e.Strings.join(u'\x1f');
        else if (e.ValueType == u"dword" || e.ValueType == u"qword")
            data = QString::number(e.Number, 16);
        else if (e.ValueType == u"binary")
            data = Hex(e.Bytes);
        else
            data = e.Text;
    }
    return QStringList{e.Root,      e.Subkey,
                       e.ValueType, e.HasValueName ? e.ValueName : QString(),
                       data,        e.Flags.join(u' ')}
        .join(u'|');
}

QStringList Expected(const ExportKey& key, const QString& root, const TRegConvOptions& o) {
    const QString subkey = key.Path.section(u'\\', 1);
    if (key.Deleted)
        return {
            QStringList{root, subkey, QStringLiteral("none"), {}, {}, QStringLiteral("deletekey")}
                .join(u'|')};
    const QString keyFlags = o.UninsDeleteKeyIfEmpty ? QStringLiteral("uninsdeletekeyifempty")
                             : o.UninsDeleteKey      ? QStringLiteral("uninsdeletekey")
                                                     : QString();
    const QString valueFlags = o.UninsDeleteValue ? QStringLiteral("uninsdeletevalue") : QString();
    QStringList out{QStringList{root, subkey, QStringLiteral("none"), {}, {}, keyFlags}.join(u'|')};
    for (const ExportValue& v : key.Values) {
        const QString& name = v.Name;
        QString type;
        QString data;
        QString flags = valueFlags;
        switch (v.Kind) {
        case ExportKind::String:
        case ExportKind::HexString:
            type = QStringLiteral("string");
            data = v.Text;
            break;
        case ExportKind::ExpandSz:
            type = QStringLiteral("expandsz");
            data = v.Text;
            break;
        case ExportKind::MultiSz:
            type = QStringLiteral("multisz");
            data = v.Strings.join(u'\x1f');
            break;
        case ExportKind::DWord:
            type = QStringLiteral("dword");
            data = QString::number(v.Number & 0xFFFFFFFFu, 16);
            break;
        case ExportKind::QWord:
            type = QStringLiteral("qword");
            data = QString::number(v.Number, 16);
            break;
        case ExportKind::Binary:
            type = QStringLiteral("binary");
            data = Hex(v.Bytes);
            break;
        case ExportKind::Delete:
            type = QStringLiteral("none");
            flags = QStringLiteral("deletevalue");
            break;
        case ExportKind::Raw:
            // A comment for the value, and one for each line after a # line that ends its data.
            for (QStringView line : QStringView(v.Text).split(QStringLiteral("\r\n")))
                if (!line.startsWith(u'#'))
                    out.append(QStringLiteral("; Not converted"));
            continue;
        }
        out.append(QStringList{root, subkey, type, name, data, flags}.join(u'|'));
    }
    return out;
}

} // namespace

class TestRegRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void installsWhatTheExportHolds_data() {
        QTest::addColumn<bool>("regedit4");
        QTest::newRow("version 5, UTF-16LE") << false;
        QTest::newRow("REGEDIT4, Windows-1252") << true;
    }

    void installsWhatTheExportHolds() {
        QFETCH(bool, regedit4);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("export.reg"));
        for (quint32 seed = 1; seed <= 150; ++seed) {
            Generator gen(seed, regedit4);
            QList<ExportKey> keys;
            QStringList expected;
            TRegConvOptions options{.UninsDeleteKey = gen.Below(2) == 0,
                                    .UninsDeleteKeyIfEmpty = gen.Below(2) == 0,
                                    .UninsDeleteValue = gen.Below(2) == 0};
            for (int k = 1 + gen.Below(6); k > 0; --k) {
                QString root;
                keys.append(gen.Key(root));
                expected += Expected(keys.back(), root, options);
            }
            const QString text = ExportText(keys, regedit4);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(regedit4 ? Latin1Bytes(text) : Utf16LeWithBom(text));
            file.close();

            TAdvancedRegConverter converter;
            converter.SetOptionsSource([options] { return options; });
            if (regedit4)
                converter.SetAnsiCodePage(QStringLiteral("windows-1252"));
            TStringListSink sink;
            QVERIFY2(converter.ConvertFromFileToMemo(path, &sink),
                     qPrintable(sink.Lines.join(u'\n')));

            QStringList actual;
            for (const QString& line : sink.Lines.sliced(1)) {
                const InnoLine parsed = ParseInnoRegistryLine(line);
                QVERIFY2(parsed.Error.isEmpty() && !parsed.Entry.Expands,
                         qPrintable(
                             QStringLiteral("seed %1: %2: %3").arg(seed).arg(line, parsed.Error)));
                if (parsed.Kind == InnoLineKind::Comment &&
                    line.startsWith(QStringLiteral("; Not converted: "))) {
                    actual.append(QStringLiteral("; Not converted"));
                    continue;
                }
                QCOMPARE(parsed.Kind, InnoLineKind::Entry);
                actual.append(Describe(parsed.Entry));
            }
            if (actual != expected) {
                qWarning("seed %u, export:\n%s", seed, qPrintable(text));
                QCOMPARE(actual, expected);
            }
        }
    }
};

QM_TEST_GUILESS_MAIN(TestRegRoundTrip)
#include "tst_RegRoundTrip.moc"
