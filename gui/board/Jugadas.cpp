#include "board/Jugadas.h"

#include "app/Graficos.h"
#include "app/Variables.h"
#include "platform/Controles.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace forms {

Jugadas::Jugadas() : Forma(Hija, "Jugadas") {
    for (int i = 1; i <= 5; ++i) {
        List[i] = new QPlainTextEdit(this);
        List[i]->setObjectName(QString("List%1").arg(i));
        List[i]->setReadOnly(true);
        // A right click shows the program's pop-up, and no menu of the text box after it.
        List[i]->setContextMenuPolicy(Qt::PreventContextMenu);
        List[i]->setGeometry(5, 5, 180, 250);
        List[i]->viewport()->installEventFilter(this);
    }
    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->hide();
    resize(195, 265);
}

void Jugadas::Form_Load() {
    List[4]->hide();
    MostrarNotacion();
}

void Jugadas::Form_Resize() { JugadasResice(); }

void Jugadas::Form_Unload(bool& cancelar) {
    ::Mdi().FijarMuestra(forms::Mdi::Lateral::Jugadas, false);
    cancelar = true;
    Hide();
}

void Jugadas::JugadasResice() {
    for (int i = 1; i <= 5; ++i) {
        QPlainTextEdit* l = List[i];
        l->resize(std::max(1, ScaleWidth() - l->x() - 5), std::max(1, ScaleHeight() - l->y() - 5));
    }
    PintarVentana(2);
}

void Jugadas::BorrarContenedor() {
    Reglas().Jugadas.Borrar();
    // Another game or position comes to the board.
    ColorUltimaPartidaRed.clear();
    for (int i = 1; i <= 5; ++i) List[i]->setPlainText({});
    List1->clear();
}

void Jugadas::ActualizarTextos() {
    const auto& lista = Reglas().Jugadas;
    for (int i = 1; i <= 5; ++i) {
        QString texto = QString::fromStdString(lista.List[i]);
        texto.replace("\r\n", "\n");
        if (texto.endsWith(u'\n')) texto.chop(1);
        QPlainTextEdit* caja = List[i];
        if (caja->toPlainText() != texto) caja->setPlainText(texto);
        QTextCursor c = caja->textCursor();
        c.movePosition(QTextCursor::End);
        caja->setTextCursor(c);
    }
    if (List1->count() != int(lista.List1.size()) ||
        (List1->count() > 0 && List1->item(List1->count() - 1)->text().toStdString() != lista.List1.back())) {
        List1->clear();
        for (const auto& r : lista.List1) List1->addItem(QString::fromStdString(r));
    }
}

void Jugadas::List_MouseDown(int indice, int boton) {
    (void)indice;
    if (boton == 2) ::Mdi().MenuDeJugadas();
}

bool Jugadas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(evento);
        for (int i = 1; i <= 5; ++i) {
            if (objeto == List[i]->viewport()) {
                List_MouseDown(i, e->button() == Qt::RightButton ? 2 : 1);
                if (e->button() == Qt::RightButton) return true;
            }
        }
    }
    return Forma::eventFilter(objeto, evento);
}

}  // namespace forms

forms::Jugadas& Jugadas() {
    static forms::Jugadas* f = nullptr;
    return InstanciaForma(f);
}

void MostrarNotacion() {
    auto& m = ::Mdi();
    auto& j = ::Jugadas();
    auto mostrar = [&](int visible) {
        for (int i : {1, 2, 3, 5}) j.List[i]->setVisible(i == visible);
        QPlainTextEdit* l = j.List[visible];
        QTextCursor c = l->textCursor();
        c.movePosition(QTextCursor::End);
        l->setTextCursor(c);
        l->ensureCursorVisible();
    };
    for (int caja : {3, 2, 1, 5})
        if (m.NotacionMarcada(caja)) mostrar(caja);
}

namespace forms {

void Jugadas::CopiarNotacion() const {
    for (int i = 1; i <= 5; ++i) {
        if (!controles::Visible(List[i])) continue;
        controles::CopiarTexto(List[i]);
        return;
    }
}

}  // namespace forms

void MenuContextual(QMenu* menu) {
    if (menu) menu->exec(QCursor::pos());
}
