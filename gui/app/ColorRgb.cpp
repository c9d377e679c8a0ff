#include "app/ColorRgb.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Controles.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace forms {

namespace {
bool g_opcionDesdeCodigo = false;
}

ColorRgb::ColorRgb() : Forma(Dialogo, "ColorRgb") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 6, 290, 118);
    Lbl_RGBValues = new QLabel("RGB", Frame1);
    Lbl_RGBValues->setObjectName("Lbl_RGBValues");
    Lbl_RGBValues->setGeometry(236, 14, 44, 16);
    Lbl_RGBValues->setAlignment(Qt::AlignCenter);
    const char* nombres[3] = {"Lbl_Red", "Lbl_Green", "Lbl_Blue"};
    const QColor colores[3] = {Qt::red, QColor(0, 128, 0), Qt::blue};
    QLabel** etiquetas[3] = {&Lbl_Red, &Lbl_Green, &Lbl_Blue};
    QFont negrita("Sans Serif");
    negrita.setPointSizeF(8.25);
    negrita.setBold(true);
    for (int i = 0; i < 3; ++i) {
        int y = 34 + i * 26;
        QLabel* l = new QLabel(Frame1);
        l->setObjectName(nombres[i]);
        l->setGeometry(10, y, 60, 20);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colores[i]);
        l->setPalette(p);
        *etiquetas[i] = l;
        Scrl_RGB[i] = new QScrollBar(Qt::Horizontal, Frame1);
        Scrl_RGB[i]->setObjectName(QString("Scrl_RGB_%1").arg(i));
        Scrl_RGB[i]->setGeometry(74, y + 2, 156, 16);
        Scrl_RGB[i]->setRange(0, 255);
        Scrl_RGB[i]->setSingleStep(1);
        Scrl_RGB[i]->setPageStep(16);
        Txt_RGB[i] = new QLineEdit(Frame1);
        Txt_RGB[i]->setObjectName(QString("Txt_RGB_%1").arg(i));
        Txt_RGB[i]->setGeometry(236, y, 44, 20);
        Txt_RGB[i]->setFont(negrita);
        // White with black digits while they take input; disabled, the look of a disabled box.
        Txt_RGB[i]->setStyleSheet("QLineEdit:enabled { background: white; color: black; }");
        Txt_RGB[i]->installEventFilter(this);
        connect(Txt_RGB[i], &QLineEdit::textChanged, this, [this, i] { Txt_RGB_Change(i); });
        connect(Scrl_RGB[i], &QScrollBar::valueChanged, this, [this, i] { Scrl_RGB_Change(i); });
    }
    Option1 = new QRadioButton(this);
    Option1->setObjectName("Option1");
    Option1->setGeometry(14, 132, 190, 22);
    Option1->setChecked(true);
    Option2 = new QRadioButton(this);
    Option2->setObjectName("Option2");
    Option2->setGeometry(14, 158, 190, 22);
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !g_opcionDesdeCodigo) Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !g_opcionDesdeCodigo) Option2_Click();
    });
    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(208, 130, 90, 26);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setGeometry(208, 160, 90, 26);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    FijarTeclas(Command1, Command2);
    setFixedSize(306, 194);
}

void ColorRgb::Form_Load() { CentrarVentana(*this); }

void ColorRgb::Form_Activate() {
    // Each box moves its slider, and a slider's change takes all three sliders as the
    // colour: the colour is read before the first box changes, or the sliders not yet
    // set would overwrite it.
    const long colores[3] = {ColorRojo, ColorVerde, ColorAzul};
    for (int i = 0; i < 3; ++i) Txt_RGB[i]->setText(QString::number(colores[i]));
}

void ColorRgb::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

bool ColorRgb::Txt_RGB_KeyPress(int indice, int tecla) {
    (void)indice;
    if (tecla == 8 || (tecla >= '0' && tecla <= '9')) return true;
    controles::Pitido();
    return false;
}

void ColorRgb::Txt_RGB_Change(int i) {
    double v = controles::Val(Txt_RGB[i]->text());
    if (v <= 255) {
        Scrl_RGB[i]->setValue(int(v));
    } else {
        controles::Pitido();
        Txt_RGB[i]->setText(QString::number(Scrl_RGB[i]->value()));
    }
    Txt_RGB[i]->setCursorPosition(Txt_RGB[i]->text().size());
}

void ColorRgb::Scrl_RGB_Change(int i) {
    ColorRojo = Scrl_RGB[0]->value();
    ColorVerde = Scrl_RGB[1]->value();
    ColorAzul = Scrl_RGB[2]->value();
    if (Option1->isChecked()) {
        PintarControles(*this);
        PintarDegradado(ScaleWidth(), ScaleHeight(), *this);
    } else {
        PintarVentana(0);
    }
    QString texto = QString::number(Scrl_RGB[i]->value());
    if (Txt_RGB[i]->text() != texto) Txt_RGB[i]->setText(texto);
}

void ColorRgb::Option1_Click() {
    for (int i = 0; i < 3; ++i) {
        Txt_RGB[i]->setEnabled(true);
        Scrl_RGB[i]->setEnabled(true);
    }
    ColorRojo = Scrl_RGB[0]->value();
    ColorVerde = Scrl_RGB[1]->value();
    ColorAzul = Scrl_RGB[2]->value();
    PintarControles(*this);
    PintarDegradado(ScaleWidth(), ScaleHeight(), *this);
    PintarVentana(0);
}

void ColorRgb::Option2_Click() {
    for (int i = 0; i < 3; ++i) {
        Txt_RGB[i]->setEnabled(false);
        Scrl_RGB[i]->setEnabled(false);
    }
    PintarVentana(0);
}

void ColorRgb::FijarOpcion(int cual) {
    QRadioButton* o = cual == 1 ? Option1 : Option2;
    if (o->isChecked()) return;
    g_opcionDesdeCodigo = true;
    o->setChecked(true);
    g_opcionDesdeCodigo = false;
    if (cual == 1)
        Option1_Click();
    else
        Option2_Click();
}

bool ColorRgb::EsquemaElegido() const { return Option1->isChecked(); }
bool ColorRgb::SistemaElegido() const { return Option2->isChecked(); }

void ColorRgb::Command1_Click() {
    long* colores[3] = {&ColorRojo, &ColorVerde, &ColorAzul};
    for (int i = 0; i < 3; ++i) {
        // An empty box keeps the value its slider shows.
        auto v = controles::AEntero(Txt_RGB[i]->text());
        *colores[i] = v ? std::clamp(*v, 0L, 255L) : Scrl_RGB[i]->value();
    }
    ajustes::Escribir(ajustes::Clave::Color, QString("%1:%2:%3").arg(ColorRojo).arg(ColorVerde).arg(ColorAzul));
    if (Option1->isChecked()) ajustes::Escribir(ajustes::Clave::Fondo, "1");
    if (Option2->isChecked()) ajustes::Escribir(ajustes::Clave::Fondo, "2");
    PintarVentana(0);
    Unload();
}

void ColorRgb::Command2_Click() {
    auto fondo = controles::AEntero(ajustes::Leer(ajustes::Clave::Fondo));
    if (fondo && *fondo == 1) FijarOpcion(1);
    if (fondo && *fondo == 2) FijarOpcion(2);
    ColorRojo = ColorVerde = ColorAzul = 0;
    LeerColor(ajustes::Leer(ajustes::Clave::Color), ColorRojo, ColorVerde, ColorAzul);
    PintarVentana(0);
    Unload();
}

bool ColorRgb::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        for (int i = 0; i < 3; ++i) {
            if (objeto != Txt_RGB[i]) continue;
            auto* e = static_cast<QKeyEvent*>(evento);
            int tecla = e->key() == Qt::Key_Backspace ? 8 : e->text().isEmpty() ? 0 : e->text().at(0).unicode();
            // Enter is the dialog's OK.
            if (tecla == 0 || tecla == '\r') return Forma::eventFilter(objeto, evento);
            if (!Txt_RGB_KeyPress(i, tecla)) return true;
        }
    }
    return Forma::eventFilter(objeto, evento);
}

}  // namespace forms

namespace {

// The background kind (1 gradient of the colour, 2 the skin's picture) and the colour
// as Default.ini keeps them.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    ajustes::Enlazar(ajustes::Clave::Fondo, {[](const QString& texto) {
                                                 auto v = controles::AEntero(texto);
                                                 if (v && (*v == 1 || *v == 2)) ::ColorRgb().FijarOpcion(int(*v));
                                             },
                                             {}});
    ajustes::Enlazar(ajustes::Clave::Color,
                     {[](const QString& texto) { LeerColor(texto, ColorRojo, ColorVerde, ColorAzul); }, {}});
    return true;
}();

}  // namespace

forms::ColorRgb& ColorRgb() {
    static forms::ColorRgb* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasColor(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Color", "Titulo", {Leyenda([]() -> Forma& { return ::ColorRgb(); })});
    f.Enlace("Color", "Frame1", {Texto([] { return ::ColorRgb().Frame1; })});
    f.Enlace("Color", "Texto1", {Texto([] { return ::ColorRgb().Lbl_Red; })});
    f.Enlace("Color", "Texto2", {Texto([] { return ::ColorRgb().Lbl_Green; })});
    f.Enlace("Color", "Texto3", {Texto([] { return ::ColorRgb().Lbl_Blue; })});
    f.Enlace("Color", "Opcion1", {Texto([] { return ::ColorRgb().Option1; })});
    f.Enlace("Color", "Opcion2", {Texto([] { return ::ColorRgb().Option2; })});
    f.Botones([] { return ::ColorRgb().Command1; }, [] { return ::ColorRgb().Command2; });
}
const idioma::Registro registroIdioma(idioma::Tramo::Color, FilasColor);

const pintura::Registro registroPintura(pintura::Orden::Color,
                                        {0, []() -> Forma& { return ::ColorRgb(); },
                                         [](const QColor& c, bool) {
                                             auto& f = ::ColorRgb();
                                             pintura::ColorearControles({f.Frame1, f.Option1, f.Option2}, c);
                                         }});

}  // namespace
