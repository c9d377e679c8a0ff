#include "shell/Lugares.h"

#include "app/ApiFunciones.h"
#include "app/Variables.h"
#include "platform/Controles.h"
#include "platform/IniFile.h"
#include "platform/Forma.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace lugares {

namespace {

double APixeles(double twips) { return twips / TwipsPorPixel; }
double ATwips(double pixeles) { return std::round(pixeles) * TwipsPorPixel; }

// How far apart two rectangles lie (0 when they touch or overlap), squared.
double Distancia(const QRectF& a, const QRectF& b) {
    const double dx = std::max({0.0, b.left() - a.right(), a.left() - b.right()});
    const double dy = std::max({0.0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

double Area(const QRectF& r) { return r.isValid() ? r.width() * r.height() : 0.0; }

}  // namespace

QString ValorDeFabrica(const QString& seccion, const QString& clave) {
    static const ini::Documento fabrica = [] {
        QFile f(":/builtin/Default.ini");
        return ini::Documento(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }();
    QString valor;
    fabrica.Buscar(seccion, clave, valor);
    return valor;
}

double Numero(const QString& texto, double defecto) {
    const auto v = controles::ANumero(texto);
    return v && std::isfinite(*v) ? *v : defecto;
}

double Leer(const QString& fichero, const QString& seccion, const QString& clave) {
    return Numero(LeerIni(fichero, seccion, clave), Numero(ValorDeFabrica(seccion, clave), 0));
}

double Leer(ajustes::Clave clave) {
    const ajustes::Fila& f = ajustes::De(clave);
    return Leer(FicheroIni, f.seccion, QString::fromUtf8(f.nombre));
}

Lugar Ajustar(const Lugar& lugar, const std::vector<QRect>& pantallas, const Medidas& medidas) {
    if (pantallas.empty()) return lugar;
    const QRectF r(APixeles(lugar.left), APixeles(lugar.top), std::max(1.0, APixeles(lugar.width)),
                   std::max(1.0, APixeles(lugar.height)));
    // The screen the place overlaps most; the nearest when it overlaps none.
    const QRect* pantalla = &pantallas.front();
    double mejorArea = -1, mejorDistancia = 0;
    for (const QRect& p : pantallas) {
        const QRectF pf(p);
        const double area = Area(r.intersected(pf));
        const double distancia = Distancia(r, pf);
        if (area > mejorArea || (area == 0 && mejorArea == 0 && distancia < mejorDistancia)) {
            pantalla = &p;
            mejorArea = area;
            mejorDistancia = distancia;
        }
    }
    const QRectF p(*pantalla);
    Lugar ajustado = lugar;
    auto limitar = [](double v, double minimo, double maximo) {
        return std::clamp(v, minimo, std::max(minimo, maximo));
    };
    const double ancho = limitar(APixeles(lugar.width), std::min<double>(medidas.minimo.width(), p.width()), p.width());
    const double alto =
        limitar(APixeles(lugar.height), std::min<double>(medidas.minimo.height(), p.height()), p.height());
    if (ancho != APixeles(lugar.width)) ajustado.width = ATwips(ancho);
    if (alto != APixeles(lugar.height)) ajustado.height = ATwips(alto);
    const double anchoFinal = APixeles(ajustado.width), altoFinal = APixeles(ajustado.height);
    // The whole width of the title bar, and the title bar's height, on the screen.
    const double x = limitar(r.left(), p.left(), p.left() + p.width() - anchoFinal);
    const double y = limitar(r.top(), p.top(), p.top() + p.height() - std::min<double>(medidas.altoTitulo, altoFinal));
    if (x != r.left()) ajustado.left = ATwips(x);
    if (y != r.top()) ajustado.top = ATwips(y);
    return ajustado;
}

namespace {

qint64 Superficie(const QRect& r) { return r.isEmpty() ? 0LL : qint64(r.width()) * r.height(); }

// Where a window may be seen: the area's view, which scrolls right and down from its
// corner, or for a window of its own the screen's free rectangle, which does not.
struct Campo {
    QRect vista;
    bool desplaza = true;
};

Campo DelArea(const QSize& area) { return {QRect(QPoint(0, 0), area), true}; }

// The best place beside the board for the window; of places alike, the one nearest
// `referencia`.
QRect Colocar(const QRect& ventana, const QPoint& referencia, const QRect& tablero, const Campo& campo,
              const std::vector<QRect>& otras) {
    const QRect& vista = campo.vista;
    // The area scrolls as far as its top-left corner or the board's, whichever is further.
    const QPoint origen(std::min(0, tablero.x()), std::min(0, tablero.y()));
    const int w = ventana.width(), h = ventana.height();
    // A coordinate kept within the view as far as the window's size allows.
    auto dentro = [](int v, int tamano, int desde, int largo) {
        return std::max(desde, std::min(v, desde + largo - tamano));
    };
    auto dentroX = [&](int x) { return dentro(x, w, vista.x(), vista.width()); };
    auto dentroY = [&](int y) { return dentro(y, h, vista.y(), vista.height()); };
    // A coordinate along a side of the board at which the window still meets that side.
    auto junto = [](int v, int tamano, int desde, int largo) {
        return std::clamp(v, desde - tamano + 1, std::max(desde - tamano + 1, desde + largo - 1));
    };
    // Corners: along each side of the board the window's own coordinate (brought to
    // where it meets that side), next to the board, next to one of the other windows
    // (after or below it, before or above it), and the view's edges.
    std::vector<int> xs{dentroX(junto(referencia.x(), w, tablero.x(), tablero.width())), tablero.x() + tablero.width(),
                        tablero.x() - w, vista.x(), vista.x() + vista.width() - w};
    std::vector<int> ys{dentroY(junto(referencia.y(), h, tablero.y(), tablero.height())),
                        tablero.y() + tablero.height(), tablero.y() - h, vista.y(), vista.y() + vista.height() - h};
    for (const QRect& o : otras) {
        xs.insert(xs.end(), {o.x() + o.width(), o.x() - w});
        ys.insert(ys.end(), {o.y() + o.height(), o.y() - h});
    }
    // Every place so cornered, and each brought into the view where it cannot show
    // it whole.
    std::vector<QRect> lugares;
    for (int y : ys)
        for (int x : xs) {
            const QRect r(x, y, w, h);
            lugares.push_back(r);
            const QRect metido(dentroX(x), dentroY(y), w, h);
            if (metido != r) lugares.push_back(metido);
        }
    auto coste = [&](const QRect& r) {
        qint64 tapadas = 0;
        bool junto = false;
        for (const QRect& o : otras) {
            tapadas += Superficie(r.intersected(o));
            junto = junto || JuntoAlTablero(r, o);
        }
        // Against the board, else against a window, else apart.
        const int lejos = JuntoAlTablero(r, tablero) ? 0 : junto ? 1 : 2;
        const qint64 dx = r.x() - referencia.x(), dy = r.y() - referencia.y();
        const bool inalcanzable = campo.desplaza && (r.x() < origen.x() || r.y() < origen.y());
        return std::tuple(inalcanzable, Superficie(r.intersected(tablero)), tapadas,
                          Superficie(r) - Superficie(r.intersected(vista)), lejos, dx * dx + dy * dy);
    };
    const QRect* mejor = &lugares.front();
    for (const QRect& r : lugares)
        if (coste(r) < coste(*mejor)) mejor = &r;
    return *mejor;
}

// The window may keep its place: the view shows it, and it covers neither the board
// nor any of the `otras` windows.
bool Libre(const QRect& ventana, const QRect& tablero, const Campo& campo, const std::vector<QRect>& otras) {
    const bool tapa = std::any_of(otras.begin(), otras.end(), [&](const QRect& o) { return ventana.intersects(o); });
    // The area's height follows the frame, menu and tool bars the window system gives
    // the main window: a stored place a few pixels too low still counts as shown.
    const QRect vista = campo.desplaza ? campo.vista.adjusted(0, 0, 0, kHolguraAbajo) : campo.vista;
    return vista.contains(ventana) && !ventana.intersects(tablero) && !tapa;
}

// Where the window would stand had it moved with the far edges of the board.
QPoint ConElTablero(const QRect& ventana, const QRect& tableroAntes, const QRect& tablero) {
    QPoint referencia = ventana.topLeft();
    if (ventana.right() > tableroAntes.right()) referencia.rx() += tablero.right() - tableroAntes.right();
    if (ventana.bottom() > tableroAntes.bottom()) referencia.ry() += tablero.bottom() - tableroAntes.bottom();
    return referencia;
}

}  // namespace

QRect Apartar(const QRect& ventana, const QRect& tablero, const QSize& area, const std::vector<QRect>& otras) {
    if (Libre(ventana, tablero, DelArea(area), otras)) return ventana;
    return Colocar(ventana, ventana.topLeft(), tablero, DelArea(area), otras);
}

QRect Acompanar(const QRect& ventana, const QRect& tableroAntes, const QRect& tablero, const QSize& area,
                const std::vector<QRect>& otras) {
    return Colocar(ventana, ConElTablero(ventana, tableroAntes, tablero), tablero, DelArea(area), otras);
}

namespace {

// The windows laid out in the order `orden`: with `guardar`, first those that may
// keep their places, each clear of those kept before it; then the others beside the
// board, clear of every window placed.
std::vector<QRect> EnOrden(const QRect& tablero, const std::vector<Campo>& campos, const std::vector<QRect>& ventanas,
                           const QRect& tableroAntes, const std::vector<size_t>& orden, bool guardar) {
    const bool cambio = tablero.size() != tableroAntes.size();
    std::vector<QRect> lugares(ventanas.size());
    std::vector<bool> puesta(ventanas.size(), false);
    std::vector<QRect> colocadas;
    for (size_t i : orden) {
        const bool sigue = cambio && JuntoAlTablero(ventanas[i], tableroAntes);
        if (!guardar || sigue || !Libre(ventanas[i], tablero, campos[i], colocadas)) continue;
        lugares[i] = ventanas[i];
        puesta[i] = true;
        colocadas.push_back(ventanas[i]);
    }
    for (size_t i : orden) {
        if (puesta[i]) continue;
        lugares[i] =
            Colocar(ventanas[i], ConElTablero(ventanas[i], tableroAntes, tablero), tablero, campos[i], colocadas);
        colocadas.push_back(lugares[i]);
    }
    return lugares;
}

// How much of the windows their views do not show.
qint64 Oculto(const std::vector<QRect>& lugares, const std::vector<Campo>& campos) {
    qint64 oculto = 0;
    for (size_t i = 0; i < lugares.size(); ++i)
        oculto += Superficie(lugares[i]) - Superficie(lugares[i].intersected(campos[i].vista));
    return oculto;
}

std::vector<QRect> DisponerEn(const QRect& tablero, const std::vector<Campo>& campos,
                              const std::vector<QRect>& ventanas, const QRect& tableroAntes) {
    std::vector<size_t> orden(ventanas.size());
    for (size_t i = 0; i < orden.size(); ++i) orden[i] = i;
    const std::vector<QRect> guardadas = EnOrden(tablero, campos, ventanas, tableroAntes, orden, true);
    if (Oculto(guardadas, campos) == 0) return guardadas;
    // Some window is left past the edge of its view: all laid out afresh, the largest
    // first (or the tallest, or the widest), where that shows them all.
    using Medida = std::function<qint64(const QRect&)>;
    for (const Medida& medida : {Medida(Superficie), Medida([](const QRect& r) { return qint64(r.height()); }),
                                 Medida([](const QRect& r) { return qint64(r.width()); })}) {
        std::stable_sort(orden.begin(), orden.end(),
                         [&](size_t a, size_t b) { return medida(ventanas[a]) > medida(ventanas[b]); });
        const std::vector<QRect> otra = EnOrden(tablero, campos, ventanas, tableroAntes, orden, false);
        if (Oculto(otra, campos) == 0) return otra;
    }
    return guardadas;
}

}  // namespace

std::vector<QRect> Disponer(const QRect& tablero, const QSize& area, const std::vector<QRect>& ventanas,
                            const QRect& tableroAntes) {
    return DisponerEn(tablero, std::vector<Campo>(ventanas.size(), DelArea(area)), ventanas, tableroAntes);
}

Disposicion Disponer(const Escena& escena, const std::vector<Lateral>& ventanas, int abierta,
                     const QRect& tableroAntes) {
    auto campos = [&](const QSize& area) {
        std::vector<Campo> c;
        for (const Lateral& v : ventanas)
            c.push_back(v.propia && !escena.pantalla.isEmpty() ? Campo{escena.pantalla, false} : DelArea(area));
        return c;
    };
    std::vector<QRect> lugares;
    for (const Lateral& v : ventanas) lugares.push_back(v.lugar);
    Disposicion d{DisponerEn(escena.tablero, campos(escena.area), lugares, tableroAntes), QSize(0, 0)};
    const bool enElArea = abierta >= 0 && size_t(abierta) < ventanas.size() && !ventanas[size_t(abierta)].propia;
    auto muestra = [](const QSize& area, const QRect& r) { return QRect(QPoint(0, 0), area).contains(r); };
    if (!enElArea || muestra(escena.area, d.lugares[size_t(abierta)])) return d;
    // The window that opened would stand past the area's edge: the main window grows
    // on its screen as far as it takes to show the windows laid out in the most it
    // can show, where that shows this one whole.
    const QSize mayor = escena.area + escena.crecer.expandedTo(QSize(0, 0));
    const std::vector<QRect> crecida = DisponerEn(escena.tablero, campos(mayor), lugares, tableroAntes);
    if (!muestra(mayor, crecida[size_t(abierta)])) return d;
    QRect todo = escena.tablero;
    for (size_t i = 0; i < ventanas.size(); ++i)
        if (!ventanas[i].propia) todo |= crecida[i];
    todo &= QRect(QPoint(0, 0), mayor);
    d.lugares = crecida;
    d.crecimiento = QSize(todo.x() + todo.width(), todo.y() + todo.height()) - escena.area;
    d.crecimiento = d.crecimiento.expandedTo(QSize(0, 0));
    return d;
}

bool JuntoAlTablero(const QRect& ventana, const QRect& tablero) {
    // Along a side: touching a corner alone is not meeting.
    return ventana.intersects(tablero.adjusted(-1, 0, 1, 0)) || ventana.intersects(tablero.adjusted(0, -1, 0, 1));
}

Colocacion::Geometria Colocacion::Aplicar(const Lugar& lugar, const QMargins& borde) {
    lugar_ = lugar;
    borde_ = borde;
    const int ancho = int(std::lround(APixeles(lugar.width))) - borde.left() - borde.right();
    const int alto = int(std::lround(APixeles(lugar.height))) - borde.top() - borde.bottom();
    puesta_ = {QPoint(int(std::lround(APixeles(lugar.left))), int(std::lround(APixeles(lugar.top)))),
               QSize(std::max(1, ancho), std::max(1, alto))};
    return puesta_;
}

bool Colocacion::ComoSePuso(const QRect& dentro, const QMargins& borde) const {
    if (!lugar_ || dentro.size() != puesta_.cliente) return false;
    const QPoint esquinaBorde(borde.left(), borde.top()), esquinaPuesta(borde_.left(), borde_.top());
    return dentro.topLeft() - esquinaBorde == puesta_.marco || dentro.topLeft() == puesta_.marco + esquinaPuesta;
}

Lugar Colocacion::Leer(const QRect& dentro, const QMargins& borde) const {
    if (ComoSePuso(dentro, borde)) return *lugar_;
    return {double(dentro.x() - borde.left()) * TwipsPorPixel, double(dentro.y() - borde.top()) * TwipsPorPixel,
            double(dentro.width() + borde.left() + borde.right()) * TwipsPorPixel,
            double(dentro.height() + borde.top() + borde.bottom()) * TwipsPorPixel};
}

std::optional<Colocacion::Geometria> Colocacion::Corregir(const QRect& dentro, const QMargins& borde) {
    if (borde == borde_ || !ComoSePuso(dentro, borde)) return std::nullopt;
    const Geometria nueva = Aplicar(*lugar_, borde);
    if (dentro.size() == nueva.cliente && dentro.topLeft() - QPoint(borde.left(), borde.top()) == nueva.marco)
        return std::nullopt;
    return nueva;
}

}  // namespace lugares
