#include "filelist/FilesPage.h"

#include "filelist/FileFlags.h"
#include "i18n/Components.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "widgets/NamedWidget.h"
#include "widgets/PageFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using qm::widgets::NewNamed;

TFilesPage::TFilesPage(const QObject* messageItems, QWidget* parent)
    : QWidget(parent), FMessageItems(messageItems) {
    setObjectName(QStringLiteral("TabFile"));
    static constexpr TPageFrameNames kNames = {
        "GroupBoxPath", "EditPath",        "ButtonBrowse",   "GroupBoxList",     "MemoFileList",
        "StatusBar1",   "GroupBoxControl", "GroupBoxSearch", "ButtonFileOption", "ButtonSearch"};
    const TPageFrame frame{GroupBoxPath,     EditPath,    ButtonBrowse,    GroupBoxList,
                           MemoFileList,     StatusBar1,  GroupBoxControl, GroupBoxSearch,
                           ButtonFileOption, ButtonSearch};
    BeginPageFrame(this, kNames, frame);
    FStatusPanel = new QLabel(StatusBar1);
    // The text changes with every file: it must not make the window lay itself out anew.
    FStatusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar1->addWidget(FStatusPanel, 1);

    ComboBoxDestDir = NewNamed<QComboBox>("ComboBoxDestDir", GroupBoxControl);
    LabelDestDir = NewNamed<QLabel>("LabelDestDir", GroupBoxControl);
    LabelDestDir->setText(QStringLiteral("DestDir"));
    LabelDestDir->setAlignment(Qt::AlignCenter);
    LabelDestDir->setWordWrap(true);
    GroupBoxFlags = NewNamed<QGroupBox>("GroupBoxFlags", GroupBoxControl);
    GroupBoxFlags->setTitle(QStringLiteral("Flags"));
    CheckListBoxFlags = NewNamed<QListWidget>("CheckListBoxFlags", GroupBoxFlags);
    for (const QString& flag : qm::filelist::InnoFileFlags()) {
        auto* item = new QListWidgetItem(flag, CheckListBoxFlags);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    (new QVBoxLayout(GroupBoxFlags))->addWidget(CheckListBoxFlags);
    CheckBoxEmptyDirs = NewNamed<QCheckBox>("CheckBoxEmptyDirs", GroupBoxControl);
    CheckBoxEmptyDirs->setText(QStringLiteral("Пустые папки в [Dirs]"));
    auto* controlColumn = new QVBoxLayout(GroupBoxControl);
    controlColumn->addWidget(ComboBoxDestDir);
    controlColumn->addWidget(LabelDestDir);
    controlColumn->addWidget(GroupBoxFlags, 1);
    controlColumn->addWidget(CheckBoxEmptyDirs);

    EndPageFrame(this, kNames, frame, [this](QGroupBox* searchBox) {
        CheckBoxFullName = NewNamed<QCheckBox>("CheckBoxFullName", searchBox);
        CheckBoxFullName->setText(QStringLiteral("Полный путь к файлам"));
        return CheckBoxFullName;
    });
    GroupBoxSearch->setTitle(QStringLiteral("Поиск"));
    ButtonSearch->setText(QStringLiteral("Поиск"));

    FRefresh = new QTimer(this);
    FRefresh->setInterval(40);
    FRefresh->setSingleShot(true);
    connect(FRefresh, &QTimer::timeout, this, [this] {
        FlushOutput();
        ShowStatusText();
    });

    connect(ButtonSearch, &QPushButton::clicked, this, &TFilesPage::ButtonSearchClick);
    connect(ButtonBrowse, &QPushButton::clicked, this, &TFilesPage::ButtonBrowseClick);
    connect(ButtonFileOption, &QToolButton::clicked, this, &TFilesPage::ButtonFileOptionClick);
    connect(CheckListBoxFlags, &QListWidget::itemChanged, this, [this] { FFlags.reset(); });
    connect(ComboBoxDestDir, &QComboBox::currentIndexChanged, this,
            &TFilesPage::ComboBoxDestDirChange);
}

void TFilesPage::LoadFlagsFromIni() {
    const TIniFile ini(PortablePath());
    for (int i = 0; i < CheckListBoxFlags->count(); ++i) {
        QListWidgetItem* item = CheckListBoxFlags->item(i);
        item->setCheckState(ini.ReadBool(QStringLiteral("Flags"), item->text(), false)
                                ? Qt::Checked
                                : Qt::Unchecked);
    }
}

bool TFilesPage::SaveFlagsToIni(QString& error) {
    TIniFile ini(PortablePath());
    // The section holds exactly the ticked flags, and is gone when none is ticked.
    ini.EraseSection(QStringLiteral("Flags"));
    for (const TFileFlag& flag : Flags()) {
        if (flag.Checked)
            ini.WriteBool(QStringLiteral("Flags"), flag.Name, true);
    }
    if (ini.Save())
        return true;
    error = ini.ErrorString();
    return false;
}

void TFilesPage::LoadDestDirComboBox() {
    const TIniFile language(LanguageFilePath(CurrentLanguageName()));
    ComboBoxDestDir->clear();
    ComboBoxDestDir->addItems(language.ReadSection(QStringLiteral("DestDir")));
    if (ComboBoxDestDir->count() > 0)
        ComboBoxDestDir->setCurrentIndex(0);
}

void TFilesPage::LoadDestDirFromIni() {
    const QString stored =
        TIniFile(PortablePath())
            .ReadString(QStringLiteral("Files"), QStringLiteral("DestDir"), QString());
    if (ComboBoxDestDir->count() == 0)
        return;
    const int match =
        stored.isEmpty() ? -1 : ComboBoxDestDir->findText(stored, Qt::MatchFixedString);
    ComboBoxDestDir->setCurrentIndex(match >= 0 ? match : 0);
}

bool TFilesPage::SaveDestDirToIni(QString& error) {
    TIniFile ini(PortablePath());
    ini.WriteString(QStringLiteral("Files"), QStringLiteral("DestDir"), DestDirText());
    if (ini.Save())
        return true;
    error = ini.ErrorString();
    return false;
}

void TFilesPage::ComboBoxDestDirChange() {
    if (ComboBoxDestDir->currentIndex() < 0)
        return;
    LabelDestDir->setText(GetDescriptionFromIni(ComboBoxDestDir->currentText()));
}

QString TFilesPage::GetDescriptionFromIni(const QString& key) {
    const QString path = LanguageFilePath(CurrentLanguageName());
    if (!QFileInfo::exists(path))
        return QStringLiteral("Language file not found");
    const TIniFile language(path);
    if (!language.ValueExists(QStringLiteral("DestDir"), key))
        return QStringLiteral("No description");
    return language.ReadString(QStringLiteral("DestDir"), key, QString());
}

void TFilesPage::SetFileOptionsVisible(bool visible) {
    FFileOptionsVisible = visible;
    GroupBoxControl->setVisible(visible);
}

void TFilesPage::ButtonBrowseClick() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, qm::i18n::MessageText(FMessageItems, "LangSelectFolder"));
    if (folder.isEmpty())
        return;
    QString text = QDir::toNativeSeparators(folder);
    if (!text.endsWith(QDir::separator()))
        text += QDir::separator();
    EditPath->setText(text);
}

QString TFilesPage::FolderText() const {
    return EditPath->text();
}

QString TFilesPage::DestDirText() const {
    return ComboBoxDestDir->currentIndex() >= 0 ? ComboBoxDestDir->currentText() : QString();
}

bool TFilesPage::FullPathChecked() const {
    return CheckBoxFullName->isChecked();
}

bool TFilesPage::EmptyDirsChecked() const {
    return CheckBoxEmptyDirs->isChecked();
}

QList<TFileFlag> TFilesPage::Flags() const {
    if (!FFlags) {
        QList<TFileFlag> flags;
        for (int i = 0; i < CheckListBoxFlags->count(); ++i) {
            const QListWidgetItem* item = CheckListBoxFlags->item(i);
            flags.append({item->text(), item->checkState() == Qt::Checked});
        }
        FFlags = flags;
    }
    return *FFlags;
}

void TFilesPage::ButtonSearchClick() {
    FScanner.ButtonSearchClick();
    // Whether the scan ended or was stopped, the text area holds everything it wrote.
    FlushOutput();
    ShowStatusText();
}

void TFilesPage::ClearOutput() {
    FPendingLines.clear();
    MemoFileList->clear();
}

void TFilesPage::AppendOutputLines(const QStringList& lines) {
    FPendingLines += lines;
    if (!FRefresh->isActive())
        FRefresh->start();
}

void TFilesPage::FlushOutput() {
    if (FPendingLines.isEmpty())
        return;
    MemoFileList->AppendLines(FPendingLines);
    FPendingLines.clear();
}

void TFilesPage::SetStatusText(const QString& text) {
    FStatusText = text;
    if (!FRefresh->isActive())
        FRefresh->start();
}

void TFilesPage::ShowStatusText() {
    if (FStatusPanel->text() != FStatusText)
        FStatusPanel->setText(FStatusText);
}

void TFilesPage::SetScanControlsEnabled(bool enabled) {
    for (QWidget* w :
         {static_cast<QWidget*>(GroupBoxPath), static_cast<QWidget*>(GroupBoxList),
          static_cast<QWidget*>(GroupBoxControl), static_cast<QWidget*>(CheckBoxFullName)})
        w->setEnabled(enabled);
    for (QWidget* w : FWindowScanControls)
        w->setEnabled(enabled);
}

void TFilesPage::ShowSearchButtonScanning(bool scanning) {
    ButtonSearch->setText(
        qm::i18n::MessageText(FMessageItems, scanning ? "LangStop" : "LangSearch"));
}

void TFilesPage::ProcessEvents() {
    // Asking the system for events costs a system call; files come far faster than a person
    // clicks, so events are let run at most once a millisecond, which still answers a Stop at
    // once.
    if (FPumpClock.isValid() && FPumpClock.nsecsElapsed() < 1'000'000)
        return;
    QCoreApplication::processEvents();
    FPumpClock.start();
}
