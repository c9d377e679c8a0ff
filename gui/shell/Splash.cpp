#include "shell/Splash.h"

#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Controles.h"
#include "platform/Descarga.h"
#include "platform/Escritorio.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/VersionDat.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

const char* const kPaginaInicio = "http://www.tavorin.example/";
const char* const kCorreo = "tavorin@tavorin.example";

namespace {
QString PaginaDeInicio() {
    QString pagina = qEnvironmentVariable("TAVORIN_PRUEBA_PAGINA");
    if (pagina.isEmpty()) return kPaginaInicio;
    if (!pagina.endsWith(u'/')) pagina += u'/';
    return pagina;
}
}  // namespace

QString PaginaInicio = PaginaDeInicio();

namespace forms {

namespace {
constexpr int kAncho = 338;
constexpr int kAlto = 259;

QLabel* Etiqueta(QWidget* padre, const char* nombre, int x, int y, bool visible, const char* color = "#f3e6c4") {
    auto* l = new QLabel(padre);
    l->setObjectName(nombre);
    l->move(x, y);
    l->setAttribute(Qt::WA_TranslucentBackground);
    l->setStyleSheet(QString("color: %1;").arg(color));
    l->setVisible(visible);
    return l;
}
}  // namespace

Splash::Splash() : Forma(Flotante, "Splash") {
    Picture1 = new PictureBox(this, "Picture1");
    Trans = new QWidget(Picture1);
    Trans->setObjectName("Trans");
    Trans->setAttribute(Qt::WA_TranslucentBackground);
    Trans->installEventFilter(this);

    // The about layout: a thin frame round the picture and a dark panel under its title.
    Shape1 = new QFrame(Picture1);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(0, 0, kAncho, kAlto);
    Shape1->setStyleSheet("QFrame#Shape1 { border: 2px solid rgb(214, 176, 92); background: transparent; }");
    Shape1->hide();
    Shape2 = new QFrame(Picture1);
    Shape2->setObjectName("Shape2");
    Shape2->setGeometry(8, 86, kAncho - 16, kAlto - 94);
    Shape2->setStyleSheet(
        "QFrame#Shape2 { border: 1px solid rgb(214, 176, 92); border-radius: 4px; background: rgba(8, 18, 36, 215); }");
    Shape2->hide();
    Image1 = new QLabel(Picture1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(kAncho - 52, kAlto - 50, 36, 36);
    Image1->setPixmap(QPixmap(":/builtin/tavorin-32.png"));
    Image1->hide();
    rkDownload1 = new Descarga(this);
    rkDownload1->Completada = [this](const QByteArray& datos) { rkDownload_AsyncReadComplete(datos); };
    rkDownload1->Fallida = [this] { rkDownload_AsyncReadFailed(); };

    Label1 = Etiqueta(Picture1, "Label1", 12, 196, false);
    QFont grande = Label1->font();
    grande.setBold(true);
    grande.setPointSize(12);
    Label1->setFont(grande);
    Label2 = Etiqueta(Picture1, "Label2", 12, 228, true);
    QFont progreso = Label2->font();
    progreso.setPointSize(10);
    Label2->setFont(progreso);
    Label3 = Etiqueta(Picture1, "Label3", 18, 118, false);
    Label7 = Etiqueta(Picture1, "Label7", 18, 140, false);
    Label8 = Etiqueta(Picture1, "Label8", 18, 158, false);
    Label9 = Etiqueta(Picture1, "Label9", 18, 182, false);
    Label5 = Etiqueta(Picture1, "Label5", 30, 198, false, "#9cc8ff");
    Label10 = Etiqueta(Picture1, "Label10", 18, 216, false);
    Label6 = Etiqueta(Picture1, "Label6", 30, 232, false, "#9cc8ff");
    for (QLabel* enlace : {Label5, Label6}) {
        enlace->setCursor(Qt::PointingHandCursor);
        QFont f = enlace->font();
        f.setUnderline(true);
        enlace->setFont(f);
        enlace->installEventFilter(this);
    }
    Label7->setText("Software libre: compártalo y mejórelo.");
    Label8->setText("Piezas, sonidos y dibujos hechos para Tavorin.");
    Label9->setText("Para mas información:");
    Label10->setText("Envíe preguntas y comentarios a:");
    for (QLabel* l : {Label7, Label8, Label9, Label10}) l->adjustSize();
    // Only the links take clicks; a click anywhere else reaches Trans.
    for (QWidget* w : std::initializer_list<QWidget*>{Shape1, Shape2, Image1, Label1, Label2, Label3, Label7, Label8,
                                                      Label9, Label10})
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(kAncho, kAlto);
}

void Splash::Form_Load() {
    Label3->setText("Ajedrez en red, contra motores y en PGN.");
    Label3->adjustSize();
    Label5->setText(PaginaInicio);
    Label5->adjustSize();
    Label6->setText(kCorreo);
    Label6->adjustSize();
    Picture1->move(0, 0);
    setWidth(5070);
    setHeight(3885);
    Picture1->resize(ScaleWidth(), ScaleHeight());
    QImage fondo(":/builtin/splash.png");
    if (fondo.isNull()) {
        fondo = QImage(kAncho, kAlto, QImage::Format_RGB32);
        fondo.fill(QColor(240, 232, 210));
    }
    Picture1->setPicture(fondo.copy(0, 0, kAncho, kAlto).scaled(Picture1->ScaleWidth(), Picture1->ScaleHeight()));
    Trans->setGeometry(1, 1, Picture1->ScaleWidth(), Picture1->ScaleHeight());
    Trans->lower();
    Lsize(Label1, QString("Tavorin") + " versión " + "1.55" + " para Linux", Picture1->ScaleWidth() - 20);
    Lsize(Label2, "Espere por favor mientras Tavorin se carga.", Picture1->ScaleWidth() - 18);
}

void Splash::Refresh() {
    repaint();
    // Start-up holds the window thread until the board window is ready; let the
    // window system put the splash and its progress line on the screen meanwhile.
    if (Visible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Splash::Lsize(QLabel* etiqueta, const QString& texto, int ancho) {
    etiqueta->setText(texto);
    etiqueta->adjustSize();
    while (etiqueta->width() > ancho && etiqueta->font().pointSizeF() - 1 >= kPuntosMinimos) {
        QFont f = etiqueta->font();
        f.setPointSizeF(f.pointSizeF() - 1);
        etiqueta->setFont(f);
        etiqueta->setText(texto);
        etiqueta->adjustSize();
    }
    etiqueta->show();
    if (etiqueta == Label2) Refresh();
}

void Splash::Progreso(const QString& texto) { Lsize(Label2, texto, 319); }
bool Splash::MostrandoProgreso() const { return controles::Visible(Label2); }

void Splash::Tshow() {
    Label2->hide();
    Label1->move(18, 94);
    for (QWidget* w : std::initializer_list<QWidget*>{Shape1, Shape2, Image1, Label1, Label3, Label5, Label6, Label9,
                                                      Label10, Label7, Label8})
        w->show();
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label3, Label5, Label6, Label9, Label10, Label7, Label8})
        w->raise();
}

void Splash::Actualizar() {
    if (rkDownload1->Ocupada()) return;
    const QString pregunta = CambiarDolar(TextosIdioma[texto::BuscarVersion], "\r\n");
    if (MostrarMensaje("Tavorin", pregunta, MB_ICONINFORMATION, MB_YESNO) != IDYES) {
        Unload();
        return;
    }
    rkDownload1->GetData(PaginaInicio + "version.dat");
}

void Splash::rkDownload_AsyncReadComplete(const QByteArray& datos) {
    if (!VersionNueva(datos)) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::VersionAlDia), MB_ICONINFORMATION);
        return;
    }
    if (MostrarMensaje("Tavorin", MensajeNumero(texto::VersionNueva), MB_ICONINFORMATION, MB_YESNO) == IDYES)
        escritorio::Abrir(PaginaInicio, nullptr);
}

void Splash::rkDownload_AsyncReadFailed() {
    MostrarMensaje("Tavorin", MensajeNumero(texto::VersionSinDescarga), MB_ICONSTOP);
}

void Splash::Form_Deactivate() { Unload(); }

void Splash::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void Splash::Label5_Click() { escritorio::Abrir(PaginaInicio, nullptr); }

void Splash::Label6_Click() { escritorio::Abrir(QString("mailto:") + kCorreo + "?subject=Tavorin:", nullptr); }

void Splash::Trans_MouseDown(int boton) {
    if (boton != 0) Unload();
}

bool Splash::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(evento);
        if (objeto == Trans) Trans_MouseDown(int(e->button()));
        if (objeto == Label5) Label5_Click();
        if (objeto == Label6) Label6_Click();
    }
    return Forma::eventFilter(objeto, evento);
}

}  // namespace forms

forms::Splash& Splash() {
    static forms::Splash* f = nullptr;
    return InstanciaForma(f);
}
