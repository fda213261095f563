// Languages in the real windows: the keys the start-up pass looks up, the shipped language
// files, the language menu, a language switch, the cleaning of language files, and the choice
// on a first start.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "about/Unit_About.h"
#include "app/Unit_Base.h"
#include "filelist/FilesPage.h"
#include "i18n/LanguageFiles.h"
#include "platform/Registry.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "settings/TextFile.h"
#include "shell/ContextMenuVerbs.h"
#include "update/Unit_Update.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The keys the start-up pass looks up, in their order.
QStringList StartUpKeys() {
    QStringList keys;
    for (const char* c : {"SpeedButton_GeneralMenu", "TabFile", "GroupBoxControl", "GroupBoxFlags",
                          "CheckBoxEmptyDirs", "GroupBoxList", "GroupBoxPath", "ButtonBrowse",
                          "GroupBoxSearch", "ButtonSearch", "CheckBoxFullName"})
        keys << QStringLiteral("Form1.%1.Caption").arg(QString::fromLatin1(c));
    keys << QStringLiteral("Form1.ButtonFileOption.Hint");
    for (const char* c : {"TabReg", "GroupBox1", "ButtonBrowseReg", "GroupBox2", "ButtonChangeReg"})
        keys << QStringLiteral("Form1.%1.Caption").arg(QString::fromLatin1(c));
    keys << QStringLiteral("Form1.ButtonRegOption.Hint");
    for (const char* c : {"GroupBoxListReg",
                          "GroupBoxControlReg",
                          "CheckBoxUninsdeletevalue",
                          "CheckBoxUninsdeletekeyifempty",
                          "CheckBoxUninsdeletekey",
                          "CheckBoxClassesAsHka",
                          "CheckBoxWow64View",
                          "LabelPrivileges",
                          "LabelMinVersion",
                          "ButtonReg",
                          "ButtonFiles",
                          "LangOpenInQuillmark",
                          "LangSearch",
                          "LangStop",
                          "LangSelectFolder",
                          "LangOnlyWindows",
                          "LangError",
                          "LangElements",
                          "LangconvertInQuillmark",
                          "LangBadMinVersion",
                          "CopySelectedLinesMenu",
                          "CopySelectedTextMenu",
                          "CopyAllTextMenu",
                          "ClearTextMenu",
                          "ThemeMenu",
                          "ThemeAuto",
                          "ThemeLight",
                          "ThemeDark",
                          "LanguageMenu",
                          "EmbedFolderMenu",
                          "EmbedRegMenu",
                          "CheckUpdateMenu",
                          "AboutMenu",
                          "CopySelectedLinesRegMenu",
                          "CopySelectedTextRegMenu",
                          "CopyAllTextRegMenu",
                          "ClearTextRegMenu"})
        keys << QStringLiteral("Form1.%1.Caption").arg(QString::fromLatin1(c));
    // The example in the empty MinVersion field.
    keys.insert(keys.indexOf(QStringLiteral("Form1.LabelMinVersion.Caption")) + 1,
                QStringLiteral("Form1.EditMinVersion.TextHint"));
    keys << QStringLiteral("Form8.Caption");
    for (const char* c :
         {"LabelYaMail", "LabelMainWebSite", "LabelGMail", "LabelTelegram", "Button1"})
        keys << QStringLiteral("Form8.%1.Caption").arg(QString::fromLatin1(c));
    keys << QStringLiteral("Form10.Caption");
    for (const char* c : {"ButtonClose",
                          "ButtonDownload",
                          "GroupBoxOption",
                          "CheckBoxQuickUpdate",
                          "CheckBoxForceUpdate",
                          "CheckBoxAutoCheck",
                          "LabelUpDate",
                          "LabelLocalTitle",
                          "LabelServerTitle",
                          "LangNoDownload",
                          "LangDownloadComplet",
                          "LangNoUpdate",
                          "LangServerVersion",
                          "LangVersionComputer",
                          "LangUpdateAvailable",
                          "LangDownload",
                          "LangCancel",
                          "LangUpdateNow",
                          "LangYes",
                          "LangNo",
                          "LangCheckUpdate",
                          "LangFailedCheckUpdates",
                          "LangConnectionError",
                          "LangNotSigned",
                          "LangUpdateNotStarted"})
        keys << QStringLiteral("Form10.%1.Caption").arg(QString::fromLatin1(c));
    return keys;
}

QString LanguageFolder() {
    return ProgramFolder() + QStringLiteral("Language");
}

QString Language(const char* name) {
    return LanguageFolder() + u'/' + QString::fromUtf8(name);
}

void SetLanguage(const QString& name) {
    TIniFile settings(PortablePath());
    settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"), name);
    QVERIFY(settings.Save());
}

// The program's three windows, as it creates them.
struct Windows {
    TForm1 Form1{{}};
    TForm8 Form8{&Form1};
    TForm10 Form10;
    Windows() { Form1.SetApplicationWindows({&Form1, &Form8, &Form10}); }
};

QStringList MenuNames(const TForm1& form) {
    QStringList names;
    for (const QAction* item : form.LanguageMenu->actions())
        names << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
    return names;
}

} // namespace

class TestLanguages : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { IsolateFromUser(m_dir.path()); }

    void init() {
        QDir(LanguageFolder()).removeRecursively();
        QFile::remove(PortablePath());
        QFile::remove(MissingLogPath());
    }

    void startUpKeysInOrder() {
        WriteFile(Language("Empty.ini"), "[Quillmark]\r\n");
        SetLanguage(QStringLiteral("Empty"));
        WriteFile(MissingLogPath(), "");
        Windows w;
        w.Form1.globLoad();
        const QStringList lines =
            ReadTextFile(MissingLogPath()).Text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList keys;
        for (const QString& line : lines)
            keys << line.section(u'=', 0, 0);
        QCOMPARE(keys, StartUpKeys());
        QVERIFY(lines.contains(QStringLiteral("Form1.LangStop.Caption=Стоп")));
        QVERIFY(lines.contains(QStringLiteral("Form8.Caption=О программе")));
        QVERIFY(
            lines.contains(QStringLiteral("Form1.ButtonFileOption.Hint=Показать/скрыть опции")));
    }

    void shippedLanguageFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("English") << QStringLiteral(QM_SOURCE_DIR "/share/Language/English.ini");
        QTest::newRow("Russian") << QStringLiteral(QM_SOURCE_DIR "/share/Language/Russian.ini");
    }

    void shippedLanguageFiles() {
        QFETCH(QString, file);
        const TIniFile ini(file);
        QVERIFY(!ini.ReadString(QStringLiteral("Language information"), QStringLiteral("LANGNAME"),
                                QString())
                     .isEmpty());
        const QStringList keys = ini.ReadSection(QStringLiteral("Quillmark"));
        const QStringList expected = StartUpKeys();
        for (const QString& key : expected)
            QVERIFY2(keys.contains(key, Qt::CaseInsensitive),
                     qPrintable(QStringLiteral("missing ") + key));
        // No key no window has: the start-up pass uses every entry.
        for (const QString& key : keys)
            QVERIFY2(expected.contains(key, Qt::CaseInsensitive),
                     qPrintable(QStringLiteral("stale ") + key));
        QCOMPARE(keys.size(), expected.size());
        for (const QString& value : ini.ReadSectionValues(QStringLiteral("Quillmark")))
            QVERIFY2(!value.section(u'=', 1).isEmpty(), qPrintable(value));
        const QStringList destinations = ini.ReadSection(QStringLiteral("DestDir"));
        for (const char* constant :
             {"{app}", "{sys}", "{syswow64}", "{win}", "{tmp}", "{commonpf}", "{autopf}",
              "{commonappdata}", "{localappdata}", "{userappdata}", "{autoappdata}", "{group}",
              "{autodesktop}", "{commonfonts}", "{autofonts}"})
            QVERIFY2(destinations.contains(QString::fromLatin1(constant)), constant);
        for (const QString& d : destinations)
            QVERIFY2(!ini.ReadString(QStringLiteral("DestDir"), d, QString()).isEmpty(),
                     qPrintable(d));
        QCOMPARE(destinations.first(), QStringLiteral("{app}"));
    }

    void englishWindows() {
        WriteFile(Language("English.ini"),
                  ReadTextFile(QStringLiteral(QM_SOURCE_DIR "/share/Language/English.ini"))
                      .Text.toUtf8());
        SetLanguage(QStringLiteral("English"));
        Windows w;
        w.Form1.LoadLanguage();
        w.Form1.globLoad();
        QCOMPARE(w.Form1.TabFile->ButtonSearch->text(), QStringLiteral("Search"));
        QCOMPARE(w.Form1.Message("LangStop"), QStringLiteral("Stop"));
        QCOMPARE(w.Form8.windowTitle(), QStringLiteral("About"));
        QCOMPARE(w.Form10.windowTitle(), QStringLiteral("Update Quillmark"));
        QCOMPARE(w.Form10.Message("LangUpdateNow"),
                 QStringLiteral("Do you want to update the application now?"));
        QVERIFY(w.Form1.windowTitle().startsWith(QStringLiteral("Quillmark "))); // never translated
        QCOMPARE(w.Form1.TabFile->ComboBoxDestDir->currentText(), QStringLiteral("{app}"));
    }

    void menuOrderAndCheckMarks() {
        WriteFile(Language("b.ini"), "[Language information]\r\nLANGNAME=Bee\r\n");
        WriteFile(Language("A.ini"), "[Other]\r\nx=1\r\n");
        WriteFile(Language("English.ini"), "[Language "
                                           "information]\r\nLANGNAME=English\r\n[Quillmark]"
                                           "\r\nForm1.ButtonSearch.Caption=Search\r\n");
        SetLanguage(QStringLiteral("english"));
        Windows w;
        w.Form1.LoadLanguage();
        QCOMPARE(MenuNames(w.Form1),
                 QStringList({QStringLiteral("A\t\tA"), QStringLiteral("b\t\tBee"),
                              QStringLiteral("English\t\tEnglish *")}));
        // Only A to Z fold: a stored "РУССКИЙ" does not check "Русский", as no file is applied.
        WriteFile(Language("Русский.ini"), "[Quillmark]\r\n");
        SetLanguage(QStringLiteral("РУССКИЙ"));
        w.Form1.LoadLanguage();
        QVERIFY(!MenuNames(w.Form1).join(u'|').contains(u'*'));
        QFile::remove(Language("Русский.ini"));
        // "English.ini" checks the item, but the file looked for is English.ini.ini.
        SetLanguage(QStringLiteral("English.ini"));
        w.Form1.LoadLanguage();
        QVERIFY(MenuNames(w.Form1).contains(QStringLiteral("English\t\tEnglish *")));
        w.Form1.globLoad();
        QCOMPARE(w.Form1.TabFile->ButtonSearch->text(), QStringLiteral("Поиск"));
    }

    void switchingLanguage() {
        WriteFile(Language("English.ini"),
                  "[Quillmark]\r\nForm1.LangOpenInQuillmark.Caption=Open in Quillmark\r\n"
                  "Form1.ButtonSearch.Caption=Search\r\n");
        Windows w;
        w.Form1.EmbedFolderMenu->trigger(); // the folder verb, in Russian
        w.Form1.LoadLanguage();
        QAction* english = w.Form1.LanguageMenu->actions().front();
        english->trigger();
        QCOMPARE(CurrentLanguage, QStringLiteral("English"));
        QCOMPARE(TIniFile(PortablePath())
                     .ReadString(QStringLiteral("Language"), QStringLiteral("Language"), QString()),
                 QStringLiteral("English"));
        QCOMPARE(w.Form1.TabFile->ButtonSearch->text(), QStringLiteral("Search"));
        QVERIFY(w.Form1.LanguageMenu->actions().front()->isChecked());
        qm::platform::RegistryAccessor r(qm::platform::RegistryAccessor::Access::Read);
        QVERIFY(r.OpenKey(qm::shell::VerbKeyPath(TVerbKind::Folder).toStdU16String(), false));
        QCOMPARE(QString::fromStdU16String(r.ReadString(u"")), QStringLiteral("Open in Quillmark"));
    }

    void cleaning() {
        const QString path = Language("Stale.ini");
        WriteFile(path, "; a comment\r\n"
                        "[Language information]\r\n"
                        "[Quillmark]\r\n"
                        "Form1.NoSuchButton.Caption=x\r\n"
                        "Caption=x\r\n"
                        "Form2.Button.Caption=x\r\n"
                        "Form1.Caption=x\r\n"
                        "Form10.LangYes.Caption=Yes\r\n"
                        "Form1.ButtonSearch.Caption=A\r\n"
                        "; another\r\n"
                        "FORM1.ButtonSearch.Caption=B\r\n"
                        "[Old]\r\n"
                        "Gone=1\r\n"
                        "[DestDir]\r\n");
        const QString readOnly = Language("Locked.ini");
        WriteFile(readOnly, "[Quillmark]\r\nForm9.X.Caption=x\r\n");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        Windows w;
        w.Form1.CleanTranslationsLikeGlobload();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 QByteArray("[Language information]\r\n\r\n"
                            "[Quillmark]\r\nForm1.Caption=x\r\nForm10.LangYes.Caption=Yes\r\n"
                            "FORM1.ButtonSearch.Caption=B\r\n\r\n"
                            "[DestDir]\r\n\r\n"));
        QFile locked(readOnly);
        QVERIFY(locked.open(QIODevice::ReadOnly));
        QCOMPARE(locked.readAll(), QByteArray("[Quillmark]\r\nForm9.X.Caption=x\r\n"));
        // A file in a legacy code page is cleaned in that code page: its letters survive.
        const QString legacy = Language("Legacy.ini");
        WriteFile(legacy,
                  "[Language information]\r\nLANGNAME=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n"
                  "[Quillmark]\r\nForm9.Gone.Caption=x\r\nForm1.ButtonSearch.Caption=\xCF\r\n");
        w.Form1.CleanTranslationsLikeGlobload();
        QFile cleaned(legacy);
        QVERIFY(cleaned.open(QIODevice::ReadOnly));
        QCOMPARE(
            cleaned.readAll(),
            QByteArray("[Language information]\r\nLANGNAME=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n\r\n"
                       "[Quillmark]\r\nForm1.ButtonSearch.Caption=\xCF\r\n\r\n"));
        // A file with nothing stale is left as it is, comments and all.
        const QString clean = Language("Clean.ini");
        WriteFile(clean, "; keep\r\n[Quillmark]\r\nForm8.Caption = About\r\n");
        w.Form1.CleanTranslationsLikeGlobload();
        QFile same(clean);
        QVERIFY(same.open(QIODevice::ReadOnly));
        QCOMPARE(same.readAll(), QByteArray("; keep\r\n[Quillmark]\r\nForm8.Caption = About\r\n"));
    }

    void firstStart() {
        WriteFile(Language("English.ini"), "[DestDir]\r\n{app}=Program folder\r\n");
        qm::i18n::ChooseLanguageOnFirstStart(); // the test runs with an English system language
        QCOMPARE(TIniFile(PortablePath())
                     .ReadString(QStringLiteral("Language"), QStringLiteral("Language"), QString()),
                 QStringLiteral("English"));
        // Later starts follow the stored choice, empty included.
        SetLanguage(QString());
        qm::i18n::ChooseLanguageOnFirstStart();
        QCOMPARE(TIniFile(PortablePath())
                     .ReadString(QStringLiteral("Language"), QStringLiteral("Language"),
                                 QStringLiteral("x")),
                 QString());
    }
};

QM_TEST_MAIN(TestLanguages)
#include "tst_Languages.moc"
