#include "engines/Cpu.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Sonidos.h"
#include "board/Tavorin.h"
#include "engines/FormLevel2.h"
#include "engines/ListaMotores.h"
#include "engines/Nivel.h"
#include "files/ListaPgn.h"
#include "network/Nuevo.h"
#include "network/Red.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/PantallaReloj.h"
#include "platform/PictureBox.h"
#include "platform/Relevo.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>

DatosMotor Motor1, Motor2;

namespace {

// Pictures of the toolbar buttons by index.
const char* ImagenBoton(int i) {
    switch (i) {
        case 1: return "motor-empezar";
        case 2: return "motor-detener";
        case 4: return "rendirse";
        case 5: return "tablas";
        case 7: return "retroceder";
        case 9: return "motor-pista";
        case 10: return "motor-mover-ya";
        case 12: return "motor-nivel";
        default: return nullptr;
    }
}

constexpr int kAltoBarra = 24;

QColor ColorDeTexto(const QLineEdit* caja) { return caja->palette().color(QPalette::Text); }

void ColorDeTexto(QLineEdit* caja, const QColor& color) {
    QPalette p = caja->palette();
    p.setColor(QPalette::Text, color);
    caja->setPalette(p);
}

// A clock box: mm:ss; the side's box white while its seconds run, both grey at 0:00.
void MostrarReloj(QLineEdit* propio, QLineEdit* otro, long minutos, long segundos) {
    propio->setText(TextoReloj(minutos, segundos));
    const ColoresReloj c = ColoresAlMostrar(minutos, segundos, ColorDeTexto(propio), ColorDeTexto(otro));
    ColorDeTexto(propio, c.propio);
    ColorDeTexto(otro, c.otro);
}

QGroupBox* NuevoMarco(QWidget* padre, const char* nombre) {
    auto* g = new QGroupBox(padre);
    g->setObjectName(nombre);
    return g;
}

QLabel* NuevaEtiqueta(QWidget* padre, const QByteArray& nombre) {
    auto* l = new QLabel(padre);
    l->setObjectName(nombre);
    return l;
}

// A box the panel writes and the person only reads.
QLineEdit* NuevaCaja(QWidget* padre, const QByteArray& nombre) {
    auto* t = new QLineEdit(padre);
    t->setObjectName(nombre);
    t->setReadOnly(true);
    t->setFocusPolicy(Qt::NoFocus);
    return t;
}

// The level dialog's settings as the engine game reads them.
PartidaMotores::Nivel NivelElegido() {
    auto& nivel = ::FormLevel2();
    return {nivel.ConReloj(), nivel::Valor(nivel.Valor(forms::FormLevel2::Campo::Minutos)), ComandoNivel};
}

long IconoDe(PartidaMotores::Icono icono) {
    switch (icono) {
        case PartidaMotores::Icono::Informacion: return MB_ICONINFORMATION;
        case PartidaMotores::Icono::Parada: return MB_ICONSTOP;
        case PartidaMotores::Icono::Ninguno: break;
    }
    return 0;
}

}  // namespace

namespace forms {

Cpu::Cpu()
    : Forma(Hija, "Cpu"),
      partida_(Motor1, Motor2, Reglas(), {MinutosBlancas, SegundosBlancas}, {MinutosNegras, SegundosNegras},
               NivelElegido) {
    CrearBarra();
    CrearMotores();
    CrearPensamiento();
    CrearRelojes();
    CrearVariante();
    Distribuir();
    CrearTemporizadores();
    resize(layout()->totalSizeHint().expandedTo(QSize(410, 292)));
}

void Cpu::CrearBarra() {
    Toolbar1Barra = new QToolBar(this);
    Toolbar1Barra->setObjectName("Toolbar1");
    Toolbar1Barra->setGeometry(0, 0, 400, kAltoBarra);
    Toolbar1Barra->setIconSize(QSize(16, 16));
    for (int i = 1; i <= 12; ++i) {
        bool separador = i == 3 || i == 6 || i == 8 || i == 11;
        Toolbar1[i] = separador ? Toolbar1Barra->addSeparator() : Toolbar1Barra->addAction(QString());
        if (separador) continue;
        Toolbar1[i]->setObjectName(QString("Toolbar1_%1").arg(i));
        if (const char* imagen = ImagenBoton(i))
            Toolbar1[i]->setIcon(QIcon(QString(":/builtin/iconos/") + imagen + ".png"));
        connect(Toolbar1[i], &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i); });
    }
}

// The engines, one per side.
void Cpu::CrearMotores() {
    Frame1 = NuevoMarco(this, "Frame1");
    Label6 = NuevaEtiqueta(Frame1, "Label6");
    Label7 = NuevaEtiqueta(Frame1, "Label7");
    SMotor1 = new QComboBox(Frame1);
    SMotor1->setObjectName("SMotor1");
    SMotor2 = new QComboBox(Frame1);
    SMotor2->setObjectName("SMotor2");
    for (QComboBox* c : {SMotor1, SMotor2}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(16);
    }
    auto* motores = new QGridLayout(Frame1);
    motores->addWidget(Label6, 0, 0);
    motores->addWidget(SMotor1, 0, 1);
    motores->addWidget(Label7, 1, 0);
    motores->addWidget(SMotor2, 1, 1);
    motores->setColumnStretch(1, 1);
}

// The thinking: depth, score, time, nodes.
void Cpu::CrearPensamiento() {
    Frame2 = NuevoMarco(this, "Frame2");
    auto* pensamiento = new QGridLayout(Frame2);
    const std::array<std::pair<QLabel**, QLineEdit**>, 4> filas{
        {{&Label1, &Text1}, {&Label2, &Text2}, {&Label3, &Text3}, {&Label4, &Text4}}};
    for (int i = 0; i < 4; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        *filas[i].first = NuevaEtiqueta(Frame2, "Label" + n);
        *filas[i].second = NuevaCaja(Frame2, "Text" + n);
        pensamiento->addWidget(*filas[i].first, i, 0);
        pensamiento->addWidget(*filas[i].second, i, 1);
        // The boxes take the room there is; the labels decide the width.
        (*filas[i].second)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        (*filas[i].second)->setMinimumWidth(90);
    }
    pensamiento->setColumnStretch(1, 1);
}

// The clocks, White above Black.
void Cpu::CrearRelojes() {
    Frame3 = NuevoMarco(this, "Frame3");
    Picture1 = new PictureBox(Frame3, "Picture1");
    Picture1->setBackColor(Qt::black);
    Text6 = NuevaCaja(Picture1, "Text6");
    Text7 = NuevaCaja(Picture1, "Text7");
    QFont grande = Text6->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.5);
    for (QLineEdit* t : {Text6, Text7}) {
        t->setFont(grande);
        t->setAlignment(Qt::AlignCenter);
        t->setFrame(false);
        QPalette p = t->palette();
        p.setColor(QPalette::Base, Qt::black);
        t->setPalette(p);
        t->setText("00:00");
        t->setMinimumWidth(QFontMetrics(grande).horizontalAdvance("00:00") + 16);
        t->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        ColorDeTexto(t, kRelojParado);
    }
    auto* relojes = new QVBoxLayout(Picture1);
    relojes->addWidget(Text6);
    relojes->addWidget(Text7);
    auto* marcoRelojes = new QVBoxLayout(Frame3);
    marcoRelojes->addWidget(Picture1);
}

// The principal variation.
void Cpu::CrearVariante() {
    Frame4 = NuevoMarco(this, "Frame4");
    Label5 = NuevaEtiqueta(Frame4, "Label5");
    Text5 = NuevaCaja(Frame4, "Text5");
    auto* variante = new QHBoxLayout(Frame4);
    variante->addWidget(Label5);
    variante->addWidget(Text5, 1);
}

// Tight frames: the panel stands above the move list at the shipped places.
void Cpu::Distribuir() {
    for (QGroupBox* marco : {Frame1, Frame2, Frame3, Frame4}) {
        QLayout* l = marco->layout();
        l->setContentsMargins(6, 2, 6, 4);
        l->setSpacing(3);
    }
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(6, kAltoBarra + 2, 6, 4);
    principal->setSpacing(2);
    principal->addWidget(Frame1);
    auto* medio = new QHBoxLayout;
    medio->addWidget(Frame2, 1);
    medio->addWidget(Frame3);
    principal->addLayout(medio);
    principal->addWidget(Frame4);
}

void Cpu::CrearTemporizadores() {
    auto temporizador = [this](int ms, bool unaVez) {
        auto* t = new QTimer(this);
        t->setInterval(ms);
        t->setSingleShot(unaVez);
        return t;
    };
    Timer1 = temporizador(1000, true);
    Timer2 = temporizador(2000, true);
    Timer3 = temporizador(1000, true);
    // The clocks count the seconds elapsed on the clock source, whatever the interval:
    // it only sets how soon a second shows.
    Timer4 = temporizador(100, false);
    Timer5 = temporizador(100, false);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    connect(Timer4, &QTimer::timeout, this, [this] { Timer4_Timer(); });
    connect(Timer5, &QTimer::timeout, this, [this] { Timer5_Timer(); });
}

void Cpu::Form_Load() {
    NuevoRelevo(1);
    NuevoRelevo(2);
    Disponer();
    PintarVentana(7);
}

void Cpu::Form_Resize() { Toolbar1Barra->setGeometry(0, 0, width(), kAltoBarra); }

void Cpu::Disponer() {
    QLayout* l = layout();
    if (!l) return;
    l->activate();
    const QSize necesario = l->totalMinimumSize().expandedTo(l->totalSizeHint());
    if (necesario.width() <= width() && necesario.height() <= height()) return;
    const QSize nuevo = size().expandedTo(necesario);
    QWidget* m = Marco();
    const QSize borde = m->size() - size();
    if (m != this) m->resize(nuevo + borde);
    resize(nuevo);
    PintarVentana(7);
}

bool Cpu::event(QEvent* evento) {
    const bool r = Forma::event(evento);
    // A text of the new language may need more room.
    if (evento->type() == QEvent::LayoutRequest) Disponer();
    return r;
}

void Cpu::showEvent(QShowEvent* evento) {
    Forma::showEvent(evento);
    Disponer();
}

void Cpu::Form_Unload(bool& cancelar) {
    cmdTerminar1();
    cmdTerminar2();
    VariableCPUCero();
    partida_.Cerrar();
    Reglas().TipoPartida.clear();
    DescargarDLL();
    if (Visible()) ::ListaPgn().MostrarVentanas();
    cancelar = true;
    Hide();
}

// ---- Slots and engines ------------------------------------------------------------------

DatosMotor& Cpu::Ranura(int n) { return n == turno::Negras ? Motor2 : Motor1; }
Relevo*& Cpu::RelevoDe(int n) { return n == turno::Negras ? mRedir2 : mRedir; }
QComboBox* Cpu::Combo(int n) const { return n == turno::Negras ? SMotor2 : SMotor1; }

void Cpu::ActualizarCPU() {
    const auto motores = MotoresEncontrados(nombres::RutaReal(RutaApp, "Motor"));
    RutasMotor = QStringList{QString()};
    QStringList nombres;
    for (const MotorEncontrado& m : motores) {
        RutasMotor << m.ruta;
        nombres << m.nombre;
    }
    for (QComboBox* lista : {SMotor1, SMotor2}) {
        lista->clear();
        lista->addItem(TextoSinMotor);
        lista->addItems(nombres);
        lista->setCurrentIndex(0);
    }
}

void Cpu::NuevoRelevo(int n) {
    Relevo*& r = RelevoDe(n);
    if (r) r->Liberar();
    r = new Relevo(this);
    Relevo* este = r;
    // A relay let go raises nothing; these checks keep a late event of an old one out.
    connect(este, &Relevo::DatoRecibido, this, [this, este, n](const QString& t) {
        if (RelevoDe(n) == este) DatoRecibido(n, t);
    });
    connect(este, &Relevo::ErrorRecibido, this, [this, este, n](const QString& t) {
        if (RelevoDe(n) == este) ErrorRecibido(n, t);
    });
    connect(este, &Relevo::ProcesoTerminado, this, [this, este, n] {
        if (RelevoDe(n) == este) MotorTerminado(n);
    });
    // An engine that does not read what it is sent has failed as one that ended.
    connect(este, &Relevo::EntradaAtascada, this, [this, este, n] {
        if (RelevoDe(n) == este) MotorTerminado(n);
    });
}

bool Cpu::cmdIniciar(int n) {
    DatosMotor& m = Ranura(n);
    m.UltimaLinea.clear();
    m.Comando.clear();
    if (!m.Activo) return true;
    Relevo* r = RelevoDe(n);
    return r && !m.Ruta.isEmpty() && r->Ejecutar(m.Ruta);
}

bool Cpu::cmdIniciar1() { return cmdIniciar(1); }
bool Cpu::cmdIniciar2() { return cmdIniciar(2); }

void Cpu::cmdTerminar(int n) {
    if (Ranura(n).Activo) Detener(n);
    Terminando = false;
}

void Cpu::Detener(int n) {
    Terminando = true;
    if (Relevo* r = RelevoDe(n)) {
        r->EnviarDato("exit");
        r->EnviarDato("quit");
        r->Detener();
    }
    Terminando = false;
}

void Cpu::cmdTerminar1() { cmdTerminar(1); }
void Cpu::cmdTerminar2() { cmdTerminar(2); }

void Cpu::cmdEnviar(int n) {
    DatosMotor& m = Ranura(n);
    if (!m.Activo) return;
    m.UltimaLinea = "...";
    Enviar(n, m.Comando);
}

void Cpu::cmdEnviar1() { cmdEnviar(1); }
void Cpu::cmdEnviar2() { cmdEnviar(2); }

void Cpu::Enviar(int n, const QString& texto) {
    if (Relevo* r = RelevoDe(n)) r->EnviarDato(texto);
}

void Cpu::DescargarDLL() {
    for (int n : {1, 2}) {
        Relevo*& r = RelevoDe(n);
        if (r) r->Liberar();
        r = nullptr;
    }
}

void Cpu::mRedir_DatoRecibido(const QString& texto) { DatoRecibido(1, texto); }
void Cpu::mRedir2_DatoRecibido(const QString& texto) { DatoRecibido(2, texto); }
void Cpu::mRedir_ErrorRecibido(const QString& texto) { ErrorRecibido(1, texto); }
void Cpu::mRedir2_ErrorRecibido(const QString& texto) { ErrorRecibido(2, texto); }

void Cpu::DatoRecibido(int n, const QString& texto) { AnalizarRespuesta(texto, n); }

void Cpu::ErrorRecibido(int n, const QString& texto) {
    (void)n;
    if (Terminando) return;
    if (DetencionUsuario && texto.contains(u'6')) return;
    Ejecutar(partida_.ErrorDelMotor(texto));
}

void Cpu::MotorTerminado(int n) {
    if (Terminando) return;
    Ejecutar(partida_.MotorTerminado(n));
}

// ---- What the game decides -----------------------------------------------------------------

void Cpu::Ejecutar(const PartidaMotores::Decision& d) {
    using Orden = PartidaMotores::Temporizador;
    auto temporizador = [](QTimer* t, Orden orden) {
        if (orden == Orden::Arrancar) t->start();
        if (orden == Orden::Parar) t->stop();
    };
    temporizador(Timer1, d.espera);
    temporizador(Timer2, d.enroque);
    temporizador(Timer4, d.reloj[turno::Blancas]);
    temporizador(Timer5, d.reloj[turno::Negras]);
    if (d.relojesACero) {
        Text6->setText("00:00");
        Text7->setText("00:00");
    }
    for (int lado : d.mostrar) {
        if (lado == turno::Blancas)
            PrintTimerBCPU();
        else
            PrintTimerNCPU();
    }
    if (d.pensamiento) MostrarPensamiento(*d.pensamiento);
    if (d.diagnostico) Text5->setText(*d.diagnostico);
    Retroceder(d.retrocesos);
    for (const auto& e : d.escrituras) Enviar(e.motor, e.texto);
    if (d.fin) Cerrar(*d.fin);
    for (const auto& m : d.mensajes) MostrarMensaje("Tavorin", m.texto, IconoDe(m.icono));
    if (!d.oferta.isEmpty()) {
        const long respuesta = MostrarMensaje("Tavorin", d.oferta, MB_ICONINFORMATION, MB_YESNO);
        Ejecutar(partida_.RespuestaOferta(respuesta == IDYES));
    }
    if (d.jugada) JugarEnTablero(*d.jugada);
    if (d.invertir) red::Orientar(*d.invertir);
}

void Cpu::MostrarPensamiento(const std::array<QString, 5>& pensamiento) {
    // Engines print thinking many times a second: a box is only set when its text
    // changes, and the variation box keeps its text when the line has none.
    const std::array<QLineEdit*, 5> cajas{Text1, Text2, Text3, Text4, Text5};
    for (int i = 0; i < 5; ++i)
        if ((i < 4 || !pensamiento[i].isEmpty()) && cajas[i]->text() != pensamiento[i])
            cajas[i]->setText(pensamiento[i]);
}

void Cpu::Retroceder(int jugadas) {
    if (jugadas == 0) return;
    for (int i = 0; i < jugadas; ++i) ::Mdi().RetrocesoFuncion();
    RepintarTablero = false;
}

void Cpu::Cerrar(const PartidaMotores::Fin& fin) {
    if (fin.sonido) ReproducirSonido(5);
    if (fin.ganador >= 0) AnotarResultado(fin.ganador);
    ApagarRelojes();
    for (int n : {turno::Blancas, turno::Negras})
        if (fin.detener[size_t(n)]) Detener(n);
    if (fin.descargar) DescargarDLL();
    if (fin.porTiempo)
        LimpiarPanel();
    else
        VariableCPUCero();
}

void Cpu::LimpiarPanel() {
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text5}) t->clear();
    BloquearListas(false);
    for (QTimer* t : {Timer1, Timer2}) t->stop();
    auto& t = ::Tavorin();
    t.OlvidarPartida();
    ReinicioFinal();
    t.MovimientoAnulado();
    ModoPreparar = false;
    PartidaDeFichero = false;
}

void Cpu::JugarEnTablero(const PartidaMotores::JugadaMotor& j) {
    using Aplicada = PartidaMotores::Aplicada;
    auto& g = Reglas();
    g.PiezaCoronacion = j.jugada.pieza;
    g.Origen = j.jugada.origen;
    g.Destino = j.jugada.destino;
    auto& t = ::Tavorin();
    g.ValidarMovimiento();
    if (!g.MovimientoValido) {
        t.MovimientoAnulado();
        Ejecutar(partida_.JugadaEnTablero(Aplicada::Rechazada));
        return;
    }
    const bool enroque = g.MovimientoEnroque;
    if (!g.CapturaAlPaso.empty()) t.SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
    InvertirCoordenadas();
    ::RedibujarFichas();
    ReproducirSonido(3);
    if (g.JaqueMate || g.Ahogado) {
        const bool mate = g.JaqueMate;
        Ejecutar(partida_.JugadaEnTablero(Aplicada::Fin));
        if (mate)
            FinJaqueMate();
        else
            FinAhogado();
        t.MovimientoAnulado();
        return;
    }
    t.MovimientoAnulado();
    Ejecutar(partida_.JugadaEnTablero(Aplicada::Jugada, enroque));
}

// ---- Start of a game ------------------------------------------------------------------------

void Cpu::NuevaPartida() {
    if (::FormLevel2().Visible()) return;
    if (partida_.PreguntarAntesDeEmpezar()) {
        QString texto = TextosIdioma[texto::PartidaEnCurso];
        texto.replace(u'$', "\r\n");
        if (MostrarMensaje("Tavorin", texto, MB_ICONQUESTION, MB_YESNO, MB_DEFBUTTON2) != IDYES) return;
    }
    cmdTerminar1();
    cmdTerminar2();
    VariableCPUCero();
    DescargarDLL();
    partida_.Olvidar();
    if (SMotor1->currentIndex() <= 0 && SMotor2->currentIndex() <= 0) {
        ::Mdi().Player2();
        partida_.EntrePersonas();
        return;
    }
    BloquearListas(true);
    Timer3->start();
}

QString Cpu::NombreMotor(int n) const { return partida_.NombreMotor(n); }

void Cpu::BloquearListas(bool bloquear) {
    for (QComboBox* lista : {SMotor1, SMotor2}) lista->setEnabled(!bloquear);
}

bool Cpu::PrepararMotor(int n) {
    NuevoRelevo(n);
    cmdTerminar(n);
    const int i = Combo(n)->currentIndex();
    Ranura(n).Ruta = i > 0 && i < RutasMotor.size() ? RutasMotor[i] : QString();
    partida_.Sentar(n, Combo(n)->currentText());
    return cmdIniciar(n);
}

void Cpu::Timer3_Timer() {
    Timer3->stop();
    bool arrancado = true;
    if (SMotor1->currentIndex() > 0) arrancado = PrepararMotor(turno::Blancas) && arrancado;
    ::Mdi().Player2();
    if (SMotor2->currentIndex() > 0) arrancado = PrepararMotor(turno::Negras) && arrancado;
    Ejecutar(partida_.Empezar(arrancado));
}

// ---- Moves and replies ---------------------------------------------------------------------

void Cpu::GenerarMovimiento() { Ejecutar(partida_.JugadaDePersona()); }

void Cpu::AnalizarRespuesta(const QString& linea, int ranura) { Ejecutar(partida_.Linea(ranura, linea)); }

void Cpu::Timer2_Timer() {
    Timer2->stop();
    Ejecutar(partida_.ReintentarEnroque());
}

// ---- The panel -------------------------------------------------------------------------------

void Cpu::Toolbar1_ButtonClick(int indice) {
    switch (indice) {
        case 1: NuevaPartida(); return;
        case 2: ToolboxComand(OrdenPanel::Detener); return;
        case 4: ToolboxComand(OrdenPanel::Rendirse); return;
        case 5: ToolboxComand(OrdenPanel::OfrecerTablas); return;
        case 7: ToolboxComand(OrdenPanel::Retroceder); return;
        case 9: Ejecutar(partida_.PedirPista()); return;
        case 10: Ejecutar(partida_.MoverYa()); return;
        case 12: {
            if (partida_.HayMotor()) return;
            auto& nivel = ::FormLevel2();
            if (const int i = nivel.OpcionElegida(); i >= 0) nivel.MuestraDatos(i);
            nivel.Show();
            return;
        }
        default: return;
    }
}

void Cpu::ToolboxComand(OrdenPanel orden) {
    switch (orden) {
        case OrdenPanel::Detener:
            DetencionUsuario = true;
            Ejecutar(partida_.Detener());
            DetencionUsuario = false;
            return;
        case OrdenPanel::Rendirse: Ejecutar(partida_.Rendirse()); return;
        case OrdenPanel::OfrecerTablas: Ejecutar(partida_.OfrecerTablas()); return;
        case OrdenPanel::Retroceder: Ejecutar(partida_.Retroceder()); return;
    }
}

void Cpu::Timer1_Timer() {
    Timer1->stop();
    Ejecutar(partida_.SinRespuesta());
}

void Cpu::VariableCPUCero() {
    partida_.Reiniciar();
    for (QTimer* t : {Timer1, Timer2, Timer3}) t->stop();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text5}) t->clear();
    ApagarRelojes();
    Text6->setText("00:00");
    Text7->setText("00:00");
    BloquearListas(false);
}

// ---- Engine clocks ------------------------------------------------------------------------------

void Cpu::ApagarRelojes() {
    Timer4->stop();
    Timer5->stop();
}

void Cpu::Timer4_Timer() { Ejecutar(partida_.Tic(turno::Blancas)); }
void Cpu::Timer5_Timer() { Ejecutar(partida_.Tic(turno::Negras)); }

void Cpu::PrintTimerBCPU() { MostrarReloj(Text6, Text7, MinutosBlancas, SegundosBlancas); }
void Cpu::PrintTimerNCPU() { MostrarReloj(Text7, Text6, MinutosNegras, SegundosNegras); }

}  // namespace forms

forms::Cpu& Cpu() {
    static forms::Cpu* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasCpu(idioma::Filas& f) {
    using namespace idioma;
    // The toolbar's tips share keys with the main window's.
    const std::pair<int, int> consejos[] = {{9, 4}, {10, 5}, {24, 1}, {25, 2}, {26, 9}, {27, 10}, {28, 12}, {29, 7}};
    for (const auto& [clave, i] : consejos)
        f.Unir("Tips", QString::number(clave), {Consejo([i = i] { return ::Cpu().Toolbar1[i]; })});
    f.Enlace("CPU", "1", {Texto([] { return ::Cpu().Frame1; })});
    f.Enlace("CPU", "2", {Texto([] { return ::Cpu().Frame2; })});
    f.Enlace("CPU", "3", {Texto([] { return ::Cpu().Frame3; })});
    f.Enlace("CPU", "21", {Texto([] { return ::Cpu().Frame4; })});
    f.Enlace("CPU", "4", {Texto([] { return ::Cpu().Label1; })});
    f.Enlace("CPU", "5", {Texto([] { return ::Cpu().Label2; })});
    f.Enlace("CPU", "6", {Texto([] { return ::Cpu().Label3; })});
    f.Enlace("CPU", "7", {Texto([] { return ::Cpu().Label4; })});
    f.Enlace("CPU", "8", {Texto([] { return ::Cpu().Label5; })});
    f.Enlace("CPU", "9", {Leyenda([]() -> Forma& { return ::Cpu(); })});
    f.Especial(
        "CPU", "10",
        [](const QString& v) {
            TextoSinMotor = v;
            ::Cpu().ActualizarCPU();
        },
        [] {
            return QStringList{TextoSinMotor, ::Cpu().SMotor1->itemText(0), ::Cpu().SMotor2->itemText(0)};
        });
}

void FilasRelojCpu(idioma::Filas& f) {
    f.Enlace("Reloj", "Jugador1", {idioma::Texto([] { return ::Cpu().Label6; })});
    f.Enlace("Reloj", "Jugador2", {idioma::Texto([] { return ::Cpu().Label7; })});
}

const idioma::Registro registroIdioma(idioma::Tramo::Cpu, FilasCpu);
const idioma::Registro registroReloj(idioma::Tramo::RelojCpu, FilasRelojCpu);

const pintura::Registro registroPintura(
    pintura::Orden::Cpu, {7, []() -> Forma& { return ::Cpu(); },
                          [](const QColor& c, bool) {
                              auto& f = ::Cpu();
                              pintura::ColorearControles({f.Frame1, f.Frame2, f.Frame3, f.Frame4, f.Picture1}, c);
                          },
                          24});

}  // namespace
