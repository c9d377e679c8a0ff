#include "network/Ranking.h"

#include "app/Graficos.h"
#include "app/Opciones.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Ficheros.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QString RutaPuntuacion() { return RutaApp + (RutaApp.endsWith(u'/') ? "" : "/") + "Puntuacion.dat"; }

namespace forms {

Ranking::Ranking() : Forma(Hija, "Ranking") {
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(6, 4, 6, 6);
    for (int i = 0; i < 2; ++i) {
        Frame1[i] = new QGroupBox(this);
        Frame1[i]->setObjectName(QString("Frame1_%1").arg(i));
        new QVBoxLayout(Frame1[i]);
        fila->addWidget(Frame1[i]);
    }
    for (int i = 0; i < 10; ++i) {
        Label[i] = new QLabel(Frame1[i / 5]);
        Label[i]->setObjectName(QString("Label_%1").arg(i));
        Frame1[i / 5]->layout()->addWidget(Label[i]);
    }
    resize(306, 150);
}

void Ranking::Form_Load() {
    Ajustar();
    PintarVentana(4);
}

void Ranking::Form_Unload(bool& cancelar) {
    ::Mdi().FijarMuestra(Mdi::Lateral::Ranking, false);
    cancelar = true;
    Hide();
}

void Ranking::Ajustar() {
    const QSize hace = layout()->sizeHint();
    const QSize falta(std::max(0, hace.width() - width()), std::max(0, hace.height() - height()));
    if (falta.isNull()) return;
    QWidget* m = Marco();
    m->resize(m->size() + falta);
    if (m != this) resize(size() + falta);
}

void Ranking::LeerPuntuacion() {
    const QString ruta = RutaPuntuacion();
    if (ExisteFichero(ruta)) {
        // The record is the first 20 bytes; a longer file keeps the rest. What cannot
        // be read (a FIFO or a device is not even opened) leaves a fresh record in
        // memory and the file as it is.
        const std::optional<QByteArray> datos = ficheros::Leer(ruta, 20);
        if (!datos) {
            puntuacion::Reiniciar(RegPuntuacion);
        } else if (!puntuacion::DesdeBytes(*datos, RegPuntuacion)) {
            puntuacion::Reiniciar(RegPuntuacion);
            GrabarPuntuacion();
        }
    } else {
        // A missing file is written fresh.
        GrabarPuntuacion();
    }
    PrintPuntuacion();
}

void Ranking::GrabarPuntuacion() {
    // A record that was never filled is not written.
    if (RegPuntuacion[4] == 0 && RegPuntuacion[0] == 0) return;
    const QString ruta = RutaPuntuacion();
    if (!puntuacion::Escribir(ruta, RegPuntuacion)) {
        AvisarNoEscribible(ruta);
        return;
    }
    PrintPuntuacion();
}

void Ranking::PrintPuntuacion() {
    for (int i = 0; i < 10; ++i) {
        QString texto = Label[i]->text();
        const qsizetype dos = texto.indexOf(u':');
        if (dos >= 0) texto = texto.left(dos + 1);
        Label[i]->setText(texto + " " + QString::number(RegPuntuacion[size_t(i)]));
    }
    Ajustar();
}

QString Ranking::Linea(int i) const { return Label[size_t(i)]->text(); }

void Ranking::SumaDePartidas(puntuacion::Resultado resultado) {
    puntuacion::Sumar(RegPuntuacion, resultado);
    PrintPuntuacion();
    GrabarPuntuacion();
}

}  // namespace forms

namespace {
// A new language: the score lines written again.
[[maybe_unused]] const bool kOpcionesEnlazadas = [] {
    opciones::Enlazadas().puntuacion = [] { ::Ranking().PrintPuntuacion(); };
    return true;
}();
}  // namespace

forms::Ranking& Ranking() {
    static forms::Ranking* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasRanking(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Ranking", "Titulo", {Leyenda([]() -> Forma& { return ::Ranking(); })});
    f.Enlace("Ranking", "Frame1", {Texto([] { return ::Ranking().Frame1[0]; })});
    f.Enlace("Ranking", "Frame2", {Texto([] { return ::Ranking().Frame1[1]; })});
    // Each text heads both columns.
    for (int n = 1; n <= 5; ++n)
        f.Enlace("Ranking", QString::number(n),
                 {Texto([n] { return ::Ranking().Label[n - 1]; }), Texto([n] { return ::Ranking().Label[n + 4]; })});
}
const idioma::Registro registroIdioma(idioma::Tramo::Ranking, FilasRanking);

const pintura::Registro registroPintura(pintura::Orden::Ranking,
                                        {4, []() -> Forma& { return ::Ranking(); },
                                         [](const QColor& c, bool) {
                                             auto& f = ::Ranking();
                                             pintura::ColorearControles({f.Frame1[0], f.Frame1[1]}, c);
                                         }});

}  // namespace
