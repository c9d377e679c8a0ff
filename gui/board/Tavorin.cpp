#include "board/Tavorin.h"

#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/ColorRgb.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Apariencia.h"
#include "board/Coronacion.h"
#include "board/FinPartida.h"
#include "board/Geometria.h"
#include "board/Jugadas.h"
#include "board/Sonidos.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "network/Campos.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Lugares.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QStyle>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <optional>
#include <vector>

namespace {

// Where a child window's place is kept: its keys of Default.ini, the size only for
// the windows that the user sizes.
struct Sitio {
    Forma& (*ventana)();
    ajustes::Clave top, left;
    std::optional<ajustes::Clave> width, height;
};

using enum ajustes::Clave;
const Sitio kSitios[] = {
    {[]() -> Forma& { return ::Tavorin(); }, TableroTop, TableroLeft, {}, {}},
    {[]() -> Forma& { return ::Chat(); }, ChatTop, ChatLeft, ChatWidth, ChatHeight},
    {[]() -> Forma& { return ::Jugadas(); }, JugadasTop, JugadasLeft, JugadasWidth, JugadasHeight},
    {[]() -> Forma& { return ::Reloj(); }, RelojTop, RelojLeft, {}, {}},
    {[]() -> Forma& { return ::Ranking(); }, RankingTop, RankingLeft, {}, {}},
    {[]() -> Forma& { return ::ListaPgn(); }, PgnTopInformacion, PgnLeftInformacion, {}, {}},
    {[]() -> Forma& { return ::PgnMovimientos(); }, PgnTopJugadas, PgnLeftJugadas, {}, {}},
    {[]() -> Forma& { return ::Cpu(); }, CpuTop, CpuLeft, {}, {}},
    {[]() -> Forma& { return ::fEpd(); }, EpdTop, EpdLeft, {}, {}},
};

// The exit sequence stores each window's place as the window has it then.
[[maybe_unused]] const bool kSitiosEnlazados = [] {
    for (const Sitio& s : kSitios) {
        auto ventana = s.ventana;
        auto guardar = [ventana](double (Forma::*medida)() const) {
            return ajustes::Enlace{{},
                                   [ventana, medida] { return std::optional(ajustes::Numero((ventana().*medida)())); }};
        };
        ajustes::Enlazar(s.top, guardar(&Forma::Top));
        ajustes::Enlazar(s.left, guardar(&Forma::Left));
        if (s.width) ajustes::Enlazar(*s.width, guardar(&Forma::Width));
        if (s.height) ajustes::Enlazar(*s.height, guardar(&Forma::Height));
    }
    return true;
}();

// What the options dialog changes on the board.
[[maybe_unused]] const bool kOpcionesEnlazadas = [] {
    opciones::Enlaces& e = opciones::Enlazadas();
    e.ocultarMarcos = [] { ::Tavorin().OcultarMarcos(); };
    e.coordenadas = [] { ::Tavorin().LetrasNumeros(); };
    e.borde = [] {
        // New squares, then every piece again over them without erasing or frames.
        ::Tavorin().PaintTablero();
        ::Tavorin().PaintFichasResice();
    };
    e.disponer = [] { ::Tavorin().DisponerLuego(); };
    e.ladoFichas = [] { return ::Tavorin().RFichas[1].height(); };
    e.leerApariencia = [](const QString& carpeta) {
        auto& t = ::Tavorin();
        return apariencia::Leer(carpeta, t.SFichas, t.SMascara, t.SCuadro);
    };
    e.ladoApariencia = [] { return ::Tavorin().SCuadro[1].width(); };
    e.aparienciaRechazada = [] {
        auto& t = ::Tavorin();
        if (!t.Visible()) return;
        t.Resice();
        t.LetrasNumeros();
        t.PaintTablero();
        t.PaintFichas();
        t.RefrescarTablero();
        t.DisponerLuego();
    };
    return true;
}();

// A child window's stored place (the shipped one for what is not a number), kept
// within what the main window's area can show when it is as large as a screen: its
// title bar reachable there, its size no larger.
void Situar(const Sitio& s) {
    Forma& f = s.ventana();
    lugares::Lugar l{lugares::Leer(s.left), lugares::Leer(s.top), f.Width(), f.Height()};
    const bool tamano = s.width && s.height;
    if (tamano) {
        l.width = lugares::Leer(*s.width);
        l.height = lugares::Leer(*s.height);
    }
    QSize mayor;
    for (QScreen* p : QGuiApplication::screens()) mayor = mayor.expandedTo(p->availableGeometry().size());
    l = lugares::Ajustar(l, {QRect(QPoint(0, 0), mayor)}, {QSize(60, 40), 24});
    f.setTop(l.top);
    f.setLeft(l.left);
    if (!tamano) return;
    f.setWidth(l.width);
    f.setHeight(l.height);
}

// The windows that stand beside the board, in the order in which they make room.
const char* const kLaterales[] = {"Jugadas",  "Chat",           "Reloj",       "Ranking", "Cpu",
                                  "ListaPgn", "PgnMovimientos", "SetTableroF", "fEpd",    "ColorRgb"};

bool EsLateral(const QWidget& w) {
    for (const char* n : kLaterales)
        if (w.objectName() == QLatin1String(n)) return true;
    return false;
}

// The windows of a task the user has just begun (saving, setting up, choosing a
// position or the colours), for which the main window grows when its area has no room.
bool EsDeTarea(const QWidget& w) {
    for (const char* n : {"ListaPgn", "SetTableroF", "fEpd", "ColorRgb"})
        if (w.objectName() == QLatin1String(n)) return true;
    return false;
}

// The side windows shown now, in the order of kLaterales.
std::vector<Forma*> LateralesAbiertas() {
    std::vector<Forma*> abiertas;
    for (const char* n : kLaterales)
        for (QWidget* w : QApplication::allWidgets())
            if (auto* f = qobject_cast<Forma*>(w); f && f->objectName() == QLatin1String(n) && f->Visible())
                abiertas.push_back(f);
    return abiertas;
}

// A window's outer rectangle in pixels of the main window's area.
QRect Rectangulo(const Forma& f) {
    auto px = [](double twips) { return int(std::lround(twips / TwipsPorPixel)); };
    return {px(f.Left()), px(f.Top()), px(f.Width()), px(f.Height())};
}

// What the main window's area shows, in pixels: its viewport less the scroll bars
// that the board and the windows reaching past it (`contenido`, their union) bring
// (they may not have come yet). A main window asked to be maximised shows what the
// screen will give it, though the window system may not have made it so yet.
QSize VistaDelArea(const QMdiArea& area, const QRect& contenido) {
    QSize maximo = area.maximumViewportSize();
    const QWidget* principal = area.window();
    if (principal->windowState() & Qt::WindowMaximized)
        if (const QScreen* pantalla = principal->screen())
            maximo = maximo.expandedTo(pantalla->availableGeometry().size() -
                                       (principal->frameGeometry().size() - area.maximumViewportSize()));
    const int barra = area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area);
    const int derecha = contenido.x() + contenido.width(), abajo = contenido.y() + contenido.height();
    QSize vista = maximo;
    // A bar along one edge may make room short for the other.
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        if (derecha > vista.width()) vista.setHeight(maximo.height() - barra);
        if (abajo > vista.height()) vista.setWidth(maximo.width() - barra);
    }
    return vista.expandedTo(QSize(0, 0));
}

// The board and the windows in the area together.
QRect Contenido(const QRect& tablero, const std::vector<QRect>& lugares,
                const std::vector<lugares::Lateral>& ventanas) {
    QRect todo = tablero;
    for (size_t i = 0; i < lugares.size(); ++i)
        if (!ventanas[i].propia) todo |= lugares[i];
    return todo;
}

// How much more the main window's area can show once the window has grown as far as
// the free part of its screen allows: nothing while it is maximised, minimised or not
// shown.
QSize Holgura(const QWidget& principal) {
    const QScreen* pantalla = principal.screen();
    const auto estados = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
    if (!pantalla || !principal.isVisible() || (principal.windowState() & estados)) return {0, 0};
    return (pantalla->availableGeometry().size() - principal.frameGeometry().size()).expandedTo(QSize(0, 0));
}

// The free part of the main window's screen, in pixels of its area.
QRect PantallaLibre(const QMdiArea& area) {
    const QScreen* pantalla = area.window()->screen();
    return pantalla ? pantalla->availableGeometry().translated(-area.mapToGlobal(QPoint(0, 0))) : QRect();
}

// The main window grown by so many pixels, and moved left and up as far as it takes to
// stay on the free part of its screen.
void Crecer(const QSize& crecimiento) {
    auto& m = ::Mdi();
    const QRect libre = m.screen() ? m.screen()->availableGeometry() : QRect();
    lugares::Lugar l = m.Lugar();
    l.width += double(crecimiento.width()) * TwipsPorPixel;
    l.height += double(crecimiento.height()) * TwipsPorPixel;
    l.left = std::max(double(libre.x()) * TwipsPorPixel,
                      std::min(l.left, double(libre.x() + libre.width()) * TwipsPorPixel - l.width));
    l.top = std::max(double(libre.y()) * TwipsPorPixel,
                     std::min(l.top, double(libre.y() + libre.height()) * TwipsPorPixel - l.height));
    m.Situar(l);
}

// Moves a window to the place's corner, when it is elsewhere.
void Llevar(Forma& f, const QRect& lugar) {
    if (lugar.topLeft() == Rectangulo(f).topLeft()) return;
    f.setLeft(double(lugar.x()) * TwipsPorPixel);
    f.setTop(double(lugar.y()) * TwipsPorPixel);
}

long RegistroPendiente(ajustes::Clave clave) {
    auto v = controles::AEntero(ajustes::Leer(clave));
    return v ? *v : 0;
}

QImage Cuadrada(int lado) {
    QImage img(std::max(1, lado), std::max(1, lado), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

}  // namespace

const char* NombreFicha(int pieza) {
    static const char* const nombres[13] = {"",      "peonb",  "torreb",   "caballob", "alfilb", "damab", "reyb",
                                            "peonn", "torren", "caballon", "alfiln",   "daman",  "reyn"};
    return rules::EsPieza(pieza) ? nombres[pieza] : "";
}

int TamanoTablero() { return ::Opciones().Tamano(); }

namespace forms {

class Tavorin::Anfitrion : public rules::RulesHost {
public:
    explicit Anfitrion(Tavorin& t) : t_(t) {}

    int Coronacion(int color) override {
        if (!t_.entradaRaton_) return ::Coronacion().Preguntar(color);
        // A move from the mouse shows the pawn on its last rank, framed, while the user
        // chooses; a cancel puts back the frames of the move before.
        struct Marco {
            QPoint lugar;
            bool visible;
        };
        std::array<Marco, 2> antes;
        for (int i = 0; i < 2; ++i) antes[i] = {t_.Shape1[i]->pos(), !t_.Shape1[i]->isHidden()};
        t_.MostrarCoronacion();
        const int pieza = ::Coronacion().Preguntar(color);
        if (pieza != 0) return pieza;
        for (int i = 0; i < 2; ++i) {
            t_.Shape1[i]->move(antes[i].lugar);
            t_.Shape1[i]->setVisible(antes[i].visible);
        }
        return pieza;
    }
    bool ListaPgnVisible() const override { return NavegandoPgn(); }
    bool ReproduciendoPartida() const override { return DatosPartida.size() > 1 && !DatosPartida[1].isEmpty(); }
    void DibujarTorreEnroque(int xOrigen, int yOrigen, int xDestino, int yDestino) override {
        const bool invertido = t_.Invertido();
        // The mouse's own picture has the king dragged away: back to the board as it was.
        if (t_.entradaRaton_) t_.CopiarTablero(t_.PicBuffer, t_.BoardTemp[0]);
        t_.RedibujarFichas(geometria::Espejo(xOrigen, invertido), geometria::Espejo(yOrigen, invertido),
                           geometria::Espejo(xDestino, invertido), geometria::Espejo(yDestino, invertido),
                           Reglas().FichaOrigen);
    }
    void OcultarMarcador() override { t_.Shape->hide(); }
    void JugadasCambiadas() override { ::Jugadas().ActualizarTextos(); }
    void SubComoFicha(const std::string& casilla) override { t_.SubComoFicha(QString::fromStdString(casilla)); }
    std::string TextoIdioma(int n) const override {
        return (n >= 0 && n < int(TextosIdioma.size())) ? TextosIdioma[n].toStdString() : std::string();
    }
    void MostrarMensaje(const std::string& titulo, const std::string& texto, int icono) override {
        ::MostrarMensaje(QString::fromStdString(titulo), QString::fromStdString(texto), icono);
    }

private:
    Tavorin& t_;
};

Tavorin::Tavorin() : Forma(Hija, "Tavorin") {
    Margen = new QFrame(this);
    Margen->setObjectName("Margen");
    Margen->setStyleSheet("QFrame#Margen { background: black; }");
    Margen->hide();
    Fondo = new PictureBox(this, "Fondo");
    Fondo->hide();
    for (int i = 0; i < 2; ++i) {
        BoardTemp[i] = new PictureBox(this, QString("BoardTemp_%1").arg(i));
        BoardTemp[i]->hide();
    }
    PicBuffer = new PictureBox(this, "PicBuffer");
    PicBuffer->move(18, 12);
    PicBuffer->resize(320, 320);
    PicBuffer->setMouseTracking(true);
    PicBuffer->installEventFilter(this);
    DragDro = new QWidget(this);
    DragDro->setObjectName("DragDro");
    DragDro->hide();
    DragMano = QCursor(QPixmap(":/builtin/cursor-mano.png"), 16, 18);
    DragStop = QCursor(QPixmap(":/builtin/cursor-stop.png"), 16, 16);
    CursorTablero = QCursor(QPixmap(":/builtin/cursor-tablero.png"), 12, 3);
    // The marker and the frames: thin borders over the picture, mouse goes through.
    auto forma = [this](const QString& nombre, const char* color) {
        auto* f = new QFrame(PicBuffer);
        f->setObjectName(nombre);
        f->setStyleSheet(QString("QFrame#%1 { border: 1px solid %2; background: transparent; }").arg(nombre, color));
        f->setAttribute(Qt::WA_TransparentForMouseEvents);
        f->resize(40, 40);
        f->hide();
        return f;
    };
    Shape = forma("Shape", "#00ff00");
    for (int i = 0; i < 2; ++i) Shape1[i] = forma(QString("Shape1_%1").arg(i), "#ff0000");
    QFont letra("Sans Serif");
    letra.setPointSizeF(8.25);
    letra.setBold(true);
    for (int i = 0; i < 8; ++i) {
        Letras[i] = new QLabel(this);
        Letras[i]->setObjectName(QString("Letras_%1").arg(i));
        Numeros[i] = new QLabel(this);
        Numeros[i]->setObjectName(QString("Numeros_%1").arg(i));
        for (QLabel* l : {Letras[i], Numeros[i]}) {
            l->setFont(letra);
            l->setAlignment(Qt::AlignCenter);
            l->setAttribute(Qt::WA_TranslucentBackground);
            l->resize(12, 14);
        }
    }
    Timer1 = new QTimer(this);
    Timer1->setInterval(30);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer2 = new QTimer(this);
    Timer2->setInterval(300);
    CrearRed();

    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        OFichas[i] = QImage(QString(":/builtin/%1.png").arg(NombreFicha(i)));
        OMascara[i] = QImage(QString(":/builtin/%1f.png").arg(NombreFicha(i)));
    }
    OCB = QImage(":/builtin/cuadrob.png");
    OCN = QImage(":/builtin/cuadron.png");
    if (OCB.isNull()) OCB = Cuadrada(40);
    if (OCN.isNull()) {
        OCN = Cuadrada(40);
        OCN.fill(QColor(120, 90, 60));
    }
    resize(380, 380);
    anfitrion_ = std::make_unique<Anfitrion>(*this);
    Reglas().FijarHost(anfitrion_.get());
    PrepararFicheros();
    Forma::FijarAlAbrir([this](Forma& f) {
        if (EsLateral(f)) ApartarDelTablero(f);
    });
}

Tavorin::~Tavorin() {
    Forma::FijarAlAbrir(nullptr);
    Reglas().FijarHost(nullptr);
}

void Tavorin::Form_Load() {
    // The board is the program's main content: its window can be minimised, not closed.
    if (QWidget* marco = Forma::Marco(); marco != this)
        marco->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowMinimizeButtonHint);
    auto& splash = ::Splash();
    auto& opciones = ::Opciones();
    SaltoLinea = "\r\n";
    splash.Progreso("Cargando configuración...");
    FijarRutaIni();
    if (!ExisteFichero(FicheroIni)) Terminar(1);
    // An empty, binary or unreadable Default.ini holds no settings: as if it were missing.
    if (!IniConAjustes(FicheroIni)) {
        MostrarMensaje("Tavorin", "El fichero Default.ini no se ha encontrado.", MB_ICONINFORMATION);
        Terminar(1);
    }
    LeerOpciones();

    splash.Progreso("Cargando idioma...");
    ListarIdiomas([this] {
        SituarVentanas();
        ::Mdi().Unload();
    });
    const QString idioma = ajustes::Leer(ajustes::Clave::Idioma);
    opciones.ElegirIdioma(idioma);
    if (opciones.IdiomaElegido().isEmpty()) {
        MostrarMensaje("Tavorin", "Fichero de idioma no encontrado.");
        Terminar(1);
    }
    const QString apariencia = ajustes::Leer(ajustes::Clave::Apariencia);
    if (apariencia != AparienciaActual) {
        ElegirApariencia(apariencia);
    } else {
        opciones.ActualizarSkins();
        opciones.MarcarApariencia(AparienciaActual);
    }
    ::Ranking().LeerPuntuacion();
    QScreen* pantalla = splash.screen() ? splash.screen() : QGuiApplication::primaryScreen();
    ComprobarColores(pantalla);
    ComprobarResolucion(pantalla);
    if (NickLocal.isEmpty()) CambiarNick();

    splash.Progreso("Registrando extensión...");
    if (RegistroPendiente(ajustes::Clave::RegitTvp) == 0)
        RegistrarExtension(1, ".tvp", "tvpfile", "tvpfile", "Tavorin", "tvpfile");
    if (RegistroPendiente(ajustes::Clave::RegitPgn) == 0) {
        if (MostrarMensaje("Tavorin", MensajeNumero(texto::AsociarPgn), MB_ICONQUESTION, MB_YESNO) == IDYES)
            RegistrarExtension(2, ".pgn", "pgnfile", "pgnfile", "Tavorin", "pgnfile");
        else
            ajustes::Escribir(ajustes::Clave::RegitPgn, "1");
    }
    if (RegistroPendiente(ajustes::Clave::RegitEpd) == 0) {
        if (MostrarMensaje("Tavorin", MensajeNumero(texto::AsociarEpd), MB_ICONQUESTION, MB_YESNO) == IDYES)
            RegistrarExtension(3, ".epd", "epdfile", "epdfile", "Tavorin", "epdfile");
        else
            ajustes::Escribir(ajustes::Clave::RegitEpd, "1");
    }

    splash.Progreso("Cargando imágenes...");
    CrearImagenes();
    if (opciones.AparienciaElegida() == AparienciaActual) {
        CopiarOriginales();
    } else {
        opciones.Skins();
        CopiarApariencia();
    }
    PonerFichas();
    const int lado = TamanoTablero();
    TamanoImagenes(lado);
    Disponer();
    PicBuffer->Refresh();
    Marco(0, 0, 0, 0);
    AltoCasilla = RCuadro[1].width();
    AnchoCasilla = RCuadro[2].height();
    SituarVentanas();
    for (int i = 1; i < int(ColaEnvio.size()); ++i) ColaEnvio[i].clear();
    ::Reloj().Atenuar();
    NumColaEnvio = 0;
    ::ListaPgn().AjustarCabecera();
}

void Tavorin::Form_Activate() {
    auto& splash = ::Splash();
    if (splash.MostrandoProgreso()) splash.Unload();
    if (splash.MostrandoProgreso()) splash.Tshow();
}

// The window system gives a hidden child window its size only once it shows: the
// background that the layout painted is painted again for the size it gets.
void Tavorin::Form_Resize() {
    if (!Picture().isNull() && Picture().size() != size()) PintarVentana(1);
}

// ---- Options and windows --------------------------------------------------------

void Tavorin::LeerOpciones() {
    ajustes::Cargar();
    PintarVentana(0);
    ::FormLevel2().CargarLevel();
}

void Tavorin::SituarVentanas() {
    for (const Sitio& s : kSitios) Situar(s);
    ::Chat().ChatResice();
    ::Jugadas().JugadasResice();
    VentanasSituadas = true;
}

void Tavorin::OcultarVentanas() {
    auto& m = ::Mdi();
    using Lateral = forms::Mdi::Lateral;
    if (!::ListaPgn().Visible()) {
        ajustes::Escribir(ajustes::Clave::VerJugadas, ajustes::Marca(m.Muestra(Lateral::Jugadas)));
        ajustes::Escribir(ajustes::Clave::VerChat, ajustes::Marca(m.Muestra(Lateral::Chat)));
        ajustes::Escribir(ajustes::Clave::VerReloj, ajustes::Marca(m.Muestra(Lateral::Reloj)));
        ajustes::Escribir(ajustes::Clave::VerElo, ajustes::Marca(m.Muestra(Lateral::Ranking)));
    }
    if (m.Muestra(Lateral::Jugadas)) ::Jugadas().Unload();
    if (m.Muestra(Lateral::Chat)) ::Chat().Unload();
    for (Forma* f : std::initializer_list<Forma*>{&::ColorRgb(), &::Conexion(), &::Ip(), &::Coronacion(), &::Nuevo(),
                                                  &::Opciones()})
        if (f->Visible()) f->Unload();
    if (m.Muestra(Lateral::Reloj)) ::Reloj().Unload();
    if (::Splash().Visible()) ::Splash().Unload();
    if (m.Muestra(Lateral::Ranking)) ::Ranking().Unload();
    if (::fEpd().Visible()) ::fEpd().Unload();
}

void Tavorin::ElegirApariencia(const QString& nombre) {
    auto& o = ::Opciones();
    o.ActualizarSkins();
    CarpetaApariencia = nombres::RutaReal(RutaApp, "apariencias/" + nombre + "/");
    if (!nombre.isEmpty() && QDir(CarpetaApariencia).exists())
        o.MarcarApariencia(nombre);
    else
        o.MarcarApariencia(AparienciaActual);
}

// ---- Pictures and layout --------------------------------------------------------

void Tavorin::CrearImagenes() {
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        SMascara[i] = QImage();
        RMascara[i] = QImage();
        SFichas[i] = QImage();
        RFichas[i] = QImage();
    }
    RCuadro[2] = QImage();
    SCuadro[2] = QImage();
}

void Tavorin::CopiarOriginales() {
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        RMascara[i] = OMascara[i];
        RFichas[i] = OFichas[i];
    }
    RCuadro[1] = OCB;
    RCuadro[2] = OCN;
}

void Tavorin::CopiarApariencia() {
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        RMascara[i] = SMascara[i];
        RFichas[i] = SFichas[i];
    }
    RCuadro[1] = SCuadro[1];
    RCuadro[2] = SCuadro[2];
}

void Tavorin::PonerFichas() {
    auto& c = Reglas().Casillas;
    using namespace rules;
    static const int kPrimera[9] = {0,         TorreBlanca, CaballoBlanco, AlfilBlanco, DamaBlanca,
                                    ReyBlanco, AlfilBlanco, CaballoBlanco, TorreBlanca};
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) c[x][y] = 0;
        c[x][2] = rules::PeonBlanco;
        c[x][7] = rules::PeonNegro;
        c[x][1] = kPrimera[x];
        c[x][8] = kPrimera[x] + rules::DistanciaNegras;
    }
}

void Tavorin::ResiceImagenes() {
    const bool original = ::Opciones().AparienciaElegida() == AparienciaActual;
    auto estirar = [](const QImage& fuente, const QImage& destino, Qt::TransformationMode modo) {
        QSize tam = destino.isNull() ? QSize(40, 40) : destino.size();
        if (fuente.isNull()) return Cuadrada(tam.width()).scaled(tam);
        return fuente.convertToFormat(QImage::Format_RGB32).scaled(tam, Qt::IgnoreAspectRatio, modo);
    };
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        RFichas[i] = estirar(original ? OFichas[i] : SFichas[i], RFichas[i], Qt::FastTransformation);
        RMascara[i] = estirar(original ? OMascara[i] : SMascara[i], RMascara[i], Qt::FastTransformation);
    }
    RCuadro[1] = estirar(original ? OCB : SCuadro[1], RCuadro[1], Qt::SmoothTransformation);
    RCuadro[2] = estirar(original ? OCN : SCuadro[2], RCuadro[2], Qt::SmoothTransformation);
}

void Tavorin::TamanoImagenes(int lado) {
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        RFichas[i] = Cuadrada(lado);
        RMascara[i] = Cuadrada(lado);
    }
    RCuadro[1] = Cuadrada(lado);
    RCuadro[2] = Cuadrada(lado);
}

void Tavorin::Disponer() {
    ResiceImagenes();
    update();
    Resice();
    LetrasNumeros();
    PaintTablero();
    AnchoCasilla = RCuadro[1].width();
    AltoCasilla = RCuadro[1].height();
    PaintFichasResice();
    PintarVentana(1);
}

void Tavorin::Resice() {
    const int w = RCuadro[1].width(), h = RCuadro[1].height();
    PicBuffer->resize(8 * w, 8 * h);
    Fondo->setGeometry(PicBuffer->geometry());
    Shape->resize(w, h);
    Shape1[0]->resize(w, h);
    Shape1[1]->resize(w, h);
    setHeight(double(PicBuffer->height()) * TwipsPorPixel + 880);
    setWidth(double(PicBuffer->width()) * TwipsPorPixel + 580);
    Margen->setGeometry(PicBuffer->x() - 2, PicBuffer->y() - 2, PicBuffer->width() + 4, PicBuffer->height() + 4);
    Margen->show();
    Margen->lower();
}

void Tavorin::LetrasNumeros() {
    const bool visibles = ::Opciones().Coordenadas();
    for (int i = 0; i < 8; ++i) {
        Letras[i]->setVisible(visibles);
        Numeros[i]->setVisible(visibles);
    }
    const long fila = std::lrint(PicBuffer->height() / 8.0);
    const long columna = std::lrint(PicBuffer->width() / 8.0);
    RotularBordes(::Mdi().TableroInvertido());
    const long mediaFila = std::lrint(fila / 2.0);
    const long mediaAlto = std::lrint(Numeros[0]->height() / 2.0);
    const long mediaColumna = std::lrint(columna / 2.0);
    const long mediaAncho = std::lrint(Letras[0]->width() / 2.0);
    for (int i = 0; i < 8; ++i) {
        Letras[i]->move(int(PicBuffer->x() + i * columna + mediaColumna - mediaAncho),
                        int(PicBuffer->y() + 8 * fila + 3));
        Numeros[i]->move(PicBuffer->x() / 2 - Numeros[i]->width() / 2,
                         int(PicBuffer->y() + (7 - i) * fila + mediaFila - mediaAlto));
    }
}

void Tavorin::PaintTablero() {
    const int w = RCuadro[1].width(), h = RCuadro[1].height();
    if (w <= 0 || h <= 0 || RCuadro[2].isNull()) return;
    PicBuffer->Cls();
    Fondo->Cls();
    {
        QPainter p(&PicBuffer->Imagen());
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) p.drawImage(c * w, r * h, (c + r) % 2 == 0 ? RCuadro[1] : RCuadro[2]);
    }
    if (::Opciones().Borde()) PintarBordeTablero();
    Fondo->resize(PicBuffer->size());
    Fondo->Imagen() = PicBuffer->Imagen().copy();
    PicBuffer->Refresh();
    Fondo->Refresh();
}

// ---- Pieces and squares ------------------------------------------------------------

void Tavorin::DibujarPieza(QImage& destino, long x, long y, int ficha) const {
    if (ficha < 1 || ficha > 12) return;
    const QRect cuadro(0, 0, int(AnchoCasilla), int(AltoCasilla));
    QPainter p(&destino);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(QPoint(int(x), int(y)), RMascara[ficha], cuadro);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(QPoint(int(x), int(y)), RFichas[ficha], cuadro);
}

void Tavorin::CopiarCuadro(PictureBox* destino, const PictureBox* fuente, long x, long y) {
    QPainter p(&destino->Imagen());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect r{int(x), int(y), int(AnchoCasilla), int(AltoCasilla)};
    p.drawImage(r.topLeft(), fuente->Imagen(), r);
}

void Tavorin::CopiarTablero(PictureBox* destino, const PictureBox* fuente) {
    const QRect r(0, 0, int(8 * AnchoCasilla), int(8 * AltoCasilla));
    QImage& d = destino->Imagen();
    if (d.width() < r.width() || d.height() < r.height()) {
        d = fuente->Imagen().copy(r);
    } else {
        QPainter p(&d);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), fuente->Imagen(), r);
    }
    destino->Refresh();
}

void Tavorin::OcultarMarcador() { Shape->hide(); }

void Tavorin::OcultarMarcos() {
    Shape1[0]->hide();
    Shape1[1]->hide();
}

void Tavorin::MostrarTableroVacio() {
    PicBuffer->Imagen() = Fondo->Imagen().copy();
    PicBuffer->Refresh();
}

void Tavorin::RefrescarTablero() { PicBuffer->Refresh(); }

void Tavorin::Instantanea(int n) {
    PictureBox* copia = BoardTemp[size_t(n)];
    copia->Imagen() = PicBuffer->Imagen().copy(0, 0, int(8 * AnchoCasilla), int(8 * AltoCasilla));
    copia->Refresh();
}

void Tavorin::GuardarTablero(int n) { CopiarTablero(BoardTemp[size_t(n)], PicBuffer); }

void Tavorin::VaciarCopia() {
    BoardTemp[1]->Imagen() = Fondo->Imagen().copy();
    BoardTemp[1]->Refresh();
}

void Tavorin::RepintarDesdeFondo(bool enCopia) {
    BoardTemp[1]->resize(PicBuffer->size());
    BoardTemp[1]->Imagen() = Fondo->Imagen().copy();
    if (enCopia) {
        PaintFichas();
        PicBuffer->Imagen() = BoardTemp[1]->Imagen().copy();
    } else {
        PicBuffer->Imagen() = Fondo->Imagen().copy();
        PaintFichas();
    }
    BoardTemp[1]->Refresh();
    PicBuffer->Refresh();
}

void Tavorin::RepintarPorCopia() {
    BoardTemp[1]->Imagen() = Fondo->Imagen().copy(0, 0, PicBuffer->ScaleWidth(), PicBuffer->ScaleHeight());
    PaintFichas();
    CopiarTablero(PicBuffer, BoardTemp[1]);
}

QImage Tavorin::ImagenTablero() const {
    return PicBuffer->Imagen().copy(0, 0, PicBuffer->ScaleWidth(), PicBuffer->ScaleHeight());
}

void Tavorin::RotularBordes(bool invertido) {
    for (int i = 0; i < 8; ++i) {
        Letras[i]->setText(QString(QChar(invertido ? u'H' - i : u'A' + i)));
        Numeros[i]->setText(QString::number(invertido ? 8 - i : i + 1));
    }
}

void Tavorin::DisponerLuego() { Timer1->start(); }

void Tavorin::BorrarTemporales() {
    for (PictureBox* b : BoardTemp) {
        QImage vacia(10, 10, QImage::Format_RGB32);
        vacia.fill(b->BackColor());
        b->Imagen() = vacia;
        b->Refresh();
    }
}

bool Tavorin::Invertido() const { return ::Mdi().TableroInvertido(); }
bool Tavorin::PointClick() const { return ::Mdi().PointClick(); }

void Tavorin::RedibujarFichas(int xOrigen, int yOrigen, int xDestino, int yDestino, int ficha) {
    const long s = AnchoCasilla;
    const long xo = geometria::PixelX(xOrigen, s), yo = geometria::PixelY(yOrigen, s);
    const long xd = geometria::PixelX(xDestino, s), yd = geometria::PixelY(yDestino, s);
    if (!RepintarFichas) {
        CopiarCuadro(PicBuffer, Fondo, xo, yo);
        CopiarCuadro(PicBuffer, Fondo, xd, yd);
    }
    if (rules::EsPieza(ficha)) {
        DibujarPieza(PicBuffer->Imagen(), xd, yd, ficha);
        PicBuffer->Refresh();
    }
    if (!RepintarTablero) Marco(xOrigen, yOrigen, xDestino, yDestino);
    RepintarTablero = false;
}

void Tavorin::PaintFichas() {
    auto& g = Reglas();
    const bool pgn = NavegandoPgn();
    const bool invertido = Invertido();
    const long s = AnchoCasilla;
    for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
            const int ficha = g.Casillas[x][y];
            if (ficha == 0) continue;
            if (pgn) g.FichaOrigen = ficha;
            const long px = geometria::PixelX(geometria::Espejo(x, invertido), s);
            const long py = geometria::PixelY(geometria::Espejo(y, invertido), s);
            if (ModoPreparar) {
                DibujarPieza(BoardTemp[1]->Imagen(), px, py, ficha);
                BoardTemp[1]->Refresh();
            }
            if (!pgn) {
                DibujarPieza(PicBuffer->Imagen(), px, py, ficha);
                PicBuffer->Refresh();
            } else {
                DibujarPieza(BoardTemp[1]->Imagen(), px, py, ficha);
                BoardTemp[1]->Refresh();
            }
        }
    }
}

void Tavorin::PaintFichasResice() {
    auto& g = Reglas();
    RepintarFichas = true;
    for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
            if (g.Casillas[x][y] == 0) continue;
            g.FichaOrigen = g.Casillas[x][y];
            FijarDestino(x, y);
            RepintarTablero = true;
            ::RedibujarFichas();
        }
    }
    g.FichaOrigen = 0;
    g.XDestino = 0;
    g.YDestino = 0;
    RepintarFichas = false;
}

void Tavorin::IdibujoFicha(long x, long y) {
    auto& g = Reglas();
    const bool marcado = Invertido();
    g.XDestino = int(marcado ? x : 9 - x);
    g.YDestino = int(marcado ? y : 9 - y);
    ::RedibujarFichas();
}

void Tavorin::FijarDestino(long x, long y) {
    auto& g = Reglas();
    const bool invertido = Invertido();
    g.XDestino = geometria::Espejo(int(x), invertido);
    g.YDestino = geometria::Espejo(int(y), invertido);
}

void Tavorin::MovimientoAnulado() {
    Shape->hide();
    Reglas().MovimientoAnulado();
}

void Tavorin::SubComoFicha(const QString& casilla) {
    auto digito = [&](int i) { return i < casilla.size() && casilla[i].isDigit() ? casilla[i].digitValue() : 0; };
    const bool invertido = Invertido();
    const int col = geometria::Espejo(digito(0), invertido);
    const int fila = geometria::Espejo(digito(1), invertido);
    CopiarCuadro(PicBuffer, Fondo, geometria::PixelX(col, AnchoCasilla), geometria::PixelY(fila, AltoCasilla));
    PicBuffer->Refresh();
}

// ---- Move frames -----------------------------------------------------------------------

void Tavorin::Marco(long x1, long y1, long x2, long y2) {
    auto& g = Reglas();
    if (!::Opciones().MarcarJugada() || PartidaDeFichero || RepintarTablero) return;
    if (g.Jugadas.List[1].empty() || g.Jugadas.List1.empty()) return;
    long s = AltoCasilla;
    long x3 = 0, y3 = 0;
    if (x1 == 0) {
        // Re-place: which square each shown frame stands on, as its mirror square.
        auto buscar = [&](const QFrame* f, long& a, long& b) {
            if (f->isHidden()) return;
            for (long x = 0; x <= 7 * s; x += s)
                for (long y = 0; y <= 7 * s; y += s)
                    if (f->x() == x && f->y() == y) {
                        a = 8 - x / s;
                        b = 1 + y / s;
                    }
        };
        buscar(Shape1[0], x1, y1);
        buscar(Shape1[1], x2, y2);
        buscar(Shape, x3, y3);
        if (x1 == 0) return;
    }
    bool cambio = false;
    if (RCuadro[1].width() != s) {
        AltoCasilla = RCuadro[1].width();
        AnchoCasilla = RCuadro[1].height();
        s = AltoCasilla;
        cambio = true;
    }
    RepintarTablero = true;
    const bool espejo = !cambio && (!Invertido() || !RetrocesoEnCurso);
    auto situar = [&](QFrame* f, long w, long v) {
        if (w == 0 || v == 0) return;
        if (espejo) {
            w = 9 - w;
            v = 9 - v;
        }
        const long top = (v >= 1 && v <= 8) ? (v - 1) * s : v;
        const long left = (w >= 1 && w <= 8) ? (8 - w) * s : w;
        f->hide();
        f->move(int(left), int(top));
        f->show();
    };
    situar(Shape1[1], x2, y2);
    situar(Shape1[0], x1, y1);
    if (!Shape->isHidden()) situar(Shape, x3, y3);
}

void Tavorin::QuitaMarco() {
    const int fuera = int(8 * AnchoCasilla + 2);
    for (QFrame* f : Shape1) {
        f->hide();
        f->move(fuera, fuera);
    }
}

// ---- Move input ------------------------------------------------------------------------

void Tavorin::setMousePointer(int puntero) {
    mousePointer_ = puntero;
    if (arrastrando_) return;
    if (puntero == 99)
        PicBuffer->setCursor(CursorTablero);
    else if (puntero == 12)
        PicBuffer->setCursor(Qt::ForbiddenCursor);
    else
        PicBuffer->setCursor(Qt::ArrowCursor);
}

void Tavorin::DragDro_Drag(int accion) {
    if (accion == 1) {
        arrastrando_ = true;
        PicBuffer->setCursor(DragMano);
        return;
    }
    if (!arrastrando_) return;
    if (accion == 2) {
        // The drop happens where the pointer is now.
        const QPointF p = PicBuffer->mapFromGlobal(QCursor::pos().toPointF());
        PicBuffer_DragDrop(p.x(), p.y());
        return;
    }
    arrastrando_ = false;
    setMousePointer(mousePointer_);
}

bool Tavorin::CasillaSeleccionable(int x, int y) const {
    const bool invertido = Invertido();
    const int ficha = Reglas().Casillas[geometria::Espejo(x, invertido)][geometria::Espejo(y, invertido)];
    const int turno = Reglas().Turno;
    if (turno == ::turno::Blancas && rules::EsNegra(ficha)) return false;
    if (turno == ::turno::Negras && rules::EsBlanca(ficha)) return false;
    return true;
}

bool Tavorin::PiezaDelTurno(int x, int y) const {
    const bool invertido = Invertido();
    const int ficha = Reglas().Casillas[geometria::Espejo(x, invertido)][geometria::Espejo(y, invertido)];
    const int turno = Reglas().Turno;
    return (turno == ::turno::Blancas && rules::EsBlanca(ficha)) || (turno == ::turno::Negras && rules::EsNegra(ficha));
}

void Tavorin::MarcarSeleccion(double x, double y) {
    const long s = AnchoCasilla;
    const QPoint esquina(int(geometria::Esquina(x, s)), int(geometria::Esquina(y, s)));
    if (ModoPreparar) {
        Shape->move(esquina);
        Shape->show();
        return;
    }
    if (!PointClick()) return;
    if (!Shape->isHidden()) {
        Shape->hide();
    } else {
        Shape->move(esquina);
        Shape->show();
    }
}

void Tavorin::PicBuffer_MouseDown(int Button, int Shift, double X, double Y) {
    (void)Shift;
    if (PartidaDeFichero) return;
    auto& g = Reglas();
    const long s = AnchoCasilla;
    g.XCasillaArrastre = g.YCasillaArrastre = 0;
    const int col = geometria::Columna(X, s), fila = geometria::Fila(Y, s);
    g.XCasillaArrastre = col;
    g.YCasillaArrastre = fila;
    if (col == 0 || fila == 0) return;
    const long px = geometria::PixelX(col, s), py = geometria::PixelY(fila, s);
    if (ModoPreparar) {
        ClicPreparar(Button, X, Y, col, fila);
        return;
    }
    if (Button != controles::BotonIzquierdo || g.Turno == turno::Nadie) return;
    const bool invertido = Invertido();
    const int x = geometria::Espejo(col, invertido), y = geometria::Espejo(fila, invertido);
    const int ficha = g.Casillas[x][y];

    if (PointClick()) {
        if (!g.Conectado && g.Origen.empty() && !CasillaSeleccionable(col, fila)) return;
        CopiarTablero(BoardTemp[0], PicBuffer);
        if (g.Origen.empty()) {
            g.XCasillaArrastre = x;
            g.YCasillaArrastre = y;
            const bool propia = g.Conectado ? ((g.Turno == turno::Negras && rules::EsNegra(ficha)) ||
                                               (g.Turno == turno::Blancas && rules::EsBlanca(ficha)))
                                            : rules::EsPieza(ficha);
            if (propia) MarcarSeleccion(X, Y);
        }
        if (!Shape->isHidden() && !g.Origen.empty()) {
            // The second click: the move.
            g.Destino = geometria::CasillaTexto(x, y);
            entradaRaton_ = true;
            g.ValidarMovimiento();
            entradaRaton_ = false;
            if (!g.MovimientoValido) {
                // Only a cancelled promotion has drawn anything meanwhile.
                CopiarTablero(PicBuffer, BoardTemp[0]);
                MovimientoAnulado();
                return;
            }
            if (!g.CapturaAlPaso.empty()) SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
            CopiarCuadro(PicBuffer, Fondo, px, py);
            PicBuffer->Refresh();
            InvertirCoordenadas();
            ::RedibujarFichas();
            CopiarTablero(BoardTemp[1], PicBuffer);
            CompletarMovimiento(true);
            MovimientoAnulado();
            MovimientoAnulado();
        } else if (!Shape->isHidden()) {
            g.Origen = geometria::CasillaTexto(x, y);
        }
        return;
    }

    // Drag and drop: pick the piece up.
    if (!g.Conectado && !CasillaSeleccionable(col, fila)) return;
    CopiarTablero(BoardTemp[0], PicBuffer);
    if (!g.Origen.empty()) return;
    g.FichaOrigen = 0;
    if (g.Conectado) {
        if ((g.Turno == turno::Blancas && rules::EsBlanca(ficha)) ||
            (g.Turno == turno::Negras && rules::EsNegra(ficha)))
            g.FichaOrigen = ficha;
    } else {
        g.FichaOrigen = ficha;
    }
    if (g.FichaOrigen == 0) return;
    DragDro->setGeometry(PicBuffer->x() + int(px), PicBuffer->y() + int(py), int(s), int(s));
    CopiarCuadro(PicBuffer, Fondo, px, py);
    PicBuffer->Refresh();
    CopiarTablero(BoardTemp[1], PicBuffer);
    g.Origen = geometria::CasillaTexto(x, y);
    ArrastreCancelado = false;
    DragDro_Drag(1);
}

void Tavorin::ClicPreparar(int Button, double X, double Y, int col, int fila) {
    auto& g = Reglas();
    const bool invertido = Invertido();
    const int x = geometria::Espejo(col, invertido), y = geometria::Espejo(fila, invertido);
    int& casilla = g.Casillas[x][y];
    auto esRey = [](int f) { return f == rules::ReyBlanco || f == rules::ReyNegro; };
    if (esRey(casilla)) {
        if (Shape->isHidden()) {
            ReySeleccionado = QString::fromStdString(geometria::CasillaTexto(x, y));
            MarcarSeleccion(X, Y);
        } else {
            ReySeleccionado.clear();
            Shape->hide();
        }
        return;
    }
    if (casilla == 0 && !Shape->isHidden()) {
        int rx = 0, ry = 0;
        if (geometria::LeerCasilla(ReySeleccionado.toStdString(), rx, ry) && esRey(g.Casillas[rx][ry])) {
            casilla = g.Casillas[rx][ry];
            g.Casillas[rx][ry] = 0;
        }
        Shape->hide();
        ::SetTableroF().ImprimeFichas();
        return;
    }
    if (Button == controles::BotonIzquierdo && FichaPaleta != 0) {
        casilla = int(FichaPaleta);
        ::SetTableroF().ImprimeFichas();
        return;
    }
    if (Button == controles::BotonDerecho) {
        casilla = 0;
        ::SetTableroF().ImprimeFichas();
    }
}

void Tavorin::PicBuffer_DragOver(double X, double Y, int State) {
    auto& g = Reglas();
    const long s = AnchoCasilla;
    CopiarTablero(PicBuffer, BoardTemp[1]);
    const int ficha = g.FichaOrigen;
    if (rules::EsPieza(ficha)) {
        const QImage& m = RMascara[ficha];
        DibujarPieza(PicBuffer->Imagen(), std::lround(X - m.width() / 2.0), std::lround(Y - m.height() / 2.0), ficha);
    }
    PicBuffer->Refresh();
    if (int col = geometria::Columna(X, s)) g.XCasillaArrastre = col;
    if (int fila = geometria::Fila(Y, s)) g.YCasillaArrastre = fila;
    if (!PointClick() && !g.Origen.empty()) {
        const bool invertido = Invertido();
        const std::string casilla = geometria::CasillaTexto(geometria::Espejo(g.XCasillaArrastre, invertido),
                                                            geometria::Espejo(g.YCasillaArrastre, invertido));
        g.SoloComprobar = true;
        g.Destino = casilla;
        g.ValidarMovimiento();
        g.Destino.clear();
        g.SoloComprobar = false;
        if (arrastrando_) PicBuffer->setCursor(g.MovimientoValido || casilla == g.Origen ? DragMano : DragStop);
    }
    if (State == 1) {
        CopiarTablero(PicBuffer, BoardTemp[0]);
        DragDro_Drag(0);
        BorrarTemporales();
        MovimientoAnulado();
    }
}

void Tavorin::PicBuffer_DragDrop(double X, double Y) {
    const bool arrastre = arrastrando_;
    arrastrando_ = false;
    setMousePointer(mousePointer_);
    auto& g = Reglas();
    if (g.Turno == turno::Nadie || PointClick()) {
        // Nothing to play now: the lifted piece goes back.
        if (arrastre) {
            CopiarTablero(PicBuffer, BoardTemp[0]);
            BorrarTemporales();
            MovimientoAnulado();
        }
        return;
    }
    const long s = AnchoCasilla;
    g.XCasillaArrastre = g.YCasillaArrastre = 0;
    const int col = geometria::Columna(X, s), fila = geometria::Fila(Y, s);
    const bool invertido = Invertido();
    const int x = geometria::Espejo(col, invertido), y = geometria::Espejo(fila, invertido);
    g.XCasillaArrastre = x;
    g.YCasillaArrastre = y;
    const std::string casilla = geometria::CasillaTexto(x, y);
    if (g.Origen == casilla || col == 0 || fila == 0) {
        CopiarTablero(PicBuffer, BoardTemp[0]);
        BorrarTemporales();
        MovimientoAnulado();
        return;
    }
    if (g.Origen.empty()) return;
    g.Destino = casilla;
    entradaRaton_ = true;
    g.ValidarMovimiento();
    entradaRaton_ = false;
    if (!g.MovimientoValido) {
        CopiarTablero(PicBuffer, BoardTemp[0]);
        BorrarTemporales();
        MovimientoAnulado();
        return;
    }
    if (g.EnroqueEnCurso == 0) {
        CopiarTablero(PicBuffer, BoardTemp[1]);
        if (!g.CapturaAlPaso.empty()) SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
    }
    InvertirCoordenadas();
    ::RedibujarFichas();
    CompletarMovimiento(false);
    MovimientoAnulado();
}

void Tavorin::PicBuffer_MouseMove(int Button, int Shift, double X, double Y) {
    (void)Shift;
    auto& g = Reglas();
    if (PartidaDeFichero || !g.Destino.empty() || Button != 0 || ::SetTableroF().Visible()) return;
    const long s = AnchoCasilla;
    if (int col = geometria::Columna(X, s)) g.XCasillaArrastre = col;
    if (int fila = geometria::Fila(Y, s)) g.YCasillaArrastre = fila;
    const int col = g.XCasillaArrastre, fila = g.YCasillaArrastre;
    if (PointClick()) {
        setMousePointer(PiezaDelTurno(col, fila) ? 99 : 0);
        if (!g.Origen.empty()) {
            const bool invertido = Invertido();
            const std::string casilla =
                geometria::CasillaTexto(geometria::Espejo(col, invertido), geometria::Espejo(fila, invertido));
            g.SoloComprobar = true;
            g.Destino = casilla;
            g.ValidarMovimiento();
            g.Destino.clear();
            g.SoloComprobar = false;
            setMousePointer(g.MovimientoValido || casilla == g.Origen ? 99 : 12);
        }
    } else {
        setMousePointer(PiezaDelTurno(col, fila) ? 99 : 0);
    }
    g.XCasillaArrastre = g.YCasillaArrastre = 0;
}

void Tavorin::CompletarMovimiento(bool porClic) {
    auto& g = Reglas();
    ReproducirSonido(3);
    if (g.Conectado && Invertido()) {
        geometria::LeerCasilla(g.Origen, g.XOrigen, g.YOrigen);
        geometria::LeerCasilla(g.Destino, g.XDestino, g.YDestino);
    }
    if (g.Conectado) {
        g.Turno = turno::Nadie;
        EncolarMensaje(tvp::TextoMovimiento(
            {int(g.XOrigen), int(g.YOrigen), int(g.XDestino), int(g.YDestino), int(g.PiezaCoronacion)}));
    }
    if (!porClic && ArrastreCancelado) {
        ArrastreCancelado = false;
        g.MovimientoValido = false;
    }
    if (!g.Conectado) {
        const int siguiente = rules::EsBlanca(g.FichaOrigen) ? turno::Negras : turno::Blancas;
        if (!Motor1.Activo && !Motor2.Activo) {
            g.Turno = siguiente;
        } else if (Motor1.Activo != Motor2.Activo) {
            g.Turno = turno::Nadie;
            ::Cpu().GenerarMovimiento();
        } else if (porClic) {
            g.Turno = siguiente;
        }
    }
    if (g.JaqueMate) FinJaqueMate();
    if (g.Ahogado) FinAhogado();
}

void Tavorin::MostrarCoronacion() {
    auto& g = Reglas();
    const bool invertido = Invertido();
    CopiarTablero(PicBuffer, BoardTemp[0]);
    RedibujarFichas(geometria::Espejo(g.XOrigen, invertido), geometria::Espejo(g.YOrigen, invertido),
                    geometria::Espejo(g.XDestino, invertido), geometria::Espejo(g.YDestino, invertido), g.FichaOrigen);
    Shape->hide();
}

bool Tavorin::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != PicBuffer) return Forma::eventFilter(objeto, evento);
    using controles::BotonesRaton;
    using controles::Mayusculas;
    auto dentro = [this](const QPointF& p) {
        return p.x() >= 0 && p.y() >= 0 && p.x() < PicBuffer->width() && p.y() < PicBuffer->height();
    };
    switch (evento->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* e = static_cast<QMouseEvent*>(evento);
            if (!arrastrando_)
                PicBuffer_MouseDown(BotonesRaton(e->button()), Mayusculas(e->modifiers()), e->position().x(),
                                    e->position().y());
            return true;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(evento);
            const QPointF p = e->position();
            if (arrastrando_ && !(e->buttons() & Qt::LeftButton)) {
                // The button went up where the board did not see it: the drop is here.
                if (dentro(p))
                    PicBuffer_DragDrop(p.x(), p.y());
                else
                    PicBuffer_DragOver(p.x(), p.y(), 1);
            } else if (arrastrando_)
                PicBuffer_DragOver(p.x(), p.y(), dentro(p) ? 2 : 1);
            else
                PicBuffer_MouseMove(BotonesRaton(e->buttons()), Mayusculas(e->modifiers()), p.x(), p.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(evento);
            const QPointF p = e->position();
            if (arrastrando_ && e->button() == Qt::LeftButton) {
                if (dentro(p))
                    PicBuffer_DragDrop(p.x(), p.y());
                else
                    PicBuffer_DragOver(p.x(), p.y(), 1);
            }
            return true;
        }
        default: return Forma::eventFilter(objeto, evento);
    }
}

}  // namespace forms

void InvertirCoordenadas() {
    if (!::Mdi().TableroInvertido()) return;
    auto& g = Reglas();
    g.XOrigen = geometria::Espejo(g.XOrigen, true);
    g.YOrigen = geometria::Espejo(g.YOrigen, true);
    g.XDestino = geometria::Espejo(g.XDestino, true);
    g.YDestino = geometria::Espejo(g.YDestino, true);
}

void RedibujarFichas() {
    auto& g = Reglas();
    ::Tavorin().RedibujarFichas(g.XOrigen, g.YOrigen, g.XDestino, g.YDestino, g.FichaOrigen);
}

namespace forms {

void Tavorin::Timer1_Timer() {
    const QRect antes = Rectangulo(*this);
    const int lado = TamanoTablero();
    TamanoImagenes(lado);
    // Frames shown stay on their squares at the new size, also when the size came
    // with the options' OK; a re-layout at the same size leaves them where they are.
    if (lado != AltoCasilla) {
        Marco(0, 0, 0, 0);
        RepintarTablero = false;
    }
    if (TamanoCambiado) {
        RepintarTablero = false;
        TamanoCambiado = false;
    }
    Disponer();
    if (!Visible()) Show();
    AlAreaVisible();
    ApartarVentanas(antes);
    Timer1->stop();
}

void Tavorin::ApartarDelTablero(Forma& ventana) {
    if (&ventana == this || !ventana.Visible()) return;
    DisponerLaterales(&ventana, Rectangulo(*this));
}

void Tavorin::ApartarVentanas() { ApartarVentanas(Rectangulo(*this)); }

void Tavorin::ApartarVentanas(const QRect& tableroAntes) { DisponerLaterales(nullptr, tableroAntes); }

void Tavorin::DisponerLaterales(Forma* ultima, const QRect& tableroAntes) {
    QMdiArea* area = AreaMdi();
    if (!area || !Visible()) return;
    const QRect tablero = Rectangulo(*this);
    std::vector<Forma*> abiertas = LateralesAbiertas();
    // The window that opens makes room after the others.
    int abierta = -1;
    if (auto i = std::find(abiertas.begin(), abiertas.end(), ultima); i != abiertas.end()) {
        std::rotate(i, i + 1, abiertas.end());
        if (EsDeTarea(*ultima)) abierta = int(abiertas.size()) - 1;
    }
    std::vector<lugares::Lateral> ahora;
    for (Forma* f : abiertas) ahora.push_back({Rectangulo(*f), f->Marco()->isWindow()});
    lugares::Escena escena{tablero, VistaDelArea(*area, tablero), Holgura(*area->window()), PantallaLibre(*area)};
    lugares::Disposicion d = lugares::Disponer(escena, ahora, abierta, tableroAntes);
    // Windows laid out past the area's edge bring a scroll bar, which takes room from
    // the other edge: laid out again once for it.
    if (const QSize vista = VistaDelArea(*area, Contenido(tablero, d.lugares, ahora));
        d.crecimiento.isNull() && vista != escena.area) {
        escena.area = vista;
        d = lugares::Disponer(escena, ahora, abierta, tableroAntes);
    }
    if (!d.crecimiento.isNull()) Crecer(d.crecimiento);
    for (size_t i = 0; i < abiertas.size(); ++i) Llevar(*abiertas[i], d.lugares[i]);
}

void Tavorin::AlAreaVisible() {
    QWidget* marco = Forma::Marco();
    QMdiArea* area = AreaMdi();
    if (marco == this || !area) return;
    const QSize vista = area->viewport()->size();
    const QRect r = marco->geometry();
    if (QRect(QPoint(0, 0), vista).contains(r)) return;
    // As much of the board as the area shows, its top-left corner always.
    const int x = std::clamp(r.x(), 0, std::max(0, vista.width() - r.width()));
    const int y = std::clamp(r.y(), 0, std::max(0, vista.height() - r.height()));
    marco->move(x, y);
}

void Tavorin::OlvidarPartida() {
    OcultarMarcos();
    auto& g = Reglas();
    g.TipoPartida.clear();
    g.MiColor.clear();
}

bool Tavorin::Form_QueryUnload() { return true; }

}  // namespace forms

forms::Tavorin& Tavorin() {
    static forms::Tavorin* f = nullptr;
    return InstanciaForma(f);
}

void PintarBordeTablero() {
    auto& t = ::Tavorin();
    const int w = t.RCuadro[1].width();
    const int h = t.RCuadro[1].height();
    if (w <= 0 || h <= 0) return;
    QPainter p(&t.PicBuffer->Imagen());
    p.setPen(Qt::black);
    for (int x = w; x <= 7 * w; x += w) p.drawLine(0, x, 8 * h, x);
    for (int x = w; x <= 7 * w; x += w) p.drawLine(x, 0, x, 8 * h);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasVersion(idioma::Filas& f) {
    f.Especial(
        "Version", "Version",
        [](const QString& version) {
            if (version == kVersionPrograma) return;
            MostrarMensaje("Tavorin", "Versión del idioma incorrecto.", MB_ICONINFORMATION);
            ::Tavorin().SituarVentanas();
            Terminar(1);
        },
        [] { return QStringList{}; });
}

void FilasTablero(idioma::Filas& f) {
    f.Enlace("Tablero", "Titulo", {idioma::Leyenda([]() -> Forma& { return ::Tavorin(); })});
}

const idioma::Registro registroVersion(idioma::Tramo::Version, FilasVersion);
const idioma::Registro registroTablero(idioma::Tramo::Tablero, FilasTablero);
const pintura::Registro registroPintura(pintura::Orden::Tablero, {1, []() -> Forma& { return ::Tavorin(); }});

}  // namespace
