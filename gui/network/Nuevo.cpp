#include "network/Nuevo.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "network/Red.h"
#include "platform/Controles.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace minutos {

namespace {
long Valor(const QString& texto) { return long(controles::Val(texto)); }
}  // namespace

QString Corregidos(const QString& texto) {
    if (texto.isEmpty()) return texto;
    const long v = Valor(texto);
    return QString::number(v > kMaximo ? kMaximo : v);
}

QString Paso(const QString& texto, int indice) {
    const long v = Valor(texto);
    if (indice == 0) return v > kMaximo ? texto : QString::number(v + 1);
    if (v > kMaximo) return QString::number(kMaximo);
    if (v <= 1) return texto;
    return QString::number(v - 1);
}

QString ParaEnviar(const QString& texto) { return Valor(texto) < 1 ? QString("1") : Corregidos(texto); }

}  // namespace minutos

namespace forms {

Nuevo::Nuevo() : Forma(Dialogo, "Nuevo") {
    auto* principal = new QVBoxLayout(this);
    principal->setSizeConstraint(QLayout::SetFixedSize);
    auto* arriba = new QHBoxLayout;
    principal->addLayout(arriba);
    auto* marcos = new QVBoxLayout;
    arriba->addLayout(marcos);
    auto marco = [&](QGroupBox*& f, const char* nombre) {
        f = new QGroupBox(this);
        f->setObjectName(nombre);
        new QVBoxLayout(f);
        marcos->addWidget(f);
    };
    marco(Frame1, "Frame1");
    marco(Frame2, "Frame2");
    auto opcion = [](QGroupBox* padre, const char* nombre) {
        auto* o = new QRadioButton(padre);
        o->setObjectName(nombre);
        padre->layout()->addWidget(o);
        return o;
    };
    Option1 = opcion(Frame1, "Option1");
    Option2 = opcion(Frame1, "Option2");
    Option3 = opcion(Frame2, "Option3");
    Option4 = opcion(Frame2, "Option4");

    auto* lado = new QVBoxLayout;
    arriba->addLayout(lado);
    Picture1 = new PictureBox(this, "Picture1");
    Picture1->setFixedSize(64, 64);
    lado->addWidget(Picture1);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    lado->addWidget(Label1);
    auto* caja = new QHBoxLayout;
    lado->addLayout(caja);
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setMaxLength(3);
    Text1->setFixedWidth(Text1->fontMetrics().horizontalAdvance("0000") + 12);
    Text1->installEventFilter(this);
    caja->addWidget(Text1);
    auto* pasos = new QVBoxLayout;
    pasos->setSpacing(0);
    caja->addLayout(pasos);
    const char* flechas[2] = {"\u25B2", "\u25BC"};
    for (int i = 0; i < 2; ++i) {
        Command4[i] = new QPushButton(QString::fromUtf8(flechas[i]), this);
        Command4[i]->setObjectName(QString("Command4_%1").arg(i));
        Command4[i]->setFixedSize(22, 14);
        Command4[i]->setFocusPolicy(Qt::NoFocus);
        pasos->addWidget(Command4[i]);
        connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    }
    caja->addStretch();
    lado->addStretch();

    auto* botones = new QHBoxLayout;
    principal->addLayout(botones);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    botones->addStretch();
    botones->addWidget(Command1);
    botones->addWidget(Command2);

    connect(Option3, &QRadioButton::clicked, this, [this] { Option3_Click(); });
    connect(Option4, &QRadioButton::clicked, this, [this] { Option4_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    FijarTeclas(Command1, Command2);
}

void Nuevo::Form_Load() {
    Option1->setChecked(true);
    Option3->setChecked(true);
    Option3_Click();
    CentrarVentana(*this);
}

void Nuevo::Form_Activate() { Command1->setFocus(); }

void Nuevo::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void Nuevo::Option3_Click() {
    Option4->setChecked(false);
    Option3->setChecked(true);
    Text1->setEnabled(true);
    Text1->setText(ajustes::Leer(ajustes::Clave::Tiempo));
    if (controles::Val(Text1->text()) < 1) Text1->setText("1");
    for (QPushButton* b : Command4) b->setEnabled(true);
}

void Nuevo::Option4_Click() {
    Option3->setChecked(false);
    Option4->setChecked(true);
    Text1->setEnabled(false);
    ajustes::Escribir(ajustes::Clave::Tiempo, Text1->text());
    Text1->setText("0");
    for (QPushButton* b : Command4) b->setEnabled(false);
}

void Nuevo::Text1_KeyPress(int& tecla) {
    if (tecla == 13) {
        tecla = 0;
        if (controles::Val(Text1->text()) == 0) Text1->setText("1");
        Command1_Click();
        return;
    }
    if ((tecla >= '0' && tecla <= '9') || tecla == 8) return;
    tecla = 0;
    controles::Pitido();
}

void Nuevo::Text1_Change() {
    if (cambiando_) return;
    cambiando_ = true;
    const QString corregido = minutos::Corregidos(Text1->text());
    if (corregido != Text1->text()) Text1->setText(corregido);
    cambiando_ = false;
}

void Nuevo::Command4_Click(int indice) {
    Text1->setText(minutos::Paso(Text1->text(), indice));
    Command1->setFocus();
}

void Nuevo::Command1_Click() {
    if (Reglas().Conectado) {
        if (Option3->isChecked()) Text1->setText(minutos::ParaEnviar(Text1->text()));
        EnviarNuevoJuego();
        NuevoPendiente = true;
    }
    Unload();
}

void Nuevo::Command2_Click() {
    NuevoPendiente = false;
    Unload();
}

void Nuevo::EnviarNuevoJuego() {
    if (Option4->isChecked()) Text1->setText("0");
    tvp::Propuesta p;
    p.color = Option1->isChecked() ? turno::Blancas : turno::Negras;
    p.tipo = Option3->isChecked() ? "R" : "A";
    p.minutos = Text1->text().toLong();
    EncolarMensaje(tvp::TextoNuevoJuego(p));
    ModoPreparar = false;
}

bool Nuevo::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Text1 && controles::TeclaTragada(evento, [this](int& tecla) { Text1_KeyPress(tecla); })) return true;
    return Forma::eventFilter(objeto, evento);
}

QString Nuevo::Minutos() const { return Text1->text(); }
void Nuevo::FijarMinutos(const QString& texto) { Text1->setText(texto); }

void Nuevo::NuevoAceptado() {
    DatosPartida.assign(2, QString());
    PartidaDeFichero = false;
    ::Jugadas().BorrarContenedor();
    auto& t = ::Tavorin();
    t.PonerFichas();
    if (!Reglas().Conectado) {
        t.MostrarTableroVacio();
        red::Orientar(false);
    }
    VariablesCero();
    t.MovimientoAnulado();
    ModoPreparar = false;
}

void Nuevo::VariablesCero() { Reglas().VariablesCero(); }

}  // namespace forms

namespace {

// The minutes of a new game as Default.ini keeps them: a stored 0 or nothing offers
// one minute; a box left below one minute at exit keeps the stored value.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    ajustes::Enlazar(
        ajustes::Clave::Tiempo,
        {[](const QString& tiempo) { ::Nuevo().Text1->setText(controles::Val(tiempo) == 0 ? QString("1") : tiempo); },
         [] {
             QLineEdit* minutos = ::Nuevo().Text1;
             if (controles::Val(minutos->text()) < 1) minutos->setText(ajustes::Leer(ajustes::Clave::Tiempo));
             return std::optional(minutos->text());
         }});
    return true;
}();

}  // namespace

forms::Nuevo& Nuevo() {
    static forms::Nuevo* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasNuevo(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Nuevo", "Titulo", {Leyenda([]() -> Forma& { return ::Nuevo(); })});
    f.Enlace("Nuevo", "Frame1", {Texto([] { return ::Nuevo().Frame1; })});
    f.Enlace("Nuevo", "Frame2", {Texto([] { return ::Nuevo().Frame2; })});
    f.Enlace("Nuevo", "Text1", {Texto([] { return ::Nuevo().Label1; })});
    f.Enlace("Nuevo", "Opcion1", {Texto([] { return ::Nuevo().Option1; })});
    f.Enlace("Nuevo", "Opcion2", {Texto([] { return ::Nuevo().Option2; })});
    f.Enlace("Nuevo", "Opcion3", {Texto([] { return ::Nuevo().Option3; })});
    f.Enlace("Nuevo", "Opcion4", {Texto([] { return ::Nuevo().Option4; })});
    f.Botones([] { return ::Nuevo().Command1; }, [] { return ::Nuevo().Command2; });
}
const idioma::Registro registroIdioma(idioma::Tramo::Nuevo, FilasNuevo);

const pintura::Registro registroPintura(
    pintura::Orden::Nuevo,
    {0, []() -> Forma& { return ::Nuevo(); },
     [](const QColor& c, bool) {
         auto& f = ::Nuevo();
         pintura::ColorearControles({f.Frame1, f.Frame2, f.Picture1, f.Option1, f.Option2, f.Option3, f.Option4}, c);
     }});

}  // namespace
