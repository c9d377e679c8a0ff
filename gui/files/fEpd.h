// fEpd: the EPD list window.
#pragma once

#include "platform/Forma.h"

class QListWidget;

namespace forms {

class fEpd : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    fEpd();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Unload(bool& cancelar) override;
    // Loads the positions of an EPD file into the list.
    void LeerEPD(const QString& ruta);
    // The peer left its EPD list, or the list closed without a position: a fresh game.
    void CancelarEPD();

    QListWidget* Eventos;
};

}  // namespace forms

forms::fEpd& fEpd();
