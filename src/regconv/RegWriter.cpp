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

using namespace std::string_view_literals;
using namespace qm::innotext;
using namespace qm::regconv;

namespace {

QString KeyRef(const TRegKey& key) {
    return (key.Deleted ? QStringLiteral("[-") : QStringLiteral("[")) % key.Path %
           (key.Unclosed ? QString() : QStringLiteral("]"));
}

QString ValueRef(const TRegValueView& value, const TRegKey& key) {
    const QString name = value.Name.isEmpty() ? QStringLiteral("@") : u'"' % value.Name % u'"';
    return QStringLiteral("value ") % name % QStringLiteral(" of ") % KeyRef(key);
}

QString NotConverted(QStringView what, QStringView why) {
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
QString FaultComment(const TRegValueView& value, const TRegKey& key) {
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
    constexpr QStringView kEnvironment =
        u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    return subkey.size() == kEnvironment.size() &&
           subkey.compare(kEnvironment, Qt::CaseInsensitive) == 0;
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
    FTailRoot.clear();
    const TRegConvOptions& options = FOptions;
    FKeyFlags = options.UninsDeleteKeyIfEmpty ? u" Flags: uninsdeletekeyifempty;"
                : options.UninsDeleteKey      ? u" Flags: uninsdeletekey;"
                                              : u"";
    FValueFlags = options.UninsDeleteValue ? u" Flags: uninsdeletevalue;" : u"";
}

void TAdvancedRegConverter::GenerateISSContent() {
    BeginWrite();
    FOut.clear();
    AppendLine(u"[Registry]");
    for (const TRegKey& key : FRegKeys)
        WriteKey(key);
    FISSContent = ITextSink::SplitText(FOut);
}

void TAdvancedRegConverter::AppendLine(QStringView line) {
    Append(FOut, line);
    EndLine();
}

void TAdvancedRegConverter::WriteKey(const TRegKey& key) {
    WriteKeyHead(key);
    for (const TRegValue& value : key.Values)
        WriteKeyValue(key, View(value));
}

void TAdvancedRegConverter::WriteKeyHead(const TRegKey& key) {
    // Values under a key that is not written, or that is deleted, become comments.
    FKeyWritten = false;
    FValueReason.clear();
    if (key.LinesOnly)
        return;
    if (key.Unclosed) {
        WriteKeyComment(key, QStringLiteral("the registry editor imports no key line without ]"),
                        QStringLiteral("the key line has no ]"));
        return;
    }
    QStringView rootName;
    QStringView subkey;
    QString root = SplitKeyPath(key.Path, rootName, subkey) ? ConvertRootKey(rootName) : QString();
    subkey = TrimBackslashes(subkey);
    QString placed; // the subkey, where the options move it
    if (!root.isEmpty() && (FOptions.Wow64View || FOptions.ClassesAsHka)) {
        placed = subkey.toString();
        PlaceKey(root, placed);
        subkey = placed;
    }
    if (root.isEmpty()) {
        // Inno Setup rejects the whole script for one unknown root (a typing error such as
        // HKEY_CLASSES_ROOTS, or a path without any).
        WriteKeyComment(key, QStringLiteral("the root is not a registry root"),
                        QStringLiteral("the key's root is not a registry root"));
        return;
    }
    if (const QString problem = LineBreakingProblem(subkey, u"the key"); !problem.isEmpty()) {
        WriteKeyComment(key, problem, problem);
        return;
    }
    if (subkey.isEmpty()) {
        if (key.Deleted)
            WriteKeyComment(key, QStringLiteral("Inno Setup cannot delete a root key"), {});
        else
            WriteKeyComment(
                key, QStringLiteral("Inno Setup needs a subkey and cannot write to a root key"),
                QStringLiteral("Inno Setup needs a subkey and cannot write values of a root key"));
        return;
    }
    if (const QString problem = PrivilegesProblem(root, subkey); !problem.isEmpty()) {
        WriteKeyComment(key, problem, problem);
        return;
    }
    if (root != FTailRoot) { // keys in a row mostly share their root
        FKeyTail = LineTail(root);
        FTailRoot = root;
    }
    FKeyPrefix.clear();
    FKeyPrefix.append(u"Root: "sv);
    Append(FKeyPrefix, root);
    FKeyPrefix.append(u"; Subkey: \""sv);
    AppendInnoEscaped(FKeyPrefix, subkey);
    FKeyPrefix.append(u"\";"sv);
    const bool forbidden = CompilerForbidsDeleting(subkey);
    if (key.Deleted) {
        if (forbidden) {
            AppendLine(NotConverted(KeyRef(key), kForbiddenDeletion));
        } else {
            Append(FOut, FKeyPrefix);
            FOut.append(u" Flags: deletekey;"sv);
            Append(FOut, FKeyTail);
            EndLine();
        }
        return; // its values are faults, each written as such
    }
    if (forbidden && FKeyFlags == u" Flags: uninsdeletekey;") {
        AppendLine(InnoComment(QString(QStringLiteral("uninsdeletekey left out for ") %
                                       KeyRef(key) % QStringLiteral(": ") % kForbiddenDeletion)));
        Append(FOut, FKeyPrefix);
    } else {
        Append(FOut, FKeyPrefix);
        Append(FOut, FKeyFlags);
    }
    Append(FOut, FKeyTail);
    EndLine();
    FKeyWritten = true;
}

void TAdvancedRegConverter::WriteKeyComment(const TRegKey& key, const QString& keyReason,
                                            const QString& valueReason) {
    AppendLine(NotConverted(KeyRef(key), keyReason));
    FValueReason = valueReason;
}

void TAdvancedRegConverter::WriteKeyValue(const TRegKey& key, const TRegValueView& value) {
    if (value.Fault != TRegLineFault::None) {
        AppendLine(FaultComment(value, key));
        return;
    }
    if (!FKeyWritten) {
        AppendLine(NotConverted(ValueRef(value, key), FValueReason));
        return;
    }
    if (QString problem = LineBreakingProblem(value.Name, u"the name"); !problem.isEmpty()) {
        AppendLine(NotConverted(ValueRef(value, key), problem));
        return;
    }
    if (value.Deleted) {
        Append(FOut, FKeyPrefix);
        FOut.append(u" ValueType: none; ValueName: "sv);
        AppendValueName(FOut, value.Name);
        FOut.append(u"; Flags: deletevalue;"sv);
        Append(FOut, FKeyTail);
        EndLine();
        return;
    }
    // The data is formatted first: a value Inno Setup cannot express is a comment instead.
    const TValueData formatted = FormatValueData(value);
    if (!formatted.Problem.isEmpty()) {
        AppendLine(NotConverted(ValueRef(value, key), formatted.Problem));
        return;
    }
    Append(FOut, FKeyPrefix);
    FOut.append(u" ValueType: "sv);
    Append(FOut, GetValueTypeName(formatted.Type));
    FOut.append(u"; ValueName: "sv);
    AppendValueName(FOut, value.Name);
    FOut.append(u"; ValueData: "sv);
    FOut.append(FData);
    FOut.push_back(u';');
    Append(FOut, FValueFlags);
    Append(FOut, FKeyTail);
    EndLine();
}

namespace {

// "Software\WOW6432Node" or "WOW6432Node" (`node`) at the start of `subkey`, as a whole key
// name; the rest after it (without its backslash) in `rest`.
bool StartsWithKey(QStringView subkey, QLatin1StringView node, QStringView& rest) {
    if (!subkey.startsWith(node, Qt::CaseInsensitive) ||
        (subkey.size() > node.size() && subkey[node.size()] != u'\\'))
        return false;
    rest = subkey.sliced(std::min(subkey.size(), node.size() + 1));
    return true;
}

} // namespace

void TAdvancedRegConverter::PlaceKey(QString& root, QString& subkey) const {
    QStringView rest;
    if (FOptions.Wow64View) {
        // Not HKCU: its Software key is one both views share, so HKCU32 would write the key
        // outside WOW6432Node, where the export does not have it.
        if (root == u"HKLM" &&
            StartsWithKey(subkey, QLatin1StringView("Software\\WOW6432Node"), rest)) {
            root += QStringLiteral("32");
            subkey = rest.isEmpty() ? QStringLiteral("Software")
                                    : QString(QStringLiteral("Software\\") % rest);
        } else if (root == u"HKCR" &&
                   StartsWithKey(subkey, QLatin1StringView("WOW6432Node"), rest) &&
                   !rest.isEmpty()) {
            root = QStringLiteral("HKCR32");
            subkey = rest.toString();
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

bool IsDefaultUser(QStringView base, QStringView subkey) {
    QStringView rest;
    return base == u"HKU" && StartsWithKey(subkey, QLatin1StringView(".DEFAULT"), rest);
}

} // namespace

QString TAdvancedRegConverter::PrivilegesProblem(const QString& root, QStringView subkey) const {
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

void TAdvancedRegConverter::AppendValueName(TLineBuffer& out, QStringView name) {
    out.push_back(u'"');
    AppendInnoEscaped(out, name);
    out.push_back(u'"');
}

bool TAdvancedRegConverter::SplitKeyPath(QStringView path, QStringView& root, QStringView& subkey) {
    if (path.isEmpty())
        return false;
    const qsizetype slash = path.indexOf(u'\\');
    if (slash < 0) {
        root = path;
        subkey = {};
    } else {
        root = path.first(slash);
        subkey = path.sliced(slash + 1);
    }
    return true;
}

QStringView TAdvancedRegConverter::TrimBackslashes(QStringView text) {
    // Blanks are part of a key's name ("[...\\Sub ]" is the key "Sub ").
    while (text.startsWith(u'\\'))
        text = text.sliced(1);
    while (text.endsWith(u'\\'))
        text.chop(1);
    return text;
}

QString TAdvancedRegConverter::ConvertRootKey(QStringView root) {
    // Literals: the short name is handed out without an allocation, once per key.
    static const struct {
        QLatin1StringView Long;
        QString Short;
    } kRoots[] = {
        {QLatin1StringView("hkey_classes_root"), QStringLiteral("HKCR")},
        {QLatin1StringView("hkey_current_user"), QStringLiteral("HKCU")},
        {QLatin1StringView("hkey_local_machine"), QStringLiteral("HKLM")},
        {QLatin1StringView("hkey_users"), QStringLiteral("HKU")},
        {QLatin1StringView("hkey_current_config"), QStringLiteral("HKCC")},
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

TAdvancedRegConverter::TValueData
TAdvancedRegConverter::FormatValueData(const TRegValueView& value) {
    TLineBuffer& data = FData;
    data.clear();
    using T = TRegDataType;
    if (value.DataType == T::rdString || value.DataType == T::rdUnknown)
        return {T::rdString, AppendQuotedString(data, value.Data)};
    if (value.DataType == T::rdDWord) {
        // Inno Setup reads "$" + hex; bare digits would be decimal or an error.
        QStringView digits = QStringView(value.Data).sliced(6);
        if (digits.contains(u':')) { // "dword:0:1" reads as "dword:01"; seldom written
            FText = digits.toString();
            FText.remove(u':');
            digits = FText;
        }
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
        out.append(u"\"\""sv);
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
            out.append(u"{break}"sv);
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
