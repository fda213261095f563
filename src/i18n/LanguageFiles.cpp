#include "i18n/LanguageFiles.h"

#include "i18n/Components.h"
#include "platform/FileAccess.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

QString CurrentLanguage;

namespace qm::i18n {

namespace {

QString LanguageFolder() {
    return ProgramFolder() + QStringLiteral("Language");
}

bool KeyIsStale(const QString& key, const QList<ITranslatableWindow*>& windows) {
    const qsizetype dot = key.indexOf(u'.');
    if (dot < 0)
        return true;
    const QStringView windowName = QStringView(key).first(dot);
    const auto window = std::find_if(windows.begin(), windows.end(), [&](ITranslatableWindow* w) {
        return SameName(w->WindowName(), windowName);
    });
    if (window == windows.end())
        return true;
    const QStringView rest = QStringView(key).sliced(dot + 1);
    const qsizetype second = rest.indexOf(u'.');
    if (second < 0)
        return false; // <Window>.<Word>
    const QStringView componentName = rest.first(second);
    const QList<TComponent> components = (*window)->Components();
    return std::none_of(components.begin(), components.end(),
                        [&](const TComponent& c) { return SameName(c.Name, componentName); });
}

} // namespace

QStringList LanguageFilesInFolderOrder() {
    return QDir(LanguageFolder())
        .entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden | QDir::System,
                   QDir::Unsorted);
}

QStringList ListLanguageFiles() {
    QStringList files = LanguageFilesInFolderOrder();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(files.begin(), files.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return files;
}

QString LanguageDisplayName(const QString& fileName, const QString& name) {
    return TIniFile(LanguageFolder() + QDir::separator() + fileName)
        .ReadString(QStringLiteral("Language information"), QStringLiteral("LANGNAME"), name);
}

void CleanLanguageFile(const QString& path, const QList<ITranslatableWindow*>& windows) {
    if (QFileInfo::exists(path) && !qm::platform::IsFileWritable(path.toStdU16String()))
        return;
    TIniFile ini(path);
    if (!ini.Loaded())
        return;
    bool modified = false;
    for (const QString& section : ini.Sections()) {
        if (SameName(section, u"Language information") || SameName(section, u"DestDir"))
            continue;
        const QStringList keys = ini.ReadSection(section);
        for (qsizetype i = keys.size() - 1; i >= 0; --i) {
            const bool repeated =
                std::any_of(keys.begin(), keys.begin() + i,
                            [&](const QString& k) { return SameName(k, keys[i]); });
            if (repeated || KeyIsStale(keys[i], windows)) {
                ini.DeleteFirstKey(section, keys[i]);
                modified = true;
            }
        }
        if (ini.ReadSection(section).isEmpty()) {
            ini.EraseSection(section);
            modified = true;
        }
    }
    // Best effort: a file that cannot be rewritten keeps its stale keys, which are ignored.
    if (modified && qm::platform::IsFileWritable(path.toStdU16String()))
        static_cast<void>(ini.Save());
}

void ChooseLanguageOnFirstStart() {
    const QString settings = PortablePath();
    if (QFileInfo::exists(settings))
        return;
    const QStringList ui = QLocale::system().uiLanguages();
    const bool russian = !ui.isEmpty() && QLocale(ui.front()).language() == QLocale::Russian;
    const QString language = russian ? QStringLiteral("Russian") : QStringLiteral("English");
    if (!QFileInfo::exists(LanguageFilePath(language)))
        return;
    TIniFile ini(settings);
    ini.WriteString(QStringLiteral("Language"), QStringLiteral("Language"), language);
    // Unsaved, the choice is made again at the next start; closing the window tells the user
    // that the settings cannot be written.
    static_cast<void>(ini.Save());
}

} // namespace qm::i18n
