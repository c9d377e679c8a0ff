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
#include "engines/Respuesta.h"
#include "engines/Xboard.h"
#include "files/ListaPgn.h"
#include "files/PgnEscritor.h"
#include "network/Nuevo.h"
#include "network/Red.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/PantallaReloj.h"
#include "platform/PictureBox.h"
#include "platform/Relevo.h"
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

// The flag of an engine fell in a game between engines: the loser's name, that its
// time is up (the first sentence of language text 29), and that the other engine wins
// (the sentence of language text 92 that names the winner at its "$").
QString TextoTiempoEntreMotores(const QString& perdedor, const QString& ganador) {
    const QString& agotado = TextosIdioma[29];
    const qsizetype finAgotado = agotado.indexOf(u'.');
    const QString tiempo = finAgotado < 0 ? agotado : agotado.left(finAgotado + 1);
    const QString& gana = TextosIdioma[92];
    const qsizetype dolar = gana.indexOf(u'$');
    QString frase = ganador;
    if (dolar >= 0) {
        // The sentence begins after the full stop before the "$".
        const qsizetype punto = gana.lastIndexOf(u'.', dolar);
        frase = gana.mid(punto + 1).trimmed();
        frase.replace(u'$', ganador);
    }
    return perdedor + ": " + tiempo + " " + frase;
}

// A clock box: mm:ss; the side's box white while its seconds run, both grey at 0:00.
void MostrarReloj(QLineEdit* propio, QLineEdit* otro, long minutos, long segundos) {
    propio->setText(TextoReloj(minutos, segundos));
    const ColoresReloj c = ColoresAlMostrar(minutos, segundos, ColorDeTexto(propio), ColorDeTexto(otro));
    ColorDeTexto(propio, c.propio);
    ColorDeTexto(otro, c.otro);
}

}  // namespace

namespace forms {

Cpu::Cpu() : Forma(Hija, "Cpu"), RelojBlancas(MinutosBlancas, SegundosBlancas), RelojNegras(MinutosNegras, SegundosNegras) {
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
    auto marco = [this](const char* nombre) {
        auto* g = new QGroupBox(this);
        g->setObjectName(nombre);
        return g;
    };
    auto etiqueta = [](QWidget* padre, const QByteArray& nombre) {
        auto* l = new QLabel(padre);
        l->setObjectName(nombre);
        return l;
    };
    auto caja = [](QWidget* padre, const QByteArray& nombre) {
        auto* t = new QLineEdit(padre);
        t->setObjectName(nombre);
        t->setReadOnly(true);
        t->setFocusPolicy(Qt::NoFocus);
        return t;
    };
    // The engines, one per side.
    Frame1 = marco("Frame1");
    Label6 = etiqueta(Frame1, "Label6");
    Label7 = etiqueta(Frame1, "Label7");
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
    // The thinking: depth, score, time, nodes.
    Frame2 = marco("Frame2");
    auto* pensamiento = new QGridLayout(Frame2);
    const std::array<std::pair<QLabel**, QLineEdit**>, 4> filas{
        {{&Label1, &Text1}, {&Label2, &Text2}, {&Label3, &Text3}, {&Label4, &Text4}}};
    for (int i = 0; i < 4; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        *filas[i].first = etiqueta(Frame2, "Label" + n);
        *filas[i].second = caja(Frame2, "Text" + n);
        pensamiento->addWidget(*filas[i].first, i, 0);
        pensamiento->addWidget(*filas[i].second, i, 1);
        // The boxes take the room there is; the labels decide the width.
        (*filas[i].second)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        (*filas[i].second)->setMinimumWidth(90);
    }
    pensamiento->setColumnStretch(1, 1);
    // The clocks, White above Black.
    Frame3 = marco("Frame3");
    Picture1 = new PictureBox(Frame3, "Picture1");
    Picture1->setBackColor(Qt::black);
    Text6 = caja(Picture1, "Text6");
    Text7 = caja(Picture1, "Text7");
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
    // The principal variation.
    Frame4 = marco("Frame4");
    Label5 = etiqueta(Frame4, "Label5");
    Text5 = caja(Frame4, "Text5");
    auto* variante = new QHBoxLayout(Frame4);
    variante->addWidget(Label5);
    variante->addWidget(Text5, 1);

    // Tight frames: the panel stands above the move list at the shipped places.
    for (QLayout* l : std::initializer_list<QLayout*>{motores, pensamiento, marcoRelojes, variante}) {
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
    resize(principal->totalSizeHint().expandedTo(QSize(410, 292)));
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
    auto& g = Reglas();
    g.Turno = 0;
    g.TipoPartida.clear();
    DescargarDLL();
    if (Visible()) ::ListaPgn().MostrarVentanas();
    cancelar = true;
    Hide();
}

// ---- Slots and engines ------------------------------------------------------------------

DatosMotor& Cpu::Ranura(int n) { return n == 2 ? Motor2 : Motor1; }
Relevo*& Cpu::RelevoDe(int n) { return n == 2 ? mRedir2 : mRedir; }
QComboBox* Cpu::Combo(int n) const { return n == 2 ? SMotor2 : SMotor1; }

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
    if (Ranura(n).Activo) {
        Terminando = true;
        if (Relevo* r = RelevoDe(n)) {
            r->EnviarDato("exit");
            r->EnviarDato("quit");
            r->Detener();
        }
    }
    Terminando = false;
}

void Cpu::cmdTerminar1() { cmdTerminar(1); }
void Cpu::cmdTerminar2() { cmdTerminar(2); }

void Cpu::cmdEnviar(int n) {
    DatosMotor& m = Ranura(n);
    if (!m.Activo) return;
    m.UltimaLinea = "...";
    if (Relevo* r = RelevoDe(n)) r->EnviarDato(m.Comando);
}

void Cpu::cmdEnviar1() { cmdEnviar(1); }
void Cpu::cmdEnviar2() { cmdEnviar(2); }

void Cpu::Escribir(int n, const QString& texto) {
    Ranura(n).Comando = texto;
    cmdEnviar(n);
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
    ApagarRelojes();
    cmdTerminar1();
    cmdTerminar2();
    DescargarDLL();
    VariableCPUCero();
    Reglas().Turno = 0;
    MostrarMensaje("Tavorin", "[ERROR] " + texto, MB_ICONSTOP);
}

void Cpu::MotorTerminado(int n) {
    if (!Ranura(n).Activo || Terminando) return;
    FinDeJuego(TextosIdioma[90] + " " + NombreMotor(n), MB_ICONSTOP);
}

void Cpu::FinDeJuego(const QString& texto, long icono, int ganador) {
    if (ganador >= 0) AnotarResultado(ganador);
    ApagarRelojes();
    cmdTerminar1();
    cmdTerminar2();
    VariableCPUCero();
    Reglas().Turno = 0;
    if (!texto.isEmpty()) MostrarMensaje("Tavorin", texto, icono);
}

// ---- Start of a game ------------------------------------------------------------------------

void Cpu::NuevaPartida() {
    if (::FormLevel2().Visible()) return;
    long respuesta = IDYES;
    if (!Reglas().Jugadas.List[1].empty() && (Motor1.Activo || Motor2.Activo)) {
        QString texto = TextosIdioma[84];
        texto.replace(u'$', "\r\n");
        respuesta = MostrarMensaje("Tavorin", texto, MB_ICONQUESTION, MB_YESNO, MB_DEFBUTTON2);
    }
    if (respuesta != IDYES) return;
    cmdTerminar1();
    cmdTerminar2();
    VariableCPUCero();
    DescargarDLL();
    motoresPartida_ = {};
    if (SMotor1->currentIndex() <= 0 && SMotor2->currentIndex() <= 0) {
        ::Mdi().Player2();
        Reglas().Turno = 1;
        return;
    }
    BloquearListas(true);
    Timer3->start();
}

QString Cpu::NombreMotor(int n) const { return n == 1 || n == 2 ? motoresPartida_[size_t(n)] : QString(); }

void Cpu::BloquearListas(bool bloquear) {
    for (QComboBox* lista : {SMotor1, SMotor2}) lista->setEnabled(!bloquear);
}

void Cpu::Timer3_Timer() {
    Timer3->stop();
    auto& g = Reglas();
    bool arrancado = true;
    auto preparar = [&](int n) {
        NuevoRelevo(n);
        cmdTerminar(n);
        const int i = Combo(n)->currentIndex();
        DatosMotor& m = Ranura(n);
        m.Ruta = i > 0 && i < RutasMotor.size() ? RutasMotor[i] : QString();
        m.Activo = true;
        motoresPartida_[size_t(n)] = Combo(n)->currentText();
        arrancado = cmdIniciar(n) && arrancado;
    };
    if (SMotor1->currentIndex() > 0) {
        preparar(1);
        ::Mdi().Player2();
    } else {
        ::Mdi().Player2();
        g.Turno = 1;
    }
    if (SMotor2->currentIndex() > 0)
        preparar(2);
    else
        g.Turno = 0;
    if (!arrancado) {
        motoresPartida_ = {};
        FinDeJuego("88", MB_ICONSTOP);
        return;
    }

    if (ConReloj()) {
        if (g.Jugadas.List1.empty()) {
            const long minutos = nivel::Valor(::FormLevel2().Valor(forms::FormLevel2::Campo::Minutos));
            RelojBlancas.Poner(minutos, 0);
            RelojNegras.Poner(minutos, 0);
            PrintTimerBCPU();
            PrintTimerNCPU();
        }
    } else {
        RelojBlancas.Poner(0, 0);
        RelojNegras.Poner(0, 0);
        Text6->setText("00:00");
        Text7->setText("00:00");
    }
    if (Motor2.Activo && SMotor2->currentIndex() > 0)
        for (const QString& texto : xboard::Arranque(ComandoNivel, false)) Escribir(2, texto);
    if (Motor1.Activo && SMotor1->currentIndex() > 0)
        for (const QString& texto : xboard::Arranque(ComandoNivel, true)) Escribir(1, texto);
    // White's clock runs from the start; a person's first move sets both clocks again.
    if (ConReloj()) EncenderReloj(1);
    // The person's side at the bottom.
    if (Motor1.Activo != Motor2.Activo) red::Orientar(Motor1.Activo);
}

// ---- Moves -------------------------------------------------------------------------------

bool Cpu::ConReloj() const { return ::FormLevel2().ConReloj(); }

int Cpu::LadoAMover() const { return Reglas().Jugadas.List1.size() % 2 == 0 ? 1 : 2; }

void Cpu::TimeMilisegundos() {
    CentesimasBlancas = xboard::Centesimas(MinutosBlancas, SegundosBlancas);
    CentesimasNegras = xboard::Centesimas(MinutosNegras, SegundosNegras);
}

void Cpu::GenerarMovimiento() {
    auto& g = Reglas();
    // A game the move has ended on the board ends for the engines too; the board
    // then tells how.
    if (g.JaqueMate || g.Ahogado) {
        FinDeJuego({}, 0);
        return;
    }
    UltimoMovimiento = xboard::Coordenadas(g.Origen, g.Destino, g.PiezaCoronacion);
    ofertaVista_ = {};
    if (xboard::EsEnroque(UltimoMovimiento)) {
        EnroquePendiente = true;
        Timer2->start();
    }
    const bool reloj = ConReloj();
    const long minutos = nivel::Valor(::FormLevel2().Valor(forms::FormLevel2::Campo::Minutos));
    if (reloj && g.Jugadas.List1.size() == 1 && MinutosNegras == minutos) {
        RelojBlancas.Poner(minutos, 0);
        RelojNegras.Poner(minutos, 0);
        PrintTimerBCPU();
        PrintTimerNCPU();
    }
    if (!Motor1.Activo) {
        if (reloj && Motor2.Activo) {
            EncenderReloj(2);
            Contar(2);
        }
        TimeMilisegundos();
        Motor2.Comando = xboard::ConRelojes(UltimoMovimiento, CentesimasNegras, CentesimasBlancas, reloj);
        cmdEnviar2();
    } else {
        if (reloj) {
            EncenderReloj(1);
            Contar(1);
        }
        TimeMilisegundos();
        Motor1.Comando = xboard::ConRelojes(UltimoMovimiento, CentesimasBlancas, CentesimasNegras, reloj);
        cmdEnviar1();
    }
}

void Cpu::PasarJugada(int receptor, const QString& jugada, bool enroque) {
    const bool reloj = ConReloj();
    if (reloj) Contar(receptor);
    if (enroque) {
        EnroquePendiente = true;
        Timer2->start();
    }
    TimeMilisegundos();
    const long blancas = CentesimasBlancas, negras = CentesimasNegras;
    Escribir(receptor, xboard::ConRelojes(jugada, receptor == 1 ? blancas : negras, receptor == 1 ? negras : blancas, reloj));
}

void Cpu::Timer2_Timer() {
    Timer2->stop();
    if (UltimoMovimiento == u"e1c1") Motor1.UltimaLinea = "move o-o-o";
    if (UltimoMovimiento == u"e1g1") Motor1.UltimaLinea = "move o-o";
    if (UltimoMovimiento == u"e8c8") Motor2.UltimaLinea = "move o-o-o";
    if (UltimoMovimiento == u"e8g8") Motor2.UltimaLinea = "move o-o";
    auto reintentar = [this](int mueve, const char* largo, const char* corto) {
        const QString& l = Ranura(mueve).UltimaLinea;
        if (l.size() != 9) return;
        const char* enroque = l.endsWith(QLatin1String(largo)) ? "O-O-O" : l.endsWith(QLatin1String(corto)) ? "O-O" : nullptr;
        if (!enroque) return;
        TimeMilisegundos();
        const int receptor = 3 - mueve;
        const long propio = receptor == 1 ? CentesimasBlancas : CentesimasNegras;
        const long otro = receptor == 1 ? CentesimasNegras : CentesimasBlancas;
        Escribir(receptor, xboard::ConRelojes(enroque, propio, otro, ConReloj()));
    };
    reintentar(1, "e1c1", "e1g1");
    reintentar(2, "e8c8", "e8g8");
    EnroquePendiente = false;
}

Cpu::Aplicada Cpu::ConvertirMovimiento(const QString& texto, int ranura) {
    auto& g = Reglas();
    UltimoMovimiento.clear();
    const auto jugada = xboard::LeerJugada(texto, ranura, g.Casillas);
    if (!jugada) return Aplicada::Rechazada;
    UltimoMovimiento = QString::fromStdString(jugada->origen + jugada->destino);
    g.PiezaCoronacion = jugada->pieza;
    g.Origen = jugada->origen;
    g.Destino = jugada->destino;
    if (g.MiColor == "Negras") g.Turno = 2;
    if (g.MiColor == "Blancas") g.Turno = 1;
    auto& t = ::Tavorin();
    g.ValidarMovimiento();
    if (!g.MovimientoValido) {
        t.MovimientoAnulado();
        return Aplicada::Rechazada;
    }
    jugadaAplicada_ = jugada->texto;
    enroqueAplicado_ = g.MovimientoEnroque;
    if (!g.CapturaAlPaso.empty()) t.SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
    InvertirCoordenadas();
    ::RedibujarFichas();
    ReproducirSonido(3);
    if (g.JaqueMate || g.Ahogado) {
        const bool mate = g.JaqueMate;
        FinDeJuego({}, 0);
        if (mate)
            FinJaqueMate();
        else
            FinAhogado();
        t.MovimientoAnulado();
        return Aplicada::Fin;
    }
    t.MovimientoAnulado();
    if (g.MiColor == "Negras") g.Turno = 2;
    if (g.MiColor == "Blancas") g.Turno = 1;
    return Aplicada::Jugada;
}

void Cpu::JugadaDeMotor(int ranura, const respuesta::Lectura& lectura, const QString& linea) {
    // Any move answers the castling retry: the receiver has played on.
    if (EnroquePendiente) {
        EnroquePendiente = false;
        Timer2->stop();
    }
    for (DatosMotor* m : {&Motor1, &Motor2})
        if (m->Comando == u"?") m->Comando.clear();
    if (lectura.larga) return;
    auto& g = Reglas();
    const QString error = TextosIdioma[90] + " " + linea;
    // Only the engine whose side is to move, while no person is to move, may move.
    if (g.Turno != 0 || LadoAMover() != ranura) {
        FinDeJuego(error, MB_ICONSTOP);
        return;
    }
    if (ConReloj()) EncenderReloj(ranura == 2 ? 1 : 2);
    Ranura(ranura).UltimaLinea = lectura.dato;
    g.Turno = ranura;
    switch (ConvertirMovimiento(xboard::TextoJugada(lectura.dato), ranura)) {
        case Aplicada::Rechazada: FinDeJuego(error, MB_ICONSTOP); return;
        case Aplicada::Fin: return;
        case Aplicada::Jugada: break;
    }
    ofertaVista_ = {};
    const int otra = 3 - ranura;
    if (Ranura(otra).Activo) {
        g.Turno = 0;
        PasarJugada(otra, jugadaAplicada_, enroqueAplicado_);
    } else {
        g.Turno = otra;
    }
}

// ---- Replies -------------------------------------------------------------------------------

void Cpu::AnalizarRespuesta(const QString& linea, int ranura) {
    respuesta::Estado estado;
    estado.activo1 = Motor1.Activo;
    estado.activo2 = Motor2.Activo;
    estado.enroquePendiente = EnroquePendiente;
    estado.esperandoRespuesta = EsperandoRespuesta;
    estado.sinJugadas = Reglas().Jugadas.List[1].empty();
    const respuesta::Lectura r = respuesta::Analizar(linea, estado);
    using respuesta::Clase;
    switch (r.clase) {
        case Clase::Ignorar: return;
        case Clase::NivelAlternativo: Escribir(ranura, "level 0 15 0"); return;
        case Clase::Error: FinDeJuego(TextosIdioma[90] + " " + linea, MB_ICONSTOP); return;
        case Clase::ErrorPeticion: {
            EsperandoRespuesta = false;
            Timer1->stop();
            const QString texto = DosMotores() ? TextosIdioma[89] + "\r\n" + respuesta::Minusculas(linea) : "89";
            MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
            return;
        }
        case Clase::Diagnostico:
            // Shown with the engine's output; the game goes on.
            Text5->setText(r.dato);
            return;
        case Clase::Caracteristica:
            if (const QString respuesta = xboard::RespuestaCaracteristicas(r.dato); !respuesta.isEmpty())
                Escribir(ranura, respuesta);
            return;
        case Clase::OfertaTablas: OfertaDeTablas(ranura); return;
        case Clase::Tablas: FinDeJuego("95", MB_ICONINFORMATION, 0); return;
        case Clase::Pista:
            // Only the hint the person asked for, once.
            if (!pistaPedida_) return;
            pistaPedida_ = false;
            for (DatosMotor* m : {&Motor1, &Motor2})
                if (m->Comando == u"hint") m->Comando.clear();
            EsperandoRespuesta = false;
            Timer1->stop();
            MostrarMensaje("Tavorin", r.dato, MB_ICONINFORMATION);
            return;
        case Clase::Resultado: FinPorResultado(r.resultado, linea); return;
        case Clase::Abandono: FinPartidaCPU(ranura); return;
        case Clase::Otra:
            if (EnroquePendiente) {
                EnroquePendiente = false;
                Timer2->stop();
            } else if (EsperandoRespuesta) {
                EsperandoRespuesta = false;
                Timer1->stop();
            } else if (r.pensamiento) {
                // Engines print thinking many times a second: a box is only set when
                // its text changes.
                const auto& c = *r.pensamiento;
                const std::array<QLineEdit*, 5> cajas{Text1, Text2, Text3, Text4, Text5};
                for (int i = 0; i < 5; ++i)
                    if ((i < 4 || !c[i].isEmpty()) && cajas[i]->text() != c[i]) cajas[i]->setText(c[i]);
            }
            return;
        case Clase::Jugada: JugadaDeMotor(ranura, r, linea); return;
    }
}

void Cpu::FinPorResultado(const respuesta::Resultado& r, const QString& linea) {
    ApagarRelojes();
    const QString error = TextosIdioma[90] + " " + linea;
    if (!r.coherente) {
        FinDeJuego(error, MB_ICONSTOP);
        return;
    }
    if (r.mate || r.ahogado) {
        // A claim about the board holds only when the board bears it out.
        const char* dicho = r.ganador == 1 ? "1-0" : r.ganador == 2 ? "0-1" : "1/2-1/2";
        if (pgn::ResultadoDelTablero(Reglas()) != dicho) {
            FinDeJuego(error, MB_ICONSTOP);
            return;
        }
        FinDeJuego(r.ahogado ? "3" : r.ganador == 1 ? "1" : "2", MB_ICONINFORMATION, r.ahogado ? 0 : r.ganador);
        return;
    }
    if (r.abandona != 0) {
        if (Ranura(r.abandona).Activo) {
            FinPartidaCPU(r.abandona);
        } else {
            // The engine says the person resigned: the other side wins.
            const int motor = 3 - r.abandona;
            const QString texto = TextoAbandonoPersona(motor);
            FinDeJuego({}, 0, motor);
            MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
        }
        return;
    }
    if (r.ganador == 0) {
        FinDeJuego("95", MB_ICONINFORMATION, 0);
        return;
    }
    FinDeJuego(TextosIdioma[23] + "\r\n" + linea, MB_ICONINFORMATION, r.ganador);
}

void Cpu::OfertaDeTablas(int ranura) {
    DatosMotor& emisor = Ranura(ranura);
    const bool respondeOferta = EsperandoRespuesta && emisor.Comando == u"draw";
    if (respondeOferta) {
        EsperandoRespuesta = false;
        Timer1->stop();
        emisor.Comando.clear();
    } else if (ofertaVista_[ranura - 1]) {
        // An engine's offer is taken once between two moves, and not again while its
        // question waits.
        return;
    }
    ofertaVista_[ranura - 1] = true;
    if (DosMotores()) {
        // An offer answered with an offer is a draw agreed between the engines.
        if (respondeOferta) {
            FinDeJuego("95", MB_ICONINFORMATION, 0);
            return;
        }
        EsperandoRespuesta = true;
        Timer1->start();
        Escribir(3 - ranura, "draw");
        return;
    }
    if (!emisor.Activo) return;
    const QString texto = NombreMotor(ranura) + PartirEnDolar(TextosIdioma[94]).second;
    const long respuesta = MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION, MB_YESNO);
    // The game may have ended while the question was open.
    if (respuesta == IDYES && (Motor1.Activo || Motor2.Activo)) FinDeJuego({}, 0, 0);
}

void Cpu::FinPartidaCPU(int ranura) {
    AnotarResultado(3 - ranura);
    const QString nombre = NombreMotor(ranura);
    QString texto;
    if (DosMotores()) {
        const auto [antes, despues] = PartirEnDolar(TextosIdioma[92]);
        texto = nombre + " " + antes + NombreMotor(3 - ranura) + despues;
    } else {
        texto = nombre + PartirEnDolar(TextosIdioma[91]).second;
    }
    ApagarRelojes();
    ToolboxComand("2");
    MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
}

// ---- The panel -------------------------------------------------------------------------------

void Cpu::Toolbar1_ButtonClick(int indice) {
    auto& g = Reglas();
    switch (indice) {
        case 1: NuevaPartida(); return;
        case 2: ToolboxComand("2"); return;
        case 4: ToolboxComand("3"); return;
        case 5: ToolboxComand("4"); return;
        case 7: ToolboxComand("5"); return;
        case 9:
        case 10: {
            const bool pista = indice == 9;
            if ((g.Turno != 0) != pista || DosMotores() || !(Motor1.Activo || Motor2.Activo)) return;
            for (int n : {1, 2})
                if (Ranura(n).Activo) Escribir(n, pista ? "hint" : "?");
            pistaPedida_ = pista;
            EsperandoRespuesta = true;
            Timer1->start();
            return;
        }
        case 12: {
            if (Motor1.Activo || Motor2.Activo) return;
            auto& nivel = ::FormLevel2();
            if (const int i = nivel.OpcionElegida(); i >= 0) nivel.MuestraDatos(i);
            nivel.Show();
            return;
        }
        default: return;
    }
}

void Cpu::ToolboxComand(const QString& codigo) {
    auto& g = Reglas();
    switch (long(controles::Val(codigo))) {
        case 2:
            ApagarRelojes();
            DetencionUsuario = true;
            cmdTerminar1();
            cmdTerminar2();
            VariableCPUCero();
            g.Turno = 0;
            DetencionUsuario = false;
            return;
        case 3: {
            if (DosMotores()) return;
            if (!Motor2.Activo && (g.Turno == 0 || !Motor1.Activo)) return;
            // The engine that wins: the one that runs.
            const int motor = Motor1.Activo ? 1 : 2;
            const QString texto = TextoAbandonoPersona(motor);
            FinDeJuego({}, 0, motor);
            MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
            return;
        }
        case 4:
            if (DosMotores() || g.Turno == 0) return;
            for (int n : {1, 2}) {
                if (!Ranura(n).Activo) continue;
                EsperandoRespuesta = true;
                Timer1->start();
                Escribir(n, "draw");
            }
            return;
        case 5: {
            // The engines that play, whatever the lists show: the board takes back what
            // the engine is told to take back.
            const bool motor1 = Motor1.Activo, motor2 = Motor2.Activo;
            const auto registros = g.Jugadas.List1.size();
            if (g.Turno == 0 || registros == 0) return;
            if ((registros == 1 && motor1) || (motor1 && motor2)) return;
            ::Mdi().RetrocesoFuncion();
            if (motor1 || motor2) ::Mdi().RetrocesoFuncion();
            RepintarTablero = false;
            for (int n : {1, 2})
                if (Ranura(n).Activo) Escribir(n, "remove");
            return;
        }
        default: return;
    }
}

QString Cpu::TextoAbandonoPersona(int motor) const {
    auto [antes, despues] = PartirEnDolar(TextosIdioma[92]);
    if (!antes.isEmpty()) antes[0] = antes[0].toUpper();
    return antes + NombreMotor(motor) + despues;
}

void Cpu::Timer1_Timer() {
    Timer1->stop();
    pistaPedida_ = false;
    QStringList avisos;
    for (const char* pendiente : {"draw", "hint", "?"})
        for (int n : {1, 2})
            if (Ranura(n).Comando == QLatin1String(pendiente)) avisos << (pendiente[0] == 'd' ? "96" : "97");
    EsperandoRespuesta = false;
    for (const QString& aviso : avisos) MostrarMensaje("Tavorin", aviso, MB_ICONINFORMATION);
}

void Cpu::VariableCPUCero() {
    UltimoMovimiento.clear();
    EnroquePendiente = false;
    EsperandoRespuesta = false;
    pistaPedida_ = false;
    ofertaVista_ = {};
    for (QTimer* t : {Timer1, Timer2, Timer3}) t->stop();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text5}) t->clear();
    ApagarRelojes();
    Text6->setText("00:00");
    Text7->setText("00:00");
    Motor1 = DatosMotor{};
    Motor2 = DatosMotor{};
    BloquearListas(false);
}

// ---- Engine clocks ------------------------------------------------------------------------------

void Cpu::EncenderReloj(int lado) {
    RelojMotor& enciende = lado == 1 ? RelojBlancas : RelojNegras;
    RelojMotor& apaga = lado == 1 ? RelojNegras : RelojBlancas;
    (lado == 1 ? Timer5 : Timer4)->stop();
    apaga.Parar();
    enciende.Arrancar();
    (lado == 1 ? Timer4 : Timer5)->start();
}

void Cpu::ApagarRelojes() {
    Timer4->stop();
    Timer5->stop();
    RelojBlancas.Parar();
    RelojNegras.Parar();
}

void Cpu::Timer4_Timer() { Contar(1); }
void Cpu::Timer5_Timer() { Contar(2); }

void Cpu::Contar(int lado) {
    QTimer* timer = lado == 1 ? Timer4 : Timer5;
    RelojMotor& reloj = lado == 1 ? RelojBlancas : RelojNegras;
    if (!ConReloj()) {
        timer->stop();
        reloj.Parar();
        return;
    }
    // White's clock also ends a game whose White engine has gone.
    if (lado == 1 && !NombreMotor(1).isEmpty() && !Motor1.Activo) {
        ToolboxComand("2");
        return;
    }
    reloj.Arrancar();
    reloj.Contar();
    if (lado == 1)
        PrintTimerBCPU();
    else
        PrintTimerNCPU();
    if (!reloj.Agotado()) return;
    // The flag fell: the person lost, or the engine did.
    timer->stop();
    reloj.Parar();
    QString texto = "29";
    if (Ranura(lado).Activo) {
        ReproducirSonido(5);
        texto = DosMotores() ? TextoTiempoEntreMotores(NombreMotor(lado), NombreMotor(3 - lado))
                             : NombreMotor(lado) + ". " + TextosIdioma[30];
    }
    AnotarResultado(3 - lado);
    LimpiarCPU();
    auto& g = Reglas();
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = 0;
    MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
}

void Cpu::PrintTimerBCPU() { MostrarReloj(Text6, Text7, MinutosBlancas, SegundosBlancas); }
void Cpu::PrintTimerNCPU() { MostrarReloj(Text7, Text6, MinutosNegras, SegundosNegras); }

void Cpu::LimpiarCPU() {
    ApagarRelojes();
    cmdTerminar1();
    cmdTerminar2();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text5}) t->clear();
    Motor1 = DatosMotor{};
    Motor2 = DatosMotor{};
    BloquearListas(false);
    for (QTimer* t : {Timer1, Timer2}) t->stop();
    EnroquePendiente = false;
    EsperandoRespuesta = false;
    pistaPedida_ = false;
    ofertaVista_ = {};
    auto& g = Reglas();
    g.Turno = 0;
    auto& t = ::Tavorin();
    t.OcultarMarcos();
    g.TipoPartida.clear();
    g.MiColor.clear();
    ReinicioFinal();
    t.MovimientoAnulado();
    ModoPreparar = false;
    PartidaDeFichero = false;
    // The moves and the position stay, so that the game can still be saved.
}

}  // namespace forms

forms::Cpu& Cpu() {
    static forms::Cpu* f = nullptr;
    return InstanciaForma(f);
}
