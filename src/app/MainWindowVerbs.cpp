// The general menu's verb items: the context-menu verbs for folders and exports.

#include "app/Unit_Base.h"
#include "shell/ContextMenuVerbs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

void TForm1::RegisterContextMenu() {
    qm::shell::RegisterVerb(TVerbKind::Folder, Message("LangOpenInQuillmark"),
                            QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}

void TForm1::RegisterContextMenuReg() {
    qm::shell::RegisterVerb(TVerbKind::RegFile, Message("LangconvertInQuillmark"),
                            QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}

void TForm1::UnregisterContextMenu() {
    qm::shell::UnregisterVerb(TVerbKind::Folder);
}

void TForm1::UnregisterContextMenuReg() {
    qm::shell::UnregisterVerb(TVerbKind::RegFile);
}

void TForm1::CheckAndSetRegistryForFileTypes() {
    const bool folder = qm::shell::VerbRegistered(TVerbKind::Folder);
    const bool reg = qm::shell::VerbRegistered(TVerbKind::RegFile);
    EmbedFolderMenu->setChecked(folder);
    EmbedRegMenu->setChecked(reg);
    FPrevEmbedMenuState = folder;
    FPrevEmbedMenuStateReg = reg;
}

void TForm1::EmbedFolderMenuClick() {
    if (EmbedFolderMenu->isChecked())
        RegisterContextMenu();
    else
        UnregisterContextMenu();
    qm::shell::NotifyShell();
    FPrevEmbedMenuState = EmbedFolderMenu->isChecked();
    QCoreApplication::processEvents();
}

void TForm1::EmbedRegMenuClick() {
    if (EmbedRegMenu->isChecked())
        RegisterContextMenuReg();
    else
        UnregisterContextMenuReg();
    qm::shell::NotifyShell();
    FPrevEmbedMenuStateReg = EmbedRegMenu->isChecked();
    QCoreApplication::processEvents();
}

// A check mark that differs from the verb's last applied state is applied at close.
void TForm1::ApplyPendingVerb(QAction* item, bool& applied, void (TForm1::*registerVerb)(),
                              void (TForm1::*unregisterVerb)()) {
    if (item->isChecked() == applied)
        return;
    (this->*(item->isChecked() ? registerVerb : unregisterVerb))();
    qm::shell::NotifyShell();
    QCoreApplication::processEvents();
    applied = item->isChecked();
}
