// The writer: one line per key and one per value, in export order, in Inno Setup 6 syntax.
// Inno Setup needs a subkey and has no ValueType for some registry types; such keys and values
// become comment lines, so the section still compiles and nothing disappears unseen.

#include "innotext/InnoText.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegFileDecoding.h"
#include "regconv/RegHexData.h"
#include "regconv/RegLineText.h"

#include <QStringBuilder>
#include <algorithm>

using namespace qm::innotext;
using namespace qm::regconv;

namespace {

QString KeyRef(const TRegKey& key) {
    return (key.Deleted ? QStringLiteral("[-") : QStringLiteral("[")) % key.Path %
           (key.Unclosed ? QString() : QStringLiteral("]"));
}

QString ValueRef(const TRegValue& value, const TRegKey& key) {
    const QString name = value.Name.isEmpty() ? QStringLiteral("@") : u'"' % value.Name % u'"';
    return QStringLiteral("value ") % name % QStringLiteral(" of ") % KeyRef(key);
}

QString NotConverted(const QString& what, const QString& why) {
    return InnoComment(
        QString(QStringLiteral("Not converted: ") % what % QStringLiteral(": ") % why));
}

QString FaultReason(TRegLineFault fault) {
    using F = TRegLineFault;
    switch (fault) {
    case F::TextAfterQuote:
        return QStringLiteral("the registry editor does not import a string with text after its "
                              "closing quote");
    case F::NotData:
        return QStringLiteral("the registry editor imports only a quoted string, dword:, hex: "
                              "or - as data");
    case F::NulEscape:
        return QStringLiteral("the registry editor does not import a string holding \\0");
    case F::HashLineInData:
        return QStringLiteral("a # line inside its continued data ends it, and the registry "
                              "editor does not import it");
    case F::BackslashNoComma:
        return QStringLiteral("its data goes on over a backslash that follows no comma, which the "
                              "registry editor does not import");
    case F::NotKeyOrValue:
        return QStringLiteral("the registry editor imports only key lines [...] and value lines "
                              "\"name\"=... or @=...");
    case F::NoEquals:
        return QStringLiteral("the registry editor imports no value whose quoted name is not "
                              "followed by =");
    case F::OutsideKey:
        return QStringLiteral("the value comes before any key");
    case F::UnderDeletedKey:
        return QStringLiteral("the registry editor ignores values under a key it deletes");
    case F::None:
        break;
    }
    return {};
}

// The comment for a line the registry editor would not import.
QString FaultComment(const TRegValue& value, const TRegKey& key) {
    if (IsWholeLineFault(value.Fault))
        return NotConverted(FaultReason(value.Fault), value.Data);
    return NotConverted(ValueRef(value, key), FaultReason(value.Fault));
}

bool IsHexDigits(QStringView s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return HexDigitValue(c.unicode()) >= 0; });
}

constexpr char kHexDigits[] = "0123456789abcdef";

// Appends "$" and the hexadecimal digits of a little-endian number, most significant first.
void AppendLittleEndianNumber(TLineBuffer& out, const QByteArray& bytes) {
    out.push_back(u'$');
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out.push_back(static_cast<char16_t>(kHexDigits[b >> 4]));
        out.push_back(static_cast<char16_t>(kHexDigits[b & 15]));
    }
}

// The reason a single string cannot be written, or an empty text.
QString StringProblem(QStringView text) {
    return LineBreakingProblem(text, u"the text");
}

// Appends a string as a quoted ValueData; returns why it cannot be written, if it cannot.
QString AppendQuotedString(TLineBuffer& out, QStringView text) {
    QString problem = StringProblem(text);
    out.push_back(u'"');
    AppendInnoEscaped(out, text);
    out.push_back(u'"');
    return problem;
}

// The one key Inno Setup's compiler refuses to delete, under any root, at install or at
// uninstall (deletekey, uninsdeletekey): removing it would take every system environment
// variable with it. Probed with the real compiler over every key of a large set of exports.
bool CompilerForbidsDeleting(QStringView subkey) {
    return subkey.compare(u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                          Qt::CaseInsensitive) == 0;
}

const QString kForbiddenDeletion =
    QStringLiteral("Inno Setup's compiler refuses to delete this key, which holds the system's "
                   "environment variables");

QStringView ChopTrailingNuls(QStringView text) {
    while (!text.isEmpty() && text.back() == QChar::Null)
        text.chop(1);
    return text;
}

} // namespace

void TAdvancedRegConverter::BeginWrite() {
    FOptions = FOptionsSource ? FOptionsSource() : TRegConvOptions{};
    const TRegConvOptions& options = FOptions;
    FKeyFlags = options.UninsDeleteKeyIfEmpty ? u" Flags: uninsdeletekeyifempty;"
                : options.UninsDeleteKey      ? u" Flags: uninsdeletekey;"
                                              : u"";
    FValueFlags = options.UninsDeleteValue ? u" Flags: uninsdeletevalue;" : u"";
}

void TAdvancedRegConverter::GenerateISSContent() {
    FISSContent.clear();
    BeginWrite();
    qsizetype lineCount = 1;
    for (const TRegKey& key : FRegKeys)
        lineCount += 1 + key.Values.size();
    FISSContent.reserve(lineCount);
    FISSContent.append(QStringLiteral("[Registry]"));
    for (const TRegKey& key : FRegKeys)
        WriteKey(key, FISSContent);
}

void TAdvancedRegConverter::WriteKey(const TRegKey& key, QStringList& out) {
    if (key.LinesOnly) {
        for (const TRegValue& value : key.Values)
            out.append(FaultComment(value, key));
        return;
    }
    if (key.Unclosed) {
        WriteKeyComments(key, QStringLiteral("the registry editor imports no key line without ]"),
                         QStringLiteral("the key line has no ]"), out);
        return;
    }
    QString root;
    QString subkey;
    const bool split = SplitKeyPath(key.Path, root, subkey);
    root = split ? ConvertRootKey(root) : QString();
    subkey = TrimBackslashes(subkey);
    if (!root.isEmpty())
        PlaceKey(root, subkey);
    if (root.isEmpty()) {
        // Inno Setup rejects the whole script for one unknown root (a typing error such as
        // HKEY_CLASSES_ROOTS, or a path without any).
        WriteKeyComments(key, QStringLiteral("the root is not a registry root"),
                         QStringLiteral("the key's root is not a registry root"), out);
        return;
    }
    if (const QString problem = LineBreakingProblem(subkey, u"the key"); !problem.isEmpty()) {
        WriteKeyComments(key, problem, problem, out);
        return;
    }
    if (subkey.isEmpty()) {
        if (key.Deleted)
            WriteKeyComments(key, QStringLiteral("Inno Setup cannot delete a root key"), {}, out);
        else
            WriteKeyComments(
                key, QStringLiteral("Inno Setup needs a subkey and cannot write to a root key"),
                QStringLiteral("Inno Setup needs a subkey and cannot write values of a root key"),
                out);
        return;
    }
    if (const QString problem = PrivilegesProblem(root, subkey); !problem.isEmpty()) {
        WriteKeyComments(key, problem, problem, out);
        return;
    }
    FKeyTail = LineTail(root);
    const QString prefix =
        QStringLiteral("Root: ") % root % QStringLiteral("; Subkey: ") % InnoQuoted(subkey) % u';';
    const bool forbidden = CompilerForbidsDeleting(subkey);
    if (key.Deleted) {
        out.append(forbidden ? NotConverted(KeyRef(key), kForbiddenDeletion)
                             : prefix % QLatin1StringView(" Flags: deletekey;") % FKeyTail);
        for (const TRegValue& value : key.Values)
            out.append(FaultComment(value, key));
        return;
    }
    if (forbidden && FKeyFlags == u" Flags: uninsdeletekey;") {
        out.append(InnoComment(QString(QStringLiteral("uninsdeletekey left out for ") %
                                       KeyRef(key) % QStringLiteral(": ") % kForbiddenDeletion)));
        out.append(prefix % FKeyTail);
    } else {
        out.append(prefix % FKeyFlags % FKeyTail);
    }
    for (const TRegValue& value : key.Values)
        out.append(ValueLine(prefix, key, value, FValueFlags));
}

QString TAdvancedRegConverter::ValueLine(const QString& keyPrefix, const TRegKey& key,
                                         const TRegValue& value, QStringView valueFlags) {
    // Built in reused buffers and copied out at its exact size: no temporaries per value, and
    // no spare capacity kept by a million lines.
    if (value.Fault != TRegLineFault::None)
        return FaultComment(value, key);
    if (QString problem = LineBreakingProblem(value.Name, u"the name"); !problem.isEmpty())
        return NotConverted(ValueRef(value, key), problem);
    FLine.clear();
    Append(FLine, keyPrefix);
    if (value.Deleted) {
        FLine.append(u" ValueType: none; ValueName: ");
        AppendValueName(FLine, value.Name);
        FLine.append(u"; Flags: deletevalue;");
        Append(FLine, FKeyTail);
        return ToQString(FLine);
    }
    const TValueData formatted = FormatValueData(value);
    if (!formatted.Problem.isEmpty())
        return NotConverted(ValueRef(value, key), formatted.Problem);
    FLine.append(u" ValueType: ");
    Append(FLine, GetValueTypeName(formatted.Type));
    FLine.append(u"; ValueName: ");
    AppendValueName(FLine, value.Name);
    FLine.append(u"; ValueData: ");
    FLine.append(FData);
    FLine.push_back(u';');
    Append(FLine, valueFlags);
    Append(FLine, FKeyTail);
    return ToQString(FLine);
}

namespace {

// "Software\WOW6432Node" or "WOW6432Node" (`node`) at the start of `subkey`, as a whole key
// name; the rest after it (without its backslash) in `rest`.
bool StartsWithKey(const QString& subkey, QLatin1StringView node, QString& rest) {
    if (!subkey.startsWith(node, Qt::CaseInsensitive) ||
        (subkey.size() > node.size() && subkey[node.size()] != u'\\'))
        return false;
    rest = subkey.sliced(std::min(subkey.size(), node.size() + 1));
    return true;
}

} // namespace

void TAdvancedRegConverter::PlaceKey(QString& root, QString& subkey) const {
    QString rest;
    if (FOptions.Wow64View) {
        // Not HKCU: its Software key is one both views share, so HKCU32 would write the key
        // outside WOW6432Node, where the export does not have it.
        if (root == u"HKLM" &&
            StartsWithKey(subkey, QLatin1StringView("Software\\WOW6432Node"), rest)) {
            root += QStringLiteral("32");
            subkey = rest.isEmpty() ? QStringLiteral("Software")
                                    : QString(QStringLiteral("Software\\") + rest);
        } else if (root == u"HKCR" &&
                   StartsWithKey(subkey, QLatin1StringView("WOW6432Node"), rest) &&
                   !rest.isEmpty()) {
            root = QStringLiteral("HKCR32");
            subkey = rest;
        }
    }
    if (FOptions.ClassesAsHka && root.startsWith(u"HKCR")) {
        root = QString(QStringLiteral("HKA") + root.sliced(4));
        subkey = subkey.isEmpty() ? QStringLiteral("Software\\Classes")
                                  : QString(QStringLiteral("Software\\Classes\\") + subkey);
    }
}

namespace {

// The root without its view: HKLM32 -> HKLM.
QStringView BaseRoot(const QString& root) {
    QStringView base(root);
    if (base.endsWith(u"32") || base.endsWith(u"64"))
        base.chop(2);
    return base;
}

bool IsDefaultUser(QStringView base, const QString& subkey) {
    QString rest;
    return base == u"HKU" && StartsWithKey(subkey, QLatin1StringView(".DEFAULT"), rest);
}

} // namespace

QString TAdvancedRegConverter::PrivilegesProblem(const QString& root, const QString& subkey) const {
    const QStringView base = BaseRoot(root);
    if (FOptions.Privileges == TRegPrivileges::Admin && base == u"HKCU")
        return QStringLiteral("an administrative install writes the administrator's "
                              "HKEY_CURRENT_USER, not the user's");
    if (FOptions.Privileges == TRegPrivileges::Lowest &&
        (base == u"HKLM" || base == u"HKCC" || IsDefaultUser(base, subkey)))
        return QStringLiteral("an install without administrative rights cannot write this "
                              "per-machine key");
    return {};
}

QString TAdvancedRegConverter::LineTail(const QString& root) const {
    QString tail;
    if (FOptions.Privileges == TRegPrivileges::Dynamic) {
        const QStringView base = BaseRoot(root);
        // HKA is the user's or the machine's as the install runs: it needs no check.
        if (base == u"HKCU")
            tail = QStringLiteral(" Check: not IsAdminInstallMode;");
        else if (base != u"HKA")
            tail = QStringLiteral(" Check: IsAdminInstallMode;");
    }
    if (!FOptions.MinVersion.isEmpty())
        tail += QStringLiteral(" MinVersion: ") % FOptions.MinVersion % u';';
    return tail;
}

void TAdvancedRegConverter::AppendValueName(TLineBuffer& out, const QString& name) {
    out.push_back(u'"');
    AppendInnoEscaped(out, name);
    out.push_back(u'"');
}

void TAdvancedRegConverter::WriteKeyComments(const TRegKey& key, const QString& keyReason,
                                             const QString& valueReason, QStringList& out) {
    out.append(NotConverted(KeyRef(key), keyReason));
    for (const TRegValue& value : key.Values)
        out.append(value.Fault != TRegLineFault::None
                       ? FaultComment(value, key)
                       : NotConverted(ValueRef(value, key), valueReason));
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
    // Blanks are part of a key's name ("[...\\Sub ]" is the key "Sub ").
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
        if (EqualsAsciiNoCase(root, r.Long) || root.compare(r.Short, Qt::CaseInsensitive) == 0)
            return r.Short;
    }
    return {};
}

QStringView TAdvancedRegConverter::GetValueTypeName(TRegDataType type) {
    switch (type) {
    case TRegDataType::rdExpandString:
        return u"expandsz";
    case TRegDataType::rdBinary:
        return u"binary";
    case TRegDataType::rdDWord:
        return u"dword";
    case TRegDataType::rdMultiString:
        return u"multisz";
    case TRegDataType::rdQWord:
        return u"qword";
    case TRegDataType::rdString:
    case TRegDataType::rdUnknown:
        break;
    }
    return u"string";
}

TAdvancedRegConverter::TValueData TAdvancedRegConverter::FormatValueData(const TRegValue& value) {
    TLineBuffer& data = FData;
    data.clear();
    using T = TRegDataType;
    if (value.DataType == T::rdString || value.DataType == T::rdUnknown)
        return {T::rdString, AppendQuotedString(data, value.Data)};
    if (value.DataType == T::rdDWord) {
        // Inno Setup reads "$" + hex; bare digits would be decimal or an error.
        QString digits = value.Data.sliced(6);
        digits.remove(u':');
        const QStringView d = TrimControl(digits);
        if (d.isEmpty())
            return {T::rdDWord, QStringLiteral("the dword data has no digits")};
        if (d.size() > 8 || !IsHexDigits(d))
            return {T::rdDWord, u"the dword data \"" % d % u"\" is not 1 to 8 hexadecimal digits"};
        data.push_back(u'$');
        Append(data, d);
        return {T::rdDWord, {}};
    }

    const std::optional<THexForm> form = ParseHexForm(value.Data);
    if (!form)
        return {T::rdBinary, QStringLiteral("the data is not a registry data form")};
    switch (form->Type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegBinary:
    case kRegDword:
    case kRegMultiSz:
    case kRegQword:
        break;
    case kRegDwordBigEndian:
        return {T::rdBinary, form->Prefix % u" (a big-endian dword) has no Inno Setup value type"};
    default:
        return {T::rdBinary, form->Prefix % u" has no Inno Setup value type"};
    }

    QStringView badItem;
    if (!ParseByteList(form->Bytes, FBytes, badItem))
        return {T::rdBinary, badItem.isEmpty()
                                 ? QStringLiteral("the byte list has an empty item")
                                 : QString(u'"' % badItem % u"\" is not a hexadecimal byte")};

    switch (form->Type) {
    case kRegBinary:
        CompactHex(FBytes, data);
        return {T::rdBinary, {}};
    case kRegDword:
    case kRegQword: {
        const qsizetype size = form->Type == kRegDword ? 4 : 8;
        const T type = form->Type == kRegDword ? T::rdDWord : T::rdQWord;
        if (FBytes.size() != size)
            return {type, form->Prefix % u" data needs " % QString::number(size) % u" bytes, not " %
                              QString::number(FBytes.size())};
        AppendLittleEndianNumber(data, FBytes);
        return {type, {}};
    }
    case kRegMultiSz: {
        if (QString problem = HexToText(FBytes, FText); !problem.isEmpty())
            return {T::rdMultiString, problem};
        return {T::rdMultiString, FormatMultiString(FText, data)};
    }
    default: { // REG_SZ and REG_EXPAND_SZ
        const T type = form->Type == kRegSz ? T::rdString : T::rdExpandString;
        if (QString problem = HexToText(FBytes, FText); !problem.isEmpty())
            return {type, problem};
        return {type, AppendQuotedString(data, ChopTrailingNuls(FText))};
    }
    }
}

void TAdvancedRegConverter::CompactHex(const QByteArray& bytes, TLineBuffer& out) {
    if (bytes.isEmpty()) {
        out.append(u"\"\"");
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(bytes.size()) * 3 + 1);
    char16_t* p = out.data() + start;
    *p++ = u'"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *p++ = static_cast<char16_t>(kHexDigits[b >> 4]);
        *p++ = static_cast<char16_t>(kHexDigits[b & 15]);
        *p++ = u' ';
    }
    p[-1] = u'"';
}

QString TAdvancedRegConverter::FormatMultiString(QStringView text, TLineBuffer& out) {
    out.push_back(u'"');
    bool first = true;
    for (QStringView part : ChopTrailingNuls(text).split(QChar::Null)) {
        if (QString problem = StringProblem(part); !problem.isEmpty())
            return problem;
        if (!first)
            out.append(u"{break}");
        first = false;
        AppendInnoEscaped(out, part);
    }
    out.push_back(u'"');
    return {};
}

QString TAdvancedRegConverter::HexToText(const QByteArray& bytes, QString& text) const {
    if (!FUnicodeHexText) {
        text = DecodeAnsiBytes(bytes, FHexCodePage);
        return {};
    }
    QByteArrayView units(bytes);
    if (units.size() % 2 != 0) {
        if (units.back() != 0)
            return QStringLiteral("UTF-16 text data has an odd number of bytes");
        units.chop(1);
    }
    text.resize(units.size() / 2);
    QChar* p = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        p[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                           static_cast<unsigned char>(units[2 * i + 1]) << 8));
    }
    return {};
}
