#pragma once

// The pieces assistive tools ask a text for: the character, word, sentence or line at, before
// or after an offset. The text is cut into consecutive pieces (characters as users perceive
// them; words and the runs between them; sentences; lines with their '\n'), and the piece at an
// offset is the one that holds it; before and after are its neighbours. At the text's end there
// is no piece, only the one before. Every piece ends at a line break or within a line, so the
// section view asks the few lines around an offset and gets what the whole text would give.

#include <QAccessible>
#include <QString>

enum class TPieceSide { Before, At, After };

// The piece, with `start` and `end` set to its offsets (both -1 when there is none). An offset
// of -1 is the text's end.
QString TextPiece(const QString& text, int offset, QAccessible::TextBoundaryType boundary,
                  TPieceSide side, int* start, int* end);
