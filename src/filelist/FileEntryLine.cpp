#include "filelist/FileEntryLine.h"

#include "innotext/InnoText.h"
#include "platform/Directory.h"

#include <QList>
#include <QStringBuilder>

namespace qm::filelist {

using namespace std::string_view_literals;

namespace {

constexpr QChar kSeparator(qm::platform::kPathSeparator);

// The printable characters Windows does not allow in a file name.
constexpr bool ForbiddenInName(char16_t c) {
    switch (c) {
    case u'"':
    case u'<':
    case u'>':
    case u':':
    case u'|':
    case u'?':
    case u'*':
        return true;
    default:
        return false;
    }
}

bool IsDeviceName(QStringView name) {
    // The part before the first dot, blanks at its end ignored: "nul.txt" and "COM1 " are
    // devices too.
    QStringView stem = name.first(name.contains(u'.') ? name.indexOf(u'.') : name.size());
    while (stem.endsWith(u' '))
        stem.chop(1);
    static const QStringList kDevices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                         QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (kDevices.contains(stem, Qt::CaseInsensitive))
        return true;
    if (stem.size() != 4)
        return false;
    const QStringView head = stem.first(3);
    const QChar digit = stem[3];
    return (head.compare(u"COM", Qt::CaseInsensitive) == 0 ||
            head.compare(u"LPT", Qt::CaseInsensitive) == 0) &&
           ((digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
            digit == u'\u00B3');
}

} // namespace

QStringView BaseDirectory(QStringView folderText) {
    return folderText.first(folderText.lastIndexOf(kSeparator) + 1);
}

QString SubfolderPath(QStringView folder, QStringView folderText) {
    while (folderText.endsWith(kSeparator))
        folderText.chop(1);
    QStringView rest = folder.startsWith(folderText) ? folder.sliced(folderText.size()) : folder;
    while (rest.startsWith(kSeparator))
        rest = rest.sliced(1);
    while (rest.endsWith(kSeparator))
        rest.chop(1);
    QString path = rest.toString();
    path.replace(kSeparator, u'\\');
    return path;
}

QString DestDirFor(QStringView destDirText, QStringView subfolder) {
    using namespace qm::innotext;
    // The compiler refuses an empty DestDir; files of the scanned folder go to the
    // application's folder.
    QStringView base = destDirText.isEmpty() ? QStringView(u"{app}") : destDirText;
    if (base.endsWith(u'\\'))
        base.chop(1);
    TLineBuffer dest;
    dest.reserve(static_cast<std::size_t>(base.size() + subfolder.size()) + 8);
    // The text is script already, read by the preprocessor before the compiler: even a quote
    // may belong to an expression ({#"text"}).
    Append(dest, base);
    if (!subfolder.isEmpty()) {
        dest.push_back(u'\\');
        AppendInnoEscaped(dest, subfolder, TConstants::Expanded);
    }
    QString out = ToQString(dest);
    while (out.contains(QStringLiteral("\\\\")))
        out.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return out;
}

QString WindowsNameProblem(QStringView name) {
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return QStringLiteral("the name holds the control character ") +
                   qm::innotext::VisibleText(QStringView(&c, 1)) +
                   QStringLiteral(", which Windows does not allow in a file name");
        if (ForbiddenInName(c.unicode()))
            return QStringLiteral("the name holds %1, which Windows does not allow in a file name")
                .arg(c);
    }
    if (name.endsWith(u'.'))
        return QStringLiteral("the name ends in a dot, which Windows does not keep");
    if (name.endsWith(u' '))
        return QStringLiteral("the name ends in a blank, which Windows does not keep");
    if (IsDeviceName(name))
        return QStringLiteral("Windows reserves the name for a device");
    return {};
}

QString NotConvertedLine(QStringView reason, QStringView path) {
    return qm::innotext::InnoComment(
        QString(QStringLiteral("Not converted: ") % reason % QStringLiteral(": ") % path));
}

QString EntryLine(QStringView source, QStringView destDir, QStringView flags) {
    using namespace qm::innotext;
    for (const QStringView text : {source, destDir}) {
        if (QString problem = LineBreakingProblem(text, u"the name"); !problem.isEmpty())
            return InnoComment(
                QStringLiteral("Not converted: file \"%1\": %2").arg(source.toString(), problem));
    }
    if (source.contains(u'"'))
        return NotConvertedLine(u"Inno Setup cannot take a quote in a Source path", source);
    // Inno Setup expands constants in Source only for files outside the installer.
    bool external = false;
    if (flags.startsWith(u"Flags: "))
        for (const QStringView word : flags.sliced(7).tokenize(u' '))
            external = external || word == u"external";
    TLineBuffer line;
    line.reserve(static_cast<std::size_t>(source.size() + destDir.size() + flags.size()) + 32);
    line.append(u"Source: \""sv);
    AppendInnoEscaped(line, source, external ? TConstants::Expanded : TConstants::Literal);
    line.append(u"\"; DestDir: \""sv);
    Append(line, destDir);
    line.append(u"\";"sv);
    if (!flags.isEmpty()) {
        Append(line, flags);
        line.push_back(u';');
    }
    return ToQString(line);
}

QString DirsLine(QStringView destDir, QStringView path) {
    if (QString problem = qm::innotext::LineBreakingProblem(destDir, u"the name");
        !problem.isEmpty())
        return NotConvertedLine(problem, path);
    return QString(QStringLiteral("Name: \"") % destDir % QStringLiteral("\";"));
}

} // namespace qm::filelist
