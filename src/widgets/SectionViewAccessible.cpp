#include "widgets/SectionViewAccessible.h"

#include "widgets/SectionView.h"
#include "widgets/TextPieces.h"

#include <QGroupBox>
#include <climits>

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1StringView("TSectionView") && object && object->isWidgetType())
        return new TSectionViewAccessible(static_cast<TSectionView*>(object));
    return nullptr;
}

int Clamped(qsizetype n) {
    return static_cast<int>(std::min<qsizetype>(n, INT_MAX));
}

// The piece at, before or after `offset`, found in the lines around it: the stretch widens
// until what was found (or that nothing was) cannot depend on the lines outside it.
QString AroundOffset(const TSectionText& text, int offset, QAccessible::TextBoundaryType boundary,
                     TPieceSide side, int* start, int* end) {
    *start = *end = -1;
    if (boundary == QAccessible::NoBoundary) // nothing lies before or after all of it
        return {};
    const qsizetype size = text.JoinedSize();
    if (offset == -1)
        offset = Clamped(size);
    if (offset < 0 || offset > size || text.LineCount() == 0)
        return {};
    const qsizetype line = text.PosOf(offset).Line;
    const qsizetype last = text.LineCount() - 1;
    for (qsizetype reach = 1;; reach *= 4) {
        const TTextPos first{std::max<qsizetype>(0, line - reach), 0};
        const qsizetype lastLine = std::min(last, line + reach);
        const qsizetype from = text.OffsetOf(first);
        const QString stretch = text.Text(first, {lastLine, text.LineLength(lastLine)}, u"\n");
        int s = -1;
        int e = -1;
        const QString found =
            TextPiece(stretch, static_cast<int>(offset - from), boundary, side, &s, &e);
        const bool fromStart = first.Line == 0;
        const bool toEnd = lastLine == last;
        const bool exact = s >= 0 ? (s > 0 || fromStart) && (e < stretch.size() || toEnd)
                                  : (side == TPieceSide::Before ? fromStart : toEnd);
        if (exact) {
            if (s >= 0) {
                *start = static_cast<int>(from + s);
                *end = static_cast<int>(from + e);
            }
            return found;
        }
    }
}

} // namespace

TSectionViewAccessible::TSectionViewAccessible(TSectionView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void TSectionViewAccessible::InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

TSectionView* TSectionViewAccessible::View() const {
    return static_cast<TSectionView*>(widget());
}

// Named as the group it stands in is captioned, unless given a name of its own.
QString TSectionViewAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        for (const QWidget* up = widget()->parentWidget(); up; up = up->parentWidget())
            if (const auto* box = qobject_cast<const QGroupBox*>(up))
                return QString(box->title()).remove(u'&');
    }
    // The value of a text area is its text: read through the text interface, never at once.
    if (t == QAccessible::Value)
        return {};
    return QAccessibleWidget::text(t);
}

QAccessible::State TSectionViewAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.editable = false;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

void* TSectionViewAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void TSectionViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !View()->HasSelection())
        return;
    const TSectionText& text = View()->Lines();
    *startOffset = Clamped(text.OffsetOf(std::min(View()->Anchor(), View()->Caret())));
    *endOffset = Clamped(text.OffsetOf(std::max(View()->Anchor(), View()->Caret())));
}

int TSectionViewAccessible::selectionCount() const {
    return View()->HasSelection() ? 1 : 0;
}

// One selection at most, as in a text area: adding one replaces it.
void TSectionViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void TSectionViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        View()->SetSelection(View()->Caret(), View()->Caret());
}

void TSectionViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0)
        return;
    const TSectionText& text = View()->Lines();
    View()->SetSelection(text.PosOf(startOffset), text.PosOf(endOffset));
}

int TSectionViewAccessible::cursorPosition() const {
    return Clamped(View()->Lines().OffsetOf(View()->Caret()));
}

void TSectionViewAccessible::setCursorPosition(int position) {
    View()->MoveCaret(View()->Lines().PosOf(position), false);
}

QString TSectionViewAccessible::text(int startOffset, int endOffset) const {
    return View()->Lines().Joined(startOffset, endOffset);
}

QString TSectionViewAccessible::textBeforeOffset(int offset,
                                                 QAccessible::TextBoundaryType boundaryType,
                                                 int* startOffset, int* endOffset) const {
    return AroundOffset(View()->Lines(), offset, boundaryType, TPieceSide::Before, startOffset,
                        endOffset);
}

QString TSectionViewAccessible::textAfterOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const {
    return AroundOffset(View()->Lines(), offset, boundaryType, TPieceSide::After, startOffset,
                        endOffset);
}

QString TSectionViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
    if (boundaryType == QAccessible::NoBoundary) { // all of it, copied once
        *startOffset = 0;
        *endOffset = characterCount();
        return text(0, *endOffset);
    }
    return AroundOffset(View()->Lines(), offset, boundaryType, TPieceSide::At, startOffset,
                        endOffset);
}

int TSectionViewAccessible::characterCount() const {
    return Clamped(View()->Lines().JoinedSize());
}

QRect TSectionViewAccessible::characterRect(int offset) const {
    const QRect r = View()->CharacterRect(View()->Lines().PosOf(offset));
    return r.isNull() ? r : r.translated(View()->viewport()->mapToGlobal(QPoint(0, 0)));
}

int TSectionViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint at = View()->viewport()->mapFromGlobal(point);
    if (!View()->viewport()->rect().contains(at))
        return -1;
    return Clamped(View()->Lines().OffsetOf(View()->PosAt(at)));
}

void TSectionViewAccessible::scrollToSubstring(int startIndex, int) {
    View()->MoveCaret(View()->Lines().PosOf(startIndex), false);
}

// Plain text throughout: no runs of their own attributes.
QString TSectionViewAccessible::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}
