// Tavorin's executable: the application object, then the start-up routine.
//
// For the end-to-end tests the program reads two environment variables:
//   TAVORIN_PRUEBA_MENSAJES  when set, message and input boxes are not shown; each
//                            is written to standard error as one line
//                            "MENSAJE|<style>|<title>|<text>" (line breaks as \n)
//                            and answered from TAVORIN_PRUEBA_RESPUESTAS (answer
//                            codes separated by commas, used in turn), else with
//                            the box's default button; an input box gets
//                            TAVORIN_PRUEBA_NICK. A line "BOTONES|<texts>"
//                            follows with the texts of the box's buttons.
//   TAVORIN_PRUEBA_SALIR_MS  closes the main window that many milliseconds after
//                            start-up, as its close box would.
//   TAVORIN_PRUEBA_ORDENES   takes commands on standard input (shell/OrdenesPrueba.h)
//                            and prints "LISTO" once started; boxes then wait for
//                            their answers.
#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "shell/OrdenesPrueba.h"
#include "app/Variables.h"
#include "platform/Huerfanos.h"
#include "platform/Nombres.h"
#include "platform/Senales.h"
#include "shell/Arranque.h"
#include "shell/Mdi.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

QStringList g_respuestas;

void PrepararPruebas() {
    if (!qEnvironmentVariableIsSet("TAVORIN_PRUEBA_MENSAJES")) return;
    g_respuestas = qEnvironmentVariable("TAVORIN_PRUEBA_RESPUESTAS").split(u',', Qt::SkipEmptyParts);
    ResponderMensaje = [](const CMensaje& m) -> long {
        QString texto = m.TextoMensaje;
        texto.replace("\r\n", "\\n").replace(u'\n', "\\n");
        long estilo = m.IconoMensaje + m.BotonesMensaje + m.DefectoMensaje;
        std::fprintf(stderr, "MENSAJE|%ld|%s|%s\n", estilo, m.TituloMensaje.toUtf8().constData(),
                     texto.toUtf8().constData());
        std::fprintf(stderr, "BOTONES|%s\n", TextosBotones(m.BotonesMensaje).join(u'|').toUtf8().constData());
        std::fflush(stderr);
        if (!g_respuestas.isEmpty()) return g_respuestas.takeFirst().toLong();
        if (m.BotonesMensaje == MB_YESNO) return m.DefectoMensaje == MB_DEFBUTTON2 ? IDNO : IDYES;
        return IDOK;
    };
    ResponderTexto = [](const QString& pregunta, const QString& titulo) {
        std::fprintf(stderr, "PREGUNTA|%s|%s\n", titulo.toUtf8().constData(), pregunta.toUtf8().constData());
        std::fflush(stderr);
        QString nick = qEnvironmentVariable("TAVORIN_PRUEBA_NICK");
        return nick.isEmpty() ? QString("Prueba") : nick;
    };
}

}  // namespace

int main(int argc, char* argv[]) {
    // What an engine leaves behind comes back to Tavorin, which ends it (platform/Huerfanos.h).
    huerfanos::Adoptar();
    QApplication aplicacion(argc, argv);
    // SIGTERM and SIGINT end the engines too, and keep Default.ini whole.
    senales::AlTerminar(SalirPorSenal);
    QApplication::setApplicationName("Tavorin");
    IniciarRecursos();
    // Until a language file is read, the program's own texts are Spanish.
    TraducirBotones("Español");
    PrepararPruebas();
    IniciarOrdenesPrueba();
    // The names as given, byte for byte (the application object has taken its own
    // options out of argv): a file name need not be UTF-8.
    QStringList argumentos;
    for (int i = 1; i < argc; ++i) argumentos << nombres::DeBytes(argv[i]);
    LineaComandos = argumentos.join(u' ');
    Main();
    if (qEnvironmentVariableIsSet("TAVORIN_PRUEBA_ORDENES")) {
        std::fprintf(stdout, "LISTO\n");
        std::fflush(stdout);
    }
    bool ok = false;
    int salir = qEnvironmentVariableIntValue("TAVORIN_PRUEBA_SALIR_MS", &ok);
    if (ok) QTimer::singleShot(salir, [] { ::Mdi().close(); });
    return aplicacion.exec();
}
