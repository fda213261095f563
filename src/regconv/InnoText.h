#pragma once

// How text is written into an Inno Setup script line. Inside a quoted parameter value a double
// quote is doubled, and "{" starts a constant, so a literal "{" is written "{{". A backslash is
// never an escape.

#include <QString>
#include <QStringView>

namespace qm::regconv {

// Appends `text` with every "{" and every double quote doubled.
void AppendInnoEscaped(QString& out, QStringView text);
// `text` escaped and enclosed in double quotes.
QString InnoQuoted(QStringView text);

// A comment line ("; " + text) that is safe to place in a script: no line break inside, and no
// backslash at its end (the preprocessor would join the next line to it).
QString InnoComment(QStringView text);

} // namespace qm::regconv
