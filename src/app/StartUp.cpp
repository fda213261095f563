#include "app/StartUp.h"

#include "about/Unit_About.h"
#include "app/AppIcons.h"
#include "app/StartUpTiming.h"
#include "app/Unit_Base.h"
#include "i18n/LanguageFiles.h"
#include "platform/Memory.h"
#include "platform/SingleInstance.h"
#include "settings/PortablePath.h"
#include "update/Unit_Update.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>

int RunQuillmark(int argc, char* argv[], const char* releaseKey) {
    // A second copy ends at once, silently, before any window exists.
    if (qm::platform::InstanceAlreadyRunning(kApplicationTitle.toStdU16String()))
        return 0;
    qm::platform::KeepFreedMemoryForReuse();

    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(qm::app::ProgramIcon());

    // The very first start picks the language that matches the system's, so the Files page
    // starts with destinations to offer.
    PortableMode = DetectPortableMode();
    qm::i18n::ChooseLanguageOnFirstStart();

    TForm1 form1(QApplication::arguments().mid(1));
    TForm8 form8(&form1);
    form1.SetAboutWindow(&form8);
    // Its creation may start the background update check.
    TForm10 form10{QByteArray(releaseKey)};
    form1.SetUpdateWindow(&form10);
    form1.SetQuickUpdateSource([&form10] { return form10.CheckBoxQuickUpdate->isChecked(); });
    form1.SetApplicationWindows({&form1, &form8, &form10});

    form1.LoadLanguage();
    form1.CleanTranslationsLikeGlobload();
    form1.globLoad();
    // The start-up prompt may already have led to a quick installer update.
    if (form10.QuitRequested())
        return 0;

    if (form1.IsWindows10Or11()) {
        ReportFirstExposureIfAsked(&form1);
        form1.show();
        QApplication::exec();
    } else {
        // No owner window: the main window is never shown on a refused system.
        QMessageBox box(QMessageBox::Critical, form1.Message("LangError"),
                        form1.Message("LangOnlyWindows"), QMessageBox::Ok);
        box.exec();
    }
    return 0;
}
