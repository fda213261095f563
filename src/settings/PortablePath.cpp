#include "settings/PortablePath.h"

#include "platform/AsciiCase.h"
#include "platform/Directory.h"
#include "platform/KnownFolders.h"
#include "platform/VersionInfo.h"
#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool PortableMode = false;

namespace {

const QChar kSeparator(qm::platform::kPathSeparator);

QString WithSeparator(QString path) {
    if (!path.endsWith(kSeparator))
        path += kSeparator;
    return path;
}

} // namespace

QString ProgramFolder() {
    return WithSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

bool DetectPortableMode() {
    return QFileInfo::exists(ProgramFolder() + QStringLiteral("portable.ini"));
}

QString PortablePath() {
    QString path;
    if (PortableMode) {
        path = ProgramFolder();
    } else {
        // Without a roaming folder the settings stay beside the program rather than at the
        // root of the file system.
        QString roaming = QString::fromStdU16String(qm::platform::RoamingAppDataFolder());
        if (roaming.isEmpty())
            roaming = ProgramFolder();
        const QString company = QString::fromStdU16String(
            qm::platform::VersionString(qm::platform::OwnVersionInfo(), u"CompanyName"));
        path = WithSeparator(roaming) + WithSeparator(company) + kApplicationTitle + kSeparator;
    }
    path += QStringLiteral("Config") + kSeparator + QStringLiteral("Option.ini");
    QDir().mkpath(QFileInfo(path).path());
    return path;
}

QString LanguageFilePath(const QString& name) {
    const QString folder = ProgramFolder() + QStringLiteral("Language");
    const QString exact = folder + kSeparator + name + QStringLiteral(".ini");
    if (QFileInfo::exists(exact))
        return exact;
    // Language names ignore the case of A to Z (the settings may say "english"), also where the
    // file system does not.
    const std::u16string wanted = (name + QStringLiteral(".ini")).toStdU16String();
    for (const QString& file : QDir(folder).entryList(QDir::Files))
        if (qm::platform::SameIgnoringAsciiCase(file.toStdU16String(), wanted))
            return folder + kSeparator + file;
    return exact;
}

QString CurrentLanguageName() {
    return TIniFile(PortablePath())
        .ReadString(QStringLiteral("Language"), QStringLiteral("Language"), QString());
}
