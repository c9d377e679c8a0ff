#include "files/ListaPgn.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/Guardar.h"
#include "files/PgnEscritor.h"
#include "files/PgnLector.h"
#include "files/PgnMovimientos.h"
#include "files/PgnPestanas.h"
#include "network/Chat.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/IniFile.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"
#include "shell/Retroceso.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

const char* const kCaras[7] = {"",
                               ":/builtin/iconos/pgn-inicio.png",
                               ":/builtin/iconos/pgn-atras.png",
                               ":/builtin/iconos/pgn-adelante.png",
                               ":/builtin/iconos/pgn-final.png",
                               ":/builtin/iconos/pgn-reproducir.png",
                               ":/builtin/iconos/pgn-pausa.png"};

QString Consejo(const char* clave) { return LeerIni(FicheroIdioma, "Tips", clave); }

int AnchoTexto(const QWidget* w, const QString& texto) { return w->fontMetrics().horizontalAdvance(texto); }

}  // namespace

namespace forms {

ListaPgn::ListaPgn() : Forma(Hija, "ListaPgn") {
    picTab = new PictureBox(this, "picTab");
    for (int i = 1; i <= 3; ++i) picContainer[i] = new PictureBox(this, QString("picContainer_%1").arg(i));

    // Page 1: the game list.
    QWidget* p1 = picContainer[1];
    Label1 = new QLabel(p1);
    Label1->setObjectName("Label1");
    Buscar = new QComboBox(p1);
    Buscar->setObjectName("Buscar");
    Eventos = new QListWidget(p1);
    Eventos->setObjectName("Eventos");
    Eventos->setUniformItemSizes(true);
    Label2 = new QLabel(p1);
    Label2->setObjectName("Label2");

    // Page 2: the game.
    QWidget* p2 = picContainer[2];
    for (int i = 1; i <= 5; ++i) {
        Command1[i] = new QPushButton(p2);
        Command1[i]->setObjectName(QString("Command1_%1").arg(i));
    }
    Frame1 = new QGroupBox(p2);
    Frame1->setObjectName("Frame1");
    Picture1 = new PictureBox(Frame1, "Picture1");
    for (int i = 0; i < 6; ++i) {
        Text1[i] = new QLineEdit(Frame1);
        Text1[i]->setObjectName(QString("Text1_%1").arg(i));
    }
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->lineEdit()->setReadOnly(true);
    Combo1->installEventFilter(this);
    Combo1->lineEdit()->installEventFilter(this);
    for (int i = 1; i <= 2; ++i) {
        Command2[i] = new QPushButton(p2);
        Command2[i]->setObjectName(QString("Command2_%1").arg(i));
        Command2[i]->hide();
    }

    // Page 3: autoplay.
    Frame2 = new QGroupBox(picContainer[3]);
    Frame2->setObjectName("Frame2");
    Label3 = new QLabel(Frame2);
    Label3->setObjectName("Label3");
    Combo2 = new QComboBox(Frame2);
    Combo2->setObjectName("Combo2");
    Combo2->setEditable(true);
    for (const char* v : {"250", "500", "750", "1000", "1500", "2000", "2500", "3000", "3500", "4000", "4500", "5000"})
        Combo2->addItem(v);

    Timer = new QTimer(this);
    Timer->setSingleShot(true);
    AutoPlay = new QTimer(this);
    for (int i = 1; i <= 6; ++i) ImageList1[i] = QIcon(kCaras[i]);

    connect(Timer, &QTimer::timeout, this, [this] { Timer_Timer(); });
    connect(AutoPlay, &QTimer::timeout, this, [this] { AutoPlay_Timer(); });
    connect(Eventos, &QListWidget::currentRowChanged, this, [this](int) { Eventos_Click(); });
    connect(Eventos, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { Eventos_DblClick(); });
    connect(Buscar, qOverload<int>(&QComboBox::activated), this, [this](int) { Buscar_Click(); });
    connect(Combo2, qOverload<int>(&QComboBox::activated), this, [this](int) { Combo2_Click(); });
    for (int i = 1; i <= 5; ++i) connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    for (int i = 1; i <= 2; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    // Save and Cancel show only while a game is being saved.
    FijarTeclas(Command2[1], Command2[2]);
    connect(picTab, &PictureBox::MouseDown, this,
            [this](int boton, const QPoint& punto) { picTab_MouseDown(boton, punto.x(), punto.y()); });
    Disponer();
}

void ListaPgn::Form_Load() {
    for (const char* r : {"1-0", "0-1", "1/2-1/2", "*"}) Combo1->addItem(r);
    Combo1->setEditText(QString());
    for (int i = 1; i <= 5; ++i) Command1[i]->setIcon(ImageList1[i]);
    Bloquear(true);
    PaintTab(1);
}

// ---- Layout ---------------------------------------------------------------------------

void ListaPgn::Disponer() {
    const QFontMetrics fm = fontMetrics();
    const int margen = 6;
    if (Buscar->count() > 0 && Buscar->currentIndex() < 0) Buscar->setCurrentIndex(0);

    // Page 2: the buttons' row, then the frame with the tag names and fields.
    const int alto = std::max(26, Command1[1]->sizeHint().height());
    for (int i = 1; i <= 5; ++i) Command1[i]->setGeometry((i - 1) * 32, 0, 30, alto);
    int anchoBoton = 100;
    for (int i = 1; i <= 2; ++i) anchoBoton = std::max(anchoBoton, Command2[i]->sizeHint().width());
    const int fila = std::max(21, std::max(Text1[0]->sizeHint().height(), Combo1->sizeHint().height()));
    QStringList nombres = Picture1->TextosImpresos();
    QFont pequena = Picture1->font();
    pequena.setPointSizeF(8);
    const QFontMetrics fmNombres(pequena);
    int anchoNombres = 66;
    for (int i = 0; i < std::min<int>(7, int(nombres.size())); ++i)
        anchoNombres = std::max(anchoNombres, fmNombres.horizontalAdvance(nombres[i]) + 10);
    const int arriba = fm.height() + 4;
    const int anchoCampo = std::max(220, fm.horizontalAdvance(QString(30, u'n')));
    Picture1->setGeometry(8, arriba, anchoNombres, 7 * fila);
    for (int i = 0; i < 6; ++i) Text1[i]->setGeometry(8 + anchoNombres + 4, arriba + i * fila, anchoCampo, fila - 1);
    Combo1->setGeometry(8 + anchoNombres + 4, arriba + 6 * fila, 120, fila - 1);
    const QSize marco(8 + anchoNombres + 4 + anchoCampo + 8, arriba + 7 * fila + 8);
    Frame1->setGeometry(0, alto + 4, marco.width(), marco.height());
    const int anchoPagina2 = std::max(marco.width(), 5 * 32 + 8 + 2 * (anchoBoton + 4));
    for (int i = 1; i <= 2; ++i)
        Command2[i]->setGeometry(anchoPagina2 - (3 - i) * (anchoBoton + 4) + 4, 0, anchoBoton, alto);
    const int altoPagina2 = alto + 4 + marco.height();
    // The names are printed anew beside their fields, over the design picture.
    Picture1->setPicture(QImage(":/builtin/pgn-cabecera.png")
                             .scaled(anchoNombres, 7 * fila, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    Picture1->Cls();
    for (int i = 0; i < int(nombres.size()); ++i)
        Picture1->Print(4, i * fila + (fila - fmNombres.height()) / 2, nombres[i], 8);

    // Page 3: the interval.
    const int anchoLabel3 = AnchoTexto(Label3, Label3->text()) + 8;
    Label3->setGeometry(10, fm.height() + 6, std::max(100, anchoLabel3), fm.height() + 4);
    Combo2->setGeometry(10, Label3->geometry().bottom() + 6, 90, Combo2->sizeHint().height());
    Frame2->setGeometry(0, 0,
                        std::max({Label3->geometry().right() + 10, AnchoTexto(Frame2, Frame2->title()) + 30, 150}),
                        Combo2->geometry().bottom() + 10);

    // Page 1: the list tag, the game list and the game number.
    int anchoBuscar = 100;
    for (int i = 0; i < Buscar->count(); ++i)
        anchoBuscar = std::max(anchoBuscar, AnchoTexto(Buscar, Buscar->itemText(i)) + 40);
    const int anchoLabel1 = Label1->text().isEmpty() ? 0 : AnchoTexto(Label1, Label1->text()) + 6;
    Label1->setGeometry(0, 0, anchoLabel1, Buscar->sizeHint().height());
    Buscar->setGeometry(anchoLabel1, 0, anchoBuscar, Buscar->sizeHint().height());
    const int altoLabel2 = fm.height() + 4;
    const int anchoLabel2 = AnchoTexto(Label2, Label2->text() + "00000");

    const int anchoPagina = std::max({328, anchoPagina2, Frame2->width(), anchoLabel1 + anchoBuscar, anchoLabel2});
    const int altoPagina = std::max({197, altoPagina2, Frame2->height()});
    Eventos->setGeometry(0, Buscar->height() + 4, anchoPagina, altoPagina - Buscar->height() - 8 - altoLabel2);
    // The interval's frame and label take the page's width: room for a longer text.
    Frame2->resize(anchoPagina, Frame2->height());
    Label3->resize(anchoPagina - 20, Label3->height());
    Label2->setGeometry(0, altoPagina - altoLabel2, anchoPagina, altoLabel2);

    const pgn::Pestanas pestanas(TextosTab, picTab->font());
    const int anchoTira = std::max(anchoPagina + 10, pestanas.Derecha(3) + 8);
    picTab->setGeometry(margen, margen, anchoTira, altoPagina + 35);
    for (int i = 1; i <= 3; ++i) picContainer[i]->setGeometry(margen + 5, margen + 33, anchoTira - 10, altoPagina);
    tamano_ = QSize(anchoTira + 2 * margen, altoPagina + 35 + 2 * margen);
    setMinimumSize(tamano_);
    resize(tamano_);
    // The sub-window takes the new size with its frame and title around it.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(Marco())) {
        sub->resize(sub->sizeHint());
    }
    // The strip is drawn for its new size.
    if (picTab->Imagen().size() != picTab->size()) PaintTab(pestana_);
}

QSize ListaPgn::sizeHint() const { return tamano_.isValid() ? tamano_ : Forma::sizeHint(); }

void ListaPgn::Bloquear(bool bloqueado) {
    for (QLineEdit* e : Text1) e->setReadOnly(bloqueado);
    Combo1->setEnabled(!bloqueado);
}

bool ListaPgn::eventFilter(QObject* objeto, QEvent* evento) {
    // The result box takes no typed key.
    if ((objeto == Combo1 || objeto == Combo1->lineEdit()) && evento->type() == QEvent::KeyPress) return true;
    return Forma::eventFilter(objeto, evento);
}

// ---- Tab strip ---------------------------------------------------------------------------

void ListaPgn::PaintTab(int tab, int x, int y) {
    const pgn::Pestanas pestanas(TextosTab, picTab->font());
    int s = tab;
    if (tab < 1 || tab > 3) {
        s = pestanas.TabEn(x, y);
        if (s == 0) return;
    }
    QFont fuente = picTab->font();
    if (fuente.bold()) {
        fuente.setBold(false);
        picTab->setFont(fuente);
    }
    const QColor fondo = ColorPestanas.isValid() ? ColorPestanas : picTab->BackColor();
    if (picTab->BackColor() != fondo) picTab->setBackColor(fondo);
    QImage imagen(picTab->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    pestanas.Dibujar(imagen, s, fondo);
    picTab->Imagen() = imagen;
    picTab->Refresh();
    pestana_ = s;
    for (int i = 1; i <= 3; ++i) picContainer[i]->setVisible(i == s);
    for (int i = 1; i <= 3; ++i) picContainer[i]->raise();
}

void ListaPgn::picTab_MouseDown(int, int x, int y) {
    if (controles::Visible(Command2[1])) return;
    PaintTab(0, x, y);
}

// ---- Activation and closing ----------------------------------------------------------

void ListaPgn::Form_Activate() {
    if (!Visible()) return;
    Disponer();
    auto& m = ::Mdi();
    if (!GuardandoPgn) {
        if (!Caption().endsWith(u'.')) {
            const int guion = Caption().indexOf(u'-');
            const QString nombre = FicheroPgn.mid(FicheroPgn.lastIndexOf(u'/') + 1);
            setCaption((guion >= 0 ? Caption().left(guion + 1) : Caption()) + " " + nombre);
        }
        Bloquear(true);
        Command2[1]->hide();
        Command2[2]->hide();
        Label1->show();
        m.FijarMuestra(forms::Mdi::Lateral::Jugadas, false);
        ::Jugadas().Hide();
        m.FijarMuestra(forms::Mdi::Lateral::Reloj, false);
        ::Reloj().Hide();
        m.FijarMuestra(forms::Mdi::Lateral::Chat, false);
        ::Chat().Hide();
    } else {
        PaintTab(2);
        const int guion = Caption().indexOf(u'-');
        if (guion >= 0) setCaption(Caption().left(std::max(0, guion - 1)));
        Bloquear(false);
        for (int i = 1; i <= 5; ++i) Command1[i]->hide();
        Command2[1]->show();
        Command2[2]->show();
        Label1->hide();
        // The tags' page lies over the list's: its first field is the first to fill.
        Text1[0]->setFocus();
    }
}

void ListaPgn::Form_Unload(bool& cancelar) {
    cancelar = true;
    if (autoPlayActivo_) PararAutoPlay();
    for (int i = 1; i <= 5; ++i) {
        Command1[i]->setEnabled(true);
        Command1[i]->show();
    }
    if (controles::Visible(Command2[1])) {
        // Closing the save mode drops the save, as its cancel button does.
        GuardandoPgn = false;
        FicheroPendiente.clear();
        Command2[1]->hide();
        Command2[2]->hide();
        Hide();
        ::PgnMovimientos().Hide();
        return;
    }
    auto& t = ::Tavorin();
    Timer->stop();
    t.VaciarCopia();
    // Hidden first: the fresh game is drawn on the board itself.
    Hide();
    ::PgnMovimientos().Hide();
    ::Nuevo().NuevoAceptado();
    t.BorrarTemporales();
    FicheroPgn.clear();
    MostrarVentanas();
}

void ListaPgn::MostrarVentanas() {
    auto& m = ::Mdi();
    using enum ajustes::Clave;
    for (ajustes::Clave clave : {VerJugadas, VerChat, VerReloj, VerElo}) ajustes::Recargar(clave);
    using Lateral = forms::Mdi::Lateral;
    if (m.Muestra(Lateral::Reloj)) ::Reloj().Show();
    if (m.Muestra(Lateral::Chat)) ::Chat().Show();
    if (m.Muestra(Lateral::Jugadas))
        ::Jugadas().Show();
    else
        ::Jugadas().Unload();
    if (m.Muestra(Lateral::Ranking)) ::Ranking().Show();
}

void ListaPgn::NumeroPartida(int numero) {
    const QString texto = Label2->text();
    const int p = texto.indexOf(u':');
    Label2->setText((p < 0 ? texto : texto.left(p + 1)) + " " + QString::number(numero));
}

void ListaPgn::PrintText(int indice, const QString& texto) {
    if (indice >= 0 && indice <= 5) Text1[size_t(indice)]->setText(texto);
    if (indice == 6) Combo1->setEditText(texto);
}

// ---- Loading a game ----------------------------------------------------------------------

void ListaPgn::GuardarInicio() {
    inicio_ = Reglas().Estado();
    inicioJugadas_ = Reglas().Jugadas;
}

void ListaPgn::Timer_Timer() {
    Timer->stop();
    auto& g = Reglas();
    ::Jugadas().BorrarContenedor();
    JugadaPgnActual = 0;
    if (!PgnIndexado) NumPartidasPgn = 0;
    g.PgnJugadas.clear();
    ::Nuevo().VariablesCero();
    ::Tavorin().PonerFichas();
    g.Turno = turno::Nadie;
    // No en-passant chance of the previous game survives into this one.
    g.AlPasoPosible = false;
    g.CasillaAlPaso = 0;
    g.CasillasPrueba = g.Casillas;
    LeerPgn(FicheroPgn);
    Buscar->update();
    GuardarInicio();
    if (PgnConFen) {
        RepintarTablero();
        return;
    }
    if (NumPartidasPgn == 0) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NadaCargado), MB_ICONINFORMATION);
    } else {
        LeerMovimientosPgn(FicheroPgn);
        const auto& movimientos = ::PgnMovimientos();
        const int lineas = int(movimientos.Lineas().size());
        for (int i = 0; i < lineas; i += 2) {
            const std::string blancas = pgn::JugadaDeLinea(movimientos.Linea(i), true);
            const std::string negras = i + 1 < lineas ? pgn::JugadaDeLinea(movimientos.Linea(i + 1), false) : "";
            if (blancas.empty()) continue;
            g.ErrorPgn = false;
            g.ComFicha(blancas, 1);
            if (g.ErrorPgn) break;
            g.ComFicha(negras, 2);
            if (g.ErrorPgn) break;
        }
    }
    JugadaPgnActual = NumeroJugadas() - 1;
    const auto& registros = g.Jugadas.List1;
    const size_t base = std::min(inicioJugadas_.List1.size(), registros.size());
    registrosPartida_.assign(registros.begin() + std::ptrdiff_t(base), registros.end());
    tableroMostrado_ = g.Casillas;
    Seleccionar(int(JugadaPgnActual));
    if (!::PgnMovimientos().Visible()) ::PgnMovimientos().Show();
    RepintarTablero();
}

int ListaPgn::NumeroJugadas() const { return int(Reglas().PgnJugadas.size()); }

// ---- Moving through the game ---------------------------------------------------------------

void ListaPgn::PasoReproduccion(int i) {
    auto& g = Reglas();
    const std::string& t = g.PgnJugadas[size_t(i)];
    g.Origen = t.substr(0, 2);
    g.Destino = t.size() >= 4 ? t.substr(2, 2) : std::string();
    // None for a move without one: a load stopped by a word may have left one set.
    g.PiezaCoronacion = t.size() >= 5 ? std::atoi(t.c_str() + 4) : 0;
    g.ValidarMovimiento();
    if (!g.CapturaAlPaso.empty() && g.MovimientoValido)
        ::Tavorin().SubComoFicha(QString::fromStdString(g.CapturaAlPaso));
    if (!g.MovimientoValido) MostrarMensaje("Tavorin", MensajeNumero(texto::JugadaNoValida), MB_ICONINFORMATION);
    ::Tavorin().MovimientoAnulado();
}

bool ListaPgn::TableroEnLaPartida() const {
    const auto& registros = Reglas().Jugadas.List1;
    const long k = JugadaPgnActual;
    // A position set up meanwhile (a FEN tag read by another list tag, a move made).
    if (Reglas().Casillas != tableroMostrado_) return false;
    if (k < -1 || k >= NumeroJugadas() || k >= long(registrosPartida_.size())) return false;
    if (registros.size() != inicioJugadas_.List1.size() + size_t(k + 1)) return false;
    return k < 0 || registros.back() == registrosPartida_[size_t(k)];
}

void ListaPgn::MostrarJugada(int k) {
    k = std::clamp(k, -1, NumeroJugadas() - 1);
    auto& g = Reglas();
    long actual = JugadaPgnActual;
    auto alInicio = [&] {
        g.Estado() = inicio_;
        g.Jugadas = inicioJugadas_;
        actual = -1;
    };
    if (k < 0 || !TableroEnLaPartida()) alInicio();
    // Back: each move taken back as the take-back command takes it back.
    while (actual > k) {
        if (!retroceso::Retroceder(g)) {
            alInicio();
            break;
        }
        --actual;
    }
    // The side to move stays the start's, as for the moves played on the load.
    g.Turno = inicio_.Turno;
    while (actual < k) PasoReproduccion(int(++actual));
    JugadaPgnActual = k;
    tableroMostrado_ = g.Casillas;
    // The move list follows the take-backs too.
    ::Jugadas().ActualizarTextos();
    RepintarTablero();
}

void ListaPgn::RepintarTablero() { ::Tavorin().RepintarDesdeFondo(Visible()); }

void ListaPgn::Seleccionar(int linea) { ::PgnMovimientos().Seleccionar(linea); }

void ListaPgn::IrAJugada() {
    JugadaPgnActual = -1;
    ::PgnMovimientos().IrAlPrincipio();
    Seleccionar(-1);
    MostrarJugada(-1);
}

void ListaPgn::SiguienteJugada() {
    const int ultima = NumeroJugadas() - 1;
    if (JugadaPgnActual >= ultima && autoPlayActivo_) PararAutoPlay();
    if (JugadaPgnActual >= ultima) return;
    Seleccionar(int(JugadaPgnActual) + 1);
    MostrarJugada(int(JugadaPgnActual) + 1);
}

void ListaPgn::Command1_Click(int indice) {
    picContainer[2]->setFocus();
    const int ultima = NumeroJugadas() - 1;
    switch (indice) {
        case 1: IrAJugada(); break;
        case 2:
            if (JugadaPgnActual == -1) break;
            Seleccionar(int(JugadaPgnActual) - 1);
            MostrarJugada(int(JugadaPgnActual) - 1);
            break;
        case 3: SiguienteJugada(); break;
        case 4:
            if (JugadaPgnActual == ultima) break;
            MostrarJugada(ultima);
            Seleccionar(ultima);
            break;
        case 5:
            if (autoPlayActivo_) {
                PararAutoPlay();
                break;
            }
            Command1[5]->setToolTip(Consejo("23"));
            Command1[5]->setIcon(ImageList1[6]);
            if (JugadaPgnActual >= ultima) IrAJugada();
            autoPlayActivo_ = true;
            AutoPlay->start(IntervaloAutoPlay());
            for (int i = 1; i <= 4; ++i) Command1[i]->setEnabled(false);
            break;
        default: break;
    }
}

void ListaPgn::PararAutoPlay() {
    Command1[5]->setToolTip(Consejo("22"));
    Command1[5]->setIcon(ImageList1[5]);
    autoPlayActivo_ = false;
    AutoPlay->stop();
    for (int i = 1; i <= 4; ++i) Command1[i]->setEnabled(true);
}

int ListaPgn::IntervaloAutoPlay() const {
    const auto v = controles::ANumero(Combo2->currentText());
    return v ? int(std::clamp(*v, 250.0, 5000.0)) : 1000;
}

void ListaPgn::AjustarCabecera() {
    PictureBox* cabecera = Picture1;
    QPoint origen = cabecera->mapTo(this, QPoint(0, 0));
    int ancho = Text1[0]->mapTo(this, QPoint(0, 0)).x() - origen.x();
    QPoint combo = Combo1->mapTo(this, QPoint(0, 0));
    int alto = combo.y() + Combo1->height() + 20 - origen.y();
    if (ancho > 0 && alto > 0) {
        cabecera->resize(ancho, std::max(alto, cabecera->height()));
        QImage copia = cabecera->Imagen().copy(0, 0, 66, 148);
        QPainter p(&cabecera->Imagen());
        p.drawImage(QRect(0, 0, cabecera->ScaleWidth(), cabecera->ScaleHeight()), copia);
    }
}

bool ListaPgn::BotonesGuardar() const { return controles::Visible(Command2[1]); }

void ListaPgn::BorrarLista() { Eventos->clear(); }

void ListaPgn::AnadirPartidas(const QStringList& textos) {
    // One batch, without repaints on the way.
    const bool bloqueado = Eventos->blockSignals(true);
    Eventos->setUpdatesEnabled(false);
    Eventos->addItems(textos);
    for (int k = 0; k < Eventos->count(); ++k) Eventos->item(k)->setData(Qt::UserRole, k);
    Eventos->setUpdatesEnabled(true);
    Eventos->blockSignals(bloqueado);
    if (!textos.isEmpty() && Eventos->currentRow() < 0) {
        EventosTag = 0;
        Eventos->setCurrentRow(0);
        NumeroPartida(1);
    }
}

int ListaPgn::PartidaElegida() const { return Eventos->currentRow(); }
int ListaPgn::EtiquetaBuscada() const { return Buscar->currentIndex(); }

void ListaPgn::BorrarEtiquetas() {
    for (QLineEdit* e : Text1) e->clear();
    Combo1->setEditText(QString());
}

void ListaPgn::CargarLuego() { Timer->start(300); }

QString ListaPgn::TextoAutoPlay() const { return Combo2->currentText(); }
void ListaPgn::FijarAutoPlay(const QString& texto) { Combo2->setCurrentText(texto); }

void ListaPgn::AutoPlay_Timer() {
    // The timer rests while the step runs: a message box's own loop must not run
    // further steps behind it.
    AutoPlay->stop();
    SiguienteJugada();
    if (autoPlayActivo_) AutoPlay->start(IntervaloAutoPlay());
}

void ListaPgn::Combo2_Click() {
    if (autoPlayActivo_) AutoPlay->setInterval(IntervaloAutoPlay());
}

// ---- Choosing games and the list tag --------------------------------------------------------

void ListaPgn::Eventos_Click() {
    if (autoPlayActivo_) PararAutoPlay();
    const int k = Eventos->currentRow();
    if (k < 0 || EventosTag == k) return;
    EventosTag = k;
    ::PgnMovimientos().Borrar();
    for (QLineEdit* e : Text1) e->clear();
    Combo1->setEditText(QString());
    Timer->start(10);
    NumeroPartida(k + 1);
}

void ListaPgn::Eventos_DblClick() {
    if (Eventos->currentRow() >= 0) PaintTab(2);
}

void ListaPgn::Buscar_Click() {
    if (FicheroPgn.isEmpty()) return;
    NumeroPartida(0);
    NumPartidasPgn = 0;
    const bool bloqueado = Eventos->blockSignals(true);
    Eventos->clear();
    Eventos->blockSignals(bloqueado);
    PgnIndexado = false;
    LeerPgn(FicheroPgn);
    Buscar->update();
    picTab->Refresh();
    picContainer[1]->Refresh();
}

// ---- Saving ------------------------------------------------------------------------------------

void ListaPgn::Command2_Click(int indice) {
    auto volverASuSitio = [this] {
        if (auto v = controles::ANumero(ajustes::Leer(ajustes::Clave::PgnTopInformacion))) setTop(*v);
        if (auto v = controles::ANumero(ajustes::Leer(ajustes::Clave::PgnLeftInformacion))) setLeft(*v);
    };
    if (indice == 2) {
        GuardandoPgn = false;
        FicheroPendiente.clear();
        Unload();
        volverASuSitio();
        return;
    }
    if (indice != 1) return;
    std::array<std::string, 6> campos;
    for (int i = 0; i < 6; ++i) campos[size_t(i)] = Text1[size_t(i)]->text().toStdString();
    TextoPgn = QString::fromStdString(
        pgn::TextoFichero(campos, Combo1->currentText().toStdString(), TextoJugadasPgn.toStdString()));
    const QByteArray bytes = TextoPgn.toUtf8();
    const Escritura escrita =
        FicheroPendiente.isEmpty()
            ? Escritura::Fallida
            : EscribirFichero(FicheroPendiente, [&bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); });
    if (escrita != Escritura::Hecha) {
        const QString texto = TextoConNombre(texto::NoSeEscribe, FicheroPendiente);
        if (!texto.isEmpty()) MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
        return;
    }
    GuardandoPgn = false;
    MostrarMensaje("Tavorin", MensajeNumero(texto::PartidaGuardada), MB_ICONINFORMATION);
    FicheroPendiente.clear();
    volverASuSitio();
    Unload();
}

}  // namespace forms

namespace {

// Who plays the game on the board: the colours of a game with the peer, or the
// engines that played it from the engine panel.
pgn::Jugadores JugadoresDelTablero() {
    const auto& g = Reglas();
    auto& cpu = ::Cpu();
    pgn::Jugadores j;
    j.conectado = g.Conectado;
    j.miColor = g.MiColor;
    j.nick = NickLocal.toStdString();
    j.nickRival = NickRival.toStdString();
    j.colorFinal = ColorUltimaPartidaRed;
    j.panelMotores = cpu.Visible();
    j.motor1 = cpu.NombreMotor(turno::Blancas).toStdString();
    j.motor2 = cpu.NombreMotor(turno::Negras).toStdString();
    return j;
}

}  // namespace

void GuardarPartidaPgn() {
    auto& l = ::ListaPgn();
    TextoJugadasPgn = QString::fromStdString(pgn::TextoJugadas(Reglas().Jugadas.List[3]));
    GuardandoPgn = true;
    const auto nombres = pgn::NombresJugadores(JugadoresDelTablero());
    const QString campos[6] = {"Tavorin",
                               "Internet",
                               QDate::currentDate().toString("yyyy.MM.dd"),
                               "?",
                               QString::fromStdString(nombres[0]),
                               QString::fromStdString(nombres[1])};
    for (int i = 0; i < 6; ++i) l.Text1[size_t(i)]->setText(campos[i]);
    const std::string resultado = pgn::ResultadoDePartida(Reglas());
    l.Combo1->setEditText(resultado.empty() ? QString("*") : QString::fromStdString(resultado));
    CentrarVentana(l);
    l.Show();
    // Centred, the form goes beside the board where there is room, also when it was shown.
    ::Tavorin().ApartarDelTablero(l);
}

namespace {

// The replay pace, as Default.ini keeps it.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    ajustes::Enlazar(ajustes::Clave::AutoPlay, {[](const QString& v) { ::ListaPgn().Combo2->setCurrentText(v); },
                                                [] { return std::optional(::ListaPgn().Combo2->currentText()); }});
    return true;
}();

}  // namespace

forms::ListaPgn& ListaPgn() {
    static forms::ListaPgn* f = nullptr;
    return InstanciaForma(f);
}

bool NavegandoPgn() { return ::ListaPgn().Visible() && !GuardandoPgn; }

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasPgn(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Pgn", "Titulo", {Leyenda([]() -> Forma& { return ::ListaPgn(); })});
    f.Especial(
        "Pgn", "Titulo2",
        [](const QString& v) {
            ::PgnMovimientos().setCaption(v);
            // The tag names are printed anew into the header picture and the search list.
            ::ListaPgn().Picture1->Cls();
            ::ListaPgn().Buscar->clear();
        },
        [] { return QStringList{::PgnMovimientos().Caption()}; });
    for (int r = 1; r <= 8; ++r) {
        f.Especial(
            "Pgn", QString::number(r),
            [r](const QString& v) {
                auto& l = ::ListaPgn();
                l.Picture1->Print(4, 2 + 21 * (r - 1), v, 8);
                l.Picture1->Refresh();
                if (r <= 7) l.Buscar->addItem(v);
                if (r == 7) l.Buscar->setCurrentIndex(0);
                if (r == 8) l.Frame2->setTitle(v);
            },
            [r] {
                auto& l = ::ListaPgn();
                QStringList s{l.Picture1->TextosImpresos().value(r - 1)};
                if (r <= 7) s << l.Buscar->itemText(r - 1);
                if (r == 8) s << l.Frame2->title();
                return s;
            });
    }
    f.Enlace("Pgn", "9", {Texto([] { return ::ListaPgn().Label3; })});
    f.Enlace("Pgn", "10", {Variable(&TextosTab[1])});
    f.Enlace("Pgn", "11", {Variable(&TextosTab[2])});
    f.Enlace("Pgn", "12", {Variable(&TextosTab[3])});
    f.Enlace("Pgn", "13", {Texto([] { return ::ListaPgn().Label2; })});
    f.Enlace("Botones", "Guardar", {Texto([] { return ::ListaPgn().Command2[1]; })});
    f.Enlace("Botones", "Cancelar", {Texto([] { return ::ListaPgn().Command2[2]; })});
}

// Tips 18 to 22 on the list's buttons 1 to 5.
void FilasTipsPgn(idioma::Filas& f) {
    for (int n = 1; n <= 5; ++n)
        f.Unir("Tips", QString::number(17 + n), {idioma::ConsejoControl([n] { return ::ListaPgn().Command1[n]; })});
}

const idioma::Registro registroIdioma(idioma::Tramo::Pgn, FilasPgn);
const idioma::Registro registroTips(idioma::Tramo::TipsPgn, FilasTipsPgn);

const pintura::Registro registroPintura(
    pintura::Orden::ListaPgn,
    {0, []() -> Forma& { return ::ListaPgn(); },
     [](const QColor& c, bool esquema) {
         auto& f = ::ListaPgn();
         pintura::ColorearControles({f.Frame1, f.Frame2, f.picContainer[1], f.picContainer[2], f.picContainer[3]}, c);
         // The tab strip takes the scheme's colour; with the system's it keeps its own.
         if (esquema) f.picTab->setBackColor(c);
         ColorPestanas = c;
     }});

}  // namespace
