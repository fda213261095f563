// The text areas' commands: copying the touched lines, the selection or everything, and
// clearing.

#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "regconv/RegistryPage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

QString TrimEndControl(QString text) {
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

} // namespace

void TForm1::CopyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString TForm1::GetSelectedLines(const QPlainTextEdit* memo) {
    const QTextCursor cursor = memo->textCursor();
    const QTextDocument* document = memo->document();
    const int first = document->findBlock(cursor.selectionStart()).blockNumber();
    const int last = document->findBlock(cursor.selectionEnd()).blockNumber();
    if (last < first)
        return {};
    QString result;
    for (int i = first; i <= last && i < document->blockCount(); ++i)
        result += document->findBlockByNumber(i).text() + QStringLiteral("\r\n");
    return TrimEndControl(result);
}

// The text areas hold lines; on the clipboard they are separated by CR LF, as in a script.
void TForm1::CopySelectedLines(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(GetSelectedLines(memo));
}

void TForm1::CopySelectedText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(memo->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                              QStringLiteral("\r\n")));
}

void TForm1::CopyAllText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    // The raw text: the plain-text form would turn no-break spaces into blanks. The lines hold
    // no separator of their own, so each paragraph separator ends one appended line.
    CopyToClipboard(
        memo->document()->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n")));
}

void TForm1::ClearText(QPlainTextEdit* memo) {
    ReleaseGeneralMenuButton();
    memo->clear();
}

void TForm1::CopySelectedLinesMenuClick() {
    CopySelectedLines(TabFile->MemoFileList);
}

void TForm1::CopySelectedTextMenuClick() {
    CopySelectedText(TabFile->MemoFileList);
}

void TForm1::CopyAllTextMenuClick() {
    CopyAllText(TabFile->MemoFileList);
}

void TForm1::ClearTextMenuClick() {
    ClearText(TabFile->MemoFileList);
}

void TForm1::CopySelectedLinesRegMenuClick() {
    CopySelectedLines(TabReg->MemoReg);
}

void TForm1::CopySelectedTextRegMenuClick() {
    CopySelectedText(TabReg->MemoReg);
}

void TForm1::CopyAllTextRegMenuClick() {
    CopyAllText(TabReg->MemoReg);
}

void TForm1::ClearTextRegMenuClick() {
    ClearText(TabReg->MemoReg);
}
