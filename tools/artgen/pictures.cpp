#include "pictures.h"

#include "raster.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artgen {
namespace {

QPainterPath glyph(char16_t code, double pixelSize, const QString& family = "DejaVu Sans", bool bold = false) {
    QFont f(family);
    f.setPixelSize(int(pixelSize));
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoFontMerging);
    QPainterPath path;
    path.addText(0, 0, f, QString(QChar(code)));
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPainterPath text(const QString& s, double pixelSize, const QString& family, bool bold) {
    QFont f(family);
    f.setPixelSize(int(pixelSize));
    f.setBold(bold);
    QPainterPath path;
    path.addText(0, 0, f, s);
    return path;
}

// Moves a path so that its bounding box is centred on `centre` and scales it
// to the given height.
QPainterPath fit(const QPainterPath& path, QPointF centre, double height) {
    const QRectF b = path.boundingRect();
    const double k = height / b.height();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(k, k);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

// A knight made light: the filled glyph as body, the hollow glyph's lines
// drawn over it.
void ivoryKnight(QPainter& p, QPointF centre, double height, const QColor& line) {
    const QPainterPath solid = fit(glyph(u'\u265E', 200), centre, height);
    const QPainterPath hollow = fit(glyph(u'\u2658', 200), centre, height);
    const QRectF b = solid.boundingRect();
    QLinearGradient body(b.topLeft(), b.bottomRight());
    body.setColorAt(0, QColor(255, 253, 244));
    body.setColorAt(1, QColor(214, 200, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(solid);
    p.setBrush(line);
    p.setPen(QPen(line, height / 90.0));
    p.drawPath(hollow);
}

// ---- splash and about picture --------------------------------------------

void splash(QPainter& p) {
    const double w = 338, h = 259;
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(16, 40, 62));
    sky.setColorAt(0.62, QColor(30, 74, 98));
    sky.setColorAt(1, QColor(10, 26, 40));
    p.fillRect(QRectF(0, 0, w, h), sky);

    // A board in perspective on the lower half, fading into the dark.
    const double horizon = 120, bottom = h + 40;
    const double nearHalf = 360, farHalf = 90;
    const double cx = 190;
    auto rowY = [&](double t) { return horizon + (bottom - horizon) * std::pow(t, 1.8); };
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const double t0 = r / 8.0, t1 = (r + 1) / 8.0;
            const double y0 = rowY(t0), y1 = rowY(t1);
            const double half0 = farHalf + (nearHalf - farHalf) * (y0 - horizon) / (bottom - horizon);
            const double half1 = farHalf + (nearHalf - farHalf) * (y1 - horizon) / (bottom - horizon);
            const double u0 = -1 + c / 4.0, u1 = -1 + (c + 1) / 4.0;
            QPolygonF q;
            q << QPointF(cx + u0 * half0, y0) << QPointF(cx + u1 * half0, y0) << QPointF(cx + u1 * half1, y1)
              << QPointF(cx + u0 * half1, y1);
            const bool light = (r + c) % 2 == 0;
            const double fade = 0.25 + 0.6 * (r / 7.0);
            const QColor base = light ? QColor(222, 200, 160) : QColor(120, 84, 56);
            p.setPen(Qt::NoPen);
            p.setBrush(mix(QColor(18, 44, 64), base, fade));
            p.drawPolygon(q);
        }
    // Mist over the far edge of the board.
    QLinearGradient mist(0, horizon - 10, 0, horizon + 50);
    mist.setColorAt(0, QColor(30, 74, 98, 255));
    mist.setColorAt(1, QColor(30, 74, 98, 0));
    p.fillRect(QRectF(0, horizon - 10, w, 60), mist);

    // Soft light behind the knight.
    QRadialGradient glow(260, 98, 110);
    glow.setColorAt(0, QColor(255, 236, 190, 110));
    glow.setColorAt(1, QColor(255, 236, 190, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);

    // Shadow, then the knight.
    p.save();
    p.translate(8, 6);
    p.setOpacity(0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(fit(glyph(u'\u265E', 200), QPointF(262, 112), 166));
    p.restore();
    ivoryKnight(p, QPointF(262, 112), 166, QColor(40, 30, 22));

    // The name, with a thin gold rule under it.
    QPainterPath name = text("Tavorin", 42, "DejaVu Serif", true);
    name.translate(18 - name.boundingRect().left(), 62);
    p.setPen(QPen(QColor(0, 0, 0, 120), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(name.translated(1.5, 2));
    QLinearGradient gold(0, 24, 0, 64);
    gold.setColorAt(0, QColor(255, 240, 190));
    gold.setColorAt(1, QColor(226, 178, 84));
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawPath(name);
    p.setPen(QPen(QColor(226, 178, 84, 200), 1.2));
    p.drawLine(QPointF(20, 74), QPointF(176, 74));

    // A darker band along the bottom, where the window writes its texts.
    QLinearGradient band(0, h - 70, 0, h);
    band.setColorAt(0, QColor(8, 20, 32, 0));
    band.setColorAt(1, QColor(8, 20, 32, 210));
    p.fillRect(QRectF(0, h - 70, w, 70), band);
}

// ---- program icon ----------------------------------------------------------

void programIcon(QPainter& p, double s) {
    const QRectF box(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    const double radius = s * 0.18;
    QPainterPath tile;
    tile.addRoundedRect(box, radius, radius);
    p.save();
    p.setClipPath(tile);
    // Board pattern as the tile's face.
    const double cell = box.width() / 4;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            p.fillRect(QRectF(box.left() + c * cell, box.top() + r * cell, cell + 0.5, cell + 0.5),
                       (r + c) % 2 ? QColor(150, 104, 66) : QColor(236, 214, 172));
        }
    QLinearGradient shade(0, box.top(), 0, box.bottom());
    shade.setColorAt(0, QColor(255, 255, 255, 60));
    shade.setColorAt(1, QColor(0, 0, 0, 70));
    p.fillRect(box, shade);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 44, 24), std::max(1.0, s / 32.0)));
    p.drawPath(tile);

    // A dark knight in front: it reads on both the light and dark cells.
    const QPointF centre(s * 0.52, s * 0.53);
    const double height = s * 0.74;
    const QPainterPath solid = fit(glyph(u'\u265E', 200), centre, height);
    p.setPen(QPen(QColor(255, 250, 236), std::max(1.0, s / 22.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient body(solid.boundingRect().topLeft(), solid.boundingRect().bottomRight());
    body.setColorAt(0, QColor(70, 64, 60));
    body.setColorAt(1, QColor(14, 12, 10));
    p.setBrush(body);
    p.drawPath(solid);
}

// ---- file icons -------------------------------------------------------------

void fileIcon(QPainter& p, double s, const QString& label, const QColor& colour, int kind) {
    const double m = s / 16.0;
    QPainterPath page;
    page.moveTo(3 * m, 0.8 * m);
    page.lineTo(10.5 * m, 0.8 * m);
    page.lineTo(13.5 * m, 3.8 * m);
    page.lineTo(13.5 * m, 15.2 * m);
    page.lineTo(3 * m, 15.2 * m);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 96, 110), std::max(1.0, s / 48.0)));
    p.setBrush(QLinearGradient(0, 0, 0, s));
    {
        QLinearGradient g(0, 0, 0, s);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(226, 230, 238));
        p.setBrush(g);
    }
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(10.5 * m, 0.8 * m);
    fold.lineTo(10.5 * m, 3.8 * m);
    fold.lineTo(13.5 * m, 3.8 * m);
    p.setBrush(QColor(206, 212, 224));
    p.drawPath(fold);

    // What the file holds: a game (a knight), a game list (lines of moves)
    // or a position (a small board).
    const QRectF area(4.5 * m, 4.2 * m, 7.5 * m, 5.8 * m);
    if (kind == 0) {
        const QPainterPath knight = fit(glyph(u'\u265E', 200), area.center(), area.height());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 36, 34));
        p.drawPath(knight);
    } else if (kind == 1) {
        p.setPen(QPen(QColor(120, 130, 150), std::max(1.0, s / 40.0)));
        for (int i = 0; i < 4; ++i) {
            const double y = area.top() + (i + 0.5) * area.height() / 4;
            p.drawLine(QPointF(area.left(), y), QPointF(area.right() - (i % 2 ? 1.5 * m : 0), y));
        }
    } else {
        const double c = area.height() / 4;
        const double x0 = area.center().x() - 2 * c;
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) {
                p.setBrush((r + k) % 2 ? QColor(150, 104, 66) : QColor(236, 214, 172));
                p.drawRect(QRectF(x0 + k * c, area.top() + r * c, c, c));
            }
    }

    // The coloured label with the extension.
    const QRectF tag(1.2 * m, 10.6 * m, 13.6 * m, 4.2 * m);
    QLinearGradient g(0, tag.top(), 0, tag.bottom());
    g.setColorAt(0, colour.lighter(125));
    g.setColorAt(1, colour.darker(115));
    p.setPen(QPen(colour.darker(160), std::max(1.0, s / 64.0)));
    p.setBrush(g);
    p.drawRoundedRect(tag, 0.9 * m, 0.9 * m);
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(int(3.3 * m));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(tag, Qt::AlignCenter, label);
}

// ---- cursors ---------------------------------------------------------------

QPainterPath roundedBox(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// A hand in a 32 x 32 grid: pointing (index finger up) or holding (fingers
// curled). Each part is joined on its own so the outline stays one line.
QPainterPath handPath(bool grab) {
    QPainterPath hand = roundedBox(QRectF(9, 15, 15.5, 13.5), 5);
    if (grab) {
        for (int i = 0; i < 4; ++i)
            hand = hand.united(roundedBox(QRectF(9.2 + i * 3.8, 11.5 + (i == 0 || i == 3 ? 1 : 0), 3.8, 8), 1.9));
    } else {
        hand = hand.united(roundedBox(QRectF(10.5, 2.5, 4.2, 17), 2.1));
        for (int i = 0; i < 3; ++i) hand = hand.united(roundedBox(QRectF(14.7 + i * 3.4, 11.5 + i * 0.6, 3.4, 8), 1.7));
    }
    QTransform t;
    t.translate(10.5, 20.5);
    t.rotate(-40);
    hand = hand.united(t.map(roundedBox(QRectF(-8.5, -2.2, 9.5, 4.4), 2.2)));
    return hand.simplified();
}

void cursorHand(QPainter& p, bool grab) {
    const QPainterPath hand = handPath(grab);
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // Finger lines.
    p.setPen(QPen(QColor(0, 0, 0, 150), 0.9, Qt::SolidLine, Qt::RoundCap));
    if (grab) {
        for (int i = 1; i < 4; ++i) p.drawLine(QPointF(9.2 + i * 3.8, 13.5), QPointF(9.2 + i * 3.8, 17.5));
    } else {
        for (int i = 1; i < 3; ++i) p.drawLine(QPointF(14.7 + i * 3.4, 13.5), QPointF(14.7 + i * 3.4, 17.5));
    }
}

void cursorStop(QPainter& p) {
    p.setPen(QPen(Qt::white, 2.0));
    p.setBrush(QColor(214, 36, 30));
    p.drawEllipse(QPointF(16, 16), 11, 11);
    p.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
}

// ---- the PGN browser's header column -----------------------------------------

void pgnHeader(QPainter& p) {
    QLinearGradient g(0, 0, 66, 0);
    g.setColorAt(0, QColor(236, 230, 214));
    g.setColorAt(1, QColor(250, 247, 238));
    p.fillRect(QRectF(0, 0, 66, 148), g);
    p.setPen(QPen(QColor(200, 190, 168), 1));
    for (int r = 1; r < 7; ++r) p.drawLine(QPointF(3, r * 21 + 0.5), QPointF(63, r * 21 + 0.5));
    p.setPen(QPen(QColor(176, 160, 130), 1));
    p.drawLine(QPointF(65.5, 0), QPointF(65.5, 148));
}

}  // namespace

void writePictures(const QString& folder) {
    savePng(drawSmooth(338, 259, 3, splash).convertToFormat(QImage::Format_RGB32), folder + "/splash.png");

    for (int s : {16, 24, 32, 48, 64, 128, 256})
        savePng(drawSmooth(s, s, 4, [s](QPainter& p) { programIcon(p, s); }),
                folder + QString("/tavorin-%1.png").arg(s));

    struct FileType {
        const char* name;
        const char* label;
        QColor colour;
        int kind;
    };
    const FileType types[] = {{"Tvp", "TVP", QColor(46, 150, 70), 0},
                              {"Pgn", "PGN", QColor(40, 100, 200), 1},
                              {"Epd", "EPD", QColor(220, 120, 30), 2}};
    for (const FileType& t : types)
        for (int s : {16, 32, 48, 128}) {
            const QString name = s == 48 ? QString("/%1.png").arg(t.name) : QString("/%1-%2.png").arg(t.name).arg(s);
            savePng(drawSmooth(s, s, 4, [&](QPainter& p) { fileIcon(p, s, t.label, t.colour, t.kind); }),
                    folder + name);
        }

    savePng(drawSmooth(32, 32, 4, [](QPainter& p) { cursorHand(p, false); }), folder + "/cursor-tablero.png");
    savePng(drawSmooth(32, 32, 4, [](QPainter& p) { cursorHand(p, true); }), folder + "/cursor-mano.png");
    savePng(drawSmooth(32, 32, 4, cursorStop), folder + "/cursor-stop.png");

    savePng(drawSmooth(66, 148, 2, pgnHeader).convertToFormat(QImage::Format_RGB32), folder + "/pgn-cabecera.png");
}

}  // namespace artgen
