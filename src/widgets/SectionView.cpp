#include "widgets/SectionView.h"

#include "innotext/InnoText.h"
#include "widgets/SectionViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

constexpr int kMargin = 4; // around the text, as a text area's document has
// Lines up to this length are laid out whole; of a longer line only the stretch in view is,
// so a line of megabytes (a large binary value) paints as fast as a short one.
constexpr qsizetype kWholeLine = 4096;

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

TSectionView::TSectionView(QWidget* parent) : QAbstractScrollArea(parent) {
    TSectionViewAccessible::InstallFactory();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    FAutoScroll = new QTimer(this);
    FAutoScroll->setInterval(50);
    connect(FAutoScroll, &QTimer::timeout, this, &TSectionView::AutoScroll);
    UpdateScrollBars();
}

void TSectionView::clear() {
    if (QAccessible::isActive() && FText.LineCount() > 0) {
        QAccessibleTextRemoveEvent removed(this, 0, FText.All(u"\n"));
        QAccessible::updateAccessibility(&removed);
    }
    FText.Clear();
    FAnchor = FCaret = FToldAnchor = FToldCaret = {};
    FGoalColumn = -1;
    FWidestSeen = 0;
    UpdateScrollBars();
    viewport()->update();
}

void TSectionView::AppendLines(const QStringList& lines) {
    if (!lines.isEmpty())
        AppendFollowingEnd([&] { FText.Append(lines); });
}

void TSectionView::AppendText(QStringView lines) {
    if (!lines.isEmpty())
        AppendFollowingEnd([&] { FText.AppendText(lines); });
}

void TSectionView::AppendFollowingEnd(const std::function<void()>& append) {
    // Following the end, as a text area does: when the last line was in view, it stays so.
    const bool atEnd = isVisible() && FText.LineCount() <= FirstVisibleLine() + VisibleLines();
    const qsizetype before = FText.JoinedSize();
    append();
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, static_cast<int>(before),
                                            FText.Joined(before, FText.JoinedSize()));
        QAccessible::updateAccessibility(&inserted);
    }
    UpdateScrollBars();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void TSectionView::setPlainText(const QString& text) {
    clear();
    if (!text.isEmpty())
        AppendLines(text.split(u'\n'));
}

void TSectionView::selectAll() {
    if (FText.LineCount() == 0)
        return;
    const qsizetype last = FText.LineCount() - 1;
    SetSelection({0, 0}, {last, FText.LineLength(last)});
}

void TSectionView::SetSelection(TTextPos anchor, TTextPos caret) {
    const auto clamp = [this](TTextPos p) {
        if (FText.LineCount() == 0)
            return TTextPos{};
        p.Line = std::clamp<qsizetype>(p.Line, 0, FText.LineCount() - 1);
        p.Column = ClampColumn(p.Line, p.Column);
        return p;
    };
    FAnchor = clamp(anchor);
    FCaret = clamp(caret);
    NotifyCaret();
    viewport()->update();
}

void TSectionView::NotifyCaret() {
    if (!QAccessible::isActive() || (FAnchor == FToldAnchor && FCaret == FToldCaret))
        return;
    const bool selected = FAnchor != FCaret || FToldAnchor != FToldCaret;
    const bool moved = FCaret != FToldCaret;
    FToldAnchor = FAnchor;
    FToldCaret = FCaret;
    if (moved) {
        QAccessibleTextCursorEvent event(this, static_cast<int>(FText.OffsetOf(FCaret)));
        QAccessible::updateAccessibility(&event);
    }
    if (selected) {
        const qsizetype from = FText.OffsetOf(std::min(FAnchor, FCaret));
        const qsizetype to = FText.OffsetOf(std::max(FAnchor, FCaret));
        QAccessibleTextSelectionEvent event(this, static_cast<int>(from), static_cast<int>(to));
        QAccessible::updateAccessibility(&event);
    }
}

QString TSectionView::SelectedText(QStringView separator) const {
    return FText.Text(FAnchor, FCaret, separator);
}

int TSectionView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TSectionView::VisibleLines() const {
    return std::max(1, (viewport()->height() - kMargin) / LineHeight());
}

qsizetype TSectionView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

void TSectionView::UpdateScrollBars() {
    const int visible = VisibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(
        0, static_cast<int>(std::clamp<qsizetype>(FText.LineCount() - visible, 0, INT_MAX)));
    vertical->setPageStep(visible);
    // The widest line is not known until it is laid out: estimated from the longest, and
    // widened when a line laid out turns out wider.
    const qreal estimate =
        static_cast<qreal>(FText.LongestLine()) * fontMetrics().averageCharWidth();
    const qreal width = std::max(estimate, FWidestSeen) + 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, static_cast<int>(std::clamp<qreal>(width - viewport()->width(), 0,
                                                               static_cast<qreal>(INT_MAX / 2))));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
}

TSectionView::TShownLine TSectionView::Shown(qsizetype line, int scrolled) const {
    TShownLine shown;
    shown.Text = FText.Line(line);
    if (shown.Text.size() <= kWholeLine)
        return shown;
    // A generous stretch: proportional glyphs may be narrower than the average.
    const qreal average = std::max(1, fontMetrics().averageCharWidth());
    qsizetype first = static_cast<qsizetype>(scrolled / average) - 64;
    first = std::clamp<qsizetype>(first, 0, shown.Text.size());
    qsizetype end = first + static_cast<qsizetype>(viewport()->width() / average) * 3 + 128;
    end = std::min(end, shown.Text.size());
    if (first > 0 && shown.Text[first].isLowSurrogate())
        --first;
    if (end < shown.Text.size() && shown.Text[end].isLowSurrogate())
        ++end;
    shown.X = static_cast<qreal>(first) * average;
    shown.First = first;
    shown.Text = shown.Text.sliced(first, end - first);
    return shown;
}

void TSectionView::LayOut(QTextLayout& layout, const QString& text) const {
    layout.setText(text);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

bool TSectionView::NeedsLook(qsizetype line) const {
    return FText.LineStartsWith(line, qm::innotext::kNotConvertedLead);
}

bool TSectionView::SelectNextNeedingLook(bool forward) {
    const qsizetype lines = FText.LineCount();
    for (qsizetype i = 1; i <= lines; ++i) {
        const qsizetype line = ((FCaret.Line + (forward ? i : -i)) % lines + lines) % lines;
        if (NeedsLook(line)) {
            FAnchor = {line, 0};
            FGoalColumn = -1;
            MoveCaret({line, FText.LineLength(line)}, true);
            return true;
        }
    }
    return false;
}

namespace {

// WCAG 2.1's relative luminance and contrast ratio.
double Luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

QColor TSectionView::NeedsLookColour(const QPalette& palette) {
    const QColor ground = palette.color(QPalette::Base);
    // A deep red on a light ground, a light one on a dark ground.
    const QColor colour =
        Luminance(ground) > 0.18 ? QColor(0xa4, 0x26, 0x2c) : QColor(0xff, 0x99, 0xa4);
    return Contrast(colour, ground) >= 4.5 ? colour : palette.color(QPalette::Text);
}

void TSectionView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const QColor textColour = colours.color(QPalette::Text);
    const QColor lookColour = NeedsLookColour(colours);
    QTextCharFormat selected;
    selected.setBackground(colours.brush(QPalette::Highlight));
    selected.setForeground(colours.brush(QPalette::HighlightedText));
    const TTextPos from = std::min(FAnchor, FCaret);
    const TTextPos to = std::max(FAnchor, FCaret);
    const int height = LineHeight();
    const int scrolled = horizontalScrollBar()->value();
    const qreal widest = FWidestSeen;

    int y = kMargin;
    for (qsizetype i = FirstVisibleLine(); i < FText.LineCount() && y < viewport()->height();
         ++i, y += height) {
        const TShownLine shown = Shown(i, scrolled);
        QTextLayout layout;
        LayOut(layout, shown.Text);
        painter.setPen(NeedsLook(i) ? lookColour : textColour);
        const QPointF at(kMargin + shown.X - scrolled, y);
        QList<QTextLayout::FormatRange> selections;
        const bool inSelection = HasSelection() && i >= from.Line && i <= to.Line;
        if (inSelection) {
            const qsizetype start = (i == from.Line ? from.Column : 0) - shown.First;
            const qsizetype end = i == to.Line ? to.Column - shown.First : shown.Text.size();
            const int a = static_cast<int>(std::clamp<qsizetype>(start, 0, shown.Text.size()));
            const int b = static_cast<int>(std::clamp<qsizetype>(end, 0, shown.Text.size()));
            if (b > a)
                selections.append({a, b - a, selected});
        }
        layout.draw(&painter, at, selections);
        const qreal textWidth = layout.lineAt(0).naturalTextWidth();
        // The line's end is selected too: a blank's width after the text shows it, as text
        // areas do, and makes a selected empty line visible.
        if (inSelection && i < to.Line)
            painter.fillRect(
                QRectF(at.x() + textWidth, y, fontMetrics().horizontalAdvance(u' '), height),
                colours.brush(QPalette::Highlight));
        if (hasFocus() && i == FCaret.Line)
            layout.drawCursor(&painter, at, static_cast<int>(FCaret.Column - shown.First));
        FWidestSeen = std::max(FWidestSeen, shown.X + textWidth);
    }
    if (FWidestSeen > widest)
        QTimer::singleShot(0, this, &TSectionView::UpdateScrollBars);
}

void TSectionView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TSectionView::scrollContentsBy(int, int) {
    viewport()->update();
}

void TSectionView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FWidestSeen = 0;
        UpdateScrollBars();
    }
    viewport()->update();
}

void TSectionView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TSectionView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

qsizetype TSectionView::ClampColumn(qsizetype line, qsizetype column) const {
    return std::clamp<qsizetype>(column, 0, FText.LineLength(line));
}

TTextPos TSectionView::PosAt(const QPoint& point) const {
    if (FText.LineCount() == 0)
        return {};
    const qsizetype row =
        static_cast<qsizetype>(std::floor(static_cast<double>(point.y() - kMargin) / LineHeight()));
    const qsizetype line =
        std::clamp<qsizetype>(FirstVisibleLine() + row, 0, FText.LineCount() - 1);
    const int scrolled = horizontalScrollBar()->value();
    const TShownLine shown = Shown(line, scrolled);
    QTextLayout layout;
    LayOut(layout, shown.Text);
    const qreal x = point.x() + scrolled - kMargin - shown.X;
    return {line, shown.First + layout.lineAt(0).xToCursor(x)};
}

void TSectionView::MoveCaret(TTextPos to, bool keepAnchor) {
    FCaret = to;
    if (!keepAnchor)
        FAnchor = to;
    EnsureCaretVisible();
    NotifyCaret();
    viewport()->update();
}

QRect TSectionView::CharacterRect(TTextPos pos) const {
    const qsizetype row = pos.Line - FirstVisibleLine();
    if (FText.LineCount() == 0 || row < 0 || row >= VisibleLines())
        return {};
    const int scrolled = horizontalScrollBar()->value();
    const TShownLine shown = Shown(pos.Line, scrolled);
    const qsizetype column = pos.Column - shown.First;
    if (column < 0 || column > shown.Text.size())
        return {};
    QTextLayout layout;
    LayOut(layout, shown.Text);
    const QTextLine line = layout.lineAt(0);
    const int c = static_cast<int>(column);
    const qreal x = line.cursorToX(c);
    // At a line's end the character is its line break: a blank's width.
    const qreal next =
        c < shown.Text.size() ? line.cursorToX(c + 1) : x + fontMetrics().horizontalAdvance(u' ');
    const qreal left = kMargin + shown.X - scrolled + std::min(x, next);
    return QRectF(left, kMargin + static_cast<qreal>(row) * LineHeight(), std::abs(next - x),
                  LineHeight())
        .toAlignedRect();
}

void TSectionView::EnsureCaretVisible() {
    QScrollBar* vertical = verticalScrollBar();
    const qsizetype top = FirstVisibleLine();
    if (FCaret.Line < top)
        vertical->setValue(static_cast<int>(FCaret.Line));
    else if (FCaret.Line >= top + VisibleLines())
        vertical->setValue(static_cast<int>(FCaret.Line - VisibleLines() + 1));
    if (FText.LineCount() == 0)
        return;
    // Of a very long line only a stretch is laid out, chosen by the scrolling: where the caret
    // lands depends a little on the scrolling itself, so it is checked again after a change.
    QScrollBar* horizontal = horizontalScrollBar();
    const int room = viewport()->width() - 2 * kMargin;
    for (int tries = 0; tries < 3; ++tries) {
        const int scrolled = horizontal->value();
        const std::optional<qreal> x = CaretX(scrolled);
        if (!x) { // not in the stretch laid out: first near where the average width puts it
            horizontal->setValue(static_cast<int>(std::min<qreal>(
                static_cast<qreal>(FCaret.Column) * fontMetrics().averageCharWidth() -
                    static_cast<qreal>(room) / 2,
                INT_MAX / 2)));
        } else if (*x >= scrolled && *x <= scrolled + room) {
            break;
        } else {
            horizontal->setValue(*x < scrolled ? static_cast<int>(*x)
                                               : static_cast<int>(*x) - room + 1);
        }
        if (horizontal->value() == scrolled)
            break;
    }
}

std::optional<qreal> TSectionView::CaretX(int scrolled) const {
    const TShownLine shown = Shown(FCaret.Line, scrolled);
    const qsizetype column = FCaret.Column - shown.First;
    if (column < 0 || column > shown.Text.size())
        return std::nullopt;
    QTextLayout layout;
    LayOut(layout, shown.Text);
    return shown.X + layout.lineAt(0).cursorToX(static_cast<int>(column));
}

void TSectionView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        if (HasSelection())
            QGuiApplication::clipboard()->setText(SelectedText(u"\r\n"));
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event->key() == Qt::Key_F8 &&
        (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::ShiftModifier)) {
        if (!SelectNextNeedingLook(!(event->modifiers() & Qt::ShiftModifier)))
            QApplication::beep();
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        OpenContextMenuAtCaret();
        return;
    }
    const qsizetype lines = FText.LineCount();
    if (lines == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    TTextPos to = FCaret;
    const qsizetype length = FText.LineLength(to.Line);
    const auto vertically = [&](qsizetype by) {
        if (FGoalColumn < 0)
            FGoalColumn = FCaret.Column;
        to.Line = std::clamp<qsizetype>(to.Line + by, 0, lines - 1);
        to.Column = ClampColumn(to.Line, FGoalColumn);
    };
    const auto step = [&](int by) {
        // With a selection, the caret goes to its start or end.
        if (HasSelection() && !event->modifiers().testFlag(Qt::ShiftModifier)) {
            to = by < 0 ? std::min(FAnchor, FCaret) : std::max(FAnchor, FCaret);
            return;
        }
        const QString text = FText.Line(to.Line);
        if (by > 0 && to.Column >= text.size()) {
            if (to.Line + 1 < lines)
                to = {to.Line + 1, 0};
        } else if (by < 0 && to.Column == 0) {
            if (to.Line > 0)
                to = {to.Line - 1, FText.LineLength(to.Line - 1)};
        } else {
            to.Column += by;
            if (to.Column > 0 && to.Column < text.size() && text[to.Column].isLowSurrogate())
                to.Column += by;
        }
    };
    struct TMove {
        QKeySequence::StandardKey Move;
        QKeySequence::StandardKey Select;
    };
    static const TMove kMoves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
    };
    for (const TMove& move : kMoves) {
        const bool select = event->matches(move.Select);
        if (!select && !event->matches(move.Move))
            continue;
        const bool upOrDown = move.Move == QKeySequence::MoveToNextLine ||
                              move.Move == QKeySequence::MoveToPreviousLine ||
                              move.Move == QKeySequence::MoveToNextPage ||
                              move.Move == QKeySequence::MoveToPreviousPage;
        switch (move.Move) {
        case QKeySequence::MoveToNextChar:
            step(1);
            break;
        case QKeySequence::MoveToPreviousChar:
            step(-1);
            break;
        case QKeySequence::MoveToNextWord:
        case QKeySequence::MoveToPreviousWord:
            to = WordStep(to, move.Move == QKeySequence::MoveToNextWord);
            break;
        case QKeySequence::MoveToNextLine:
            vertically(1);
            break;
        case QKeySequence::MoveToPreviousLine:
            vertically(-1);
            break;
        case QKeySequence::MoveToNextPage:
            vertically(VisibleLines());
            break;
        case QKeySequence::MoveToPreviousPage:
            vertically(-VisibleLines());
            break;
        case QKeySequence::MoveToStartOfLine:
            to.Column = 0;
            break;
        case QKeySequence::MoveToEndOfLine:
            to.Column = length;
            break;
        case QKeySequence::MoveToStartOfDocument:
            to = {};
            break;
        default:
            to = {lines - 1, FText.LineLength(lines - 1)};
            break;
        }
        if (!upOrDown)
            FGoalColumn = -1;
        MoveCaret(to, select);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TSectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    FGoalColumn = -1;
    FLastMouse = event->position().toPoint();
    if (FSinceDoubleClick.isValid() &&
        FSinceDoubleClick.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        (FLastMouse - FDoubleClickAt).manhattanLength() <
            QGuiApplication::styleHints()->startDragDistance()) {
        FSinceDoubleClick.invalidate();
        if (FText.LineCount() > 0)
            SelectLineAt(PosAt(FLastMouse));
        return;
    }
    FSelecting = true;
    MoveCaret(PosAt(FLastMouse), event->modifiers() & Qt::ShiftModifier);
}

void TSectionView::mouseMoveEvent(QMouseEvent* event) {
    if (!FSelecting || !(event->buttons() & Qt::LeftButton))
        return;
    FLastMouse = event->position().toPoint();
    MoveCaret(PosAt(FLastMouse), true);
    // Beyond the top or the bottom the view scrolls on while the button is held.
    if (viewport()->rect().contains(0, FLastMouse.y()))
        FAutoScroll->stop();
    else if (!FAutoScroll->isActive())
        FAutoScroll->start();
}

void TSectionView::AutoScroll() {
    if (!FSelecting) {
        FAutoScroll->stop();
        return;
    }
    const int y = FLastMouse.y();
    const int beyond = y < 0 ? y : y - viewport()->height();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->value() + (beyond / LineHeight() + (beyond < 0 ? -1 : 1)));
    MoveCaret(PosAt(FLastMouse), true);
}

void TSectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FSelecting = false;
        FAutoScroll->stop();
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

// The word under the pointer, as text areas select it.
void TSectionView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || FText.LineCount() == 0)
        return;
    FDoubleClickAt = event->position().toPoint();
    FSinceDoubleClick.start();
    SelectWordAt(PosAt(FDoubleClickAt));
}

void TSectionView::SelectWordAt(TTextPos at) {
    const QString text = FText.Line(at.Line);
    qsizetype start = std::min(at.Column, text.size());
    qsizetype end = start;
    while (start > 0 && IsWordChar(text[start - 1]))
        --start;
    while (end < text.size() && IsWordChar(text[end]))
        ++end;
    FAnchor = {at.Line, start};
    MoveCaret({at.Line, end}, true);
}

// The whole line with its line break, as a text area's triple click takes it.
void TSectionView::SelectLineAt(TTextPos at) {
    FAnchor = {at.Line, 0};
    MoveCaret(at.Line + 1 < FText.LineCount() ? TTextPos{at.Line + 1, 0}
                                              : TTextPos{at.Line, FText.LineLength(at.Line)},
              true);
}

TTextPos TSectionView::WordStep(TTextPos from, bool forward) const {
    const qsizetype length = FText.LineLength(from.Line);
    if (forward && from.Column >= length)
        return from.Line + 1 < FText.LineCount() ? TTextPos{from.Line + 1, 0} : from;
    if (!forward && from.Column == 0)
        return from.Line > 0 ? TTextPos{from.Line - 1, FText.LineLength(from.Line - 1)} : from;
    QTextLayout layout;
    LayOut(layout, FText.Line(from.Line));
    const int column = static_cast<int>(from.Column);
    return {from.Line, forward ? layout.nextCursorPosition(column, QTextLayout::SkipWords)
                               : layout.previousCursorPosition(column, QTextLayout::SkipWords)};
}

// The menu a right click opens, at the caret (or the view's corner when it is out of sight).
void TSectionView::OpenContextMenuAtCaret() {
    EnsureCaretVisible();
    QRect caret = CharacterRect(FCaret);
    QPoint at = caret.isNull() ? QPoint(kMargin, kMargin) : caret.bottomLeft();
    at = viewport()->mapTo(this, at);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
    QCoreApplication::sendEvent(this, &event);
}
