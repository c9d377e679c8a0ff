// The one message box of Tavorin. A text that reads as a whole number from 0 to
// texto::UltimoTexto is language text n; any other text is shown as written. The box is modal
// and owned by the main window; its nested event loop keeps timers and sockets
// running. The answer lands in RespuestaMensaje and is also returned, so a caller
// reads its own answer even when another handler shows a box meanwhile.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Message-box style values, added together into one style word.
constexpr long MB_OK = 0;
constexpr long MB_YESNO = 4;
constexpr long MB_ICONSTOP = 16;
constexpr long MB_ICONQUESTION = 32;
constexpr long MB_ICONINFORMATION = 64;
constexpr long MB_DEFBUTTON2 = 256;
// Answers.
constexpr long IDOK = 1;
constexpr long IDYES = 6;
constexpr long IDNO = 7;

class CMensaje {
public:
    QString TituloMensaje;
    QString TextoMensaje;
    long BotonesMensaje = 0;
    long DefectoMensaje = 0;
    long IconoMensaje = 0;
    void Muestra();
};

extern CMensaje* ObjetoMensaje;
extern long RespuestaMensaje;

long MostrarMensaje(const QString& titulo, const QString& texto, long icono = 0, long botones = 0, long defecto = 0);

// The text a message box shows for a text argument: language text n for a whole
// number n from 0 to texto::UltimoTexto, the argument itself otherwise.
QString TextoDeMensaje(const QString& texto);

// The text argument of a message box that shows language text n (texto:: names them).
inline QString MensajeNumero(int n) { return QString::number(n); }

// The texts of the buttons a box of that button style shows, in order ("&" marks
// the shortcut letter).
QStringList TextosBotones(long botones);

// Asks for a line of text (the input box). Empty when cancelled.
QString PedirTexto(const QString& pregunta, const QString& titulo, const QString& inicial = {});

// For tests: when set, boxes are not shown; the function gets the message and
// gives the answer. The input box gets its answer from ResponderTexto.
extern std::function<long(const CMensaje&)> ResponderMensaje;
extern std::function<QString(const QString& pregunta, const QString& titulo)> ResponderTexto;
