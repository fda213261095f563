// The About window with real widgets: its version line (the main window's title, " Portable"
// included), the copyright from the version block, the targets its links open, and how it is
// opened (F1 and the general menu).

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "about/AboutContacts.h"
#include "about/Unit_About.h"
#include "app/Unit_Base.h"
#include "settings/PortablePath.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

class TestAboutWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_opened; // what the desktop's handler was given, one line each

private slots:
    void initTestCase() {
        IsolateFromUser(m_dir.path());
        m_opened = m_dir.filePath(QStringLiteral("opened.txt"));
        WriteFile(m_dir.filePath(QStringLiteral("bin/xdg-open")),
                  "#!/bin/sh\necho \"$@\" >> '" + m_opened.toUtf8() + "'\n");
        QFile::setPermissions(m_dir.filePath(QStringLiteral("bin/xdg-open")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", m_dir.filePath(QStringLiteral("bin")).toUtf8() + ':' + qgetenv("PATH"));
    }

    void cleanup() { QFile::remove(ProgramFolder() + QStringLiteral("portable.ini")); }

    void versionAndCopyright_data() {
        QTest::addColumn<bool>("portable");
        QTest::newRow("installed") << false;
        QTest::newRow("portable") << true;
    }

    void versionAndCopyright() {
        QFETCH(bool, portable);
        if (portable)
            WriteFile(ProgramFolder() + QStringLiteral("portable.ini"), "");
        TForm1 main({});
        TForm8 about(&main);
        QCOMPARE(main.windowTitle(),
                 QStringLiteral("Quillmark " QM_VERSION_TEXT " (%1-bit)").arg(QT_POINTER_SIZE * 8) +
                     (portable ? QStringLiteral(" Portable") : QString()));
        about.show(); // the version line is the main window's title at each showing
        QCOMPARE(about.LabelVersion->text(), main.windowTitle());
        QCOMPARE(about.LabelCopyright->text(), QStringLiteral(QM_COPYRIGHT));
    }

    void linksOpenTheirTargets() {
#if defined(Q_OS_WIN)
        QSKIP("the links go to the desktop's handler; under wine that is the host's browser");
#endif
        TForm1 main({});
        TForm8 about(&main);
        for (TLinkLabel* link :
             {about.LabelTelegram, about.LabelGMail, about.LabelYaMail, about.LabelMainWebSite})
            emit link->clicked();
        const QStringList expected = {
            qm::about::kMessengerProfile, QStringLiteral("mailto:") + qm::about::kFirstMailAddress,
            QStringLiteral("mailto:") + qm::about::kSecondMailAddress, qm::about::kWebSite};
        // Each link goes to the desktop's handler on its own: the order of arrival may vary.
        QTRY_COMPARE(QString::fromUtf8(ReadBytes(m_opened)).split(u'\n', Qt::SkipEmptyParts).size(),
                     4);
        QStringList opened =
            QString::fromUtf8(ReadBytes(m_opened)).split(u'\n', Qt::SkipEmptyParts);
        opened.sort();
        QStringList sorted = expected;
        sorted.sort();
        QCOMPARE(opened, sorted);
    }

    void openedByF1AndTheMenu() {
        TForm1 main({});
        TForm8 about(&main);
        main.SetAboutWindow(&about);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main)); // F1 is a shortcut of the active window
        for (int way = 0; way < 2; ++way) {
            bool shown = false;
            CloseNextPopup([&](QWidget* w) { shown = w == &about && about.isModal(); });
            if (way == 0)
                QTest::keyClick(&main, Qt::Key_F1);
            else
                main.AboutMenu->trigger();
            QVERIFY2(shown, way == 0 ? "F1" : "menu");
        }
    }

private:
    static QByteArray ReadBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QM_TEST_MAIN(TestAboutWindow)
#include "tst_AboutWindow.moc"
