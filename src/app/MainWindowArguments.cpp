// The main window's input from outside: the command-line argument, taken up on activation,
// and dropped folders, exports and shortcuts.

#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "platform/Shell.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QToolButton>
#include <QWindow>

namespace {

bool HasExtension(const QString& path, const char* lowerExtension) {
    return QFileInfo(path).suffix().toLower() == QLatin1StringView(lowerExtension);
}

} // namespace

void TForm1::FocusWindowChanged(QWindow* window) {
    // Menus and tool tips come and go without making another window active.
    if (window && (window->type() == Qt::Popup || window->type() == Qt::ToolTip))
        return;
    const bool returning = window && window == windowHandle() &&
                           (!FActivatedOnce || (FLastActiveWindow && FLastActiveWindow != window));
    FLastActiveWindow = window;
    if (returning) {
        FActivatedOnce = true;
        FormActivate();
    }
}

void TForm1::FormActivate() {
    setAcceptDrops(true);
    if (FArguments.isEmpty())
        return;
    // The argument is handled at the first activation only: a return from the About or update
    // window, or from a file dialog, must neither undo what the user chose since nor replace a
    // folder or export chosen with Browse.
    QString argument = FArguments.front();
    FArguments.clear();
    LoadNastr();
    QCoreApplication::processEvents();

    if (argument.size() >= 2 && argument.startsWith(u'"') && argument.endsWith(u'"'))
        argument = argument.sliced(1, argument.size() - 2);
    const QFileInfo info(argument);
    if (!argument.isEmpty() && info.isDir()) {
        try {
            ShowPage(TabFile, true);
            TabFile->EditPath->setText(argument);
            QCoreApplication::processEvents();
            TabFile->ButtonSearchClick();
        } catch (...) {
            // A failing scan of the command-line folder is not reported.
        }
    }
    if (argument.isEmpty() || !info.exists() || info.isDir())
        return;
    if (HasExtension(argument, "reg")) {
        ShowPage(TabReg, true);
        TabReg->EditPathReg->setText(argument);
        TabReg->ConvertFile(TabReg->EditPathReg->text());
    }
    QCoreApplication::processEvents();
}

// While a conversion runs, nothing is dropped: it would wait for the conversion to end.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !TabReg->Converting())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    const QString path = QDir::toNativeSeparators(urls.front().toLocalFile());
    // During a scan the drop stops it, at once. Otherwise the program the item was dragged
    // from would wait until the drop returns: the scan or the conversion starts after it.
    if (TabFile->Scanner().ButtonState() == TFileScanner::bsScanning)
        DropItem(path);
    else
        QMetaObject::invokeMethod(
            this, [this, path] { DropItem(path); }, Qt::QueuedConnection);
}

void TForm1::DropItem(const QString& dropped) {
    if (TabReg->Converting())
        return;
    QString path = dropped;
    if (HasExtension(path, "lnk")) {
        const QString target = GetShortcutTarget(path);
        if (!target.isEmpty())
            path = target;
    }
    if (QFileInfo(path).isDir()) {
        ShowPage(TabFile, true);
        TabFile->EditPath->setText(path);
        QCoreApplication::processEvents();
        TabFile->ButtonSearchClick();
    } else if (HasExtension(path, "reg")) {
        ShowPage(TabReg, true);
        TabReg->EditPathReg->setText(path);
        TabReg->ButtonChangeRegClick();
    }
}

QString TForm1::GetShortcutTarget(const QString& path) {
    return QString::fromStdU16String(qm::platform::ShortcutTarget(path.toStdU16String()));
}
