// The reader: classifies each line of an export by itself and collects keys and values. Value
// data keeps its written form (prefix included) for the writer to interpret; only quoted names
// and quoted strings are unescaped here, and hex data continued over several lines is joined.

#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegLineText.h"

using namespace qm::regconv;

namespace {

bool IsCommentLine(QStringView s) {
    return s.startsWith(u';') || s.startsWith(u"//") || s.startsWith(u'#');
}

// The data without a ";" comment after it, as the registry editor reads number and hex data
// (neither can hold a ";").
QStringView WithoutComment(QStringView data) {
    const qsizetype semicolon = FindChar(data, u';');
    return semicolon < 0 ? data : TrimControl(data.first(semicolon));
}

// Whether the line holds the header text anywhere. Most lines of a large export are hex data
// without a "W", so the search for that letter decides quickly.
bool ContainsHeaderText(QStringView s) {
    static constexpr QStringView kHeaderText = u"Windows Registry Editor";
    for (qsizetype at = FindChar(s, u'W'); at >= 0 && at + kHeaderText.size() <= s.size();
         at = FindChar(s, u'W', at + 1)) {
        if (s.sliced(at, kHeaderText.size()) == kHeaderText)
            return true;
    }
    return false;
}

} // namespace

void TAdvancedRegConverter::BeginParse() {
    FRegKeys.clear();
    FCurrentKeyIndex = -1;
    FCurrentKeyPath.clear();
    FFirstLine = true;
    FContinuing = false;
}

void TAdvancedRegConverter::ParseRegLines(const QList<QStringView>& lines) {
    BeginParse();
    for (const QStringView line : lines)
        ParseLine(line);
    EndParse();
}

void TAdvancedRegConverter::EndParse() {
    if (FContinuing)
        FinishContinuedValue();
}

void TAdvancedRegConverter::ParseLine(QStringView line) {
    const QStringView s = TrimControl(line);
    if (FContinuing) {
        // Long hex data goes on over lines while a line ends in a backslash.
        if (IsContinuationLine(s)) {
            QStringView piece = WithoutComment(s);
            const bool more = piece.endsWith(u'\\');
            if (more)
                piece.chop(1);
            FContinued.Data.append(piece);
            if (!more)
                FinishContinuedValue();
            return;
        }
        FinishContinuedValue();
    }
    if (s.isEmpty() || IsCommentLine(s))
        return;
    const bool header = ContainsHeaderText(s);
    if (FFirstLine) {
        FFirstLine = false;
        // The header says how hex string data is stored, whatever the file's encoding.
        if (EqualsAsciiNoCase(s, QLatin1StringView("regedit4")))
            FUnicodeHexText = false;
        else if (header)
            FUnicodeHexText = true;
    }
    if (header)
        return;

    if (IsKeyLine(s)) {
        QString path;
        bool deleted = false;
        if (ExtractKeyPath(s, path, deleted))
            AddKey(path, deleted);
    } else if (IsValueLine(s) && FCurrentKeyIndex >= 0) {
        QString name;
        QStringView data;
        TRegDataType type = TRegDataType::rdUnknown;
        bool quoted = false;
        bool deleted = false;
        TRegLineFault fault = TRegLineFault::None;
        if (!ParseValueLine(s, name, type, data, quoted, deleted, fault))
            return;
        if (IsHexData(data) && data.endsWith(u'\\')) {
            FContinued =
                TRegValue{std::move(name), type, data.chopped(1).toString(), deleted, fault};
            FContinuing = true;
            return;
        }
        AddValue(std::move(name), quoted ? UnescapeRegString(data) : data.toString(), type, deleted,
                 fault);
    }
}

void TAdvancedRegConverter::FinishContinuedValue() {
    FContinuing = false;
    AddValue(std::move(FContinued.Name), std::move(FContinued.Data), FContinued.DataType,
             FContinued.Deleted, FContinued.Fault);
}

bool TAdvancedRegConverter::IsKeyLine(QStringView s) {
    return s.size() >= 2 && s.front() == u'[' && s.back() == u']';
}

bool TAdvancedRegConverter::ExtractKeyPath(QStringView s, QString& path, bool& deleted) {
    QStringView inner = s.sliced(1, s.size() - 2);
    deleted = inner.startsWith(u'-');
    if (deleted)
        inner = inner.sliced(1);
    path = inner.toString();
    return true;
}

void TAdvancedRegConverter::AddKey(const QString& path, bool deleted) {
    // A key is complete once the next begins: streamed, its lines go now.
    if (FStreamSink)
        WriteStreamedKeys();
    FRegKeys.append(TRegKey{path, {}, deleted});
    FCurrentKeyIndex = static_cast<int>(FRegKeys.size() - 1);
    FCurrentKeyPath = path;
}

bool TAdvancedRegConverter::IsValueLine(QStringView s) {
    if (FindChar(s, u'=') >= 0)
        return true;
    return s.size() >= 2 && (s.front() == u'"' || s.front() == u'@');
}

bool TAdvancedRegConverter::ParseValueLine(QStringView line, QString& name, TRegDataType& type,
                                           QStringView& data, bool& quoted, bool& deleted,
                                           TRegLineFault& fault) {
    name.clear();
    data = {};
    type = TRegDataType::rdUnknown;
    quoted = false;
    deleted = false;
    fault = TRegLineFault::None;

    QStringView t = TrimControl(line);
    if (t.isEmpty())
        return false;
    if (t.front() == u'-')
        t = TrimControl(t.sliced(1));
    if (t.isEmpty())
        return false;

    QStringView rest;
    if (t.front() == u'@') {
        name = QStringLiteral("@");
        rest = TrimControl(t.sliced(1));
    } else if (t.front() == u'"') {
        const qsizetype close = FindClosingQuote(t, 0);
        if (close < 0)
            return false;
        name = UnescapeRegString(t.sliced(1, close - 1));
        rest = t.sliced(close + 1);
    } else {
        const qsizetype eq = FindChar(t, u'=');
        if (eq < 0)
            return false;
        name = TrimControl(t.first(eq)).toString();
        rest = t.sliced(eq);
    }

    const qsizetype eq = FindChar(rest, u'=');
    if (eq >= 0)
        data = TrimControl(rest.sliced(eq + 1));
    else if (!rest.isEmpty())
        return false;

    // A ";" comment may follow complete data; any other text after a string's closing quote
    // keeps the registry editor from importing the line.
    if (IsDWordData(data)) {
        type = TRegDataType::rdDWord;
        data = WithoutComment(data);
    } else if (IsMultiStringData(data)) {
        type = TRegDataType::rdMultiString;
        data = WithoutComment(data);
    } else if (IsHexData(data)) {
        if (StartsWithAsciiNoCase(data, QLatin1StringView("hex(2):")))
            type = TRegDataType::rdExpandString;
        else if (StartsWithAsciiNoCase(data, QLatin1StringView("hex(b):")))
            type = TRegDataType::rdQWord;
        else
            type = TRegDataType::rdBinary;
        data = WithoutComment(data);
    } else {
        type = TRegDataType::rdString;
        const qsizetype close = data.startsWith(u'"') ? FindClosingQuote(data, 0) : -1;
        if (close > 0) {
            const QStringView after = TrimControl(data.sliced(close + 1));
            if (after.isEmpty() || after.startsWith(u';')) {
                data = data.sliced(1, close - 1);
                quoted = true;
            } else {
                fault = TRegLineFault::TextAfterQuote;
            }
        } else if (WithoutComment(data) == u"-") {
            deleted = true;
            data = data.first(1);
        }
    }
    return true;
}

void TAdvancedRegConverter::AddValue(QString name, QString data, TRegDataType type, bool deleted,
                                     TRegLineFault fault) {
    if (FCurrentKeyIndex < 0)
        return;
    FRegKeys[FCurrentKeyIndex].Values.append(
        TRegValue{std::move(name), type, std::move(data), deleted, fault});
}

bool TAdvancedRegConverter::IsDWordData(QStringView data) {
    return StartsWithAsciiNoCase(data, QLatin1StringView("dword:"));
}

bool TAdvancedRegConverter::IsMultiStringData(QStringView data) {
    return StartsWithAsciiNoCase(data, QLatin1StringView("hex(7):"));
}

bool TAdvancedRegConverter::IsHexData(QStringView data) {
    return StartsWithAsciiNoCase(data, QLatin1StringView("hex"));
}

bool TAdvancedRegConverter::IsContinuationLine(QStringView trimmed) {
    return !trimmed.isEmpty() && !IsCommentLine(trimmed) && !IsKeyLine(trimmed) &&
           !IsValueLine(trimmed) && !ContainsHeaderText(trimmed);
}
