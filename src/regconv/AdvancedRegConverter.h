#pragma once

// Converts a Windows registry export (.reg, both the Unicode "version 5" form and the ANSI
// REGEDIT4 form) into an Inno Setup [Registry] section. Two passes over one object: the reader
// turns the export's lines into keys and values, the writer turns those into script lines.
// The output compiles in Inno Setup 6 and installs the data the export holds; what Inno Setup
// cannot express is written as a "; " comment line that says so.

#include "regconv/RegConvOptions.h"
#include "regconv/RegFileDecoding.h"
#include "regconv/RegTypes.h"
#include "regconv/TextSink.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <string>

class QFile;

class TAdvancedRegConverter {
public:
    TAdvancedRegConverter();
    ~TAdvancedRegConverter();
    TAdvancedRegConverter(const TAdvancedRegConverter&) = delete;
    TAdvancedRegConverter& operator=(const TAdvancedRegConverter&) = delete;

    // Converts a file and shows the result in `OutputMemo`. Returns false without touching the
    // sink when there is no sink or no such file; when the file cannot be read or converted the
    // sink holds the single line "Error: " + message and the result is false.
    bool ConvertFromFileToMemo(const QString& RegFileName, ITextSink* OutputMemo);
    // Converts an export key by key, each key's lines going to `Sink` as soon as they are
    // written, and keeps neither the export nor the section: for exports of any size. `Input`
    // is opened here unless it is open (standard input, say). On an error returns false with
    // the message in `Error`; the lines written before it stay with the sink, which is not
    // cleared. A sink that does not proceed ends the conversion (an error too).
    bool StreamToSink(QFile& Input, const QString& Name, ITextSink* Sink, QString& Error);
    // Converts text; every line of the result ends in CR LF.
    QString ConvertFromText(const QString& RegText);

    [[nodiscard]] const QStringList& ISSContent() const { return FISSContent; }
    [[nodiscard]] const QList<TRegKey>& RegKeys() const { return FRegKeys; }

    // Where the uninstall options come from; all off when none is set.
    void SetOptionsSource(TRegConvOptionsSource source) { FOptionsSource = std::move(source); }
    // The code page of files without a byte-order mark; empty: the system's default.
    void SetAnsiCodePage(const QString& codePage) { FAnsiCodePage = codePage; }

private:
    // Reads with `read`, converts, and fills `sink` (or gives it the one "Error: " line).
    bool Convert(const std::function<TRegFileText()>& read, ITextSink* sink);
    // How hex(1)/hex(2)/hex(7) text is decoded, from what the file's encoding tells.
    void UseHexTextEncoding(bool unicodeFile, const QString& fileCodePage);
    // Streaming: writes what the last line read gave (a key, a value) and lets it go.
    void WriteStreamed();

    // Reader: line by line, so an export can be read in pieces.
    void ParseRegLines(const QList<QStringView>& lines);
    void BeginParse();
    void ParseLine(QStringView line);
    void EndParse();
    void ContinueValue(QStringView trimmed);
    // Whether hex data ends in a backslash that continues it on the next line; removes the
    // backslash. A backslash that does not follow a complete item sets `fault`.
    static bool EndsInContinuation(QStringView& data, TRegLineFault& fault);
    void ReadValueLine(QStringView trimmed);
    void FinishContinuedValue();
    void AddKey(TRegKey key);
    // A line that is not imported, kept as written in the current key (or before the first).
    void AddLineFault(QStringView line, TRegLineFault fault);
    // A streamed value keeps the views (FValue) until it is written, before the next line.
    void AddValue(QStringView name, QStringView data, TRegDataType type, bool deleted,
                  TRegLineFault fault);
    static bool IsDWordData(QStringView data);
    static bool IsMultiStringData(QStringView data);
    static bool IsHexData(QStringView data);

    // Writer: a key's line when the key begins, then a line per value, into FOut; so a streamed
    // conversion writes each line as soon as it is read.
    void GenerateISSContent();
    void BeginWrite(); // takes the options
    void WriteKey(const TRegKey& key);
    void WriteKeyHead(const TRegKey& key);
    void WriteKeyValue(const TRegKey& key, const TRegValueView& value);
    // The key is not written: a comment says why, and each value's says `valueReason`.
    void WriteKeyComment(const TRegKey& key, const QString& keyReason, const QString& valueReason);
    void AppendLine(QStringView line);
    void EndLine() { FOut.append(u"\r\n", 2); }
    static bool SplitKeyPath(QStringView path, QStringView& root, QStringView& subkey);
    static QStringView TrimBackslashes(QStringView text);
    // Inno Setup's short name of a root (HKEY_CURRENT_USER or HKCU -> HKCU, any letter case);
    // empty when it names no registry root.
    static QString ConvertRootKey(QStringView root);
    static QStringView GetValueTypeName(TRegDataType type);
    // What a value's data becomes: its ValueType, with the ValueData in FData; or why Inno
    // Setup cannot express it or the registry editor would not import it (Problem not empty:
    // the value is written as a comment).
    struct TValueData {
        TRegDataType Type = TRegDataType::rdString;
        QString Problem;
    };
    TValueData FormatValueData(const TRegValueView& value);
    static void CompactHex(const QByteArray& bytes, std::u16string& out);
    static QString FormatMultiString(QStringView text, std::u16string& out);
    QString HexToText(const QByteArray& bytes, QString& text) const;
    // The options' place for a key: the 32-bit view for WOW6432Node, HKA for classes.
    void PlaceKey(QString& root, QString& subkey) const;
    // Why the privileges option leaves a key with this root out; empty when it is written.
    [[nodiscard]] QString PrivilegesProblem(const QString& root, QStringView subkey) const;
    // What ends every line of a key: its install-time check and the MinVersion.
    [[nodiscard]] QString LineTail(const QString& root) const;
    static void AppendValueName(std::u16string& out, QStringView name);

    QStringList FISSContent;
    QList<TRegKey> FRegKeys;
    int FCurrentKeyIndex = -1;
    bool FFirstLine = true;   // no line with content read yet
    bool FContinuing = false; // FContinued's hex data goes on in the next line
    TRegValue FContinued;
    ITextSink* FOutputMemo = nullptr;

    TRegConvOptionsSource FOptionsSource;
    QStringView FKeyFlags;    // " Flags: ...;" of every key line, or empty
    QStringView FValueFlags;  // likewise for value lines
    TRegConvOptions FOptions; // of the running conversion
    QString FKeyTail;         // LineTail of the key being written
    QString FTailRoot;        // the root FKeyTail was made for
    QString FAnsiCodePage;
    // hex(1)/hex(2)/hex(7) bytes are UTF-16LE (version 5 exports) or ANSI (REGEDIT4 exports);
    // the header line decides, the file's encoding when there is none.
    bool FUnicodeHexText = true;
    QString FHexCodePage; // code page of ANSI hex text; empty: the system's default

    // Streaming keeps only the key being read, and each value only until it is written.
    bool FStreaming = false;
    bool FNewKey = false;
    bool FNewValue = false;
    TRegValueView FValue;
    // Where an escaped name or string is undone; reused for every value.
    QString FNameBuffer;
    QString FDataBuffer;

    // The lines written, each ending in CR LF; a streamed conversion hands them over now and
    // then.
    std::u16string FOut;
    std::u16string FKeyPrefix; // "Root: ...; Subkey: \"...\";" of the key being written
    bool FKeyWritten = false;  // its values are written, not commented out
    QString FValueReason;      // why they are not, when the key is not written
    // Buffers the writer reuses for every value.
    std::u16string FData;
    QString FText;
    QByteArray FBytes;
};
