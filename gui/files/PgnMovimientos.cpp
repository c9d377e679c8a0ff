#include "files/PgnMovimientos.h"

#include "app/Graficos.h"

#include "files/ListaPgn.h"
#include "files/PgnLector.h"
#include "platform/Controles.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace forms {

PgnMovimientos::PgnMovimientos() : Forma(Hija, "PgnMovimientos") {
    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setGeometry(6, 7, 153, 160);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->installEventFilter(this);
    List1->viewport()->installEventFilter(this);
    resize(165, 174);
}

void PgnMovimientos::Form_Load() { resize(width(), 2 * List1->y() + List1->height()); }

void PgnMovimientos::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void PgnMovimientos::List1_KeyDown(int& KeyCode, int Shift) {
    (void)Shift;
    auto& l = ::ListaPgn();
    const bool adelante = KeyCode == Qt::Key_Right || KeyCode == Qt::Key_Down;
    const bool atras = KeyCode == Qt::Key_Left || KeyCode == Qt::Key_Up;
    if ((!adelante && !atras) || PgnConFen) return;
    KeyCode = 0;
    if (adelante) {
        if (JugadaPgnActual >= l.NumeroJugadas() - 1) return;
        l.MostrarJugada(int(JugadaPgnActual) + 1);
        List1->setCurrentRow(int(JugadaPgnActual));
        return;
    }
    if (JugadaPgnActual == 0) {
        // The first half-move stays: the keys do not go back to the start.
        List1->setCurrentRow(0);
        return;
    }
    if (JugadaPgnActual == -1) {
        int derecha = Qt::Key_Down;
        List1_KeyDown(derecha, 0);
        return;
    }
    l.MostrarJugada(int(JugadaPgnActual) - 1);
    List1->setCurrentRow(int(JugadaPgnActual));
}

void PgnMovimientos::List1_MouseDown(int linea) {
    if (PgnConFen) return;
    auto& l = ::ListaPgn();
    // A line past the last coded move (a load that stopped early) shows that move.
    const int k = std::min(linea, l.NumeroJugadas() - 1);
    l.MostrarJugada(k);
    if (k >= 0) {
        List1->setCurrentRow(k);
    } else {
        // The start position: no line stands for it.
        List1->setCurrentRow(-1);
        List1->clearSelection();
    }
}

bool PgnMovimientos::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == List1 && evento->type() == QEvent::KeyPress) {
        int tecla = static_cast<QKeyEvent*>(evento)->key();
        List1_KeyDown(tecla, 0);
        if (tecla == 0) return true;
        // Any other key has the list's own effect (Home, End, the page keys, a letter);
        // when it moves the highlight, the board follows it as after a click.
        const int antes = List1->currentRow();
        static_cast<QObject*>(List1)->event(evento);
        if (List1->currentRow() != antes) List1_MouseDown(List1->currentRow());
        // A key the list does not take goes on to the window as before.
        return evento->isAccepted();
    }
    if (objeto == List1->viewport() && evento->type() == QEvent::MouseButtonPress) {
        const QPoint punto = static_cast<QMouseEvent*>(evento)->position().toPoint();
        const QModelIndex indice = List1->indexAt(punto);
        if (indice.isValid()) List1->setCurrentRow(indice.row());
        List1_MouseDown(List1->currentRow());
        return true;
    }
    return Forma::eventFilter(objeto, evento);
}

void PgnMovimientos::Borrar() { List1->clear(); }

void PgnMovimientos::Llenar(const std::vector<std::string>& lineas) {
    List1->clear();
    QStringList mostradas;
    mostradas.reserve(qsizetype(lineas.size()));
    std::vector<int> cortadas;
    for (const std::string& linea : lineas) {
        const std::string mostrada = pgn::LineaMostrada(linea);
        if (mostrada.size() != linea.size()) cortadas.push_back(int(mostradas.size()));
        mostradas << QString::fromStdString(mostrada);
    }
    List1->addItems(mostradas);
    // A line shown cut short keeps its whole move for the load.
    for (int i : cortadas) controles::GuardarTextoEntero(List1->item(i), QString::fromStdString(lineas[size_t(i)]));
    if (List1->count() > 0) List1->setCurrentRow(List1->count() - 1);
}

std::string PgnMovimientos::Linea(int i) const { return controles::TextoEntero(List1->item(i)).toStdString(); }

QStringList PgnMovimientos::Lineas() const {
    QStringList lineas;
    for (int i = 0; i < List1->count(); ++i) lineas << List1->item(i)->text();
    return lineas;
}

void PgnMovimientos::Seleccionar(int linea) {
    if (linea < 0 || linea >= List1->count()) {
        List1->setCurrentRow(-1);
        List1->clearSelection();
    } else {
        List1->setCurrentRow(linea);
    }
}

void PgnMovimientos::IrAlPrincipio() {
    if (List1->count() > 0) List1->scrollToTop();
}

}  // namespace forms

forms::PgnMovimientos& PgnMovimientos() {
    static forms::PgnMovimientos* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

const pintura::Registro registroPintura(pintura::Orden::PgnMovimientos,
                                        {0, []() -> Forma& { return ::PgnMovimientos(); }});

}  // namespace
