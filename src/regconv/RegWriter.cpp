// The writer: one line per key and one per value, in export order, in Inno Setup 6 syntax.
// Inno Setup needs a subkey and has no ValueType for some registry types; such keys and values
// become comment lines, so the section still compiles and nothing disappears unseen.

#include "regconv/AdvancedRegConverter.h"
#include "regconv/InnoText.h"
#include "regconv/RegConvertError.h"
#include "regconv/RegFileDecoding.h"
#include "regconv/RegHexData.h"
#include "regconv/RegLineText.h"

#include <QStringBuilder>

using namespace qm::regconv;

struct TAdvancedRegConverter::TValueText {
    TRegDataType Type = TRegDataType::rdString;
    QString Data;    // ValueData as written, quotes included where Inno Setup needs them
    QString Problem; // non-empty: the value cannot be written, and this says why
};

namespace {

QString KeyRef(const TRegKey& key) {
    return (key.Deleted ? QStringLiteral("[-") : QStringLiteral("[")) % key.Path % u']';
}

QString ValueRef(const TRegValue& value, const TRegKey& key) {
    const QString name = value.Name == u"@" ? QStringLiteral("@") : u'"' % value.Name % u'"';
    return QStringLiteral("value ") % name % QStringLiteral(" of ") % KeyRef(key);
}

QString NotConverted(const QString& what, const QString& why) {
    return InnoComment(QString(QStringLiteral("Not converted: ") % what % QStringLiteral(": ") %
                               why));
}

bool IsHexDigits(QStringView s) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return true;
}

// "$" and the hexadecimal digits of a little-endian number, most significant first.
QString LittleEndianNumber(const QByteArray& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    QString out(1 + bytes.size() * 2, Qt::Uninitialized);
    QChar* p = out.data();
    *p++ = u'$';
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        *p++ = QLatin1Char(kDigits[b >> 4]);
        *p++ = QLatin1Char(kDigits[b & 15]);
    }
    return out;
}

// The reason a single string cannot be written, or an empty text.
QString StringProblem(QStringView text) {
    if (text.contains(QChar::Null))
        return QStringLiteral("the text holds a NUL character, which Inno Setup cannot write");
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("the text holds a line break, which Inno Setup cannot write");
    return {};
}

QStringView ChopTrailingNuls(QStringView text) {
    while (!text.isEmpty() && text.back() == QChar::Null)
        text.chop(1);
    return text;
}

} // namespace

void TAdvancedRegConverter::GenerateISSContent() {
    FISSContent.clear();
    const TRegConvOptions options = FOptionsSource ? FOptionsSource() : TRegConvOptions{};
    const QLatin1StringView keyFlags = options.UninsDeleteKeyIfEmpty
                                           ? QLatin1StringView(" Flags: uninsdeletekeyifempty;")
                                       : options.UninsDeleteKey
                                           ? QLatin1StringView(" Flags: uninsdeletekey;")
                                           : QLatin1StringView();
    const QLatin1StringView valueFlags =
        options.UninsDeleteValue ? QLatin1StringView(" Flags: uninsdeletevalue;")
                                 : QLatin1StringView();

    qsizetype lineCount = 1;
    for (const TRegKey& key : FRegKeys)
        lineCount += 1 + key.Values.size();
    FISSContent.reserve(lineCount);
    FISSContent.append(QStringLiteral("[Registry]"));

    for (const TRegKey& key : FRegKeys) {
        QString root;
        QString subkey;
        if (!SplitKeyPath(key.Path, root, subkey))
            continue;
        root = ConvertRootKey(root);
        subkey = TrimBackslashes(subkey);
        if (subkey.isEmpty()) {
            WriteRootKeyComments(key);
            continue;
        }
        const QString prefix =
            QStringLiteral("Root: ") % root % QStringLiteral("; Subkey: ") % InnoQuoted(subkey) %
            u';';
        if (key.Deleted) {
            // The export's editor ignores values listed under a key it deletes.
            FISSContent.append(prefix % QLatin1StringView(" Flags: deletekey;"));
            continue;
        }
        FISSContent.append(prefix % keyFlags);
        for (const TRegValue& value : key.Values)
            FISSContent.append(ValueLine(prefix, key, value, valueFlags));
    }
}

QString TAdvancedRegConverter::ValueLine(const QString& keyPrefix, const TRegKey& key,
                                         const TRegValue& value,
                                         QLatin1StringView valueFlags) const {
    const QString name = value.Name == u"@" ? QStringLiteral("\"\"") : InnoQuoted(value.Name);
    if (value.Deleted) {
        return keyPrefix % QLatin1StringView(" ValueType: none; ValueName: ") % name %
               QLatin1StringView("; Flags: deletevalue;");
    }
    const TValueText text = FormatValueData(value, key);
    if (!text.Problem.isEmpty())
        return NotConverted(ValueRef(value, key), text.Problem);
    return keyPrefix % QLatin1StringView(" ValueType: ") % GetValueTypeName(text.Type) %
           QLatin1StringView("; ValueName: ") % name % QLatin1StringView("; ValueData: ") %
           text.Data % u';' % valueFlags;
}

void TAdvancedRegConverter::WriteRootKeyComments(const TRegKey& key) {
    if (key.Deleted) {
        FISSContent.append(NotConverted(KeyRef(key), QStringLiteral(
                                                         "Inno Setup cannot delete a root key")));
        return;
    }
    FISSContent.append(NotConverted(
        KeyRef(key), QStringLiteral("Inno Setup needs a subkey and cannot write to a root key")));
    for (const TRegValue& value : key.Values) {
        FISSContent.append(NotConverted(
            ValueRef(value, key),
            QStringLiteral("Inno Setup needs a subkey and cannot write values of a root key")));
    }
}

bool TAdvancedRegConverter::SplitKeyPath(const QString& path, QString& root, QString& subkey) {
    if (path.isEmpty())
        return false;
    const qsizetype slash = path.indexOf(u'\\');
    if (slash < 0) {
        root = path;
        subkey.clear();
    } else {
        root = path.first(slash);
        subkey = path.sliced(slash + 1);
    }
    return true;
}

QString TAdvancedRegConverter::TrimBackslashes(QStringView text) {
    text = TrimControl(text);
    while (text.startsWith(u'\\'))
        text = text.sliced(1);
    while (text.endsWith(u'\\'))
        text.chop(1);
    return text.toString();
}

QString TAdvancedRegConverter::ConvertRootKey(const QString& root) {
    static const struct {
        QLatin1StringView Long;
        QLatin1StringView Short;
    } kRoots[] = {
        {QLatin1StringView("hkey_classes_root"), QLatin1StringView("HKCR")},
        {QLatin1StringView("hkey_current_user"), QLatin1StringView("HKCU")},
        {QLatin1StringView("hkey_local_machine"), QLatin1StringView("HKLM")},
        {QLatin1StringView("hkey_users"), QLatin1StringView("HKU")},
        {QLatin1StringView("hkey_current_config"), QLatin1StringView("HKCC")},
    };
    for (const auto& r : kRoots) {
        if (EqualsAsciiNoCase(root, r.Long))
            return r.Short;
    }
    return root;
}

QLatin1StringView TAdvancedRegConverter::GetValueTypeName(TRegDataType type) {
    switch (type) {
    case TRegDataType::rdExpandString:
        return QLatin1StringView("expandsz");
    case TRegDataType::rdBinary:
        return QLatin1StringView("binary");
    case TRegDataType::rdDWord:
        return QLatin1StringView("dword");
    case TRegDataType::rdMultiString:
        return QLatin1StringView("multisz");
    case TRegDataType::rdQWord:
        return QLatin1StringView("qword");
    case TRegDataType::rdString:
    case TRegDataType::rdUnknown:
        break;
    }
    return QLatin1StringView("string");
}

TAdvancedRegConverter::TValueText
TAdvancedRegConverter::FormatValueData(const TRegValue& value, const TRegKey& key) const {
    TValueText out;
    if (value.DataType == TRegDataType::rdString || value.DataType == TRegDataType::rdUnknown) {
        out.Problem = StringProblem(value.Data);
        out.Data = InnoQuoted(value.Data);
        return out;
    }
    if (value.DataType == TRegDataType::rdDWord) {
        // Inno Setup reads "$" + hex; bare digits would be decimal or an error.
        QString digits = value.Data.sliced(6);
        digits.remove(u':');
        const QStringView d = TrimControl(digits);
        out.Type = TRegDataType::rdDWord;
        if (d.isEmpty())
            out.Problem = QStringLiteral("the dword data has no digits");
        else if (d.size() > 8 || !IsHexDigits(d))
            out.Problem = u"the dword data \"" % d % u"\" is not 1 to 8 hexadecimal digits";
        else
            out.Data = u'$' % d;
        return out;
    }

    const std::optional<THexForm> form = ParseHexForm(value.Data);
    if (!form) {
        out.Problem = QStringLiteral("the data is not a registry data form");
        return out;
    }
    const QString written = form->Prefix.toString();
    switch (form->Type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegBinary:
    case kRegDword:
    case kRegMultiSz:
    case kRegQword:
        break;
    case kRegDwordBigEndian:
        out.Problem = written % u" (a big-endian dword) has no Inno Setup value type";
        return out;
    default:
        out.Problem = written % u" has no Inno Setup value type";
        return out;
    }

    QByteArray bytes;
    QStringView badItem;
    if (!ParseByteList(form->Bytes, bytes, badItem)) {
        throw ERegConvertError(u'"' % badItem % u"\" is not a hexadecimal byte (" %
                               ValueRef(value, key) % u')');
    }

    switch (form->Type) {
    case kRegBinary:
        out.Type = TRegDataType::rdBinary;
        out.Data = CompactHex(bytes);
        break;
    case kRegDword:
    case kRegQword: {
        const qsizetype size = form->Type == kRegDword ? 4 : 8;
        out.Type = form->Type == kRegDword ? TRegDataType::rdDWord : TRegDataType::rdQWord;
        if (bytes.size() != size)
            out.Problem = written % u" data needs " % QString::number(size) % u" bytes, not " %
                          QString::number(bytes.size());
        else
            out.Data = LittleEndianNumber(bytes);
        break;
    }
    case kRegMultiSz: {
        out.Type = TRegDataType::rdMultiString;
        const QString text = HexToText(bytes, out.Problem);
        if (out.Problem.isEmpty())
            out.Data = FormatMultiString(text, out.Problem);
        break;
    }
    default: { // REG_SZ and REG_EXPAND_SZ
        out.Type = form->Type == kRegSz ? TRegDataType::rdString : TRegDataType::rdExpandString;
        const QString text = HexToText(bytes, out.Problem);
        if (out.Problem.isEmpty()) {
            const QStringView s = ChopTrailingNuls(text);
            out.Problem = StringProblem(s);
            out.Data = InnoQuoted(s);
        }
        break;
    }
    }
    return out;
}

QString TAdvancedRegConverter::CompactHex(const QByteArray& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    if (bytes.isEmpty())
        return QStringLiteral("\"\"");
    QString out(bytes.size() * 3 + 1, Qt::Uninitialized);
    QChar* p = out.data();
    *p++ = u'"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *p++ = QLatin1Char(kDigits[b >> 4]);
        *p++ = QLatin1Char(kDigits[b & 15]);
        *p++ = u' ';
    }
    p[-1] = u'"';
    return out;
}

QString TAdvancedRegConverter::FormatMultiString(QStringView text, QString& problem) {
    QString out;
    out.reserve(text.size() + 16);
    out.append(u'"');
    bool first = true;
    for (QStringView part : ChopTrailingNuls(text).split(QChar::Null)) {
        problem = StringProblem(part);
        if (!problem.isEmpty())
            return {};
        if (!first)
            out.append(QLatin1StringView("{break}"));
        first = false;
        AppendInnoEscaped(out, part);
    }
    out.append(u'"');
    return out;
}

QString TAdvancedRegConverter::HexToText(const QByteArray& bytes, QString& problem) const {
    if (!FUnicodeHexText)
        return DecodeAnsiBytes(bytes, FHexCodePage);
    QByteArrayView units(bytes);
    if (units.size() % 2 != 0) {
        if (units.back() != 0) {
            problem = QStringLiteral("UTF-16 text data has an odd number of bytes");
            return {};
        }
        units.chop(1);
    }
    QString text(units.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                              static_cast<unsigned char>(units[2 * i + 1]) << 8));
    }
    return text;
}
