// The text areas' commands: copying the touched lines, the selection or everything, and
// clearing.

#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "platform/TextTrim.h"
#include "regconv/RegistryPage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

void TForm1::CopyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString TForm1::GetSelectedLines(const TSectionView* memo) {
    const qsizetype first = std::min(memo->Anchor(), memo->Caret()).Line;
    const qsizetype last = std::max(memo->Anchor(), memo->Caret()).Line;
    const TSectionText& lines = memo->Lines();
    QString result;
    for (qsizetype i = first; i <= last && i < lines.LineCount(); ++i)
        result += lines.Line(i) + QStringLiteral("\r\n");
    return QStringView(qm::platform::TrimEndControl(qm::platform::Utf16View(result))).toString();
}

// The text areas hold lines; on the clipboard they are separated by CR LF, as in a script.
void TForm1::CopySelectedLines(TSectionView* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(GetSelectedLines(memo));
}

void TForm1::CopySelectedText(TSectionView* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(memo->SelectedText(u"\r\n"));
}

void TForm1::CopyAllText(TSectionView* memo) {
    ReleaseGeneralMenuButton();
    CopyToClipboard(memo->Lines().All(u"\r\n"));
}

void TForm1::ClearText(TSectionView* memo) {
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
