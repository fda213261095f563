#include "regconv/RegistryPage.h"

#include "i18n/Components.h"
#include "regconv/AdvancedRegConverter.h"
#include "widgets/NamedWidget.h"
#include "widgets/PageFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

using qm::widgets::NewNamed;

namespace {

QCheckBox* Option(const char* name, QWidget* parent) {
    auto* box = NewNamed<QCheckBox>(name, parent);
    box->setText(QString::fromLatin1(name).sliced(8).toLower()); // "CheckBox" + flag name
    return box;
}

} // namespace

TRegistryPage::TRegistryPage(const QObject* messageItems, QWidget* parent)
    : QWidget(parent), FMessageItems(messageItems), FSink(nullptr) {
    setObjectName(QStringLiteral("TabReg"));
    static constexpr TPageFrameNames kNames = {
        "GroupBox1",       "EditPathReg",    "ButtonBrowseReg",    "GroupBoxListReg",
        "MemoReg",         "StatusBar2",     "GroupBoxControlReg", "GroupBox2",
        "ButtonRegOption", "ButtonChangeReg"};
    const TPageFrame frame{GroupBox1,       EditPathReg,    ButtonBrowseReg,    GroupBoxListReg,
                           MemoReg,         StatusBar2,     GroupBoxControlReg, GroupBox2,
                           ButtonRegOption, ButtonChangeReg};
    BeginPageFrame(this, kNames, frame);
    FSink = TMemoSink(MemoReg);
    CheckBoxUninsdeletevalue = Option("CheckBoxUninsdeletevalue", GroupBoxControlReg);
    CheckBoxUninsdeletekey = Option("CheckBoxUninsdeletekey", GroupBoxControlReg);
    CheckBoxUninsdeletekeyifempty = Option("CheckBoxUninsdeletekeyifempty", GroupBoxControlReg);
    // For installs per user or per machine.
    CheckBoxClassesAsHka = NewNamed<QCheckBox>("CheckBoxClassesAsHka", GroupBoxControlReg);
    CheckBoxClassesAsHka->setText(QStringLiteral("HKCR как HKA"));
    CheckBoxWow64View = NewNamed<QCheckBox>("CheckBoxWow64View", GroupBoxControlReg);
    CheckBoxWow64View->setText(QStringLiteral("WOW6432Node: 32-битный вид"));
    LabelPrivileges = NewNamed<QLabel>("LabelPrivileges", GroupBoxControlReg);
    LabelPrivileges->setText(QStringLiteral("Права:"));
    ComboBoxPrivileges = NewNamed<QComboBox>("ComboBoxPrivileges", GroupBoxControlReg);
    ComboBoxPrivileges->addItems(
        {QString(), QStringLiteral("admin"), QStringLiteral("lowest"), QStringLiteral("dynamic")});
    LabelPrivileges->setBuddy(ComboBoxPrivileges);
    LabelMinVersion = NewNamed<QLabel>("LabelMinVersion", GroupBoxControlReg);
    LabelMinVersion->setText(QStringLiteral("MinVersion:"));
    EditMinVersion = NewNamed<QLineEdit>("EditMinVersion", GroupBoxControlReg);
    EditMinVersion->setPlaceholderText(QStringLiteral("6.1sp1"));
    LabelMinVersion->setBuddy(EditMinVersion);
    auto* options = new QVBoxLayout(GroupBoxControlReg);
    options->addWidget(CheckBoxUninsdeletevalue);
    options->addWidget(CheckBoxUninsdeletekey);
    options->addWidget(CheckBoxUninsdeletekeyifempty);
    options->addSpacing(8);
    options->addWidget(CheckBoxClassesAsHka);
    options->addWidget(CheckBoxWow64View);
    auto* fields = new QGridLayout;
    fields->addWidget(LabelPrivileges, 0, 0);
    fields->addWidget(ComboBoxPrivileges, 0, 1);
    fields->addWidget(LabelMinVersion, 1, 0);
    fields->addWidget(EditMinVersion, 1, 1);
    options->addLayout(fields);
    options->addStretch(1);
    connect(EditMinVersion, &QLineEdit::textChanged, this, &TRegistryPage::ShowMinVersionState);

    EndPageFrame(this, kNames, frame);
    GroupBox2->setTitle(QStringLiteral("Обработка"));
    ButtonChangeReg->setText(QStringLiteral("Пуск"));
    connect(ButtonBrowseReg, &QPushButton::clicked, this, &TRegistryPage::ButtonBrowseRegClick);
    connect(ButtonChangeReg, &QPushButton::clicked, this, &TRegistryPage::ButtonChangeRegClick);
    connect(ButtonRegOption, &QToolButton::clicked, this, &TRegistryPage::ButtonRegOptionClick);
    // Also on changes made by code, so restored settings keep the two key options apart.
    connect(CheckBoxUninsdeletekey, &QCheckBox::toggled, this,
            &TRegistryPage::CheckBoxUninsdeletekeyClick);
    connect(CheckBoxUninsdeletekeyifempty, &QCheckBox::toggled, this,
            &TRegistryPage::CheckBoxUninsdeletekeyifemptyClick);
}

TRegConvOptions TRegistryPage::Options() const {
    TRegConvOptions options;
    options.UninsDeleteKey = CheckBoxUninsdeletekey->isChecked();
    options.UninsDeleteKeyIfEmpty = CheckBoxUninsdeletekeyifempty->isChecked();
    options.UninsDeleteValue = CheckBoxUninsdeletevalue->isChecked();
    options.ClassesAsHka = CheckBoxClassesAsHka->isChecked();
    options.Wow64View = CheckBoxWow64View->isChecked();
    ParseRegPrivileges(PrivilegesText(), options.Privileges);
    const QString version = EditMinVersion->text().trimmed();
    if (IsInnoMinVersion(version))
        options.MinVersion = version;
    return options;
}

QString TRegistryPage::PrivilegesText() const {
    return ComboBoxPrivileges->currentText();
}

void TRegistryPage::SetPrivilegesText(const QString& text) {
    ComboBoxPrivileges->setCurrentIndex(std::max(0, ComboBoxPrivileges->findText(text)));
}

// A version the compiler would refuse shows in the error colour, with the reason as its tip.
void TRegistryPage::ShowMinVersionState() {
    const QString version = EditMinVersion->text().trimmed();
    const bool refused = !version.isEmpty() && !IsInnoMinVersion(version);
    EditMinVersion->setStyleSheet(refused ? QStringLiteral("color: #c42b1c;") : QString());
    EditMinVersion->setToolTip(refused ? qm::i18n::MessageText(FMessageItems, "LangBadMinVersion")
                                       : QString());
}

void TRegistryPage::SetRegOptionsVisible(bool visible) {
    FRegOptionsVisible = visible;
    GroupBoxControlReg->setVisible(visible);
}

void TRegistryPage::ButtonBrowseRegClick() {
    QFileDialog dialog(this, qm::i18n::MessageText(FMessageItems, "LangSelectFolder"));
    const QString current = EditPathReg->text();
    const qsizetype slash = std::max(current.lastIndexOf(u'/'), current.lastIndexOf(u'\\'));
    dialog.setDirectory(slash >= 0 ? current.first(slash + 1)
                                   : QCoreApplication::applicationDirPath());
    dialog.setNameFilter(QStringLiteral("Registry files (*.reg)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        EditPathReg->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

void TRegistryPage::ButtonChangeRegClick() {
    if (!FConverter)
        return;
    const QString version = EditMinVersion->text().trimmed();
    if (!version.isEmpty() && !IsInnoMinVersion(version)) {
        QMessageBox::warning(this, QString(),
                             qm::i18n::MessageText(FMessageItems, "LangBadMinVersion") + u' ' +
                                 version);
        return;
    }
    ConvertFile(EditPathReg->text());
}

bool TRegistryPage::ConvertFile(const QString& path) {
    if (!FConverter || FConverting || path.isEmpty() || !QFileInfo::exists(path))
        return false;
    FConverting = true;
    SetConvertControlsEnabled(false);
    FSink.Clear();
    FSink.Start();
    QFile input(path);
    QString error;
    bool converted = false;
    try {
        converted = FConverter->StreamToSink(input, path, &FSink, error);
        if (!converted && !FSink.Stopped()) {
            // As a text area shows a failed conversion: the reason alone.
            FSink.Clear();
            FSink.AppendLine(QStringLiteral("Error: ") + error);
        }
    } catch (const std::exception& e) {
        QMessageBox::critical(this, QString(),
                              QStringLiteral("Error loading file: ") + QString::fromUtf8(e.what()));
    }
    SetConvertControlsEnabled(true);
    FConverting = false;
    return converted;
}

// While a conversion runs, what would change it or start another waits; the text area can
// be scrolled and copied from.
void TRegistryPage::SetConvertControlsEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBoxControlReg),
                       static_cast<QWidget*>(GroupBox2)})
        w->setEnabled(enabled);
}

void TRegistryPage::CheckBoxUninsdeletekeyClick() {
    if (CheckBoxUninsdeletekey->isChecked())
        CheckBoxUninsdeletekeyifempty->setChecked(false);
}

void TRegistryPage::CheckBoxUninsdeletekeyifemptyClick() {
    if (CheckBoxUninsdeletekeyifempty->isChecked())
        CheckBoxUninsdeletekey->setChecked(false);
}
