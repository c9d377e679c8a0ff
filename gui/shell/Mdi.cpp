#include "shell/Mdi.h"

#include "app/Ajustes.h"
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
#include "rules/textos.h"
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
    "",         "abrir",       "guardar",       "guardar-chat", "guardar-imagen", "salir",         "direccion-ip",
    "conectar", "desconectar", "nueva-partida", "colores",      "opciones",       "girar-tablero", "ayuda",
    "rendirse", "tablas",      "acerca",        "reloj",        "fecha",          "borrar",        "copiar",
    "nick",     "preparar",    "actualizar",    "conectado",    "desconectado",   "retroceder"};

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

// The main window's state and place, the view menu's checks and the notation kept in
// Default.ini.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    using enum ajustes::Clave;
    using ajustes::Enlace;
    ajustes::Enlazar(MdiWindows, {{}, [] {
                                      const auto estado = ::Mdi().WindowState();
                                      if (estado == forms::Mdi::EstadoVentana::Minimizada)
                                          return std::optional<QString>();
                                      return std::optional(QString::number(int(estado)));
                                  }});
    // The place only of a window that is neither maximised nor minimised.
    auto lugar = [](double (forms::Mdi::*medida)() const) {
        return Enlace{{}, [medida]() -> std::optional<QString> {
                          auto& m = ::Mdi();
                          if (m.WindowState() != forms::Mdi::EstadoVentana::Normal) return std::nullopt;
                          return ajustes::Numero((m.*medida)());
                      }};
    };
    ajustes::Enlazar(MdiTop, lugar(&forms::Mdi::Top));
    ajustes::Enlazar(MdiLeft, lugar(&forms::Mdi::Left));
    ajustes::Enlazar(MdiWidth, lugar(&forms::Mdi::Width));
    ajustes::Enlazar(MdiHeight, lugar(&forms::Mdi::Height));

    // A 0/1 key into a menu check (any other value leaves the check alone); stored at
    // exit only while neither the PGN browser nor an engine game has the windows.
    auto marca = [](QAction* forms::Mdi::*item) {
        return Enlace{[item](const QString& texto) {
                          auto v = controles::AEntero(texto);
                          if (!v) return;
                          if (*v == 0) (::Mdi().*item)->setChecked(false);
                          if (*v == 1) (::Mdi().*item)->setChecked(true);
                      },
                      [item]() -> std::optional<QString> {
                          if (::ListaPgn().Visible() || ::Cpu().Visible()) return std::nullopt;
                          return ajustes::Marca((::Mdi().*item)->isChecked());
                      }};
    };
    ajustes::Enlazar(VerJugadas, marca(&forms::Mdi::mnuMovimientos));
    ajustes::Enlazar(VerChat, marca(&forms::Mdi::mnuVentanaChat));
    ajustes::Enlazar(VerReloj, marca(&forms::Mdi::mnuReloj));
    ajustes::Enlazar(VerElo, marca(&forms::Mdi::mnuMostrarRanking));
    ajustes::Enlazar(Sonido, marca(&forms::Mdi::mnuSonido));
    // The point-and-click mode goes through its menu command, which stores it again.
    Enlace punto = marca(&forms::Mdi::mnuPointClick);
    punto.poner = [](const QString& texto) {
        auto v = controles::AEntero(texto);
        if (!v || (*v != 0 && *v != 1)) return;
        auto& m = ::Mdi();
        m.mnuPointClick->setChecked(*v == 0);
        m.mnuPointClick_Click();
    };
    ajustes::Enlazar(PointClick, std::move(punto));
    // The notation: 1 Spanish, 2 English, 3 coordinates, 4 the user's letters.
    ajustes::Enlazar(Notacion, {[](const QString& texto) {
                                    auto v = controles::AEntero(texto);
                                    if (!v) return;
                                    auto& m = ::Mdi();
                                    QAction* marcas[] = {nullptr, m.mnuAlgebraicoEsp, m.mnuAlgebraicoIng,
                                                         m.mnuCordenadas, m.mnuAlgebraicoUsuario[0]};
                                    if (*v >= 1 && *v <= 4)
                                        for (int i = 1; i <= 4; ++i) marcas[i]->setChecked(i == *v);
                                    MostrarNotacion();
                                },
                                []() -> std::optional<QString> {
                                    auto& m = ::Mdi();
                                    std::optional<QString> valor;
                                    if (m.mnuAlgebraicoEsp->isChecked()) valor = "1";
                                    if (m.mnuAlgebraicoIng->isChecked()) valor = "2";
                                    if (m.mnuCordenadas->isChecked()) valor = "3";
                                    if (m.mnuAlgebraicoUsuario[0]->isChecked()) valor = "4";
                                    return valor;
                                }});
    return true;
}();

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
        if (VentanasSituadas && WindowState() != EstadoVentana::Minimizada && !Area->viewport()->size().isEmpty())
            ::Tavorin().ApartarVentanas();
    });
    Area->viewport()->installEventFilter(this);
    vigiaBorde_ = new QTimer(this);
    vigiaBorde_->setSingleShot(true);
    vigiaBorde_->setInterval(0);
    connect(vigiaBorde_, &QTimer::timeout, this, [this] { CorregirBorde(); });
}

bool Mdi::nativeEvent(const QByteArray& tipo, void* mensaje, qintptr* resultado) {
    if (!vigiaBorde_->isActive()) vigiaBorde_->start();
    return QMainWindow::nativeEvent(tipo, mensaje, resultado);
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
    item(
        mnuVer, mnuMovimientos, "mnuMovimientos", [this] { mnuMovimientos_Click(); }, true);
    item(
        mnuVer, mnuVentanaChat, "mnuVentanaChat", [this] { mnuVentanaChat_Click(); }, true);
    item(
        mnuVer, mnuReloj, "mnuReloj", [this] { mnuReloj_Click(); }, true);
    item(
        mnuVer, mnuMostrarRanking, "mnuMostrarRanking", [this] { mnuMostrarRanking_Click(); }, true);
    mnuVer->addSeparator();
    item(
        mnuVer, mnuInvertirTablero, "mnuInvertirTablero", [this] { mnuInvertirTablero_Click(); }, true);
    item(
        mnuVer, mnuSonido, "mnuSonido", [this] { mnuSonido_Click(); }, true);
    item(
        mnuVer, mnuPointClick, "mnuPointClick", [this] { mnuPointClick_Click(); }, true);
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
    item(
        mnuAlgebraico, mnuAlgebraicoEsp, "mnuAlgebraicoEsp", [this] { mnuAlgebraicoEsp_Click(); }, true);
    item(
        mnuAlgebraico, mnuAlgebraicoIng, "mnuAlgebraicoIng", [this] { mnuAlgebraicoIng_Click(); }, true);
    item(
        mnuAlgebraico, mnuAlgebraicoUsuario[0], "mnuAlgebraicoUsuario", [this] { mnuAlgebraicoUsuario_Click(0); },
        true);
    mnuAlgebraicoUsuario[0]->setVisible(false);
    item(
        mnuNotacion, mnuCordenadas, "mnuCordenadas", [this] { mnuCordenadas_Click(); }, true);
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
        {mnuAbrirPartida, 1}, {mnuGuardarPartida, 2}, {mnuGuararChat, 3},         {mnuGuararImagen, 4},
        {mnuSalir, 5},        {mnuObtenerIp, 6},      {mnuEstablecerconexion, 7}, {mnuDesconectar, 8},
        {mnuNuevaPartida, 9}, {mnuRendirse, 14},      {mnuActualizar, 23},        {mnuOfrecerTablas, 15},
        {mnuRgb, 10},         {mnuOpciones, 11},      {mnuTemaAyuda, 13},         {mnuAcerca, 16},
        {mnuCambiarNick, 21}, {mnuCopiar, 20},        {mnuChatListBorrar, 19},    {mnuCopiarJugadas, 20},
        {mnuSetTablero, 22},  {mnuRetroceder, 26}};
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
    using enum ajustes::Clave;
    const lugares::Lugar guardado{lugares::Leer(MdiLeft), lugares::Leer(MdiTop), lugares::Leer(MdiWidth),
                                  lugares::Leer(MdiHeight)};
    std::vector<QRect> pantallas;
    for (QScreen* p : QGuiApplication::screens()) pantallas.push_back(p->availableGeometry());
    Situar(lugares::Ajustar(guardado, pantallas, {QSize(7800 / TwipsPorPixel, 1500 / TwipsPorPixel), kAltoTitulo}));
}

void Mdi::CorregirBorde() {
    if (WindowState() != EstadoVentana::Normal || !isVisible()) return;
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

Mdi::EstadoVentana Mdi::WindowState() const {
    if (windowState() & Qt::WindowMinimized) return EstadoVentana::Minimizada;
    if (windowState() & Qt::WindowMaximized) return EstadoVentana::Maximizada;
    return EstadoVentana::Normal;
}

void Mdi::FijarEstadoVentana(EstadoVentana estado) {
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (estado == EstadoVentana::Minimizada) s |= Qt::WindowMinimized;
    if (estado == EstadoVentana::Maximizada) s |= Qt::WindowMaximized;
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
    using enum EstadoVentana;
    if (WindowState() != Minimizada) {
        if (height() < 1500 / TwipsPorPixel && WindowState() == Normal) resize(width(), 1500 / TwipsPorPixel);
        if (width() < 7800 / TwipsPorPixel && WindowState() == Normal) resize(7800 / TwipsPorPixel, height());
    }
    if (WindowState() == Maximizada && !maximizada_) {
        maximizada_ = true;
        return;
    }
    if (WindowState() == Normal && maximizada_) {
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
    ajustes::Escribir(ajustes::Clave::Sonido, ajustes::Marca(mnuSonido->isChecked()));
}

void Mdi::mnuPointClick_Click() {
    if (::ListaPgn().Visible()) return;
    mnuPointClick->setChecked(!mnuPointClick->isChecked());
    ajustes::Escribir(ajustes::Clave::PointClick, ajustes::Marca(mnuPointClick->isChecked()));
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
    if (::ListaPgn().Visible()) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NoConListaPgn), MB_ICONINFORMATION);
        return;
    }
    CentrarVentana(::ColorRgb());
    ::ColorRgb().Show();
    // Centred, the dialog goes beside the board where there is room, also when it was shown.
    ::Tavorin().ApartarDelTablero(::ColorRgb());
}

void Mdi::mnuOpciones_Click() {
    if (::ListaPgn().Visible() || PartidaDeFichero) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NoConFichero), MB_ICONINFORMATION);
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
    // What was not found (the page, the desktop's opener), or why the opener could not
    // open the page.
    auto avisar = [](const QString& falta, const QString& motivo) {
        const QString mensaje = falta.isEmpty() ? CambiarDolar(TextosIdioma[texto::AyudaNoAbierta], motivo)
                                                : CambiarDolar(TextosIdioma[texto::AyudaNoEncontrada], falta);
        MostrarMensaje("Tavorin", mensaje, MB_ICONINFORMATION);
    };
    if (!QFileInfo(ayuda).isFile()) {
        avisar(kPaginaAyuda, {});
        return;
    }
    escritorio::Abrir(
        ayuda, [avisar](const escritorio::Fallo& f) { avisar(f.sinAbridor ? "xdg-open" : QString(), f.motivo); });
}

void Mdi::mnuAcerca_Click() {
    CentrarVentana(::Splash());
    ::Splash().Show();
}

void Mdi::AlternarVentana(QAction* item, Forma& ventana, ajustes::Clave clave) {
    if (::ListaPgn().Visible()) return;
    if (!item->isChecked()) {
        ventana.Show();
        item->setChecked(true);
        ajustes::Escribir(clave, "1");
    } else {
        ventana.Unload();
        item->setChecked(false);
        ajustes::Escribir(clave, "0");
    }
}

void Mdi::mnuMovimientos_Click() { AlternarVentana(mnuMovimientos, ::Jugadas(), ajustes::Clave::VerJugadas); }
void Mdi::mnuVentanaChat_Click() { AlternarVentana(mnuVentanaChat, ::Chat(), ajustes::Clave::VerChat); }
void Mdi::mnuReloj_Click() { AlternarVentana(mnuReloj, ::Reloj(), ajustes::Clave::VerReloj); }
void Mdi::mnuMostrarRanking_Click() { AlternarVentana(mnuMostrarRanking, ::Ranking(), ajustes::Clave::VerElo); }

void Mdi::ElegirNotacion(QAction* item) {
    for (QAction* a : {mnuAlgebraicoEsp, mnuAlgebraicoIng, mnuAlgebraicoUsuario[0], mnuCordenadas})
        a->setChecked(a == item);
    const char* valor = item == mnuAlgebraicoEsp   ? "1"
                        : item == mnuAlgebraicoIng ? "2"
                        : item == mnuCordenadas    ? "3"
                                                   : "4";
    ajustes::Escribir(ajustes::Clave::Notacion, valor);
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
    if (::ListaPgn().Visible()) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NoConListaPgn), MB_ICONINFORMATION);
        return;
    }
    if (::Nuevo().Visible() || ModoPreparar) return;
    if (!FicheroPendiente.isEmpty() || NuevoPendiente || RetrocesoPendiente) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::EspereRespuesta), MB_ICONINFORMATION);
        return;
    }
    if (PartidaDeFichero) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NoConFichero), MB_ICONINFORMATION);
        return;
    }
    auto& g = Reglas();
    if (g.Conectado) {
        if (!g.TipoPartida.empty() && MostrarMensaje("Tavorin", MensajeNumero(texto::ProponerNuevaPartida),
                                                     MB_ICONINFORMATION, MB_YESNO, MB_DEFBUTTON2) != IDYES)
            return;
        CentrarVentana(::Nuevo());
        ::Nuevo().Show();
        return;
    }
    auto& cpu = ::Cpu();
    if (cpu.Visible()) return;
    if (g.Turno != turno::Nadie) ReiniciarPartida();
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
    t.OlvidarPartida();
    auto& g = Reglas();
    g.Turno = turno::Nadie;
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
        Reglas().Turno = turno::Nadie;
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
    if (AjustesEscribibles()) ajustes::Guardar();
    ::Ranking().GrabarPuntuacion();
    Terminar(0);
}

}  // namespace forms

void SalirPorSenal(int senal) {
    // A box on the way takes its default answer unseen.
    ResponderMensaje = [](const CMensaje& m) -> long {
        if (m.BotonesMensaje != MB_YESNO) return IDOK;
        return m.DefectoMensaje == MB_DEFBUTTON2 ? IDNO : IDYES;
    };
    if (VentanasSituadas) {
        // The engines are asked to quit first, as at every exit; what is left ends
        // with Terminar.
        if (auto& cpu = ::Cpu(); cpu.Visible()) {
            cpu.cmdTerminar1();
            cpu.cmdTerminar2();
        }
        if (AjustesEscribibles()) ajustes::Guardar();
    }
    Terminar(128 + senal);
}

forms::Mdi& Mdi() {
    static forms::Mdi* f = nullptr;
    if (!f) {
        f = new forms::Mdi;
        f->MDIForm_Load();
    }
    return *f;
}

namespace {
// Every form finds the main window through the forms runtime, and the modules below
// the windows close it and centre windows in it through its binding.
[[maybe_unused]] const bool kPrincipalRegistrada =
    (Forma::FijarPrincipal([] { return ::Mdi().Area; }, []() -> QWidget* { return &::Mdi(); }),
     EnlazarPrincipal({[] { ::Mdi().Unload(); }, [] { return ::Mdi().Width(); }, [] { return ::Mdi().ScaleHeight(); }}),
     true);
}  // namespace

void VentanasLaterales() {
    auto& m = ::Mdi();
    using Lateral = forms::Mdi::Lateral;
    if (m.Muestra(Lateral::Reloj) && !::ListaPgn().Visible()) ::Reloj().Show();
    if (m.Muestra(Lateral::Chat) && !::ListaPgn().Visible()) ::Chat().Show();
    if (m.Muestra(Lateral::Jugadas) && !::ListaPgn().Visible()) ::Jugadas().Show();
    if (m.Muestra(Lateral::Ranking) && !::ListaPgn().Visible()) ::Ranking().Show();
}

void SituarMdi() { ::Mdi().SituarDesdeIni(); }

// ---- Language ---------------------------------------------------------------------

namespace {

// The items of section Menu, keys 1 to 30.
QAction* ItemMenu(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuArchivos->menuAction();
        case 2: return m.mnuAbrirPartida;
        case 3: return m.mnuGuardarPartida;
        case 4: return m.mnuGuararChat;
        case 5: return m.mnuGuararImagen;
        case 6: return m.mnuSalir;
        case 7: return m.mnuConectar->menuAction();
        case 8: return m.mnuObtenerIp;
        case 9: return m.mnuEstablecerconexion;
        case 10: return m.mnuDesconectar;
        case 11: return m.mnuPartida->menuAction();
        case 12: return m.mnuNuevaPartida;
        case 13: return m.mnuRendirse;
        case 14: return m.mnuOfrecerTablas;
        case 15: return m.mnuVer->menuAction();
        case 16: return m.mnuMovimientos;
        case 17: return m.mnuVentanaChat;
        case 18: return m.mnuReloj;
        case 19: return m.mnuMostrarRanking;
        case 20: return m.mnuInvertirTablero;
        case 21: return m.mnuSonido;
        case 22: return m.mnuPointClick;
        case 23: return m.mnuRgb;
        case 24: return m.mnuOpciones;
        case 25: return m.mnuAyuda->menuAction();
        case 26: return m.mnuTemaAyuda;
        case 27: return m.mnuAcerca;
        case 28: return m.mnuSetTablero;
        case 29: return m.mnuActualizar;
        default: return m.mnuRetroceder;
    }
}

QAction* ItemJugadas(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuCopiarJugadas;
        case 2: return m.mnuGuardarComo;
        case 3: return m.mnuNotacion->menuAction();
        case 4: return m.mnuAlgebraico->menuAction();
        case 5: return m.mnuCordenadas;
        case 6: return m.mnuAlgebraicoEsp;
        default: return m.mnuAlgebraicoIng;
    }
}

QAction* ItemChat(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuCambiarNick;
        case 2: return m.mnuCopiar;
        case 3: return m.mnuChatListBorrar;
        default: return m.mnuChatListGuardar;
    }
}

void FilasAutor(idioma::Filas& f) {
    f.Especial(
        "Autor", "Nombre",
        [](const QString& nombre) {
            QString titulo = QString("Tavorin") + " Versión " + kVersionPrograma;
            if (!nombre.isEmpty()) titulo += " - " + nombre;
            ::Mdi().setCaption(titulo);
        },
        [] { return QStringList{::Mdi().Caption()}; });
    // The status bar's texts change with the others.
    f.Despues([] {
        if (::Mdi().Visible()) PaintStatusBar();
    });
}

void FilasMenu(idioma::Filas& f) {
    for (int n = 1; n <= 30; ++n)
        f.Enlace("Menu", QString("Menu%1").arg(n), {idioma::Item([n] { return ItemMenu(n); })});
}

void FilasMenuJugadas(idioma::Filas& f) {
    for (int n = 1; n <= 7; ++n)
        f.Enlace("Jugadas", QString("Menu%1").arg(n), {idioma::Item([n] { return ItemJugadas(n); })});
}

void FilasMenuChat(idioma::Filas& f) {
    for (int n = 1; n <= 4; ++n)
        f.Enlace("Chat", QString("Menu%1").arg(n), {idioma::Item([n] { return ItemChat(n); })});
}

// Tips 1 to 30 on the toolbar's buttons (0: a key other windows use, or none).
void FilasTips(idioma::Filas& f) {
    constexpr int kBoton[31] = {0,  1,  3, 4, 5, 7, 8, 9, 11, 12, 13, 18, 19, 20, 22, 23,
                                27, 16, 0, 0, 0, 0, 0, 0, 0,  0,  0,  0,  0,  14, 25};
    for (int n = 1; n <= 30; ++n) {
        std::vector<idioma::Destino> destinos;
        if (const int i = kBoton[n]) destinos.push_back(idioma::Consejo([i] { return ::Mdi().Toolbar1[i]; }));
        f.Enlace("Tips", QString::number(n), std::move(destinos));
    }
}

const idioma::Registro registroAutor(idioma::Tramo::Autor, FilasAutor);
const idioma::Registro registroMenu(idioma::Tramo::Menu, FilasMenu);
const idioma::Registro registroMenuJugadas(idioma::Tramo::MenuJugadas, FilasMenuJugadas);
const idioma::Registro registroMenuChat(idioma::Tramo::MenuChat, FilasMenuChat);
const idioma::Registro registroTips(idioma::Tramo::Tips, FilasTips);

}  // namespace
