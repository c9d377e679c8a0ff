#include "shell/Mdi.h"

#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/ColorRgb.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/Escritorio.h"
#include "platform/Forma.h"
#include "platform/PictureBox.h"
#include "shell/MSatusBar.h"
#include "shell/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// Picture files of the image list, pictures 1 to 26.
const char* const kImagenes[27] = {
    "",
    "abrir",        "guardar",       "guardar-chat", "guardar-imagen", "salir",         "direccion-ip",
    "conectar",     "desconectar",   "nueva-partida", "colores",       "opciones",      "girar-tablero",
    "ayuda",        "rendirse",      "tablas",        "acerca",        "reloj",         "fecha",
    "borrar",       "copiar",        "nick",          "preparar",      "actualizar",    "conectado",
    "desconectado", "retroceder"};

QPixmap CargarImagenLista(int n) {
    QPixmap p(QString(":/builtin/iconos/") + kImagenes[n] + ".png");
    if (p.isNull()) {
        // The strip keeps picture n at x = 16 (n - 1) on the mask colour.
        QImage tira(":/builtin/imagelist1.png");
        if (!tira.isNull()) {
            QImage img = tira.copy(16 * (n - 1), 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixelColor(x, y) == QColor(255, 0, 255)) img.setPixelColor(x, y, Qt::transparent);
            p = QPixmap::fromImage(img);
        }
    }
    if (p.isNull()) {
        p = QPixmap(16, 16);
        p.fill(Qt::transparent);
    }
    return p;
}

QString Numero(double v) { return QString::number(v, 'g', 10); }

// The height of a title bar, in pixels: what of a window must stay on the screen.
constexpr int kAltoTitulo = 30;

// The help page, beside the program.
const char* const kPaginaAyuda = "Tavorin.html";
}  // namespace

namespace forms {

Mdi::Mdi() {
    setObjectName("Mdi");
    Area = new QMdiArea;
    Area->setObjectName("Area");
    // A child window larger than the area, or placed past it, is reached by scrolling.
    Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StatusBar = new PictureBox(nullptr, "StatusBar");
    StatusBar->setFixedHeight(24);
    StatusBar->setBackColor(palette().color(QPalette::Window));
    auto* central = new QWidget;
    auto* capas = new QVBoxLayout(central);
    capas->setContentsMargins(0, 0, 0, 0);
    capas->setSpacing(0);
    capas->addWidget(Area, 1);
    capas->addWidget(StatusBar);
    setCentralWidget(central);
    CrearMenus();
    CrearToolbar();
    TStatus = new QTimer(this);
    TStatus->setInterval(10000);
    connect(TStatus, &QTimer::timeout, this, [] { PaintStatusBar(); });
    TStatus->start();
    setAcceptDrops(true);
    resize(800, 600);
    connect(Area, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (Forma* f = FormaMostrada(sub)) f->Activar();
    });
    // What the area shows changed size (the window was placed, resized, restored, or
    // a scroll bar came or went): the side windows are brought back into view, once
    // the events of the change have passed.
    Reacomodo = new QTimer(this);
    Reacomodo->setSingleShot(true);
    Reacomodo->setInterval(0);
    connect(Reacomodo, &QTimer::timeout, this, [this] {
        if (VentanasSituadas && WindowState() != 1 && !Area->viewport()->size().isEmpty()) ::Tavorin().ApartarVentanas();
    });
    Area->viewport()->installEventFilter(this);
}

bool Mdi::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Area->viewport() && evento->type() == QEvent::Resize) Reacomodo->start();
    return QMainWindow::eventFilter(objeto, evento);
}

Forma* Mdi::FormaMostrada(QMdiSubWindow* sub) {
    auto* f = sub ? qobject_cast<Forma*>(sub->widget()) : nullptr;
    return f && f->Visible() ? f : nullptr;
}

bool Mdi::event(QEvent* evento) {
    // Back in the main window: its active child window is the active form again. The
    // area keeps a child that was hidden or closed as its active one: that window stays
    // as it was left, it is not activated again.
    if (evento->type() == QEvent::WindowActivate)
        if (Forma* f = FormaMostrada(Area->activeSubWindow())) f->Activar();
    return QMainWindow::event(evento);
}

void Mdi::CrearMenus() {
    QMenuBar* barra = menuBar();
    auto item = [this](QMenu* menu, QAction*& accion, const char* nombre, std::function<void()> manejador,
                       bool marcable = false) {
        accion = menu->addAction(QString());
        accion->setObjectName(nombre);
        accion->setCheckable(marcable);
        if (!manejador) return;
        manejadores_[accion] = std::move(manejador);
        connect(accion, &QAction::triggered, this, [this, accion, marcable] {
            // The handlers set the check marks themselves.
            if (marcable) accion->setChecked(!accion->isChecked());
            Ejecutar(accion);
        });
    };
    auto cabeza = [barra](QMenu*& menu, const char* nombre) {
        menu = barra->addMenu(QString());
        menu->setObjectName(nombre);
        menu->menuAction()->setObjectName(nombre);
    };

    cabeza(mnuArchivos, "mnuArchivos");
    item(mnuArchivos, mnuAbrirPartida, "mnuAbrirPartida", [this] { mnuAbrirPartida_Click(); });
    mnuArchivos->addSeparator();
    item(mnuArchivos, mnuGuardarPartida, "mnuGuardarPartida", [this] { mnuGuardarPartida_Click(); });
    item(mnuArchivos, mnuGuararChat, "mnuGuararChat", [this] { mnuGuararChat_Click(); });
    item(mnuArchivos, mnuGuararImagen, "mnuGuararImagen", [this] { mnuGuararImagen_Click(); });
    mnuArchivos->addSeparator();
    item(mnuArchivos, mnuSalir, "mnuSalir", [this] { mnuSalir_Click(); });

    cabeza(mnuConectar, "mnuConectar");
    item(mnuConectar, mnuObtenerIp, "mnuObtenerIp", [this] { mnuObtenerIp_Click(); });
    mnuConectar->addSeparator();
    item(mnuConectar, mnuEstablecerconexion, "mnuEstablecerconexion", [this] { mnuEstablecerconexion_Click(); });
    mnuConectar->addSeparator();
    item(mnuConectar, mnuDesconectar, "mnuDesconectar", [this] { mnuDesconectar_Click(); });

    cabeza(mnuPartida, "mnuPartida");
    item(mnuPartida, mnuNuevaPartida, "mnuNuevaPartida", [this] { mnuNuevaPartida_Click(); });
    mnuPartida->addSeparator();
    item(mnuPartida, mnuRendirse, "mnuRendirse", [this] { mnuRendirse_Click(); });
    item(mnuPartida, mnuOfrecerTablas, "mnuOfrecerTablas", [this] { mnuOfrecerTablas_Click(); });
    item(mnuPartida, mnuRetroceder, "mnuRetroceder", [this] { mnuRetroceder_Click(); });
    mnuPartida->addSeparator();
    item(mnuPartida, mnuSetTablero, "mnuSetTablero", [this] { mnuSetTablero_Click(); });

    cabeza(mnuVer, "mnuVer");
    item(mnuVer, mnuMovimientos, "mnuMovimientos", [this] { mnuMovimientos_Click(); }, true);
    item(mnuVer, mnuVentanaChat, "mnuVentanaChat", [this] { mnuVentanaChat_Click(); }, true);
    item(mnuVer, mnuReloj, "mnuReloj", [this] { mnuReloj_Click(); }, true);
    item(mnuVer, mnuMostrarRanking, "mnuMostrarRanking", [this] { mnuMostrarRanking_Click(); }, true);
    mnuVer->addSeparator();
    item(mnuVer, mnuInvertirTablero, "mnuInvertirTablero", [this] { mnuInvertirTablero_Click(); }, true);
    item(mnuVer, mnuSonido, "mnuSonido", [this] { mnuSonido_Click(); }, true);
    item(mnuVer, mnuPointClick, "mnuPointClick", [this] { mnuPointClick_Click(); }, true);
    mnuVer->addSeparator();
    item(mnuVer, mnuRgb, "mnuRgb", [this] { mnuRgb_Click(); });
    mnuVer->addSeparator();
    item(mnuVer, mnuOpciones, "mnuOpciones", [this] { mnuOpciones_Click(); });

    cabeza(mnuAyuda, "mnuAyuda");
    item(mnuAyuda, mnuTemaAyuda, "mnuTemaAyuda", [this] { mnuTemaAyuda_Click(); });
    mnuAyuda->addSeparator();
    item(mnuAyuda, mnuActualizar, "mnuActualizar", [this] { mnuActualizar_Click(); });
    mnuAyuda->addSeparator();
    item(mnuAyuda, mnuAcerca, "mnuAcerca", [this] { mnuAcerca_Click(); });

    // The two pop-up menus live on the menu bar, hidden.
    cabeza(mnuChatList, "mnuChatList");
    item(mnuChatList, mnuCambiarNick, "mnuCambiarNick", [this] { mnuCambiarNick_Click(); });
    mnuChatList->addSeparator();
    item(mnuChatList, mnuCopiar, "mnuCopiar", [this] { mnuCopiar_Click(); });
    mnuChatList->addSeparator();
    item(mnuChatList, mnuChatListBorrar, "mnuChatListBorrar", [this] { mnuChatListBorrar_Click(); });
    mnuChatList->addSeparator();
    item(mnuChatList, mnuChatListGuardar, "mnuChatListGuardar", [this] { mnuChatListGuardar_Click(); });
    mnuChatList->menuAction()->setVisible(false);

    cabeza(mnuJugadas, "mnuJugadas");
    item(mnuJugadas, mnuCopiarJugadas, "mnuCopiarJugadas", [this] { mnuCopiarJugadas_Click(); });
    mnuJugadas->addSeparator();
    item(mnuJugadas, mnuGuardarComo, "mnuGuardarComo", [this] { mnuGuardarComo_Click(); });
    mnuJugadas->addSeparator();
    mnuNotacion = mnuJugadas->addMenu(QString());
    mnuNotacion->setObjectName("mnuNotacion");
    mnuAlgebraico = mnuNotacion->addMenu(QString());
    mnuAlgebraico->setObjectName("mnuAlgebraico");
    item(mnuAlgebraico, mnuAlgebraicoEsp, "mnuAlgebraicoEsp", [this] { mnuAlgebraicoEsp_Click(); }, true);
    item(mnuAlgebraico, mnuAlgebraicoIng, "mnuAlgebraicoIng", [this] { mnuAlgebraicoIng_Click(); }, true);
    item(mnuAlgebraico, mnuAlgebraicoUsuario[0], "mnuAlgebraicoUsuario", [this] { mnuAlgebraicoUsuario_Click(0); },
         true);
    mnuAlgebraicoUsuario[0]->setVisible(false);
    item(mnuNotacion, mnuCordenadas, "mnuCordenadas", [this] { mnuCordenadas_Click(); }, true);
    mnuJugadas->menuAction()->setVisible(false);
}

void Mdi::CrearToolbar() {
    Toolbar1Barra = addToolBar(QString());
    Toolbar1Barra->setObjectName("Toolbar1");
    Toolbar1Barra->setMovable(false);
    Toolbar1Barra->setIconSize(QSize(16, 16));
    static const int separadores[] = {2, 6, 10, 15, 17, 21, 24, 26};
    for (int i = 1; i <= 27; ++i) {
        bool separador = std::find(std::begin(separadores), std::end(separadores), i) != std::end(separadores);
        if (separador) {
            Toolbar1[i] = Toolbar1Barra->addSeparator();
            continue;
        }
        Toolbar1[i] = Toolbar1Barra->addAction(QString());
        Toolbar1[i]->setObjectName(QString("Toolbar1_%1").arg(i));
        connect(Toolbar1[i], &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i); });
    }
}

void Mdi::CargarImagenes() {
    for (int n = 1; n <= 26; ++n) ImageList1[n] = CargarImagenLista(n);
    const std::pair<QAction*, int> menus[] = {
        {mnuAbrirPartida, 1},   {mnuGuardarPartida, 2},  {mnuGuararChat, 3},     {mnuGuararImagen, 4},
        {mnuSalir, 5},          {mnuObtenerIp, 6},       {mnuEstablecerconexion, 7}, {mnuDesconectar, 8},
        {mnuNuevaPartida, 9},   {mnuRendirse, 14},       {mnuActualizar, 23},    {mnuOfrecerTablas, 15},
        {mnuRgb, 10},           {mnuOpciones, 11},       {mnuTemaAyuda, 13},     {mnuAcerca, 16},
        {mnuCambiarNick, 21},   {mnuCopiar, 20},         {mnuChatListBorrar, 19}, {mnuCopiarJugadas, 20},
        {mnuSetTablero, 22},    {mnuRetroceder, 26}};
    for (const auto& [accion, n] : menus) accion->setIcon(QIcon(ImageList1[n]));
    const std::pair<int, int> botones[] = {{1, 1},   {3, 2},   {4, 3},   {5, 4},   {7, 6},   {8, 7},   {9, 8},
                                           {11, 9},  {12, 14}, {13, 15}, {14, 26}, {16, 22}, {18, 10}, {19, 11},
                                           {20, 12}, {22, 13}, {23, 16}, {25, 23}, {27, 5}};
    for (const auto& [boton, n] : botones) Toolbar1[boton]->setIcon(QIcon(ImageList1[n]));
    QIcon icono;
    for (int lado : {16, 24, 32, 48, 64, 128, 256}) icono.addFile(QString(":/builtin/tavorin-%1.png").arg(lado));
    setWindowIcon(icono);
}

void Mdi::MDIForm_Load() {
    if (cargada_) return;
    cargada_ = true;
    CargarImagenes();
    setCaption(QString("Tavorin") + " Versión " + "1.55");
}

// ---- Placement ------------------------------------------------------------------

QMargins Mdi::Borde() const {
    const QRect f = frameGeometry(), g = geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

lugares::Lugar Mdi::Lugar() const { return colocacion_.Leer(geometry(), Borde()); }

void Mdi::Situar(const lugares::Lugar& lugar) {
    const auto g = colocacion_.Aplicar(lugar, Borde());
    move(g.marco);
    resize(g.cliente);
    if (isVisible()) VigilarBorde();
}

void Mdi::SituarDesdeIni() {
    const lugares::Lugar guardado{lugares::Leer(FicheroIni, "Mdi", "Left"), lugares::Leer(FicheroIni, "Mdi", "Top"),
                                  lugares::Leer(FicheroIni, "Mdi", "Width"), lugares::Leer(FicheroIni, "Mdi", "Height")};
    std::vector<QRect> pantallas;
    for (QScreen* p : QGuiApplication::screens()) pantallas.push_back(p->availableGeometry());
    Situar(lugares::Ajustar(guardado, pantallas, {QSize(7800 / TwipsPorPixel, 1500 / TwipsPorPixel), kAltoTitulo}));
}

void Mdi::CorregirBorde() {
    if (WindowState() != 0 || !isVisible()) return;
    if (auto g = colocacion_.Corregir(geometry(), Borde())) {
        move(g->marco);
        resize(g->cliente);
    }
}

void Mdi::VigilarBorde() {
    for (int ms : {0, 100, 500, 1500}) QTimer::singleShot(ms, this, [this] { CorregirBorde(); });
}

double Mdi::Left() const { return Lugar().left; }
double Mdi::Top() const { return Lugar().top; }
double Mdi::Width() const { return Lugar().width; }
double Mdi::Height() const { return Lugar().height; }
double Mdi::ScaleHeight() const { return double(Area->height()) * TwipsPorPixel; }

void Mdi::CambiarLugar(double lugares::Lugar::*campo, double twips) {
    auto l = Lugar();
    l.*campo = twips;
    Situar(l);
}

void Mdi::setLeft(double twips) { CambiarLugar(&lugares::Lugar::left, twips); }
void Mdi::setTop(double twips) { CambiarLugar(&lugares::Lugar::top, twips); }
void Mdi::setWidth(double twips) { CambiarLugar(&lugares::Lugar::width, twips); }
void Mdi::setHeight(double twips) { CambiarLugar(&lugares::Lugar::height, twips); }

void Mdi::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    VigilarBorde();
}

void Mdi::moveEvent(QMoveEvent* evento) {
    QMainWindow::moveEvent(evento);
    CorregirBorde();
}

int Mdi::WindowState() const {
    if (windowState() & Qt::WindowMinimized) return 1;
    if (windowState() & Qt::WindowMaximized) return 2;
    return 0;
}

void Mdi::setWindowState(int estado) {
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (estado == 1) s |= Qt::WindowMinimized;
    if (estado == 2) s |= Qt::WindowMaximized;
    QMainWindow::setWindowState(s);
}

void Mdi::Show() {
    show();
    raise();
    activateWindow();
}

void Mdi::resizeEvent(QResizeEvent* evento) {
    QMainWindow::resizeEvent(evento);
    MDIForm_Resize();
    CorregirBorde();
}

void Mdi::changeEvent(QEvent* evento) {
    QMainWindow::changeEvent(evento);
    if (evento->type() == QEvent::WindowStateChange) MDIForm_Resize();
}

void Mdi::MDIForm_Resize() {
    if (WindowState() != 1) {
        if (height() < 1500 / TwipsPorPixel && WindowState() == 0) resize(width(), 1500 / TwipsPorPixel);
        if (width() < 7800 / TwipsPorPixel && WindowState() == 0) resize(7800 / TwipsPorPixel, height());
    }
    if (WindowState() == 2 && !maximizada_) {
        maximizada_ = true;
        return;
    }
    if (WindowState() == 0 && maximizada_) {
        maximizada_ = false;
        SituarMdi();
    }
    if (StatusBar && isVisible()) PaintStatusBar();
}

// ---- Files dropped on the window ------------------------------------------------

void Mdi::dragEnterEvent(QDragEnterEvent* evento) {
    if (evento->mimeData()->hasUrls()) evento->acceptProposedAction();
}

void Mdi::dropEvent(QDropEvent* evento) {
    const auto urls = evento->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    FileDrop(urls.front().toLocalFile());
}

void Mdi::FileDrop(const QString& nombre) {
    QString ruta = nombre;
    if (ruta.contains(u'~')) ruta = RutaLarga(ruta);
    const QString tipo = ExtensionDe(ruta);
    if (tipo == "tvp" || tipo == "epd" || tipo == "pgn") AbrirFichero(ruta);
}

// ---- Menus ----------------------------------------------------------------------

void Mdi::mnuSalir_Click() { Unload(); }

void Mdi::mnuSonido_Click() {
    mnuSonido->setChecked(!mnuSonido->isChecked());
    EscribirIni(FicheroIni, "Configuracion", "Sonido", mnuSonido->isChecked() ? "1" : "0");
}

void Mdi::mnuPointClick_Click() {
    if (::ListaPgn().Visible()) return;
    mnuPointClick->setChecked(!mnuPointClick->isChecked());
    EscribirIni(FicheroIni, "Configuracion", "PointClick", mnuPointClick->isChecked() ? "1" : "0");
    // A move begun in the other input mode is given up.
    auto& t = ::Tavorin();
    t.MovimientoAnulado();
    t.OcultarMarcador();
    t.Instantanea(1);
}

void Mdi::mnuInvertirTablero_Click() {
    auto& g = Reglas();
    auto& t = ::Tavorin();
    if (!g.CasillasAtacantes.empty()) {
        g.Destino.clear();
        t.OcultarMarcador();
    }
    if (ModoPreparar || PartidaDeFichero) return;
    RepintarFichas = true;
    t.PaintTablero();
    const bool aNegras = !mnuInvertirTablero->isChecked();
    t.RotularBordes(aNegras);
    for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
            if (g.Casillas[x][y] == 0) continue;
            g.FichaOrigen = g.Casillas[x][y];
            RepintarTablero = true;
            t.IdibujoFicha(x, y);
        }
    }
    g.FichaOrigen = 0;
    g.XDestino = 0;
    g.YDestino = 0;
    RepintarFichas = false;
    mnuInvertirTablero->setChecked(aNegras);
    t.Marco(0, 0, 0, 0);
    RepintarTablero = false;
}

void Mdi::mnuRgb_Click() {
    if (::ListaPgn().Visible()) return;
    CentrarVentana(::ColorRgb());
    ::ColorRgb().Show();
}

void Mdi::mnuOpciones_Click() {
    if (::ListaPgn().Visible() || PartidaDeFichero) {
        MostrarMensaje("Tavorin", "80", MB_ICONINFORMATION);
        return;
    }
    auto& o = ::Opciones();
    if (!o.Visible()) {
        CentrarVentana(o);
        o.RefrescarSkins();
        o.Show();
    } else {
        o.Show();
    }
}

void Mdi::mnuTemaAyuda_Click() {
    QString ayuda = RutaApp;
    if (!ayuda.endsWith(u'/')) ayuda += u'/';
    ayuda += kPaginaAyuda;
    // Text 63 names what was not found at its "$"; any other failure follows the
    // text before the "$".
    auto avisar = [](const QString& falta, const QString& motivo) {
        const QString& texto = TextosIdioma[63];
        const QString mensaje = falta.isEmpty() ? PartirEnDolar(texto).first + motivo : CambiarDolar(texto, falta);
        MostrarMensaje("Tavorin", mensaje, MB_ICONINFORMATION);
    };
    if (!QFileInfo(ayuda).isFile()) {
        avisar(kPaginaAyuda, {});
        return;
    }
    escritorio::Abrir(ayuda, [avisar](const escritorio::Fallo& f) {
        avisar(f.sinAbridor ? "xdg-open" : QString(), f.motivo);
    });
}

void Mdi::mnuAcerca_Click() {
    CentrarVentana(::Splash());
    ::Splash().Show();
}

void Mdi::AlternarVentana(QAction* item, Forma& ventana, const char* clave) {
    if (::ListaPgn().Visible()) return;
    if (!item->isChecked()) {
        ventana.Show();
        item->setChecked(true);
        EscribirIni(FicheroIni, "Configuracion", clave, "1");
    } else {
        ventana.Unload();
        item->setChecked(false);
        EscribirIni(FicheroIni, "Configuracion", clave, "0");
    }
}

void Mdi::mnuMovimientos_Click() { AlternarVentana(mnuMovimientos, ::Jugadas(), "Jugadas"); }
void Mdi::mnuVentanaChat_Click() { AlternarVentana(mnuVentanaChat, ::Chat(), "Chat"); }
void Mdi::mnuReloj_Click() { AlternarVentana(mnuReloj, ::Reloj(), "Reloj"); }
void Mdi::mnuMostrarRanking_Click() { AlternarVentana(mnuMostrarRanking, ::Ranking(), "Elo"); }

void Mdi::ElegirNotacion(QAction* item) {
    for (QAction* a : {mnuAlgebraicoEsp, mnuAlgebraicoIng, mnuAlgebraicoUsuario[0], mnuCordenadas})
        a->setChecked(a == item);
    const char* valor = item == mnuAlgebraicoEsp ? "1" : item == mnuAlgebraicoIng ? "2" : item == mnuCordenadas ? "3" : "4";
    EscribirIni(FicheroIni, "Configuracion", "Check", valor);
    MostrarNotacion();
}

void Mdi::mnuAlgebraicoEsp_Click() { ElegirNotacion(mnuAlgebraicoEsp); }
void Mdi::mnuAlgebraicoIng_Click() { ElegirNotacion(mnuAlgebraicoIng); }
void Mdi::mnuAlgebraicoUsuario_Click(int indice) { ElegirNotacion(mnuAlgebraicoUsuario[indice]); }
void Mdi::mnuCordenadas_Click() { ElegirNotacion(mnuCordenadas); }

void Mdi::mnuChatListBorrar_Click() { ::Chat().Borrar(); }

bool Mdi::TableroInvertido() const { return mnuInvertirTablero->isChecked(); }
void Mdi::FijarTableroInvertido(bool invertido) { mnuInvertirTablero->setChecked(invertido); }
bool Mdi::PointClick() const { return mnuPointClick->isChecked(); }
bool Mdi::ConSonido() const { return mnuSonido->isChecked(); }
void Mdi::FijarSonido(bool sonido) { mnuSonido->setChecked(sonido); }

namespace {
QAction* ItemDe(const Mdi& m, Mdi::Lateral ventana) {
    switch (ventana) {
        case Mdi::Lateral::Jugadas: return m.mnuMovimientos;
        case Mdi::Lateral::Chat: return m.mnuVentanaChat;
        case Mdi::Lateral::Reloj: return m.mnuReloj;
        case Mdi::Lateral::Ranking: return m.mnuMostrarRanking;
    }
    return nullptr;
}
}  // namespace

bool Mdi::Muestra(Lateral ventana) const { return ItemDe(*this, ventana)->isChecked(); }
void Mdi::FijarMuestra(Lateral ventana, bool muestra) { ItemDe(*this, ventana)->setChecked(muestra); }

bool Mdi::NotacionMarcada(int caja) const {
    switch (caja) {
        case 1: return mnuCordenadas->isChecked();
        case 2: return mnuAlgebraicoEsp->isChecked();
        case 3: return mnuAlgebraicoIng->isChecked();
        case 5: return mnuAlgebraicoUsuario[0]->isChecked();
        default: return false;
    }
}

void Mdi::PintarBarraEstado() { DibujarBarraEstado(StatusBar, ImageList1); }

void Mdi::MenuDeJugadas() { MenuContextual(mnuJugadas); }
void Mdi::MenuDeChat(const QPoint& donde) { mnuChatList->popup(donde); }

void Mdi::mnuCopiarJugadas_Click() { ::Jugadas().CopiarNotacion(); }

void Mdi::mnuCopiar_Click() { ::Chat().Copiar(); }

void Mdi::mnuNuevaPartida_Click() {
    if (::ListaPgn().Visible() || ::Nuevo().Visible() || ModoPreparar) return;
    if (!FicheroPendiente.isEmpty() || NuevoPendiente || RetrocesoPendiente) {
        MostrarMensaje("Tavorin", "81", MB_ICONINFORMATION);
        return;
    }
    if (PartidaDeFichero) {
        MostrarMensaje("Tavorin", "80", MB_ICONINFORMATION);
        return;
    }
    auto& g = Reglas();
    if (g.Conectado) {
        if (!g.TipoPartida.empty() &&
            MostrarMensaje("Tavorin", "12", MB_ICONINFORMATION, MB_YESNO, MB_DEFBUTTON2) != IDYES)
            return;
        CentrarVentana(::Nuevo());
        ::Nuevo().Show();
        return;
    }
    auto& cpu = ::Cpu();
    if (cpu.Visible()) return;
    if (g.Turno != 0) ReiniciarPartida();
    if (!g.TipoPartida.empty()) ReiniciarPartida();
    ::Tavorin().OcultarVentanas();
    mnuMovimientos_Click();
    cpu.Show();
    cpu.VariableCPUCero();
    cpu.ActualizarCPU();
}

void Mdi::Player2() {
    MinutosBlancas = SegundosBlancas = MinutosNegras = SegundosNegras = 0;
    ::Reloj().PrintTimerB();
    ::Reloj().PrintTimerN();
    PosicionPreparada = false;
    auto& t = ::Tavorin();
    t.OcultarMarcos();
    auto& g = Reglas();
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = 0;
    ::Nuevo().NuevoAceptado();
    t.Instantanea(0);
}

void Mdi::Ejecutar(QAction* item) {
    auto i = manejadores_.find(item);
    if (i != manejadores_.end()) i->second();
}

QAction* Mdi::AccionDeBoton(int indice) const {
    switch (indice) {
        case 1: return mnuAbrirPartida;
        case 3: return mnuGuardarPartida;
        case 4: return mnuGuararChat;
        case 5: return mnuGuararImagen;
        case 7: return mnuObtenerIp;
        case 8: return mnuEstablecerconexion;
        case 9: return mnuDesconectar;
        case 11: return mnuNuevaPartida;
        case 12: return mnuRendirse;
        case 13: return mnuOfrecerTablas;
        case 14: return mnuRetroceder;
        case 16: return mnuSetTablero;
        case 18: return mnuRgb;
        case 19: return mnuOpciones;
        case 20: return mnuInvertirTablero;
        case 22: return mnuTemaAyuda;
        case 23: return mnuAcerca;
        case 25: return mnuActualizar;
        default: return nullptr;  // separators; 27 unloads the window itself
    }
}

void Mdi::Toolbar1_ButtonClick(int indice) {
    if (indice == 27) {
        Unload();
        return;
    }
    if (QAction* item = AccionDeBoton(indice)) Ejecutar(item);
}

// ---- Exit sequence --------------------------------------------------------------

void Mdi::closeEvent(QCloseEvent* evento) {
    evento->ignore();
    Unload();
}

void Mdi::Unload() { MDIForm_QueryUnload(); }

bool Mdi::MDIForm_QueryUnload() {
    auto& cpu = ::Cpu();
    if (cpu.Visible()) {
        cpu.cmdTerminar1();
        cpu.cmdTerminar2();
        cpu.VariableCPUCero();
        Reglas().Turno = 0;
        Reglas().TipoPartida.clear();
    }
    cpu.DescargarDLL();
    if (::Conexion().EnEspera()) CerrarConexionesPendientes();
    if (::Opciones().Visible()) ::Opciones().OpcionesAceptar();
    if (Reglas().Conectado) mnuDesconectar_Click();
    if (Reglas().Conectado) {
        SalirPendiente = true;
        return true;
    }

    // A start-up that ends before the windows were placed has nothing of its own to store.
    if (!VentanasSituadas) Terminar(0);
    if (AjustesEscribibles()) {
        auto escribir = [](const char* seccion, const char* clave, const QString& valor) {
            EscribirIni(FicheroIni, seccion, clave, valor);
        };
        auto posicion = [&](const char* seccion, Forma& f, bool tamano) {
            escribir(seccion, "Top", Numero(f.Top()));
            escribir(seccion, "Left", Numero(f.Left()));
            if (tamano) {
                escribir(seccion, "Width", Numero(f.Width()));
                escribir(seccion, "Height", Numero(f.Height()));
            }
        };
        int estado = WindowState();
        if (estado != 1) escribir("Mdi", "Windows", QString::number(estado));
        if (estado == 0) {
            escribir("Mdi", "Top", Numero(Top()));
            escribir("Mdi", "Left", Numero(Left()));
            escribir("Mdi", "Width", Numero(Width()));
            escribir("Mdi", "Height", Numero(Height()));
        }
        posicion("Tablero", ::Tavorin(), false);
        posicion("Chat", ::Chat(), true);
        posicion("Jugadas", ::Jugadas(), true);
        posicion("Reloj", ::Reloj(), false);
        posicion("Ranking", ::Ranking(), false);
        escribir("Pgn", "TopInformacion", Numero(::ListaPgn().Top()));
        escribir("Pgn", "LeftInformacion", Numero(::ListaPgn().Left()));
        escribir("Pgn", "TopJugadas", Numero(::PgnMovimientos().Top()));
        escribir("Pgn", "LeftJugadas", Numero(::PgnMovimientos().Left()));
        escribir("Configuracion", "Nick", NickLocal);
        posicion("CPU", ::Cpu(), false);
        auto& nivel = ::FormLevel2();
        using Campo = forms::FormLevel2::Campo;
        escribir("CPU", "St", nivel.Valor(Campo::Segundos));
        escribir("CPU", "Sd", nivel.Valor(Campo::Profundidad));
        escribir("CPU", "Tiempo", nivel.Valor(Campo::Minutos));
        escribir("CPU", "Jugadas", nivel.Valor(Campo::Jugadas));
        if (int i = nivel.OpcionElegida(); i >= 0) escribir("CPU", "Option", QString::number(i));
        posicion("EPD", ::fEpd(), false);
        if (controles::Val(::Nuevo().Minutos()) < 1)
            ::Nuevo().FijarMinutos(LeerIni(FicheroIni, "Configuracion", "Tiempo"));
        escribir("Configuracion", "Tiempo", ::Nuevo().Minutos());
        escribir("Configuracion", "Dir", DirectorioFicheros);
        escribir("Configuracion", "Tipo", TipoFichero);
        escribir("Configuracion", "AutoPlay", ::ListaPgn().TextoAutoPlay());
        auto& o = ::Opciones();
        escribir("Configuracion", "Check1", o.MarcarJugada() ? "1" : "0");
        escribir("Configuracion", "Check2", o.Coordenadas() ? "1" : "0");
        escribir("Configuracion", "Check3", o.Borde() ? "1" : "0");
        if (!::ListaPgn().Visible() && !::Cpu().Visible()) {
            escribir("Configuracion", "Jugadas", mnuMovimientos->isChecked() ? "1" : "0");
            escribir("Configuracion", "Chat", mnuVentanaChat->isChecked() ? "1" : "0");
            escribir("Configuracion", "Reloj", mnuReloj->isChecked() ? "1" : "0");
            escribir("Configuracion", "Elo", mnuMostrarRanking->isChecked() ? "1" : "0");
            escribir("Configuracion", "Sonido", mnuSonido->isChecked() ? "1" : "0");
            escribir("Configuracion", "PointClick", mnuPointClick->isChecked() ? "1" : "0");
        }
        if (mnuAlgebraicoEsp->isChecked()) escribir("Configuracion", "Check", "1");
        if (mnuAlgebraicoIng->isChecked()) escribir("Configuracion", "Check", "2");
        if (mnuCordenadas->isChecked()) escribir("Configuracion", "Check", "3");
        if (mnuAlgebraicoUsuario[0]->isChecked()) escribir("Configuracion", "Check", "4");
    }
    ::Ranking().GrabarPuntuacion();
    Terminar(0);
}

}  // namespace forms

forms::Mdi& Mdi() {
    static forms::Mdi* f = nullptr;
    if (!f) {
        f = new forms::Mdi;
        f->MDIForm_Load();
    }
    return *f;
}

namespace {
// Every form finds the main window through the forms runtime.
[[maybe_unused]] const bool kPrincipalRegistrada =
    (Forma::FijarPrincipal([] { return ::Mdi().Area; }, []() -> QWidget* { return &::Mdi(); }), true);
}  // namespace
