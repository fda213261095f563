#pragma once

// The language files in the Language folder beside the executable: listing, display names,
// the start-up cleaning, and the choice on a first start.

#include "i18n/Translation.h"

#include <QList>
#include <QString>
#include <QStringList>

// The chosen language's name (its file name without ".ini"); empty when none is chosen.
extern QString CurrentLanguage;

namespace qm::i18n {

// The file names (with ".ini") in the Language folder, sorted as the user's locale sorts text,
// ignoring case.
QStringList ListLanguageFiles();
// The same files in the order the folder lists them.
QStringList LanguageFilesInFolderOrder();
// LANGNAME of section "Language information" of `fileName`; `name` when it cannot be read.
QString LanguageDisplayName(const QString& fileName, const QString& name);

// Removes from a language file every entry that no window or component of `windows` can use,
// and all but the last line of a key that occurs more than once; writes it back, in the
// encoding it was read in, only when something was removed and the file is writable.
void CleanLanguageFile(const QString& path, const QList<ITranslatableWindow*>& windows);

// On the very first start (no settings file yet) chooses the shipped language that matches the
// system's user-interface language (Russian for Russian, else English), when its file exists,
// and stores the choice.
void ChooseLanguageOnFirstStart();

} // namespace qm::i18n
