#include "regconv/RegistryPage.h"

#include "i18n/Components.h"
#include "regconv/AdvancedRegConverter.h"

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

namespace {

QCheckBox* Option(const char* name, QWidget* parent) {
    auto* box = qm::i18n::NewNamed<QCheckBox>(name, parent);
    box->setText(QString::fromLatin1(name).sliced(8).toLower()); // "CheckBox" + flag name
    return box;
}

} // namespace

TRegistryPage::TRegistryPage(const QObject* messageItems, QWidget* parent)
    : QWidget(parent), FMessageItems(messageItems), FSink(nullptr) {
    setObjectName(QStringLiteral("TabReg"));

    GroupBox1 = qm::i18n::NewNamed<QGroupBox>("GroupBox1", this);
    GroupBox1->setTitle(QStringLiteral("Путь"));
    EditPathReg = qm::i18n::NewNamed<QLineEdit>("EditPathReg", GroupBox1);
    EditPathReg->setReadOnly(true);
    ButtonBrowseReg = qm::i18n::NewNamed<QPushButton>("ButtonBrowseReg", GroupBox1);
    ButtonBrowseReg->setText(QStringLiteral("Обзор..."));
    auto* pathRow = new QHBoxLayout(GroupBox1);
    pathRow->addWidget(EditPathReg, 1);
    pathRow->addWidget(ButtonBrowseReg);

    GroupBoxListReg = qm::i18n::NewNamed<QGroupBox>("GroupBoxListReg", this);
    GroupBoxListReg->setTitle(QStringLiteral("Список"));
    MemoReg = qm::i18n::NewNamed<TSectionView>("MemoReg", GroupBoxListReg);
    FSink = TMemoSink(MemoReg);
    StatusBar2 = qm::i18n::NewNamed<QStatusBar>("StatusBar2", GroupBoxListReg);
    StatusBar2->setSizeGripEnabled(false);
    auto* listColumn = new QVBoxLayout(GroupBoxListReg);
    listColumn->addWidget(MemoReg, 1);
    listColumn->addWidget(StatusBar2);

    GroupBoxControlReg = qm::i18n::NewNamed<QGroupBox>("GroupBoxControlReg", this);
    GroupBoxControlReg->setTitle(QStringLiteral("Управление"));
    CheckBoxUninsdeletevalue = Option("CheckBoxUninsdeletevalue", GroupBoxControlReg);
    CheckBoxUninsdeletekey = Option("CheckBoxUninsdeletekey", GroupBoxControlReg);
    CheckBoxUninsdeletekeyifempty = Option("CheckBoxUninsdeletekeyifempty", GroupBoxControlReg);
    // For installs per user or per machine.
    CheckBoxClassesAsHka =
        qm::i18n::NewNamed<QCheckBox>("CheckBoxClassesAsHka", GroupBoxControlReg);
    CheckBoxClassesAsHka->setText(QStringLiteral("HKCR как HKA"));
    CheckBoxWow64View = qm::i18n::NewNamed<QCheckBox>("CheckBoxWow64View", GroupBoxControlReg);
    CheckBoxWow64View->setText(QStringLiteral("WOW6432Node: 32-битный вид"));
    LabelPrivileges = qm::i18n::NewNamed<QLabel>("LabelPrivileges", GroupBoxControlReg);
    LabelPrivileges->setText(QStringLiteral("Права:"));
    ComboBoxPrivileges = qm::i18n::NewNamed<QComboBox>("ComboBoxPrivileges", GroupBoxControlReg);
    ComboBoxPrivileges->addItems(
        {QString(), QStringLiteral("admin"), QStringLiteral("lowest"), QStringLiteral("dynamic")});
    LabelPrivileges->setBuddy(ComboBoxPrivileges);
    LabelMinVersion = qm::i18n::NewNamed<QLabel>("LabelMinVersion", GroupBoxControlReg);
    LabelMinVersion->setText(QStringLiteral("MinVersion:"));
    EditMinVersion = qm::i18n::NewNamed<QLineEdit>("EditMinVersion", GroupBoxControlReg);
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
    GroupBoxControlReg->setFixedWidth(210);

    GroupBox2 = qm::i18n::NewNamed<QGroupBox>("GroupBox2", this);
    GroupBox2->setTitle(QStringLiteral("Обработка"));
    ButtonRegOption = qm::i18n::NewNamed<QToolButton>("ButtonRegOption", GroupBox2);
    ButtonRegOption->setToolTip(QStringLiteral("Показать/скрыть опции"));
    ButtonChangeReg = qm::i18n::NewNamed<QPushButton>("ButtonChangeReg", GroupBox2);
    ButtonChangeReg->setText(QStringLiteral("Пуск"));
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(ButtonBrowseReg),
                               static_cast<QAbstractButton*>(ButtonRegOption),
                               static_cast<QAbstractButton*>(ButtonChangeReg)})
        b->setCursor(Qt::PointingHandCursor);
    auto* runRow = new QHBoxLayout(GroupBox2);
    runRow->addStretch(1);
    runRow->addWidget(ButtonRegOption);
    runRow->addWidget(ButtonChangeReg);

    auto* grid = new QGridLayout(this);
    grid->addWidget(GroupBox1, 0, 0, 1, 2);
    grid->addWidget(GroupBoxListReg, 1, 0);
    grid->addWidget(GroupBoxControlReg, 1, 1);
    grid->addWidget(GroupBox2, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);

    GroupBoxControlReg->setVisible(false);
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
        FSink.Flush();
        if (!converted && !FSink.Stopped()) {
            // As a text area shows a failed conversion: the reason alone.
            FSink.Clear();
            FSink.AppendLine(QStringLiteral("Error: ") + error);
            FSink.Flush();
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
