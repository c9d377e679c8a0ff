#include "raster.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace artgen {

QImage drawSupersampled(int width, int height, int scale, const std::function<void(QPainter&)>& draw) {
    QImage big(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.scale(scale, scale);
    draw(p);
    p.end();
    return big;
}

QImage reduce(const QImage& big, int scale) {
    const QImage src = big.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = src.width() / scale;
    const int h = src.height() / scale;
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    const double n = double(scale) * scale;
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double a = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < scale; ++sy) {
                const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y * scale + sy));
                for (int sx = 0; sx < scale; ++sx) {
                    const QRgb px = row[x * scale + sx];
                    a += qAlpha(px);
                    r += qRed(px);
                    g += qGreen(px);
                    b += qBlue(px);
                }
            }
            dst[x] = qRgba(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n)),
                           int(std::lround(a / n)));
        }
    }
    return out;
}

QImage drawSmooth(int width, int height, int scale, const std::function<void(QPainter&)>& draw) {
    return reduce(drawSupersampled(width, height, scale, draw), scale);
}

namespace {
double lattice(int x, int y, unsigned seed) {
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xffffff) / double(0xffffff);
}
double smooth(double t) { return t * t * (3.0 - 2.0 * t); }
}  // namespace

double valueNoise(double x, double y, unsigned seed) {
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    const double a = lattice(x0, y0, seed), b = lattice(x0 + 1, y0, seed);
    const double c = lattice(x0, y0 + 1, seed), d = lattice(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double fractalNoise(double x, double y, int octaves, unsigned seed) {
    double sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + unsigned(i) * 131u);
        norm += amp;
        amp *= 0.5;
        x *= 2;
        y *= 2;
    }
    return sum / norm;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

void ensureFolder(const QString& path) {
    if (!QDir().mkpath(path)) {
        std::fprintf(stderr, "cannot create folder %s\n", qPrintable(path));
        std::exit(1);
    }
}

void savePng(const QImage& image, const QString& path) {
    ensureFolder(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

}  // namespace artgen
