#include "pgn_comun.h"

#include "app/Variables.h"
#include "files/ListaPgn.h"
#include "files/PgnLector.h"
#include "files/PgnMovimientos.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace pgn_prueba {

QString Abrir(Entorno& e, const QString& nombre, const QByteArray& texto) {
    e.Escribir(nombre, texto);
    const QString ruta = e.Ruta(nombre);
    AbrirPgn(ruta);
    ListaPgn().Timer_Timer();
    return ruta;
}

void Elegir(int k) {
    ListaPgn().Eventos->setCurrentRow(k);
    if (ListaPgn().Timer->isActive()) ListaPgn().Timer_Timer();
}

void Cerrar() {
    if (ListaPgn().Visible()) ListaPgn().Unload();
}

QStringList Entradas() {
    QStringList s;
    for (int i = 0; i < ListaPgn().Eventos->count(); ++i) s << ListaPgn().Eventos->item(i)->text();
    return s;
}

QStringList Lineas() { return PgnMovimientos().Lineas(); }

int Resaltada() {
    QListWidget* l = PgnMovimientos().List1;
    return l->selectedItems().isEmpty() ? -1 : l->currentRow();
}

std::vector<std::string> Codificadas() { return Reglas().PgnJugadas; }

namespace {
Estado De(const rules::Reglas& r) {
    Estado e;
    e.casillas = r.Casillas;
    e.torres = {r.TorreA1Movida, r.TorreH1Movida, r.TorreA8Movida, r.TorreH8Movida};
    e.alPaso = r.AlPasoPosible;
    e.casillaAlPaso = r.AlPasoPosible ? r.CasillaAlPaso : 0;
    e.registros = r.Jugadas.List1;
    return e;
}
}  // namespace

Estado Actual() { return De(Reglas()); }

Estado Reproducir(const std::vector<std::string>& codificadas, int k, const std::string& fen, int* rechazada) {
    *rechazada = -1;
    rules::Reglas r;
    r.VariablesCero();
    if (fen.empty()) {
        r.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
        r.AlPasoPosible = false;
        r.CasillaAlPaso = 0;
    } else {
        r.TorreA1Movida = r.TorreH1Movida = r.TorreA8Movida = r.TorreH8Movida = true;
        r.LeerFen(fen);
    }
    r.Turno = 0;
    for (int i = 0; i <= k && i < int(codificadas.size()); ++i) {
        const std::string& t = codificadas[size_t(i)];
        r.Origen = t.substr(0, 2);
        r.Destino = t.size() >= 4 ? t.substr(2, 2) : std::string();
        if (t.size() >= 5) r.PiezaCoronacion = std::atoi(t.c_str() + 4);
        r.ValidarMovimiento();
        if (!r.MovimientoValido && *rechazada < 0) *rechazada = i;
        r.MovimientoAnulado();
    }
    return De(r);
}

Estado Referencia(const std::vector<std::string>& codificadas, int k, const std::string& fen) {
    int rechazada = -1;
    const Estado e = Reproducir(codificadas, k, fen, &rechazada);
    EXPECT_LT(rechazada, 0) << codificadas[size_t(std::max(rechazada, 0))];
    return e;
}

std::ostream& operator<<(std::ostream& os, const Estado& e) {
    for (int y = 8; y >= 1; --y) {
        for (int x = 1; x <= 8; ++x) os << " " << e.casillas[size_t(x)][size_t(y)];
        os << "\n";
    }
    os << "rights lost " << e.torres[0] << e.torres[1] << e.torres[2] << e.torres[3] << ", en passant " << e.alPaso
       << " " << e.casillaAlPaso << ", " << e.registros.size() << " records";
    return os;
}

std::optional<QString> PgnExtract() {
    for (const char* ruta : {"/usr/games/pgn-extract", "/usr/bin/pgn-extract"})
        if (QFileInfo(ruta).isExecutable()) return QString(ruta);
    return std::nullopt;
}

std::vector<std::vector<std::string>> Tokens(const QByteArray& texto) {
    std::vector<std::vector<std::string>> partidas;
    const std::string datos = texto.toStdString();
    pgn::Indice indice;
    indice.Construir(datos);
    for (const auto& e : indice.Partidas()) {
        const pgn::Partida p = pgn::LeerPartida(std::string_view(datos).substr(e.inicio, e.fin - e.inicio));
        std::vector<std::string> tokens;
        for (const std::string& linea : pgn::SepararJugadas(p.textoJugadas))
            tokens.push_back(pgn::JugadaDeLinea(linea, linea[0] != ' '));
        partidas.push_back(tokens);
    }
    return partidas;
}

Extraccion Extraer(const QString& fichero) {
    Extraccion x;
    QTemporaryDir dir;
    const QString log = dir.filePath("log.txt"), salida = dir.filePath("salida.pgn");
    QProcess p;
    p.start(*PgnExtract(), {"-s", "-l" + log, "-o" + salida, fichero});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        x.diagnosticos = "pgn-extract failed: " + p.readAllStandardError();
    QFile l(log), s(salida);
    if (l.open(QIODevice::ReadOnly)) x.diagnosticos += QString::fromUtf8(l.readAll());
    if (s.open(QIODevice::ReadOnly)) x.partidas = Tokens(s.readAll());
    return x;
}

}  // namespace pgn_prueba
