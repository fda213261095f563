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

const QStringView kHeaderText = u"Windows Registry Editor";

} // namespace

void TAdvancedRegConverter::ParseRegLines(const QList<QStringView>& lines) {
    FRegKeys.clear();
    FCurrentKeyIndex = -1;
    FCurrentKeyPath.clear();

    bool firstLine = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView s = TrimControl(lines[i]);
        if (s.isEmpty() || IsCommentLine(s))
            continue;
        if (firstLine) {
            firstLine = false;
            // The header says how hex string data is stored, whatever the file's encoding.
            if (EqualsAsciiNoCase(s, QLatin1StringView("regedit4")))
                FUnicodeHexText = false;
            else if (s.contains(kHeaderText))
                FUnicodeHexText = true;
        }
        if (s.contains(kHeaderText))
            continue;

        if (IsKeyLine(s)) {
            QString path;
            bool deleted = false;
            if (ExtractKeyPath(s, path, deleted))
                AddKey(path, deleted);
        } else if (IsValueLine(s) && FCurrentKeyIndex >= 0) {
            QString name;
            QString data;
            TRegDataType type = TRegDataType::rdUnknown;
            bool deleted = false;
            if (!ParseValueLine(s, name, type, data, deleted))
                continue;
            // Long hex data goes on over lines that end in a backslash.
            if (IsHexData(data)) {
                while (data.endsWith(u'\\')) {
                    data.chop(1);
                    if (i + 1 >= lines.size())
                        break;
                    const QStringView next = TrimControl(lines[i + 1]);
                    if (!IsContinuationLine(next))
                        break;
                    data.append(next);
                    ++i;
                }
            }
            AddValue(name, data, type, deleted);
        }
    }
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
    FRegKeys.append(TRegKey{path, {}, deleted});
    FCurrentKeyIndex = static_cast<int>(FRegKeys.size() - 1);
    FCurrentKeyPath = path;
}

bool TAdvancedRegConverter::IsValueLine(QStringView s) {
    if (s.contains(u'='))
        return true;
    return s.size() >= 2 && (s.front() == u'"' || s.front() == u'@');
}

bool TAdvancedRegConverter::ParseValueLine(QStringView line, QString& name, TRegDataType& type,
                                           QString& data, bool& deleted) {
    name.clear();
    data.clear();
    type = TRegDataType::rdUnknown;
    deleted = false;

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
        const qsizetype eq = t.indexOf(u'=');
        if (eq < 0)
            return false;
        name = TrimControl(t.first(eq)).toString();
        rest = t.sliced(eq);
    }

    QStringView raw;
    const qsizetype eq = rest.indexOf(u'=');
    if (eq >= 0)
        raw = TrimControl(rest.sliced(eq + 1));
    else if (!rest.isEmpty())
        return false;

    if (IsDWordData(raw)) {
        type = TRegDataType::rdDWord;
    } else if (IsMultiStringData(raw)) {
        type = TRegDataType::rdMultiString;
    } else if (IsHexData(raw)) {
        if (StartsWithAsciiNoCase(raw, QLatin1StringView("hex(2):")))
            type = TRegDataType::rdExpandString;
        else if (StartsWithAsciiNoCase(raw, QLatin1StringView("hex(b):")))
            type = TRegDataType::rdQWord;
        else
            type = TRegDataType::rdBinary;
    } else {
        type = TRegDataType::rdString;
        deleted = raw == u"-";
        if (raw.size() >= 2 && raw.front() == u'"' && raw.back() == u'"') {
            data = UnescapeRegString(raw.sliced(1, raw.size() - 2));
            return true;
        }
    }
    data = raw.toString();
    return true;
}

void TAdvancedRegConverter::AddValue(const QString& name, const QString& data, TRegDataType type,
                                     bool deleted) {
    if (FCurrentKeyIndex < 0)
        return;
    FRegKeys[FCurrentKeyIndex].Values.append(TRegValue{name, type, data, deleted});
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
           !IsValueLine(trimmed) && !trimmed.contains(kHeaderText);
}
