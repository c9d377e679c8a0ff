#include "partida.h"

#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Geometria.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "platform/PictureBox.h"
#include "platform/Sonido.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <sstream>

namespace {

int Col(const std::string& c) { return c[0] - 'a' + 1; }
int Fil(const std::string& c) { return c[1] - '0'; }
bool Invertido() { return Mdi().mnuInvertirTablero->isChecked(); }

}  // namespace

void Partida::SetUp() {
    e = std::make_unique<Entorno>();
    sonido::Reproductor = [this](const QString& ruta) { sonidos << QFileInfo(ruta).fileName(); };
    Preparar();
    e->Arrancar();
    if (Cpu().Visible()) Cpu().Unload();
    Mdi().mnuNuevaPartida->trigger();
    Cpu().Toolbar1[1]->trigger();
    ASSERT_EQ(Reglas().Turno, 1);
}

void Partida::TearDown() {
    sonido::Reproductor = nullptr;
    auto& g = Reglas();
    g.Conectado = false;
    g.TipoPartida.clear();
    g.MiColor.clear();
    ModoPreparar = false;
    PartidaDeFichero = false;
    NumColaEnvio = 0;
    e.reset();
}

QPoint Partida::Centro(const std::string& casilla) {
    const long s = AnchoCasilla;
    const int col = geometria::Espejo(Col(casilla), Invertido());
    const int fila = geometria::Espejo(Fil(casilla), Invertido());
    return {int(geometria::PixelX(col, s) + s / 2), int(geometria::PixelY(fila, s) + s / 2)};
}

void Partida::Arrastrar(const std::string& de, const std::string& a) {
    PictureBox* p = Tavorin().PicBuffer;
    const QPoint o = Centro(de), d = Centro(a);
    QTest::mousePress(p, Qt::LeftButton, {}, o);
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(p, o + (d - o) * i / 4);
    QTest::mouseRelease(p, Qt::LeftButton, {}, d);
}

void Partida::Clic(QPoint punto, Qt::MouseButton boton) { QTest::mouseClick(Tavorin().PicBuffer, boton, {}, punto); }

void Partida::Clic(const std::string& casilla, Qt::MouseButton boton) { Clic(Centro(casilla), boton); }

void Partida::Jugar(const std::string& jugadas, bool porClic) {
    std::istringstream in(jugadas);
    std::string j;
    while (in >> j) {
        if (porClic) {
            Clic(j.substr(0, 2));
            Clic(j.substr(2, 2));
        } else {
            Arrastrar(j.substr(0, 2), j.substr(2, 2));
        }
    }
}

void Partida::Sobre(QPointF punto) {
    QWidget* p = Tavorin().PicBuffer;
    QMouseEvent ev(QEvent::MouseMove, punto, p->mapToGlobal(punto), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(p, &ev);
}

int Partida::Pieza(const std::string& casilla) { return Reglas().Casillas[Col(casilla)][Fil(casilla)]; }

QImage Partida::Dibujo() {
    const int lado = int(8 * AnchoCasilla);
    return Tavorin().PicBuffer->Imagen().copy(0, 0, lado, lado);
}

std::string Partida::DibujoDistinto() {
    auto& t = Tavorin();
    const long s = AnchoCasilla;
    std::string distintas;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int col = geometria::Espejo(x, Invertido()), fila = geometria::Espejo(y, Invertido());
            const QRect r(int(geometria::PixelX(col, s)), int(geometria::PixelY(fila, s)), int(s), int(s));
            QImage esperada = t.Fondo->Imagen().copy(r);
            t.DibujarPieza(esperada, 0, 0, Reglas().Casillas[x][y]);
            if (t.PicBuffer->Imagen().copy(r) != esperada)
                distintas += std::string(1, char('a' + x - 1)) + char('0' + y) + " ";
        }
    }
    return distintas;
}

QString Partida::Caja(int n) { return Jugadas().List[n]->toPlainText(); }

QPoint Partida::Marco(int n) {
    QFrame* f = Tavorin().Shape1[n];
    if (f->isHidden()) return {0, 0};
    const long s = AnchoCasilla;
    return {int(f->x() / s + 1), int(8 - f->y() / s)};
}

void Partida::ReiniciarTablero(bool porClic) {
    Cpu().Toolbar1[1]->trigger();
    ClicAClic(porClic);
}

void Partida::ClicAClic(bool activo) {
    if (Mdi().mnuPointClick->isChecked() != activo) Mdi().mnuPointClick->trigger();
}

void Partida::Posicion(const std::string& fen) {
    auto& g = Reglas();
    g.TorreA1Movida = g.TorreH1Movida = g.TorreA8Movida = g.TorreH8Movida = true;
    ASSERT_TRUE(g.LeerFen(fen));
    g.Turno = g.TurnoFichero;
    auto& t = Tavorin();
    t.PaintTablero();
    t.PaintFichasResice();
}
