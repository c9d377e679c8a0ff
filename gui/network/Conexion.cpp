#include "network/Conexion.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "platform/ConectorTcp.h"
#include "platform/Controles.h"
#include "rules/textos.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace forms {

Conexion::Conexion() : Forma(Dialogo, "Conexion") {
    auto* principal = new QVBoxLayout(this);
    principal->setSizeConstraint(QLayout::SetFixedSize);
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    principal->addWidget(Frame1);
    auto* dentro = new QVBoxLayout(Frame1);

    Frame2 = new QGroupBox(Frame1);
    Frame2->setObjectName("Frame2");
    auto* eleccion = new QVBoxLayout(Frame2);
    Option1 = new QRadioButton(Frame2);
    Option1->setObjectName("Option1");
    Option2 = new QRadioButton(Frame2);
    Option2->setObjectName("Option2");
    eleccion->addWidget(Option1);
    eleccion->addWidget(Option2);
    dentro->addWidget(Frame2);

    for (QLabel** l : {&Label1, &Label2}) {
        *l = new QLabel(Frame1);
        (*l)->setObjectName(l == &Label1 ? "Label1" : "Label2");
        (*l)->setAlignment(Qt::AlignCenter);
        (*l)->hide();
        dentro->addWidget(*l);
    }

    Frame3 = new QGroupBox(Frame1);
    Frame3->setObjectName("Frame3");
    auto* direccion = new QVBoxLayout(Frame3);
    Ip = new QLineEdit(Frame3);
    Ip->setObjectName("Ip");
    Ip->setMinimumWidth(Ip->fontMetrics().horizontalAdvance("0000:0000:0000:0000:0000") + 12);
    Ip->installEventFilter(this);
    direccion->addWidget(Ip);
    dentro->addWidget(Frame3);

    auto* botones = new QHBoxLayout;
    principal->addLayout(botones);
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    botones->addStretch();
    botones->addWidget(Command1);
    botones->addWidget(Command2);

    Option1->setChecked(true);
    connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    FijarTeclas(Command1, Command2);
}

void Conexion::Form_Load() { CentrarVentana(*this); }

void Conexion::Form_Activate() {
    if (Option1->isChecked()) Option1_Click();
    if (Option2->isChecked()) Option2_Click();
}

void Conexion::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void Conexion::Option1_Click() {
    Option2->setChecked(false);
    Option1->setChecked(true);
    Ip->setEnabled(true);
    Ip->setStyleSheet("QLineEdit { background: rgb(255, 255, 255); }");
    if (Ip->isVisible()) Ip->setFocus();
}

void Conexion::Option2_Click() {
    Option2->setChecked(true);
    Option1->setChecked(false);
    Ip->setEnabled(false);
    Ip->setStyleSheet("QLineEdit { background: rgb(224, 224, 224); }");
    Ip->clear();
    if (Command1->isEnabled()) Command1->setFocus();
}

void Conexion::Esperando(QLabel* etiqueta) {
    Command1->setEnabled(false);
    Frame2->hide();
    Option1->hide();
    Option2->hide();
    etiqueta->show();
}

void Conexion::Command1_Click() {
    auto& t = ::Tavorin();
    if (Option1->isChecked()) {
        if (Ip->text().isEmpty()) {
            MostrarMensaje("Tavorin", MensajeNumero(texto::FaltaDireccion), MB_ICONSTOP);
            return;
        }
        if (!t.ConectarCliente(Ip->text())) {
            MostrarMensaje("Tavorin", MensajeNumero(texto::ConexionImposible), MB_ICONSTOP);
            return;
        }
        Esperando(Label2);
        return;
    }
    if (!t.Escuchar()) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::EsperaImposible), MB_ICONSTOP);
        t.CerrarServidor();
        t.CerrarCliente();
        return;
    }
    Esperando(Label1);
}

void Conexion::Command2_Click() {
    auto& t = ::Tavorin();
    if (Option1->isChecked()) t.CerrarCliente();
    if (Option2->isChecked()) t.CerrarServidor();
    Animacion();
    Ip->clear();
    if (!Command1->isEnabled()) {
        Command1->setEnabled(true);
        return;
    }
    Unload();
}

void Conexion::TerminarEspera() {
    Command1->setEnabled(true);
    Animacion();
}

bool Conexion::EnEspera() const { return !Command1->isEnabled(); }

void Conexion::Animacion() {
    Label1->hide();
    Label2->hide();
    Frame2->show();
    Option1->show();
    Option2->show();
}

void Conexion::Ip_KeyPress(int& tecla) {
    if (tecla != 13) return;
    tecla = 0;
    Command1_Click();
}

bool Conexion::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Ip && controles::TeclaTragada(evento, [this](int& tecla) { Ip_KeyPress(tecla); })) return true;
    return Forma::eventFilter(objeto, evento);
}

}  // namespace forms

forms::Conexion& Conexion() {
    static forms::Conexion* f = nullptr;
    return InstanciaForma(f);
}

void CerrarConexionesPendientes() {
    auto& t = ::Tavorin();
    t.CerrarCliente();
    t.CerrarServidor();
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasConexion(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Conexion", "Titulo", {Leyenda([]() -> Forma& { return ::Conexion(); })});
    f.Enlace("Conexion", "Frame1", {Texto([] { return ::Conexion().Frame2; })});
    f.Enlace("Conexion", "Frame2", {Texto([] { return ::Conexion().Frame3; })});
    f.Enlace("Conexion", "Opcion1", {Texto([] { return ::Conexion().Option1; })});
    f.Enlace("Conexion", "Opcion2", {Texto([] { return ::Conexion().Option2; })});
    f.Enlace("Conexion", "Texto1", {Texto([] { return ::Conexion().Label1; })});
    f.Enlace("Conexion", "Texto2", {Texto([] { return ::Conexion().Label2; })});
    f.Botones([] { return ::Conexion().Command1; }, [] { return ::Conexion().Command2; });
}
const idioma::Registro registroIdioma(idioma::Tramo::Conexion, FilasConexion);

const pintura::Registro registroPintura(
    pintura::Orden::Conexion, {0, []() -> Forma& { return ::Conexion(); },
                               [](const QColor& c, bool) {
                                   auto& f = ::Conexion();
                                   pintura::ColorearControles({f.Frame1, f.Frame2, f.Frame3, f.Option1, f.Option2}, c);
                               }});

}  // namespace
