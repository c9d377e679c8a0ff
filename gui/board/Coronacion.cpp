#include "board/Coronacion.h"

#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"

#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace {
const QColor kMarcada(0x80, 0xFF, 0x80);
const QColor kSinMarcar(0x00, 0x80, 0x00);
constexpr int kLado = 40;
}  // namespace

int PiezaDeCoronacion(int imagen, int peon) {
    static const int kBlancas[5] = {0, rules::DamaBlanca, rules::TorreBlanca, rules::CaballoBlanco, rules::AlfilBlanco};
    if (imagen < 1 || imagen > 4) return 0;
    if (peon == rules::PeonBlanco) return kBlancas[imagen];
    if (peon == rules::PeonNegro) return kBlancas[imagen] + rules::DistanciaNegras;
    return 0;
}

namespace forms {

Coronacion::Coronacion() : Forma(Dialogo, "Coronacion") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 6, 200, 67);
    static const int kX[5] = {0, 10, 56, 102, 148};
    for (int i = 1; i <= 4; ++i) {
        PiezaSelec[i] = new PictureBox(Frame1, QString("PiezaSelec_%1").arg(i));
        PiezaSelec[i]->setGeometry(kX[i], 16, kLado, kLado);
        PiezaSelec[i]->setCursor(Qt::PointingHandCursor);
        connect(PiezaSelec[i], &PictureBox::MouseDown, this, [this, i](int boton, const QPoint&) {
            if (boton == controles::BotonIzquierdo) PiezaSelec_Click(i);
        });
    }
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(75, 78, 70, 21);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    setFixedSize(215, 108);
}

void Coronacion::Form_Load() {
    for (int i = 1; i <= 4; ++i) PiezaSelec[i]->Cls();
}

void Coronacion::Form_Activate() {
    // The window belongs to the main window, above it: the forms runtime made it so.
    for (int i = 1; i <= 4; ++i) PiezaSelec[i]->setBackColor(kSinMarcar);
    PiezaSelec[1]->setBackColor(kMarcada);
    DibujarPiezas();
    ::Tavorin().OcultarMarcador();
    Command1->setFocus();
}

int Coronacion::Preguntar(int color) {
    pieza_ = color == turno::Negras ? rules::PeonNegro : rules::PeonBlanco;
    elegida_ = 0;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop bucle;
    bucle_ = &bucle;
    Show();
    if (Visible()) bucle.exec();
    bucle_ = nullptr;
    return elegida_;
}

void Coronacion::PiezaSelec_Click(int indice) {
    for (int i = 1; i <= 4; ++i) PiezaSelec[i]->setBackColor(i == indice ? kMarcada : kSinMarcar);
    DibujarPiezas();
}

int Coronacion::Marcada() const {
    for (int i = 1; i <= 4; ++i)
        if (PiezaSelec[i]->BackColor() == kMarcada) return i;
    return 0;
}

void Coronacion::DibujarPiezas() {
    auto& t = ::Tavorin();
    const bool original = ::Opciones().AparienciaElegida() == AparienciaActual;
    for (int i = 1; i <= 4; ++i) {
        PictureBox* caja = PiezaSelec[i];
        caja->Cls();
        const int codigo = PiezaDeCoronacion(i, pieza_);
        if (codigo == 0) continue;
        const QImage& mascara = original ? t.OMascara[codigo] : t.SMascara[codigo];
        const QImage& ficha = original ? t.OFichas[codigo] : t.SFichas[codigo];
        const QRect destino(0, 0, kLado, kLado);
        QPainter p(&caja->Imagen());
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(destino, mascara.convertToFormat(QImage::Format_RGB32));
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawImage(destino, ficha.convertToFormat(QImage::Format_RGB32));
        p.end();
        caja->Refresh();
    }
}

void Coronacion::Command1_Click() {
    const int codigo = PiezaDeCoronacion(Marcada(), pieza_);
    if (codigo != 0) elegida_ = codigo;
    Unload();
}

void Coronacion::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
    if (bucle_) bucle_->quit();
}

void Coronacion::keyPressEvent(QKeyEvent* evento) {
    switch (evento->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: Command1_Click(); return;
        case Qt::Key_Escape: Unload(); return;
        default: Forma::keyPressEvent(evento);
    }
}

}  // namespace forms

forms::Coronacion& Coronacion() {
    static forms::Coronacion* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasCoronacion(idioma::Filas& f) {
    f.Enlace("Coronacion", "Titulo", {idioma::Leyenda([]() -> Forma& { return ::Coronacion(); })});
    f.Botones([] { return ::Coronacion().Command1; }, nullptr);
}
const idioma::Registro registroIdioma(idioma::Tramo::Coronacion, FilasCoronacion);

const pintura::Registro registroPintura(pintura::Orden::Coronacion, {0, []() -> Forma& { return ::Coronacion(); },
                                                                     [](const QColor& c, bool) {
                                                                         auto& f = ::Coronacion();
                                                                         pintura::ColorearControles({f.Frame1}, c);
                                                                     }});

}  // namespace
