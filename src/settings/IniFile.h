#pragma once

// The INI engine of the settings file and the language files.
//
// Reading: every line is stripped of characters U+0020 and below at both ends; empty lines,
// lines starting with ";" and lines before the first section are skipped; "[name]" opens a
// section (a repeated header's lines are ignored); any other line is an entry whose key is
// the text before the first "=" and whose value is the rest (a line without "=" is a key
// without a value). Section names and keys compare ignoring case; a key may occur more than
// once and every occurrence is kept in order. There are no escapes.
//
// Writing rewrites the whole file, each section followed by an empty line, through a temporary
// file that replaces the old one only when complete. Untouched sections and keys are kept;
// comments are not.

#include "settings/TextFile.h"

#include <QList>
#include <QString>
#include <QStringList>

class TIniFile {
public:
    // Reads `fileName`; a missing or unreadable file reads as empty (Loaded() tells which).
    explicit TIniFile(QString fileName);
    [[nodiscard]] bool Loaded() const { return FLoaded; }
    // Whether Save() may replace the file: it is missing, or it was read exactly (the text read,
    // encoded again, gives its bytes). A file that could not be read, or only with bytes
    // replaced, or read only in part (lines under a repeated section header or before the first
    // header, which the reading rules leave out), is never written over.
    [[nodiscard]] bool Writable() const { return FWritable; }

    [[nodiscard]] const QString& FileName() const { return FFileName; }
    // The encoding the file was read in (from its byte-order mark; without one UTF-8, or the
    // ANSI code page when the bytes are not UTF-8), which Save writes again.
    [[nodiscard]] TTextEncoding Encoding() const { return FEncoding; }

    [[nodiscard]] QStringList Sections() const;
    [[nodiscard]] bool SectionExists(const QString& section) const;
    // The key names of a section, in file order (a repeated key appears as often as it occurs).
    [[nodiscard]] QStringList ReadSection(const QString& section) const;
    [[nodiscard]] bool ValueExists(const QString& section, const QString& key) const;
    // The lines of a section as "key=value" (a key without a value alone), in file order.
    [[nodiscard]] QStringList ReadSectionValues(const QString& section) const;

    // The first occurrence of the key; `defaultValue` when it is missing or has no value.
    [[nodiscard]] QString ReadString(const QString& section, const QString& key,
                                     const QString& defaultValue) const;
    // A whole decimal number; `defaultValue` when missing or not a number.
    [[nodiscard]] int ReadInteger(const QString& section, const QString& key,
                                  int defaultValue) const;
    // A whole number other than 0 is true; `defaultValue` when missing or not a number.
    [[nodiscard]] bool ReadBool(const QString& section, const QString& key,
                                bool defaultValue) const;

    // Sets the first occurrence (appending the key, or the section, when missing).
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void EraseSection(const QString& section);
    // Removes the first line of `section` with this key.
    void DeleteFirstKey(const QString& section, const QString& key);

    // Writes the file back; false with the reason in ErrorString() when it cannot, when the file
    // is not Writable(), or when a section, key or value written held a line break (which the
    // file cannot store: nothing is written then).
    [[nodiscard]] bool Save();
    [[nodiscard]] QString ErrorString() const { return FError; }

private:
    struct TEntry {
        QString Key;
        QString Value;
        bool HasValue = true;
    };
    struct TSection {
        QString Name;
        QList<TEntry> Entries;
    };

    void Parse(const QString& text);
    [[nodiscard]] const TSection* Find(const QString& section) const;
    TSection* Find(const QString& section);
    [[nodiscard]] const TEntry* FindEntry(const QString& section, const QString& key) const;

    QString FFileName;
    TTextEncoding FEncoding = TTextEncoding::Utf8;
    bool FLoaded = false;
    bool FWritable = true;
    QString FRefused; // why a text given to a write cannot be stored
    QString FUnread;  // why the file was read only in part
    QList<TSection> FSections;
    QString FError;
};

// What the user is told when the settings could not be written to `file`, with the reason.
QString SettingsNotSavedMessage(const QString& file, const QString& reason);
