// Chat: the conversation window of network play. Enter in the input box sends the
// line to the peer and echoes it here with the local nick.
#pragma once

#include "platform/Forma.h"

class QLineEdit;
class QPlainTextEdit;

namespace forms {

class Chat : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Chat();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Resize() override;
    void Form_Unload(bool& cancelar) override;
    // Lays the controls out to the window's size and repaints it.
    void ChatResice();
    // A key typed in the input box (set to 0: swallowed).
    void Texto_KeyPress(int& tecla);
    // The conversation's pop-up menu (button 2, the right one).
    void ChatList_MouseDown(int Button, int Shift, double X, double Y);
    // Appends a line to the conversation and shows the end of it. The conversation
    // keeps its most recent 5,000 lines, within about a million characters.
    void Anadir(const QString& linea);
    // The whole conversation; emptied; onto the clipboard (the selection, when there is one).
    QString Conversacion() const;
    void Borrar();
    void Copiar() const;

    QPlainTextEdit* ChatList;
    QLineEdit* Texto;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace forms

forms::Chat& Chat();
