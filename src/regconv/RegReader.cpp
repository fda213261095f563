// The reader: classifies each line of an export as the registry editor does on import and
// collects keys and values. Value data keeps its written form (prefix included) for the writer
// to interpret; only quoted names and quoted strings are unescaped here, and hex data continued
// over several lines is joined. A line the registry editor would not import is kept with the
// reason (TRegLineFault), for the writer to show as a comment.

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

// An export's first line; also found inside exports joined into one file.
bool IsHeaderLine(QStringView s) {
    return s.startsWith(u"Windows Registry Editor") ||
           EqualsAsciiNoCase(s, QLatin1StringView("regedit4"));
}

} // namespace

void TAdvancedRegConverter::BeginParse() {
    FRegKeys.clear();
    FCurrentKeyIndex = -1;
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
        ContinueValue(s);
        return;
    }
    if (s.isEmpty())
        return;
    // Key and value lines, nearly all of an export, are told by their first character.
    const char16_t first = s.front().unicode();
    const bool keyOrValue = first == u'[' || first == u'"' || first == u'@';
    if (!keyOrValue && IsCommentLine(s))
        return;
    if (!keyOrValue && IsHeaderLine(s)) {
        // The first header says how hex string data is stored, whatever the file's encoding;
        // a later one starts an export joined to this one.
        if (FFirstLine)
            FUnicodeHexText = !EqualsAsciiNoCase(s, QLatin1StringView("regedit4"));
        FFirstLine = false;
        return;
    }
    FFirstLine = false;
    if (s.front() == u'[') {
        const qsizetype close = s.lastIndexOf(u']'); // text after the last "]" is ignored
        QStringView inner = close < 0 ? s.sliced(1) : s.sliced(1, close - 1);
        const bool deleted = inner.startsWith(u'-');
        if (deleted)
            inner = inner.sliced(1);
        TRegKey key{inner.toString(), {}, deleted};
        key.Unclosed = close < 0;
        AddKey(std::move(key));
    } else if (s.front() != u'"' && s.front() != u'@') {
        AddLineFault(s, TRegLineFault::NotKeyOrValue);
    } else if (FCurrentKeyIndex < 0 || FRegKeys[FCurrentKeyIndex].LinesOnly) {
        AddLineFault(s, TRegLineFault::OutsideKey);
    } else if (FRegKeys[FCurrentKeyIndex].Deleted) {
        AddLineFault(s, TRegLineFault::UnderDeletedKey);
    } else {
        ReadValueLine(s);
    }
}

void TAdvancedRegConverter::ContinueValue(QStringView s) {
    // Blank and ";" lines inside continued data are skipped; a "#" line ends it, unimported;
    // any other line is data, even one that looks like a key or a value.
    if (s.isEmpty() || s.startsWith(u';'))
        return;
    if (s.startsWith(u'#')) {
        FContinued.Fault = TRegLineFault::HashLineInData;
        FinishContinuedValue();
        return;
    }
    QStringView piece = WithoutComment(s);
    const bool more = EndsInContinuation(piece, FContinued.Fault);
    FContinued.Data.append(piece);
    if (!more)
        FinishContinuedValue();
}

bool TAdvancedRegConverter::EndsInContinuation(QStringView& data, TRegLineFault& fault) {
    if (!data.endsWith(u'\\'))
        return false;
    data.chop(1);
    // Only a complete item goes on: the backslash follows a comma (or the "hex...:" prefix).
    const QStringView before = TrimControl(data);
    if (before.endsWith(u',') || before.endsWith(u':'))
        return true;
    fault = TRegLineFault::BackslashNoComma;
    return false;
}

void TAdvancedRegConverter::ReadValueLine(QStringView s) {
    QStringView name; // empty: the default value
    QStringView rest;
    if (s.front() == u'@') {
        rest = TrimControl(s.sliced(1));
    } else {
        bool escaped = false;
        const qsizetype close = FindClosingQuote(s, 0, escaped);
        if (close > 0) {
            name = s.sliced(1, close - 1);
            if (escaped)
                name = UnescapeRegString(name, FNameBuffer);
            rest = TrimControl(s.sliced(close + 1));
        }
    }
    if (!rest.startsWith(u'=')) {
        AddLineFault(s, TRegLineFault::NoEquals);
        return;
    }
    QStringView data = TrimControl(rest.sliced(1));

    // A ";" comment may follow complete data; any other text after it keeps the registry
    // editor from importing the line.
    TRegDataType type = TRegDataType::rdString;
    TRegLineFault fault = TRegLineFault::None;
    if (IsHexData(data) || IsDWordData(data)) {
        type = IsDWordData(data)         ? TRegDataType::rdDWord
               : IsMultiStringData(data) ? TRegDataType::rdMultiString
               : StartsWithAsciiNoCase(data, QLatin1StringView("hex(2):"))
                   ? TRegDataType::rdExpandString
               : StartsWithAsciiNoCase(data, QLatin1StringView("hex(b):")) ? TRegDataType::rdQWord
                                                                           : TRegDataType::rdBinary;
        data = WithoutComment(data);
        if (type != TRegDataType::rdDWord && EndsInContinuation(data, fault)) {
            // The buffers keep their room from one continued value to the next.
            FContinued.Name.resize(0);
            FContinued.Name.append(name);
            FContinued.Data.resize(0);
            FContinued.Data.append(data);
            FContinued.DataType = type;
            FContinued.Fault = fault;
            FContinuing = true;
            return;
        }
        AddValue(name, data, type, false, fault);
        return;
    }
    if (data.startsWith(u'"')) {
        bool escaped = false;
        const qsizetype close = FindClosingQuote(data, 0, escaped);
        const QStringView after = close > 0 ? TrimControl(data.sliced(close + 1)) : QStringView();
        const QStringView inside = close > 0 ? data.sliced(1, close - 1) : QStringView();
        if (close < 0)
            fault = TRegLineFault::NotData;
        else if (!after.isEmpty() && !after.startsWith(u';'))
            fault = TRegLineFault::TextAfterQuote;
        else if (escaped && HasNulEscape(inside))
            fault = TRegLineFault::NulEscape;
        // A line that is not imported keeps its data as written.
        AddValue(name,
                 fault != TRegLineFault::None ? data
                 : escaped                    ? UnescapeRegString(inside, FDataBuffer)
                                              : inside,
                 type, false, fault);
        return;
    }
    const bool deleted = WithoutComment(data) == u"-";
    AddValue(name, deleted ? QStringView(u"-") : data, type, deleted,
             deleted ? TRegLineFault::None : TRegLineFault::NotData);
}

void TAdvancedRegConverter::FinishContinuedValue() {
    FContinuing = false;
    AddValue(FContinued.Name, FContinued.Data, FContinued.DataType, false, FContinued.Fault);
}

void TAdvancedRegConverter::AddKey(TRegKey key) {
    if (FStreaming) // the keys before it are written
        FRegKeys.clear();
    FRegKeys.append(std::move(key));
    FCurrentKeyIndex = static_cast<int>(FRegKeys.size() - 1);
    FNewKey = true;
}

void TAdvancedRegConverter::AddLineFault(QStringView line, TRegLineFault fault) {
    if (FCurrentKeyIndex < 0) {
        TRegKey lines;
        lines.LinesOnly = true;
        AddKey(std::move(lines));
    }
    AddValue({}, line, TRegDataType::rdString, false, fault);
}

void TAdvancedRegConverter::AddValue(QStringView name, QStringView data, TRegDataType type,
                                     bool deleted, TRegLineFault fault) {
    if (!FStreaming) {
        FRegKeys[FCurrentKeyIndex].Values.append(
            TRegValue{name.toString(), type, data.toString(), deleted, fault});
        return;
    }
    FValue = TRegValueView{name, type, data, deleted, fault};
    FNewValue = true;
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
