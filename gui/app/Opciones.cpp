#include "app/Opciones.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/SweetButton.h"
#include "rules/textos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

long ValorTexto(const QLineEdit* caja) { return long(controles::Val(caja->text())); }

void Llamar(const std::function<void()>& f) {
    if (f) f();
}

}  // namespace

namespace opciones {

Enlaces& Enlazadas() {
    // Function-local: the windows bind themselves during static initialisation.
    static Enlaces e;
    return e;
}

}  // namespace opciones

bool AparienciaValida(const std::array<QSize, 13>& fichas, const std::array<QSize, 13>& mascaras,
                      const std::array<QSize, 3>& cuadros) {
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        if (fichas[i].height() != fichas[i].width()) return false;
        if (mascaras[i].height() != mascaras[i].width()) return false;
        if (mascaras[i] != fichas[i]) return false;
    }
    if (cuadros[1].height() != cuadros[1].width() || cuadros[2].height() != cuadros[2].width()) return false;
    if (cuadros[2] != cuadros[1]) return false;
    return fichas[1].height() == cuadros[1].height();
}

QString ExtensionApariencia(const QString& primerFichero) {
    QString ext = primerFichero.toLower().right(4);
    if (!ext.startsWith(u'.')) ext = "." + ext;
    return ext;
}

int TamanoLimitado(const QString& texto) {
    if (texto.trimmed().isEmpty() || !texto.trimmed().front().isDigit()) return 40;
    return int(std::clamp(controles::Val(texto), 30.0, 100.0));
}

namespace forms {

Opciones::Opciones() : Forma(Dialogo, "Opciones") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(8, 6, 250, 56);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName("Combo1");
    Combo1->setGeometry(10, 22, 230, 24);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(8, 68, 250, 56);
    SkinCombo = new QComboBox(Frame2);
    SkinCombo->setObjectName("SkinCombo");
    SkinCombo->setGeometry(10, 22, 230, 24);

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName("Frame3");
    Frame3->setGeometry(8, 130, 250, 136);
    Label1 = new QLabel(Frame3);
    Label1->setObjectName("Label1");
    Label1->setGeometry(10, 22, 156, 22);
    Text1 = new QLineEdit(Frame3);
    Text1->setObjectName("Text1");
    Text1->setGeometry(168, 22, 36, 22);
    Text1->setText("40");
    Button1 = new SweetButton(Frame3, "Button1");
    Button1->move(210, 25);
    Button2 = new SweetButton(Frame3, "Button2");
    Button2->move(228, 25);
    Check1 = new QCheckBox(Frame3);
    Check1->setObjectName("Check1");
    Check1->setGeometry(10, 54, 232, 22);
    Check2 = new QCheckBox(Frame3);
    Check2->setObjectName("Check2");
    Check2->setGeometry(10, 80, 232, 22);
    Check3 = new QCheckBox(Frame3);
    Check3->setObjectName("Check3");
    Check3->setGeometry(10, 106, 232, 22);

    Command1 = new QPushButton(this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(268, 12, 96, 26);
    Command1->setDefault(true);
    Command2 = new QPushButton(this);
    Command2->setObjectName("Command2");
    Command2->setGeometry(268, 44, 96, 26);
    setFixedSize(374, 274);

    connect(Combo1, qOverload<int>(&QComboBox::activated), this, [this](int) { Combo1_Click(); });
    connect(SkinCombo, qOverload<int>(&QComboBox::activated), this, [this](int) { SkinCombo_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Check2, &QCheckBox::clicked, this, [this] { Check2_Click(); });
    connect(Check3, &QCheckBox::clicked, this, [this] { Check3_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Button1, &SweetButton::MouseUp, this, [this](int b, int, double, double) { Button1_MouseUp(b); });
    connect(Button2, &SweetButton::MouseUp, this, [this](int b, int, double, double) { Button2_MouseUp(b); });
    Text1->installEventFilter(this);
    FijarTeclas(Command1, Command2);
}

void Opciones::Form_Load() {
    Button1->setLoadImage(true);
    Button1->setEnabledB(true);
    Button2->setLoadImage(false);
    Button2->setEnabledB(true);
    CentrarVentana(*this);
}

void Opciones::Form_Activate() { CancelandoOpciones = false; }

void Opciones::Form_Unload(bool& cancelar) {
    Hide();
    cancelar = true;
}

void Opciones::FijarCheck(int indice, int valor) {
    QCheckBox* c = indice == 1 ? Check1 : indice == 2 ? Check2 : Check3;
    bool marcado = valor != 0;
    if (c->isChecked() == marcado) return;
    c->setChecked(marcado);
    if (indice == 1) Check1_Click();
    if (indice == 2) Check2_Click();
    if (indice == 3) Check3_Click();
}

bool Opciones::MarcarJugada() const { return Check1->isChecked(); }
bool Opciones::Coordenadas() const { return Check2->isChecked(); }
bool Opciones::Borde() const { return Check3->isChecked(); }

QString Opciones::IdiomaElegido() const { return Combo1->currentText(); }

void Opciones::ElegirIdioma(const QString& nombre) {
    for (int i = 0; i < Combo1->count(); ++i) {
        if (Combo1->itemText(i).toLower() == nombre.toLower()) {
            if (controles::FijarTextoLista(Combo1, nombre)) Combo1_Click();
        }
    }
}

void Opciones::OfrecerIdiomas(const QStringList& nombres) {
    Combo1->clear();
    Combo1->addItems(nombres);
    Combo1->setCurrentIndex(-1);
}

bool Opciones::OfreceIdioma(const QString& nombre) const {
    return Combo1->findText(nombre, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
}

QString Opciones::AparienciaElegida() const { return SkinCombo->currentText(); }
bool Opciones::MarcarApariencia(const QString& nombre) { return controles::FijarTextoLista(SkinCombo, nombre); }

void Opciones::RefrescarSkins() {
    const QString texto = SkinCombo->currentText();
    ActualizarSkins();
    controles::FijarTextoLista(SkinCombo, texto);
}

int Opciones::Tamano() const { return TamanoLimitado(Text1->text()); }
void Opciones::FijarTamano(int lado) { Text1->setText(QString::number(lado)); }

void Opciones::Combo1_Click() {
    CargarIdioma();
    if (Visible()) {
        QString recordado = SkinCombo->currentText();
        ActualizarSkins();
        CambiandoIdioma = true;
        bool cambio = controles::FijarTextoLista(SkinCombo, recordado.startsWith(u'(') ? AparienciaActual : recordado);
        if (cambio) SkinCombo_Click();
        CambiandoIdioma = false;
    }
    Llamar(opciones::Enlazadas().puntuacion);
    Llamar(opciones::Enlazadas().nivel);
}

void Opciones::Check1_Click() { Llamar(opciones::Enlazadas().ocultarMarcos); }

void Opciones::Check2_Click() { Llamar(opciones::Enlazadas().coordenadas); }

void Opciones::Check3_Click() { Llamar(opciones::Enlazadas().borde); }

void Opciones::Button1_MouseUp(int boton) {
    if (boton != controles::BotonIzquierdo) return;
    long v = ValorTexto(Text1);
    if (v <= 99) {
        if (v < 30) Text1->setText("29");
        Text1->setText(QString::number(ValorTexto(Text1) + 1));
        RepintarTablero = false;
        TamanoCambiado = true;
        Llamar(opciones::Enlazadas().disponer);
    } else {
        Text1->setText("100");
    }
}

void Opciones::Button2_MouseUp(int boton) {
    if (boton != controles::BotonIzquierdo) return;
    long v = ValorTexto(Text1);
    if (v >= 31) {
        if (v > 100) Text1->setText("101");
        Text1->setText(QString::number(ValorTexto(Text1) - 1));
        RepintarTablero = false;
        TamanoCambiado = true;
        Llamar(opciones::Enlazadas().disponer);
    } else {
        Text1->setText("30");
    }
}

void Opciones::Text1_Change() {
    if (Text1->text().isEmpty()) return;
    QString normal = QString::number(ValorTexto(Text1));
    if (normal != Text1->text()) Text1->setText(normal);
}

bool Opciones::Text1_KeyPress(int tecla) {
    if (tecla == 13) {
        long v = ValorTexto(Text1);
        if (v < 30) Text1->setText("30");
        if (v > 99) Text1->setText("100");
        if (ValorTexto(Text1) != AltoCasilla) TamanoCambiado = true;
        RepintarTablero = false;
        Llamar(opciones::Enlazadas().disponer);
        return false;
    }
    if (tecla == 8 || (tecla >= '0' && tecla <= '9')) return true;
    controles::Pitido();
    return false;
}

bool Opciones::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Text1 && evento->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(evento);
        int tecla = 0;
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            tecla = 13;
        else if (e->key() == Qt::Key_Backspace)
            tecla = 8;
        else if (!e->text().isEmpty())
            tecla = e->text().at(0).unicode();
        else
            return Forma::eventFilter(objeto, evento);  // arrows, Delete, Home: editing keys
        if (!Text1_KeyPress(tecla)) return true;
    }
    return Forma::eventFilter(objeto, evento);
}

void Opciones::OpcionesAceptar() {
    using ajustes::Clave;
    ajustes::Escribir(Clave::Idioma, Combo1->currentText());
    ajustes::Escribir(Clave::Apariencia, SkinCombo->currentText());
    ajustes::Escribir(Clave::Check1, ajustes::Marca(Check1->isChecked()));
    ajustes::Escribir(Clave::Check2, ajustes::Marca(Check2->isChecked()));
    ajustes::Escribir(Clave::Check3, ajustes::Marca(Check3->isChecked()));
    // The size is brought into 30..100 before it is used or stored.
    long v = std::clamp(ValorTexto(Text1), 30L, 100L);
    if (Text1->text() != QString::number(v)) Text1->setText(QString::number(v));
    ajustes::Escribir(Clave::Tamano, QString::number(v));
    const auto& lado = opciones::Enlazadas().ladoFichas;
    if (!lado || v != lado()) {
        TamanoCambiado = false;
        Llamar(opciones::Enlazadas().disponer);
    }
    if (const auto& abierta = opciones::Enlazadas().paletaAbierta; abierta && abierta()) RefrescarPaleta();
}

void Opciones::Command1_Click() {
    OpcionesAceptar();
    Unload();
}

void Opciones::Command2_Click() {
    CancelandoOpciones = true;
    QString idioma = ajustes::Leer(ajustes::Clave::Idioma);
    if (idioma != Combo1->currentText()) {
        if (Combo1->findText(idioma, Qt::MatchFixedString) < 0) return;
        // The stored language is loaded once, and what it labels (the ranking's lines,
        // the level dialog) is written again after it.
        controles::FijarTextoLista(Combo1, idioma);
        Combo1_Click();
    }
    QString apariencia = ajustes::Leer(ajustes::Clave::Apariencia);
    if (apariencia != SkinCombo->currentText()) {
        if (SkinCombo->findText(apariencia, Qt::MatchFixedString) < 0) return;
        CarpetaApariencia = nombres::RutaReal(RutaApp, "apariencias/" + apariencia + "/");
        if (controles::FijarTextoLista(SkinCombo, apariencia)) SkinCombo_Click();
    }
    auto tamano = controles::AEntero(ajustes::Leer(ajustes::Clave::Tamano));
    if (!tamano) return;
    long n = std::clamp(*tamano, 30L, 100L);
    if (n != ValorTexto(Text1)) {
        Text1->setText(QString::number(n));
        TamanoCambiado = true;
        Llamar(opciones::Enlazadas().disponer);
    }
    RefrescarPaleta();
    Unload();
}

void Opciones::RefrescarPaleta() { Llamar(opciones::Enlazadas().limpiarPaleta); }

void Opciones::ActualizarSkins() {
    SkinCombo->clear();
    SkinCombo->addItem(AparienciaActual);
    const QString carpeta = nombres::RutaReal(RutaApp, "apariencias");
    for (const QString& c : nombres::Carpetas(carpeta)) SkinCombo->addItem(c.toLower());
    SkinCombo->setCurrentIndex(-1);
}

void Opciones::Skins() {
    const opciones::Enlaces& e = opciones::Enlazadas();
    if (e.leerApariencia && e.leerApariencia(CarpetaApariencia)) return;
    // The skin cannot be used: back to the built-in one.
    Llamar(e.aparienciaRechazada);
    if (controles::FijarTextoLista(SkinCombo, AparienciaActual)) SkinCombo_Click();
    ajustes::Escribir(ajustes::Clave::Apariencia, SkinCombo->currentText());
    MostrarMensaje("Tavorin", MensajeNumero(texto::PielNoValida), MB_ICONINFORMATION, 0, 0);
}

void Opciones::SkinCombo_Click() {
    if (CambiandoIdioma || !Visible()) return;
    const opciones::Enlaces& e = opciones::Enlazadas();
    if (SkinCombo->currentText() == AparienciaActual) {
        TamanoCambiado = false;
        Llamar(e.disponer);
    } else {
        CarpetaApariencia = nombres::RutaReal(RutaApp, "apariencias/" + SkinCombo->currentText() + "/");
        Skins();
        // A skin that fell back to the built-in one brings no size to ask about.
        if (SkinCombo->currentText() != AparienciaActual && e.ladoApariencia) {
            const int lado = e.ladoApariencia();
            if (!CancelandoOpciones && ValorTexto(Text1) != lado) {
                if (MostrarMensaje("Tavorin", MensajeNumero(texto::PielOtroTamano), MB_ICONQUESTION, MB_YESNO, 0) ==
                    IDYES) {
                    Text1->setText(QString::number(std::clamp(lado, 30, 100)));
                    TamanoCambiado = true;
                }
            }
        }
        Llamar(e.disponer);
    }
    RefrescarPaleta();
}

}  // namespace forms

namespace {

// The three options and the board size as Default.ini keeps them.
[[maybe_unused]] const bool kAjustesEnlazados = [] {
    using enum ajustes::Clave;
    int n = 1;
    for (ajustes::Clave clave : {Check1, Check2, Check3}) {
        auto casilla = [n](forms::Opciones& o) { return n == 1 ? o.Check1 : n == 2 ? o.Check2 : o.Check3; };
        ajustes::Enlazar(clave,
                         {[n](const QString& texto) {
                              if (auto v = controles::AEntero(texto)) ::Opciones().FijarCheck(n, int(*v));
                          },
                          [casilla] { return std::optional(ajustes::Marca(casilla(::Opciones())->isChecked())); }});
        ++n;
    }
    ajustes::Enlazar(Tamano,
                     {[](const QString& v) { ::Opciones().Text1->setText(QString::number(TamanoLimitado(v))); }, {}});
    return true;
}();

}  // namespace

forms::Opciones& Opciones() {
    static forms::Opciones* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasOpciones(idioma::Filas& f) {
    using namespace idioma;
    f.Enlace("Opciones", "Titulo", {Leyenda([]() -> Forma& { return ::Opciones(); })});
    f.Enlace("Opciones", "Frame1", {Texto([] { return ::Opciones().Frame1; })});
    f.Enlace("Opciones", "Frame2", {Texto([] { return ::Opciones().Frame2; })});
    f.Enlace("Opciones", "Frame3", {Texto([] { return ::Opciones().Frame3; })});
    f.Enlace("Opciones", "Check1", {Texto([] { return ::Opciones().Check1; })});
    f.Enlace("Opciones", "Check2", {Texto([] { return ::Opciones().Check2; })});
    f.Enlace("Opciones", "Check3", {Texto([] { return ::Opciones().Check3; })});
    f.Enlace("Opciones", "Texto1", {Texto([] { return ::Opciones().Label1; })});
    f.Enlace("Opciones", "Opcion1", {Variable(&AparienciaActual)});
    f.Botones([] { return ::Opciones().Command1; }, [] { return ::Opciones().Command2; });
}
const idioma::Registro registroIdioma(idioma::Tramo::Opciones, FilasOpciones);

const pintura::Registro registroPintura(
    pintura::Orden::Opciones,
    {0, []() -> Forma& { return ::Opciones(); },
     [](const QColor& c, bool) {
         auto& f = ::Opciones();
         pintura::ColorearControles({f.Frame1, f.Frame2, f.Frame3, f.Check1, f.Check2, f.Check3}, c);
         for (SweetButton* b : {f.Button1, f.Button2}) b->setColorB(c);
     }});

}  // namespace
