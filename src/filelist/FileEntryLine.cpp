#include "filelist/FileEntryLine.h"

#include "platform/Directory.h"
#include "regconv/InnoText.h"

#include <QList>

namespace qm::filelist {

namespace {

constexpr QChar kSeparator(qm::platform::kPathSeparator);

// Appends `text` with every `c` written twice.
void AppendDoubling(QString& out, QStringView text, QChar c) {
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == c) {
            out.append(text.sliced(plain, i + 1 - plain));
            plain = i; // the character is written again at the start of the next run
        }
    }
    out.append(text.sliced(plain));
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
    QStringView base = destDirText;
    if (base.endsWith(u'\\'))
        base.chop(1);
    QString dest;
    dest.reserve(base.size() + subfolder.size() + 8);
    dest.append(base);
    if (!base.isEmpty() && !subfolder.isEmpty())
        dest.append(u'\\');
    AppendDoubling(dest, subfolder, u'{');
    while (dest.contains(QStringLiteral("\\\\")))
        dest.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return dest;
}

QString EntryLine(QStringView source, QStringView destDir, QStringView flags) {
    using namespace qm::regconv;
    for (const QStringView text : {source, destDir}) {
        if (QString problem = LineBreakingProblem(text, u"the name"); !problem.isEmpty())
            return InnoComment(
                QStringLiteral("Not converted: file \"%1\": %2").arg(source.toString(), problem));
    }
    // Inno Setup expands constants in Source only for files outside the installer.
    const bool external = flags.startsWith(u"Flags: ") &&
                          flags.sliced(7).split(u' ').contains(QStringView(u"external"));
    TLineBuffer line;
    line.reserve(static_cast<std::size_t>(source.size() + destDir.size() + flags.size()) + 32);
    line.append(u"Source: \"");
    AppendInnoEscaped(line, source, external ? TConstants::Expanded : TConstants::Literal);
    line.append(u"\"; DestDir: \"");
    AppendInnoCompilerText(line, destDir);
    line.append(u"\";");
    if (!flags.isEmpty()) {
        Append(line, flags);
        line.push_back(u';');
    }
    return ToQString(line);
}

} // namespace qm::filelist
