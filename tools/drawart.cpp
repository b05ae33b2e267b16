// Draws the application's pictures (the logo, the main window's decoration
// and the desktop icon in its sizes) into files under assets/. Run by hand
// when the artwork changes:  drawart <assets directory>

#include "ui/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A rising sun behind a young sprout, above a bar, in a 640 x 480 frame.
void drawEmblem(QPainter &p)
{
    QRadialGradient sun(QPointF(320, 210), 170);
    sun.setColorAt(0, QColor(255, 214, 80));
    sun.setColorAt(1, QColor(255, 150, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(320, 210), 170, 170);
    p.setBrush(QColor(46, 139, 87));
    QPainterPath stem;
    stem.moveTo(312, 330);
    stem.cubicTo(300, 260, 330, 200, 326, 130);
    stem.lineTo(338, 130);
    stem.cubicTo(344, 200, 316, 260, 330, 330);
    stem.closeSubpath();
    p.drawPath(stem);
    QPainterPath left;
    left.moveTo(318, 230);
    left.cubicTo(260, 170, 200, 190, 180, 210);
    left.cubicTo(230, 250, 290, 250, 318, 230);
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(330, 190);
    right.cubicTo(390, 120, 450, 130, 470, 150);
    right.cubicTo(420, 200, 360, 205, 330, 190);
    p.drawPath(right);
    p.setBrush(QColor(60, 120, 200));
    p.drawRoundedRect(QRectF(120, 330, 400, 18), 9, 9);
}

void drawLogo(QPainter &p, const QRectF &r)
{
    p.fillRect(r, Qt::white);
    const double s = r.width() / 640.0;
    p.save();
    p.translate(r.topLeft());
    p.scale(s, r.height() / 480.0);
    drawEmblem(p);
    p.setPen(QColor(30, 90, 160));
    p.setFont(fonts::font(fonts::kSimHei, 60, true));
    p.drawText(QRectF(0, 350, 640, 120), Qt::AlignCenter, QStringLiteral("禾岚教育"));
    p.restore();
}

void drawPicture(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(150, 205, 255));
    sky.setColorAt(1, QColor(225, 242, 255));
    p.fillRect(QRect(0, 0, 361, 310), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 60));
    p.drawEllipse(QPointF(300, 50), 30, 30);
    p.setBrush(Qt::white);
    for (const QPointF c : {QPointF(70, 45), QPointF(95, 40), QPointF(115, 48)})
        p.drawEllipse(c, 22, 15);
    // Rolling hills.
    QPainterPath hills;
    hills.moveTo(0, 190);
    hills.cubicTo(90, 150, 170, 200, 250, 170);
    hills.cubicTo(300, 150, 340, 165, 361, 175);
    hills.lineTo(361, 310);
    hills.lineTo(0, 310);
    hills.closeSubpath();
    p.setBrush(QColor(120, 200, 110));
    p.drawPath(hills);
    // A child holding a balloon.
    p.setBrush(QColor(255, 224, 189));
    p.drawEllipse(QPointF(150, 150), 14, 14);
    p.setBrush(QColor(230, 80, 80));
    p.drawRoundedRect(QRectF(138, 164, 24, 34), 6, 6);
    p.setPen(QPen(QColor(90, 60, 40), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(144, 198), QPointF(140, 222));
    p.drawLine(QPointF(156, 198), QPointF(160, 222));
    p.drawLine(QPointF(160, 172), QPointF(182, 150));
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.drawLine(QPointF(182, 150), QPointF(196, 92));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 170));
    p.drawEllipse(QPointF(198, 78), 16, 20);
    // Building blocks.
    const QColor colours[] = {QColor(70, 130, 230), QColor(250, 170, 40), QColor(160, 90, 210)};
    const QString letters[] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    p.setFont(fonts::font(QStringLiteral("DejaVu Sans"), 14, true));
    for (int i = 0; i < 3; ++i) {
        const QRectF block(230 + i * 34, 190 - (i == 1 ? 30 : 0), 30, 30);
        p.setBrush(colours[i]);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(block, 4, 4);
        p.setPen(Qt::white);
        p.drawText(block, Qt::AlignCenter, letters[i]);
    }
}

// The desktop icon: the logo's emblem without its text, on a clear ground.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 380.0;
    p.scale(s, s);
    p.translate(-130, -20);
    drawEmblem(p);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    fonts::installSubstitutions();
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets"));

    // The main window shows the logo in a 94 x 77 box: twice that size keeps
    // it sharp on high-density screens and cheap to decode at start-up.
    QPixmap logo(188, 154);
    {
        QPainter p(&logo);
        p.setRenderHint(QPainter::Antialiasing);
        drawLogo(p, QRectF(0, 0, 188, 154));
    }
    QPixmap small(198, 167);
    {
        QPainter p(&small);
        p.setRenderHint(QPainter::Antialiasing);
        drawLogo(p, QRectF(0, 0, 198, 167));
    }
    QPixmap picture(361, 310);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        drawPicture(p);
    }
    bool ok = logo.save(out.filePath(QStringLiteral("logo.bmp")))
        && small.save(out.filePath(QStringLiteral("about-logo.bmp")))
        && picture.save(out.filePath(QStringLiteral("picture.bmp")));
    out.mkpath(QStringLiteral("icons"));
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        ok = ok && icon(size).save(out.filePath(QStringLiteral("icons/%1.png").arg(size)));
    return ok ? 0 : 1;
}
