#pragma once

// How text is written into an Inno Setup script line, for the [Registry] and the [Files]
// generators alike. Four readers meet every line:
// - the text area that shows it: Qt's text layout starts a new line at U+2028 and U+2029, and
//   its documents use U+FDD0/U+FDD1 themselves, so a text holding one of them is not shown as
//   one line (nor copied as one, where a text document holds it);
// - Inno Setup's preprocessor, which runs first: on every line that is not a comment it
//   evaluates "{#...}" wherever it stands (doubling the brace does not stop it), and joins a
//   line that ends in a backslash to the next;
// - the compiler: a double quote inside a quoted value is doubled, and where constants are
//   expanded a literal "{" is written "{{"; a backslash is never an escape; a line ends at CR
//   or LF, and a NUL cuts it.
// Every "{#" of the text is therefore written through a preprocessor string expression that
// emits the same characters: {#"{{#"} where the compiler expands constants, {#"{#"} where not.

#include <QString>
#include <QStringView>
#include <string>

namespace qm::innotext {

// Script lines are assembled in a plain UTF-16 buffer: its appends are inline, which matters
// when a large export makes a million lines.
using TLineBuffer = std::u16string;

inline void Append(TLineBuffer& out, QStringView text) {
    out.append(reinterpret_cast<const char16_t*>(text.utf16()),
               static_cast<std::size_t>(text.size()));
}

inline QString ToQString(const TLineBuffer& line) {
    return QString(reinterpret_cast<const QChar*>(line.data()),
                   static_cast<qsizetype>(line.size()));
}

// Whether the compiler expands constants in the parameter: DestDir, Subkey, ValueName,
// ValueData, and Source with the external flag; not Source without it.
enum class TConstants { Expanded, Literal };

// Appends `text` as the inside of a quoted parameter value: double quotes doubled, "{" doubled
// where constants are expanded, every "{#" written through the preprocessor.
void AppendInnoEscaped(TLineBuffer& out, QStringView text,
                       TConstants constants = TConstants::Expanded);
// `text` escaped and enclosed in double quotes.
QString InnoQuoted(QStringView text, TConstants constants = TConstants::Expanded);

// Characters no script line may hold: NUL, CR, LF, U+2028, U+2029, U+FDD0, U+FDD1. Why `text`
// cannot be written, naming it as `what` ("the name holds a line break, ..."), or an empty text.
QString LineBreakingProblem(QStringView text, QStringView what);

// `text` with every control character and line or paragraph separator written as "<U+XXXX>".
QString VisibleText(QStringView text);

// A comment line ("; " + text) that is safe to place in a script: no control or separator
// character inside (each is written as "<U+XXXX>"), and no backslash at its end (the
// preprocessor would join the next line to it).
QString InnoComment(QStringView text);

// How every line begins that stands for something a generator could not convert.
inline constexpr char kNotConvertedLead[] = "; Not converted: ";

} // namespace qm::innotext
