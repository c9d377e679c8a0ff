#include "glyphs.h"

#include "raster.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace artgen {
namespace {

constexpr int kSuper = 8;  // supersampling factor of the piece drawings

// Piece kinds in the order of the board's piece codes 1..6.
struct Kind {
    const char* stem;
    char16_t whiteGlyph;
    char16_t blackGlyph;
};
constexpr std::array<Kind, 6> kKinds{{
    {"peon", u'\u2659', u'\u265F'},
    {"torre", u'\u2656', u'\u265C'},
    {"caballo", u'\u2658', u'\u265E'},
    {"alfil", u'\u2657', u'\u265D'},
    {"dama", u'\u2655', u'\u265B'},
    {"rey", u'\u2654', u'\u265A'},
}};

QPainterPath glyphPath(char16_t code) {
    QFont font("DejaVu Sans");
    font.setPixelSize(1000);
    font.setStyleStrategy(QFont::NoFontMerging);
    QPainterPath path;
    path.addText(0, 0, font, QString(QChar(code)));
    return path;
}

// The two glyphs of one kind, placed in a big square of side `big`: all
// kinds share one scale and one baseline, so their relative sizes stay.
struct PlacedGlyphs {
    QPainterPath outline;  // the hollow glyph: outer edge and inner lines
    QPainterPath solid;    // the filled glyph: body with the inner lines cut out
};

PlacedGlyphs placeGlyphs(const Kind& kind, int big) {
    const QRectF king = glyphPath(u'\u2654').boundingRect();
    const double scale = 0.86 * big / king.height();
    const double baseline = 0.945 * big - scale * king.bottom();
    QPainterPath outline = glyphPath(kind.whiteGlyph);
    QPainterPath solid = glyphPath(kind.blackGlyph);
    const QRectF box = outline.boundingRect().united(solid.boundingRect());
    QTransform t;
    t.translate(big / 2.0 - scale * box.center().x(), baseline);
    t.scale(scale, scale);
    PlacedGlyphs placed{t.map(outline), t.map(solid)};
    // Even-odd filling keeps every hole of the glyphs open, whatever the
    // direction in which the font draws its contours.
    placed.outline.setFillRule(Qt::OddEvenFill);
    placed.solid.setFillRule(Qt::OddEvenFill);
    return placed;
}

// Pixels covered by a path drawn with the given pen (no anti-aliasing).
std::vector<bool> rasterise(const QPainterPath& path, int big, double penWidth) {
    QImage ink(big, big, QImage::Format_Grayscale8);
    ink.fill(255);
    {
        QPainter p(&ink);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::black);
        p.drawPath(path);
    }
    std::vector<bool> covered(size_t(big) * big);
    for (int y = 0; y < big; ++y)
        for (int x = 0; x < big; ++x) covered[size_t(y) * big + x] = ink.constScanLine(y)[x] < 128;
    return covered;
}

// Pixels inside the outer edge of the hollow glyph (a flood fill of the
// outside), joined with the filled glyph.
std::vector<bool> silhouette(const PlacedGlyphs& g, int big, double penWidth) {
    QPainterPath both = g.outline;
    both.addPath(g.solid);
    const std::vector<bool> ink = rasterise(both, big, penWidth);
    std::vector<bool> outside(size_t(big) * big, false);
    std::vector<int> stack;
    auto push = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= big || y >= big) return;
        const size_t i = size_t(y) * big + x;
        if (outside[i] || ink[i]) return;
        outside[i] = true;
        stack.push_back(int(i));
    };
    for (int i = 0; i < big; ++i) {
        push(i, 0);
        push(i, big - 1);
        push(0, i);
        push(big - 1, i);
    }
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const int x = i % big, y = i / big;
        push(x + 1, y);
        push(x - 1, y);
        push(x, y + 1);
        push(x, y - 1);
    }
    std::vector<bool> inside(outside.size());
    for (size_t i = 0; i < inside.size(); ++i) inside[i] = !outside[i];
    return inside;
}

// Distance of every pixel to the nearest pixel outside the silhouette
// (two-pass chamfer, 1 and 1.4 steps).
std::vector<float> distanceToOutside(const std::vector<bool>& inside, int big) {
    constexpr float kFar = 1e9f;
    std::vector<float> d(inside.size());
    for (size_t i = 0; i < d.size(); ++i) d[i] = inside[i] ? kFar : 0.0f;
    auto at = [&](int x, int y) -> float {
        if (x < 0 || y < 0 || x >= big || y >= big) return 0.0f;
        return d[size_t(y) * big + x];
    };
    for (int y = 0; y < big; ++y)
        for (int x = 0; x < big; ++x) {
            float& v = d[size_t(y) * big + x];
            v = std::min(
                {v, at(x - 1, y) + 1.0f, at(x, y - 1) + 1.0f, at(x - 1, y - 1) + 1.4f, at(x + 1, y - 1) + 1.4f});
        }
    for (int y = big - 1; y >= 0; --y)
        for (int x = big - 1; x >= 0; --x) {
            float& v = d[size_t(y) * big + x];
            v = std::min(
                {v, at(x + 1, y) + 1.0f, at(x, y + 1) + 1.0f, at(x + 1, y + 1) + 1.4f, at(x - 1, y + 1) + 1.4f});
        }
    return d;
}

// Body colour of a piece: a vertical gradient with a soft light from the left.
QColor bodyColour(const QColor& top, const QColor& bottom, double fx, double fy) {
    QColor c = mix(top, bottom, fy);
    const double light = 0.10 * (0.5 - fx);
    return mix(c, light > 0 ? QColor(Qt::white) : QColor(Qt::black), std::abs(light));
}

struct PiecePictures {
    QImage piece;  // black around the piece
    QImage mask;   // white around the piece, black on it
};

PiecePictures drawPiece(const Kind& kind, bool white, const SkinStyle& s) {
    const int big = s.size * kSuper;
    const PlacedGlyphs g = placeGlyphs(kind, big);
    // Lines get thicker on small pictures so that they survive the reduction.
    const double pen = kSuper * std::clamp(1.3 - s.size / 100.0, 0.5, 1.0);
    const std::vector<bool> inside = silhouette(g, big, pen);

    const QRectF box = g.outline.boundingRect().united(g.solid.boundingRect());
    QImage hi(big, big, QImage::Format_ARGB32_Premultiplied);
    hi.fill(Qt::transparent);
    for (int y = 0; y < big; ++y) {
        auto* row = reinterpret_cast<QRgb*>(hi.scanLine(y));
        const double fy = (y - box.top()) / box.height();
        for (int x = 0; x < big; ++x) {
            if (!inside[size_t(y) * big + x]) continue;
            const double fx = (x - box.left()) / box.width();
            row[x] = (white ? bodyColour(s.whiteTop, s.whiteBottom, fx, fy) : s.blackLine).rgba();
        }
    }
    {
        QPainter p(&hi);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (white) {
            // The hollow glyph gives the outline and the inner lines.
            p.setPen(QPen(s.whiteInk, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(s.whiteInk);
            p.drawPath(g.outline);
        } else {
            // The filled glyph gives the body; its cut-out lines show the light
            // colour laid underneath.
            QLinearGradient grad(box.topLeft(), box.bottomRight());
            grad.setColorAt(0, s.blackTop);
            grad.setColorAt(1, s.blackBottom);
            p.setPen(Qt::NoPen);
            p.setBrush(grad);
            p.drawPath(g.solid);
        }
    }
    if (white) {
        // Some hollow glyphs have solid parts (the bishop's mitre): keep only a
        // line's width of ink along their edges, so every White piece reads light.
        const std::vector<bool> ink = rasterise(g.outline, big, pen);
        const std::vector<float> depth = distanceToOutside(ink, big);
        const float line = float(0.03 * big);
        for (int y = 0; y < big; ++y) {
            auto* row = reinterpret_cast<QRgb*>(hi.scanLine(y));
            const double fy = (y - box.top()) / box.height();
            for (int x = 0; x < big; ++x)
                if (depth[size_t(y) * big + x] > line)
                    row[x] = bodyColour(s.whiteTop, s.whiteBottom, (x - box.left()) / box.width(), fy).rgba();
        }
    } else {
        // A dark rim keeps the outer edge of Black as firm as the ink of White.
        const std::vector<float> dist = distanceToOutside(inside, big);
        const float rim = float(pen * 0.9);
        for (int y = 0; y < big; ++y) {
            auto* row = reinterpret_cast<QRgb*>(hi.scanLine(y));
            for (int x = 0; x < big; ++x) {
                const float v = dist[size_t(y) * big + x];
                if (v > 0 && v <= rim) {
                    row[x] = s.blackEdge.rgba();
                } else if (v == 0 && qAlpha(row[x]) > 0) {
                    // Anti-aliased fringe of the lines outside the body: dark as well.
                    const int a = qAlpha(row[x]);
                    row[x] = qRgba(s.blackEdge.red() * a / 255, s.blackEdge.green() * a / 255,
                                   s.blackEdge.blue() * a / 255, a);
                }
            }
        }
    }

    const QImage small = reduce(hi, kSuper);
    const QColor edge = white ? s.whiteInk : s.blackEdge;
    PiecePictures out{QImage(s.size, s.size, QImage::Format_RGB32), QImage(s.size, s.size, QImage::Format_RGB32)};
    for (int y = 0; y < s.size; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(small.constScanLine(y));
        auto* piece = reinterpret_cast<QRgb*>(out.piece.scanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(out.mask.scanLine(y));
        for (int x = 0; x < s.size; ++x) {
            const int a = qAlpha(src[x]);
            if (a >= 128) {
                // Part-covered pixels are finished over the outline colour: the
                // drawing rule copies piece pixels as they are, without blending.
                const double rest = (255 - a) / 255.0;
                piece[x] = qRgb(std::min(255, int(qRed(src[x]) + rest * edge.red())),
                                std::min(255, int(qGreen(src[x]) + rest * edge.green())),
                                std::min(255, int(qBlue(src[x]) + rest * edge.blue())));
                mask[x] = qRgb(0, 0, 0);
            } else {
                piece[x] = qRgb(0, 0, 0);
                mask[x] = qRgb(255, 255, 255);
            }
        }
    }
    return out;
}

QImage drawSquare(const QColor& base, bool dark, const SkinStyle& s) {
    const int n = s.size;
    QImage img(n, n, QImage::Format_RGB32);
    const unsigned seed = s.seed + (dark ? 7u : 0u);
    for (int y = 0; y < n; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < n; ++x) {
            const double u = double(x) / n, v = double(y) / n;
            double shade = 1.0;
            switch (s.look) {
                case SquareLook::Flat: shade = 1.0 + 0.012 * (fractalNoise(u * 6, v * 6, 3, seed) - 0.5); break;
                case SquareLook::Wood: {
                    // Long grain across the square with slow wobble and fine fibres.
                    const double wobble = 2.2 * fractalNoise(u * 2.0, v * 3.0, 3, seed);
                    const double ring = std::sin((v * 7.0 + wobble) * 3.14159);
                    const double fibre = fractalNoise(u * 1.5, v * 40.0, 2, seed + 3) - 0.5;
                    shade = 1.0 + 0.045 * ring + 0.05 * fibre;
                    break;
                }
                case SquareLook::Marble: {
                    const double turb = fractalNoise(u * 2.5, v * 2.5, 5, seed);
                    const double vein = std::abs(std::sin((u * 1.3 + v * 2.1) * 3.14159 + turb * 7.0));
                    const double cloud = fractalNoise(u * 4, v * 4, 4, seed + 11) - 0.5;
                    shade = 1.0 - 0.16 * std::pow(1.0 - vein, 8.0) + 0.05 * cloud;
                    break;
                }
            }
            row[x] = qRgb(std::clamp(int(base.red() * shade), 0, 255), std::clamp(int(base.green() * shade), 0, 255),
                          std::clamp(int(base.blue() * shade), 0, 255));
        }
    }
    return img;
}

}  // namespace

void writeSkin(const SkinStyle& style, const QString& folder) {
    ensureFolder(folder);
    for (const Kind& kind : kKinds) {
        for (const bool white : {true, false}) {
            const PiecePictures pics = drawPiece(kind, white, style);
            const QString stem = QString::fromLatin1(kind.stem) + (white ? "b" : "n");
            savePng(pics.piece, folder + "/" + stem + ".png");
            savePng(pics.mask, folder + "/" + stem + "f.png");
        }
    }
    savePng(drawSquare(style.lightSquare, false, style), folder + "/cuadrob.png");
    savePng(drawSquare(style.darkSquare, true, style), folder + "/cuadron.png");
}

void writePieces(const SkinStyle& style, const QString& folder) {
    ensureFolder(folder);
    for (const Kind& kind : kKinds) {
        for (const bool white : {true, false}) {
            const PiecePictures pics = drawPiece(kind, white, style);
            // The mask's black pixels are the piece; everything else is transparent.
            QImage out(style.size, style.size, QImage::Format_ARGB32);
            for (int y = 0; y < style.size; ++y)
                for (int x = 0; x < style.size; ++x)
                    out.setPixel(x, y, qRed(pics.mask.pixel(x, y)) < 128 ? (pics.piece.pixel(x, y) | 0xff000000u) : 0u);
            savePng(out, folder + "/" + QString::fromLatin1(kind.stem) + (white ? "b" : "n") + ".png");
        }
    }
}

}  // namespace artgen
