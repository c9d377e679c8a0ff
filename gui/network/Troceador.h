// Splits what arrives from the peer into whole messages.
//
// Each message is sent alone, but TCP may join two of them into one arrival or cut
// one in two. The wire has no delimiter, so the splitter knows the messages:
// every message begins with a keyword (a capital letter first); a message of fixed
// fields ends where its fields end; a chat line ("Mensaje") and a position ("EPD")
// carry free text, which ends only where the rest of the arrival is made of whole
// fixed-field messages. Text that fits none of this stays with the message before it
// (or forms one of its own), so that the dispatcher sees it whole and ignores it.
//
// A keyword or its fields cut at the end of an arrival wait for the rest; the
// caller gives up waiting after a while and takes what is there (Extraer(true)).
#pragma once

#include <QByteArray>

#include <vector>

namespace tvp {

class Troceador {
public:
    static constexpr qsizetype kMaximoMensaje = 64 * 1024;
    static constexpr qsizetype kMaximoPendiente = 1024 * 1024;

    // Adds an arrival. False when what is held would pass the limits (a protocol
    // error: nothing more is taken until Vaciar).
    bool Anadir(const QByteArray& datos);
    // The whole messages found, in order. `final`: nothing more will come for the
    // text held, so a cut message is taken as it is.
    std::vector<QByteArray> Extraer(bool final = false);
    // A cut message waits for its rest.
    bool Esperando() const { return !pendiente_.isEmpty(); }
    // A message over the limit was found, or too much is held.
    bool Error() const { return error_; }
    void Vaciar();

private:
    QByteArray pendiente_;
    bool error_ = false;
};

// The split of one text: its whole messages, and the cut tail that waits (empty
// when `final`).
struct Troceo {
    std::vector<QByteArray> mensajes;
    QByteArray resto;
};
Troceo Trocear(const QByteArray& texto, bool final);

}  // namespace tvp
