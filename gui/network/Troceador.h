// Splits what arrives from the peer into whole messages.
//
// Each message is sent alone, but TCP may join two of them into one arrival or cut
// one in two. The splitter knows the messages: every message begins with a keyword (a
// capital letter first); a message of fixed fields ends where its fields end. The
// messages that carry free text, a chat line ("Mensaje": chat, greeting, nick change)
// and a position ("EPD", a line of an EPD file), are framed: a copy of this version
// ends them with CR LF (Enmarcar) and they end at their line ending, whatever their
// text holds. One of the old form, without it, runs to the end of what came. The
// peer's first line on a link (its greeting) tells which form it sends: after a first
// line with its line ending, a line waits for its line ending; after one without, a
// line ending met later changes nothing. Text that
// fits none of this stays with the message before it (or forms one of its own), so
// that the dispatcher sees it whole and ignores it; such text that ends in a line
// ending is the rest of a line taken without it, and is dropped.
//
// A keyword or its fields cut at the end of an arrival wait for the rest; the
// caller gives up waiting after a while and takes what is there (Extraer(true)).
// What is held is read once: the cost is linear in the bytes that come.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tvp {

// Whether the peer ends its lines with CR LF: not known until its first line.
enum class Marco { Desconocido, Con, Sin };

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
    // For a new link: nothing held, no error, the peer's framing not known.
    void Vaciar();
    // Whether the peer has been seen to end its lines.
    Marco MarcoDelPar() const { return marco_; }

private:
    QByteArray pendiente_;
    bool error_ = false;
    Marco marco_ = Marco::Desconocido;
    // What is held is one line that waits for its line ending, searched up to here
    // (-1: it is not).
    qsizetype linea_ = -1;
};

// The split of one text: its whole messages (lines without their line ending), the
// cut tail that waits (empty when `final`), and whether the peer ends its lines
// (`marco` given, or told by the first line in the text).
struct Troceo {
    std::vector<QByteArray> mensajes;
    QByteArray resto;
    Marco marco = Marco::Desconocido;
};
Troceo Trocear(const QByteArray& texto, bool final, Marco marco = Marco::Desconocido);

// A message as it goes on the wire: a chat line or a position ends with CR LF (unless
// `conFinDeLinea` is false: the old form, for a peer that ends no line), and a line
// ending in its text becomes a blank; any other message goes as it is.
QByteArray Enmarcar(const QString& mensaje, bool conFinDeLinea = true);

}  // namespace tvp
