#include "icons.h"

#include "raster.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>
#include <vector>

namespace artgen {
namespace {

using Draw = std::function<void(QPainter&)>;

// Everything is drawn on a 16 x 16 grid; the pictures are written at 16
// pixels and, for high-density screens, at 32 ("@2x").
constexpr int kGrid = 16;

const QColor kInk(40, 40, 46);

QPen inkPen(double width = 1.0, const QColor& c = kInk) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient vertical(double top, double bottom, const QColor& a, const QColor& b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QImage render(int grid, int scale, const Draw& draw) {
    return drawSmooth(grid * scale, grid * scale, 4, [&](QPainter& p) {
        p.scale(scale, scale);
        draw(p);
    });
}

void writeIcon(const QString& path, const Draw& draw, int grid = kGrid) {
    savePng(render(grid, 1, draw), path + ".png");
    savePng(render(grid, 2, draw), path + "@2x.png");
}

// ---- shared parts -------------------------------------------------------

void floppy(QPainter& p, double x, double y, double s) {
    // A small disk of side s at (x, y): the "save" mark.
    p.save();
    p.translate(x, y);
    p.scale(s / 12.0, s / 12.0);
    QPainterPath body;
    body.moveTo(0.5, 1.5);
    body.quadTo(0.5, 0.5, 1.5, 0.5);
    body.lineTo(9.5, 0.5);
    body.lineTo(11.5, 2.5);
    body.lineTo(11.5, 10.5);
    body.quadTo(11.5, 11.5, 10.5, 11.5);
    body.lineTo(1.5, 11.5);
    body.quadTo(0.5, 11.5, 0.5, 10.5);
    body.closeSubpath();
    p.setPen(inkPen(1.0, QColor(20, 44, 92)));
    p.setBrush(vertical(0, 12, QColor(92, 142, 222), QColor(38, 84, 170)));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 244, 250));
    p.drawRect(QRectF(2.5, 1.5, 7, 4));
    p.setBrush(QColor(38, 84, 170));
    p.drawRect(QRectF(7, 2.2, 1.6, 2.6));
    p.setBrush(QColor(214, 222, 236));
    p.drawRoundedRect(QRectF(3, 7.5, 6, 3.5), 0.6, 0.6);
    p.restore();
}

void miniBoard(QPainter& p, const QRectF& r, int cells, const QColor& light, const QColor& dark) {
    const double c = r.width() / cells;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            p.setBrush((i + j) % 2 ? dark : light);
            p.drawRect(QRectF(r.left() + i * c, r.top() + j * c, c, c));
        }
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(1.0, QColor(70, 44, 24)));
    p.drawRect(r);
}

void circleBadge(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom, const QString& text) {
    p.setPen(inkPen(1.0, bottom.darker(160)));
    QRadialGradient g(r.center().x() - r.width() * 0.2, r.top() + r.height() * 0.25, r.width());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.drawEllipse(r);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.78));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(0, 0.3, 0, 0.3), Qt::AlignCenter, text);
}

QPainterPath arcArrow(double cx, double cy, double radius, double fromDeg, double spanDeg) {
    QPainterPath path;
    QRectF box(cx - radius, cy - radius, 2 * radius, 2 * radius);
    path.arcMoveTo(box, fromDeg);
    path.arcTo(box, fromDeg, spanDeg);
    return path;
}

void arrowHead(QPainter& p, QPointF tip, double angleDeg, double size, const QColor& c) {
    const double a = angleDeg * M_PI / 180.0;
    const QPointF dir(std::cos(a), -std::sin(a));
    const QPointF side(-dir.y(), dir.x());
    QPolygonF tri;
    tri << tip + dir * size * 0.9 << tip + side * size * 0.8 << tip - side * size * 0.8;
    p.setPen(inkPen(0.6, c.darker(140)));
    p.setBrush(c);
    p.drawPolygon(tri);
}

void chainLink(QPainter& p, QPointF centre, double angleDeg, const QColor& c) {
    p.save();
    p.translate(centre);
    p.rotate(angleDeg);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(2.6, c.darker(170)));
    p.drawRoundedRect(QRectF(-4.2, -2.1, 8.4, 4.2), 2.1, 2.1);
    p.setPen(inkPen(1.4, c));
    p.drawRoundedRect(QRectF(-4.2, -2.1, 8.4, 4.2), 2.1, 2.1);
    p.restore();
}

// ---- the 26 pictures of the main window's image list ----------------------

void folderOpen(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(128, 86, 10)));
    p.setBrush(vertical(2, 14, QColor(250, 214, 112), QColor(214, 160, 40)));
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.8, 5.0);
    back.lineTo(12.5, 5.0);
    back.lineTo(12.5, 7.0);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.0, 7.5);
    front.lineTo(15.0, 7.5);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.setBrush(vertical(7, 14, QColor(255, 232, 150), QColor(236, 182, 60)));
    p.drawPath(front);
}

void saveGame(QPainter& p) { floppy(p, 1.5, 1.5, 13); }

void saveChat(QPainter& p) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 12, 8), 3, 3);
    QPainterPath tail;
    tail.moveTo(3, 9);
    tail.lineTo(2.5, 12.5);
    tail.lineTo(6.5, 9);
    bubble = bubble.united(tail);
    p.setPen(inkPen(1.0, QColor(40, 110, 60)));
    p.setBrush(vertical(1, 12, QColor(170, 232, 170), QColor(96, 190, 110)));
    p.drawPath(bubble);
    p.setPen(inkPen(1.0, QColor(40, 110, 60)));
    p.drawLine(QPointF(3.5, 4.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(3.5, 6.5), QPointF(7.5, 6.5));
    floppy(p, 7.5, 7.5, 8);
}

void saveImage(QPainter& p) {
    miniBoard(p, QRectF(0.5, 0.5, 12, 12), 4, QColor(240, 222, 184), QColor(170, 122, 80));
    floppy(p, 7.5, 7.5, 8);
}

void exitDoor(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(90, 56, 28)));
    p.setBrush(vertical(1, 15, QColor(196, 140, 84), QColor(140, 88, 44)));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    p.setBrush(QColor(250, 220, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(7.6, 8.5), 0.8, 0.8);
    // Arrow leaving the door.
    p.setPen(inkPen(2.0, QColor(200, 40, 36)));
    p.drawLine(QPointF(8.5, 8.0), QPointF(12.5, 8.0));
    arrowHead(p, QPointF(12.5, 8.0), 0, 3.0, QColor(220, 50, 44));
}

void ipAddress(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(50, 56, 70)));
    p.setBrush(vertical(1, 11, QColor(210, 216, 228), QColor(150, 158, 176)));
    p.drawRoundedRect(QRectF(0.5, 1.5, 15, 10), 1.2, 1.2);
    p.setBrush(vertical(2, 10, QColor(40, 90, 160), QColor(20, 50, 110)));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(2, 3, 12, 7));
    p.setBrush(QColor(120, 126, 140));
    p.drawRect(QRectF(6, 11.5, 4, 2));
    p.setPen(inkPen(1.0, QColor(50, 56, 70)));
    p.drawLine(QPointF(3.5, 14.5), QPointF(12.5, 14.5));
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(6);
    p.setFont(f);
    p.setPen(QColor(240, 248, 255));
    p.drawText(QRectF(2, 3, 12, 7), Qt::AlignCenter, "IP");
}

void connect(QPainter& p) {
    chainLink(p, QPointF(5.5, 10.5), -45, QColor(60, 170, 70));
    chainLink(p, QPointF(10.5, 5.5), -45, QColor(60, 170, 70));
}

void disconnect(QPainter& p) {
    chainLink(p, QPointF(4.2, 11.8), -45, QColor(200, 60, 50));
    chainLink(p, QPointF(11.8, 4.2), -45, QColor(200, 60, 50));
    p.setPen(inkPen(1.0, QColor(230, 170, 40)));
    p.drawLine(QPointF(7.0, 5.0), QPointF(7.6, 6.6));
    p.drawLine(QPointF(9.0, 9.4), QPointF(10.8, 10.0));
    p.drawLine(QPointF(5.2, 7.4), QPointF(6.5, 7.8));
}

void newGame(QPainter& p) {
    miniBoard(p, QRectF(0.5, 3.5, 12, 12), 4, QColor(240, 222, 184), QColor(170, 122, 80));
    // A small star: something new.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 1.7 : 4.2;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(11.5 + r * std::cos(a), 4.5 + r * std::sin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(inkPen(0.8, QColor(170, 110, 0)));
    p.setBrush(vertical(0, 9, QColor(255, 240, 120), QColor(250, 190, 30)));
    p.drawPath(star);
}

void palette(QPainter& p) {
    QPainterPath pal;
    pal.addEllipse(QRectF(0.5, 1.5, 15, 13));
    QPainterPath hole;
    hole.addEllipse(QRectF(9.2, 9.0, 3.2, 2.8));
    QPainterPath notch;
    notch.addEllipse(QRectF(10.5, 11.5, 6, 5));
    pal = pal.subtracted(hole).subtracted(notch);
    p.setPen(inkPen(1.0, QColor(120, 84, 40)));
    p.setBrush(vertical(1, 15, QColor(240, 210, 160), QColor(200, 160, 104)));
    p.drawPath(pal);
    const QColor dots[] = {QColor(220, 40, 40), QColor(250, 200, 30), QColor(40, 160, 60), QColor(40, 100, 220)};
    const QPointF at[] = {QPointF(4.0, 5.5), QPointF(7.8, 4.2), QPointF(11.6, 5.4), QPointF(4.2, 9.6)};
    for (int i = 0; i < 4; ++i) {
        p.setPen(inkPen(0.6, dots[i].darker(150)));
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.6, 1.6);
    }
}

void gear(QPainter& p) {
    QPainterPath g;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const double a = (i / double(teeth * 4)) * 2 * M_PI;
        const double r = (i % 4 == 0 || i % 4 == 1) ? 7.2 : 5.4;
        const QPointF pt(8 + r * std::cos(a), 8 + r * std::sin(a));
        if (i == 0)
            g.moveTo(pt);
        else
            g.lineTo(pt);
    }
    g.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.2, 2.2);
    g = g.subtracted(hole);
    p.setPen(inkPen(1.0, QColor(60, 66, 78)));
    p.setBrush(vertical(1, 15, QColor(214, 220, 230), QColor(128, 138, 156)));
    p.drawPath(g);
}

void flipBoard(QPainter& p) {
    miniBoard(p, QRectF(4.5, 4.5, 7, 7), 2, QColor(240, 222, 184), QColor(170, 122, 80));
    const QColor c(40, 120, 220);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(1.6, c));
    p.drawPath(arcArrow(8, 8, 6.6, 100, 150));
    p.drawPath(arcArrow(8, 8, 6.6, 280, 150));
    arrowHead(p, QPointF(8 + 6.6 * std::cos(250 * M_PI / 180), 8 - 6.6 * std::sin(250 * M_PI / 180)), -20, 2.6, c);
    arrowHead(p, QPointF(8 + 6.6 * std::cos(70 * M_PI / 180), 8 - 6.6 * std::sin(70 * M_PI / 180)), 160, 2.6, c);
}

void help(QPainter& p) { circleBadge(p, QRectF(0.5, 0.5, 15, 15), QColor(120, 180, 255), QColor(30, 90, 200), "?"); }

void resign(QPainter& p) {
    p.setPen(inkPen(1.4, QColor(90, 60, 30)));
    p.drawLine(QPointF(3.0, 1.5), QPointF(3.0, 15.0));
    QPainterPath flag;
    flag.moveTo(3.5, 2.0);
    flag.cubicTo(7, 0.5, 9, 4.0, 14.5, 2.5);
    flag.lineTo(14.5, 9.0);
    flag.cubicTo(9, 10.5, 7, 7.0, 3.5, 8.5);
    flag.closeSubpath();
    p.setPen(inkPen(1.0, QColor(120, 120, 130)));
    p.setBrush(vertical(1, 10, QColor(255, 255, 255), QColor(214, 218, 226)));
    p.drawPath(flag);
}

void draw(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(90, 70, 20)));
    p.setBrush(vertical(1, 15, QColor(255, 236, 150), QColor(232, 190, 70)));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(70, 50, 10));
    p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, QString(QChar(0x00BD)));
}

void about(QPainter& p) { circleBadge(p, QRectF(0.5, 0.5, 15, 15), QColor(130, 200, 255), QColor(20, 110, 200), "i"); }

void clockFace(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(50, 60, 80)));
    QRadialGradient g(6, 5, 10);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(200, 212, 230));
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(inkPen(0.8, QColor(90, 100, 120)));
    for (int i = 0; i < 12; i += 3) {
        const double a = i * M_PI / 6;
        p.drawLine(QPointF(8 + 5.2 * std::cos(a), 8 + 5.2 * std::sin(a)),
                   QPointF(8 + 6.0 * std::cos(a), 8 + 6.0 * std::sin(a)));
    }
    p.setPen(inkPen(1.3, QColor(30, 36, 50)));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void calendar(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(70, 70, 80)));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(2, 6, QColor(240, 80, 70), QColor(200, 40, 36)));
    p.drawRect(QRectF(2, 3, 12, 3));
    p.setBrush(QColor(150, 150, 160));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) p.drawRect(QRectF(3.5 + i * 3.2, 7.5 + j * 2.3, 2, 1.4));
    p.setPen(inkPen(1.2, QColor(70, 70, 80)));
    p.drawLine(QPointF(4.5, 1.0), QPointF(4.5, 4.0));
    p.drawLine(QPointF(11.5, 1.0), QPointF(11.5, 4.0));
}

void trash(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(60, 64, 72)));
    p.setBrush(vertical(4, 15, QColor(210, 214, 222), QColor(150, 156, 168)));
    QPainterPath can;
    can.moveTo(3.0, 4.5);
    can.lineTo(13.0, 4.5);
    can.lineTo(12.0, 15.0);
    can.lineTo(4.0, 15.0);
    can.closeSubpath();
    p.drawPath(can);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 2), 0.8, 0.8);
    p.drawRect(QRectF(6, 1, 4, 1.5));
    p.setPen(inkPen(0.8, QColor(100, 104, 112)));
    for (double x : {6.0, 8.0, 10.0}) p.drawLine(QPointF(x, 6.5), QPointF(x, 13.5));
}

void copySheets(QPainter& p) {
    auto sheet = [&](double x, double y) {
        QPainterPath s;
        s.moveTo(x, y);
        s.lineTo(x + 6, y);
        s.lineTo(x + 9, y + 3);
        s.lineTo(x + 9, y + 10);
        s.lineTo(x, y + 10);
        s.closeSubpath();
        p.setPen(inkPen(1.0, QColor(80, 90, 110)));
        p.setBrush(vertical(y, y + 10, Qt::white, QColor(226, 232, 242)));
        p.drawPath(s);
        p.setPen(inkPen(0.8, QColor(140, 150, 170)));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(x + 2, y + 4.5 + i * 2), QPointF(x + 7, y + 4.5 + i * 2));
    };
    sheet(1.5, 0.5);
    sheet(5.5, 5.0);
}

void person(QPainter& p, const QColor& top, const QColor& bottom) {
    p.setPen(inkPen(1.0, bottom.darker(160)));
    p.setBrush(vertical(1, 7, top, bottom));
    p.drawEllipse(QRectF(3.5, 1.0, 6, 6));
    QPainterPath body;
    body.moveTo(0.8, 15.0);
    body.cubicTo(0.8, 9.0, 12.2, 9.0, 12.2, 15.0);
    body.closeSubpath();
    p.setBrush(vertical(8, 15, top, bottom));
    p.drawPath(body);
}

void pencil(QPainter& p, QPointF tip, double len) {
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(inkPen(0.7, QColor(120, 80, 20)));
    p.setBrush(vertical(-1.3, 1.3, QColor(255, 210, 80), QColor(230, 150, 20)));
    p.drawRect(QRectF(2.4, -1.3, len - 3.4, 2.6));
    p.setBrush(QColor(240, 150, 150));
    p.drawRect(QRectF(len - 1.0, -1.3, 1.6, 2.6));
    QPolygonF cone;
    cone << QPointF(0, 0) << QPointF(2.4, -1.3) << QPointF(2.4, 1.3);
    p.setBrush(QColor(245, 220, 180));
    p.drawPolygon(cone);
    p.restore();
}

void nick(QPainter& p) {
    person(p, QColor(140, 190, 250), QColor(50, 110, 200));
    pencil(p, QPointF(8.0, 14.5), 9.5);
}

void setUp(QPainter& p) {
    miniBoard(p, QRectF(0.5, 0.5, 12, 12), 4, QColor(240, 222, 184), QColor(170, 122, 80));
    pencil(p, QPointF(7.5, 14.5), 10.0);
}

void globe(QPainter& p, const QRectF& r) {
    QRadialGradient g(r.center().x() - r.width() * 0.2, r.center().y() - r.height() * 0.25, r.width());
    g.setColorAt(0, QColor(150, 210, 255));
    g.setColorAt(1, QColor(30, 100, 190));
    p.setPen(inkPen(1.0, QColor(20, 70, 140)));
    p.setBrush(g);
    p.drawEllipse(r);
    p.setPen(inkPen(0.7, QColor(220, 240, 255, 200)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(r.center().x() - r.width() * 0.22, r.top(), r.width() * 0.44, r.height()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

void update(QPainter& p) {
    globe(p, QRectF(0.5, 0.5, 12, 12));
    // Green arrow coming down: fetch the newest version.
    p.setPen(inkPen(2.2, QColor(30, 140, 50)));
    p.drawLine(QPointF(12.0, 6.5), QPointF(12.0, 11.0));
    arrowHead(p, QPointF(12.0, 11.2), -90, 3.4, QColor(60, 180, 70));
}

void statusDot(QPainter& p, bool on) {
    const QColor top = on ? QColor(150, 255, 140) : QColor(255, 150, 140);
    const QColor bottom = on ? QColor(30, 160, 40) : QColor(190, 30, 30);
    QRadialGradient g(6, 5, 9);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(inkPen(1.0, bottom.darker(150)));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.setPen(inkPen(1.6, Qt::white));
    if (on) {
        p.drawLine(QPointF(5.0, 8.2), QPointF(7.2, 10.4));
        p.drawLine(QPointF(7.2, 10.4), QPointF(11.0, 5.8));
    } else {
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    }
}

void takeBack(QPainter& p) {
    const QColor c(230, 130, 20);
    QPainterPath path;
    path.moveTo(4.0, 6.0);
    path.lineTo(10.0, 6.0);
    path.cubicTo(15.0, 6.0, 15.0, 14.0, 10.0, 14.0);
    path.lineTo(6.0, 14.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(3.4, c.darker(150)));
    p.drawPath(path);
    p.setPen(inkPen(2.0, c));
    p.drawPath(path);
    arrowHead(p, QPointF(3.0, 6.0), 180, 3.6, c);
}

// ---- other windows' buttons -------------------------------------------------

void mediaShape(QPainter& p, const QString& kind, const QColor& top, const QColor& bottom) {
    p.setPen(inkPen(1.0, bottom.darker(160)));
    p.setBrush(vertical(2, 14, top, bottom));
    auto tri = [&](double x, bool right) {
        QPolygonF t;
        if (right)
            t << QPointF(x, 3) << QPointF(x + 6, 8) << QPointF(x, 13);
        else
            t << QPointF(x + 6, 3) << QPointF(x, 8) << QPointF(x + 6, 13);
        p.drawPolygon(t);
    };
    if (kind == "inicio") {
        p.drawRect(QRectF(2, 3, 2, 10));
        tri(4.5, false);
        tri(9.0, false);
    } else if (kind == "atras") {
        tri(4.5, false);
    } else if (kind == "adelante") {
        tri(5.5, true);
    } else if (kind == "final") {
        tri(1.0, true);
        tri(5.5, true);
        p.drawRect(QRectF(12, 3, 2, 10));
    } else if (kind == "reproducir") {
        QPolygonF t;
        t << QPointF(3.5, 2) << QPointF(13.5, 8) << QPointF(3.5, 14);
        p.drawPolygon(t);
    } else if (kind == "pausa") {
        p.drawRoundedRect(QRectF(3.5, 2.5, 3.2, 11), 0.8, 0.8);
        p.drawRoundedRect(QRectF(9.3, 2.5, 3.2, 11), 0.8, 0.8);
    } else if (kind == "detener") {
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
    }
}

void bulb(QPainter& p) {
    QRadialGradient g(6.5, 5, 8);
    g.setColorAt(0, QColor(255, 255, 210));
    g.setColorAt(1, QColor(250, 200, 40));
    p.setPen(inkPen(1.0, QColor(160, 110, 10)));
    p.setBrush(g);
    QPainterPath b;
    b.addEllipse(QRectF(3, 0.5, 10, 10));
    QPainterPath neck;
    neck.addRect(QRectF(5.5, 8, 5, 3));
    p.drawPath(b.united(neck));
    p.setBrush(vertical(11, 15, QColor(200, 204, 214), QColor(120, 126, 140)));
    p.setPen(inkPen(0.8, QColor(70, 74, 84)));
    p.drawRoundedRect(QRectF(5.5, 11, 5, 3.5), 0.8, 0.8);
}

void lightning(QPainter& p) {
    QPolygonF bolt;
    bolt << QPointF(9.5, 0.5) << QPointF(3.0, 9.0) << QPointF(7.5, 9.0) << QPointF(5.5, 15.5) << QPointF(13.0, 6.0)
         << QPointF(8.5, 6.0) << QPointF(10.5, 0.5);
    p.setPen(inkPen(1.0, QColor(170, 100, 0)));
    p.setBrush(vertical(0, 16, QColor(255, 236, 110), QColor(250, 160, 20)));
    p.drawPolygon(bolt);
}

void gauge(QPainter& p) {
    QPainterPath dial;
    dial.moveTo(1.0, 12.0);
    dial.arcTo(QRectF(1.0, 3.0, 14.0, 18.0), 180, -180);
    dial.closeSubpath();
    p.setPen(inkPen(1.0, QColor(60, 66, 78)));
    p.setBrush(vertical(3, 12, QColor(240, 244, 250), QColor(190, 198, 212)));
    p.drawPath(dial);
    // Coloured scale from green to red.
    const QColor scale[] = {QColor(60, 180, 70), QColor(240, 200, 40), QColor(220, 60, 40)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(scale[i], 1.6, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(QRectF(3.0, 5.0, 10.0, 14.0), int((180 - i * 60) * 16), int(-58 * 16));
    }
    p.setPen(inkPen(1.4, QColor(30, 34, 44)));
    p.drawLine(QPointF(8, 12), QPointF(11.5, 6.5));
    p.setBrush(QColor(30, 34, 44));
    p.drawEllipse(QPointF(8, 12), 1.2, 1.2);
}

void startEngineGame(QPainter& p) {
    miniBoard(p, QRectF(0.5, 0.5, 11, 11), 4, QColor(240, 222, 184), QColor(170, 122, 80));
    p.setPen(inkPen(1.0, QColor(20, 110, 30)));
    p.setBrush(vertical(6, 16, QColor(140, 230, 130), QColor(40, 160, 50)));
    QPolygonF t;
    t << QPointF(7.5, 6.5) << QPointF(15.5, 11.0) << QPointF(7.5, 15.5);
    p.drawPolygon(t);
}

// ---- picture buttons of the options and level dialogs -----------------------

enum class ButtonState { Normal, Pressed, Hover, Disabled };

void stepButton(QPainter& p, bool up, ButtonState state) {
    // 12 x 12: a small bevelled button with an arrow.
    const bool pressed = state == ButtonState::Pressed;
    QColor faceTop(244, 246, 250), faceBottom(206, 212, 222), arrow(40, 60, 110);
    if (state == ButtonState::Hover) {
        faceTop = QColor(236, 246, 255);
        faceBottom = QColor(170, 206, 244);
        arrow = QColor(20, 80, 170);
    } else if (pressed) {
        faceTop = QColor(180, 194, 214);
        faceBottom = QColor(220, 228, 238);
    } else if (state == ButtonState::Disabled) {
        faceTop = QColor(236, 236, 236);
        faceBottom = QColor(220, 220, 220);
        arrow = QColor(160, 160, 160);
    }
    p.setPen(inkPen(1.0, state == ButtonState::Disabled ? QColor(170, 170, 170) : QColor(96, 110, 136)));
    p.setBrush(vertical(0, 12, faceTop, faceBottom));
    p.drawRoundedRect(QRectF(0.5, 0.5, 11, 11), 2, 2);
    const double d = pressed ? 0.6 : 0.0;
    QPolygonF t;
    if (up)
        t << QPointF(6 + d, 3.2 + d) << QPointF(9.4 + d, 7.8 + d) << QPointF(2.6 + d, 7.8 + d);
    else
        t << QPointF(6 + d, 8.8 + d) << QPointF(9.4 + d, 4.2 + d) << QPointF(2.6 + d, 4.2 + d);
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPolygon(t);
}

struct Entry {
    int index;
    const char* name;
    Draw draw;
};

}  // namespace

void writeIcons(const QString& folder) {
    const std::vector<Entry> list{
        {1, "abrir", folderOpen},
        {2, "guardar", saveGame},
        {3, "guardar-chat", saveChat},
        {4, "guardar-imagen", saveImage},
        {5, "salir", exitDoor},
        {6, "direccion-ip", ipAddress},
        {7, "conectar", connect},
        {8, "desconectar", disconnect},
        {9, "nueva-partida", newGame},
        {10, "colores", palette},
        {11, "opciones", gear},
        {12, "girar-tablero", flipBoard},
        {13, "ayuda", help},
        {14, "rendirse", resign},
        {15, "tablas", draw},
        {16, "acerca", about},
        {17, "reloj", clockFace},
        {18, "fecha", calendar},
        {19, "borrar", trash},
        {20, "copiar", copySheets},
        {21, "nick", nick},
        {22, "preparar", setUp},
        {23, "actualizar", update},
        {24, "conectado", [](QPainter& p) { statusDot(p, true); }},
        {25, "desconectado", [](QPainter& p) { statusDot(p, false); }},
        {26, "retroceder", takeBack},
    };
    const QString dir = folder + "/iconos";
    // The image list as one strip, picture n at x = 16 (n - 1), on the mask
    // colour magenta, as the toolbar's image list keeps it.
    QImage strip(kGrid * int(list.size()), kGrid, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter sp(&strip);
    for (const Entry& e : list) {
        writeIcon(dir + "/" + e.name, e.draw);
        QImage one = render(kGrid, 1, e.draw);
        // Keep the strip's pixels either magenta or opaque, as a mask colour needs.
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                const QRgb px = one.pixel(x, y);
                if (qAlpha(px) >= 96)
                    strip.setPixel(
                        (e.index - 1) * kGrid + x, y,
                        qRgb(qRed(px) * 255 / qAlpha(px), qGreen(px) * 255 / qAlpha(px), qBlue(px) * 255 / qAlpha(px)));
            }
    }
    sp.end();
    savePng(strip, folder + "/imagelist1.png");

    // The PGN browser's six button faces and the engine panel's own buttons.
    for (const char* kind : {"inicio", "atras", "adelante", "final"})
        writeIcon(dir + "/pgn-" + kind,
                  [kind](QPainter& p) { mediaShape(p, kind, QColor(130, 180, 250), QColor(40, 96, 190)); });
    writeIcon(dir + "/pgn-reproducir",
              [](QPainter& p) { mediaShape(p, "reproducir", QColor(140, 230, 130), QColor(40, 160, 50)); });
    writeIcon(dir + "/pgn-pausa",
              [](QPainter& p) { mediaShape(p, "pausa", QColor(255, 220, 120), QColor(220, 150, 20)); });
    writeIcon(dir + "/motor-empezar", startEngineGame);
    writeIcon(dir + "/motor-detener",
              [](QPainter& p) { mediaShape(p, "detener", QColor(255, 140, 130), QColor(200, 40, 36)); });
    writeIcon(dir + "/motor-pista", bulb);
    writeIcon(dir + "/motor-mover-ya", lightning);
    writeIcon(dir + "/motor-nivel", gauge);

    // Picture buttons: set 1 raises a value, set 2 lowers it.
    const std::pair<ButtonState, const char*> states[] = {{ButtonState::Normal, "normal"},
                                                          {ButtonState::Pressed, "pulsado"},
                                                          {ButtonState::Hover, "encima"},
                                                          {ButtonState::Disabled, "inactivo"}};
    for (const bool up : {true, false})
        for (const auto& [state, name] : states)
            writeIcon(
                dir + "/boton-" + (up ? "subir-" : "bajar-") + name,
                [up, state](QPainter& p) { stepButton(p, up, state); }, 12);
}

}  // namespace artgen
