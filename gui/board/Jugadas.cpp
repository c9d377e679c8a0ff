#include "board/Jugadas.h"

#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Controles.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <string_view>

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
        // The boxes grow move by move: no undo history behind them.
        List[i]->document()->setUndoRedoEnabled(false);
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
    for (int i = 1; i <= 5; ++i) {
        List[i]->setPlainText({});
        mostrado_[size_t(i)].clear();
    }
    List1->clear();
}

namespace {

// What a box shows of a text: its lines without their CR, no empty line after the last.
QString Mostrado(std::string_view texto) {
    QString t = QString::fromUtf8(texto.data(), qsizetype(texto.size()));
    t.replace("\r\n", "\n");
    if (t.endsWith(u'\n')) t.chop(1);
    return t;
}

bool EmpiezaPor(const std::string& texto, const std::string& principio) {
    return texto.size() >= principio.size() && texto.compare(0, principio.size(), principio) == 0;
}

}  // namespace

void Jugadas::MostrarTexto(int i, const std::string& texto) {
    QPlainTextEdit* caja = List[size_t(i)];
    std::string& antes = mostrado_[size_t(i)];
    // Lines added to whole lines: the new lines only.
    const bool crece =
        texto.size() > antes.size() && (antes.empty() || antes.back() == '\n') && EmpiezaPor(texto, antes);
    // Whole lines left of what shows: the lines after them go.
    const bool mengua =
        texto.size() < antes.size() && !texto.empty() && texto.back() == '\n' && EmpiezaPor(antes, texto);
    if (crece) {
        QTextCursor c(caja->document());
        c.movePosition(QTextCursor::End);
        const QString nuevas = Mostrado(std::string_view(texto).substr(antes.size()));
        c.insertText(antes.empty() ? nuevas : "\n" + nuevas);
    } else if (mengua) {
        const std::string_view quitado = std::string_view(antes).substr(texto.size());
        const int lineas = int(std::count(quitado.begin(), quitado.end(), '\n')) + (quitado.back() == '\n' ? 0 : 1);
        QTextDocument* d = caja->document();
        const QTextBlock ultima = d->findBlockByNumber(d->blockCount() - 1 - lineas);
        QTextCursor c(d);
        c.setPosition(ultima.position() + ultima.length() - 1);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    } else if (texto != antes) {
        caja->setPlainText(Mostrado(texto));
    }
    antes = texto;
    QTextCursor c = caja->textCursor();
    c.movePosition(QTextCursor::End);
    caja->setTextCursor(c);
}

void Jugadas::MostrarRegistros(const std::vector<std::string>& registros) {
    const int mostrados = List1->count(), n = int(registros.size());
    auto igual = [&](int i) { return List1->item(i)->text() == QString::fromStdString(registros[size_t(i)]); };
    // The records shown are still the game's first ones: add or take off at the end.
    const int comunes = std::min(mostrados, n);
    if (comunes == 0 || (igual(0) && igual(comunes - 1))) {
        for (int i = mostrados; i < n; ++i) List1->addItem(QString::fromStdString(registros[size_t(i)]));
        for (int i = mostrados - 1; i >= n; --i) delete List1->takeItem(i);
        return;
    }
    List1->clear();
    for (const auto& r : registros) List1->addItem(QString::fromStdString(r));
}

void Jugadas::ActualizarTextos() {
    const auto& lista = Reglas().Jugadas;
    for (int i = 1; i <= 5; ++i) MostrarTexto(i, lista.List[size_t(i)]);
    MostrarRegistros(lista.List1);
}

void Jugadas::List_MouseDown(int indice, int boton) {
    (void)indice;
    if (boton == controles::BotonDerecho) ::Mdi().MenuDeJugadas();
}

bool Jugadas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(evento);
        for (int i = 1; i <= 5; ++i) {
            if (objeto == List[i]->viewport()) {
                List_MouseDown(i, e->button() == Qt::RightButton ? controles::BotonDerecho : controles::BotonIzquierdo);
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

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasJugadas(idioma::Filas& f) {
    f.Enlace("Jugadas", "Titulo", {idioma::Leyenda([]() -> Forma& { return ::Jugadas(); })});
}
const idioma::Registro registroIdioma(idioma::Tramo::Jugadas, FilasJugadas);

const pintura::Registro registroPintura(pintura::Orden::Jugadas, {2, []() -> Forma& { return ::Jugadas(); }});

}  // namespace
