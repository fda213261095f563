// The general-menu button, and the menu's theme, update and About items.

#include "app/Unit_Base.h"
#include "platform/NativeMessages.h"
#include "settings/PortablePath.h"
#include "themes/WindowsDarkMode.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>

void TForm1::SpeedButton_GeneralMenuClick() {
    if (FMenuAllowUp) {
        FMenuAllowUp = false;
        FMenuPressed = true;
        SpeedButton_GeneralMenu->setChecked(true);
        QCoreApplication::processEvents();
        const QPoint corner = SpeedButton_GeneralMenu->mapToGlobal(
            QPoint(SpeedButton_GeneralMenu->width(), SpeedButton_GeneralMenu->height()));
        // The menu's right edge lies on the button's bottom-right corner; this waits until
        // the menu closes.
        PopupMenu_General->exec(corner - QPoint(PopupMenu_General->sizeHint().width(), 0));
    } else {
        FMenuAllowUp = true;
        FMenuPressed = false;
        SpeedButton_GeneralMenu->setChecked(false);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCoreApplication::processEvents();
    }
}

void TForm1::ReleaseGeneralMenuButton() {
    FMenuAllowUp = true;
    FMenuPressed = false;
    SpeedButton_GeneralMenu->setChecked(false);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove)
        ReleaseGeneralMenuButton();
    return QWidget::eventFilter(watched, event);
}

// The window's own free area.
void TForm1::mouseMoveEvent(QMouseEvent* event) {
    ReleaseGeneralMenuButton();
    QWidget::mouseMoveEvent(event);
}

void TForm1::UnCheckTheme() {
    for (QAction* item : ThemeMenu->actions())
        item->setChecked(false);
}

void TForm1::FollowSystemTheme() {
    if (SystemUsesDarkTheme()) {
        SelectStyle(true, kStyleModernDark, kStyleModernDark);
        QCoreApplication::processEvents();
    }
    if (!SystemUsesDarkTheme()) {
        SelectStyle(true, kStyleModernLight, kStyleModernLight);
        QCoreApplication::processEvents();
    }
}

void TForm1::ThemeAutoClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeAuto->setChecked(true);
    try {
        FollowSystemTheme();
    } catch (const std::exception& e) {
        // The system's preference could not be read: the check mark has moved, the style
        // stays, and the user is told.
        QMessageBox::critical(this, kApplicationTitle, QString::fromUtf8(e.what()));
    }
}

void TForm1::ThemeLightClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeLight->setChecked(true);
    SelectStyle(true, kStyleModernLight, kStyleModernLight);
    QCoreApplication::processEvents();
}

void TForm1::ThemeDarkClick() {
    ReleaseGeneralMenuButton();
    UnCheckTheme();
    ThemeDark->setChecked(true);
    SelectStyle(true, kStyleModernDark, kStyleModernDark);
    QCoreApplication::processEvents();
}

void TForm1::WMSettingChange() {
    if (ThemeAuto->isChecked()) {
        try {
            FollowSystemTheme();
        } catch (const std::exception&) {
            // An unreadable preference leaves the style as it is.
        }
    }
    QCoreApplication::processEvents();
}

bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (qm::platform::IsSettingsChangeMessage(eventType.toStdString(), message)) {
        WMSettingChange();
        *result = 0;
        return true; // handled completely here
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ThemeChange)
        WMSettingChange();
    QWidget::changeEvent(event);
}

void TForm1::CheckUpdateMenuClick() {
    ReleaseGeneralMenuButton();
    if (auto* update = qobject_cast<QDialog*>(FForm10))
        update->exec();
}

void TForm1::AboutMenuClick() {
    ReleaseGeneralMenuButton();
    if (auto* about = qobject_cast<QDialog*>(FForm8))
        about->exec();
}
