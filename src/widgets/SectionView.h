#pragma once

// A read-only view of a generated section, for sections of any size: the lines are kept
// compactly (TSectionText) and only the lines on screen are laid out and painted, so appending
// a million lines costs about as much as writing them to a file. Selection by mouse and
// keyboard, copying, and scrolling as in a text area; while the end is in view, appended
// lines keep it in view. Assistive tools read it through TSectionViewAccessible.

#include "widgets/SectionText.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <functional>
#include <optional>

class QTextLayout;

class TSectionView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TSectionView(QWidget* parent = nullptr);

    void clear();
    void AppendLines(const QStringList& lines);
    // Lines each ending in CR LF.
    void AppendText(QStringView lines);
    // Lines separated by '\n', as a text area shows them.
    void setPlainText(const QString& text);
    [[nodiscard]] QString toPlainText() const { return FText.All(u"\n"); }
    [[nodiscard]] const TSectionText& Lines() const { return FText; }
    [[nodiscard]] qsizetype lineCount() const { return FText.LineCount(); }

    void selectAll();
    // The selection runs from `anchor` to the caret (either may come first).
    void SetSelection(TTextPos anchor, TTextPos caret);
    [[nodiscard]] TTextPos Anchor() const { return FAnchor; }
    [[nodiscard]] TTextPos Caret() const { return FCaret; }
    [[nodiscard]] bool HasSelection() const { return FAnchor != FCaret; }
    // The selected text, lines separated by `separator`.
    [[nodiscard]] QString SelectedText(QStringView separator) const;

    // Lines that need the user's look (what could not be converted) are drawn in a colour of
    // their own (F8 and Shift+F8 select the next and the previous one, from the caret on,
    // round the end); false when there is none.
    [[nodiscard]] bool NeedsLook(qsizetype line) const;
    bool SelectNextNeedingLook(bool forward);
    // That colour for a view of `palette`: at least 4.5:1 against its background.
    [[nodiscard]] static QColor NeedsLookColour(const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TSectionViewAccessible;

    // Where a character is drawn, in the viewport; empty when it is not in view.
    [[nodiscard]] QRect CharacterRect(TTextPos pos) const;
    // Tells assistive tools, while one listens, that the caret moved or the selection changed.
    void NotifyCaret();
    void SelectWordAt(TTextPos at);
    void SelectLineAt(TTextPos at);
    // The caret one word on, as text areas move it (a line's end and start are stops).
    [[nodiscard]] TTextPos WordStep(TTextPos from, bool forward) const;
    void OpenContextMenuAtCaret();

    // Runs `append` and keeps the last line in view if it was.
    void AppendFollowingEnd(const std::function<void()>& append);
    // The part of a line that is laid out: all of it, or for a very long line the stretch
    // around what is in view, placed where its first character would be.
    struct TShownLine {
        QString Text;
        qsizetype First = 0; // the column of Text[0]
        qreal X = 0;         // where Text[0] is drawn, before horizontal scrolling
    };
    // `scrolled`: the horizontal scrolling the stretch is chosen for.
    [[nodiscard]] TShownLine Shown(qsizetype line, int scrolled) const;
    // Where the caret is drawn with the view scrolled so far, before scrolling; none when it
    // is not in the stretch of its line laid out then.
    [[nodiscard]] std::optional<qreal> CaretX(int scrolled) const;
    void LayOut(QTextLayout& layout, const QString& text) const;
    [[nodiscard]] int LineHeight() const;
    [[nodiscard]] int VisibleLines() const;
    [[nodiscard]] qsizetype FirstVisibleLine() const;
    void UpdateScrollBars();
    [[nodiscard]] TTextPos PosAt(const QPoint& point) const;
    void MoveCaret(TTextPos to, bool keepAnchor);
    void EnsureCaretVisible();
    [[nodiscard]] qsizetype ClampColumn(qsizetype line, qsizetype column) const;
    void AutoScroll();

    TSectionText FText;
    TTextPos FAnchor;
    TTextPos FCaret;
    qsizetype FGoalColumn = -1; // kept while moving up and down
    qreal FWidestSeen = 0;      // of the lines laid out so far
    bool FSelecting = false;    // the mouse is selecting
    QPoint FLastMouse;
    class QTimer* FAutoScroll;
    // A press soon after a double click, where it was, selects the line.
    QElapsedTimer FSinceDoubleClick;
    QPoint FDoubleClickAt;
    TTextPos FToldAnchor; // what assistive tools were last told
    TTextPos FToldCaret;
};
