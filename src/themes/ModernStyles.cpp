#include "themes/ModernStyles.h"

#include "themes/WindowsDarkMode.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace qm::themes {

namespace {

struct Colours {
    QColor Window, Surface, AlternateSurface, Control, ControlHover, Border, Text, DisabledText,
        Accent, AccentText, ToolTip, Indicator;
};

// Indicators (the frame of an unticked box, a ticked box's fill), focus frames and disabled text
// stand out from every surface they sit on by a contrast of at least 3:1.
const Colours kLight{QColor(0xf3, 0xf3, 0xf3), QColor(0xff, 0xff, 0xff), QColor(0xf9, 0xf9, 0xf9),
                     QColor(0xfb, 0xfb, 0xfb), QColor(0xf0, 0xf0, 0xf0), QColor(0xd9, 0xd9, 0xd9),
                     QColor(0x1b, 0x1b, 0x1b), QColor(0x80, 0x80, 0x80), QColor(0x00, 0x5f, 0xb8),
                     QColor(0xff, 0xff, 0xff), QColor(0xf9, 0xf9, 0xf9), QColor(0x76, 0x76, 0x76)};
const Colours kDark{QColor(0x20, 0x20, 0x20), QColor(0x2b, 0x2b, 0x2b), QColor(0x26, 0x26, 0x26),
                    QColor(0x37, 0x37, 0x37), QColor(0x3d, 0x3d, 0x3d), QColor(0x5a, 0x5a, 0x5a),
                    QColor(0xff, 0xff, 0xff), QColor(0x90, 0x90, 0x90), QColor(0x60, 0xcd, 0xff),
                    QColor(0x00, 0x00, 0x00), QColor(0x2b, 0x2b, 0x2b), QColor(0x9a, 0x9a, 0x9a)};

// Fusion, with check boxes and focus frames drawn in the style's own colours (Fusion's frame
// of an unticked box is a shade of the window colour: nearly invisible on dark surfaces).
class TModernStyle : public QProxyStyle {
public:
    TModernStyle(QStyle* fusion, const Colours& colours) : QProxyStyle(fusion), m_c(colours) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_IndicatorCheckBox || element == PE_IndicatorItemViewItemCheck) {
            DrawCheckIndicator(option, painter);
            return;
        }
        if (element == PE_FrameFocusRect) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(QPen(m_c.Accent, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    void DrawCheckIndicator(const QStyleOption* option, QPainter* painter) const {
        const bool enabled = option->state & State_Enabled;
        const bool on = option->state & State_On;
        const bool partly = option->state & State_NoChange;
        const int side = std::min(option->rect.width(), option->rect.height()) - 2;
        QRectF box(0, 0, side, side);
        box.moveCenter(QRectF(option->rect).center());
        const QColor mark = enabled ? m_c.Accent : m_c.DisabledText;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        if (on || partly) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(mark);
            painter->drawRoundedRect(box, 3, 3);
            painter->setPen(QPen(m_c.AccentText, std::max(1.5, side / 7.0), Qt::SolidLine,
                                 Qt::RoundCap, Qt::RoundJoin));
            if (on) {
                const QPolygonF tick({box.topLeft() + QPointF(side * 0.22, side * 0.52),
                                      box.topLeft() + QPointF(side * 0.42, side * 0.72),
                                      box.topLeft() + QPointF(side * 0.78, side * 0.30)});
                painter->drawPolyline(tick);
            } else {
                painter->drawLine(box.topLeft() + QPointF(side * 0.25, side * 0.5),
                                  box.topLeft() + QPointF(side * 0.75, side * 0.5));
            }
        } else {
            painter->setPen(QPen(enabled ? m_c.Indicator : m_c.DisabledText, 1.2));
            painter->setBrush(m_c.Surface);
            painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
        painter->restore();
    }

    Colours m_c;
};

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
TSectionView, QListWidget { border: 1px solid %1; border-radius: 6px; background: %7; }
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
    QApplication::setStyle(new TModernStyle(fusion, *colours));
    QApplication::setPalette(Palette(*colours));
    qApp->setStyleSheet(StyleSheet(*colours));
    return true;
}

} // namespace qm::themes
