#pragma once

// Whole text files in the encodings of the settings and language files: UTF-8 (with or without
// a byte-order mark), UTF-16 in either byte order (with a mark), and, for a file without a
// mark that is not valid UTF-8, the ANSI code page (Windows: the system's; elsewhere
// Windows-1252), as an older program or editor may have written it.

#include <QList>
#include <QString>
#include <QStringView>

enum class TTextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Ansi };

struct TTextFileRead {
    QString Text;
    TTextEncoding Encoding = TTextEncoding::Utf8;
    // The file exists but could not be read; its text is empty.
    bool Unreadable = false;
    // Encoding the text again gives the very bytes read: no byte was replaced in decoding.
    // Only such a file may be written over.
    bool Exact = true;
};

// The text of `path` (a missing file reads as empty, and exact).
TTextFileRead ReadTextFile(const QString& path);

// The lines of a text, whatever its line ends: CR LF, LF, or CR alone (an older Mac editor's);
// without the line ends. A text ending in a line end has no empty line after it.
QList<QStringView> TextLines(QStringView text);

// Replaces `path` with `text` in `encoding` (a byte-order mark where the encoding has one),
// through a temporary file that is flushed to the disk before it takes the old one's place: a
// failed write leaves the old file. A text that the ANSI code page cannot hold, or whose bytes
// would not read back as it (ANSI bytes that form UTF-8, a text that begins like a byte-order
// mark), is written as UTF-8 with a byte-order mark instead, so nothing is lost. Returns an error
// message, or an empty text on success.
[[nodiscard]] QString WriteTextFile(const QString& path, const QString& text,
                                    TTextEncoding encoding);
