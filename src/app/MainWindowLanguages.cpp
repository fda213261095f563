// The language menu, the switch of language, and the translation and cleaning passes.

#include "app/Unit_Base.h"
#include "i18n/Components.h"
#include "i18n/LanguageFiles.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "shell/ContextMenuVerbs.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

void TForm1::LoadLanguage() {
    for (QAction* item : LanguageMenu->actions()) {
        LanguageMenu->removeAction(item);
        item->deleteLater(); // it may be the item whose click is being dispatched
    }
    for (QActionGroup* old : LanguageMenu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    CurrentLanguage =
        TIniFile(PortablePath())
            .ReadString(QStringLiteral("Language"), QStringLiteral("Language"), QString());
    auto* group = new QActionGroup(LanguageMenu);
    for (const QString& file : qm::i18n::ListLanguageFiles()) {
        const QString name = QFileInfo(file).completeBaseName();
        auto* item =
            new QAction(name + QStringLiteral("\t\t") + qm::i18n::LanguageDisplayName(file, name),
                        LanguageMenu);
        item->setCheckable(true);
        item->setActionGroup(group);
        item->setChecked(qm::i18n::SameName(name, CurrentLanguage) ||
                         name + QStringLiteral(".ini") == CurrentLanguage);
        connect(item, &QAction::triggered, this, [this, item] { LanguageItemClick(item); });
        LanguageMenu->addAction(item);
    }
}

void TForm1::LanguageItemClick(QAction* item) {
    const QString name = item->text().section(u'\t', 0, 0);
    CurrentLanguage = name;
    for (QAction* other : LanguageMenu->actions())
        other->setChecked(false);
    item->setChecked(true);
    TIniFile settings(PortablePath());
    settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"), name);
    if (!settings.Save()) {
        QMessageBox::critical(this, kApplicationTitle,
                              SettingsNotSavedMessage(PortablePath(), settings.ErrorString()));
        return;
    }
    LoadLanguage();
    globLoad();
    // The folder verb's text follows the language.
    if (EmbedFolderMenu->isChecked()) {
        RegisterContextMenu();
        qm::shell::NotifyShell();
    }
}

void TForm1::globLoad() {
    TTranslation translation;
    for (ITranslatableWindow* window : FWindows) {
        const TIniFile language(LanguageFilePath(CurrentLanguageName()));
        if (!language.SectionExists(kApplicationTitle))
            continue;
        TranslateForm(translation, *window, kApplicationTitle);
        QCoreApplication::processEvents();
    }
}

void TForm1::CleanTranslationsLikeGlobload() {
    for (const QString& file : qm::i18n::LanguageFilesInFolderOrder())
        qm::i18n::CleanLanguageFile(
            ProgramFolder() + QStringLiteral("Language") + QDir::separator() + file, FWindows);
}
