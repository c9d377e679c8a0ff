#include "board/Sonidos.h"

#include "app/CMensaje.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "platform/Nombres.h"
#include "platform/Sonido.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>

const char* FicheroSonido(long tipo) {
    switch (tipo) {
        case 1: return "Conexion.wav";
        case 2: return "Desconectado.wav";
        case 3: return "Mueve.wav";
        case 4: return "Gana.wav";
        case 5: return "Tiempo.wav";
        default: return "";
    }
}

void ReproducirSonido(long tipo) {
    ::Tavorin().OcultarMarcador();
    if (!::Mdi().ConSonido()) return;
    const QString fichero = FicheroSonido(tipo);
    const QString ruta = nombres::RutaReal(nombres::ConBarra(RutaApp), "Sonidos/" + fichero);
    QFileInfo info(ruta);
    if (fichero.isEmpty() || !info.isFile()) {
        SonidoNoEncontrado();
        return;
    }
    sonido::Reproducir(ruta);
}

void SonidoNoEncontrado() {
    QString texto = TextosIdioma[texto::FaltaSonido];
    if (texto.count(u'$') < 2) return;
    // Each "$" goes with the character on either side of it.
    for (int i = texto.indexOf(u'$'); i >= 0; i = texto.indexOf(u'$', i)) {
        int desde = std::max(0, i - 1);
        int hasta = std::min(int(texto.size()), i + 2);
        texto.replace(desde, hasta - desde, "\r\n");
        i = desde + 2;
    }
    MostrarMensaje("Tavorin", texto, MB_ICONSTOP);
    ::Mdi().FijarSonido(false);
}
