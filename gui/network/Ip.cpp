#include "network/Ip.h"

#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "shell/Mdi.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace forms {

Ip::Ip() : Forma(Dialogo, "Ip") {
    auto* principal = new QVBoxLayout(this);
    principal->setSizeConstraint(QLayout::SetFixedSize);
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    principal->addWidget(Frame1);
    auto* dentro = new QVBoxLayout(Frame1);
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance("000.000.000.000") + 16);
    dentro->addWidget(Text1);
}

void Ip::Mostrar() {
    auto& m = ::Mdi();
    const QString direccion = m.DireccionLocal ? m.DireccionLocal() : QString();
    Text1->setMaxLength(std::max(1, int(direccion.size())));
    Text1->setText(direccion);
}

void Ip::Form_Load() {
    CentrarVentana(*this);
    Mostrar();
}

void Ip::Form_Activate() {
    Mostrar();
    Text1->setSelection(0, int(Text1->text().size()));
    Text1->setFocus();
}

void Ip::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

}  // namespace forms

forms::Ip& Ip() {
    static forms::Ip* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasIp(idioma::Filas& f) {
    f.Enlace("Ip", "Titulo", {idioma::Leyenda([]() -> Forma& { return ::Ip(); })});
    f.Enlace("Ip", "Frame1", {idioma::Texto([] { return ::Ip().Frame1; })});
}
const idioma::Registro registroIdioma(idioma::Tramo::Ip, FilasIp);

const pintura::Registro registroPintura(pintura::Orden::Ip, {0, []() -> Forma& { return ::Ip(); },
                                                             [](const QColor& c, bool) {
                                                                 auto& f = ::Ip();
                                                                 pintura::ColorearControles({f.Frame1}, c);
                                                             }});

}  // namespace
