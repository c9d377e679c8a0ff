#include "board/Tavorin.h"

#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/ColorRgb.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Jugadas.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/fEpd.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <optional>

namespace {

const char* const kPiezas[13] = {"",      "peonb",  "torreb",  "caballob", "alfilb", "damab", "reyb",
                                 "peonn", "torren", "caballon", "alfiln",  "daman",  "reyn"};

// A number read from Default.ini; nothing when missing or not a number.
std::optional<double> Posicion(const char* seccion, const char* clave) {
    return controles::ANumero(LeerIni(FicheroIni, seccion, clave));
}

void Situar(Forma& f, const char* seccion, bool tamano, const char* top = "Top", const char* left = "Left") {
    if (auto v = Posicion(seccion, top)) f.setTop(*v);
    if (auto v = Posicion(seccion, left)) f.setLeft(*v);
    if (!tamano) return;
    if (auto v = Posicion(seccion, "Width")) f.setWidth(*v);
    if (auto v = Posicion(seccion, "Height")) f.setHeight(*v);
}

// Reads a 0/1 key into a menu check; any other value leaves the check alone.
void MarcaDesdeIni(QAction* item, const char* clave) {
    auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", clave));
    if (!v) return;
    if (*v == 0) item->setChecked(false);
    if (*v == 1) item->setChecked(true);
}

long RegistroPendiente(const char* clave) {
    auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", clave));
    return v ? *v : 0;
}

QImage Cuadrada(int lado) {
    QImage img(std::max(1, lado), std::max(1, lado), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

}  // namespace

int TamanoTablero() { return TamanoLimitado(::Opciones().Text1->text()); }

namespace forms {

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
    Shape = new QFrame(PicBuffer);
    Shape->setObjectName("Shape");
    Shape->hide();
    for (int i = 0; i < 2; ++i) {
        Shape1[i] = new QFrame(PicBuffer);
        Shape1[i]->setObjectName(QString("Shape1_%1").arg(i));
        Shape1[i]->hide();
    }
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

    for (int i = 1; i <= 12; ++i) {
        OFichas[i] = QImage(QString(":/builtin/%1.png").arg(kPiezas[i]));
        OMascara[i] = QImage(QString(":/builtin/%1f.png").arg(kPiezas[i]));
    }
    OCB = QImage(":/builtin/cuadrob.png");
    OCN = QImage(":/builtin/cuadron.png");
    if (OCB.isNull()) OCB = Cuadrada(40);
    if (OCN.isNull()) {
        OCN = Cuadrada(40);
        OCN.fill(QColor(120, 90, 60));
    }
    resize(380, 380);
}

void Tavorin::Form_Load() {
    auto& splash = ::Splash();
    auto& opciones = ::Opciones();
    SaltoLinea = "\r\n";
    splash.Lsize(splash.Label2, "Cargando configuración...", 319);
    FijarRutaIni();
    if (ExisteFichero(FicheroIni))
        LeerOpciones();
    else
        Terminar(1);

    splash.Lsize(splash.Label2, "Cargando idioma...", 319);
    ListarIdiomas();
    const QString idioma = LeerIni(FicheroIni, "Configuracion", "Idioma");
    for (int i = 0; i < opciones.Combo1->count(); ++i) {
        if (opciones.Combo1->itemText(i).toLower() == idioma.toLower()) {
            if (controles::FijarTextoLista(opciones.Combo1, idioma)) opciones.Combo1_Click();
        }
    }
    if (opciones.Combo1->currentText().isEmpty()) {
        MostrarMensaje("Tavorin", "Fichero de idioma no encontrado.");
        Terminar(1);
    }
    const QString apariencia = LeerIni(FicheroIni, "Configuracion", "Apariencia");
    if (apariencia != AparienciaActual) {
        ElegirApariencia(apariencia);
    } else {
        opciones.ActualizarSkins();
        controles::FijarTextoLista(opciones.SkinCombo, AparienciaActual);
    }
    ::Ranking().LeerPuntuacion();
    QScreen* pantalla = splash.screen() ? splash.screen() : QGuiApplication::primaryScreen();
    ComprobarColores(pantalla);
    ComprobarResolucion(pantalla);
    if (NickLocal.isEmpty()) CambiarNick();

    splash.Lsize(splash.Label2, "Registrando extensión...", 319);
    if (RegistroPendiente("RegitTvp") == 0) RegistrarExtension(1, ".tvp", "tvpfile", "tvpfile", "Tavorin", "tvpfile");
    if (RegistroPendiente("RegitPgn") == 0) {
        if (MostrarMensaje("Tavorin", "70", MB_ICONQUESTION, MB_YESNO) == IDYES)
            RegistrarExtension(2, ".pgn", "pgnfile", "pgnfile", "Tavorin", "pgnfile");
        else
            EscribirIni(FicheroIni, "Configuracion", "RegitPgn", "1");
    }
    if (RegistroPendiente("RegitEpd") == 0) {
        if (MostrarMensaje("Tavorin", "85", MB_ICONQUESTION, MB_YESNO) == IDYES)
            RegistrarExtension(3, ".epd", "epdfile", "epdfile", "Tavorin", "epdfile");
        else
            EscribirIni(FicheroIni, "Configuracion", "RegitEpd", "1");
    }

    splash.Lsize(splash.Label2, "Cargando imágenes...", 319);
    CrearImagenes();
    if (opciones.SkinCombo->currentText() == AparienciaActual) {
        CopiarOriginales();
    } else {
        opciones.Skins();
        CopiarApariencia();
    }
    PonerFichas();
    const int lado = TamanoTablero();
    for (int i = 1; i <= 12; ++i) {
        RFichas[i] = Cuadrada(lado);
        RMascara[i] = Cuadrada(lado);
    }
    RCuadro[1] = Cuadrada(lado);
    RCuadro[2] = Cuadrada(lado);
    ResiceImagenes();
    update();
    Resice();
    LetrasNumeros();
    PaintTablero();
    AltoCasilla = RCuadro[1].width();
    AnchoCasilla = RCuadro[1].height();
    PaintFichasResice();
    PintarVentana(1);
    PicBuffer->Refresh();
    Marco(0, 0, 0, 0);
    AltoCasilla = RCuadro[1].width();
    AnchoCasilla = RCuadro[2].height();
    SituarVentanas();
    for (int i = 1; i < int(ColaEnvio.size()); ++i) ColaEnvio[i].clear();
    for (QLabel* l : {::Reloj().Label4, ::Reloj().Label3}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(153, 153, 153));
        l->setPalette(p);
    }
    NumColaEnvio = 0;

    // The PGN browser's header picture is stretched to the height of its tag rows.
    auto& pgn = ::ListaPgn();
    PictureBox* cabecera = pgn.Picture1;
    QPoint origen = cabecera->mapTo(&pgn, QPoint(0, 0));
    int ancho = pgn.Text1[0]->mapTo(&pgn, QPoint(0, 0)).x() - origen.x();
    QPoint combo = pgn.Combo1->mapTo(&pgn, QPoint(0, 0));
    int alto = combo.y() + pgn.Combo1->height() + 20 - origen.y();
    if (ancho > 0 && alto > 0) {
        cabecera->resize(ancho, std::max(alto, cabecera->height()));
        QImage copia = cabecera->Imagen().copy(0, 0, 66, 148);
        QPainter p(&cabecera->Imagen());
        p.drawImage(QRect(0, 0, cabecera->ScaleWidth(), cabecera->ScaleHeight()), copia);
    }
}

void Tavorin::Form_Activate() {
    auto& splash = ::Splash();
    if (controles::Visible(splash.Label2)) splash.Unload();
    if (controles::Visible(splash.Label2)) splash.Tshow();
}

// ---- Options and windows --------------------------------------------------------

void Tavorin::LeerOpciones() {
    auto& o = ::Opciones();
    auto& m = ::Mdi();
    for (int n = 1; n <= 3; ++n) {
        auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", QString("Check%1").arg(n)));
        if (v) o.FijarCheck(n, int(*v));
    }
    o.Text1->setText(QString::number(TamanoLimitado(LeerIni(FicheroIni, "Configuracion", "Tamaño"))));
    MarcaDesdeIni(m.mnuMovimientos, "Jugadas");
    MarcaDesdeIni(m.mnuVentanaChat, "Chat");
    MarcaDesdeIni(m.mnuReloj, "Reloj");
    MarcaDesdeIni(m.mnuMostrarRanking, "Elo");
    MarcaDesdeIni(m.mnuSonido, "Sonido");
    if (auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", "PointClick"))) {
        if (*v == 0) {
            m.mnuPointClick->setChecked(true);
            m.mnuPointClick_Click();
        }
        if (*v == 1) {
            m.mnuPointClick->setChecked(false);
            m.mnuPointClick_Click();
        }
    }
    if (auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", "Check"))) {
        QAction* marcas[] = {nullptr, m.mnuAlgebraicoEsp, m.mnuAlgebraicoIng, m.mnuCordenadas,
                             m.mnuAlgebraicoUsuario[0]};
        if (*v >= 1 && *v <= 4)
            for (int i = 1; i <= 4; ++i) marcas[i]->setChecked(i == *v);
        MostrarNotacion();
    }
    if (auto v = controles::AEntero(LeerIni(FicheroIni, "Configuracion", "Fondo"))) {
        if (*v == 1) ::ColorRgb().FijarOpcion(1);
        if (*v == 2) ::ColorRgb().FijarOpcion(2);
    }
    LeerColor(LeerIni(FicheroIni, "Configuracion", "Color"), ColorRojo, ColorVerde, ColorAzul);
    PintarVentana(0);
    NickLocal = LeerIni(FicheroIni, "Configuracion", "Nick");
    QString tiempo = LeerIni(FicheroIni, "Configuracion", "Tiempo");
    ::Nuevo().Text1->setText(controles::Val(tiempo) == 0 ? QString("1") : tiempo);
    ::ListaPgn().Combo2->setCurrentText(LeerIni(FicheroIni, "Configuracion", "AutoPlay"));
    DirectorioFicheros = LeerIni(FicheroIni, "Configuracion", "Dir");
    TipoFichero = LeerIni(FicheroIni, "Configuracion", "Tipo");
    auto& nivel = ::FormLevel2();
    nivel.Text1->setText(LeerIni(FicheroIni, "CPU", "St"));
    nivel.Text2->setText(LeerIni(FicheroIni, "CPU", "Sd"));
    nivel.Text3->setText(LeerIni(FicheroIni, "CPU", "Tiempo"));
    nivel.Combo1->setCurrentText(LeerIni(FicheroIni, "CPU", "Jugadas"));
    auto opcion = controles::AEntero(LeerIni(FicheroIni, "CPU", "Option"));
    nivel.FijarOpcion(opcion && *opcion >= 0 && *opcion < 3 ? int(*opcion) : 0);
    nivel.CargarLevel();
}

void Tavorin::SituarVentanas() {
    Situar(*this, "Tablero", false);
    Situar(::Chat(), "Chat", true);
    ::Chat().ChatResice();
    Situar(::Jugadas(), "Jugadas", true);
    ::Jugadas().JugadasResice();
    Situar(::Reloj(), "Reloj", false);
    Situar(::Ranking(), "Ranking", false);
    Situar(::ListaPgn(), "Pgn", false, "TopInformacion", "LeftInformacion");
    Situar(::PgnMovimientos(), "Pgn", false, "TopJugadas", "LeftJugadas");
    Situar(::Cpu(), "CPU", false);
    Situar(::fEpd(), "EPD", false);
}

void Tavorin::OcultarVentanas() {
    auto& m = ::Mdi();
    if (!::ListaPgn().Visible()) {
        EscribirIni(FicheroIni, "Configuracion", "Jugadas", m.mnuMovimientos->isChecked() ? "1" : "0");
        EscribirIni(FicheroIni, "Configuracion", "Chat", m.mnuVentanaChat->isChecked() ? "1" : "0");
        EscribirIni(FicheroIni, "Configuracion", "Reloj", m.mnuReloj->isChecked() ? "1" : "0");
        EscribirIni(FicheroIni, "Configuracion", "Elo", m.mnuMostrarRanking->isChecked() ? "1" : "0");
    }
    if (m.mnuMovimientos->isChecked()) ::Jugadas().Unload();
    if (m.mnuVentanaChat->isChecked()) ::Chat().Unload();
    for (Forma* f : std::initializer_list<Forma*>{&::ColorRgb(), &::Conexion(), &::Ip(), &::Coronacion(), &::Nuevo(), &::Opciones()})
        if (f->Visible()) f->Unload();
    if (m.mnuReloj->isChecked()) ::Reloj().Unload();
    if (::Splash().Visible()) ::Splash().Unload();
    if (m.mnuMostrarRanking->isChecked()) ::Ranking().Unload();
    if (::fEpd().Visible()) ::fEpd().Unload();
}

void Tavorin::Idioma() { AplicarIdioma(); }

void Tavorin::ElegirApariencia(const QString& nombre) {
    auto& o = ::Opciones();
    o.ActualizarSkins();
    CarpetaApariencia = nombres::RutaReal(RutaApp, "apariencias/" + nombre + "/");
    if (!nombre.isEmpty() && QDir(CarpetaApariencia).exists())
        controles::FijarTextoLista(o.SkinCombo, nombre);
    else
        controles::FijarTextoLista(o.SkinCombo, AparienciaActual);
}

void Tavorin::CambiarNick() {
    for (;;) {
        QString nick = PedirTexto(TextosIdioma[66], TextosIdioma[67], NickLocal).trimmed();
        if (nick.size() > 9) {
            MostrarMensaje("Tavorin", "38", MB_ICONINFORMATION);
            continue;
        }
        if (nick.isEmpty()) {
            if (!NickLocal.isEmpty()) return;
            MostrarMensaje("Tavorin", "8", MB_ICONINFORMATION);
            continue;
        }
        NickLocal = nick;
        break;
    }
    ::Chat().setCaption(LeerIni(FicheroIdioma, "Chat", "Titulo") + " - " + NickLocal);
}

// ---- Pictures and layout --------------------------------------------------------

void Tavorin::CrearImagenes() {
    for (int i = 1; i <= 12; ++i) {
        SMascara[i] = QImage();
        RMascara[i] = QImage();
        SFichas[i] = QImage();
        RFichas[i] = QImage();
    }
    RCuadro[2] = QImage();
    SCuadro[2] = QImage();
}

void Tavorin::CopiarOriginales() {
    for (int i = 1; i <= 12; ++i) {
        RMascara[i] = OMascara[i];
        RFichas[i] = OFichas[i];
    }
    RCuadro[1] = OCB;
    RCuadro[2] = OCN;
}

void Tavorin::CopiarApariencia() {
    for (int i = 1; i <= 12; ++i) {
        RMascara[i] = SMascara[i];
        RFichas[i] = SFichas[i];
    }
    RCuadro[1] = SCuadro[1];
    RCuadro[2] = SCuadro[2];
}

// The start position belongs to the game state of the rules.
void Tavorin::PonerFichas() {}

void Tavorin::ResiceImagenes() {
    const bool original = ::Opciones().SkinCombo->currentText() == AparienciaActual;
    auto estirar = [](const QImage& fuente, const QImage& destino, Qt::TransformationMode modo) {
        QSize tam = destino.isNull() ? QSize(40, 40) : destino.size();
        if (fuente.isNull()) return Cuadrada(tam.width()).scaled(tam);
        return fuente.convertToFormat(QImage::Format_RGB32).scaled(tam, Qt::IgnoreAspectRatio, modo);
    };
    for (int i = 1; i <= 12; ++i) {
        RFichas[i] = estirar(original ? OFichas[i] : SFichas[i], RFichas[i], Qt::FastTransformation);
        RMascara[i] = estirar(original ? OMascara[i] : SMascara[i], RMascara[i], Qt::FastTransformation);
    }
    RCuadro[1] = estirar(original ? OCB : SCuadro[1], RCuadro[1], Qt::SmoothTransformation);
    RCuadro[2] = estirar(original ? OCN : SCuadro[2], RCuadro[2], Qt::SmoothTransformation);
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
    const bool visibles = ::Opciones().Check2->isChecked();
    for (int i = 0; i < 8; ++i) {
        Letras[i]->setVisible(visibles);
        Numeros[i]->setVisible(visibles);
    }
    const long fila = std::lrint(PicBuffer->height() / 8.0);
    const long columna = std::lrint(PicBuffer->width() / 8.0);
    const bool invertido = ::Mdi().mnuInvertirTablero->isChecked();
    for (int i = 0; i < 8; ++i) {
        Letras[i]->setText(QString(QChar(invertido ? u'H' - i : u'A' + i)));
        Numeros[i]->setText(QString::number(invertido ? 8 - i : i + 1));
    }
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
    if (::Opciones().Check3->isChecked()) PintarBordeTablero();
    Fondo->resize(PicBuffer->size());
    Fondo->Imagen() = PicBuffer->Imagen().copy();
    PicBuffer->Refresh();
    Fondo->Refresh();
}

// Pieces, move frames and move input come with the board's drawing; they need the
// game state of the rules.
void Tavorin::PaintFichas() {}
void Tavorin::PaintFichasResice() {}
void Tavorin::IdibujoFicha(long x, long y) {
    (void)x;
    (void)y;
}
void Tavorin::FijarDestino(long x, long y) {
    (void)x;
    (void)y;
}
void Tavorin::MovimientoAnulado() { Shape->hide(); }

void Tavorin::Marco(long x1, long y1, long x2, long y2) {
    if (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0) QuitaMarco();
}

void Tavorin::QuitaMarco() {
    Shape1[0]->hide();
    Shape1[1]->hide();
}

void Tavorin::AbrirTvp(const QString& ruta) { (void)ruta; }

void Tavorin::Timer1_Timer() {
    const int lado = TamanoTablero();
    for (int i = 1; i <= 12; ++i) {
        RFichas[i] = Cuadrada(lado);
        RMascara[i] = Cuadrada(lado);
    }
    RCuadro[1] = Cuadrada(lado);
    RCuadro[2] = Cuadrada(lado);
    if (TamanoCambiado) {
        Marco(0, 0, 0, 0);
        RepintarTablero = false;
        TamanoCambiado = false;
    }
    ResiceImagenes();
    update();
    Resice();
    LetrasNumeros();
    PaintTablero();
    AnchoCasilla = RCuadro[1].width();
    AltoCasilla = RCuadro[1].height();
    PaintFichasResice();
    PintarVentana(1);
    if (!Visible()) Show();
    Timer1->stop();
}

}  // namespace forms

forms::Tavorin& Tavorin() {
    static forms::Tavorin* f = nullptr;
    return InstanciaForma(f);
}
