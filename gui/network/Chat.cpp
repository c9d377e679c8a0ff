#include "network/Chat.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "network/Red.h"
#include "platform/Controles.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace {
// The chat refuses a line while more than this many messages wait to go out.
constexpr long kColaLlenaChat = 35;
// The conversation keeps its most recent lines, so many and no more than about so
// many characters: a peer that talks without end neither fills the memory nor slows
// the window down.
constexpr int kLineasChat = 5000;
constexpr int kCaracteresChat = 1 << 20;
}  // namespace

namespace forms {

Chat::Chat() : Forma(Hija, "Chat") {
    ChatList = new QPlainTextEdit(this);
    ChatList->setObjectName("ChatList");
    ChatList->setReadOnly(true);
    // Each line ends in a line break: the last block stays empty.
    ChatList->setMaximumBlockCount(kLineasChat + 1);
    // Only the program's own pop-up menu opens over the conversation.
    ChatList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ChatList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { ChatList_MouseDown(controles::BotonDerecho, 0, p.x(), p.y()); });
    Texto = new QLineEdit(this);
    Texto->setObjectName("Texto");
    Texto->installEventFilter(this);
    resize(300, 200);
}

void Chat::Form_Resize() { ChatResice(); }

void Chat::Form_Unload(bool& cancelar) {
    ::Mdi().FijarMuestra(Mdi::Lateral::Chat, false);
    cancelar = true;
    Hide();
}

void Chat::ChatResice() {
    const int m = 6;
    const int alto = Texto->sizeHint().height();
    const int ancho = ScaleWidth() - 2 * m;
    const int altoLista = ScaleHeight() - m - alto - m;
    // A window made too small keeps the last layout.
    if (ancho > 0 && altoLista > 0) {
        ChatList->setGeometry(m, m, ancho, altoLista);
        Texto->setGeometry(m, m + altoLista, ancho, alto);
    }
    PintarVentana(3);
}

void Chat::Anadir(const QString& linea) {
    QTextCursor c = ChatList->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(linea + "\n");
    QTextDocument* d = ChatList->document();
    if (d->characterCount() > kCaracteresChat) {
        // The oldest lines go, whole, until the rest fits.
        QTextCursor viejas(d);
        int quitar = d->characterCount() - kCaracteresChat;
        for (QTextBlock b = d->begin(); b.isValid() && quitar > 0 && b.next().isValid(); b = b.next()) {
            quitar -= b.length();
            viejas.setPosition(b.next().position(), QTextCursor::KeepAnchor);
        }
        viejas.removeSelectedText();
        c.movePosition(QTextCursor::End);
    }
    ChatList->setTextCursor(c);
    ChatList->ensureCursorVisible();
}

void Chat::Texto_KeyPress(int& tecla) {
    if (tecla == 9) {
        tecla = 0;
        return;
    }
    if (tecla == 32 && Texto->text().isEmpty()) {
        tecla = 0;
        return;
    }
    if (tecla != 13) return;
    if (!Reglas().Conectado) {
        tecla = 0;
        Texto->clear();
        return;
    }
    if (NumColaEnvio > kColaLlenaChat) return;
    tecla = 0;
    if (PartidaDeFichero) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::ChatDuranteCarga), MB_ICONINFORMATION);
        Texto->clear();
        return;
    }
    if (Texto->text().isEmpty()) return;
    const QString linea = "<" + NickLocal + ">" + Texto->text();
    EncolarMensaje(tvp::TextoChat(linea));
    Anadir(linea);
    Texto->clear();
}

void Chat::ChatList_MouseDown(int Button, int Shift, double X, double Y) {
    (void)Shift;
    if (Button != controles::BotonDerecho) return;
    ::Mdi().MenuDeChat(ChatList->viewport()->mapToGlobal(QPoint(int(X), int(Y))));
}

QString Chat::Conversacion() const { return ChatList->toPlainText(); }
void Chat::Borrar() { ChatList->clear(); }
void Chat::Copiar() const { controles::CopiarTexto(ChatList); }

bool Chat::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == Texto && controles::TeclaTragada(evento, [this](int& tecla) { Texto_KeyPress(tecla); })) return true;
    return Forma::eventFilter(objeto, evento);
}

}  // namespace forms

forms::Chat& Chat() {
    static forms::Chat* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

void FilasChat(idioma::Filas& f) {
    f.Especial(
        "Chat", "Titulo", [](const QString& v) { ::Chat().setCaption(v + " - " + NickLocal); },
        [] { return QStringList{::Chat().Caption()}; });
}
const idioma::Registro registroIdioma(idioma::Tramo::Chat, FilasChat);

const pintura::Registro registroPintura(pintura::Orden::Chat, {3, []() -> Forma& { return ::Chat(); }});

}  // namespace
