#pragma once

// Where the settings file lives.

#include <QString>

// The application's title: it names the settings folder, the translation section of the
// language files and the single-instance lock. Never translated.
inline const QString kApplicationTitle = QStringLiteral("Quillmark");

// True when a file "portable.ini" lies beside the executable; set once by the main window.
extern bool PortableMode;

// The folder of the running executable, with a trailing separator.
QString ProgramFolder();
// Whether "portable.ini" lies in ProgramFolder().
bool DetectPortableMode();

// The settings file: <program folder>/Config/Option.ini in portable mode; otherwise
// <roaming app data>/<company>/Quillmark/Config/Option.ini, the company being the CompanyName
// of the executable's version information (the program folder stands in for a roaming folder
// the system cannot tell). Creates the folder (errors ignored).
QString PortablePath();

// The language file of `name`: <program folder>/Language/<name>.ini, the name's A to Z in
// any case.
QString LanguageFilePath(const QString& name);
// The chosen language's name from the settings file (section Language, key Language); empty
// when none is chosen.
QString CurrentLanguageName();
