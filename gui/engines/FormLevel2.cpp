#include "engines/FormLevel2.h"

#include "app/Ajustes.h"
#include "app/Opciones.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "engines/Nivel.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "platform/SweetButton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

QString ComandoNivel;

namespace {

// The help of the time-control mode (key 22 of section CPU); the other two modes'
// helps are TextosNivel[1] and [2].
QString TextoControlDeTiempo;

// The design's grid: twips, 15 a pixel, scaled with the font (a design label is 13
// pixels high).
struct Rejilla {
    double k;
    int operator()(double twips) const { return int(std::lround(twips / TwipsPorPixel * k)); }
};

int Ancho(const QWidget* w) { return w->sizeHint().width(); }
int Alto(const QWidget* w) { return w->sizeHint().height(); }

}  // namespace

namespace forms {

FormLevel2::FormLevel2() : Forma(Dialogo, "FormLevel2") {
    auto marco = [](QWidget* padre, const char* nombre) {
        auto* g = new QGroupBox(padre);
        g->setObjectName(nombre);
        return g;
    };
    auto etiqueta = [](QWidget* padre, const char* nombre) {
        auto* l = new QLabel(padre);
        l->setObjectName(nombre);
        return l;
    };
    auto caja = [](QWidget* padre, const char* nombre, int largo) {
        auto* t = new QLineEdit(padre);
        t->setObjectName(nombre);
        t->setMaxLength(largo);
        return t;
    };
    // The plain button face lies behind the panels.
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setFocusPolicy(Qt::NoFocus);
    Frame1 = marco(this, "Frame1");
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(Frame1);
        Option1[i]->setObjectName(QString("Option1_%1").arg(i));
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    titulo = new PictureBox(this, "titulo");
    Label1 = etiqueta(titulo, "Label1");
    QFont negrita = Label1->font();
    negrita.setBold(true);
    Label1->setFont(negrita);
    Frame3 = marco(this, "Frame3");
    Frame4 = marco(this, "Frame4");
    Frame5 = marco(this, "Frame5");
    Frame2 = marco(this, "Frame2");
    Label2 = etiqueta(Frame2, "Label2");
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Text1 = caja(Frame3, "Text1", 3);
    Text1->setText("10");
    Label3 = etiqueta(Frame3, "Label3");
    Text2 = caja(Frame4, "Text2", 2);
    Text2->setText("4");
    Label4 = etiqueta(Frame5, "Label4");
    Label5 = etiqueta(Frame5, "Label5");
    Combo1 = new QComboBox(Frame5);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(false);
    Combo1->addItems(nivel::ListaJugadas());
    Combo1->setCurrentText("30");
    Text3 = caja(Frame5, "Text3", 2);
    Text3->setText("10");
    auto boton = [](QGroupBox* g, const char* nombre) { return new SweetButton(g, nombre); };
    Button1 = boton(Frame3, "Button1");
    Button2 = boton(Frame3, "Button2");
    SweetButton2 = boton(Frame4, "SweetButton2");
    SweetButton1 = boton(Frame4, "SweetButton1");
    SweetButton4 = boton(Frame5, "SweetButton4");
    SweetButton3 = boton(Frame5, "SweetButton3");
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setDefault(true);

    auto paso = [this](SweetButton* b, void (FormLevel2::*manejador)(int)) {
        connect(b, &SweetButton::MouseUp, this,
                [this, manejador](int boton, int, double, double) { (this->*manejador)(boton); });
    };
    paso(Button1, &FormLevel2::Button1_MouseUp);
    paso(Button2, &FormLevel2::Button2_MouseUp);
    paso(SweetButton1, &FormLevel2::SweetButton1_MouseUp);
    paso(SweetButton2, &FormLevel2::SweetButton2_MouseUp);
    paso(SweetButton3, &FormLevel2::SweetButton3_MouseUp);
    paso(SweetButton4, &FormLevel2::SweetButton4_MouseUp);
    // Range rule after every change of a box, the program's own changes included. A
    // box emptied (or set below 1) shows "1" selected, so the next digit typed
    // replaces it: selecting all, deleting and typing 3 gives 3, not 13.
    auto rango = [](QLineEdit* t, long maximo) {
        connect(t, &QLineEdit::textChanged, t, [t, maximo](const QString& texto) {
            const QString bueno = nivel::EnRango(texto, maximo);
            if (bueno == texto) return;
            t->setText(bueno);
            if (nivel::Valor(texto) < 1) t->selectAll();
        });
    };
    rango(Text1, nivel::kMaximoSegundos);
    rango(Text2, nivel::kMaximoProfundidad);
    rango(Text3, nivel::kMaximoMinutos);
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Text2, Text3, Combo1}) w->installEventFilter(this);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    FijarTeclas(Command2, nullptr);
    Frame3->hide();
    Frame5->hide();
    Encajar();
}

void FormLevel2::Form_Load() {
    Button1->setLoadImage(true);
    Button2->setLoadImage(false);
    SweetButton2->setLoadImage(true);
    SweetButton1->setLoadImage(false);
    SweetButton4->setLoadImage(true);
    SweetButton3->setLoadImage(false);
    for (SweetButton* b : {Button1, Button2, SweetButton1, SweetButton2, SweetButton3, SweetButton4})
        b->setEnabledB(true);
    Encajar();
}

void FormLevel2::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void FormLevel2::Encajar() {
    const Rejilla t{std::max(1.0, QFontMetrics(font()).height() / 13.0)};
    const int boton = std::max(Button1->height(), 1);

    // Widths: every text shows whole; the panels share one width.
    int opcion = t(2040);
    for (QRadioButton* o : Option1) opcion = std::max(opcion, Ancho(o));
    const int combo = std::max(t(1050), Ancho(Combo1));
    const int caja = std::max(t(600), QFontMetrics(Text1->font()).horizontalAdvance("000") + 12);
    const int x5 = std::max({t(1260), t(90) + combo + t(120), t(90) + Ancho(Label4) + t(120)});
    int panel =
        std::max({t(4245), opcion, Ancho(Label1) + t(90), t(945) + Ancho(Label3) + t(90),
                  x5 + std::max(caja + 2 + boton, Ancho(Label5)) + t(90), Frame1->minimumSizeHint().width() - t(180)});
    const int marco1 = panel + t(180);

    // Heights, top to bottom; each row grows where its text needs it.
    const int altoOpcion = std::max(t(240), Alto(Option1[0]));
    const int pasoOpcion = std::max(t(270), altoOpcion + 2);
    const int alto1 = std::max(t(1095), t(225) + 2 * pasoOpcion + altoOpcion + t(90));
    Frame1->setGeometry(t(90), t(135), marco1, alto1);
    for (int i = 0; i < 3; ++i) Option1[i]->setGeometry(t(90), t(225) + i * pasoOpcion, opcion, altoOpcion);
    int y = t(135) + alto1 + t(150);

    const int altoTitulo = std::max(t(195), Alto(Label1));
    const int commandTop = y - t(75);
    titulo->setGeometry(t(180), y, panel, std::max(t(285), altoTitulo + t(90)));
    Label1->setGeometry(0, t(15), panel - t(90), altoTitulo);
    y += titulo->height();

    const int altoCaja = std::max(t(285), Alto(Text1));
    const int altoCombo = std::max(t(315), Alto(Combo1));
    const int altoEtiqueta = std::max(t(195), Alto(Label3));
    const int arriba = t(270);
    const int abajo5 = t(360) + std::max(altoCombo, altoCaja);
    const int altoPanel = std::max(
        {t(750), arriba + altoCaja + t(90), arriba + 2 * boton + t(45), abajo5 + t(90), t(315) + 2 * boton + t(45)});
    for (QGroupBox* f : {Frame3, Frame4, Frame5}) f->setGeometry(t(180), y, panel, altoPanel);
    // Time per move and depth: the box, its two buttons stacked beside it.
    auto fila = [&](QLineEdit* c, SweetButton* mas, SweetButton* menos) {
        c->setGeometry(t(90), arriba, caja, altoCaja);
        const int xb = t(90) + caja + 2;
        const int yb = std::max(t(45), arriba + altoCaja / 2 - boton);
        mas->move(xb, yb);
        menos->move(xb, yb + boton);
        return xb + boton;
    };
    const int finCaja1 = fila(Text1, Button1, Button2);
    Label3->setGeometry(std::max(t(945), finCaja1 + t(60)), arriba + (altoCaja - altoEtiqueta) / 2, Ancho(Label3),
                        altoEtiqueta);
    fila(Text2, SweetButton2, SweetButton1);
    // Time control: moves and minutes, each under its label.
    Label4->setGeometry(t(90), t(135) - t(90), std::max(Ancho(Label4), combo), altoEtiqueta);
    Combo1->setGeometry(t(90), t(360), combo, altoCombo);
    Label5->setGeometry(x5, t(135) - t(90), Ancho(Label5), altoEtiqueta);
    Text3->setGeometry(x5, t(360), caja, altoCaja);
    SweetButton4->move(x5 + caja + 2, t(360) + altoCaja / 2 - boton);
    SweetButton3->move(x5 + caja + 2, t(360) + altoCaja / 2);
    y += altoPanel + t(15);

    const int anchoAyuda = panel - t(90);
    const int altoAyuda = std::max(t(600), Label2->heightForWidth(anchoAyuda));
    Frame2->setGeometry(t(180), y, panel, std::max(t(780), t(135) + altoAyuda + t(45)));
    Label2->setGeometry(t(45), t(135), anchoAyuda, altoAyuda);
    y += Frame2->height() + t(90);
    Command1->setGeometry(t(90), commandTop, marco1, y - commandTop);

    const int ancho = marco1 + t(180);
    const int ok = std::max(t(1050), Ancho(Command2));
    Command2->setGeometry((ancho - ok) / 2, y + t(45), ok, std::max(t(315), Alto(Command2)));
    resize(ancho, Command2->geometry().bottom() + 1 + t(120));
}

void FormLevel2::paintEvent(QPaintEvent*) {
    // The background picture of the colour scheme covers the dialog whatever its size.
    QPainter p(this);
    p.fillRect(rect(), BackColor());
    if (!Picture().isNull()) p.drawImage(rect(), Picture());
}

void FormLevel2::showEvent(QShowEvent* evento) {
    Encajar();
    Forma::showEvent(evento);
}

bool FormLevel2::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress) return Forma::eventFilter(objeto, evento);
    const auto* tecla = static_cast<QKeyEvent*>(evento);
    const QString texto = tecla->text();
    // Keys without a character (arrows, Delete), the focus keys, Enter (the dialog's
    // OK) and select-all are no key presses of the boxes.
    if (texto.isEmpty() || tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab) return false;
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) return false;
    if (objeto != Combo1 && tecla->matches(QKeySequence::SelectAll)) return false;
    const QChar c = texto[0];
    if (objeto != Combo1 && ((c >= u'0' && c <= u'9') || c == QChar(8))) return false;
    controles::Pitido();
    return true;
}

void FormLevel2::CargarLevel() {
    const int modo = OpcionElegida();
    if (modo < 0) return;
    ComandoNivel = nivel::Comando(modo, Text1->text(), Text2->text(), Combo1->currentText(), Text3->text());
}

void FormLevel2::MuestraDatos(long opcion) {
    if (opcion < 0 || opcion > 2) return;
    Frame4->setVisible(opcion == nivel::Profundidad);
    Frame3->setVisible(opcion == nivel::TiempoPorJugada);
    Frame5->setVisible(opcion == nivel::ControlDeTiempo);
    Label2->setText(opcion == nivel::ControlDeTiempo ? TextoControlDeTiempo : TextosNivel[opcion + 1]);
    Label1->setText(Option1[opcion]->text());
    Encajar();
}

void FormLevel2::FijarOpcion(int indice) {
    if (indice < 0 || indice > 2) return;
    Option1[indice]->setChecked(true);
    Option1_Click(indice);
}

int FormLevel2::OpcionElegida() const {
    for (int i = 0; i < 3; ++i)
        if (Option1[i]->isChecked()) return i;
    return -1;
}

QString FormLevel2::Valor(Campo campo) const {
    switch (campo) {
        case Campo::Segundos: return Text1->text();
        case Campo::Profundidad: return Text2->text();
        case Campo::Minutos: return Text3->text();
        case Campo::Jugadas: return Combo1->currentText();
    }
    return {};
}

void FormLevel2::FijarValor(Campo campo, const QString& texto) {
    switch (campo) {
        case Campo::Segundos: Text1->setText(texto); break;
        case Campo::Profundidad: Text2->setText(texto); break;
        case Campo::Minutos: Text3->setText(texto); break;
        case Campo::Jugadas: Combo1->setCurrentText(texto); break;
    }
}

bool FormLevel2::ConReloj() const { return Option1[nivel::ControlDeTiempo]->isChecked(); }

void FormLevel2::Option1_Click(int indice) { MuestraDatos(indice); }

void FormLevel2::Command2_Click() {
    CargarLevel();
    Unload();
}

namespace {
void Paso(QLineEdit* caja, int boton, bool subir, long maximo) {
    if (boton != controles::BotonIzquierdo) return;
    caja->setText(subir ? nivel::Subir(caja->text(), maximo) : nivel::Bajar(caja->text(), maximo));
}
}  // namespace

void FormLevel2::Button1_MouseUp(int Button) { Paso(Text1, Button, true, nivel::kMaximoSegundos); }
void FormLevel2::Button2_MouseUp(int Button) { Paso(Text1, Button, false, nivel::kMaximoSegundos); }
void FormLevel2::SweetButton2_MouseUp(int Button) { Paso(Text2, Button, true, nivel::kMaximoProfundidad); }
void FormLevel2::SweetButton1_MouseUp(int Button) { Paso(Text2, Button, false, nivel::kMaximoProfundidad); }
void FormLevel2::SweetButton4_MouseUp(int Button) { Paso(Text3, Button, true, nivel::kMaximoMinutos); }
void FormLevel2::SweetButton3_MouseUp(int Button) { Paso(Text3, Button, false, nivel::kMaximoMinutos); }

}  // namespace forms

namespace {

// The level dialog's fields and chosen mode as Default.ini keeps them.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    using enum ajustes::Clave;
    auto campo = [](ajustes::Clave clave, auto campo) {
        ajustes::Enlazar(clave, {[campo](const QString& v) { campo(::FormLevel2())->setText(v); },
                                 [campo] { return std::optional(campo(::FormLevel2())->text()); }});
    };
    campo(CpuSt, [](forms::FormLevel2& f) { return f.Text1; });
    campo(CpuSd, [](forms::FormLevel2& f) { return f.Text2; });
    campo(CpuTiempo, [](forms::FormLevel2& f) { return f.Text3; });
    ajustes::Enlazar(CpuJugadas, {[](const QString& v) { ::FormLevel2().Combo1->setCurrentText(v); },
                                  [] { return std::optional(::FormLevel2().Combo1->currentText()); }});
    ajustes::Enlazar(CpuOption, {[](const QString& texto) {
                                     auto v = controles::AEntero(texto);
                                     ::FormLevel2().FijarOpcion(v && *v >= 0 && *v < 3 ? int(*v) : 0);
                                 },
                                 []() -> std::optional<QString> {
                                     const int i = ::FormLevel2().OpcionElegida();
                                     return i >= 0 ? std::optional(QString::number(i)) : std::nullopt;
                                 }});
    return true;
}();

// A new language: the fields of the level chosen written again.
[[maybe_unused]] const bool kOpcionesEnlazadas = [] {
    opciones::Enlazadas().nivel = [] {
        auto& nivel = ::FormLevel2();
        if (const int i = nivel.OpcionElegida(); i >= 0) nivel.MuestraDatos(i);
    };
    return true;
}();

}  // namespace

forms::FormLevel2& FormLevel2() {
    static forms::FormLevel2* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasNivel(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("CPU", "11", {Leyenda([]() -> Forma& { return ::FormLevel2(); })});
    f.Enlace("CPU", "12", {Texto([] { return ::FormLevel2().Frame1; })});
    f.Enlace("CPU", "13", {Texto([] { return ::FormLevel2().Option1[0]; })});
    f.Enlace("CPU", "14", {Texto([] { return ::FormLevel2().Option1[1]; })});
    f.Enlace("CPU", "15", {Texto([] { return ::FormLevel2().Option1[2]; })});
    f.Enlace("CPU", "16", {Texto([] { return ::FormLevel2().Label3; })});
    f.Enlace("CPU", "17", {Texto([] { return ::FormLevel2().Label4; })});
    f.Enlace("CPU", "18", {Texto([] { return ::FormLevel2().Label5; })});
    f.Enlace("CPU", "19", {Variable(&TextosNivel[1])});
    f.Enlace("CPU", "20", {Variable(&TextosNivel[2])});
    f.Enlace("CPU", "22", {Variable(&TextoControlDeTiempo)});
    f.Botones([] { return ::FormLevel2().Command2; }, nullptr);
}
const idioma::Registro registroIdioma(idioma::Tramo::Nivel, FilasNivel);

const pintura::Registro registroPintura(
    pintura::Orden::Nivel,
    {0, []() -> Forma& { return ::FormLevel2(); },
     [](const QColor& c, bool) {
         auto& f = ::FormLevel2();
         pintura::ColorearControles(
             {f.Frame1, f.Frame2, f.Frame3, f.Frame4, f.Frame5, f.Option1[0], f.Option1[1], f.Option1[2], f.Command1},
             c);
         for (SweetButton* b : {f.Button1, f.Button2, f.SweetButton1, f.SweetButton2, f.SweetButton3, f.SweetButton4})
             b->setColorB(c);
     }});

}  // namespace
