#pragma once

// The update window: whether the download server holds a newer build than the one running,
// the start-up background check with its prompt, and the download and installation of the
// newer build (the installer build, or the portable build replaced in place).

#include "i18n/Translation.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QThread>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class TTaskbarProgress;
namespace qm::update {
class THttpClient;
}

// The update state of the program, one set for all (empty and false at start).
extern QString UpdateFileUrl;           // the update file of the last successful check
extern QString ServerVersionText;       // the version that check read
extern qint32 CheckResult;              // the window's last check: 1 newer, 0 equal/failed, -1
extern QString BackgroundServerVersion; // found by the start-up check
extern QString BackgroundFileUrl;       // found by the start-up check
extern bool QuickStartPending;          // the next showing of the window starts the download
extern qint64 ProgressStep;             // bytes per percent of the running download

class TForm10;

// The window's check, started each time the window opens. Frees itself when done.
class CheckThread : public QThread {
    Q_OBJECT

public:
    explicit CheckThread(TForm10* form);

protected:
    void run() override { Execute(); }

private:
    void Execute();
    TForm10* FForm;
};

class TForm10 : public QDialog, public ITranslatableWindow {
    Q_OBJECT

public:
    // Reads the window's options; with the automatic check on, starts the background check.
    // Downloads are checked against `releaseKey` (PEM); without one every download is refused.
    explicit TForm10(QByteArray releaseKey = {});
    // Ends the window's workers (their requests are aborted) before it goes.
    ~TForm10() override;

    // ITranslatableWindow
    [[nodiscard]] QString WindowName() const override { return kUpdateWindowName; }
    QWidget* Window() override { return this; }
    [[nodiscard]] QList<TComponent> Components() const override;

    // The current caption of a message item of PopupMenuLanguage.
    QString Message(const char* item) const;
    // The download button's mode: 0 idle ("Скачать"), 1 downloading ("Отмена").
    [[nodiscard]] int DownloadMode() const { return FDownloadMode; }
    // A quick installer update has asked the program to quit.
    [[nodiscard]] bool QuitRequested() const { return FQuitRequested; }

    void LoadNastr();
    // False, with the reason in `error`, when the settings file cannot be written.
    [[nodiscard]] bool SaveNastr(QString& error);

    // One check for the window: fetches the server's version (blocking, on the calling worker
    // thread), then stores the outcome and writes the labels on the UI thread.
    void Check(QString& ServerVersion, const QString& LocalVersion);
    void CheckForUpdatesInBackground();
    void PromptForUpdate();
    // Downloads `Server` and its signature into memory, checks it, then writes it where this
    // build kind keeps it (FDownloadedPath). False when it could not be fetched, was not signed
    // with the release key, could not be written, or was cancelled.
    bool UpdateApp(const QString& Server);
    // Writes and starts the portable update script, then ends the program at once; returns
    // only when the script could not be written.
    void SimplePortableUpdate(const QString& ZipInAppDir, const QString& CurrentExePath);
    void QuickStartUpdate();

    // Runs `step` on the UI thread and waits for it (at once when called there). While the
    // window is being destroyed, steps do nothing.
    void Synchronize(const std::function<void()>& step);

    QGroupBox* GroupBox1;
    QLabel* LabelUpDate;
    QLabel* LabelLocalTitle;
    QLabel* LabelLocalVersion;
    QLabel* LabelServerTitle;
    QLabel* LabelServerVersion;
    QProgressBar* ProgressBarUpdate;
    QGroupBox* GroupBoxOption;
    QCheckBox* CheckBoxQuickUpdate;
    QCheckBox* CheckBoxForceUpdate;
    QCheckBox* CheckBoxAutoCheck;
    QFrame* TabControlButtons;
    QPushButton* ButtonDownload;
    QPushButton* ButtonClose;
    TTaskbarProgress* TaskbarUpdate;
    qm::update::THttpClient* IdHTTP1;
    QMenu* PopupMenuLanguage; // message items, never shown

public slots:
    void ButtonCloseClick() { close(); }
    void CheckBoxForceUpdateClick();
    void ButtonDownloadClick();
    void IdHTTP1WorkBegin(qint64 AWorkCountMax);
    void IdHTTP1Work(qint64 AWorkCount);
    void IdHTTP1WorkEnd();
    // Escape closes the window as its close box does.
    void reject() override { close(); }

protected:
    void showEvent(QShowEvent* event) override;   // FormShow
    void closeEvent(QCloseEvent* event) override; // FormClose

private:
    void FormShow();
    void BuildWindow();
    void StartWorker(QThread* worker);
    // The download button back to idle with the options usable; `status` on the status line.
    void EndDownload(const QString& status);
    void CancelDownload();

    // The window's three fields keep the names its design gives them, without the F.
    bool AbortUpdate = false;            // NOLINT(readability-identifier-naming)
    QPointer<QThread> UpdateCheckThread; // NOLINT(readability-identifier-naming)
    bool UpdateAvailable = false;        // NOLINT(readability-identifier-naming)

    int FDownloadMode = 0;
    QString FDownloadUrl; // the file of the running download
    QByteArray FReleaseKey;
    QString FDownloadedPath;        // where the last download was written
    bool FDownloadUnsigned = false; // the last download failed on its signature
    QString FLocalVersion;
    QList<QPointer<QThread>> FWorkers;
    bool FShuttingDown = false;
    bool FQuitRequested = false;
};
