#include "themes/ModernStyles.h"

#include "themes/WindowsDarkMode.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace qm::themes {

namespace {

struct Colours {
    QColor Window, Surface, AlternateSurface, Control, ControlHover, Border, Text, DisabledText,
        Accent, AccentText, ToolTip;
};

const Colours kLight{QColor(0xf3, 0xf3, 0xf3), QColor(0xff, 0xff, 0xff), QColor(0xf9, 0xf9, 0xf9),
                     QColor(0xfb, 0xfb, 0xfb), QColor(0xf0, 0xf0, 0xf0), QColor(0xd9, 0xd9, 0xd9),
                     QColor(0x1b, 0x1b, 0x1b), QColor(0xa0, 0xa0, 0xa0), QColor(0x00, 0x5f, 0xb8),
                     QColor(0xff, 0xff, 0xff), QColor(0xf9, 0xf9, 0xf9)};
const Colours kDark{QColor(0x20, 0x20, 0x20), QColor(0x2b, 0x2b, 0x2b), QColor(0x26, 0x26, 0x26),
                    QColor(0x37, 0x37, 0x37), QColor(0x3d, 0x3d, 0x3d), QColor(0x5a, 0x5a, 0x5a),
                    QColor(0xff, 0xff, 0xff), QColor(0x78, 0x78, 0x78), QColor(0x60, 0xcd, 0xff),
                    QColor(0x00, 0x00, 0x00), QColor(0x2b, 0x2b, 0x2b)};

QPalette Palette(const Colours& c) {
    QPalette p;
    p.setColor(QPalette::Window, c.Window);
    p.setColor(QPalette::WindowText, c.Text);
    p.setColor(QPalette::Base, c.Surface);
    p.setColor(QPalette::AlternateBase, c.AlternateSurface);
    p.setColor(QPalette::Text, c.Text);
    p.setColor(QPalette::Button, c.Control);
    p.setColor(QPalette::ButtonText, c.Text);
    p.setColor(QPalette::Highlight, c.Accent);
    p.setColor(QPalette::HighlightedText, c.AccentText);
    p.setColor(QPalette::ToolTipBase, c.ToolTip);
    p.setColor(QPalette::ToolTipText, c.Text);
    p.setColor(QPalette::PlaceholderText, c.DisabledText);
    p.setColor(QPalette::Link, c.Accent);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, c.DisabledText);
    return p;
}

QString StyleSheet(const Colours& c) {
    return QStringLiteral(R"(
QPushButton, QToolButton, QComboBox, QLineEdit {
    border: 1px solid %1; border-radius: 4px; padding: 4px 10px; background: %2; }
QPushButton:hover, QToolButton:hover, QComboBox:hover { background: %3; }
QPushButton:pressed, QToolButton:pressed, QToolButton:checked { background: %4; color: %5; }
QPushButton:default { border: 1px solid %4; }
QToolButton { padding: 2px; }
QToolButton#SpeedButton_GeneralMenu { border: none; background: transparent; }
QToolButton#SpeedButton_GeneralMenu:checked { background: %3; color: %6; }
QPlainTextEdit, QListWidget { border: 1px solid %1; border-radius: 6px; background: %7; }
QGroupBox { border: 1px solid %1; border-radius: 6px; margin-top: 14px; padding-top: 6px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px; }
QMenu { border: 1px solid %1; border-radius: 8px; padding: 4px; background: %7; }
QMenu::item { border-radius: 4px; padding: 5px 24px 5px 24px; }
QMenu::item:selected { background: %3; color: %6; }
QComboBox QAbstractItemView { border: 1px solid %1; selection-background-color: %4; selection-color: %5; }
)")
        .arg(c.Border.name(), c.Control.name(), c.ControlHover.name(), c.Accent.name(),
             c.AccentText.name(), c.Text.name(), c.Surface.name());
}

} // namespace

bool ApplyModernStyle(const QString& name) {
    const Colours* colours = name == kStyleModernLight  ? &kLight
                             : name == kStyleModernDark ? &kDark
                                                        : nullptr;
    if (!colours)
        return false;
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!fusion)
        return false;
    QApplication::setStyle(fusion);
    QApplication::setPalette(Palette(*colours));
    qApp->setStyleSheet(StyleSheet(*colours));
    return true;
}

} // namespace qm::themes
