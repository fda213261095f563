#pragma once

// Version texts: dotted decimal numbers such as 1.4.0.2, as the running build reports its own
// and as the download server's version file holds the newest one.

#include <QByteArray>
#include <QString>

namespace qm::update {

// The text with leading and trailing blanks and control characters (line ends included)
// removed.
QString TrimVersionText(const QString& text);

// The version a server's version file holds: its bytes as UTF-8 without a byte-order mark (as a
// Windows editor may write one), trimmed.
QString ServerVersionText(const QByteArray& body);

// 1 when version A is newer than B, -1 when older, 0 when equal. Components are compared as
// decimal integers, the first unequal pair deciding; a missing component, or one that is not a
// number ("beta"), counts as 0. Blanks and control characters around a component are skipped,
// and between two words they end the first: "2.0 beta" has the components 2, 0 and beta.
int CompareVersions(const QString& A, const QString& B);

} // namespace qm::update
