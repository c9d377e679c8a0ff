#include "red_pruebas.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "network/Cola.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/FuenteReloj.h"
#include "platform/Sonido.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QStringList>
#include <QTimer>

void Red::SetUp() {
    e = std::make_unique<Entorno>();
    reloj::FijarFuente([this] { return reloj; });
    red::EnPrimerPlano = [this] { return primerPlano; };
    red::Parpadear = [this] { ++parpadeos; };
    sonido::Reproductor = [](const QString&) {};
    e->Arrancar();
    // The language loaded once in this process: its file is this folder's now.
    FicheroIdioma = e->Ruta("Español.lng");
    Enlazar();
}

void Red::TearDown() {
    auto& t = ::Tavorin();
    for (QTimer* x : {t.Timer2, t.Ping, t.TimerR}) x->stop();
    ::Reloj().Parar();
    Reglas().Conectado = false;
    red::Olvidar();
    red::Red().ConexionServidor = red::Red().ConexionCliente = false;
    NuevoPendiente = RetrocesoPendiente = PartidaDeFichero = PosicionPreparada = false;
    FicheroPendiente.clear();
    red::EnPrimerPlano = nullptr;
    red::Parpadear = nullptr;
    sonido::Reproductor = nullptr;
    reloj::FijarFuente({});
    e.reset();
}

void Red::Enlazar() {
    auto& r = red::Red();
    r.ConexionServidor = true;
    r.ConexionCliente = false;
    Reglas().Conectado = true;
    ::Tavorin().AlConectar();
    ::Tavorin().Timer2->stop();
    VersionRival = "1.55";
    Cola();
    Cajas();
}

void Red::Llega(const QString& mensaje) {
    red::Red().DatosRecibidos = mensaje;
    ::Tavorin().ProcesarDatos();
}

std::string Red::Cola() {
    QStringList c;
    for (long i = 1; i <= NumColaEnvio; ++i) c << ColaEnvio[size_t(i)];
    cola::Vaciar(ColaEnvio, NumColaEnvio);
    return c.join(u'|').toStdString();
}

std::string Red::Cajas() {
    QStringList v;
    for (const auto& m : e->mensajes) {
        QString n = m.texto;
        for (int i = 1; i < int(TextosIdioma.size()); ++i)
            if (TextosIdioma[i] == m.texto) n = QString::number(i);
        v << n;
    }
    e->mensajes.clear();
    return v.join(u'|').toStdString();
}

void Red::Partida(const char* tipo, int lado, int minutos) {
    e->respuestas.push_back(IDYES);
    const bool sinReloj = std::string(tipo) == "A";
    Llega(QString("NuevoJuego %1 %2 %3").arg(lado == 1 ? 2 : 1).arg(tipo).arg(sinReloj ? 0 : minutos));
    ASSERT_EQ(Cola(), "NuevoAceptado");
    Cajas();
}

void Red::Mover(const std::string& uci) { ArrastrarPieza(uci); }

int Red::Pieza(const std::string& casilla) { return Reglas().Casillas[casilla[0] - 'a' + 1][casilla[1] - '0']; }
