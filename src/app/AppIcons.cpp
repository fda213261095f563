#include "app/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qm::app {

namespace {

const QColor kAccent(0x1f, 0x6f, 0xd1);
const QColor kPaper(0xf7, 0xf9, 0xfc);

QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet with a folded corner and a few text lines.
void DrawSheet(QPainter& p, const QRectF& r, const QColor& ink) {
    const qreal fold = r.width() * 0.3;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(ink, r.width() / 16));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    for (int i = 1; i <= 3; ++i) {
        const qreal y = r.top() + fold + i * r.height() * 0.15;
        p.drawLine(QPointF(r.left() + r.width() * 0.2, y), QPointF(r.right() - r.width() * 0.2, y));
    }
}

} // namespace

QIcon ProgramIcon() {
    QPixmap pixmap = Canvas(64);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // A quill across a sheet.
    DrawSheet(p, QRectF(14, 10, 30, 42), QColor(0x1b, 0x2b, 0x44));
    QPainterPath quill;
    quill.moveTo(52, 8);
    quill.cubicTo(36, 14, 26, 30, 22, 52);
    quill.cubicTo(32, 36, 42, 26, 52, 8);
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    p.drawPath(quill);
    return QIcon(pixmap);
}

QIcon FilesPageIcon() {
    QPixmap pixmap = Canvas(48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent.darker(130), 2));
    p.setBrush(QColor(0xff, 0xd2, 0x6a));
    p.drawRoundedRect(QRectF(4, 10, 40, 30), 3, 3);
    p.drawRoundedRect(QRectF(4, 7, 16, 6), 2, 2);
    DrawSheet(p, QRectF(18, 16, 18, 24), kAccent.darker(130));
    return QIcon(pixmap);
}

QIcon RegistryPageIcon() {
    QPixmap pixmap = Canvas(48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent.darker(130), 2));
    // Three cubes, as registry editors draw keys.
    for (const QPointF& at : {QPointF(6, 24), QPointF(24, 24), QPointF(15, 8)}) {
        p.setBrush(kAccent.lighter(150));
        p.drawRect(QRectF(at, QSizeF(16, 16)));
        p.setBrush(kAccent);
        p.drawRect(QRectF(at + QPointF(4, 4), QSizeF(8, 8)));
    }
    return QIcon(pixmap);
}

QIcon OptionsIcon() {
    QPixmap pixmap = Canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent.darker(130), 1.6));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 3.5 + i * 4.5;
        p.drawLine(QPointF(2, y), QPointF(14, y));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(i == 1 ? 10 : 5, y), 2, 2);
    }
    return QIcon(pixmap);
}

} // namespace qm::app
