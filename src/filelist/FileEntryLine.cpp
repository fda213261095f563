#include "filelist/FileEntryLine.h"

#include "platform/Directory.h"

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
    QString line;
    line.reserve(source.size() + destDir.size() + flags.size() + 24);
    line.append(QLatin1StringView("Source: \""));
    AppendDoubling(line, source, u'"');
    line.append(QLatin1StringView("\"; DestDir: \""));
    AppendDoubling(line, destDir, u'"');
    line.append(QLatin1StringView("\";"));
    if (!flags.isEmpty()) {
        line.append(flags);
        line.append(u';');
    }
    return line;
}

} // namespace qm::filelist
