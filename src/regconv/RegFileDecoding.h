#pragma once

// Reading a registry export's bytes as text: the encoding is chosen by the byte-order mark
// (UTF-8, UTF-16LE, UTF-16BE); without one, UTF-16LE is recognised by its zero bytes and
// anything else is ANSI text in a code page (empty name: the system's default).

#include <QByteArray>
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

// Gives an export's text piece by piece, so a large export is never held whole: UTF-16 and
// UTF-8 text is read in chunks of a quarter megabyte, small enough to be still in the cache when
// its lines are read (a piece may end inside a line, or between the two halves of a surrogate
// pair). ANSI text is read whole, because the default code page
// is chosen by the whole text (UTF-8 only when all of it is valid UTF-8). Throws
// ERegConvertError when the file cannot be read. Standard input and pipes are read to their
// end.
class TRegTextReader {
public:
    // How much of the file one piece reads.
    static constexpr qint64 kChunkBytes = qint64(256) << 10;

    // `file` is open for reading; `fileName` names it in errors.
    TRegTextReader(QFile& file, QString fileName, const QString& codePage);

    [[nodiscard]] bool Unicode() const { return FUnicode; }
    // The code page that decoded ANSI text; empty when a mark decided.
    [[nodiscard]] const QString& CodePage() const { return FCodePage; }
    // Appends the next piece to `text`; false when the file has ended.
    bool Read(QString& text);

private:
    enum class TForm { Utf16Le, Utf16Be, Utf8, Ansi };
    [[noreturn]] void ThrowReadError() const;
    bool ReadUtf8(QString& text);

    QFile& FFile;
    QString FFileName;
    QString FAnsiCodePage;
    TForm FForm = TForm::Ansi;
    bool FUnicode = false;
    QString FCodePage;
    bool FEnded = false;
    QByteArray FChunk;
    char FOddByte = 0; // a UTF-16 code unit's first byte, waiting for its second
    bool FHasOddByte = false;
    QByteArray FPending; // UTF-8 bytes of a sequence not complete yet
};

// Opens `file` (named `fileName`) for reading; throws ERegConvertError when it cannot.
void OpenRegFile(QFile& file, const QString& fileName);
// Reads a whole export. Throws ERegConvertError when the file cannot be read.
TRegFileText ReadRegFile(const QString& fileName, const QString& codePage);
// The same from a file already open for reading, a pipe or standard input among them.
TRegFileText ReadRegFile(QFile& file, const QString& fileName, const QString& codePage);

// Decodes bytes of an ANSI code page through the platform (empty name: the system's default).
// Reports the code page actually used in `usedCodePage` when given.
QString DecodeAnsiBytes(QByteArrayView bytes, const QString& codePage,
                        QString* usedCodePage = nullptr);
