#include "app/toolicons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace vimbrel {

QIcon toolIcon(const QString &themeName, const QString &glyph)
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    QIcon icon;
    for (int size : {24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x2b, 0x4c, 0x7e), size / 16.0));
        painter.setBrush(QColor(0xe8, 0xf0, 0xfb));
        painter.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), size / 6.0, size / 6.0);
        QFont font = painter.font();
        font.setPixelSize(int(size * (glyph.size() > 1 ? 0.42 : 0.62)));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0x2b, 0x4c, 0x7e));
        painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        const QColor frames[] = {QColor(0xd9, 0x82, 0x2b), QColor(0x3b, 0x8e, 0xa5),
                                 QColor(0x2b, 0x4c, 0x7e)};
        for (int i = 0; i < 3; ++i) {
            const QRectF r(s * (0.08 + 0.1 * i), s * (0.28 - 0.1 * i), s * 0.62, s * 0.62);
            painter.setPen(QPen(Qt::white, s / 24.0));
            painter.setBrush(frames[i]);
            painter.drawRoundedRect(r, s / 16.0, s / 16.0);
        }
        // a hill and a sun on the front picture
        const QRectF front(s * 0.28, s * 0.08, s * 0.62, s * 0.62);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xf4, 0xd0, 0x3f));
        painter.drawEllipse(
            QPointF(front.left() + front.width() * 0.7, front.top() + front.height() * 0.3),
            s * 0.07, s * 0.07);
        painter.setBrush(QColor(0x8c, 0xc6, 0x3f));
        QPolygonF hill;
        hill << QPointF(front.left() + s * 0.04, front.bottom() - s * 0.04)
             << QPointF(front.left() + front.width() * 0.4, front.top() + front.height() * 0.45)
             << QPointF(front.right() - s * 0.04, front.bottom() - s * 0.04);
        painter.drawPolygon(hill);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vimbrel
