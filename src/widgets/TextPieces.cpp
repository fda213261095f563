#include "widgets/TextPieces.h"

#include <QTextBoundaryFinder>

namespace {

// The piece that holds `pos` (0 <= pos < the text's size).
void Containing(const QString& text, QAccessible::TextBoundaryType boundary, int pos, int* start,
                int* end) {
    if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary) {
        *start = pos == 0 ? 0 : static_cast<int>(text.lastIndexOf(u'\n', pos - 1)) + 1;
        const auto lineBreak = static_cast<int>(text.indexOf(u'\n', pos));
        *end = lineBreak < 0 ? static_cast<int>(text.size()) : lineBreak + 1;
        return;
    }
    const auto type = boundary == QAccessible::WordBoundary       ? QTextBoundaryFinder::Word
                      : boundary == QAccessible::SentenceBoundary ? QTextBoundaryFinder::Sentence
                                                                  : QTextBoundaryFinder::Grapheme;
    QTextBoundaryFinder finder(type, text);
    finder.setPosition(pos);
    *start = static_cast<int>(finder.isAtBoundary() ? pos : finder.toPreviousBoundary());
    finder.setPosition(*start);
    *end = static_cast<int>(finder.toNextBoundary());
}

} // namespace

QString TextPiece(const QString& text, int offset, QAccessible::TextBoundaryType boundary,
                  TPieceSide side, int* start, int* end) {
    *start = *end = -1;
    const auto size = static_cast<int>(text.size());
    if (offset == -1)
        offset = size;
    if (offset < 0 || offset > size)
        return {};
    if (boundary == QAccessible::NoBoundary) { // all of it is one piece
        if (side != TPieceSide::At)
            return {};
        *start = 0;
        *end = size;
        return text;
    }
    int s = -1;
    int e = -1;
    if (offset < size)
        Containing(text, boundary, offset, &s, &e);
    if (side == TPieceSide::Before) {
        const int before = offset < size ? s : size;
        if (before <= 0)
            return {};
        Containing(text, boundary, before - 1, &s, &e);
    } else if (side == TPieceSide::After) {
        if (offset >= size || e >= size)
            return {};
        Containing(text, boundary, e, &s, &e);
    } else if (offset >= size) {
        return {};
    }
    *start = s;
    *end = e;
    return text.mid(s, e - s);
}
