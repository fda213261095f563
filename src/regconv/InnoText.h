#pragma once

// How text is written into an Inno Setup script line. Inside a quoted parameter value a double
// quote is doubled, and "{" starts a constant, so a literal "{" is written "{{". A backslash is
// never an escape.

#include <QString>
#include <QStringView>
#include <string>

namespace qm::regconv {

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

// Appends `text` with every "{" and every double quote doubled.
void AppendInnoEscaped(TLineBuffer& out, QStringView text);
// `text` escaped and enclosed in double quotes.
QString InnoQuoted(QStringView text);

// A comment line ("; " + text) that is safe to place in a script: no line break inside, and no
// backslash at its end (the preprocessor would join the next line to it).
QString InnoComment(QStringView text);

} // namespace qm::regconv
