#include "InnoRegistryParser.h"

#include "RealInnoSetup.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace qm::testing {

namespace {

// Each root also with 32 or 64 after it (a registry view).
QSet<QString> Roots() {
    QSet<QString> roots;
    for (const char* root : {"HKCR", "HKCU", "HKLM", "HKU", "HKCC", "HKA"})
        for (const char* view : {"", "32", "64"})
            roots.insert(QString::fromLatin1(root) + QString::fromLatin1(view));
    return roots;
}
const QSet<QString> kRoots = Roots();
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
const QSet<QString> kFilesFlags = {QStringLiteral("32bit"),
                                   QStringLiteral("64bit"),
                                   QStringLiteral("allowunsafefiles"),
                                   QStringLiteral("comparetimestamp"),
                                   QStringLiteral("confirmoverwrite"),
                                   QStringLiteral("createallsubdirs"),
                                   QStringLiteral("deleteafterinstall"),
                                   QStringLiteral("dontcopy"),
                                   QStringLiteral("dontverifychecksum"),
                                   QStringLiteral("external"),
                                   QStringLiteral("fontisnttruetype"),
                                   QStringLiteral("gacinstall"),
                                   QStringLiteral("ignoreversion"),
                                   QStringLiteral("isreadme"),
                                   QStringLiteral("nocompression"),
                                   QStringLiteral("noencryption"),
                                   QStringLiteral("noregerror"),
                                   QStringLiteral("onlyifdestfileexists"),
                                   QStringLiteral("onlyifdoesntexist"),
                                   QStringLiteral("overwritereadonly"),
                                   QStringLiteral("promptifolder"),
                                   QStringLiteral("recursesubdirs"),
                                   QStringLiteral("regserver"),
                                   QStringLiteral("regtypelib"),
                                   QStringLiteral("replacesameversion"),
                                   QStringLiteral("restartreplace"),
                                   QStringLiteral("setntfscompression"),
                                   QStringLiteral("sharedfile"),
                                   QStringLiteral("sign"),
                                   QStringLiteral("signcheck"),
                                   QStringLiteral("signonce"),
                                   QStringLiteral("skipifsourcedoesntexist"),
                                   QStringLiteral("solidbreak"),
                                   QStringLiteral("sortfilesbyextension"),
                                   QStringLiteral("sortfilesbyname"),
                                   QStringLiteral("touch"),
                                   QStringLiteral("uninsnosharedfileprompt"),
                                   QStringLiteral("uninsremovereadonly"),
                                   QStringLiteral("uninsrestartdelete"),
                                   QStringLiteral("uninsneveruninstall"),
                                   QStringLiteral("unsetntfscompression")};
// Flags the compiler refuses together.
const QList<QPair<QString, QString>> kExclusiveFlags = {
    {QStringLiteral("uninsdeletevalue"), QStringLiteral("uninsdeletekey")},
    {QStringLiteral("uninsdeletevalue"), QStringLiteral("uninsclearvalue")},
    {QStringLiteral("uninsclearvalue"), QStringLiteral("uninsdeletekey")},
    {QStringLiteral("uninsdeletekey"), QStringLiteral("uninsdeletekeyifempty")},
    {QStringLiteral("32bit"), QStringLiteral("64bit")}};
// The constants Inno Setup 6 expands at install time (directories and the like); {%NAME} and
// {%NAME|default} are environment variables.
const QSet<QString> kConstants = {QStringLiteral("app"),
                                  QStringLiteral("win"),
                                  QStringLiteral("sys"),
                                  QStringLiteral("sysnative"),
                                  QStringLiteral("syswow64"),
                                  QStringLiteral("src"),
                                  QStringLiteral("sd"),
                                  QStringLiteral("commonpf"),
                                  QStringLiteral("commonpf32"),
                                  QStringLiteral("commonpf64"),
                                  QStringLiteral("commoncf"),
                                  QStringLiteral("commoncf32"),
                                  QStringLiteral("commoncf64"),
                                  QStringLiteral("tmp"),
                                  QStringLiteral("commonfonts"),
                                  QStringLiteral("dao"),
                                  QStringLiteral("group"),
                                  QStringLiteral("localappdata"),
                                  QStringLiteral("userappdata"),
                                  QStringLiteral("commonappdata"),
                                  QStringLiteral("usercf"),
                                  QStringLiteral("userdocs"),
                                  QStringLiteral("commondocs"),
                                  QStringLiteral("userdesktop"),
                                  QStringLiteral("commondesktop"),
                                  QStringLiteral("userpf"),
                                  QStringLiteral("userprograms"),
                                  QStringLiteral("commonprograms"),
                                  QStringLiteral("userstartmenu"),
                                  QStringLiteral("commonstartmenu"),
                                  QStringLiteral("userstartup"),
                                  QStringLiteral("commonstartup"),
                                  QStringLiteral("autoappdata"),
                                  QStringLiteral("autocf"),
                                  QStringLiteral("autocf32"),
                                  QStringLiteral("autocf64"),
                                  QStringLiteral("autodesktop"),
                                  QStringLiteral("autodocs"),
                                  QStringLiteral("autofonts"),
                                  QStringLiteral("autopf"),
                                  QStringLiteral("autopf32"),
                                  QStringLiteral("autopf64"),
                                  QStringLiteral("autoprograms"),
                                  QStringLiteral("autostartmenu"),
                                  QStringLiteral("autostartup"),
                                  QStringLiteral("cmd"),
                                  QStringLiteral("computername"),
                                  QStringLiteral("groupname"),
                                  QStringLiteral("language"),
                                  QStringLiteral("srcexe"),
                                  QStringLiteral("uninstallexe"),
                                  QStringLiteral("username"),
                                  QStringLiteral("log"),
                                  QStringLiteral("sendto"),
                                  QStringLiteral("fonts"),
                                  QStringLiteral("pf"),
                                  QStringLiteral("pf32"),
                                  QStringLiteral("pf64"),
                                  QStringLiteral("cf"),
                                  QStringLiteral("cf32"),
                                  QStringLiteral("cf64")};
const QSet<QString> kParams = {QStringLiteral("Root"),      QStringLiteral("Subkey"),
                               QStringLiteral("ValueType"), QStringLiteral("ValueName"),
                               QStringLiteral("ValueData"), QStringLiteral("Flags"),
                               QStringLiteral("Check"),     QStringLiteral("MinVersion")};

// The compiler's MinVersion: major[.minor[.build]][spN] within 127, 99, 65535 and 255 (ISCC
// 6.4.1 refuses "6.", "6.1.1.1", "6.1 sp1", "128", "6.100", "6.1.65536", "6.1sp256").
bool MinVersionAccepted(const QString& text) {
    const qsizetype sp = text.indexOf(QStringLiteral("sp"), 0, Qt::CaseInsensitive);
    const QStringList parts = text.first(sp < 0 ? text.size() : sp).split(u'.');
    const quint64 limits[] = {127, 99, 65535};
    if (parts.size() > 3)
        return false;
    const auto number = [](const QString& digits, quint64 limit) {
        bool ok = !digits.isEmpty() && digits.size() <= 9 &&
                  std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
        return ok && digits.toULongLong() <= limit;
    };
    for (qsizetype i = 0; i < parts.size(); ++i)
        if (!number(parts[i], limits[i]))
            return false;
    return sp < 0 || number(text.sliced(sp + 2), 255);
}

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

// Which constants a parameter may hold besides "{{": none, "{break}" (multisz data) and the
// install-time constants, or only the latter.
enum class Constants { Plain, Break };

bool KnownConstant(const QString& name) {
    if (name.startsWith(u'%'))
        return name.size() > 1 && !name.contains(u'{');
    return kConstants.contains(name);
}

// Expands "{{" and "{break}", keeps the install-time constants as written (`expands` says
// whether there were any) and rejects any other constant, as the compiler does.
bool ExpandConstants(const QString& in, Constants allowed, QString& out, QStringList* parts,
                     QString& error, bool* expands = nullptr) {
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
        if (name == u"break" && allowed == Constants::Break) {
            parts->append(out);
            out.clear();
            i = close;
            continue;
        }
        if (KnownConstant(name)) {
            if (expands)
                *expands = true;
            out.append(in.sliced(i, close - i + 1));
            i = close;
            continue;
        }
        error = QStringLiteral("unknown constant {%1}").arg(name);
        return false;
    }
    if (parts)
        parts->append(out);
    return true;
}

// False, with the reason, unless every flag is one of `known` and no two exclude each other.
bool FlagsAccepted(const QStringList& flags, const QSet<QString>& known, QString& error) {
    for (const QString& f : flags) {
        if (!known.contains(f)) {
            error = QStringLiteral("unknown flag %1").arg(f);
            return false;
        }
    }
    for (const auto& [a, b] : kExclusiveFlags) {
        if (flags.contains(a) && flags.contains(b)) {
            error = QStringLiteral("flags %1 and %2 together").arg(a, b);
            return false;
        }
    }
    return true;
}

bool ParseNumber(const QString& text, int bits, quint64& number) {
    bool ok = false;
    if (text.startsWith(u'$')) {
        const QString digits = text.sliced(1);
        // The compiler takes up to 64 bits even for a dword.
        if (digits.isEmpty() || digits.size() > 16)
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

// Every parameter is one of `known`, and none is given twice.
bool KnownOnceEach(const QList<Param>& params, const QSet<QString>& known, QString& error) {
    QSet<QString> seen;
    for (const Param& p : params) {
        if (!known.contains(p.Name)) {
            error = QStringLiteral("unknown parameter %1").arg(p.Name);
            return false;
        }
        if (seen.contains(p.Name)) {
            error = QStringLiteral("parameter %1 given twice").arg(p.Name);
            return false;
        }
        seen.insert(p.Name);
    }
    return true;
}

bool SplitsLine(QChar c) {
    const char16_t u = c.unicode();
    return u == 0 || u == u'\r' || u == u'\n' || u == 0x2028 || u == 0x2029 || u == 0xFDD0 ||
           u == 0xFDD1;
}

// What every line must pass, whatever its section; the line's kind, and its parameters after
// the preprocessor when it is an entry.
InnoLineKind ReadLine(const QString& line, const QString& header, QList<Param>& params,
                      QString& error) {
    for (const QChar c : line) {
        if (SplitsLine(c)) {
            error =
                QStringLiteral("U+%1 splits or cuts the line").arg(c.unicode(), 4, 16, QChar(u'0'));
            break;
        }
    }
    if (error.isEmpty() && line.endsWith(u'\\'))
        error = QStringLiteral("the line ends in a backslash and would be joined to the next");
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return InnoLineKind::Empty;
    if (trimmed.startsWith(u';'))
        return InnoLineKind::Comment;
    if (trimmed.startsWith(u'[')) {
        if (error.isEmpty() && trimmed != header)
            error = QStringLiteral("unexpected section header");
        return InnoLineKind::Section;
    }
    if (!error.isEmpty())
        return InnoLineKind::Entry;
    const QString preprocessed = PreprocessInnoLine(line, error);
    if (error.isEmpty())
        SplitParams(preprocessed, params, error);
    return InnoLineKind::Entry;
}

} // namespace

QString PreprocessInnoLine(const QString& line, QString& error) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u';') || trimmed.startsWith(u'#') || trimmed.startsWith(u"//"))
        return line;
    QString out;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const qsizetype at = line.indexOf(QStringLiteral("{#"), i);
        if (at < 0) {
            out.append(line.sliced(i));
            break;
        }
        out.append(line.sliced(i, at - i));
        // The directive ends at the first "}"; only a string expression is harmless:
        // {#"text"}, blanks allowed around the string, no "}" inside it.
        const qsizetype end = line.indexOf(u'}', at);
        const QString expression =
            end < 0 ? QString() : line.sliced(at + 2, end - at - 2).trimmed();
        if (expression.size() < 2 || !expression.startsWith(u'"') || !expression.endsWith(u'"') ||
            expression.sliced(1, expression.size() - 2).contains(u'"')) {
            error = QStringLiteral("the preprocessor would evaluate \"%1\"").arg(line.sliced(at));
            return out;
        }
        out.append(expression.sliced(1, expression.size() - 2));
        i = end + 1;
    }
    return out;
}

InnoEntryLine ParseInnoEntryLine(const QString& line, const QString& header,
                                 const QStringList& known) {
    InnoEntryLine result;
    QList<Param> params;
    result.Kind = ReadLine(line, header, params, result.Error);
    if (result.Kind != InnoLineKind::Entry || !result.Error.isEmpty())
        return result;
    if (KnownOnceEach(params, QSet<QString>(known.begin(), known.end()), result.Error))
        for (const Param& p : params)
            result.Parameters.insert(p.Name, p.Value);
    return result;
}

namespace {

InnoLine ReadRegistryLine(const QString& line) {
    InnoLine result;
    QList<Param> params;
    result.Kind = ReadLine(line, QStringLiteral("[Registry]"), params, result.Error);
    if (result.Kind != InnoLineKind::Entry || !result.Error.isEmpty())
        return result;
    InnoRegEntry& e = result.Entry;
    QString rawData;
    bool dataSeen = false;
    if (!KnownOnceEach(params, kParams, result.Error))
        return result;
    for (const Param& p : params) {
        if (p.Name == u"Root") {
            e.Root = p.Value;
        } else if (p.Name == u"Subkey") {
            if (!ExpandConstants(p.Value, Constants::Plain, e.Subkey, nullptr, result.Error,
                                 &e.Expands))
                return result;
        } else if (p.Name == u"ValueType") {
            e.ValueType = p.Value;
        } else if (p.Name == u"ValueName") {
            e.HasValueName = true;
            if (!ExpandConstants(p.Value, Constants::Plain, e.ValueName, nullptr, result.Error,
                                 &e.Expands))
                return result;
        } else if (p.Name == u"ValueData") {
            dataSeen = true;
            rawData = p.Value;
        } else if (p.Name == u"Flags") {
            e.Flags = p.Value.split(u' ', Qt::SkipEmptyParts);
            if (!FlagsAccepted(e.Flags, kFlags, result.Error))
                return result;
        } else if (p.Name == u"Check") {
            // Only the built-in checks a generator writes.
            e.Check = p.Value;
            if (e.Check != u"IsAdminInstallMode" && e.Check != u"not IsAdminInstallMode") {
                result.Error = QStringLiteral("unknown Check \"%1\"").arg(e.Check);
                return result;
            }
        } else if (p.Name == u"MinVersion") {
            e.MinVersion = p.Value;
            if (!MinVersionAccepted(e.MinVersion)) {
                result.Error = QStringLiteral("Parameter \"MinVersion\" is not a valid value");
                return result;
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
    // The compiler's one protected key, under every root (probed with ISCC 6.4.1).
    if ((e.Flags.contains(QStringLiteral("deletekey")) ||
         e.Flags.contains(QStringLiteral("uninsdeletekey"))) &&
        e.Subkey.compare(u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                         Qt::CaseInsensitive) == 0) {
        result.Error = QStringLiteral("deletekey and uninsdeletekey are prohibited on this key");
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
        if (!ExpandConstants(rawData, Constants::Plain, e.Text, nullptr, result.Error, &e.Expands))
            return result;
    } else if (t == u"multisz") {
        QString last;
        if (!ExpandConstants(rawData, Constants::Break, last, &e.Strings, result.Error, &e.Expands))
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

} // namespace

InnoLine ParseInnoRegistryLine(const QString& line) {
    InnoLine result = ReadRegistryLine(line);
    // The real compiler gets every line this reader accepts (the iscc lane).
    if (result.Error.isEmpty() &&
        (result.Kind == InnoLineKind::Entry || result.Kind == InnoLineKind::Comment))
        RecordAcceptedRegistryLine(line);
    return result;
}

InnoFilesLine ParseInnoFilesLine(const QString& line, const QString& sourceDir) {
    InnoFilesLine result;
    QList<Param> params;
    result.Kind = ReadLine(line, QStringLiteral("[Files]"), params, result.Error);
    if (result.Kind != InnoLineKind::Entry || !result.Error.isEmpty())
        return result;
    InnoFilesEntry& e = result.Entry;
    QString source;
    QString destDir;
    const QSet<QString> known = {QStringLiteral("Source"), QStringLiteral("DestDir"),
                                 QStringLiteral("Flags")};
    if (!KnownOnceEach(params, known, result.Error))
        return result;
    QSet<QString> seen;
    for (const Param& p : params) {
        seen.insert(p.Name);
        if (p.Name == u"Source")
            source = p.Value;
        else if (p.Name == u"DestDir")
            destDir = p.Value;
        else
            e.Flags = p.Value.split(u' ', Qt::SkipEmptyParts);
    }
    if (!seen.contains(QStringLiteral("Source")) || !seen.contains(QStringLiteral("DestDir"))) {
        result.Error = QStringLiteral("Source and DestDir are required");
        return result;
    }
    if (!FlagsAccepted(e.Flags, kFilesFlags, result.Error))
        return result;
    if (destDir.isEmpty()) {
        result.Error = QStringLiteral("DestDir is empty");
        return result;
    }
    if (source.contains(u'"')) {
        result.Error = QStringLiteral("Source cannot hold a quote");
        return result;
    }
    // Constants are expanded in Source only for files outside the installer; the compiler
    // needs every other file to exist.
    if (e.Flags.contains(QStringLiteral("external"))) {
        if (!ExpandConstants(source, Constants::Plain, e.Source, nullptr, result.Error))
            return result;
    } else {
        e.Source = source;
        if (!sourceDir.isEmpty() &&
            !QFileInfo::exists(QDir(sourceDir).filePath(QString(source).replace(u'\\', u'/')))) {
            result.Error = QStringLiteral("Source file %1 does not exist").arg(source);
            return result;
        }
    }
    ExpandConstants(destDir, Constants::Plain, e.DestDir, nullptr, result.Error);
    return result;
}

} // namespace qm::testing
