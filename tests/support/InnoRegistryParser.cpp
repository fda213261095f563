#include "InnoRegistryParser.h"

#include <QSet>

namespace qm::testing {

namespace {

const QSet<QString> kRoots = {QStringLiteral("HKCR"), QStringLiteral("HKCU"),
                              QStringLiteral("HKLM"), QStringLiteral("HKU"),
                              QStringLiteral("HKCC"), QStringLiteral("HKA")};
const QSet<QString> kTypes = {QStringLiteral("none"),     QStringLiteral("string"),
                              QStringLiteral("expandsz"), QStringLiteral("multisz"),
                              QStringLiteral("dword"),    QStringLiteral("qword"),
                              QStringLiteral("binary")};
const QSet<QString> kFlags = {QStringLiteral("createvalueifdoesntexist"),
                              QStringLiteral("deletekey"),
                              QStringLiteral("deletevalue"),
                              QStringLiteral("dontcreatekey"),
                              QStringLiteral("noerror"),
                              QStringLiteral("preservestringtype"),
                              QStringLiteral("uninsclearvalue"),
                              QStringLiteral("uninsdeletekey"),
                              QStringLiteral("uninsdeletekeyifempty"),
                              QStringLiteral("uninsdeletevalue")};
const QSet<QString> kParams = {QStringLiteral("Root"),      QStringLiteral("Subkey"),
                               QStringLiteral("ValueType"), QStringLiteral("ValueName"),
                               QStringLiteral("ValueData"), QStringLiteral("Flags")};

struct Param {
    QString Name;
    QString Value;
    bool Quoted = false;
};

// Splits "Name: Value; Name: "quoted ""value"""; ..." as the compiler does.
bool SplitParams(const QString& line, QList<Param>& params, QString& error) {
    qsizetype i = 0;
    const qsizetype n = line.size();
    auto skipBlanks = [&] {
        while (i < n && line[i].isSpace())
            ++i;
    };
    while (true) {
        skipBlanks();
        if (i >= n)
            return true;
        const qsizetype colon = line.indexOf(u':', i);
        const qsizetype semi = line.indexOf(u';', i);
        if (colon < 0 || (semi >= 0 && semi < colon)) {
            error = QStringLiteral("parameter name missing or without a colon at %1").arg(i);
            return false;
        }
        Param p;
        p.Name = line.sliced(i, colon - i).trimmed();
        if (p.Name.isEmpty()) {
            error = QStringLiteral("empty parameter name");
            return false;
        }
        i = colon + 1;
        skipBlanks();
        if (i < n && line[i] == u'"') {
            p.Quoted = true;
            ++i;
            while (true) {
                if (i >= n) {
                    error = QStringLiteral("unterminated quoted value of %1").arg(p.Name);
                    return false;
                }
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        p.Value.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                p.Value.append(line[i++]);
            }
            skipBlanks();
            if (i < n && line[i] != u';') {
                error = QStringLiteral("text after the quoted value of %1").arg(p.Name);
                return false;
            }
        } else {
            const qsizetype end = semi < 0 ? n : semi;
            p.Value = line.sliced(i, end - i).trimmed();
            if (p.Value.contains(u'"')) {
                error = QStringLiteral("stray quote in %1").arg(p.Name);
                return false;
            }
            i = end;
        }
        params.append(p);
        if (i < n)
            ++i; // the ';'
    }
}

// Expands the constants a converter may write: "{{" and, in multisz data, "{break}".
bool ExpandConstants(const QString& in, bool allowBreak, QString& out, QStringList* parts,
                     QString& error) {
    out.clear();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != u'{') {
            out.append(in[i]);
            continue;
        }
        if (i + 1 < in.size() && in[i + 1] == u'{') {
            out.append(u'{');
            ++i;
            continue;
        }
        const qsizetype close = in.indexOf(u'}', i);
        if (close < 0) {
            error = QStringLiteral("unclosed constant in \"%1\"").arg(in);
            return false;
        }
        const QString name = in.sliced(i + 1, close - i - 1);
        if (name == u"break" && allowBreak) {
            parts->append(out);
            out.clear();
            i = close;
            continue;
        }
        error = QStringLiteral("unexpected constant {%1}").arg(name);
        return false;
    }
    if (parts)
        parts->append(out);
    return true;
}

bool ParseNumber(const QString& text, int bits, quint64& number) {
    bool ok = false;
    if (text.startsWith(u'$')) {
        const QString digits = text.sliced(1);
        if (digits.isEmpty() || digits.size() > bits / 4)
            return false;
        number = digits.toULongLong(&ok, 16);
    } else {
        for (QChar c : text)
            if (!c.isDigit())
                return false;
        number = text.toULongLong(&ok, 10);
        if (ok && bits == 32 && number > 0xFFFFFFFFull)
            return false;
    }
    return ok;
}

bool ParseBinary(const QString& text, QByteArray& bytes) {
    const QStringList items = text.split(u' ', Qt::SkipEmptyParts);
    for (const QString& item : items) {
        bool ok = false;
        const uint v = item.toUInt(&ok, 16);
        if (item.size() != 2 || !ok)
            return false;
        bytes.append(static_cast<char>(v));
    }
    return true;
}

} // namespace

InnoLine ParseInnoRegistryLine(const QString& line) {
    InnoLine result;
    const QString trimmed = line.trimmed();
    if (line.endsWith(u'\\')) {
        result.Error =
            QStringLiteral("the line ends in a backslash and would be joined to the next");
    }
    if (trimmed.isEmpty())
        return result;
    if (trimmed.startsWith(u';')) {
        result.Kind = InnoLineKind::Comment;
        return result;
    }
    if (trimmed.startsWith(u'[')) {
        result.Kind = InnoLineKind::Section;
        if (trimmed != u"[Registry]")
            result.Error = QStringLiteral("unexpected section header");
        return result;
    }
    result.Kind = InnoLineKind::Entry;
    if (!result.Error.isEmpty())
        return result;

    QList<Param> params;
    if (!SplitParams(line, params, result.Error))
        return result;
    InnoRegEntry& e = result.Entry;
    QSet<QString> seen;
    QString rawData;
    bool dataSeen = false;
    for (const Param& p : params) {
        if (!kParams.contains(p.Name)) {
            result.Error = QStringLiteral("unknown parameter %1").arg(p.Name);
            return result;
        }
        if (seen.contains(p.Name)) {
            result.Error = QStringLiteral("parameter %1 given twice").arg(p.Name);
            return result;
        }
        seen.insert(p.Name);
        if (p.Name == u"Root") {
            e.Root = p.Value;
        } else if (p.Name == u"Subkey") {
            if (!ExpandConstants(p.Value, false, e.Subkey, nullptr, result.Error))
                return result;
        } else if (p.Name == u"ValueType") {
            e.ValueType = p.Value;
        } else if (p.Name == u"ValueName") {
            e.HasValueName = true;
            if (!ExpandConstants(p.Value, false, e.ValueName, nullptr, result.Error))
                return result;
        } else if (p.Name == u"ValueData") {
            dataSeen = true;
            rawData = p.Value;
        } else if (p.Name == u"Flags") {
            e.Flags = p.Value.split(u' ', Qt::SkipEmptyParts);
            for (const QString& f : e.Flags) {
                if (!kFlags.contains(f)) {
                    result.Error = QStringLiteral("unknown flag %1").arg(f);
                    return result;
                }
            }
        }
    }
    if (!kRoots.contains(e.Root)) {
        result.Error = QStringLiteral("invalid Root \"%1\"").arg(e.Root);
        return result;
    }
    if (e.Subkey.isEmpty()) {
        result.Error = QStringLiteral("Subkey is required");
        return result;
    }
    if (!kTypes.contains(e.ValueType)) {
        result.Error = QStringLiteral("invalid ValueType \"%1\"").arg(e.ValueType);
        return result;
    }
    if (!dataSeen)
        return result;
    e.HasValueData = true;
    const QString& t = e.ValueType;
    if (t == u"string" || t == u"expandsz") {
        if (!ExpandConstants(rawData, false, e.Text, nullptr, result.Error))
            return result;
    } else if (t == u"multisz") {
        QString last;
        if (!ExpandConstants(rawData, true, last, &e.Strings, result.Error))
            return result;
        if (e.Strings.size() == 1 && e.Strings.front().isEmpty())
            e.Strings.clear();
    } else if (t == u"dword" || t == u"qword") {
        if (!ParseNumber(rawData, t == u"dword" ? 32 : 64, e.Number))
            result.Error = QStringLiteral("invalid %1 data \"%2\"").arg(t, rawData);
    } else if (t == u"binary") {
        if (!ParseBinary(rawData, e.Bytes))
            result.Error = QStringLiteral("invalid binary data \"%1\"").arg(rawData);
    }
    return result;
}

} // namespace qm::testing
