// Chat: the chat window of network play.
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

    QPlainTextEdit* ChatList;
    QLineEdit* Text1;
};

}  // namespace forms

forms::Chat& Chat();
