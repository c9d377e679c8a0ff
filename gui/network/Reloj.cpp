#include "network/Reloj.h"

#include "app/Variables.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

namespace forms {

Reloj::Reloj() : Forma(Hija, "Reloj") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 4, 188, 74);
    auto etiqueta = [this](const char* nombre, int x, int y, int w) {
        auto* l = new QLabel(Frame1);
        l->setObjectName(nombre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    Label1 = etiqueta("Label1", 8, 16, 88);
    Label2 = etiqueta("Label2", 8, 42, 88);
    Label3 = etiqueta("Label3", 100, 16, 80);
    Label4 = etiqueta("Label4", 100, 42, 80);
    QFont f = Label3->font();
    f.setBold(true);
    f.setPointSize(11);
    Label3->setFont(f);
    Label4->setFont(f);
    Label3->setText("0:00:00");
    Label4->setText("0:00:00");
    resize(200, 84);
}

void Reloj::Form_Unload(bool& cancelar) {
    ::Mdi().mnuReloj->setChecked(false);
    cancelar = true;
    Hide();
}

namespace {

const QColor kBlanco(255, 255, 255);
const QColor kGris(153, 153, 153);

QColor ColorTexto(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

void ColorTexto(QLabel* l, const QColor& c) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

QString DosCifras(long v) { return (v < 10 ? "0" : "") + QString::number(v); }

// The display of one side: `propio` shows its clock, `otro` is the other side's.
void Mostrar(QLabel* propio, QLabel* otro, long minutos, long segundos) {
    if (segundos != 0 && ColorTexto(propio) == kGris) ColorTexto(propio, kBlanco);
    if (segundos != 0 && ColorTexto(otro) == kBlanco) ColorTexto(otro, kGris);
    if (minutos == 0 && segundos == 0) {
        ColorTexto(propio, kGris);
        ColorTexto(otro, kGris);
    }
    propio->setText(DosCifras(minutos) + ":" + DosCifras(segundos));
}

}  // namespace

void Reloj::PrintTimerB() { Mostrar(Label3, Label4, MinutosBlancas, SegundosBlancas); }
void Reloj::PrintTimerN() { Mostrar(Label4, Label3, MinutosNegras, SegundosNegras); }

}  // namespace forms

forms::Reloj& Reloj() {
    static forms::Reloj* f = nullptr;
    return InstanciaForma(f);
}
