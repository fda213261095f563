#pragma once

#include <QString>

class QFile;

// The text of a registry export file and what its encoding says about its hex string data.
struct TRegFileText {
    QString Text;
    // The file was Unicode (a byte-order mark, or UTF-16 without one). Without a header line,
    // that decides whether hex(2)/hex(7) bytes are UTF-16 or ANSI.
    bool Unicode = false;
    // The code page that decoded a file without a mark; empty when a mark decided.
    QString CodePage;
};

// Reads a whole export, choosing the encoding by byte-order mark (UTF-8, UTF-16LE, UTF-16BE);
// without one, UTF-16LE is recognised by its zero bytes and anything else is ANSI text in
// `codePage` (empty: the system's default). Throws ERegConvertError when the file cannot be read.
TRegFileText ReadRegFile(const QString& fileName, const QString& codePage);
// The same from a file already open for reading, a pipe or standard input among them (read to
// its end); `fileName` names it in errors.
TRegFileText ReadRegFile(QFile& file, const QString& fileName, const QString& codePage);

// Decodes bytes of an ANSI code page through the platform (empty name: the system's default).
// Reports the code page actually used in `usedCodePage` when given.
QString DecodeAnsiBytes(QByteArrayView bytes, const QString& codePage,
                        QString* usedCodePage = nullptr);
