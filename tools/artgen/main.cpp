// Generates Tavorin's pictures and sounds into a resources folder.
//   artgen <resources folder> [skins|icons|pictures|sounds|check ...]
// With no part named, everything is written.
#include "check.h"
#include "icons.h"
#include "pictures.h"
#include "glyphs.h"
#include "sounds.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

using namespace artgen;

namespace {

// The built-in skin's look, light maple and walnut, at a size of pieces.
SkinStyle builtinStyle(int size) {
    return {size,
            QColor(255, 253, 246),
            QColor(226, 214, 190),
            QColor(28, 22, 18),
            QColor(78, 72, 68),
            QColor(18, 16, 15),
            QColor(222, 214, 200),
            QColor(8, 8, 8),
            QColor(236, 214, 172),
            QColor(168, 118, 78),
            SquareLook::Wood,
            11};
}

void writeSkins(const QString& root) {
    // Built-in skin: 40-pixel pieces.
    writeSkin(builtinStyle(40), root + "/builtin");
    // Marble: 56-pixel pieces, cool white and slate, on cream and grey-green stone.
    writeSkin(
        {56, QColor(255, 255, 255), QColor(206, 212, 220), QColor(30, 34, 42), QColor(74, 82, 98), QColor(16, 19, 26),
         QColor(214, 220, 230), QColor(6, 8, 12), QColor(226, 212, 194), QColor(128, 144, 138), SquareLook::Marble, 23},
        root + "/apariencias/marmol");
    // Tournament: 48-pixel pieces on plain cream and green.
    writeSkin(
        {48, QColor(255, 254, 250), QColor(232, 228, 214), QColor(24, 24, 24), QColor(70, 70, 70), QColor(14, 14, 14),
         QColor(226, 226, 226), QColor(6, 6, 6), QColor(238, 236, 214), QColor(96, 138, 96), SquareLook::Flat, 37},
        root + "/apariencias/torneo");
}

void writePreviewPieces(const QString& root) {
    // The EPD list's preview board: 15-pixel pieces in the built-in skin's colours.
    writePieces(builtinStyle(15), root + "/builtin/epd");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: artgen <resources folder> [skins|icons|pictures|sounds|check ...]\n");
        return 2;
    }
    const QString root = args.at(1);
    QStringList parts = args.mid(2);
    if (parts.isEmpty()) parts = {"skins", "icons", "pictures", "sounds"};
    for (const QString& part : parts) {
        if (part == "skins") {
            writeSkins(root);
            writePreviewPieces(root);
        } else if (part == "icons")
            writeIcons(root + "/builtin");
        else if (part == "pictures")
            writePictures(root + "/builtin");
        else if (part == "sounds")
            writeSounds(root + "/Sonidos");
        else if (part == "check") {
            // Checks every skin and leaves preview boards beside the build.
            int faults = checkSkin(root + "/builtin", "preview-builtin.png");
            faults += checkSkin(root + "/apariencias/marmol", "preview-marmol.png");
            faults += checkSkin(root + "/apariencias/torneo", "preview-torneo.png");
            if (faults) return 1;
            std::printf("skins ok\n");
        } else {
            std::fprintf(stderr, "unknown part %s\n", qPrintable(part));
            return 2;
        }
    }
    return 0;
}
