// The translator on a window of its own: the key grammar, what is looked up and what is not,
// the used-up entries, the window captions, and the missing-translation log.

#include "TestMain.h"
#include "UserIsolation.h"
#include "i18n/Translation.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "settings/TextFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A window with one component of each kind the translator treats differently.
class TestWindow : public QWidget, public ITranslatableWindow {
public:
    explicit TestWindow(QString name) : m_name(std::move(name)) {
        setWindowTitle(QStringLiteral("Окно"));
        add<QPushButton>("ButtonSearch", TComponentKind::Button)->setText(QStringLiteral("Поиск"));
        add<QLabel>("LabelYear", TComponentKind::Label)->setText(QStringLiteral("2024"));
        add<QLabel>("LabelDash", TComponentKind::Label)->setText(QStringLiteral("-"));
        add<QLabel>("LabelDestDir", TComponentKind::Label)->setText(QStringLiteral("никогда"));
        auto* edit = add<QLineEdit>("EditName", TComponentKind::Edit);
        edit->setText(QStringLiteral("текст"));
        edit->setPlaceholderText(QStringLiteral("подсказка"));
        edit->setToolTip(QStringLiteral("всплывающая"));
        auto* tabs = add<QTabBar>("TabControlTitle", TComponentKind::TabControl);
        tabs->addTab(QStringLiteral("Первая"));
        tabs->addTab(QStringLiteral("12"));
        auto* list = add<QListWidget>("CheckList", TComponentKind::CheckListBox);
        list->addItems({QStringLiteral("один"), QStringLiteral("два")});
        m_components.append({QStringLiteral("ImageList1"), TComponentKind::ImageList, nullptr});
    }

    QString WindowName() const override { return m_name; }
    QWidget* Window() override { return this; }
    QList<TComponent> Components() const override { return m_components; }

    template <typename T> T* Get(const char* name) {
        return findChild<T*>(QString::fromLatin1(name));
    }

private:
    template <typename T> T* add(const char* name, TComponentKind kind) {
        auto* w = new T(this);
        w->setObjectName(QString::fromLatin1(name));
        m_components.append({w->objectName(), kind, w});
        return w;
    }

    QString m_name;
    QList<TComponent> m_components;
};

} // namespace

class TestTranslation : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    void UseLanguage(const QByteArray& quillmarkSection) {
        QFile f(LanguageFilePath(QStringLiteral("Test")));
        QDir().mkpath(QFileInfo(f).path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xEF\xBB\xBF[Quillmark]\r\n" + quillmarkSection);
        f.close();
        TIniFile settings(PortablePath());
        settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"),
                             QStringLiteral("Test"));
        QVERIFY(settings.Save());
    }

    void Translate(ITranslatableWindow& w) {
        TTranslation translation;
        TranslateForm(translation, w, QStringLiteral("Quillmark"));
    }

private slots:
    void initTestCase() { UseSettingsFolder(m_dir.path()); }

    void cleanup() {
        QFile::remove(MissingLogPath());
        QDir(ProgramFolder() + QStringLiteral("Language")).removeRecursively();
    }

    void keysCompareIgnoringCaseAndBlanks() {
        UseLanguage("form2.buttonsearch.CAPTION = Find it\r\n"
                    "Form2.EditName.Text=a=b\r\n"
                    "Form2.EditName.TextHint=\r\n"
                    "Form2.EditName.Hint=Tip\r\n"
                    "Form2.Caption=Window\r\n");
        TestWindow w(QStringLiteral("Form2"));
        Translate(w);
        QCOMPARE(w.Get<QPushButton>("ButtonSearch")->text(), QStringLiteral("Find it"));
        QCOMPARE(w.Get<QLineEdit>("EditName")->text(), QStringLiteral("a=b"));
        QCOMPARE(w.Get<QLineEdit>("EditName")->placeholderText(),
                 QStringLiteral("подсказка")); // empty value
        QCOMPARE(w.Get<QLineEdit>("EditName")->toolTip(), QStringLiteral("Tip"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Window"));
    }

    void listsNumbersAndNamedComponents() {
        UseLanguage("Form2.TabControlTitle.Tabs[0]=No blank\r\n"
                    "Form2.TabControlTitle.Tabs [1]=Twelve\r\n"
                    "Form2.CheckList.Items [1]=Two\r\n"
                    "Form2.LabelYear.Caption=Year\r\n"
                    "Form2.LabelDestDir.Caption=Never\r\n");
        QFile log(MissingLogPath());
        QVERIFY(log.open(QIODevice::WriteOnly)); // an empty log: logging on
        log.close();
        TestWindow w(QStringLiteral("Form2"));
        Translate(w);
        auto* tabs = w.Get<QTabBar>("TabControlTitle");
        QCOMPARE(tabs->tabText(0), QStringLiteral("Первая")); // "Tabs[0]" is not "Tabs [0]"
        QCOMPARE(tabs->tabText(1), QStringLiteral("12"));     // a number is never looked up
        QCOMPARE(w.Get<QListWidget>("CheckList")->item(1)->text(), QStringLiteral("Two"));
        QCOMPARE(w.Get<QLabel>("LabelYear")->text(), QStringLiteral("2024"));
        QCOMPARE(w.Get<QLabel>("LabelDestDir")->text(), QStringLiteral("никогда"));

        const TTextFileRead missing = ReadTextFile(MissingLogPath());
        const QString& text = missing.Text;
        QCOMPARE(missing.Encoding, TTextEncoding::Utf16LE);
        QCOMPARE(text, QStringLiteral("Form2.Caption=Окно\r\n"
                                      "Form2.ButtonSearch.Caption=Поиск\r\n"
                                      "Form2.EditName.Hint=всплывающая\r\n"
                                      "Form2.EditName.Text=текст\r\n"
                                      "Form2.EditName.TextHint=подсказка\r\n"
                                      "Form2.TabControlTitle.Tabs [0]=Первая\r\n"
                                      "Form2.CheckList.Items [0]=один\r\n"));

        // A second pass appends to what the log holds.
        Translate(w);
        QVERIFY(ReadTextFile(MissingLogPath())
                    .Text.startsWith(text + QStringLiteral("Form2.Caption=Окно\r\n")));
    }

    void entriesAreUsedUp() {
        UseLanguage("Form2.CheckList.Items [0]=First\r\nForm2.CheckList.Items [0]=Again\r\n");
        TestWindow w(QStringLiteral("Form2"));
        Translate(w);
        QCOMPARE(w.Get<QListWidget>("CheckList")->item(0)->text(), QStringLiteral("First"));
        TTranslation t;
        t.Entries = {QStringLiteral("K=1"), QStringLiteral("k=2"), QStringLiteral("nokey")};
        QCOMPARE(t.LookUp(QStringLiteral("K"), QStringLiteral("x")), QStringLiteral("1"));
        QCOMPARE(t.LookUp(QStringLiteral("K"), QStringLiteral("x")), QStringLiteral("2"));
        QCOMPARE(t.LookUp(QStringLiteral("K"), QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(t.IndexOfKey(QStringLiteral("nokey")), -1);
        QCOMPARE(t.MissingLog, QStringList{QStringLiteral("K=x")});
    }

    void windowCaptions() {
        UseLanguage("Form1.Caption=Never\r\nForm10.Caption=Update\r\n");
        TestWindow main(QStringLiteral("Form1"));
        Translate(main);
        QCOMPARE(main.windowTitle(), QStringLiteral("Окно"));
        TestWindow update(QStringLiteral("Form10"));
        Translate(update);
        QCOMPARE(update.windowTitle(), QStringLiteral("Update Quillmark"));
        UseLanguage("Form1.Caption=Never\r\n"); // a language without the caption
        Translate(update);
        QCOMPARE(update.windowTitle(), QStringLiteral("Update Quillmark"));

        UseLanguage("Form10.Caption=\r\n");
        TestWindow emptied(QStringLiteral("Form10"));
        Translate(emptied);
        QCOMPARE(emptied.windowTitle(), QStringLiteral(" Quillmark"));
    }

    void noLanguageChangesNothing() {
        TIniFile settings(PortablePath());
        settings.WriteString(QStringLiteral("Language"), QStringLiteral("Language"), QString());
        QVERIFY(settings.Save());
        QFile log(MissingLogPath());
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.close();
        TestWindow update(QStringLiteral("Form10"));
        Translate(update);
        QCOMPARE(update.windowTitle(), QStringLiteral("Окно"));
        QCOMPARE(QFileInfo(MissingLogPath()).size(), 0);
    }

    void translatableTexts() {
        QVERIFY(!IsTranslatableText(QString()));
        QVERIFY(!IsTranslatableText(QStringLiteral("-")));
        QVERIFY(!IsTranslatableText(QStringLiteral("0")));
        QVERIFY(!IsTranslatableText(QStringLiteral("-5")));
        QVERIFY(IsTranslatableText(QStringLiteral("99999999999"))); // beyond 32 bits
        QVERIFY(IsTranslatableText(QStringLiteral("1.5")));
        QVERIFY(IsTranslatableText(QStringLiteral("--")));
    }
};

QM_TEST_MAIN(TestTranslation)
#include "tst_Translation.moc"
