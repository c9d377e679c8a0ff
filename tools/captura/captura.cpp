// Screenshots of an X display for the window checks under Xvfb, and what the checks
// look for in them:
//   captura foto SALIDA.png              the whole screen of $DISPLAY
//   captura tablero FOTO.png LADO        "x y": the board picture's top-left pixel,
//                                        found by its 2-pixel black frame (top or
//                                        bottom edge, whichever shows), squares of
//                                        LADO pixels; the top may lie above the screen
//   captura entero FOTO.png LADO         "x y" as tablero, when nothing covers the
//                                        board: its whole frame shows and every
//                                        square's corner has the colour of the other
//                                        squares of its shade; else a line saying
//                                        what is covered, and exit 1
//   captura distintos A.png B.png X Y W H  how many pixels of the rectangle differ
//   captura icono FOTO.png ICONO.png [LADO]  "x y": the centre of the first place that
//                                        shows every opaque pixel of the picture (drawn
//                                        LADO pixels wide when given, as a toolbar too
//                                        short for it draws it)
// Exits with 1 when nothing is found or a picture cannot be read.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <optional>
#include <vector>
#include <utility>

namespace {

bool Negro(const QImage& img, int x, int y) {
    return x >= 0 && y >= 0 && x < img.width() && y < img.height() && (img.pixel(x, y) & 0xFFFFFF) == 0;
}

// The board's frame is a black square ring 2 pixels thick round 8 x 8 squares of
// LADO pixels. A black run of its width whose ends go on down (top edge) or up
// (bottom edge) as the frame's sides is the frame.
std::optional<QPoint> Tablero(const QImage& img, int lado) {
    const int largo = 8 * lado + 4;
    auto lados = [&](int x, int desde, int paso) {
        int filas = 0;
        for (int y = desde; y >= 0 && y < img.height() && filas < largo - 2; y += paso, ++filas)
            if (!Negro(img, x, y) || !Negro(img, x + largo - 1, y)) break;
        return filas;
    };
    for (int y = 0; y + 1 < img.height(); ++y) {
        int x = 0;
        while (x < img.width()) {
            if (!Negro(img, x, y)) {
                ++x;
                continue;
            }
            const int inicio = x;
            while (x < img.width() && Negro(img, x, y)) ++x;
            if (x - inicio != largo || !Negro(img, inicio + largo / 2, y + 1)) continue;
            const int abajo = lados(inicio, y + 2, 1), arriba = lados(inicio, y - 1, -1);
            if (abajo > 0 && abajo >= std::min(2 * lado, img.height() - y - 2)) return QPoint(inicio + 2, y + 2);
            if (arriba > 0 && arriba >= std::min(2 * lado, y)) return QPoint(inicio + 2, y - 8 * lado);
        }
    }
    return std::nullopt;
}

// The mean colour of the 3 x 3 pixels from (x, y).
QColor Muestra(const QImage& img, int x, int y) {
    int r = 0, g = 0, b = 0;
    for (int dy = 0; dy < 3; ++dy)
        for (int dx = 0; dx < 3; ++dx) {
            const QRgb p = img.pixel(x + dx, y + dy);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    return QColor(r / 9, g / 9, b / 9);
}

bool Parecidos(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 24 && std::abs(a.green() - b.green()) <= 24 &&
           std::abs(a.blue() - b.blue()) <= 24;
}

// What covers the board whose picture starts at `p`: "" when nothing does. The board
// shows whole when its 2-pixel frame is black all round and the corner of each square
// (where no piece reaches) has the colour that most squares of its shade have.
std::string Tapado(const QImage& img, QPoint p, int lado) {
    const int largo = 8 * lado + 4;
    const QPoint esquina = p - QPoint(2, 2);
    if (!img.rect().contains(QRect(esquina, QSize(largo, largo)))) return "the board is not wholly on the screen";
    for (int i = 0; i < largo; ++i)
        for (int grueso = 0; grueso < 2; ++grueso)
            if (!Negro(img, esquina.x() + i, esquina.y() + grueso) ||
                !Negro(img, esquina.x() + i, esquina.y() + largo - 1 - grueso) ||
                !Negro(img, esquina.x() + grueso, esquina.y() + i) ||
                !Negro(img, esquina.x() + largo - 1 - grueso, esquina.y() + i))
                return "its frame is covered near " + std::to_string(i) + " pixels from a corner";
    // The squares of each shade, by their place on the picture (a8 top-left as seen).
    std::vector<std::pair<QColor, std::string>> tonos[2];
    for (int f = 0; f < 8; ++f)
        for (int c = 0; c < 8; ++c)
            tonos[(f + c) % 2].push_back(
                {Muestra(img, p.x() + c * lado + 2, p.y() + f * lado + 2), std::string{char('a' + c), char('8' - f)}});
    for (const auto& tono : tonos) {
        // The colour most squares of the shade agree with.
        const QColor* comun = &tono[0].first;
        int mejor = -1;
        for (const auto& a : tono) {
            int iguales = 0;
            for (const auto& b : tono) iguales += Parecidos(a.first, b.first);
            if (iguales > mejor) {
                mejor = iguales;
                comun = &a.first;
            }
        }
        for (const auto& [color, casilla] : tono)
            if (!Parecidos(color, *comun)) return "the square seen as " + casilla + " is covered";
    }
    if (Parecidos(tonos[0][0].first, tonos[1][0].first)) return "light and dark squares look alike";
    return "";
}

// A toolbar may draw a picture from a larger copy scaled down: a pixel matches when
// each channel lies within a margin, a place when nearly all its pixels match.
std::optional<QPoint> Icono(const QImage& img, const QImage& icono) {
    std::vector<std::pair<QPoint, QRgb>> opacos;
    for (int y = 0; y < icono.height(); ++y)
        for (int x = 0; x < icono.width(); ++x)
            if (qAlpha(icono.pixel(x, y)) == 255) opacos.push_back({QPoint(x, y), icono.pixel(x, y)});
    if (opacos.empty()) return std::nullopt;
    const size_t tolerados = opacos.size() / 8;
    auto cerca = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 48 && std::abs(qGreen(a) - qGreen(b)) <= 48 &&
               std::abs(qBlue(a) - qBlue(b)) <= 48;
    };
    for (int y = 0; y + icono.height() <= img.height(); ++y)
        for (int x = 0; x + icono.width() <= img.width(); ++x) {
            size_t fallos = 0;
            for (const auto& [p, color] : opacos)
                if (!cerca(img.pixel(x + p.x(), y + p.y()), color) && ++fallos > tolerados) break;
            if (fallos <= tolerados) return QPoint(x + icono.width() / 2, y + icono.height() / 2);
        }
    return std::nullopt;
}

QImage Leer(const char* ruta) {
    QImage img(QString::fromLocal8Bit(ruta));
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc >= 3 && std::strcmp(argv[1], "foto") == 0) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QGuiApplication app(argc, argv);
        QScreen* pantalla = QGuiApplication::primaryScreen();
        if (!pantalla) return 1;
        return pantalla->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (argc >= 4 && std::strcmp(argv[1], "tablero") == 0) {
        const QImage img = Leer(argv[2]);
        const int lado = std::atoi(argv[3]);
        if (img.isNull() || lado <= 0) return 1;
        auto p = Tablero(img, lado);
        if (!p) return 1;
        std::printf("%d %d\n", p->x(), p->y());
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "entero") == 0) {
        const QImage img = Leer(argv[2]);
        const int lado = std::atoi(argv[3]);
        if (img.isNull() || lado <= 0) return 1;
        auto p = Tablero(img, lado);
        if (!p) {
            std::printf("the board's frame is nowhere to be seen\n");
            return 1;
        }
        const std::string tapado = Tapado(img, *p, lado);
        if (!tapado.empty()) {
            std::printf("%s\n", tapado.c_str());
            return 1;
        }
        std::printf("%d %d\n", p->x(), p->y());
        return 0;
    }
    if (argc >= 8 && std::strcmp(argv[1], "distintos") == 0) {
        const QImage a = Leer(argv[2]), b = Leer(argv[3]);
        if (a.isNull() || b.isNull() || a.size() != b.size()) return 1;
        const QRect r =
            QRect(std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])).intersected(a.rect());
        long distintos = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) distintos += a.pixel(x, y) != b.pixel(x, y);
        std::printf("%ld\n", distintos);
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "icono") == 0) {
        const QImage img = Leer(argv[2]);
        QImage icono = QImage(QString::fromLocal8Bit(argv[3])).convertToFormat(QImage::Format_ARGB32);
        if (img.isNull() || icono.isNull()) return 1;
        if (argc >= 5 && std::atoi(argv[4]) > 0)
            icono = icono.scaled(std::atoi(argv[4]), std::atoi(argv[4]), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        auto p = Icono(img, icono);
        if (!p) return 1;
        std::printf("%d %d\n", p->x(), p->y());
        return 0;
    }
    std::fprintf(
        stderr,
        "usage: captura foto OUT.png | tablero SHOT.png SIDE | entero SHOT.png SIDE | distintos A.png B.png X Y W H | icono SHOT.png ICON.png\n");
    return 2;
}
