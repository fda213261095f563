// The Files and Registry pages in the main window: options, dialogs, destinations and their
// descriptions, flags, and a scan or a conversion stopped from inside its own event pump.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"
#include "regconv/TextSink.h"
#include "settings/PortablePath.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// Runs `act` once, from inside the first event-loop turn of the scan that follows.
void DuringScan(std::function<void()> act) {
    QTimer::singleShot(0, act);
}

QStringList OutputLines(const TForm1& form) {
    return form.TabFile->MemoFileList->toPlainText().split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestPages : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QString m_settings;
    QString m_tree; // 20 folders of 20 files
    QString m_reg;

private slots:
    void initTestCase() {
        IsolateFromUser(m_config.path());
        m_settings = PortablePath();
        m_tree = QDir::toNativeSeparators(m_data.filePath(QStringLiteral("tree")));
        for (int d = 0; d < 20; ++d)
            for (int f = 0; f < 20; ++f)
                WriteFile(m_tree +
                              QStringLiteral("/d%1/f%2.txt").arg(d, 2, 10, QLatin1Char('0')).arg(f),
                          "x");
        m_reg = QDir::toNativeSeparators(m_data.filePath(QStringLiteral("e.reg")));
        WriteFile(m_reg, "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"1\"\r\n");
        WriteFile(LanguageFilePath(QStringLiteral("Test")),
                  "\xEF\xBB\xBF[Language information]\r\nLANGNAME=Test\r\n"
                  "[DestDir]\r\n{app}=The program's folder\r\n{tmp}=\r\n{sys}=System folder\r\n");
    }

    void cleanupTestCase() {
        QDir(ProgramFolder() + QStringLiteral("Language")).removeRecursively();
    }

    void init() { QFile::remove(m_settings); }

    void exclusiveKeyOptions() {
        TForm1 form({});
        TRegistryPage* page = form.TabReg;
        page->CheckBoxUninsdeletekeyifempty->click();
        page->CheckBoxUninsdeletekey->click();
        QVERIFY(page->CheckBoxUninsdeletekey->isChecked() &&
                !page->CheckBoxUninsdeletekeyifempty->isChecked());
        page->CheckBoxUninsdeletekeyifempty->click();
        QVERIFY(!page->CheckBoxUninsdeletekey->isChecked() &&
                page->CheckBoxUninsdeletekeyifempty->isChecked());
        page->CheckBoxUninsdeletevalue->click();      // combines with either
        page->CheckBoxUninsdeletekeyifempty->click(); // unchecking changes nothing else
        QVERIFY(!page->CheckBoxUninsdeletekey->isChecked() &&
                page->CheckBoxUninsdeletevalue->isChecked());
    }

    void optionsApplyAtTheNextConversion() {
        TForm1 form({});
        TRegistryPage* page = form.TabReg;
        page->EditPathReg->setText(m_reg);
        page->ButtonChangeReg->click();
        const QString first = page->MemoReg->toPlainText();
        QVERIFY(first.startsWith(QStringLiteral("[Registry]")));
        page->CheckBoxUninsdeletevalue->click();
        QCOMPARE(page->MemoReg->toPlainText(), first);
        page->ButtonChangeReg->click();
        QVERIFY(page->MemoReg->toPlainText().endsWith(QStringLiteral("Flags: uninsdeletevalue;")));

        // A path that no longer exists changes nothing.
        page->EditPathReg->setText(m_data.filePath(QStringLiteral("gone.reg")));
        const QString shown = page->MemoReg->toPlainText();
        page->ButtonChangeReg->click();
        QCOMPARE(page->MemoReg->toPlainText(), shown);
        QVERIFY(page->StatusBar2->currentMessage().isEmpty());
    }

    // The install-mode options reach the converter, are stored, and a MinVersion the compiler
    // would refuse stops the conversion with a warning instead of a section that cannot compile.
    void installModeOptions() {
        {
            TForm1 form({});
            TRegistryPage* page = form.TabReg;
            page->EditPathReg->setText(m_reg);
            page->CheckBoxWow64View->click();
            page->SetPrivilegesText(QStringLiteral("dynamic"));
            page->EditMinVersion->setText(QStringLiteral("10.0"));
            page->ButtonChangeReg->click();
            QVERIFY(page->MemoReg->toPlainText().endsWith(
                QStringLiteral("Check: not IsAdminInstallMode; MinVersion: 10.0;")));
            const QString shown = page->MemoReg->toPlainText();
            page->EditMinVersion->setText(QStringLiteral("6.1 sp1"));
            QVERIFY(page->Options().MinVersion.isEmpty());
            QVERIFY(!page->EditMinVersion->toolTip().isEmpty());
            QString told;
            CloseNextPopup([&](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w))
                    told = box->text();
            });
            page->ButtonChangeReg->click();
            QVERIFY2(told.endsWith(QStringLiteral("6.1 sp1")), qPrintable(told));
            QCOMPARE(page->MemoReg->toPlainText(), shown);
            page->EditMinVersion->setText(QStringLiteral("6.1sp1"));
            form.close();
        }
        TForm1 again({});
        QVERIFY(again.TabReg->CheckBoxWow64View->isChecked() &&
                !again.TabReg->CheckBoxClassesAsHka->isChecked());
        QCOMPARE(again.TabReg->PrivilegesText(), QStringLiteral("dynamic"));
        QCOMPARE(again.TabReg->Options().MinVersion, QStringLiteral("6.1sp1"));
    }

    void optionPanels() {
        TForm1 form({});
        QVERIFY(form.TabReg->GroupBoxControlReg->isHidden());
        form.TabReg->ButtonRegOption->click();
        QVERIFY(form.TabReg->RegOptionsVisible() && !form.TabReg->GroupBoxControlReg->isHidden());
        form.TabFile->ButtonFileOption->click();
        form.TabFile->ButtonFileOption->click();
        QVERIFY(!form.TabFile->FileOptionsVisible() && form.TabFile->GroupBoxControl->isHidden());
    }

    void browseDialogs() {
        TForm1 form({});
        form.PopupMenuLanguage->findChild<QAction*>(QStringLiteral("LangSelectFolder"))
            ->setText(QStringLiteral("Pick"));
        form.TabReg->EditPathReg->setText(m_reg);
        QString title;
        QStringList filters;
        QString folder;
        CloseNextPopup([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            folder = QDir::toNativeSeparators(dialog->directory().path());
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        });
        form.TabReg->ButtonBrowseReg->click(); // cancelled
        QCOMPARE(form.TabReg->EditPathReg->text(), m_reg);
        QCOMPARE(title, QStringLiteral("Pick"));
        QCOMPARE(filters, QStringList{QStringLiteral("Registry files (*.reg)")});
        QCOMPARE(folder, QDir::toNativeSeparators(m_data.path()));

        form.TabFile->EditPath->setText(QStringLiteral("kept"));
        CloseNextPopup([](QWidget*) {});
        form.TabFile->ButtonBrowse->click(); // cancelled
        QCOMPARE(form.TabFile->EditPath->text(), QStringLiteral("kept"));
    }

    void destinations() {
        WriteFile(m_settings, "[Language]\r\nLanguage=Test\r\n[Files]\r\nDestDir={SYS}\r\n");
        TForm1 form({});
        QComboBox* list = form.TabFile->ComboBoxDestDir;
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->currentText(), QStringLiteral("{sys}")); // letter case ignored
        QCOMPARE(form.TabFile->LabelDestDir->text(), QStringLiteral("System folder"));
        list->setCurrentIndex(1);
        QCOMPARE(form.TabFile->LabelDestDir->text(), QString()); // described with an empty text
        QCOMPARE(TFilesPage::GetDescriptionFromIni(QStringLiteral("{win}")),
                 QStringLiteral("No description"));
        form.close();
        QVERIFY(QFile(m_settings).open(QIODevice::ReadOnly));

        // A stored destination that is not offered: the first item.
        WriteFile(m_settings, "[Language]\r\nLanguage=Test\r\n[Files]\r\nDestDir={gone}\r\n");
        TForm1 second({});
        QCOMPARE(second.TabFile->ComboBoxDestDir->currentIndex(), 0);
        QCOMPARE(second.TabFile->LabelDestDir->text(), QStringLiteral("The program's folder"));

        // No language chosen: no destinations, and the label keeps its text.
        WriteFile(m_settings, "[Files]\r\nDestDir={app}\r\n");
        TForm1 third({});
        QCOMPARE(third.TabFile->ComboBoxDestDir->count(), 0);
        QCOMPARE(third.TabFile->LabelDestDir->text(), QStringLiteral("DestDir"));
        QCOMPARE(TFilesPage::GetDescriptionFromIni(QStringLiteral("{app}")),
                 QStringLiteral("Language file not found"));
    }

    void firstStartDefaults() {
        WriteFile(m_settings, "[Language]\r\nLanguage=Test\r\n");
        TForm1 form({});
        QCOMPARE(form.TabFile->ComboBoxDestDir->currentText(), QStringLiteral("{app}"));
        QCOMPARE(form.TabFile->LabelDestDir->text(), QStringLiteral("The program's folder"));
        for (int i = 0; i < form.TabFile->CheckListBoxFlags->count(); ++i)
            QCOMPARE(form.TabFile->CheckListBoxFlags->item(i)->checkState(), Qt::Unchecked);
        QCOMPARE(form.TabFile->CheckListBoxFlags->count(), 45);
        QVERIFY(!form.TabFile->CheckBoxFullName->isChecked());
        QVERIFY(form.TabFile->GroupBoxControl->isHidden());
        QCOMPARE(form.TabFile->ButtonSearch->text(), QStringLiteral("Поиск"));
    }

    void flagsNoLongerListedAreIgnored() {
        WriteFile(m_settings, "[Flags]\r\nreadonly=1\r\nsign=1\r\n");
        {
            TForm1 form({});
            QCOMPARE(
                form.TabFile->CheckListBoxFlags->findItems(QStringLiteral("sign"), Qt::MatchExactly)
                    .front()
                    ->checkState(),
                Qt::Checked);
            QVERIFY(form.TabFile->CheckListBoxFlags
                        ->findItems(QStringLiteral("readonly"), Qt::MatchExactly)
                        .isEmpty());
            form.close();
        }
        QFile f(m_settings);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("[Flags]\r\nsign=1\r\n\r\n"));
    }

    void scanStoppedFromInsideThePump() {
        TForm1 form({});
        form.show();
        form.PopupMenuLanguage->findChild<QAction*>(QStringLiteral("LangStop"))
            ->setText(QStringLiteral("Halt"));
        form.TabFile->EditPath->setText(m_tree + QDir::separator());
        bool checked = false;
        DuringScan([&] {
            // Scanning: the button says Halt, the inputs and both strips are disabled.
            QCOMPARE(form.TabFile->ButtonSearch->text(), QStringLiteral("Halt"));
            QVERIFY(!form.TabFile->GroupBoxPath->isEnabled() &&
                    !form.TabControlTitle->isEnabled() && !form.TabControlPanel->isEnabled() &&
                    !form.TabFile->CheckBoxFullName->isEnabled());
            QVERIFY(form.TabFile->ButtonFileOption->isEnabled());
            form.TabFile->ButtonSearch->click(); // Stop
            QCOMPARE(form.TabFile->ButtonSearch->text(), QStringLiteral("Поиск"));
            QVERIFY(form.TabFile->GroupBoxPath->isEnabled() && form.TabControlTitle->isEnabled());
            checked = true;
        });
        form.TabFile->ButtonSearch->click();
        QVERIFY(checked);
        const QStringList lines = OutputLines(form);
        QCOMPARE(lines.value(0), QStringLiteral("[Files]"));
        QVERIFY2(lines.size() < 401, qPrintable(QString::number(lines.size())));
        QVERIFY((lines.size() - 1) % 20 == 0); // whole folders only
        QCOMPARE(form.TabFile->Scanner().ButtonState(), TFileScanner::bsIdle);

        // Unstopped, the same scan lists every file.
        form.TabFile->ButtonSearch->click();
        QCOMPARE(OutputLines(form).size(), 401);
    }

    void closingStopsTheScan() {
        TForm1 form({});
        form.show();
        form.TabFile->EditPath->setText(m_tree + QDir::separator());
        DuringScan([&] { form.close(); });
        form.TabFile->ButtonSearch->click();
        QCOMPARE(form.TabFile->Scanner().ButtonState(), TFileScanner::bsIdle);
        QVERIFY(OutputLines(form).size() < 401);
        QVERIFY(QFile::exists(PortablePath())); // the settings were written all the same
    }

    void droppedFolderStopsTheScan() {
        TForm1 form({});
        form.show();
        const QString other = QDir::toNativeSeparators(m_data.filePath(QStringLiteral("other")));
        WriteFile(other + QStringLiteral("/new.txt"), "x");
        form.TabFile->EditPath->setText(m_tree + QDir::separator());
        DuringScan([&] {
            auto* data = new QMimeData;
            data->setUrls({QUrl::fromLocalFile(other)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &drop);
            delete data;
        });
        form.TabFile->ButtonSearch->click();
        QCOMPARE(form.TabFile->EditPath->text(), other);
        QCOMPARE(form.TabFile->Scanner().ButtonState(), TFileScanner::bsIdle);
        const QStringList lines = OutputLines(form);
        QVERIFY(lines.size() < 401);
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("new.txt")));
    }

    // A large export converts with the window answering: the section grows as it converts,
    // nothing starts a second conversion meanwhile, and closing the window stops it. Unstopped,
    // the page shows what the converter writes for the whole file.
    void conversionAnswersAndClosingStopsIt() {
        const QString path = m_data.filePath(QStringLiteral("large.reg"));
        QByteArray text = "REGEDIT4\r\n";
        for (int i = 0; i < 60000; ++i)
            text += "[HKEY_CURRENT_USER\\Software\\K" + QByteArray::number(i) + "]\r\n\"v\"=\"" +
                    QByteArray::number(i) + "\"\r\n";
        WriteFile(path, text);
        TAdvancedRegConverter converter;
        TStringListSink whole;
        QVERIFY(converter.ConvertFromFileToMemo(path, &whole));

        TForm1 form({});
        form.show();
        TRegistryPage* page = form.TabReg;
        page->EditPathReg->setText(path);
        bool checked = false;
        DuringScan([&] {
            QVERIFY(page->Converting() && page->MemoReg->lineCount() > 1);
            QVERIFY(!page->GroupBox2->isEnabled() && !page->GroupBox1->isEnabled());
            QVERIFY(!page->ConvertFile(m_reg));
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(m_reg)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &enter);
            QVERIFY(!enter.isAccepted());
            form.close();
            checked = true;
        });
        page->ButtonChangeReg->click();
        QVERIFY(checked);
        QVERIFY(!page->Converting() && page->GroupBox2->isEnabled());
        const qsizetype stopped = page->MemoReg->lineCount();
        QVERIFY2(stopped > 1 && stopped < whole.Lines.size(), qPrintable(QString::number(stopped)));
        QVERIFY(!page->MemoReg->toPlainText().contains(QStringLiteral("Error")));

        page->ButtonChangeReg->click();
        QCOMPARE(page->MemoReg->toPlainText(), whole.Lines.join(u'\n'));
    }
};

QM_TEST_MAIN(TestPages)
#include "tst_Pages.moc"
