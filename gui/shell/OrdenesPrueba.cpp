#include "shell/OrdenesPrueba.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Geometria.h"
#include "board/Tavorin.h"
#include "network/Chat.h"
#include "network/Ranking.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/FuenteReloj.h"
#include "platform/PictureBox.h"
#include "platform/Sonido.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <unistd.h>
#include <vector>

namespace {

std::int64_t MsSistema() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Linea(const QString& texto) {
    std::fprintf(stdout, "%s\n", texto.toUtf8().constData());
    std::fflush(stdout);
}

QString Escapar(QString t) {
    t.replace("\r\n", "\\n").replace(u'\n', "\\n").replace(u'|', u'/');
    return t;
}

// A box waiting for its answer.
struct Espera {
    QEventLoop* bucle = nullptr;
    long respuesta = 0;
    QString texto;
    bool contestada = false;
};

struct Estado {
    QSocketNotifier* lector = nullptr;
    QByteArray entrada;
    std::deque<QString> pendientes;
    bool ocupado = false;
    std::vector<Espera*> esperas;  // innermost last
    std::deque<long> respuestas;
    QStringList textos;
    bool avisosSolos = false;
    bool todasSolas = false;
    std::int64_t relojFalso = 0;
    // Answers for file dialogs still to open (an empty one cancels).
    std::deque<QString> dialogos;
    bool dialogoVisto = false;
    QTimer* vigiaDialogos = nullptr;
};

Estado& E() {
    static Estado e;
    return e;
}

// ---- Finding controls --------------------------------------------------------------

QWidget* Ventana(const QString& nombre) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == nombre && qobject_cast<Forma*>(w)) return w;
    return nullptr;
}

QWidget* Control(const QString& ruta) {
    const QString forma = ruta.section(u'.', 0, 0), control = ruta.section(u'.', 1);
    QWidget* v = Ventana(forma);
    return v ? v->findChild<QWidget*>(control) : nullptr;
}

// A menu item or toolbar button: "Form.Name" of that window, a plain name of the main
// window itself (not of the windows inside it, whose toolbars reuse the names).
QAction* Accion(const QString& ruta) {
    if (ruta.contains(u'.')) {
        QWidget* v = Ventana(ruta.section(u'.', 0, 0));
        return v ? v->findChild<QAction*>(ruta.section(u'.', 1)) : nullptr;
    }
    for (QAction* a : ::Mdi().findChildren<QAction*>(ruta)) {
        bool deOtraVentana = false;
        for (QObject* o = a->parent(); o && o != &::Mdi(); o = o->parent())
            deOtraVentana |= qobject_cast<Forma*>(o) != nullptr;
        if (!deOtraVentana) return a;
    }
    return nullptr;
}

// ---- The board ---------------------------------------------------------------------------

bool LeerCasillaAlgebraica(const QString& c, int& x, int& y) {
    if (c.size() != 2) return false;
    x = c[0].toLower().unicode() - u'a' + 1;
    y = c[1].unicode() - u'0';
    return x >= 1 && x <= 8 && y >= 1 && y <= 8;
}

QPointF Centro(int x, int y) {
    const bool inv = ::Mdi().TableroInvertido();
    const long s = AnchoCasilla;
    const int col = geometria::Espejo(x, inv), fila = geometria::Espejo(y, inv);
    return {double(geometria::PixelX(col, s) + s / 2), double(geometria::PixelY(fila, s) + s / 2)};
}

void Raton(QEvent::Type tipo, QPointF p, Qt::MouseButton boton, Qt::MouseButtons botones) {
    QWidget* w = Control("Tavorin.PicBuffer");
    QMouseEvent ev(tipo, p, w->mapToGlobal(p), boton, botones, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

bool Arrastrar(const QString& de, const QString& a) {
    int x1, y1, x2, y2;
    if (!LeerCasillaAlgebraica(de, x1, y1) || !LeerCasillaAlgebraica(a, x2, y2)) return false;
    const QPointF o = Centro(x1, y1), d = Centro(x2, y2);
    Raton(QEvent::MouseButtonPress, o, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 3; ++i) Raton(QEvent::MouseMove, o + (d - o) * i / 4, Qt::NoButton, Qt::LeftButton);
    Raton(QEvent::MouseMove, d, Qt::NoButton, Qt::LeftButton);
    Linea(QString("SOLTADA|%1").arg(MsSistema()));
    Raton(QEvent::MouseButtonRelease, d, Qt::LeftButton, Qt::NoButton);
    return true;
}

bool Clic(const QString& casilla) {
    int x, y;
    if (!LeerCasillaAlgebraica(casilla, x, y)) return false;
    const QPointF p = Centro(x, y);
    Raton(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    Raton(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    return true;
}

bool Tecla(QWidget* w, const QString& tecla) {
    if (!w) return false;
    int clave = 0;
    QString texto;
    if (tecla == "Enter") {
        clave = Qt::Key_Return;
        texto = "\r";
    } else if (tecla.size() == 1) {
        clave = tecla[0].toUpper().unicode();
        texto = tecla;
    } else if (const QKeySequence nombre(tecla); nombre.count() == 1 && nombre[0].key() != Qt::Key_unknown) {
        clave = nombre[0].key();
    } else {
        return false;
    }
    QKeyEvent pulsa(QEvent::KeyPress, clave, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, clave, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &suelta);
    return true;
}

// ---- File dialogs and dropped files ------------------------------------------------------

// A file dialog runs its own nested loop: the answer waiting for it is given as soon
// as it shows, and again at the next look while the dialog has not taken it yet (it
// reads its folder in the background).
void ResponderDialogos() {
    auto& e = E();
    if (e.dialogos.empty()) {
        e.vigiaDialogos->stop();
        return;
    }
    QFileDialog* d = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<QFileDialog*>(w); f && f->isVisible()) d = f;
    if (!d) return;
    const QString ruta = e.dialogos.front();
    if (!e.dialogoVisto) {
        e.dialogoVisto = true;
        Linea(QString("DIALOGO|%1|%2").arg(d->windowTitle(), d->selectedNameFilter()));
    }
    if (ruta.isEmpty()) {
        d->reject();
    } else if (d->selectedFiles() != QStringList{ruta}) {
        // Typed in its name box, as a person would: a name the filter hides is taken too.
        if (auto* nombre = d->findChild<QLineEdit*>("fileNameEdit"))
            nombre->setText(ruta);
        else
            d->selectFile(ruta);
        return;
    } else {
        static_cast<QDialog*>(d)->accept();
    }
    if (d->isVisible()) return;
    e.dialogoVisto = false;
    e.dialogos.pop_front();
}

bool Soltar(const QString& donde, const QString& ruta) {
    QWidget* destino = donde == "tablero"   ? Control("Tavorin.PicBuffer")
                       : donde == "ventana" ? static_cast<QWidget*>(&::Mdi())
                                            : nullptr;
    // As a real drop: the first window up from the spot that takes drops gets it.
    while (destino && !destino->acceptDrops()) destino = destino->parentWidget();
    if (!destino || ruta.isEmpty()) return false;
    QMimeData datos;
    datos.setUrls({QUrl::fromLocalFile(ruta)});
    const QPoint p(destino->width() / 2, destino->height() / 2);
    QDragEnterEvent entra(p, Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(destino, &entra);
    if (!entra.isAccepted()) return false;
    QDropEvent suelta(QPointF(p), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(destino, &suelta);
    return true;
}

// ---- Commands ------------------------------------------------------------------------------

bool Inmediata(const QString& orden) {
    static const QStringList inmediatas = {"responder", "texto", "estado", "reloj", "dialogo"};
    return inmediatas.contains(orden.section(u' ', 0, 0));
}

bool Ejecutar(const QString& linea) {
    auto& e = E();
    const QString orden = linea.section(u' ', 0, 0);
    const QString resto = linea.section(u' ', 1);
    if (orden == "responder") {
        const long r = resto.toLong();
        for (auto i = e.esperas.rbegin(); i != e.esperas.rend(); ++i) {
            if ((*i)->contestada) continue;
            (*i)->respuesta = r;
            (*i)->contestada = true;
            (*i)->bucle->quit();
            return true;
        }
        e.respuestas.push_back(r);
        return true;
    }
    if (orden == "texto") {
        e.textos << resto;
        for (auto i = e.esperas.rbegin(); i != e.esperas.rend(); ++i) {
            if ((*i)->contestada) continue;
            (*i)->contestada = true;
            (*i)->bucle->quit();
            break;
        }
        return true;
    }
    if (orden == "estado") {
        Linea(EstadoPrueba());
        return true;
    }
    if (orden == "reloj") {
        e.relojFalso += resto.toLongLong();
        return true;
    }
    if (orden == "dialogo") {
        e.dialogos.push_back(resto);
        e.vigiaDialogos->start();
        return true;
    }
    if (orden == "menu") {
        QAction* a = Accion(resto);
        if (!a || !a->isEnabled()) return false;
        a->trigger();
        return true;
    }
    if (orden == "boton") {
        auto* b = qobject_cast<QAbstractButton*>(Control(resto));
        if (!b) return false;
        b->click();
        return true;
    }
    if (orden == "poner") {
        QWidget* w = Control(resto.section(u' ', 0, 0));
        const QString valor = resto.section(u' ', 1);
        if (auto* t = qobject_cast<QLineEdit*>(w)) {
            t->setText(valor);
            return true;
        }
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->setCurrentText(valor);
            return true;
        }
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (valor == "1" && !b->isChecked()) b->click();
            if (valor == "0" && b->isChecked()) b->click();
            return true;
        }
        return false;
    }
    if (orden == "elegir") {
        // An item of a list picked as the user picks it.
        auto* c = qobject_cast<QComboBox*>(Control(resto.section(u' ', 0, 0)));
        const int i = c ? c->findText(resto.section(u' ', 1), Qt::MatchFixedString) : -1;
        if (i < 0) return false;
        c->setCurrentIndex(i);
        emit c->activated(i);
        return true;
    }
    if (orden == "tecla") return Tecla(Control(resto.section(u' ', 0, 0)), resto.section(u' ', 1));
    if (orden == "chat") {
        auto* texto = qobject_cast<QLineEdit*>(Control("Chat.Texto"));
        if (!texto) return false;
        texto->setText(resto);
        return Tecla(texto, "Enter");
    }
    if (orden == "arrastrar") return Arrastrar(resto.section(u' ', 0, 0), resto.section(u' ', 1, 1));
    if (orden == "clic") return Clic(resto);
    if (orden == "soltar") return Soltar(resto.section(u' ', 0, 0), resto.section(u' ', 1));
    if (orden == "cerrar") {
        auto* f = qobject_cast<Forma*>(Ventana(resto));
        if (!f || !f->Visible()) return false;
        f->Marco()->close();
        return true;
    }
    if (orden == "activar") {
        auto* f = qobject_cast<Forma*>(Ventana(resto));
        if (!f || !f->Visible()) return false;
        f->SetFocus();
        return true;
    }
    if (orden == "salir") {
        ::Mdi().close();
        return true;
    }
    return false;
}

void Procesar();

void Llega(const QString& linea) {
    if (linea.trimmed().isEmpty()) return;
    if (Inmediata(linea)) {
        Linea((Ejecutar(linea) ? "OK " : "ERROR ") + linea);
        return;
    }
    E().pendientes.push_back(linea);
    Procesar();
}

// The other commands run one after the other, never while a box is open: a person
// cannot reach a menu behind a box either.
void Procesar() {
    auto& e = E();
    if (e.ocupado || !e.esperas.empty()) return;
    e.ocupado = true;
    while (!e.pendientes.empty() && e.esperas.empty()) {
        const QString linea = e.pendientes.front();
        e.pendientes.pop_front();
        Linea((Ejecutar(linea) ? "OK " : "ERROR ") + linea);
    }
    e.ocupado = false;
}

void Leer() {
    auto& e = E();
    char bloque[4096];
    const ssize_t n = ::read(0, bloque, sizeof bloque);
    if (n <= 0) {
        e.lector->setEnabled(false);
        return;
    }
    e.entrada.append(bloque, n);
    for (qsizetype fin = e.entrada.indexOf('\n'); fin >= 0; fin = e.entrada.indexOf('\n')) {
        const QString linea = QString::fromUtf8(e.entrada.left(fin)).trimmed();
        e.entrada.remove(0, fin + 1);
        Llega(linea);
    }
}

// A box waits in a nested loop until it is answered.
long Esperar(const QString& texto) {
    QEventLoop bucle;
    Espera espera;
    espera.bucle = &bucle;
    espera.texto = texto;
    E().esperas.push_back(&espera);
    bucle.exec();
    E().esperas.pop_back();
    QTimer::singleShot(0, [] { Procesar(); });
    return espera.respuesta;
}

}  // namespace

QString EstadoPrueba() {
    auto& g = Reglas();
    QStringList c;
    auto poner = [&c](const QString& clave, const QString& valor) { c << clave + "=" + Escapar(valor); };
    poner("Conectado", g.Conectado ? "1" : "0");
    poner("Estado", TextosIdioma[texto::Estado] + " " +
                        (g.Conectado ? TextosIdioma[texto::Conectado] : TextosIdioma[texto::Desconectado]));
    poner("Turno", QString::number(g.Turno));
    poner("MiColor", QString::fromStdString(g.MiColor));
    poner("TipoPartida", QString::fromStdString(g.TipoPartida));
    poner("Blancas", ::Reloj().Tiempo(true));
    poner("Negras", ::Reloj().Tiempo(false));
    poner("RelojBlancas", ::Reloj().Corriendo(true) ? "1" : "0");
    poner("RelojNegras", ::Reloj().Corriendo(false) ? "1" : "0");
    const auto& p = ::Ranking().RegPuntuacion;
    poner("Propio", QString("%1-%2-%3-%4-%5").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]).arg(p[4]));
    poner("Rival", QString("%1-%2-%3-%4-%5").arg(p[5]).arg(p[6]).arg(p[7]).arg(p[8]).arg(p[9]));
    poner("Puntos", ::Ranking().Linea(4));
    QString tablero;
    for (int y = 8; y >= 1; --y)
        for (int x = 1; x <= 8; ++x) tablero += QString::number(g.Casillas[x][y], 16);
    poner("Tablero", tablero);
    poner("Jugadas", QString::fromStdString(g.Jugadas.List[4]).replace("\r\n", ","));
    const QStringList chat = ::Chat().Conversacion().split(u'\n', Qt::SkipEmptyParts);
    poner("Chat", chat.isEmpty() ? QString() : chat.last());
    poner("Titulo", ::Tavorin().Caption());
    poner("Invertido", ::Mdi().TableroInvertido() ? "1" : "0");
    poner("Preparar", ModoPreparar ? "1" : "0");
    poner("VersionRival", VersionRival);
    poner("NuevoPendiente", NuevoPendiente ? "1" : "0");
    poner("RetrocesoPendiente", RetrocesoPendiente ? "1" : "0");
    poner("FicheroPendiente", FicheroPendiente);
    poner("PartidaDeFichero", PartidaDeFichero ? "1" : "0");
    poner("Cola", QString::number(NumColaEnvio));
    poner("RankingPendiente", ::Tavorin().RankingPendiente() ? "1" : "0");
    poner("SalirPendiente", SalirPendiente ? "1" : "0");
    QStringList ventanas;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* f = qobject_cast<Forma*>(w); f && f->Visible()) ventanas << f->objectName();
    ventanas.sort();
    poner("Ventanas", ventanas.join(u','));
    // Where the windows shown stand, in pixels of the main window's area, with the
    // height of a title bar and the area's scroll bars.
    QStringList lugares;
    auto px = [](double twips) { return QString::number(std::lround(twips / TwipsPorPixel)); };
    for (QWidget* w : QApplication::allWidgets())
        if (auto* f = qobject_cast<Forma*>(w); f && f->Visible() && f->objectName() != "Splash")
            lugares << f->objectName() + ":" + px(f->Left()) + "," + px(f->Top()) + "," + px(f->Width()) + "," +
                           px(f->Height());
    lugares.sort();
    poner("Lugares", lugares.join(u';'));
    if (QMdiArea* area = Forma::AreaMdi()) {
        poner("AltoTitulo", QString::number(area->style()->pixelMetric(QStyle::PM_TitleBarHeight)));
        poner("Barras", QString("%1%2")
                            .arg(area->horizontalScrollBar()->isVisible() ? "H" : "")
                            .arg(area->verticalScrollBar()->isVisible() ? "V" : ""));
        // What the area shows, the screen's free rectangle in the area's pixels, and
        // the control that has the keyboard.
        const QSize vista = area->viewport()->size();
        poner("Vista", QString("%1,%2").arg(vista.width()).arg(vista.height()));
        if (const QScreen* pantalla = area->screen()) {
            const QRect libre = pantalla->availableGeometry().translated(-area->mapToGlobal(QPoint(0, 0)));
            poner("Pantalla",
                  QString("%1,%2,%3,%4").arg(libre.x()).arg(libre.y()).arg(libre.width()).arg(libre.height()));
        }
    }
    const QWidget* foco = QApplication::focusWidget();
    const QWidget* forma = foco;
    while (forma && !qobject_cast<const Forma*>(forma)) forma = forma->parentWidget();
    poner("Foco", foco && forma ? forma->objectName() + "." + foco->objectName() : QString());
    return "ESTADO|" + c.join(u'|');
}

void IniciarOrdenesPrueba() {
    if (!qEnvironmentVariableIsSet("TAVORIN_PRUEBA_ORDENES")) return;
    auto& e = E();
    e.avisosSolos = qEnvironmentVariableIsSet("TAVORIN_PRUEBA_AVISOS");
    e.todasSolas = qEnvironmentVariable("TAVORIN_PRUEBA_AVISOS") == "todo";
    for (const QString& r : qEnvironmentVariable("TAVORIN_PRUEBA_RESPUESTAS").split(u',', Qt::SkipEmptyParts))
        e.respuestas.push_back(r.toLong());
    if (qEnvironmentVariableIsSet("TAVORIN_PRUEBA_RELOJ")) {
        e.relojFalso = MsSistema();
        reloj::FijarFuente([] { return E().relojFalso; });
    }
    ResponderMensaje = [](const CMensaje& m) -> long {
        auto& e = E();
        const long estilo = m.IconoMensaje + m.BotonesMensaje + m.DefectoMensaje;
        const QString linea = QString("MENSAJE|%1|%2|%3").arg(estilo).arg(m.TituloMensaje, Escapar(m.TextoMensaje));
        Linea(linea);
        std::fprintf(stderr, "%s\n", linea.toUtf8().constData());
        std::fflush(stderr);
        if (!e.respuestas.empty()) {
            const long r = e.respuestas.front();
            e.respuestas.pop_front();
            return r;
        }
        if (e.avisosSolos && m.BotonesMensaje != MB_YESNO) return IDOK;
        if (e.todasSolas) return m.DefectoMensaje == MB_DEFBUTTON2 ? IDNO : IDYES;
        return Esperar(m.TextoMensaje);
    };
    ResponderTexto = [](const QString& pregunta, const QString& titulo) {
        auto& e = E();
        Linea(QString("PREGUNTA|%1|%2").arg(titulo, Escapar(pregunta)));
        if (e.textos.isEmpty()) Esperar(pregunta);
        return e.textos.isEmpty() ? QString() : e.textos.takeFirst();
    };
    sonido::Reproductor = [](const QString& ruta) { Linea("SONIDO|" + QFileInfo(ruta).fileName()); };
    red::Traza = [](const QString& texto) { Linea(QString("TRAZA|%1|%2").arg(MsSistema()).arg(texto)); };
    e.vigiaDialogos = new QTimer(qApp);
    e.vigiaDialogos->setInterval(20);
    QObject::connect(e.vigiaDialogos, &QTimer::timeout, qApp, [] { ResponderDialogos(); });
    e.lector = new QSocketNotifier(0, QSocketNotifier::Read, qApp);
    QObject::connect(e.lector, &QSocketNotifier::activated, qApp, [] { Leer(); });
}
