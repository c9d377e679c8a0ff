// Event sounds: a wave file played without waiting, as the window system's
// "play this sound asynchronously" call did. A new sound replaces the one playing.
// A machine without a sound device plays nothing and says nothing.
#pragma once

#include <QString>

#include <functional>

namespace sonido {

// Starts playing the file and returns at once. The caller has checked that it exists.
void Reproducir(const QString& ruta);

// For tests: when set, it receives the path instead of the sound device.
extern std::function<void(const QString& ruta)> Reproductor;

}  // namespace sonido
