#include "update/Unit_Update.h"

#include "about/FileInfoUtils.h"
#include "i18n/Components.h"
#include "osutils/TaskbarButton.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHttp.h"
#include "update/UpdateVersion.h"
#include "widgets/NamedWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QString UpdateFileUrl;
QString ServerVersionText;
qint32 CheckResult = 0;
QString BackgroundServerVersion;
QString BackgroundFileUrl;
bool QuickStartPending = false;

using qm::widgets::NewNamed;

namespace {

const QString kOption = QStringLiteral("Option");

// Message items of the update window with their built-in texts, in the window's order.
const std::pair<const char*, const char*> kMessageItems[] = {
    {"LangNoDownload", "Файлы обновления не загружены!"},
    {"LangDownloadComplet", "Файлы обновления загружены!"},
    {"LangNoUpdate", "Нет обновления"},
    {"LangServerVersion", "Версия на сервере:"},
    {"LangVersionComputer", "Версия на компьютере:"},
    {"LangUpdateAvailable", "Доступно обновление"},
    {"LangDownload", "Скачать"},
    {"LangCancel", "Отмена"},
    {"LangUpdateNow", "Хотите обновить приложение сейчас?"},
    {"LangYes", "Да"},
    {"LangNo", "Нет"},
    {"LangCheckUpdate", "Проверка обновления..."},
    {"LangFailedCheckUpdates", "Не удалось проверить обновления"},
    {"LangConnectionError", "Ошибка соединения"},
    {"LangNotSigned", "Загрузка не подписана командой Quillmark"},
    {"LangUpdateNotStarted", "Не удалось запустить обновление"},
};

void SetBold(QWidget* widget) {
    QFont f = widget->font();
    f.setBold(true);
    widget->setFont(f);
}

} // namespace

CheckThread::CheckThread(TForm10* form) : FForm(form) {}

void CheckThread::Execute() {
    TForm10* form = FForm;
    form->Synchronize([form] {
        form->GroupBoxOption->setEnabled(false);
        form->ButtonDownload->setEnabled(false);
    });
    QString server;
    form->Check(server, GetFileVersionText(QCoreApplication::applicationFilePath()));
    form->Synchronize([form] {
        // With Force on the options and the button stay as Force left them; a download
        // started meanwhile keeps its Cancel button.
        if (form->CheckBoxForceUpdate->isChecked() || form->DownloadMode() == 1)
            return;
        form->ButtonDownload->setEnabled(CheckResult == 1);
        form->GroupBoxOption->setEnabled(true);
    });
}

TForm10::TForm10(QByteArray releaseKey) : QDialog(nullptr), FReleaseKey(std::move(releaseKey)) {
    // No owner: the window has a taskbar button of its own.
    setObjectName(kUpdateWindowName);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Обновление"));
    setFont(QFont(QStringLiteral("Segoe UI"), 9));
    BuildWindow();
    FLocalVersion = GetFileVersionText(QCoreApplication::applicationFilePath());
    LoadNastr();
}

TForm10::~TForm10() {
    FShuttingDown = true;
    IdHTTP1->Disconnect();
    for (const QPointer<QThread>& worker : FWorkers)
        if (worker)
            worker->requestInterruption();
    // A worker may wait for a step of the UI thread: let it have it (the step does nothing).
    for (const QPointer<QThread>& worker : FWorkers) {
        while (worker && !worker->wait(10))
            QCoreApplication::processEvents();
        delete worker.data();
    }
}

void TForm10::BuildWindow() {
    PopupMenuLanguage = qm::i18n::NewMessageMenu(this, kMessageItems);

    GroupBox1 = NewNamed<QGroupBox>("GroupBox1", this);
    LabelUpDate = NewNamed<QLabel>("LabelUpDate", GroupBox1, Message("LangCheckUpdate"));
    LabelUpDate->setAlignment(Qt::AlignCenter);
    SetBold(LabelUpDate);
    LabelLocalTitle =
        NewNamed<QLabel>("LabelLocalTitle", GroupBox1, QStringLiteral("Версия на компьютере:"));
    LabelLocalVersion = NewNamed<QLabel>("LabelLocalVersion", GroupBox1);
    LabelServerTitle =
        NewNamed<QLabel>("LabelServerTitle", GroupBox1, QStringLiteral("Версия на сервере:"));
    LabelServerVersion = NewNamed<QLabel>("LabelServerVersion", GroupBox1);
    SetBold(LabelServerVersion);
    // Both show the server's version text: as text, whatever markup it holds.
    for (QLabel* label : {LabelUpDate, LabelServerVersion})
        label->setTextFormat(Qt::PlainText);
    for (QLabel* title : {LabelLocalTitle, LabelServerTitle})
        title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* labels = new QGridLayout(GroupBox1);
    labels->addWidget(LabelUpDate, 0, 0, 1, 2);
    labels->addWidget(LabelLocalTitle, 1, 0);
    labels->addWidget(LabelLocalVersion, 1, 1);
    labels->addWidget(LabelServerTitle, 2, 0);
    labels->addWidget(LabelServerVersion, 2, 1);
    labels->setColumnStretch(0, 1);
    labels->setColumnStretch(1, 1);

    ProgressBarUpdate = NewNamed<QProgressBar>("ProgressBarUpdate", this);
    ProgressBarUpdate->setFixedHeight(21);
    ProgressBarUpdate->setRange(0, 100);
    ProgressBarUpdate->setValue(0);
    ProgressBarUpdate->setTextVisible(false);

    GroupBoxOption = NewNamed<QGroupBox>("GroupBoxOption", this);
    GroupBoxOption->setTitle(QStringLiteral("Опции"));
    CheckBoxQuickUpdate =
        NewNamed<QCheckBox>("CheckBoxQuickUpdate", GroupBoxOption, QStringLiteral("Быстрое"));
    CheckBoxForceUpdate = NewNamed<QCheckBox>("CheckBoxForceUpdate", GroupBoxOption,
                                              QStringLiteral("Принудительное"));
    CheckBoxAutoCheck = NewNamed<QCheckBox>("CheckBoxAutoCheck", GroupBoxOption,
                                            QStringLiteral("Проверять при запуске"));
    CheckBoxQuickUpdate->setChecked(true);
    CheckBoxAutoCheck->setChecked(true);
    auto* options = new QHBoxLayout(GroupBoxOption);
    for (QCheckBox* box : {CheckBoxQuickUpdate, CheckBoxForceUpdate, CheckBoxAutoCheck})
        options->addWidget(box);

    TabControlButtons = NewNamed<QFrame>("TabControlButtons", this);
    TabControlButtons->setFixedHeight(35);
    ButtonDownload =
        NewNamed<QPushButton>("ButtonDownload", TabControlButtons, Message("LangDownload"));
    ButtonClose =
        NewNamed<QPushButton>("ButtonClose", TabControlButtons, QStringLiteral("Закрыть"));
    ButtonDownload->setDefault(true);
    for (QPushButton* button : {ButtonDownload, ButtonClose})
        button->setCursor(Qt::PointingHandCursor);
    auto* buttons = new QHBoxLayout(TabControlButtons);
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addStretch(1);
    buttons->addWidget(ButtonDownload);
    buttons->addWidget(ButtonClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(GroupBox1, 1);
    layout->addWidget(ProgressBarUpdate);
    layout->addWidget(GroupBoxOption);
    layout->addWidget(TabControlButtons);
    setFixedSize(layout->sizeHint().expandedTo(QSize(434, 191)).expandedTo(QSize(400, 230)));

    TaskbarUpdate = new TTaskbarProgress(this);
    TaskbarUpdate->setObjectName(QStringLiteral("TaskbarUpdate"));
    IdHTTP1 = new qm::update::THttpClient(this);
    IdHTTP1->setObjectName(QStringLiteral("IdHTTP1"));

    connect(ButtonClose, &QPushButton::clicked, this, &TForm10::ButtonCloseClick);
    connect(ButtonDownload, &QPushButton::clicked, this, &TForm10::ButtonDownloadClick);
    // Also when code changes the box, as the window's opening does.
    connect(CheckBoxForceUpdate, &QCheckBox::toggled, this, &TForm10::CheckBoxForceUpdateClick);
    connect(IdHTTP1, &qm::update::THttpClient::WorkBegin, this, &TForm10::IdHTTP1WorkBegin);
    connect(IdHTTP1, &qm::update::THttpClient::Work, this, &TForm10::IdHTTP1Work);
    connect(IdHTTP1, &qm::update::THttpClient::WorkEnd, this, &TForm10::IdHTTP1WorkEnd);
}

QList<TComponent> TForm10::Components() const {
    using K = TComponentKind;
    // The order of the window's definition.
    return ComponentTable(this, {
                                    {"TabControlButtons", K::TabControl},
                                    {"ButtonClose", K::Button},
                                    {"ButtonDownload", K::Button},
                                    {"GroupBoxOption", K::GroupBox},
                                    {"CheckBoxQuickUpdate", K::CheckBox},
                                    {"CheckBoxForceUpdate", K::CheckBox},
                                    {"CheckBoxAutoCheck", K::CheckBox},
                                    {"GroupBox1", K::GroupBox},
                                    {"LabelUpDate", K::Label},
                                    {"LabelLocalTitle", K::Label},
                                    {"LabelLocalVersion", K::Label},
                                    {"LabelServerTitle", K::Label},
                                    {"LabelServerVersion", K::Label},
                                    {"ProgressBarUpdate", K::ProgressBar},
                                    {"PopupMenuLanguage", K::PopupMenu},
                                    {"TaskbarUpdate", K::Other},
                                    {"IdHTTP1", K::Other},
                                });
}

QString TForm10::Message(const char* item) const {
    return qm::i18n::MessageText(PopupMenuLanguage, item);
}

void TForm10::LoadNastr() {
    const TIniFile ini(PortablePath());
    CheckBoxAutoCheck->setChecked(ini.ReadBool(kOption, QStringLiteral("CheckBoxAutoCheck"), true));
    // The main window stores the quick option at close; the box is as the user left it.
    CheckBoxQuickUpdate->setChecked(
        ini.ReadBool(kOption, QStringLiteral("CheckBoxQuickUpdate"), true));
    if (CheckBoxAutoCheck->isChecked()) {
        CheckForUpdatesInBackground();
        QCoreApplication::processEvents();
    }
}

bool TForm10::SaveNastr(QString& error) {
    TIniFile ini(PortablePath());
    ini.WriteBool(kOption, QStringLiteral("CheckBoxAutoCheck"), CheckBoxAutoCheck->isChecked());
    if (ini.Save())
        return true;
    error = ini.ErrorString();
    return false;
}

void TForm10::Synchronize(const std::function<void()>& step) {
    if (QThread::currentThread() == thread()) {
        if (!FShuttingDown)
            step();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &step] {
            if (!FShuttingDown)
                step();
        },
        Qt::BlockingQueuedConnection);
}

void TForm10::StartWorker(QThread* worker) {
    FWorkers.removeAll(nullptr);
    FWorkers << worker;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void TForm10::showEvent(QShowEvent* event) {
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
    FormShow();
}

void TForm10::FormShow() {
    LabelUpDate->clear();
    LabelLocalVersion->setText(FLocalVersion);
    LabelServerVersion->clear();
    LabelUpDate->setText(Message("LangCheckUpdate"));
    CheckBoxForceUpdate->setChecked(false);
    if (QuickStartPending) {
        QuickStartPending = false;
        QuickStartUpdate();
        return;
    }
    StartWorker(new CheckThread(this));
}

void TForm10::closeEvent(QCloseEvent* event) {
    // Closing cancels a running download: nothing of it is kept.
    if (FDownloadMode == 1)
        CancelDownload();
    LabelUpDate->clear();
    LabelLocalVersion->clear();
    LabelServerVersion->clear();
    // An untick of "Check at startup" that cannot be stored is said, as the main window says it.
    if (QString error; !SaveNastr(error))
        QMessageBox::warning(this, kApplicationTitle,
                             SettingsNotSavedMessage(PortablePath(), error));
    done(QDialog::Rejected);
    event->accept();
}

void TForm10::CheckBoxForceUpdateClick() {
    FDownloadMode = 0;
    ButtonDownload->setEnabled(CheckBoxForceUpdate->isChecked());
}

void TForm10::Check(QString& ServerVersion, const QString& LocalVersion) {
    QString version;
    QString fileUrl;
    const bool found = qm::update::FetchServerVersion(version, fileUrl);
    Synchronize([&] {
        if (found) {
            ServerVersion = version;
            UpdateFileUrl = fileUrl;
            ServerVersionText = version;
            CheckResult = qm::update::CompareVersions(ServerVersion, LocalVersion);
            LabelUpDate->setText(CheckResult == 1
                                     ? Message("LangUpdateAvailable") + u' ' + LocalVersion +
                                           QStringLiteral(" ---> ") + ServerVersion
                                     : Message("LangNoUpdate"));
            LabelServerVersion->setText(ServerVersion);
        } else {
            LabelUpDate->setText(Message("LangFailedCheckUpdates"));
            LabelServerVersion->setText(Message("LangConnectionError"));
            CheckResult = 0;
            UpdateFileUrl.clear();
            ServerVersionText.clear();
        }
    });
}

void TForm10::CheckForUpdatesInBackground() {
    QThread* worker = QThread::create([this] {
        QString TempServerVersion;
        QString TempDownloadUrl;
        const bool FoundSource = qm::update::FetchServerVersion(TempServerVersion, TempDownloadUrl);
        if (FoundSource) {
            BackgroundServerVersion = TempServerVersion;
            BackgroundFileUrl = TempDownloadUrl;
            UpdateAvailable =
                qm::update::CompareVersions(BackgroundServerVersion, FLocalVersion) == 1;
        } else {
            UpdateAvailable = false;
            BackgroundServerVersion.clear();
            BackgroundFileUrl.clear();
        }
        Synchronize([this] { PromptForUpdate(); });
    });
    UpdateCheckThread = worker;
    StartWorker(worker);
}

void TForm10::PromptForUpdate() {
    if (!UpdateAvailable || BackgroundFileUrl.isEmpty())
        return;
    QMessageBox box(QMessageBox::Information, kApplicationTitle,
                    Message("LangUpdateAvailable") + u' ' + BackgroundServerVersion + u'\n' +
                        Message("LangUpdateNow"));
    QPushButton* yes = box.addButton(Message("LangYes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(Message("LangNo"), QMessageBox::NoRole);
    // The server's text is shown as it stands: markup in it would be the server's, not ours.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() != yes || FShuttingDown)
        return;
    UpdateFileUrl = BackgroundFileUrl;
    ServerVersionText = BackgroundServerVersion;
    if (isVisible()) {
        // Already open (the prompt came over it): it downloads now, unless it already does.
        if (FDownloadMode == 0)
            QuickStartUpdate();
        return;
    }
    QuickStartPending = true;
    exec();
}
