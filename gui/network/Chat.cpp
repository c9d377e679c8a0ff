#include "network/Chat.h"

#include "app/Graficos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace forms {

Chat::Chat() : Forma(Hija, "Chat") {
    ChatList = new QPlainTextEdit(this);
    ChatList->setObjectName("ChatList");
    ChatList->setReadOnly(true);
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    resize(300, 200);
}

void Chat::Form_Resize() { ChatResice(); }

void Chat::Form_Unload(bool& cancelar) {
    ::Mdi().mnuVentanaChat->setChecked(false);
    cancelar = true;
    Hide();
}

void Chat::ChatResice() {
    const int m = 6;
    int alto = Text1->sizeHint().height();
    ChatList->setGeometry(m, m, std::max(1, ScaleWidth() - 2 * m), std::max(1, ScaleHeight() - 3 * m - alto));
    Text1->setGeometry(m, ScaleHeight() - m - alto, std::max(1, ScaleWidth() - 2 * m), alto);
    PintarVentana(3);
}

}  // namespace forms

forms::Chat& Chat() {
    static forms::Chat* f = nullptr;
    return InstanciaForma(f);
}
