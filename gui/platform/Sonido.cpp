#include "platform/Sonido.h"

#include <QSoundEffect>
#include <QUrl>

namespace sonido {

std::function<void(const QString&)> Reproductor;

void Reproducir(const QString& ruta) {
    if (Reproductor) {
        Reproductor(ruta);
        return;
    }
    // One effect for the whole program: a new sound stops the previous one. It lives
    // until the program ends.
    static QSoundEffect* efecto = new QSoundEffect;
    efecto->stop();
    efecto->setSource(QUrl::fromLocalFile(ruta));
    efecto->play();
}

}  // namespace sonido
