// The general menu's verb items and theme items in the main window: what they store, what they
// apply, and how they follow the system.

#include "GuiTestSupport.h"
#include "TestMain.h"
#include "about/Unit_About.h"
#include "app/Unit_Base.h"
#include "osutils/SystemTheme.h"
#include "platform/Registry.h"
#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "shell/ContextMenuVerbs.h"
#include "themes/WindowsDarkMode.h"
#include "widgets/SectionView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using qm::osutils::SystemUsesDarkThemeFromRegistry;
using qm::platform::RegistryAccessor;

namespace {

// The WCAG 2.1 contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestVerbsAndThemes : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_settings;

private slots:
    void initTestCase() {
        IsolateFromUser(m_dir.path());
        m_settings = PortablePath();
    }

    void init() {
        QFile::remove(m_settings);
        UseFreshRegistry(m_dir.filePath(QStringLiteral("hkcu.txt")));
        SetDarkThemeSource({});
    }

    // First, while this process has applied no style yet.
    void noStoredTheme() {
        TForm1 form({});
        QVERIFY(!form.ThemeAuto->isChecked() && !form.ThemeLight->isChecked() &&
                !form.ThemeDark->isChecked());
        QCOMPARE(CurrentStyleName(), QString());
        form.WMSettingChange(); // nothing follows the system
        QCOMPARE(CurrentStyleName(), QString());
    }

    void lastStoredThemeWins() {
        WriteFile(m_settings, "[Option]\r\nThemeAuto=1\r\nThemeLight=0\r\nThemeDark=1\r\n");
        SetDarkThemeSource([] { return false; });
        TForm1 form({});
        QVERIFY(!form.ThemeAuto->isChecked() && !form.ThemeLight->isChecked() &&
                form.ThemeDark->isChecked());
        QCOMPARE(CurrentStyleName(), kStyleModernDark);
    }

    void autoFollowsTheSystem() {
        bool dark = true;
        SetDarkThemeSource([&] { return dark; });
        TForm1 form({});
        form.ThemeAuto->trigger();
        QVERIFY(form.ThemeAuto->isChecked() && !form.ThemeDark->isChecked());
        QCOMPARE(CurrentStyleName(), kStyleModernDark);
        dark = false;
        form.WMSettingChange();
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
        dark = true;
        form.WMSettingChange();
        QCOMPARE(CurrentStyleName(), kStyleModernDark);

        // A chosen style stays whatever the system does.
        form.ThemeLight->trigger();
        QVERIFY(form.ThemeLight->isChecked() && !form.ThemeAuto->isChecked());
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
        form.WMSettingChange();
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
        form.ThemeDark->trigger();
        dark = false;
        form.WMSettingChange();
        QCOMPARE(CurrentStyleName(), kStyleModernDark);

        // Clicking the checked item keeps it checked.
        form.ThemeDark->trigger();
        QVERIFY(form.ThemeDark->isChecked());
        form.close();
        QVERIFY(TIniFile(m_settings)
                    .ReadBool(QStringLiteral("Option"), QStringLiteral("ThemeDark"), false));
    }

    void windowsPreference() {
        // The Windows rule, on the registry (on Linux its stand-in): dark only when
        // AppsUseLightTheme is 0.
        const std::u16string key =
            u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
        QVERIFY(!SystemUsesDarkThemeFromRegistry()); // no key
        RegistryAccessor r(RegistryAccessor::Access::Full);
        QVERIFY(r.OpenKey(key, true));
        QVERIFY(!SystemUsesDarkThemeFromRegistry()); // no value
        for (const auto& [value, dark] :
             {std::pair{0, true}, std::pair{1, false}, std::pair{2, false}}) {
            QVERIFY(r.WriteInteger(u"AppsUseLightTheme", value));
            QCOMPARE(SystemUsesDarkThemeFromRegistry(), dark);
        }
        QVERIFY(r.WriteString(u"AppsUseLightTheme", u"0"));
        QVERIFY_THROWS_EXCEPTION(qm::platform::RegistryError, SystemUsesDarkThemeFromRegistry());

        // In the handlers: the settings change ignores the failure; the click reports it.
        SetDarkThemeSource([] { return SystemUsesDarkThemeFromRegistry(); });
        TForm1 form({});
        form.ThemeLight->trigger();
        const auto told = CloseNextPopup();
        form.ThemeAuto->trigger();
        QVERIFY(*told);
        QVERIFY(form.ThemeAuto->isChecked());
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
        form.WMSettingChange();
        QCOMPARE(CurrentStyleName(), kStyleModernLight);
    }

    // In both styles every check-box indicator (ticked or not, in a box or a list), focus frame
    // and disabled text stands out from its surface by at least 3:1 (WCAG 2.1 non-text
    // contrast), and every label and link by 4.5:1, measured on what the style paints.
    void contrast_data() {
        QTest::addColumn<QString>("style");
        QTest::newRow("light") << kStyleModernLight;
        QTest::newRow("dark") << kStyleModernDark;
    }

    void contrast() {
        QFETCH(QString, style);
        SelectStyle(true, style, style);
        const QPalette palette = QApplication::palette();
        const QList<QPalette::ColorRole> surfaces = {QPalette::Window, QPalette::Base,
                                                     QPalette::AlternateBase, QPalette::Button};
        for (const QPalette::ColorRole text :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            for (const QPalette::ColorRole surface : surfaces)
                QVERIFY(Contrast(palette.color(QPalette::Disabled, text),
                                 palette.color(QPalette::Active, surface)) >= 3);

        QCheckBox box;
        const struct {
            QStyle::PrimitiveElement Element;
            QStyle::StateFlag State;
        } painted[] = {{QStyle::PE_IndicatorCheckBox, QStyle::State_Off},
                       {QStyle::PE_IndicatorCheckBox, QStyle::State_On},
                       {QStyle::PE_IndicatorItemViewItemCheck, QStyle::State_Off},
                       {QStyle::PE_IndicatorItemViewItemCheck, QStyle::State_On},
                       {QStyle::PE_FrameFocusRect, QStyle::State_HasFocus}};
        for (const auto& p : painted) {
            for (const QPalette::ColorRole surface : surfaces) {
                const QColor background = palette.color(surface);
                QImage image(24, 24, QImage::Format_RGB32);
                image.fill(background);
                QStyleOption option;
                option.initFrom(&box);
                option.rect = QRect(2, 2, 18, 18);
                option.state = QStyle::State_Enabled | p.State;
                QPainter painter(&image);
                QApplication::style()->drawPrimitive(p.Element, &option, &painter, &box);
                painter.end();
                // At least a whole outline of the 18-pixel square stands out.
                int standingOut = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        standingOut += Contrast(image.pixelColor(x, y), background) >= 3;
                QVERIFY2(standingOut >= 40,
                         qPrintable(QStringLiteral("element %1, state %2: %3 pixels")
                                        .arg(p.Element)
                                        .arg(int(p.State))
                                        .arg(standingOut)));
            }
        }

        // Text, links included, stands out by 4.5:1 (WCAG 2.1 text contrast): in the About
        // window as painted, the inkiest pixel of each label against the label's own ground.
        TForm8 about(nullptr);
        about.resize(about.sizeHint());
        const QImage shot = about.grab().toImage();
        const QList<QLabel*> labels = about.findChildren<QLabel*>();
        QVERIFY(labels.size() >= 6);
        for (const QLabel* label : labels) {
            if (label->text().isEmpty())
                continue;
            const QRect area(label->mapTo(&about, QPoint(0, 0)), label->size());
            const QImage part = shot.copy(area);
            const QColor ground = part.pixelColor(0, 0);
            double best = 1;
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x)
                    best = std::max(best, Contrast(part.pixelColor(x, y), ground));
            QVERIFY2(best >= 4.5,
                     qPrintable(
                         QStringLiteral("%1: %2:1").arg(label->objectName()).arg(best, 0, 'f', 1)));
        }
    }

    // A line that could not be converted is painted in a colour of its own, at 4.5:1 against
    // the section's ground.
    void notConvertedLinesStandOut() {
        QFETCH(QString, style);
        SelectStyle(true, style, style);
        TSectionView view;
        view.resize(400, 80);
        view.setPlainText(QStringLiteral("Root: HKCU; Subkey: \"Software\"\n"
                                         "; Not converted: value \"x\" of key Software"));
        view.show();
        const QImage shot = view.viewport()->grab().toImage();
        const int row = view.fontMetrics().lineSpacing();
        const QColor ground = shot.pixelColor(shot.width() - 2, shot.height() - 2);
        const auto inkiest = [&](int line) {
            QColor best = ground;
            for (int y = 4 + line * row; y < 4 + (line + 1) * row; ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (Contrast(shot.pixelColor(x, y), ground) > Contrast(best, ground))
                        best = shot.pixelColor(x, y);
            return best;
        };
        const QColor plain = inkiest(0);
        const QColor look = inkiest(1);
        QVERIFY2(Contrast(look, ground) >= 4.5,
                 qPrintable(QStringLiteral("%1:1").arg(Contrast(look, ground), 0, 'f', 1)));
        QVERIFY(Contrast(look, plain) > 1.5); // not the plain lines' colour
    }
    void notConvertedLinesStandOut_data() { contrast_data(); }

    void verbItems() {
        {
            TForm1 form({});
            QVERIFY(!form.EmbedFolderMenu->isChecked() && !form.EmbedRegMenu->isChecked());
            form.EmbedFolderMenu->trigger(); // checks itself, then registers
            QVERIFY(qm::shell::VerbRegistered(TVerbKind::Folder));
            QVERIFY(form.FPrevEmbedMenuState);
            // Changed without its click (as the language code will): applied at close.
            form.EmbedRegMenu->setChecked(true);
            QVERIFY(!qm::shell::VerbRegistered(TVerbKind::RegFile));
            form.close();
            QVERIFY(qm::shell::VerbRegistered(TVerbKind::RegFile));
        }
        TForm1 again({});
        QVERIFY(again.EmbedFolderMenu->isChecked() && again.EmbedRegMenu->isChecked());
        again.EmbedRegMenu->trigger();
        QVERIFY(!qm::shell::VerbRegistered(TVerbKind::RegFile));
        QCOMPARE(QString::fromStdU16String([] {
                     RegistryAccessor r(RegistryAccessor::Access::Read);
                     r.OpenKey(u"Software\\Classes\\Directory\\shell\\Quillmark", false);
                     return r.ReadString(u"");
                 }()),
                 QStringLiteral("Открыть в Quillmark"));
    }

    void refusedWriteLeavesTheItemCheckedForTheRun() {
#if defined(Q_OS_WIN)
        QSKIP("refused writes are made with the registry stand-in's store");
#endif
        // The store's folder is a file: nothing can be written.
        WriteFile(m_dir.filePath(QStringLiteral("blocked")), "x");
        qputenv("QUILLMARK_REGISTRY_FILE",
                m_dir.filePath(QStringLiteral("blocked/hkcu.txt")).toUtf8());
        {
            TForm1 form({});
            form.EmbedFolderMenu->trigger();
            QVERIFY(form.EmbedFolderMenu->isChecked());
            QVERIFY(!qm::shell::VerbRegistered(TVerbKind::Folder));
        }
        TForm1 next({});
        QVERIFY(!next.EmbedFolderMenu->isChecked());
        qputenv("QUILLMARK_REGISTRY_FILE", m_dir.filePath(QStringLiteral("hkcu.txt")).toUtf8());
    }
};

QM_TEST_MAIN(TestVerbsAndThemes)
#include "tst_VerbsAndThemes.moc"
