// The language files against the binding table, and language changes.
#include "entorno.h"

#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "network/Ranking.h"
#include "platform/IniFile.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

// Every key of the table is in the file, not empty (but the author), and what it
// set shows its text.
void ComprobarTabla(const QString& fichero) {
    for (const EnlaceIdioma& e : TablaIdioma()) {
        SCOPED_TRACE((e.seccion + "/" + e.clave).toStdString());
        QString valor;
        QFile f(fichero);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ini::Documento doc(f.readAll());
        ASSERT_TRUE(doc.Buscar(e.seccion, e.clave, valor)) << "missing key";
        if (e.seccion != "Autor") {
            EXPECT_FALSE(valor.isEmpty());
        }
        for (const QString& visto : e.leer()) EXPECT_TRUE(visto.contains(valor)) << visto.toStdString();
    }
}

class Idiomas : public ::testing::TestWithParam<const char*> {};

TEST_P(Idiomas, EveryKeyIsPresentAndLandsOnItsControl) {
    Entorno e;
    e.Poner("Configuracion", "Idioma", QString::fromUtf8(GetParam()));
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    ComprobarTabla(e.Ruta(QString::fromUtf8(GetParam()) + ".lng"));
}

TEST_P(Idiomas, TheFileHoldsNoKeyTheProgramDoesNotRead) {
    std::set<std::pair<QString, QString>> tabla;
    for (const EnlaceIdioma& e : TablaIdioma()) tabla.insert({e.seccion.toLower(), e.clave.toLower()});
    QFile f(Entorno::Recursos() + "/lang/" + QString::fromUtf8(GetParam()) + ".lng");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ini::Documento doc(f.readAll());
    for (const QString& s : doc.Secciones())
        for (const QString& k : doc.Claves(s))
            EXPECT_TRUE(tabla.count({s.toLower(), k.toLower()})) << (s + "/" + k).toStdString();
    QString version;
    ASSERT_TRUE(doc.Buscar("Version", "Version", version));
    EXPECT_EQ(version, "1.55");
}

INSTANTIATE_TEST_SUITE_P(Ficheros, Idiomas, ::testing::Values("Español", "English"));

// The table's rows as runs of one section, numbered keys in ranges: "Menu:Menu1-30".
QString Resumen(const std::vector<EnlaceIdioma>& tabla) {
    QStringList tramos;
    QString seccion;
    QStringList claves;
    QString prefijo;
    int desde = 0, hasta = -1;
    auto cerrarRango = [&] {
        if (hasta < 0) return;
        claves << (desde == hasta ? prefijo + QString::number(desde)
                                  : prefijo + QString::number(desde) + "-" + QString::number(hasta));
        hasta = -1;
    };
    auto cerrarTramo = [&] {
        cerrarRango();
        if (!claves.isEmpty()) tramos << seccion + ":" + claves.join(',');
        claves.clear();
    };
    static const QRegularExpression numerada("^(\\D*)(\\d+)$");
    for (const EnlaceIdioma& e : tabla) {
        if (e.seccion != seccion) {
            cerrarTramo();
            seccion = e.seccion;
        }
        const auto m = numerada.match(e.clave);
        if (m.hasMatch() && hasta >= 0 && m.captured(1) == prefijo && m.captured(2).toInt() == hasta + 1) {
            ++hasta;
            continue;
        }
        cerrarRango();
        if (m.hasMatch()) {
            prefijo = m.captured(1);
            desde = hasta = m.captured(2).toInt();
        } else {
            claves << e.clave;
        }
    }
    cerrarTramo();
    return tramos.join(" | ");
}

// Each window adds its own rows; together they make the table in the order in which a
// language has always been applied, whatever window exists.
TEST(TablaIdioma, EveryWindowsRowsStandInTheirPlace) {
    EXPECT_EQ(Resumen(TablaIdioma()).toStdString(),
              "Autor:Nombre | Version:Version | Menu:Menu1-30 | Tablero:Titulo | Reloj:Titulo,Jugador1-2 | "
              "Jugadas:Menu1-7,Titulo | Coronacion:Titulo | Botones:Aceptar | Chat:Menu1-4,Titulo | "
              "Opciones:Titulo,Frame1-3,Check1-3,Texto1,Opcion1 | Botones:Aceptar,Cancelar | "
              "Conexion:Titulo,Frame1-2,Opcion1-2,Texto1-2 | Botones:Aceptar,Cancelar | Ip:Titulo,Frame1 | "
              "Color:Titulo,Frame1,Texto1-3,Opcion1-2 | Botones:Aceptar,Cancelar | "
              "Nuevo:Titulo,Frame1-2,Text1,Opcion1-4 | Botones:Aceptar,Cancelar | Pgn:Titulo,Titulo2,1-13 | "
              "Botones:Guardar,Cancelar | Mensajes:1-117 | Tips:1-30 | CPU:1-3,21,4-20,22 | Botones:Aceptar | "
              "Reloj:Jugador1-2 | SetTablero:Titulo,1-2,Frame1,Option1-2,Frame2,Check1-5 | "
              "Botones:Aceptar,Cancelar | Ranking:Titulo,Frame1-2,1-5");
}

// A window that shares a key of another's joins that row: one row sets both, the
// last row of that key if there are several; joining a key no part made is a fault.
TEST(TablaIdioma, AJoinedRowSetsEveryWindowsText) {
    std::vector<EnlaceIdioma> filas;
    std::vector<std::function<void()>> pasos;
    idioma::Filas f(filas, pasos);
    QString primero, segundo, unido;
    f.Enlace("Reloj", "Jugador1", {idioma::Variable(&primero)});
    f.Enlace("Reloj", "Jugador1", {idioma::Variable(&segundo)});
    f.Unir("Reloj", "Jugador1", {idioma::Variable(&unido)});
    EXPECT_THROW(f.Unir("Reloj", "Jugador3", {idioma::Variable(&unido)}), std::logic_error);
    ASSERT_EQ(filas.size(), 2u);
    filas[1].aplicar("White");
    EXPECT_EQ(primero, "");
    EXPECT_EQ(segundo, "White");
    EXPECT_EQ(unido, "White");
    EXPECT_EQ(filas[1].leer(), (QStringList{"White", "White"}));
}

TEST(CambioDeIdioma, TheOptionsDialogChangesEveryTextAtOnceAndOkStoresIt) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuOpciones_Click();
    auto& o = Opciones();
    ASSERT_TRUE(o.Visible());
    const QString original = AparienciaActual;
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    o.Combo1_Click();
    ComprobarTabla(e.Ruta("English.lng"));
    // The built-in skin stays chosen, under its English name.
    EXPECT_NE(AparienciaActual, original);
    EXPECT_EQ(o.AparienciaElegida(), AparienciaActual);
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), QString::fromUtf8("Español"));
    o.Command1_Click();
    EXPECT_FALSE(o.Visible());
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), "English");
    EXPECT_EQ(e.Leer("Configuracion", "Apariencia"), AparienciaActual);
}

TEST(CambioDeIdioma, CancelGoesBackToTheStoredLanguage) {
    Entorno e;
    e.Arrancar();
    Mdi().mnuOpciones_Click();
    auto& o = Opciones();
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    o.Combo1_Click();
    o.Command2_Click();
    EXPECT_EQ(o.IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(Mdi().mnuArchivos->title(), e.Leer("Menu", "Menu1", QString::fromUtf8("Español.lng")));
    EXPECT_FALSE(o.Visible());
}

// The ranking keeps its numbers through a language change the dialog closes, by OK
// or by Cancel.
TEST(CambioDeIdioma, TheRankingKeepsItsNumbersAfterOkOrCancel) {
    const struct {
        const char* boton;
        void (forms::Opciones::*cerrar)();
    } tabla[] = {{"Cancel", &forms::Opciones::Command2_Click}, {"OK", &forms::Opciones::Command1_Click}};
    for (const auto& c : tabla) {
        SCOPED_TRACE(c.boton);
        Entorno e;
        e.Arrancar();
        Mdi().mnuMostrarRanking_Click();
        Mdi().mnuOpciones_Click();
        auto& o = Opciones();
        o.ElegirIdioma("English");
        (o.*c.cerrar)();
        for (int i = 0; i < 10; ++i)
            EXPECT_TRUE(Ranking().Linea(i).contains(QRegularExpression(": -?[0-9]+$")))
                << Ranking().Linea(i).toStdString();
    }
}

// A text of a language file as the program ships it.
QString DeSerie(const char* idioma, const QString& seccion, const QString& clave) {
    return ini::Leer(Entorno::Recursos() + "/lang/" + QString::fromUtf8(idioma) + ".lng", seccion, clave, {}, 1024);
}

// A language file with one key left empty, saved under another name.
void FicheroConClaveVacia(Entorno& e, const QString& nombre, const QString& origen, const QByteArray& linea) {
    QByteArray datos = e.Contenido(origen);
    int i = datos.indexOf("\n" + linea);
    ASSERT_GE(i, 0);
    i += 1 + linea.size();
    datos.remove(i, datos.indexOf('\n', i) - i);
    e.Escribir(nombre, datos);
}

TEST(IdiomaDefectuoso, AMissingKeyReportsOnceAndFallsBackToSpanishOnce) {
    Entorno e;
    FicheroConClaveVacia(e, "Roto.lng", "English.lng", "Menu5=");
    FicheroConClaveVacia(e, "Roto.lng", "Roto.lng", "Jugador2=");  // a second fault in the same file
    e.Poner("Configuracion", "Idioma", "Roto");
    e.Arrancar();
    EXPECT_EQ(e.Contar("Fichero de idioma incorrecto."), 1);
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8("Español"));
    EXPECT_EQ(e.Leer("Configuracion", "Idioma"), QString::fromUtf8("Español"));
    EXPECT_EQ(Mdi().mnuGuararImagen->text(), e.Leer("Menu", "Menu5", QString::fromUtf8("Español.lng")));
}

TEST(IdiomaDefectuoso, AFaultySpanishFileDoesNotStartAnotherRound) {
    Entorno e;
    FicheroConClaveVacia(e, "Roto.lng", "English.lng", "Menu5=");
    FicheroConClaveVacia(e, QString::fromUtf8("Español.lng"), QString::fromUtf8("Español.lng"), "Menu6=");
    e.Poner("Configuracion", "Idioma", "Roto");
    e.Arrancar();
    EXPECT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8("Español"));
    // The empty text is never shown: it comes from the file the program comes with.
    EXPECT_EQ(Mdi().mnuSalir->text(), DeSerie("Español", "Menu", "Menu6"));
    EXPECT_FALSE(Mdi().mnuSalir->text().isEmpty());
}

// Language files made before the newest texts (both shipped files and a user's own
// one stop at text 109): the texts they lack come from the files the program comes
// with, in the same language where it has one, without a word and without a change of
// language.
struct Anterior {
    const char* nombre;  // of the case
    const char* idioma;
    const char* deSerie;  // the shipped file the lacking texts come from
};
class IdiomaAnterior : public ::testing::TestWithParam<Anterior> {};

TEST_P(IdiomaAnterior, AFileMadeBeforeTheNewestTextsTakesThemFromTheShippedFile) {
    Entorno e;
    for (const char* nombre : {"English.lng", "Español.lng"}) {
        QByteArray datos = e.Contenido(QString::fromUtf8(nombre));
        const qsizetype desde = datos.indexOf("\n110="), hasta = datos.indexOf("\n[", desde);
        ASSERT_GT(desde, 0);
        ASSERT_GT(hasta, desde);
        datos.remove(desde + 1, hasta - desde);
        e.Escribir(QString::fromUtf8(nombre), datos);
    }
    e.Escribir("Gallego.lng", e.Contenido("English.lng"));
    e.Poner("Configuracion", "Idioma", QString::fromUtf8(GetParam().idioma));
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty()) << e.mensajes.front().texto.toStdString();
    EXPECT_EQ(Opciones().IdiomaElegido(), QString::fromUtf8(GetParam().idioma));
    for (int n = 110; n <= texto::UltimoTexto; ++n) {
        EXPECT_EQ(TextosIdioma[n], DeSerie(GetParam().deSerie, "Mensajes", QString::number(n))) << n;
        EXPECT_FALSE(TextosIdioma[n].isEmpty()) << n;
    }
    EXPECT_EQ(TextosIdioma[texto::PropuestaPuntuadaUno].count(u'$'), 2);
}
INSTANTIATE_TEST_SUITE_P(IdiomaDefectuoso, IdiomaAnterior,
                         ::testing::Values(Anterior{"English", "English", "English"},
                                           Anterior{"Spanish", "Español", "Español"},
                                           Anterior{"OwnTranslation", "Gallego", "Español"}),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

TEST(IdiomaDefectuoso, AnEmptyAuthorIsNoFault) {
    Entorno e;
    e.Poner("Autor", "Nombre", "", "English.lng");
    e.Poner("Configuracion", "Idioma", "English");
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    EXPECT_EQ(Mdi().Caption(), QString::fromUtf8("Tavorin Versión 1.55"));
    e.Poner("Autor", "Nombre", "Ana Ruiz", "English.lng");
    CargarIdioma();
    EXPECT_EQ(Mdi().Caption(), QString::fromUtf8("Tavorin Versión 1.55 - Ana Ruiz"));
}

TEST(IdiomaDefectuoso, AFirstFileOfAnotherVersionEndsTheProgram) {
    Entorno e;
    QByteArray viejo = e.Contenido("English.lng").replace("Version=1.55", "Version=1.50");
    e.Escribir("Aaa.lng", viejo);
    EXPECT_EQ(Estado([&] { e.Arrancar(); }), 0);
    ASSERT_FALSE(e.mensajes.empty());
    EXPECT_EQ(e.mensajes[0].texto, QString::fromUtf8("Versión del idioma incorrecto."));
}

TEST(IdiomaDefectuoso, ALaterFileOfAnotherVersionIsLeftOutSilently) {
    Entorno e;
    QByteArray viejo = e.Contenido("English.lng").replace("Version=1.55", "Version=1.50");
    e.Escribir("Zulu.lng", viejo);
    e.Escribir("Mayus.LNG", e.Contenido("English.lng"));
    e.Arrancar();
    EXPECT_TRUE(e.mensajes.empty());
    QStringList lista;
    for (int i = 0; i < Opciones().Combo1->count(); ++i) lista << Opciones().Combo1->itemText(i);
    EXPECT_EQ(lista, (QStringList{"English", QString::fromUtf8("Español")}));
}

TEST(IdiomaDefectuoso, ALanguageFileThatVanishedEndsTheProgramWithAMessage) {
    Entorno e;
    e.Arrancar();
    QFile::remove(e.Ruta("English.lng"));
    auto& o = Opciones();
    o.Combo1->setCurrentIndex(o.Combo1->findText("English"));
    EXPECT_EQ(Estado([&] { o.Combo1_Click(); }), 1);
    ASSERT_EQ(e.mensajes.size(), 1u);
    EXPECT_EQ(e.mensajes[0].texto, QString::fromUtf8("El fichero English.lng no se ha encontrado."));
}

}  // namespace
