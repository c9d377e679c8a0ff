#include "shell/Lugares.h"

#include "app/ApiFunciones.h"
#include "platform/Controles.h"
#include "platform/IniFile.h"
#include "platform/Forma.h"

#include <QFile>

#include <algorithm>
#include <cmath>

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
    auto limitar = [](double v, double minimo, double maximo) { return std::clamp(v, minimo, std::max(minimo, maximo)); };
    const double ancho = limitar(APixeles(lugar.width), std::min<double>(medidas.minimo.width(), p.width()), p.width());
    const double alto = limitar(APixeles(lugar.height), std::min<double>(medidas.minimo.height(), p.height()), p.height());
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

Colocacion::Geometria Colocacion::Aplicar(const Lugar& lugar, const QMargins& borde) {
    lugar_ = lugar;
    borde_ = borde;
    const int ancho = int(std::lround(APixeles(lugar.width))) - borde.left() - borde.right();
    const int alto = int(std::lround(APixeles(lugar.height))) - borde.top() - borde.bottom();
    puesta_ = {QPoint(int(std::lround(APixeles(lugar.left))), int(std::lround(APixeles(lugar.top)))),
               QSize(std::max(1, ancho), std::max(1, alto))};
    return puesta_;
}

Lugar Colocacion::Leer(const Geometria& actual, const QMargins& borde) const {
    if (lugar_ && actual == puesta_) return *lugar_;
    return {double(actual.marco.x()) * TwipsPorPixel, double(actual.marco.y()) * TwipsPorPixel,
            double(actual.cliente.width() + borde.left() + borde.right()) * TwipsPorPixel,
            double(actual.cliente.height() + borde.top() + borde.bottom()) * TwipsPorPixel};
}

std::optional<QSize> Colocacion::Corregir(const Geometria& actual, const QMargins& borde) {
    if (!lugar_ || actual != puesta_ || borde == borde_) return std::nullopt;
    const QSize antes = puesta_.cliente;
    Aplicar(*lugar_, borde);
    if (puesta_.cliente == antes) return std::nullopt;
    return puesta_.cliente;
}

}  // namespace lugares
