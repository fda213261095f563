#pragma once

// Reads [Registry] and [Files] section lines back the way Inno Setup 6 reads them, and says
// why it would reject a line. Tests use it to prove that the generators' output compiles, that
// no line runs preprocessor code or splits, and that it installs what the export or the folder
// holds. Each line passes, as in Inno Setup:
// - the text area and the script file: CR, LF, NUL, U+2028, U+2029, U+FDD0 and U+FDD1 split
//   or cut a line, in comments too;
// - the preprocessor: a line that is not a comment ("; ", "#", "//") has every "{#...}"
//   evaluated; only a string expression {#"text"} is accepted, anything else is an error (it
//   would run code); a line ending in a backslash would be joined to the next;
// - the compiler: parameters split at ";", quotes doubled, constants expanded where they are.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace qm::testing {

struct InnoRegEntry {
    QString Root;
    QString Subkey; // "{{" read as "{"; install-time constants kept as written
    QString ValueType = QStringLiteral("none");
    bool HasValueName = false;
    QString ValueName; // constants expanded
    bool HasValueData = false;
    QString Text;        // string, expandsz
    QStringList Strings; // multisz, split at {break}
    quint64 Number = 0;  // dword, qword
    QByteArray Bytes;    // binary
    QStringList Flags;
    QString Check;      // the install-time check, as written
    QString MinVersion; // as written
    // A parameter holds an install-time constant ({app}, {%TEMP}): the compiler takes it, but
    // what is installed is no longer the text as written. No generator may write one.
    bool Expands = false;
};

enum class InnoLineKind { Empty, Section, Comment, Entry };

struct InnoLine {
    InnoLineKind Kind = InnoLineKind::Empty;
    InnoRegEntry Entry;
    QString Error; // non-empty: Inno Setup would not compile this line
};

InnoLine ParseInnoRegistryLine(const QString& line);

struct InnoFilesEntry {
    QString Source;  // as the compiler reads it (constants kept as written, "{{" -> "{")
    QString DestDir; // likewise
    QStringList Flags;
};

struct InnoFilesLine {
    InnoLineKind Kind = InnoLineKind::Empty;
    InnoFilesEntry Entry;
    QString Error;
};

// With `sourceDir`, a Source not marked external must name a file below it, as the compiler
// requires.
InnoFilesLine ParseInnoFilesLine(const QString& line, const QString& sourceDir = {});

// A line of any section with parameters ([Tasks], [Icons], [Run], ...) under `header`: its
// parameters by name as the compiler reads them; each must be one of `known`, given once.
struct InnoEntryLine {
    InnoLineKind Kind = InnoLineKind::Empty;
    QMap<QString, QString> Parameters;
    QString Error;
};

InnoEntryLine ParseInnoEntryLine(const QString& line, const QString& header,
                                 const QStringList& known);

// The line after the preprocessor; `error` says why it would not pass.
QString PreprocessInnoLine(const QString& line, QString& error);

} // namespace qm::testing
