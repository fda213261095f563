// The update window's download and installation.

#include "i18n/LanguageFiles.h"
#include "osutils/Launch.h"
#include "osutils/TaskbarButton.h"
#include "settings/PortablePath.h"
#include "update/Unit_Update.h"
#include "update/UpdateArchive.h"
#include "update/UpdateFetch.h"
#include "update/UpdateHttp.h"
#include "update/UpdateInstall.h"
#include "update/UpdateServers.h"
#include "update/UpdateSystem.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <cstdlib>

qint64 ProgressStep = 0;

void TForm10::ButtonDownloadClick() {
    if (FDownloadMode == 1) {
        CancelDownload();
        return;
    }
    AbortUpdate = false;
    FDownloadMode = 1;
    FDownloadUrl = UpdateFileUrl;
    ButtonDownload->setText(Message("LangCancel"));
    ButtonDownload->setEnabled(true); // it cancels now, also when the quick start pressed it
    ButtonClose->setEnabled(false);
    ProgressBarUpdate->setValue(0);
    ProgressBarUpdate->show();
    GroupBoxOption->setEnabled(false);

    if (!UpdateApp(FDownloadUrl)) {
        // A cancel has already put the window back; a failure does it now. Nothing was
        // written and nothing is started.
        if (!AbortUpdate)
            EndDownload(Message(FDownloadUnsigned ? "LangNotSigned" : "LangNoDownload"));
        return;
    }
    LabelUpDate->setText(Message("LangDownloadComplet"));
    const bool quick = CheckBoxQuickUpdate->isChecked();
    if (PortableMode) {
        if (quick)
            SimplePortableUpdate(FDownloadedPath, QCoreApplication::applicationFilePath());
    } else if (!qm::osutils::OpenInstaller(FDownloadedPath,
                                           quick ? qm::update::InstallerParameters(CurrentLanguage)
                                                 : QString())) {
        // Not started (a folder that runs nothing, a declined elevation): the program stays.
        QFile::remove(FDownloadedPath);
        LabelUpDate->setText(Message("LangUpdateNotStarted"));
    } else if (quick) {
        // Ends every running event loop, the main one too; a start-up that has not reached
        // the main loop yet asks QuitRequested().
        FQuitRequested = true;
        QCoreApplication::exit(0);
        QCoreApplication::processEvents();
    }
    EndDownload(LabelUpDate->text());
}

void TForm10::EndDownload(const QString& status) {
    FDownloadMode = 0;
    ButtonDownload->setText(Message("LangDownload"));
    ButtonClose->setEnabled(true);
    ProgressBarUpdate->setValue(0);
    ProgressBarUpdate->hide();
    GroupBoxOption->setEnabled(true);
    LabelUpDate->setText(status);
}

void TForm10::CancelDownload() {
    EndDownload(Message("LangNoDownload"));
    AbortUpdate = true;
    IdHTTP1->Disconnect();
    // A setup program fetched earlier goes too.
    QFile::remove(qm::update::UpdateWorkFolder() + qm::update::UrlFileName(FDownloadUrl));
}

bool TForm10::UpdateApp(const QString& Server) {
    const qm::update::TFetchedFile fetched = qm::update::FetchSignedFile(
        *IdHTTP1, Server, PortableMode ? ProgramFolder() : qm::update::UpdateWorkFolder(),
        FReleaseKey);
    FDownloadUnsigned = fetched.Unsigned;
    FDownloadedPath = fetched.Path;
    return !fetched.Path.isEmpty() && !AbortUpdate;
}

void TForm10::IdHTTP1WorkBegin(qint64 AWorkCountMax) {
    ProgressBarUpdate->setRange(0, 100);
    TaskbarUpdate->SetMax(ProgressBarUpdate->maximum());
    ProgressStep = qm::update::ProgressStepFor(AWorkCountMax);
}

void TForm10::IdHTTP1Work(qint64 AWorkCount) {
    if (AbortUpdate)
        IdHTTP1->Disconnect();
    TaskbarUpdate->SetState(TTaskbarState::Normal);
    ProgressBarUpdate->setValue(
        qm::update::ProgressPosition(AWorkCount, ProgressStep, ProgressBarUpdate->value()));
    TaskbarUpdate->SetValue(ProgressBarUpdate->value());
}

void TForm10::IdHTTP1WorkEnd() {
    TaskbarUpdate->SetState(TTaskbarState::None);
}

void TForm10::SimplePortableUpdate(const QString& ZipInAppDir, const QString& CurrentExePath) {
    if (!qm::update::SafeToUnpack(ZipInAppDir)) {
        // Signed, yet not an archive that unpacks inside the program's folder: nothing starts.
        QFile::remove(ZipInAppDir);
        LabelUpDate->setText(Message("LangUpdateNotStarted"));
        return;
    }
    const QFileInfo exe(CurrentExePath);
    const QString folder = QDir::toNativeSeparators(exe.absolutePath() + u'/');
    const QString script = qm::update::WritePortableUpdateScript(
        folder, exe.fileName(), QFileInfo(ZipInAppDir).fileName(),
        QCoreApplication::applicationPid());
    if (!script.isEmpty()) {
        if (qm::osutils::StartScriptHidden(script)) {
            // The script replaces this program's files: it ends now, saving nothing.
            std::_Exit(0);
        }
        // Not started (a folder that runs nothing): the program stays, and says so.
        QFile::remove(script);
        LabelUpDate->setText(Message("LangUpdateNotStarted"));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle,
                    QStringLiteral("Failed to create update script!"), QMessageBox::Ok, this);
    box.exec();
}

void TForm10::QuickStartUpdate() {
    UpdateFileUrl = BackgroundFileUrl;
    ServerVersionText = BackgroundServerVersion;
    LabelUpDate->setText(Message("LangUpdateAvailable") + u' ' + FLocalVersion +
                         QStringLiteral(" ---> ") + ServerVersionText);
    QCoreApplication::processEvents();
    // The download starts on the UI thread once the opening of the window has ended.
    StartWorker(QThread::create([this] {
        Synchronize([this] {
            ButtonDownloadClick();
            QCoreApplication::processEvents();
        });
    }));
}
