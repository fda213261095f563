// The section view: the compact line store against the plain text it stands for, selection by
// keyboard and mouse, copying, appending to a view of a million lines while scrolled, and what
// assistive tools read of it.

#include "TestMain.h"
#include "widgets/SectionView.h"
#include "widgets/TextPieces.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Where a position of the view lies in its lines joined by '\n'.
qsizetype Offset(const QStringList& lines, TTextPos p) {
    qsizetype offset = 0;
    for (qsizetype i = 0; i < p.Line; ++i)
        offset += lines[i].size() + 1;
    return offset + p.Column;
}

// `count` lines made from `pattern`, %1 numbering them.
QStringList Numbered(const QString& pattern, int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << pattern.arg(i);
    return lines;
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(w, static_cast<Qt::Key>(key), modifiers);
}

void Mouse(QWidget* viewport, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

class TestSectionView : public QObject {
    Q_OBJECT

private slots:
    // What a screen reader reads through the view's text interface is what the plain text it
    // stands for gives: the count, ranges, and the character, word, sentence and line at,
    // before and after each offset; positions and offsets map both ways.
    void accessibleTextIsThePlainText_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("stride"); // offsets compared: every stride-th, and near the ends
        QTest::newRow("ascii")
            << QStringList{QStringLiteral("[Registry]"),
                           QStringLiteral("Root: HKCU; Subkey: \"Software\\Q\";"),
                           QString(),
                           QString(),
                           QStringLiteral("  Two sentences. Here is the second!"),
                           QStringLiteral("end")}
            << 1;
        QTest::newRow("no-break spaces and surrogate pairs")
            << QStringList{QStringLiteral("a\u00A0b \U0001F600\U0001F600 c"),
                           QStringLiteral("\u043F\u0440\u0438\u0432\u0435\u0442 \U00010400x"),
                           QStringLiteral("\U0001F600")}
            << 1;
        QTest::newRow("lines that cross a block")
            << QStringList{QString((4 << 20) - 5, u'x') + QStringLiteral(" word"),
                           QStringLiteral("next line"), QString(100, u'y')}
            << (1 << 22);
        QTest::newRow("a 200,000-character line")
            << QStringList{QStringLiteral("; Not converted: binary"),
                           QStringLiteral("\"a\"=hex:") +
                               QStringLiteral("01,02 ").repeated(200'000 / 6),
                           QStringLiteral("after")}
            << 9'973;
        QStringList empties(300, QString());
        empties.prepend(QStringLiteral("first"));
        empties << QStringLiteral("last word");
        QTest::newRow("many empty lines") << empties << 7;
    }
    void accessibleTextIsThePlainText() {
        QFETCH(QStringList, lines);
        QFETCH(int, stride);
        QGroupBox box(QStringLiteral("Li&st"));
        auto* view = new TSectionView(&box);
        (new QVBoxLayout(&box))->addWidget(view);
        box.show();
        view->AppendLines(lines);
        const QString plain = lines.join(u'\n');
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(view);
        QVERIFY(a && a->textInterface());
        QAccessibleTextInterface* t = a->textInterface();
        QCOMPARE(a->role(), QAccessible::EditableText);
        QVERIFY(a->state().readOnly && a->state().multiLine);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("List"));
        QCOMPARE(t->characterCount(), plain.size());

        QList<int> offsets{-1};
        for (int o = 0; o <= plain.size(); o += stride)
            offsets << o;
        for (int o : {1, 2, int(plain.size()) - 2, int(plain.size()) - 1, int(plain.size())})
            if (o >= 0 && o <= plain.size())
                offsets << o;
        for (int i = 0, at = 0; i < lines.size(); at += int(lines[i++].size()) + 1)
            offsets << at << at + int(lines[i].size()); // each line's start and end
        for (int o : offsets) {
            if (o >= 0) {
                const TTextPos pos = view->Lines().PosOf(o);
                QCOMPARE(view->Lines().OffsetOf(pos), o);
                QVERIFY(pos.Column <= lines[pos.Line].size());
                QCOMPARE(t->text(o, std::min<int>(o + 7, int(plain.size()))), plain.mid(o, 7));
            }
            for (const auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                    QAccessible::SentenceBoundary, QAccessible::LineBoundary,
                                    QAccessible::ParagraphBoundary}) {
                using F = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType,
                                                                int*, int*) const;
                const std::pair<F, TPieceSide> sides[] = {
                    {&QAccessibleTextInterface::textAtOffset, TPieceSide::At},
                    {&QAccessibleTextInterface::textBeforeOffset, TPieceSide::Before},
                    {&QAccessibleTextInterface::textAfterOffset, TPieceSide::After}};
                for (const auto& [f, side] : sides) {
                    int s1 = -1, e1 = -1, s2 = -1, e2 = -1;
                    const QString got = (t->*f)(o, type, &s1, &e1);
                    const QString want = TextPiece(plain, o, type, side, &s2, &e2);
                    QVERIFY2(got == want && s1 == s2 && e1 == e2,
                             qPrintable(QStringLiteral("offset %1, boundary %2, side %3: [%4, "
                                                       "%5] for [%6, %7]")
                                            .arg(o)
                                            .arg(int(type))
                                            .arg(int(side))
                                            .arg(s1)
                                            .arg(e1)
                                            .arg(s2)
                                            .arg(e2)));
                }
            }
        }
        int s = -1, e = -1;
        QCOMPARE(t->textAtOffset(0, QAccessible::NoBoundary, &s, &e), plain);

        // The caret and the selection, set by the tool and read back.
        const int middle = int(plain.size()) / 2;
        t->setCursorPosition(middle);
        QCOMPARE(t->cursorPosition(), middle);
        QCOMPARE(t->selectionCount(), 0);
        t->setSelection(0, middle, 1);
        QCOMPARE(t->selectionCount(), 1);
        t->selection(0, &s, &e);
        QCOMPARE((std::pair{s, e}), (std::pair{1, middle}));
        QCOMPARE(view->SelectedText(u"\n"), plain.mid(1, middle - 1));
        t->removeSelection(0);
        QCOMPARE(t->selectionCount(), 0);
    }

    // The pieces themselves: perceived characters, words and the runs between them, sentences,
    // lines with their line break; nothing at the end but the piece before it.
    void textPieces_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("boundary");
        QTest::addColumn<QStringList>("beforeAtAfter");
        const QString text = QStringLiteral("Root: \"a\u00A0b\" \U0001F600!\nSecond one. Third\n");
        using A = QAccessible;
        QTest::newRow("word") << text << 1 << int(A::WordBoundary)
                              << QStringList{{}, QStringLiteral("Root"), QStringLiteral(":")};
        QTest::newRow("blanks between words")
            << text << 5 << int(A::WordBoundary)
            << QStringList{QStringLiteral(":"), QStringLiteral(" "), QStringLiteral("\"")};
        QTest::newRow("inside a surrogate pair")
            << text << 13 << int(A::CharBoundary)
            << QStringList{QStringLiteral(" "), QStringLiteral("\U0001F600"), QStringLiteral("!")};
        QTest::newRow("sentence") << text << 20 << int(A::SentenceBoundary)
                                  << QStringList{QStringLiteral("Root: \"a\u00A0b\" \U0001F600!\n"),
                                                 QStringLiteral("Second one. "),
                                                 QStringLiteral("Third\n")};
        QTest::newRow("line, on its line break")
            << text << 15 << int(A::LineBoundary)
            << QStringList{{},
                           QStringLiteral("Root: \"a\u00A0b\" \U0001F600!\n"),
                           QStringLiteral("Second one. Third\n")};
        QTest::newRow("at the end") << text << -1 << int(A::LineBoundary)
                                    << QStringList{QStringLiteral("Second one. Third\n"), {}, {}};
        QTest::newRow("empty text")
            << QString() << 0 << int(A::WordBoundary) << QStringList{{}, {}, {}};
    }
    void textPieces() {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, boundary);
        QFETCH(QStringList, beforeAtAfter);
        int i = 0;
        for (const TPieceSide side : {TPieceSide::Before, TPieceSide::At, TPieceSide::After}) {
            int start = -2, end = -2;
            const QString piece = TextPiece(text, offset, QAccessible::TextBoundaryType(boundary),
                                            side, &start, &end);
            QCOMPARE(piece, beforeAtAfter[i++]);
            if (start < 0)
                QVERIFY(piece.isEmpty() && end == -1);
            else
                QCOMPARE(text.mid(start, end - start), piece);
        }
    }

    // Every way to read the lines back gives the text they were made of: no-break spaces,
    // surrogate pairs, empty lines, and lines longer than a block of the store.
    void storeKeepsTheLines() {
        const QStringList lines = {
            QStringLiteral("[Registry]"),
            QStringLiteral("Root: HKCU; ValueData: \"a\u00A0b\";"),
            QString(),
            QStringLiteral("; \U0001F600 \u043F\u0440\u0438\u0432\u0435\u0442"),
            QString(5 << 20, u'x'), // beyond a block
            QStringLiteral("end  "),
            QString((4 << 20) - 3, u'y') + QStringLiteral("\u00E9"),
        };
        TSectionText text;
        text.Append(lines.mid(0, 3));
        for (const QString& line : lines.mid(3))
            text.Append(QStringView(line));
        QCOMPARE(text.LineCount(), lines.size());
        qsizetype utf8 = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QCOMPARE(text.Line(i), lines[i]);
            QCOMPARE(text.LineLength(i), lines[i].size());
            utf8 += lines[i].toUtf8().size();
        }
        QCOMPARE(text.Utf8Size(), utf8);
        QCOMPARE(text.LongestLine(), qsizetype(5 << 20));
        QCOMPARE(text.All(u"\r\n"), lines.join(QStringLiteral("\r\n")));

        const QString joined = lines.join(u'\n');
        const QList<std::pair<TTextPos, TTextPos>> ranges = {{{1, 12}, {1, 29}},
                                                             {{0, 3}, {3, 4}},
                                                             {{6, 10}, {2, 0}},
                                                             {{3, 0}, {4, 7}},
                                                             {{0, 0}, {6, qsizetype(4 << 20)}},
                                                             {{5, 2}, {5, 2}}};
        for (const auto& [a, b] : ranges) {
            const qsizetype from = Offset(lines, std::min(a, b));
            const qsizetype to = Offset(lines, std::max(a, b));
            QCOMPARE(text.Text(a, b, u"\r\n"),
                     joined.mid(from, to - from).replace(u'\n', QStringLiteral("\r\n")));
        }
        text.Clear();
        QCOMPARE(text.LineCount(), 0);
        QCOMPARE(text.All(u"\r\n"), QString());
    }

    // Keys move the caret and extend the selection as a text area's do; Ctrl+C copies what is
    // selected with CR LF between lines.
    void keyboardSelection() {
        TSectionView view;
        view.resize(300, 200);
        view.show();
        view.setPlainText(QStringLiteral("alpha\n\U0001F600b\n\nfourth line\nfive"));
        QClipboard* clipboard = QGuiApplication::clipboard();

        Key(&view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view.Caret(), (TTextPos{4, 4}));
        Key(&view, Qt::Key_Home, Qt::ControlModifier);
        Key(&view, Qt::Key_Down, Qt::ShiftModifier);
        Key(&view, Qt::Key_Right, Qt::ShiftModifier); // over the pair as one character
        QCOMPARE(view.Caret(), (TTextPos{1, 2}));
        Key(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("alpha\r\n\U0001F600"));

        // Up and down keep the column they started from across shorter lines.
        view.SetSelection({3, 9}, {3, 9});
        Key(&view, Qt::Key_Up);
        QCOMPARE(view.Caret(), (TTextPos{2, 0}));
        Key(&view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view.Caret(), (TTextPos{3, 9}));
        Key(&view, Qt::Key_Right, Qt::ShiftModifier);
        Key(&view, Qt::Key_Right, Qt::ShiftModifier);
        Key(&view, Qt::Key_Right, Qt::ShiftModifier); // across the line's end
        QCOMPARE(view.SelectedText(u"\r\n"), QStringLiteral("\r\nfourth line\r\n"));
        Key(&view, Qt::Key_Left); // to the selection's start
        QCOMPARE(view.Caret(), (TTextPos{2, 0}));
        QVERIFY(!view.HasSelection());
        Key(&view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(u"|"), QStringLiteral("|"));

        Key(&view, Qt::Key_A, Qt::ControlModifier);
        Key(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(),
                 QStringLiteral("alpha\r\n\U0001F600b\r\n\r\nfourth line\r\nfive"));
    }

    // Ctrl+Left and Ctrl+Right stop where a text area's caret stops, a triple click takes a
    // line, the Menu key and Shift+F10 open the context menu at the caret, Tab leaves the view.
    void textAreaKeys() {
        const QString text = QStringLiteral(
            "Root: HKCU; Subkey: \"Software\\{{x}\"; \u043F\u0440\u0438 d\n\n  next line");
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* view = new TSectionView(&window);
        auto* area = new QPlainTextEdit(text, &window);
        area->setReadOnly(true);
        area->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
        layout->addWidget(view);
        layout->addWidget(area);
        view->setPlainText(text);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto caret = [view] { return view->Lines().OffsetOf(view->Caret()); };
        for (const auto key : {Qt::Key_Right, Qt::Key_Left}) {
            for (int i = 0; i < 14; ++i) {
                Key(view, key, Qt::ControlModifier);
                Key(area, key, Qt::ControlModifier);
                QCOMPARE(caret(), area->textCursor().position());
            }
        }
        Key(view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        Key(view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(view->SelectedText(u"\n"), QStringLiteral("Root: "));

        const int row = view->fontMetrics().lineSpacing();
        const QPoint onFirst(30, 4 + row / 2);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onFirst);
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, onFirst);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, onFirst);
        QCOMPARE(view->SelectedText(u"\n"), text.section(u'\n', 0, 0) + u'\n');

        view->setContextMenuPolicy(Qt::CustomContextMenu);
        QList<QPoint> menus;
        connect(view, &QWidget::customContextMenuRequested, this,
                [&menus](const QPoint& at) { menus << at; });
        view->SetSelection({2, 4}, {2, 4});
        Key(view, Qt::Key_Menu);
        Key(view, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menus.size(), 2);
        QVERIFY2(menus[0].y() > 2 * row && menus[0].y() < 4 * row + 10,
                 qPrintable(QString::number(menus[0].y()))); // below the caret's line

        // F8 and Shift+F8 go round the lines that could not be converted.
        view->setPlainText(QStringLiteral("[Registry]\n; Not converted: a\nRoot: HKCU\n"
                                          "; Not converted: b\n; Note: c"));
        view->SetSelection({2, 0}, {2, 0});
        const auto selected = [view] { return view->SelectedText(u"\n"); };
        Key(view, Qt::Key_F8);
        QCOMPARE(selected(), QStringLiteral("; Not converted: b"));
        Key(view, Qt::Key_F8);
        QCOMPARE(selected(), QStringLiteral("; Not converted: a"));
        Key(view, Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(selected(), QStringLiteral("; Not converted: b"));
        QVERIFY(view->NeedsLook(1) && !view->NeedsLook(4));

        view->setFocus();
        Key(view, Qt::Key_Tab);
        QVERIFY(area->hasFocus());
        Key(area, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(view->hasFocus());
    }

    // A drag selects from where it began; beyond the bottom the view scrolls on, and a
    // double click takes a word.
    void mouseSelection() {
        TSectionView view;
        view.resize(300, 120);
        view.show();
        view.AppendLines(Numbered(QStringLiteral("line %1 word"), 100));
        view.verticalScrollBar()->setValue(0);
        QWidget* viewport = view.viewport();
        const int row = view.fontMetrics().lineSpacing();
        const QPoint start(2, 4 + row / 2);
        Mouse(viewport, QEvent::MouseButtonPress, start, Qt::LeftButton);
        Mouse(viewport, QEvent::MouseMove, QPoint(2, 4 + row * 2 + row / 2), Qt::LeftButton);
        QCOMPARE(view.Anchor(), (TTextPos{0, 0}));
        QCOMPARE(view.Caret(), (TTextPos{2, 0}));
        Mouse(viewport, QEvent::MouseMove, QPoint(2, viewport->height() + row), Qt::LeftButton);
        QTRY_VERIFY(view.verticalScrollBar()->value() > 3);
        Mouse(viewport, QEvent::MouseButtonRelease, start, Qt::NoButton);
        const int scrolled = view.verticalScrollBar()->value();
        QTest::qWait(120);
        QCOMPARE(view.verticalScrollBar()->value(), scrolled); // stops with the button
        QVERIFY(view.Caret().Line > 3);

        view.verticalScrollBar()->setValue(0);
        const QPoint onWord(view.fontMetrics().horizontalAdvance(QStringLiteral("line 0 wo")),
                            start.y());
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, onWord);
        QCOMPARE(view.SelectedText(u"\n"), QStringLiteral("word"));
    }

    // A million lines: appending while the user looks elsewhere leaves the view where it is;
    // with the end in view it follows the end. A long line scrolls into view at its end.
    void millionLinesAndLongLines() {
        TSectionView view;
        view.resize(400, 300);
        view.show();
        const QStringList batch =
            Numbered(QStringLiteral("Source: \"f%1.txt\"; DestDir: \"{app}\";"), 1000);
        for (int i = 0; i < 1000; ++i)
            view.AppendLines(batch);
        QCOMPARE(view.lineCount(), qsizetype(1'000'000));
        QScrollBar* vertical = view.verticalScrollBar();
        QCOMPARE(vertical->value(), vertical->maximum()); // followed the end
        vertical->setValue(500'000);
        view.AppendLines(batch);
        QCOMPARE(vertical->value(), 500'000);
        QVERIFY(!view.viewport()->grab().isNull());
        vertical->setValue(vertical->maximum());
        view.AppendLines(batch);
        QCOMPARE(vertical->value(), vertical->maximum());
        QCOMPARE(view.Lines().Line(1'000'999), batch.back());

        const QString longLine = QString(200'000, u'a') + QStringLiteral("END");
        view.setPlainText(QStringLiteral("short\n") + longLine);
        view.SetSelection({1, 0}, {1, 0});
        Key(&view, Qt::Key_End, Qt::ShiftModifier);
        QVERIFY(view.horizontalScrollBar()->value() > 100'000);
        QVERIFY(!view.viewport()->grab().isNull());
        QCOMPARE(view.SelectedText(u"\n"), longLine);
        // A click where the line's end is shown finds the end's column, not one near the start.
        const int row = view.fontMetrics().lineSpacing();
        Mouse(view.viewport(), QEvent::MouseButtonPress,
              QPoint(view.viewport()->width() - 10, 4 + row + row / 2), Qt::LeftButton);
        QVERIFY2(view.Caret().Column > longLine.size() - 200,
                 qPrintable(QString::number(view.Caret().Column)));
    }
};

QM_TEST_MAIN(TestSectionView)
#include "tst_SectionView.moc"
