// Draws the bundled sample pictures: landscapes, tiles and charts of several sizes and
// formats, with a few names that a gallery has to cope with (blanks, "#", Chinese).
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace {

QColor hue(int h, int s = 160, int v = 230)
{
    return QColor::fromHsv(h % 360, s, v);
}

QImage landscape(int w, int h, int variant)
{
    QRandomGenerator rng(variant);
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    const int base = rng.bounded(360);
    sky.setColorAt(0, hue(base + 200, 120, 250));
    sky.setColorAt(1, hue(base + 30, 90, 255));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(hue(base + 50, 200, 255));
    p.drawEllipse(QPointF(w * (0.2 + 0.6 * rng.generateDouble()), h * 0.25), h * 0.08, h * 0.08);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills;
        hills.moveTo(0, h);
        const int steps = 6 + layer * 2;
        for (int i = 0; i <= steps; ++i)
            hills.lineTo(w * i / double(steps),
                         h * (0.45 + 0.15 * layer + 0.12 * rng.generateDouble()));
        hills.lineTo(w, h);
        hills.closeSubpath();
        p.setBrush(hue(base + 90 + layer * 25, 150, 200 - layer * 50));
        p.drawPath(hills);
    }
    return img;
}

QImage tiles(int w, int h, int variant)
{
    QRandomGenerator rng(variant);
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    const int cell = 20 + rng.bounded(40);
    const int base = rng.bounded(360);
    for (int y = 0; y < h; y += cell)
        for (int x = 0; x < w; x += cell)
            p.fillRect(x, y, cell, cell,
                       hue(base + (x + y) / cell * 12, 140, 200 + rng.bounded(55)));
    return img;
}

void label(QImage &img, const QString &text)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(std::max(14, img.height() / 8));
    font.setBold(true);
    p.setFont(font);
    const QRect box(0, img.height() - font.pixelSize() * 2, img.width(), font.pixelSize() * 2);
    p.fillRect(box, QColor(0, 0, 0, 110));
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples");
    QDir().mkpath(out);
    struct Item
    {
        QString name;
        int w, h;
        bool tile;
    };
    QList<Item> items;
    const int sizes[][2] = {{1600, 1000}, {640, 480}, {1200, 900}, {400, 600},
                            {1920, 1080}, {800, 800}, {300, 200},  {1024, 768}};
    for (int i = 1; i <= 36; ++i) {
        const auto &s = sizes[i % 8];
        const char *ext = i % 9 == 0 ? "png" : i % 11 == 0 ? "bmp" : i % 13 == 0 ? "PNG" : "jpg";
        items.append(
            {QStringLiteral("IMG_%1.%2").arg(i).arg(QLatin1String(ext)), s[0], s[1], i % 4 == 0});
    }
    items.append({QStringLiteral("holiday photo 1.jpg"), 1280, 960, false});
    items.append({QStringLiteral("#7 sunset.jpg"), 1400, 700, false});
    items.append({QStringLiteral("山水 風景.jpg"), 1000, 700, false});
    items.append({QStringLiteral("海邊.png"), 900, 600, true});
    int variant = 7;
    for (const Item &item : items) {
        QImage img =
            item.tile ? tiles(item.w, item.h, variant) : landscape(item.w, item.h, variant);
        ++variant;
        label(img, QStringLiteral("%1  %2×%3").arg(item.name).arg(item.w).arg(item.h));
        img.save(out + QLatin1Char('/') + item.name, nullptr, 88);
    }
    return 0;
}
