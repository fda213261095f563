#include "RegExportWriter.h"

#include <QtEndian>

namespace qm::testing {

namespace {

QString Escaped(const QString& s) {
    QString out = s;
    out.replace(u'\\', QStringLiteral("\\\\"));
    out.replace(u'"', QStringLiteral("\\\""));
    return out;
}

QString NameText(const QString& name) {
    return name.isEmpty() ? QStringLiteral("@") : u'"' + Escaped(name) + u'"';
}

void AppendLines(QString& out, const QStringList& lines) {
    for (const QString& line : lines)
        out += line + QStringLiteral("\r\n");
}

// "prefix" + comma-separated bytes, wrapped as the registry editor wraps them: a line ends in
// ",\" before it passes 80 characters and the next one is indented by two blanks.
void AppendHexData(QString& out, const QString& lead, const QString& prefix, const QByteArray& b,
                   const QStringList& skipped) {
    static constexpr char kDigits[] = "0123456789abcdef";
    QString line = lead + u'=' + prefix;
    bool wrapped = false;
    for (qsizetype i = 0; i < b.size(); ++i) {
        const auto v = static_cast<unsigned char>(b[i]);
        line.append(QLatin1Char(kDigits[v >> 4]));
        line.append(QLatin1Char(kDigits[v & 15]));
        if (i + 1 < b.size()) {
            line.append(u',');
            if (line.size() > 76) {
                out.append(line + QStringLiteral("\\\r\n"));
                if (!wrapped)
                    AppendLines(out, skipped);
                wrapped = true;
                line = QStringLiteral("  ");
            }
        }
    }
    out.append(line + QStringLiteral("\r\n"));
}

QByteArray Utf16Bytes(const QString& text, bool bigEndian) {
    QByteArray bytes(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bigEndian)
            qToBigEndian<quint16>(text[i].unicode(), bytes.data() + 2 * i);
        else
            qToLittleEndian<quint16>(text[i].unicode(), bytes.data() + 2 * i);
    }
    return bytes;
}

// String data as the export stores it, with its terminating NUL.
QByteArray TextBytes(const QString& text, bool regedit4) {
    return regedit4 ? Latin1Bytes(text) + QByteArray(1, '\0')
                    : Utf16Bytes(text, false) + QByteArray(2, '\0');
}

QByteArray MultiBytes(const QStringList& strings, bool regedit4) {
    QByteArray bytes;
    for (const QString& s : strings)
        bytes += TextBytes(s, regedit4);
    bytes += TextBytes(QString(), regedit4);
    return bytes;
}

} // namespace

QString ExportHeader(bool regedit4) {
    return regedit4 ? QStringLiteral("REGEDIT4\r\n\r\n")
                    : QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");
}

QString ExportKeyText(const ExportKey& key, bool regedit4) {
    QString out = (key.Deleted ? QStringLiteral("[-") : QStringLiteral("[")) + key.Path + u']' +
                  key.Tail + QStringLiteral("\r\n");
    for (const ExportValue& v : key.Values) {
        const QString lead = NameText(v.Name);
        const QStringList& skipped = v.SkippedLines;
        const qsizetype before = out.size();
        switch (v.Kind) {
        case ExportKind::String:
            out += lead + QStringLiteral("=\"") + Escaped(v.Text) + QStringLiteral("\"\r\n");
            break;
        case ExportKind::Delete:
            out += lead + QStringLiteral("=-\r\n");
            break;
        case ExportKind::Raw:
            out += lead + u'=' + v.Text + QStringLiteral("\r\n");
            break;
        case ExportKind::DWord:
            out += lead + QStringLiteral("=dword:") +
                   QStringLiteral("%1").arg(v.Number & 0xFFFFFFFFu, 8, 16, QLatin1Char('0')) +
                   QStringLiteral("\r\n");
            break;
        case ExportKind::QWord: {
            QByteArray bytes(8, '\0');
            qToLittleEndian<quint64>(v.Number, bytes.data());
            AppendHexData(out, lead, QStringLiteral("hex(b):"), bytes, skipped);
            break;
        }
        case ExportKind::Binary:
            AppendHexData(out, lead, QStringLiteral("hex:"), v.Bytes, skipped);
            break;
        case ExportKind::ExpandSz:
            AppendHexData(out, lead, QStringLiteral("hex(2):"), TextBytes(v.Text, regedit4),
                          skipped);
            break;
        case ExportKind::HexString:
            AppendHexData(out, lead, QStringLiteral("hex(1):"), TextBytes(v.Text, regedit4),
                          skipped);
            break;
        case ExportKind::MultiSz:
            AppendHexData(out, lead, QStringLiteral("hex(7):"), MultiBytes(v.Strings, regedit4),
                          skipped);
            break;
        }
        // One line of data: the skipped lines follow it.
        if (out.indexOf(u'\n', before) == out.size() - 1)
            AppendLines(out, skipped);
    }
    out += QStringLiteral("\r\n");
    return out;
}

QString ExportText(const QList<ExportKey>& keys, bool regedit4) {
    QString out = ExportHeader(regedit4);
    for (const ExportKey& key : keys)
        out += ExportKeyText(key, regedit4);
    return out;
}

QByteArray Utf16LeWithBom(const QString& text) {
    return "\xFF\xFE" + Utf16Bytes(text, false);
}

QByteArray Utf16BeWithBom(const QString& text) {
    return "\xFE\xFF" + Utf16Bytes(text, true);
}

QByteArray Latin1Bytes(const QString& text) {
    Q_ASSERT(std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; }));
    return text.toLatin1();
}

} // namespace qm::testing
