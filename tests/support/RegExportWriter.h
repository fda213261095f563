#pragma once

// Writes registry exports the way the Windows registry editor does (escaped strings, hex data
// wrapped over lines that end in a backslash), for tests and benchmark data.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qm::testing {

enum class ExportKind {
    String,    // "..."
    ExpandSz,  // hex(2):
    MultiSz,   // hex(7):
    DWord,     // dword:
    QWord,     // hex(b):
    Binary,    // hex:
    HexString, // hex(1): a string stored as hex
    Delete,    // =-
    Raw,       // Text written as the data, as it stands (malformed data, for instance)
};

struct ExportValue {
    QString Name; // empty writes the default value, @ (a name "@" is written quoted)
    ExportKind Kind = ExportKind::String;
    QString Text;        // String, ExpandSz, HexString, Raw
    QStringList Strings; // MultiSz
    quint64 Number = 0;  // DWord, QWord
    QByteArray Bytes;    // Binary
    // Lines the registry editor skips inside continued data (blank ones, "; ..."): written
    // after the first line of hex data that goes on, or after the value when none does.
    QStringList SkippedLines;
};

struct ExportKey {
    QString Path;
    QString Tail; // after the key line's "]", such as " ; note"
    bool Deleted = false;
    QList<ExportValue> Values;
};

// The header line of the form, with the blank line after it.
QString ExportHeader(bool regedit4);
// One key and its values, ending with a blank line. In the REGEDIT4 form, string data in hex is
// one byte per character (Latin-1 text only); in the version 5 form it is UTF-16LE.
QString ExportKeyText(const ExportKey& key, bool regedit4);
QString ExportText(const QList<ExportKey>& keys, bool regedit4);

QByteArray Utf16LeWithBom(const QString& text);
QByteArray Utf16BeWithBom(const QString& text);
// Latin-1 bytes; the text must hold no character above U+00FF.
QByteArray Latin1Bytes(const QString& text);

} // namespace qm::testing
