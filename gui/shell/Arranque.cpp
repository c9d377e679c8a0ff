#include "shell/Arranque.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/ListaPgn.h"
#include "files/fEpd.h"
#include "platform/Controles.h"
#include "shell/MSatusBar.h"
#include "shell/Mdi.h"
#include "shell/Splash.h"

void Main() {
    Reglas().LetrasEspanol = {"", "T", "C", "A", "D", "R", "ap"};
    FijarRutaIni();
    if (!ExisteFichero(FicheroIni)) Terminar(1);

    // The stored place is also the place of a window that starts maximised: the
    // window system takes it as the place to restore it to, so leaving the maximised
    // state goes straight there and not first to the size the window was made with,
    // which would push the side windows away while the area stood that small.
    SituarMdi();
    // Any stored state but the normal one opens the window maximised.
    using Estado = forms::Mdi::EstadoVentana;
    auto ventanas = controles::AEntero(ajustes::Leer(ajustes::Clave::MdiWindows));
    if (ventanas && *ventanas != long(Estado::Normal)) ::Mdi().FijarEstadoVentana(Estado::Maximizada);

    CentrarVentana(::Splash());
    ::Splash().Show();
    ::Splash().Refresh();

    ::Tavorin().Show();
    PaintStatusBar();

    QString ruta = LineaComandos.isEmpty() ? QString() : ProcesarLineaComandos(LineaComandos);
    DatosPartida.assign(2, QString());
    const QString tipo = ExtensionDe(ruta);
    if (tipo == "pgn") {
        FicheroPgn = ruta;
        AbrirPgn(ruta);
    }
    if (tipo == "tvp") {
        VentanasLaterales();
        ::Tavorin().AbrirTvp(ruta);
    }
    if (tipo == "epd") ::fEpd().LeerEPD(ruta);
    if (LineaComandos.isEmpty()) VentanasLaterales();

    ::Tavorin().SetFocus();
}
