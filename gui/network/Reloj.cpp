#include "network/Reloj.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Sonidos.h"
#include "network/Campos.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

namespace {

const QColor kCarga(192, 192, 192);

QColor ColorTexto(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

void ColorTexto(QLabel* l, const QColor& c) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

// The display of one side: `propio` shows its clock, `otro` is the other side's.
void Mostrar(QLabel* propio, QLabel* otro, long minutos, long segundos) {
    const ColoresReloj c = ColoresAlMostrar(minutos, segundos, ColorTexto(propio), ColorTexto(otro));
    if (c.propio != ColorTexto(propio)) ColorTexto(propio, c.propio);
    if (c.otro != ColorTexto(otro)) ColorTexto(otro, c.otro);
    propio->setText(TextoReloj(minutos, segundos));
}

}  // namespace

bool DescontarSegundo(long& minutos, long& segundos) {
    if (minutos == 0 && segundos == 0) return false;
    if (segundos == 0) {
        --minutos;
        segundos = 60;
    }
    --segundos;
    return true;
}

namespace forms {

Reloj::Reloj() : Forma(Hija, "Reloj") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 4, 188, 74);
    auto etiqueta = [this](const char* nombre, int x, int y, int w) {
        auto* l = new QLabel(Frame1);
        l->setObjectName(nombre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    Label1 = etiqueta("Label1", 8, 16, 88);
    Label2 = etiqueta("Label2", 8, 42, 88);
    Label3 = etiqueta("Label3", 100, 16, 80);
    Label4 = etiqueta("Label4", 100, 42, 80);
    QFont f = Label3->font();
    f.setBold(true);
    f.setPointSize(11);
    for (QLabel* l : {Label3, Label4}) {
        l->setFont(f);
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, Qt::black);
        p.setColor(QPalette::WindowText, kCarga);
        l->setPalette(p);
        l->setText(TextoReloj(0, 0));
    }
    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setInterval(200);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    resize(200, 84);
}

void Reloj::Form_Load() {
    // The window is as tall as its frame.
    resize(width(), Frame1->y() + Frame1->height() + 6);
}

void Reloj::Form_Unload(bool& cancelar) {
    ::Mdi().FijarMuestra(Mdi::Lateral::Reloj, false);
    cancelar = true;
    Hide();
}

void Reloj::PrintTimerB() { Mostrar(Label3, Label4, MinutosBlancas, SegundosBlancas); }
void Reloj::PrintTimerN() { Mostrar(Label4, Label3, MinutosNegras, SegundosNegras); }

void Reloj::Encender(QTimer* t, reloj::ContadorSegundos& c) {
    if (t->isActive()) return;
    c.Iniciar();
    t->start();
}

void Reloj::CorrenBlancas() {
    Timer2->stop();
    cuenta2_.Detener();
    Encender(Timer1, cuenta1_);
}

void Reloj::CorrenNegras() {
    Timer1->stop();
    cuenta1_.Detener();
    Encender(Timer2, cuenta2_);
}

void Reloj::Parar() {
    Timer1->stop();
    Timer2->stop();
    cuenta1_.Detener();
    cuenta2_.Detener();
}

void Reloj::BorrarTiempos() {
    Label3->clear();
    Label4->clear();
}

void Reloj::Atenuar() {
    for (QLabel* l : {Label4, Label3}) ColorTexto(l, QColor(153, 153, 153));
}

QString Reloj::Tiempo(bool blancas) const { return (blancas ? Label3 : Label4)->text(); }
bool Reloj::Corriendo(bool blancas) const { return (blancas ? Timer1 : Timer2)->isActive(); }

void Reloj::Timer1_Timer() { Tick(true); }
void Reloj::Timer2_Timer() { Tick(false); }

void Reloj::Tick(bool blancas) {
    QTimer* timer = blancas ? Timer1 : Timer2;
    reloj::ContadorSegundos& cuenta = blancas ? cuenta1_ : cuenta2_;
    auto& g = Reglas();
    if (g.TipoPartida.empty()) {
        timer->stop();
        cuenta.Detener();
        ColorTexto(Label3, kRelojParado);
        ColorTexto(Label4, kRelojParado);
        return;
    }
    long& minutos = blancas ? MinutosBlancas : MinutosNegras;
    long& segundos = blancas ? SegundosBlancas : SegundosNegras;
    for (std::int64_t n = cuenta.SegundosNuevos(); n > 0; --n) {
        if (DescontarSegundo(minutos, segundos)) {
            blancas ? PrintTimerB() : PrintTimerN();
            continue;
        }
        // The flag falls: the clock stops before the box opens, so the box's own
        // loop cannot run this tick again.
        blancas ? PrintTimerB() : PrintTimerN();
        timer->stop();
        cuenta.Detener();
        const int lado = blancas ? turno::Blancas : turno::Negras;
        const std::string propio = blancas ? color_local::Blancas : color_local::Negras;
        if (g.TipoPartida == "R" && g.Conectado && !g.MiColor.empty()) {
            // The peer's clock is the peer's to judge: its fall here waits for its word.
            if (g.MiColor != propio) {
                red::BanderaDelRival(lado);
                return;
            }
            EncolarMensaje(tvp::TextoBandera(lado));
        }
        FinPorTiempo(lado);
        return;
    }
}

void Reloj::FinPorTiempo(int lado) {
    auto& g = Reglas();
    const std::string perdedor = lado == turno::Blancas ? color_local::Blancas : color_local::Negras;
    const std::string color = g.MiColor;
    const bool pierde = color == perdedor, gana = !color.empty() && !pierde;
    Parar();
    if (lado == turno::Blancas) {
        MinutosBlancas = SegundosBlancas = 0;
        PrintTimerB();
    } else {
        MinutosNegras = SegundosNegras = 0;
        PrintTimerN();
    }
    if (g.TipoPartida == "R") {
        if (pierde) ::Ranking().SumaDePartidas(puntuacion::Derrota);
        if (gana) ::Ranking().SumaDePartidas(puntuacion::Victoria);
    }
    AnotarResultado(lado == turno::Blancas ? turno::Negras : turno::Blancas);
    SinPartida();
    if (gana) {
        ReproducirSonido(5);
        MostrarMensaje("Tavorin", MensajeNumero(texto::TiempoRivalAgotado), MB_ICONINFORMATION);
    } else if (pierde) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::TiempoPropioAgotado), MB_ICONINFORMATION);
    }
}

}  // namespace forms

forms::Reloj& Reloj() {
    static forms::Reloj* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasReloj(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Reloj", "Titulo", {Leyenda([]() -> Forma& { return ::Reloj(); })});
    f.Enlace("Reloj", "Jugador1", {Texto([] { return ::Reloj().Label1; })});
    f.Enlace("Reloj", "Jugador2", {Texto([] { return ::Reloj().Label2; })});
}
const idioma::Registro registroIdioma(idioma::Tramo::Reloj, FilasReloj);

const pintura::Registro registroPintura(pintura::Orden::Reloj, {0, []() -> Forma& { return ::Reloj(); },
                                                                [](const QColor& c, bool) {
                                                                    auto& f = ::Reloj();
                                                                    pintura::ColorearControles({f.Frame1}, c);
                                                                }});

}  // namespace
