// Draws the program's pictures into resources/: the splash picture, the
// application icon, the about box's program picture and the buttons' pictures. Run it after changing a drawing and commit the output:
//   zarn-draw-pictures path/to/resources
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>

namespace {

// The sixteen colours of the classic icon palette.
QList<QRgb> sixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage toSixteenColours(const QImage &image)
{
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither);
    // keep the transparent ground
    QImage result = indexed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) < 128)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

QImage drawSplash()
{
    QImage image(300, 200, QImage::Format_RGB32);
    const QColor blue(40, 90, 200);
    const QColor lightBlue(150, 195, 245);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // diagonal stripes whose edges wave along their length
            const double along = (x - y) / 22.0;
            const double across = (x + y) / 18.0 + 0.9 * std::sin(along);
            const double t = 0.5 + 0.5 * std::sin(across);
            const QColor c = QColor::fromRgbF(blue.redF() + (lightBlue.redF() - blue.redF()) * t,
                                              blue.greenF() + (lightBlue.greenF() - blue.greenF()) * t,
                                              blue.blueF() + (lightBlue.blueF() - blue.blueF()) * t);
            image.setPixel(x, y, c.rgb());
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title(QStringLiteral("AR PL UMing CN"));
    title.setPixelSize(27);
    title.setBold(true);
    const QString caption = QStringLiteral("财务管理系统应用程序");
    QPainterPath path;
    path.addText(0, 0, title, caption);
    const QRectF box = path.boundingRect();
    path.translate(150 - box.center().x(), 100 - box.center().y());
    p.setPen(QPen(QColor(255, 230, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    p.drawPath(path);

    QFont small(QStringLiteral("AR PL UMing CN"));
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(QColor(220, 0, 0));
    p.drawText(QRectF(0, 135, 300, 24), Qt::AlignCenter, QStringLiteral("请稍候……"));
    return image;
}

QImage drawIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // a large black arc open to the right
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(3, 3, 26, 26), 45 * 16, 270 * 16);
    // inside it a smaller ring, red along its top and right, black inner edge
    p.setPen(QPen(QColor(255, 0, 0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(10, 10, 12, 12), -90 * 16, 270 * 16);
    p.setPen(QPen(QColor(128, 0, 0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(10, 10, 12, 12), 180 * 16, 90 * 16);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(QRectF(12, 12, 8, 8));
    p.end();
    return toSixteenColours(image);
}

// A flaming torch in a grey holder before a grey domed building, on cyan.
QImage drawAboutPicture()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(QColor(0, 255, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor grey(128, 128, 128), light(192, 192, 192);
    // the building: a drum with columns under a dome
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawRect(3, 18, 26, 12);
    p.drawChord(QRect(6, 6, 20, 22), 0, 180 * 16);
    p.setBrush(grey);
    p.drawRect(15, 3, 2, 4);
    for (int x = 5; x < 29; x += 4)
        p.drawRect(x, 20, 2, 9);
    p.drawRect(2, 29, 28, 2);
    // the torch: a holder and its flame
    p.setBrush(grey);
    p.drawPolygon(QPolygon({QPoint(13, 30), QPoint(19, 30), QPoint(21, 17), QPoint(11, 17)}));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(QPolygon({QPoint(10, 16), QPoint(22, 16), QPoint(20, 8), QPoint(16, 1), QPoint(13, 8)}));
    p.setBrush(QColor(255, 255, 0));
    p.drawPolygon(QPolygon({QPoint(13, 16), QPoint(19, 16), QPoint(18, 10), QPoint(16, 5), QPoint(14, 10)}));
    p.end();
    return toSixteenColours(image);
}

// A two-state button picture: the 16 × 16 drawing on the left, its grey
// form on the right, on a ground of the bottom-left pixel's colour.
QImage buttonGlyph(void (*draw)(QPainter &))
{
    const QColor ground(0, 128, 128); // transparent when shown
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(ground);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing, false);
        draw(p);
    }
    picture = toSixteenColours(picture);
    QImage glyph(32, 16, QImage::Format_ARGB32);
    glyph.fill(ground);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb c = picture.pixel(x, y);
            glyph.setPixel(x, y, c);
            if (c != ground.rgb()) {
                // grey: dark lines stay dark grey, light areas light grey
                const int level = qGray(c) < 100 ? 128 : (qGray(c) < 200 ? 192 : 255);
                glyph.setPixel(16 + x, y, qRgb(level, level, level));
            }
        }
    }
    return glyph;
}

void drawWriting(QPainter &p)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 10, 12); // the sheet
    p.setPen(QColor(0, 0, 128));
    for (int y = 5; y < 13; y += 2)
        p.drawLine(3, y, 9, y);
    // the pencil, held by a hand
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    p.drawPolygon(QPolygon({QPoint(8, 11), QPoint(14, 3), QPoint(15, 4), QPoint(9, 12)}));
    p.setBrush(Qt::white); // the hand
    p.setPen(Qt::black);
    p.drawEllipse(QRect(10, 8, 5, 5));
    p.drawLine(12, 13, 14, 15);
}

void drawCabinet(QPainter &p)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(3, 1, 10, 14);
    p.setBrush(QColor(128, 128, 0));
    for (int y : {3, 8}) {
        p.drawRect(5, y, 6, 4);
        p.drawLine(7, y + 2, 9, y + 2);
    }
}

void drawPrinter(QPainter &p)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 6); // the sheet
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 6, 14, 6);
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(3, 11, 10, 3);
    p.setPen(QColor(0, 255, 0));
    p.drawPoint(12, 8);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: zarn-draw-pictures RESOURCE-DIRECTORY\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = drawSplash().save(dir.filePath(QStringLiteral("logo.jpg")), "JPEG", 90);
    ok = drawIcon().save(dir.filePath(QStringLiteral("mainicon.png")), "PNG") && ok;
    ok = drawAboutPicture().save(dir.filePath(QStringLiteral("about.png")), "PNG") && ok;
    ok = buttonGlyph(drawWriting).save(dir.filePath(QStringLiteral("addrecord.png")), "PNG") && ok;
    ok = buttonGlyph(drawCabinet).save(dir.filePath(QStringLiteral("saverecord.png")), "PNG") && ok;
    ok = buttonGlyph(drawPrinter).save(dir.filePath(QStringLiteral("printer.png")), "PNG") && ok;
    if (!ok) {
        err << "could not write the pictures\n";
        return 1;
    }
    return 0;
}
