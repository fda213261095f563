// The section view: the compact line store against the plain text it stands for, selection by
// keyboard and mouse, copying, and appending to a view of a million lines while scrolled.

#include "TestMain.h"
#include "widgets/SectionView.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

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
