#include "engines/Cpu.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "engines/FormLevel2.h"
#include "platform/Nombres.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>

DatosMotor Motor1, Motor2;

namespace {
// Pictures of the toolbar buttons by index.
const char* ImagenBoton(int i) {
    switch (i) {
        case 1: return "motor-empezar";
        case 2: return "motor-detener";
        case 4: return "rendirse";
        case 5: return "tablas";
        case 7: return "retroceder";
        case 9: return "motor-pista";
        case 10: return "motor-mover-ya";
        case 12: return "motor-nivel";
        default: return nullptr;
    }
}
}  // namespace

namespace forms {

Cpu::Cpu() : Forma(Hija, "Cpu") {
    Toolbar1Barra = new QToolBar(this);
    Toolbar1Barra->setObjectName("Toolbar1");
    Toolbar1Barra->setGeometry(0, 0, 400, 24);
    Toolbar1Barra->setIconSize(QSize(16, 16));
    for (int i = 1; i <= 12; ++i) {
        bool separador = i == 3 || i == 6 || i == 8 || i == 11;
        Toolbar1[i] = separador ? Toolbar1Barra->addSeparator() : Toolbar1Barra->addAction(QString());
        if (separador) continue;
        Toolbar1[i]->setObjectName(QString("Toolbar1_%1").arg(i));
        if (const char* imagen = ImagenBoton(i))
            Toolbar1[i]->setIcon(QIcon(QString(":/builtin/iconos/") + imagen + ".png"));
        connect(Toolbar1[i], &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i); });
    }
    auto marco = [this](const char* nombre, int x, int y, int w, int h) {
        auto* g = new QGroupBox(this);
        g->setObjectName(nombre);
        g->setGeometry(x, y, w, h);
        return g;
    };
    Frame1 = marco("Frame1", 6, 30, 196, 74);
    Frame2 = marco("Frame2", 208, 30, 196, 74);
    Frame3 = marco("Frame3", 6, 108, 398, 120);
    Frame4 = marco("Frame4", 6, 232, 398, 54);
    SMotor1 = new QComboBox(Frame1);
    SMotor1->setObjectName("SMotor1");
    SMotor1->setGeometry(8, 42, 180, 24);
    SMotor2 = new QComboBox(Frame2);
    SMotor2->setObjectName("SMotor2");
    SMotor2->setGeometry(8, 42, 180, 24);
    auto etiqueta = [](QWidget* padre, const char* nombre, int x, int y, int w) {
        auto* l = new QLabel(padre);
        l->setObjectName(nombre);
        l->setGeometry(x, y, w, 20);
        return l;
    };
    Label6 = etiqueta(Frame1, "Label6", 8, 18, 180);
    Label7 = etiqueta(Frame2, "Label7", 8, 18, 180);
    Label1 = etiqueta(Frame3, "Label1", 8, 18, 90);
    Label2 = etiqueta(Frame3, "Label2", 8, 40, 90);
    Label3 = etiqueta(Frame3, "Label3", 8, 62, 90);
    Label4 = etiqueta(Frame3, "Label4", 8, 84, 90);
    Label5 = etiqueta(Frame4, "Label5", 8, 20, 90);
    Picture1 = new PictureBox(Frame3, "Picture1");
    Picture1->setGeometry(104, 18, 286, 94);
    Timer4 = new QTimer(this);
    Timer5 = new QTimer(this);
    resize(410, 292);
}

void Cpu::Form_Load() { PintarVentana(7); }

void Cpu::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void Cpu::ActualizarCPU() {
    const QStringList motores = MotoresEncontrados(nombres::RutaReal(RutaApp, "Motor"));
    for (QComboBox* lista : {SMotor1, SMotor2}) {
        lista->clear();
        lista->addItem(TextoSinMotor);
        lista->addItems(motores);
        lista->setCurrentIndex(0);
    }
}

// Engine play fills these in.
void Cpu::cmdTerminar1() {}
void Cpu::cmdTerminar2() {}
void Cpu::VariableCPUCero() {}
void Cpu::DescargarDLL() {}
void Cpu::GenerarMovimiento() {}
void Cpu::ToolboxComand(const QString& codigo) { (void)codigo; }

void Cpu::Toolbar1_ButtonClick(int indice) {
    if (indice != 1) return;  // the engine commands come with engine play
    if (::FormLevel2().Visible()) return;
    RespuestaMensaje = IDYES;
    if (!::Jugadas().List[1]->toPlainText().isEmpty() && (Motor1.Activo || Motor2.Activo)) {
        QString texto = TextosIdioma[84];
        texto.replace(u'$', "\r\n");
        MostrarMensaje("Tavorin", texto, MB_ICONQUESTION, MB_YESNO, MB_DEFBUTTON2);
    }
    if (RespuestaMensaje != IDYES) return;
    cmdTerminar1();
    cmdTerminar2();
    VariableCPUCero();
    if (SMotor1->currentText() == TextoSinMotor && SMotor2->currentText() == TextoSinMotor) {
        ::Mdi().Player2();
        Reglas().Turno = 1;
    }
    // A game with an engine starts one second later, with engine play.
}

}  // namespace forms

forms::Cpu& Cpu() {
    static forms::Cpu* f = nullptr;
    return InstanciaForma(f);
}

QStringList MotoresEncontrados(const QString& carpetaMotor) {
    QStringList motores;
    const QString raiz = nombres::ConBarra(carpetaMotor);
    for (const QString& carpeta : nombres::Carpetas(raiz)) {
        for (const QString& fichero : nombres::Ficheros(raiz + carpeta)) {
            QFileInfo info(raiz + carpeta + "/" + fichero);
            QString nombre = fichero.toLower();
            bool windows = nombre.endsWith(".exe") || nombre.endsWith(".com");
            if (!windows && !info.isExecutable()) continue;
            if (windows) nombre.chop(4);
            motores << nombre;
        }
    }
    return motores;
}
