#include "check.h"

#include "raster.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cstdio>

namespace artgen {
namespace {

constexpr std::array<const char*, 6> kStems{"peon", "torre", "caballo", "alfil", "dama", "rey"};

QImage load(const QString& path, int& faults) {
    QImage img(path);
    if (img.isNull()) {
        std::printf("%s: cannot be read\n", qPrintable(path));
        ++faults;
    }
    return img.convertToFormat(QImage::Format_RGB32);
}

// dst = (dst AND mask) XOR piece, pixel by pixel, as the board draws a piece.
void drawPiece(QImage& board, int x0, int y0, const QImage& piece, const QImage& mask) {
    for (int y = 0; y < piece.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(board.scanLine(y0 + y)) + x0;
        const auto* p = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < piece.width(); ++x) dst[x] = 0xff000000u | (((dst[x] & m[x]) ^ p[x]) & 0xffffffu);
    }
}

}  // namespace

int checkSkin(const QString& folder, const QString& preview) {
    int faults = 0;
    std::array<QImage, 13> pieces, masks;
    for (int code = 1; code <= 12; ++code) {
        const QString stem = QString::fromLatin1(kStems[(code - 1) % 6]) + (code <= 6 ? "b" : "n");
        pieces[code] = load(folder + "/" + stem + ".png", faults);
        masks[code] = load(folder + "/" + stem + "f.png", faults);
    }
    const QImage light = load(folder + "/cuadrob.png", faults);
    const QImage dark = load(folder + "/cuadron.png", faults);
    if (faults) return faults;

    auto fault = [&](const char* what, int code) {
        std::printf("%s: %s (piece %d)\n", qPrintable(folder), what, code);
        ++faults;
    };
    for (int code = 1; code <= 12; ++code) {
        const QImage& p = pieces[code];
        const QImage& m = masks[code];
        if (p.width() != p.height()) fault("piece not square", code);
        if (m.size() != p.size()) fault("mask size differs from piece", code);
        if (m.size() != p.size()) continue;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const QRgb mv = m.pixel(x, y) & 0xffffffu;
                if (mv != 0 && mv != 0xffffffu) {
                    fault("mask pixel neither black nor white", code);
                    y = p.height();
                    break;
                }
                if (mv == 0xffffffu && (p.pixel(x, y) & 0xffffffu) != 0) {
                    fault("piece not black outside its mask", code);
                    y = p.height();
                    break;
                }
            }
    }
    if (light.width() != light.height() || dark.size() != light.size())
        fault("squares not square or not of one size", 0);
    if (pieces[1].height() != light.height()) fault("White pawn height differs from the squares", 1);

    if (!preview.isEmpty() && faults == 0) {
        const int n = light.width();
        QImage board(8 * n, 8 * n, QImage::Format_RGB32);
        QPainter painter(&board);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) painter.drawImage(c * n, r * n, (r + c) % 2 ? dark : light);
        painter.end();
        const std::array<int, 8> back{2, 3, 4, 5, 6, 4, 3, 2};
        for (int c = 0; c < 8; ++c) {
            drawPiece(board, c * n, 0, pieces[back[c] + 6], masks[back[c] + 6]);
            drawPiece(board, c * n, n, pieces[7], masks[7]);
            drawPiece(board, c * n, 6 * n, pieces[1], masks[1]);
            drawPiece(board, c * n, 7 * n, pieces[back[c]], masks[back[c]]);
        }
        // Every piece once more on the middle ranks: rows 2 and 4 White, rows 3
        // and 5 Black, so each stands once on a light and once on a dark square.
        for (int code = 1; code <= 12; ++code) {
            const int c = (code - 1) % 6;
            const int r = code <= 6 ? 2 : 3;
            drawPiece(board, c * n, r * n, pieces[code], masks[code]);
            drawPiece(board, c * n, (r + 2) * n, pieces[code], masks[code]);
        }
        savePng(board, preview);
    }
    return faults;
}

}  // namespace artgen
