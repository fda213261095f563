// The main window with real widgets: title, pages, the general-menu button, the text-area
// commands, the command-line argument, drops, and the settings read at creation and written
// at close.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/RegistryPage.h"
#include "settings/PortablePath.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

const QChar kSep = QDir::separator();

QString ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool IsBold(const QToolButton* b) {
    return b->font().bold();
}

// The settings store the outer size, frame included.
void ResizeOuter(QWidget& window, const QSize& outer) {
    window.resize(outer - (window.frameGeometry().size() - window.size()));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    QString m_settings;
    QString m_folder; // a small tree to scan
    QString m_reg;    // a small export

private slots:
    void initTestCase() {
        IsolateFromUser(m_config.path());
        m_settings = PortablePath();
        m_folder = QDir::toNativeSeparators(m_data.filePath(QStringLiteral("App")));
        WriteFile(m_folder + QStringLiteral("/lang/de.ini"), "x");
        WriteFile(m_folder + QStringLiteral("/App.exe"), "x");
        m_reg = QDir::toNativeSeparators(m_data.filePath(QStringLiteral("e.reg")));
        WriteFile(m_reg, "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"1\"\r\n");
    }

    void init() { QFile::remove(m_settings); }

    void settingsPathAndTitle() {
        QCOMPARE(m_settings, QDir::toNativeSeparators(m_config.path()) + kSep +
                                 QStringLiteral("config/Quillmark Team/Quillmark/Config/Option.ini")
                                     .replace(u'/', kSep));
        TForm1 form({});
        QCOMPARE(form.windowTitle(), QStringLiteral("Quillmark %1 (%2-bit)")
                                         .arg(QStringLiteral(QM_VERSION_TEXT))
                                         .arg(QT_POINTER_SIZE * 8));
        QVERIFY(!PortableMode);
    }

    void portableMode() {
        const QString marker = ProgramFolder() + QStringLiteral("portable.ini");
        WriteFile(marker, "");
        {
            TForm1 form({});
            QVERIFY(PortableMode);
            QVERIFY(form.windowTitle().endsWith(QStringLiteral("-bit) Portable")));
            QCOMPARE(PortablePath(), ProgramFolder() + QStringLiteral("Config") + kSep +
                                         QStringLiteral("Option.ini"));
            form.close();
            QVERIFY(QFile::exists(PortablePath()));
        }
        QFile::remove(marker);
        QDir(ProgramFolder() + QStringLiteral("Config")).removeRecursively();
        PortableMode = DetectPortableMode();
        QVERIFY(!PortableMode);
    }

    void startState() {
        TForm1 form({});
        QCOMPARE(form.PageControl->currentWidget(), form.TabFile);
        QVERIFY(form.PageControl->tabBar()->isHidden());
        QVERIFY(IsBold(form.ButtonFiles));
        QVERIFY(!IsBold(form.ButtonReg));
        QCOMPARE(form.DefaultButton(), form.ButtonFiles);
        QVERIFY(form.GeneralMenuAllowUp());
        // No settings file: everything off, panels hidden, no theme checked.
        QVERIFY(!form.TabFile->CheckBoxFullName->isChecked());
        QVERIFY(!form.TabFile->FileOptionsVisible());
        QVERIFY(!form.TabReg->RegOptionsVisible());
        QVERIFY(!form.ThemeAuto->isChecked() && !form.ThemeLight->isChecked() &&
                !form.ThemeDark->isChecked());
        QCOMPARE(form.size(), QSize(684, 511));
        QCOMPARE(form.Message("LangStop"), QStringLiteral("Стоп"));
    }

    void pageButtons() {
        TForm1 form({});
        form.ButtonReg->click();
        QCOMPARE(form.PageControl->currentWidget(), form.TabReg);
        QVERIFY(IsBold(form.ButtonReg) && !IsBold(form.ButtonFiles));
        form.ButtonFiles->click();
        QCOMPARE(form.PageControl->currentWidget(), form.TabFile);
        QVERIFY(IsBold(form.ButtonFiles) && !IsBold(form.ButtonReg));
        QCOMPARE(form.DefaultButton(), form.ButtonFiles); // page buttons do not move it
    }

    void generalMenuButton() {
        TForm1 form({});
        form.show();
        int opened = 0;
        connect(form.PopupMenu_General, &QMenu::aboutToShow, [&] { ++opened; });

        // Click: the menu opens; it is closed without a choice; the button stays down.
        CloseNextPopup();
        form.SpeedButton_GeneralMenu->click();
        QCOMPARE(opened, 1);
        QVERIFY(!form.GeneralMenuAllowUp() && form.GeneralMenuPressed());
        QVERIFY(form.SpeedButton_GeneralMenu->isChecked());
        // Second click: only sets the button up again.
        form.SpeedButton_GeneralMenu->click();
        QCOMPARE(opened, 1);
        QVERIFY(form.GeneralMenuAllowUp() && !form.GeneralMenuPressed());
        QVERIFY(!form.SpeedButton_GeneralMenu->isChecked());
        // Third click: opens the menu again.
        CloseNextPopup();
        form.SpeedButton_GeneralMenu->click();
        QCOMPARE(opened, 2);

        // The verb items keep it down; moving the mouse over a listed area releases it.
        form.EmbedFolderMenu->trigger();
        QVERIFY(form.GeneralMenuPressed());
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.TabFile->GroupBoxPath, &move);
        QVERIFY(form.GeneralMenuAllowUp() && !form.GeneralMenuPressed());

        // Commands release it too.
        CloseNextPopup();
        form.SpeedButton_GeneralMenu->click();
        form.CheckUpdateMenu->trigger();
        QVERIFY(form.GeneralMenuAllowUp());
    }

    void textAreaCommands() {
        TForm1 form({});
        TSectionView* memo = form.TabFile->MemoFileList;
        memo->setPlainText(QStringLiteral("one\ntwo two\nthree\nfour  \n\n"));
        QClipboard* clipboard = QGuiApplication::clipboard();
        const auto select = [&](TTextPos from, TTextPos to) { memo->SetSelection(from, to); };

        select({2, 1}, {2, 1}); // the caret in line 3, no selection
        QCOMPARE(TForm1::GetSelectedLines(memo), QStringLiteral("three"));
        select({3, 0}, {1, 4}); // from the start of line 4 back to the middle of line 2
        QCOMPARE(TForm1::GetSelectedLines(memo), QStringLiteral("two two\r\nthree\r\nfour"));
        select({3, 1}, {5, 0}); // to the end: trailing blanks and empty lines are dropped
        QCOMPARE(TForm1::GetSelectedLines(memo), QStringLiteral("four"));

        select({1, 4}, {3, 0});
        form.CopySelectedLinesMenuClick();
        QCOMPARE(clipboard->text(), QStringLiteral("two two\r\nthree\r\nfour"));
        form.CopySelectedTextMenuClick();
        QCOMPARE(clipboard->text(), QStringLiteral("two\r\nthree\r\n"));
        form.CopyAllTextMenuClick();
        QCOMPARE(clipboard->text(), QStringLiteral("one\r\ntwo two\r\nthree\r\nfour  \r\n\r\n"));
        form.ClearTextMenuClick();
        QVERIFY(memo->toPlainText().isEmpty());
        clipboard->setText(QStringLiteral("stale"));
        form.CopyAllTextMenuClick();
        QCOMPARE(clipboard->text(), QString());

        // The Registry page's items act on its own text area.
        form.TabReg->MemoReg->setPlainText(QStringLiteral("[Registry]"));
        form.CopyAllTextRegMenuClick();
        QCOMPARE(clipboard->text(), QStringLiteral("[Registry]"));
        form.ClearTextRegMenuClick();
        QVERIFY(form.TabReg->MemoReg->toPlainText().isEmpty());
        QVERIFY(form.PopupMenuList->findChild<QAction*>(QStringLiteral("CopySelectedLinesMenu")));
        QVERIFY(form.PopupMenuRegList->findChild<QAction*>(QStringLiteral("ClearTextRegMenu")));
    }

    // The text areas show and copy exactly the lines written: a no-break space stays one, and
    // a name holding a line separator is one comment line, not two lines.
    void copiedLinesAreTheWrittenLines() {
        const QString path = m_data.filePath(QStringLiteral("exact.reg"));
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n"
                                            "[HKEY_CURRENT_USER\\K]\r\n"
                                            "\"nbsp\"=\"a\u00A0b\"\r\n"
                                            "\"x\u2028[Run]\"=\"y\"\r\n");
        QByteArray bytes("\xFF\xFE");
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        WriteFile(path, bytes);
        TForm1 form({});
        form.DropItem(path);
        TAdvancedRegConverter converter;
        TStringListSink sink;
        QVERIFY(converter.ConvertFromFileToMemo(path, &sink));
        const QStringList& written = sink.Lines;
        QCOMPARE(written.size(), 4);
        QVERIFY(written[2].endsWith(QStringLiteral("ValueData: \"a\u00A0b\";")));
        QVERIFY(written[3].startsWith(QStringLiteral("; Not converted: value \"x<U+2028>[Run]\"")));
        QCOMPARE(form.TabReg->MemoReg->lineCount(), written.size());
        form.CopyAllTextRegMenuClick();
        QCOMPARE(QGuiApplication::clipboard()->text(), written.join(QStringLiteral("\r\n")));
        form.TabReg->MemoReg->selectAll();
        form.CopySelectedLinesRegMenuClick();
        QCOMPARE(QGuiApplication::clipboard()->text(), written.join(QStringLiteral("\r\n")));
    }

    void folderArgument() {
        TForm1 form({u'"' + m_folder + u'"'});
        form.FormActivate();
        QCOMPARE(form.TabFile->EditPath->text(), m_folder);
        QCOMPARE(form.PageControl->currentWidget(), form.TabFile);
        QCOMPARE(form.DefaultButton(), form.ButtonFiles);
        const QStringList lines = form.TabFile->MemoFileList->toPlainText().split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("[Files]"));
        QCOMPARE(lines.size(), 3);
    }

    void regArgumentAndReactivation() {
        TForm1 form({m_reg});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.PageControl->currentWidget(), form.TabReg);
        QCOMPARE(form.TabReg->EditPathReg->text(), m_reg);
        QCOMPARE(form.DefaultButton(), form.ButtonReg);
        QVERIFY(IsBold(form.ButtonReg));
        QVERIFY(form.TabReg->MemoReg->toPlainText().startsWith(
            QStringLiteral("[Registry]\nRoot: HKCU; Subkey: \"K\";")));

        // Back from another window of the program: the argument was handled once; what the user
        // chose since stays, and nothing is converted again.
        WriteFile(m_settings,
                  "[Option]\r\nCheckBoxFullName=1\r\n[Registry]\r\nCheckBoxUninsdeletevalue=1\r\n");
        form.TabReg->CheckBoxUninsdeletekey->setChecked(true);
        form.TabReg->MemoReg->clear();
        QDialog other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::qWait(50);
        QVERIFY(form.TabReg->CheckBoxUninsdeletekey->isChecked());
        QVERIFY(!form.TabFile->CheckBoxFullName->isChecked());
        QVERIFY(form.TabReg->MemoReg->toPlainText().isEmpty());
    }

    void missingArgumentOnlyReadsSettings() {
        TForm1 form({m_data.filePath(QStringLiteral("gone.reg"))});
        WriteFile(m_settings, "[Option]\r\nCheckBoxFullName=1\r\n");
        form.FormActivate();
        QVERIFY(form.TabFile->CheckBoxFullName->isChecked());
        QVERIFY(form.TabReg->EditPathReg->text().isEmpty());
        QCOMPARE(form.PageControl->currentWidget(), form.TabFile);
    }

    void drops() {
        const QString regFolder =
            QDir::toNativeSeparators(m_data.filePath(QStringLiteral("x.reg")));
        QDir().mkpath(regFolder);
        WriteFile(regFolder + QStringLiteral("/inside.txt"), "x");
        const QString text = m_data.filePath(QStringLiteral("notes.txt"));
        WriteFile(text, "x");
        TForm1 form({});

        DropOn(form, {text}); // ignored
        QCoreApplication::processEvents();
        QVERIFY(form.TabFile->EditPath->text().isEmpty() &&
                form.TabReg->EditPathReg->text().isEmpty());

        DropOn(form, {regFolder, m_reg}); // a folder named x.reg is a folder; only the first counts
        // The drop has returned before the scan starts.
        QVERIFY(form.TabFile->EditPath->text().isEmpty());
        QTRY_COMPARE(form.TabFile->EditPath->text(), regFolder);
        QCOMPARE(form.TabFile->MemoFileList->toPlainText(),
                 QStringLiteral("[Files]\nSource: \"x.reg%1inside.txt\"; DestDir: \"{app}\";")
                     .arg(kSep));
        QVERIFY(form.TabReg->EditPathReg->text().isEmpty());

        DropOn(form, {m_reg, regFolder});
        QTRY_COMPARE(form.PageControl->currentWidget(), form.TabReg);
        QCOMPARE(form.TabReg->EditPathReg->text(), m_reg);
        QCOMPARE(form.DefaultButton(), form.ButtonReg);
        QVERIFY(form.TabReg->MemoReg->toPlainText().startsWith(QStringLiteral("[Registry]")));
    }

    void settingsRoundTrip() {
        {
            TForm1 form({});
            form.TabFile->CheckBoxFullName->setChecked(true);
            form.TabFile->CheckBoxEmptyDirs->setChecked(true);
            form.TabReg->CheckBoxUninsdeletekey->setChecked(true);
            form.TabFile->ButtonFileOptionClick();
            form.ThemeDark->setChecked(true);
            form.TabFile->CheckListBoxFlags->item(32)->setCheckState(Qt::Checked); // sign
            form.TabFile->CheckListBoxFlags->item(0)->setCheckState(Qt::Checked);  // ignoreversion
            form.show();
            ResizeOuter(form, QSize(800, 650));
            form.close();
        }
        const QString file = ReadFile(m_settings);
        QVERIFY(file.contains(QStringLiteral("[Flags]\r\nignoreversion=1\r\nsign=1\r\n\r\n")));
        QVERIFY(file.contains(QStringLiteral("Window=wsNormal\r\nHeight=650\r\nWidth=800\r\n")));
        TForm1 again({});
        QVERIFY(again.TabFile->CheckBoxFullName->isChecked());
        QVERIFY(again.TabFile->CheckBoxEmptyDirs->isChecked());
        QVERIFY(again.TabReg->CheckBoxUninsdeletekey->isChecked());
        QVERIFY(again.TabFile->FileOptionsVisible());
        QVERIFY(again.ThemeDark->isChecked() && !again.ThemeAuto->isChecked());
        QCOMPARE(again.TabFile->CheckListBoxFlags->item(32)->checkState(), Qt::Checked);
        again.show();
        QCOMPARE(again.frameGeometry().size(), QSize(800, 650));
        again.close();
        // Unticking every flag removes the section.
        TForm1 third({});
        for (int i = 0; i < third.TabFile->CheckListBoxFlags->count(); ++i)
            third.TabFile->CheckListBoxFlags->item(i)->setCheckState(Qt::Unchecked);
        third.close();
        QVERIFY(!ReadFile(m_settings).contains(QStringLiteral("[Flags]")));
    }

    void bothKeyOptionsStored() {
        WriteFile(m_settings,
                  "[Registry]\r\nCheckBoxUninsdeletekey=1\r\nCheckBoxUninsdeletekeyifempty=1\r\n");
        TForm1 form({});
        QVERIFY(form.TabReg->CheckBoxUninsdeletekeyifempty->isChecked());
        QVERIFY(!form.TabReg->CheckBoxUninsdeletekey->isChecked());
    }

    void maximizedState() {
        WriteFile(m_settings, "[Option]\r\nWindow=wsMaximized\r\nHeight=300\r\nWidth=900\r\n");
        {
            TForm1 form({});
            form.show();
            QVERIFY(form.isMaximized());
            form.close();
        }
        // Stored sizes are kept; only "Window" changes while maximized.
        QVERIFY(ReadFile(m_settings)
                    .contains(QStringLiteral("Window=wsMaximized\r\nHeight=300\r\nWidth=900\r\n")));
        // Another letter case does not count as maximized.
        WriteFile(m_settings, "[Option]\r\nWindow=wsmaximized\r\nHeight=560\r\nWidth=700\r\n");
        TForm1 form({});
        form.show();
        QVERIFY(!form.isMaximized());
        QCOMPARE(form.frameGeometry().size(), QSize(700, 560));
    }

    void exampleFile() {
        // First run: resized to 720 x 600, nothing ticked, destination {app} selected.
        {
            TForm1 form({});
            form.TabFile->ComboBoxDestDir->addItem(QStringLiteral("{app}"));
            form.TabFile->ComboBoxDestDir->setCurrentIndex(0);
            form.show();
            ResizeOuter(form, QSize(720, 600));
            form.close();
        }
        QFile f(m_settings);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[Option]\r\n"
                                         "CheckBoxQuickUpdate=1\r\n"
                                         "CheckBoxFullName=0\r\n"
                                         "ButtonFileOption=0\r\n"
                                         "ButtonRegOption=0\r\n"
                                         "ThemeAuto=0\r\n"
                                         "ThemeLight=0\r\n"
                                         "ThemeDark=0\r\n"
                                         "Window=wsNormal\r\n"
                                         "Height=600\r\n"
                                         "Width=720\r\n"
                                         "\r\n"
                                         "[Registry]\r\n"
                                         "CheckBoxUninsdeletevalue=0\r\n"
                                         "CheckBoxUninsdeletekey=0\r\n"
                                         "CheckBoxUninsdeletekeyifempty=0\r\n"
                                         "CheckBoxClassesAsHka=0\r\n"
                                         "CheckBoxWow64View=0\r\n"
                                         "ComboBoxPrivileges=\r\n"
                                         "EditMinVersion=\r\n"
                                         "\r\n"
                                         "[Files]\r\n"
                                         "CheckBoxEmptyDirs=0\r\n"
                                         "DestDir={app}\r\n"
                                         "\r\n"));
    }

    void storedSizeKeptToTheScreen() {
        // A portable copy moved from a large monitor to a small one.
        WriteFile(m_settings, "[Option]\r\nWidth=9000\r\nHeight=7000\r\n");
        TForm1 form({});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect available = form.screen()->availableGeometry();
        QTRY_VERIFY(available.contains(form.frameGeometry()));
        form.close();
        QVERIFY(ReadFile(m_settings).contains(QStringLiteral("Width=%1").arg(available.width())));
    }

    void unwritableSettingsStillClose() {
        // The settings folder is a file: nothing can be written there.
        QDir(QFileInfo(m_settings).path()).removeRecursively();
        WriteFile(QFileInfo(m_settings).path(), "not a folder");
        const auto told = CloseNextPopup();
        TForm1 form({});
        form.show();
        QVERIFY(form.close());
        QVERIFY(*told);
        QFile::remove(QFileInfo(m_settings).path());
    }
};

QM_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
