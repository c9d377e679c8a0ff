#include "files/SetTableroF.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "network/Nuevo.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kCelda = 40;  // a palette cell, pixels
const QColor kFondoPaleta(0, 128, 0);
const QColor kCeldaElegida(128, 255, 128);

// Palette cell -> piece: queen, rook, knight, bishop, pawn; White, then Black.
constexpr std::array<int, 10> kPaleta{5, 2, 3, 4, 1, 11, 8, 9, 10, 7};

// A picture at the palette's size, in the form the raster operations need.
QImage DeCelda(const QImage& imagen, bool escalar) {
    QImage i = imagen.convertToFormat(QImage::Format_RGB32);
    if (escalar) return i.scaled(kCelda, kCelda, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return i.copy(0, 0, kCelda, kCelda);
}

// The board's way of drawing a piece: the mask with AND, then the piece with XOR.
void DibujarConMascara(QImage& destino, const QImage& mascara, const QImage& ficha) {
    QPainter p(&destino);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(0, 0, mascara);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(0, 0, ficha);
}

void QuitarSeleccion() {
    ::Tavorin().OcultarMarcador();
    ReySeleccionado.clear();
}

}  // namespace

int PiezaDePaleta(int celda) { return (celda >= 0 && celda <= 9) ? kPaleta[size_t(celda)] : 0; }

std::optional<DerechosPreparados> AplicarAjustes(const rules::Tablero& casillas, const AjustesPreparacion& a) {
    // The rules' own reader judges whether the position can be played.
    rules::Reglas prueba;
    prueba.Casillas = casillas;
    prueba.Turno = a.turno;
    prueba.TorreA1Movida = prueba.TorreH1Movida = prueba.TorreA8Movida = prueba.TorreH8Movida = true;
    prueba.AlPasoPosible = false;
    prueba.EscribirFen();
    if (!prueba.AnalizarFen(prueba.TextoFen)) return std::nullopt;

    const auto& c = casillas;
    DerechosPreparados d;
    const bool reyBlanco = c[5][1] == rules::ReyBlanco, reyNegro = c[5][8] == rules::ReyNegro;
    d.torreH1Movida = !(a.enroques[0] && reyBlanco && c[8][1] == rules::TorreBlanca);
    d.torreA1Movida = !(a.enroques[1] && reyBlanco && c[1][1] == rules::TorreBlanca);
    d.torreH8Movida = !(a.enroques[2] && reyNegro && c[8][8] == rules::TorreNegra);
    d.torreA8Movida = !(a.enroques[3] && reyNegro && c[1][8] == rules::TorreNegra);

    const QString& t = a.casillaAlPaso;
    if (a.alPaso && !t.isEmpty()) {
        const QChar letra = t.front().toLower();
        const int f = (letra >= u'a' && letra <= u'h') ? letra.unicode() - u'a' + 1 : 0;
        const int r = t.back() == u'3' ? 4 : t.back() == u'6' ? 5 : 0;
        bool vale = false;
        if (f != 0 && r == 4 && a.turno == turno::Negras)
            vale = c[f][4] == rules::PeonBlanco && c[f][3] == 0 && c[f][2] == 0;
        if (f != 0 && r == 5 && a.turno == turno::Blancas)
            vale = c[f][5] == rules::PeonNegro && c[f][6] == 0 && c[f][7] == 0;
        if (vale) {
            d.alPasoPosible = true;
            d.casillaAlPaso = 10 * f + r;
        }
    }
    return d;
}

namespace forms {

SetTableroF::SetTableroF() : Forma(Hija, "SetTableroF") {
    // Laid out by its contents, so every caption of every language shows whole; the
    // palette keeps its two columns of five cells.
    auto* paleta = new QGridLayout;
    paleta->setHorizontalSpacing(11);
    paleta->setVerticalSpacing(2);
    for (int i = 0; i < 10; ++i) {
        Picture1[i] = new PictureBox(this, QString("Picture1_%1").arg(i));
        Picture1[i]->setFixedSize(kCelda, kCelda);
        Picture1[i]->setBackColor(kFondoPaleta);
        Picture1[i]->setCursor(Qt::PointingHandCursor);
        connect(Picture1[i], &PictureBox::MouseDown, this, [this, i] { Picture1_Click(i); });
        paleta->addWidget(Picture1[i], i % 5, i / 5);
    }
    auto boton = [this](const char* nombre) {
        auto* b = new QPushButton(this);
        b->setObjectName(nombre);
        return b;
    };
    Command1 = boton("Command1");
    Command2 = boton("Command2");
    Command3 = boton("Command3");
    Command4 = boton("Command4");

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    auto* lado = new QVBoxLayout(Frame1);
    Option1 = new QRadioButton(Frame1);
    Option1->setObjectName("Option1");
    Option1->setChecked(true);
    Option2 = new QRadioButton(Frame1);
    Option2->setObjectName("Option2");
    lado->addWidget(Option1);
    lado->addWidget(Option2);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    auto* enroques = new QVBoxLayout(Frame2);
    QCheckBox** checks[] = {&Check1, &Check2, &Check3, &Check4};
    for (int i = 0; i < 4; ++i) {
        *checks[i] = new QCheckBox(Frame2);
        (*checks[i])->setObjectName(QString("Check%1").arg(i + 1));
        enroques->addWidget(*checks[i]);
    }
    Check5 = new QCheckBox(this);
    Check5->setObjectName("Check5");
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setMaxLength(2);
    Text1->setFixedWidth(Text1->fontMetrics().horizontalAdvance("WW") + 16);
    Text1->installEventFilter(this);
    auto* alPaso = new QHBoxLayout;
    alPaso->addWidget(Check5);
    alPaso->addWidget(Text1);
    alPaso->addStretch();

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(Command1);
    derecha->addWidget(Command2);
    derecha->addWidget(Frame1);
    derecha->addWidget(Frame2);
    derecha->addLayout(alPaso);
    derecha->addStretch();

    auto* arriba = new QHBoxLayout;
    arriba->addLayout(paleta);
    arriba->setAlignment(paleta, Qt::AlignTop | Qt::AlignLeft);
    arriba->addSpacing(12);
    arriba->addLayout(derecha);

    auto* abajo = new QHBoxLayout;
    abajo->addWidget(Command3);
    abajo->addStretch();
    abajo->addWidget(Command4);

    auto* todo = new QVBoxLayout(this);
    todo->setContentsMargins(9, 9, 9, 9);
    todo->addLayout(arriba);
    todo->addLayout(abajo);
    todo->setSizeConstraint(QLayout::SetFixedSize);
    todo->activate();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    FijarTeclas(Command3, Command4);
    connect(Check5, &QCheckBox::toggled, this, [this] { Check5_Click(); });
}

void SetTableroF::Form_Load() {
    CentrarVentana(*this);
    for (PictureBox* celda : Picture1) {
        celda->Cls();
        celda->Refresh();
    }
}

void SetTableroF::Form_Activate() {
    // Only the window shown sets the board up.
    if (Visible()) ModoPreparar = true;
}

void SetTableroF::hideEvent(QHideEvent* evento) {
    Forma::hideEvent(evento);
    // Closed by OK, cancel, its close box or any other way, the board is no longer
    // set up. Hidden only with a minimised main window, it still is.
    if (!Visible()) {
        ModoPreparar = false;
        QuitarSeleccion();
    }
}

QSize SetTableroF::sizeHint() const { return QWidget::sizeHint(); }

void SetTableroF::Form_Resize() {
    // The colour scheme's background was painted for the size the window had then.
    if (!Picture().isNull() && Picture().size() != size()) {
        if (EsquemaDeColor())
            PintarDegradado(ScaleWidth(), ScaleHeight(), *this);
        else
            PintarFondoSistema(ScaleWidth(), ScaleHeight(), *this);
    }
    QWidget* marco = Marco();
    if (marco == this) return;
    const QSize justo = marco->sizeHint();
    marco->setMinimumSize(justo);
    if (marco->size() != justo) marco->resize(justo);
}

void SetTableroF::Form_Unload(bool& cancelar) {
    ModoPreparar = false;
    QuitarSeleccion();
    // Closed by its close box: the edited position stays on the board, but nobody
    // may play a position that OK has not accepted.
    if (!cerrando_) Reglas().Turno = turno::Nadie;
    cancelar = true;
    Hide();
}

void SetTableroF::PaintImagenesSet() {
    auto& t = ::Tavorin();
    // The pictures loaded for another skin than the built-in one are of their own size.
    const bool original = ::Opciones().AparienciaElegida() == AparienciaActual;
    for (int k = 0; k < 10; ++k) {
        const int p = kPaleta[size_t(k)];
        const QImage& mascara = original ? t.OMascara[p] : t.SMascara[p];
        const QImage& ficha = original ? t.OFichas[p] : t.SFichas[p];
        PictureBox* celda = Picture1[k];
        celda->Cls();
        if (!mascara.isNull() && !ficha.isNull())
            DibujarConMascara(celda->Imagen(), DeCelda(mascara, !original), DeCelda(ficha, !original));
        celda->Refresh();
    }
}

void SetTableroF::LimpiarPaleta() {
    for (PictureBox* p : Picture1) {
        p->setBackColor(kFondoPaleta);
        p->Cls();
    }
    FichaPaleta = 0;
    PaintImagenesSet();
}

void SetTableroF::Reiniciar() {
    for (PictureBox* celda : Picture1) celda->setBackColor(kFondoPaleta);
    FichaPaleta = 0;
    Option1->setChecked(true);
    Option2->setChecked(false);
    for (QCheckBox* c : {Check1, Check2, Check3, Check4}) c->setChecked(true);
    Check5->setChecked(false);
    Text1->clear();
    Text1->setEnabled(false);
    PaintImagenesSet();
}

void SetTableroF::ImprimeFichas() { ::Tavorin().RepintarPorCopia(); }

void SetTableroF::MarcarPieza(int celda) {
    if (celda >= 0 && celda <= 9) FichaPaleta = PiezaDePaleta(celda);
}

void SetTableroF::Picture1_Click(int celda) {
    for (PictureBox* p : Picture1) {
        p->setBackColor(kFondoPaleta);
        p->Cls();
    }
    if (celda >= 0 && celda <= 9) Picture1[size_t(celda)]->setBackColor(kCeldaElegida);
    MarcarPieza(celda);
    PaintImagenesSet();
}

void SetTableroF::Command1_Click() {
    auto& g = Reglas();
    QuitarSeleccion();
    g.VaciarTablero();
    g.Casillas[5][1] = rules::ReyBlanco;
    g.Casillas[5][8] = rules::ReyNegro;
    ImprimeFichas();
    for (QCheckBox* c : {Check1, Check2, Check3, Check4}) c->setChecked(false);
}

void SetTableroF::Command2_Click() {
    QuitarSeleccion();
    ::Tavorin().PonerFichas();
    ImprimeFichas();
    for (QCheckBox* c : {Check1, Check2, Check3, Check4}) c->setChecked(true);
}

void SetTableroF::Check5_Click() {
    if (Check5->isChecked()) {
        Text1->setEnabled(true);
        Text1->setFocus();
    } else {
        Text1->setEnabled(false);
    }
}

bool SetTableroF::Text1_KeyPress(QChar tecla) {
    if (tecla == u'\b') return true;
    const bool letra = (tecla >= u'a' && tecla <= u'h') || (tecla >= u'A' && tecla <= u'H');
    const bool cifra = tecla == u'3' || tecla == u'6';
    const bool vacia = Text1->text().isEmpty();
    if ((letra && vacia) || (cifra && !vacia)) return true;
    controles::Pitido();
    return false;
}

bool SetTableroF::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Text1 && evento->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(evento);
        if (e->key() == Qt::Key_Backspace) return false;
        const QString texto = e->text();
        // Keys that type nothing (arrows, Delete) are the box's own.
        if (texto.isEmpty() || !texto.front().isPrint()) return false;
        return !Text1_KeyPress(texto.front());
    }
    return Forma::eventFilter(objeto, evento);
}

void SetTableroF::Command3_Click() {
    auto& g = Reglas();
    if (Text1->text().isEmpty()) Check5->setChecked(false);
    AjustesPreparacion a;
    a.turno = Option2->isChecked() ? turno::Negras : turno::Blancas;
    a.enroques = {Check1->isChecked(), Check2->isChecked(), Check3->isChecked(), Check4->isChecked()};
    a.alPaso = Check5->isChecked();
    a.casillaAlPaso = Text1->text();
    const auto derechos = AplicarAjustes(g.Casillas, a);
    if (!derechos) {
        // The rules could not play it: the window stays open for a change.
        MostrarMensaje("Tavorin", MensajeNumero(texto::PosicionNoValida), MB_ICONINFORMATION);
        return;
    }
    MinutosBlancas = SegundosBlancas = MinutosNegras = SegundosNegras = 0;
    ::Reloj().PrintTimerB();
    ::Reloj().PrintTimerN();
    ::Jugadas().BorrarContenedor();
    ::Nuevo().VariablesCero();
    ::Tavorin().MovimientoAnulado();
    if (a.alPaso && !a.casillaAlPaso.isEmpty()) g.AlPasoTexto = a.casillaAlPaso.toStdString();
    g.AlPasoPosible = derechos->alPasoPosible;
    g.CasillaAlPaso = derechos->casillaAlPaso;
    g.AlPasoCaduca = derechos->alPasoPosible;
    g.TorreA1Movida = derechos->torreA1Movida;
    g.TorreH1Movida = derechos->torreH1Movida;
    g.TorreA8Movida = derechos->torreA8Movida;
    g.TorreH8Movida = derechos->torreH8Movida;
    g.Turno = a.turno;
    PosicionPreparada = true;
    cerrando_ = true;
    Unload();
    cerrando_ = false;
}

void SetTableroF::Command4_Click() {
    auto& g = Reglas();
    ::Tavorin().PonerFichas();
    ImprimeFichas();
    ::Jugadas().BorrarContenedor();
    PosicionPreparada = false;
    g.Turno = turno::Nadie;
    cerrando_ = true;
    Unload();
    cerrando_ = false;
}

}  // namespace forms

namespace {
// The options dialog's skin and size reach the palette.
[[maybe_unused]] const bool kOpcionesEnlazadas = [] {
    opciones::Enlaces& e = opciones::Enlazadas();
    e.paletaAbierta = [] { return ::SetTableroF().Visible(); };
    e.limpiarPaleta = [] { ::SetTableroF().LimpiarPaleta(); };
    return true;
}();
}  // namespace

forms::SetTableroF& SetTableroF() {
    static forms::SetTableroF* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasSetTablero(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("SetTablero", "Titulo", {Leyenda([]() -> Forma& { return ::SetTableroF(); })});
    f.Enlace("SetTablero", "1", {Texto([] { return ::SetTableroF().Command1; })});
    f.Enlace("SetTablero", "2", {Texto([] { return ::SetTableroF().Command2; })});
    f.Enlace("SetTablero", "Frame1", {Texto([] { return ::SetTableroF().Frame1; })});
    f.Enlace("SetTablero", "Option1", {Texto([] { return ::SetTableroF().Option1; })});
    f.Enlace("SetTablero", "Option2", {Texto([] { return ::SetTableroF().Option2; })});
    f.Enlace("SetTablero", "Frame2", {Texto([] { return ::SetTableroF().Frame2; })});
    f.Enlace("SetTablero", "Check1", {Texto([] { return ::SetTableroF().Check1; })});
    f.Enlace("SetTablero", "Check2", {Texto([] { return ::SetTableroF().Check2; })});
    f.Enlace("SetTablero", "Check3", {Texto([] { return ::SetTableroF().Check3; })});
    f.Enlace("SetTablero", "Check4", {Texto([] { return ::SetTableroF().Check4; })});
    f.Enlace("SetTablero", "Check5", {Texto([] { return ::SetTableroF().Check5; })});
    f.Botones([] { return ::SetTableroF().Command3; }, [] { return ::SetTableroF().Command4; });
}
const idioma::Registro registroIdioma(idioma::Tramo::SetTablero, FilasSetTablero);

const pintura::Registro registroPintura(pintura::Orden::SetTablero,
                                        {0, []() -> Forma& { return ::SetTableroF(); },
                                         [](const QColor& c, bool) {
                                             auto& f = ::SetTableroF();
                                             pintura::ColorearControles(
                                                 {f.Frame1, f.Frame2, f.Option1, f.Option2, f.Check1, f.Check2,
                                                  f.Check3, f.Check4, f.Check5},
                                                 c);
                                         }});

}  // namespace
