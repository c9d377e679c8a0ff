#include "app/Idioma.h"

#include "app/Ajustes.h"
#include "app/AjusteTextos.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/ColorRgb.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "files/ListaPgn.h"
#include "files/PgnMovimientos.h"
#include "files/SetTableroF.h"
#include "network/Chat.h"
#include "network/Conexion.h"
#include "network/Ip.h"
#include "network/Nuevo.h"
#include "network/Ranking.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/Nombres.h"
#include "platform/PictureBox.h"
#include "shell/MSatusBar.h"
#include "shell/Mdi.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

// ---- One listing or loading of languages ----------------------------------------
// A missing key is reported once per round; the fall-back to "Español" runs once,
// after the round, never inside it.
int g_ronda = 0;
bool g_reportado = false;
bool g_cambiarAEspanol = false;
bool g_enRecuperacion = false;

class Ronda {
public:
    Ronda() {
        if (g_ronda++ == 0 && !g_enRecuperacion) {
            g_reportado = false;
            g_cambiarAEspanol = false;
        }
    }
    ~Ronda() noexcept(false) {
        if (--g_ronda != 0 || !g_cambiarAEspanol) return;
        g_cambiarAEspanol = false;
        g_enRecuperacion = true;
        auto& o = ::Opciones();
        if (controles::FijarTextoLista(o.Combo1, "Español")) o.Combo1_Click();
        g_enRecuperacion = false;
    }
    Ronda(const Ronda&) = delete;
    Ronda& operator=(const Ronda&) = delete;
};

// ---- Targets of the table -------------------------------------------------------
struct Destino {
    std::function<void(const QString&)> poner;
    std::function<QString()> leer;
};

Destino Leyenda(std::function<Forma&()> ventana) {
    return {[ventana](const QString& t) { ventana().setCaption(t); }, [ventana] { return ventana().Caption(); }};
}

Destino Texto(std::function<QWidget*()> control) {
    return {[control](const QString& t) {
                QWidget* w = control();
                if (auto* l = qobject_cast<QLabel*>(w))
                    l->setText(t);
                else if (auto* g = qobject_cast<QGroupBox*>(w))
                    g->setTitle(t);
                else if (auto* b = qobject_cast<QAbstractButton*>(w))
                    b->setText(t);
            },
            [control]() -> QString {
                QWidget* w = control();
                if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
                if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
                if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
                return {};
            }};
}

Destino Item(std::function<QAction*()> accion) {
    return {[accion](const QString& t) { accion()->setText(t); }, [accion] { return accion()->text(); }};
}

Destino Consejo(std::function<QAction*()> accion) {
    return {[accion](const QString& t) { accion()->setToolTip(t); }, [accion] { return accion()->toolTip(); }};
}

Destino ConsejoControl(std::function<QWidget*()> control) {
    return {[control](const QString& t) { control()->setToolTip(t); }, [control] { return control()->toolTip(); }};
}

Destino Variable(QString* destino) {
    return {[destino](const QString& t) { *destino = t; }, [destino] { return *destino; }};
}

// The items of section Menu, keys 1 to 30.
QAction* ItemMenu(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuArchivos->menuAction();
        case 2: return m.mnuAbrirPartida;
        case 3: return m.mnuGuardarPartida;
        case 4: return m.mnuGuararChat;
        case 5: return m.mnuGuararImagen;
        case 6: return m.mnuSalir;
        case 7: return m.mnuConectar->menuAction();
        case 8: return m.mnuObtenerIp;
        case 9: return m.mnuEstablecerconexion;
        case 10: return m.mnuDesconectar;
        case 11: return m.mnuPartida->menuAction();
        case 12: return m.mnuNuevaPartida;
        case 13: return m.mnuRendirse;
        case 14: return m.mnuOfrecerTablas;
        case 15: return m.mnuVer->menuAction();
        case 16: return m.mnuMovimientos;
        case 17: return m.mnuVentanaChat;
        case 18: return m.mnuReloj;
        case 19: return m.mnuMostrarRanking;
        case 20: return m.mnuInvertirTablero;
        case 21: return m.mnuSonido;
        case 22: return m.mnuPointClick;
        case 23: return m.mnuRgb;
        case 24: return m.mnuOpciones;
        case 25: return m.mnuAyuda->menuAction();
        case 26: return m.mnuTemaAyuda;
        case 27: return m.mnuAcerca;
        case 28: return m.mnuSetTablero;
        case 29: return m.mnuActualizar;
        default: return m.mnuRetroceder;
    }
}

QAction* ItemJugadas(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuCopiarJugadas;
        case 2: return m.mnuGuardarComo;
        case 3: return m.mnuNotacion->menuAction();
        case 4: return m.mnuAlgebraico->menuAction();
        case 5: return m.mnuCordenadas;
        case 6: return m.mnuAlgebraicoEsp;
        default: return m.mnuAlgebraicoIng;
    }
}

QAction* ItemChat(int n) {
    auto& m = ::Mdi();
    switch (n) {
        case 1: return m.mnuCambiarNick;
        case 2: return m.mnuCopiar;
        case 3: return m.mnuChatListBorrar;
        default: return m.mnuChatListGuardar;
    }
}

Destino BotonMdi(int i) {
    return Consejo([i] { return ::Mdi().Toolbar1[i]; });
}
Destino BotonCpu(int i) {
    return Consejo([i] { return ::Cpu().Toolbar1[i]; });
}

std::vector<EnlaceIdioma> Construir() {
    std::vector<EnlaceIdioma> t;
    auto enlace = [&t](const QString& seccion, const QString& clave, std::vector<Destino> destinos) {
        EnlaceIdioma e;
        e.seccion = seccion;
        e.clave = clave;
        e.aplicar = [destinos](const QString& v) {
            for (const auto& d : destinos) d.poner(v);
        };
        e.leer = [destinos] {
            QStringList l;
            for (const auto& d : destinos) l << d.leer();
            return l;
        };
        t.push_back(std::move(e));
    };
    auto especial = [&t](const QString& seccion, const QString& clave, std::function<void(const QString&)> aplicar,
                         std::function<QStringList()> leer) {
        t.push_back({seccion, clave, std::move(aplicar), std::move(leer)});
    };
    auto botones = [&](std::function<QWidget*()> aceptar, std::function<QWidget*()> cancelar) {
        if (aceptar) enlace("Botones", "Aceptar", {Texto(aceptar)});
        if (cancelar) enlace("Botones", "Cancelar", {Texto(cancelar)});
    };

    especial(
        "Autor", "Nombre",
        [](const QString& nombre) {
            QString titulo = QString("Tavorin") + " Versión " + kVersionPrograma;
            if (!nombre.isEmpty()) titulo += " - " + nombre;
            ::Mdi().setCaption(titulo);
        },
        [] { return QStringList{::Mdi().Caption()}; });
    especial(
        "Version", "Version",
        [](const QString& version) {
            if (version == kVersionPrograma) return;
            MostrarMensaje("Tavorin", "Versión del idioma incorrecto.", MB_ICONINFORMATION);
            ::Tavorin().SituarVentanas();
            Terminar(1);
        },
        [] { return QStringList{}; });

    for (int n = 1; n <= 30; ++n) enlace("Menu", QString("Menu%1").arg(n), {Item([n] { return ItemMenu(n); })});

    enlace("Tablero", "Titulo", {Leyenda([]() -> Forma& { return ::Tavorin(); })});

    enlace("Reloj", "Titulo", {Leyenda([]() -> Forma& { return ::Reloj(); })});
    enlace("Reloj", "Jugador1", {Texto([] { return ::Reloj().Label1; })});
    enlace("Reloj", "Jugador2", {Texto([] { return ::Reloj().Label2; })});

    for (int n = 1; n <= 7; ++n) enlace("Jugadas", QString("Menu%1").arg(n), {Item([n] { return ItemJugadas(n); })});
    enlace("Jugadas", "Titulo", {Leyenda([]() -> Forma& { return ::Jugadas(); })});

    enlace("Coronacion", "Titulo", {Leyenda([]() -> Forma& { return ::Coronacion(); })});
    botones([] { return ::Coronacion().Command1; }, nullptr);

    for (int n = 1; n <= 4; ++n) enlace("Chat", QString("Menu%1").arg(n), {Item([n] { return ItemChat(n); })});
    especial(
        "Chat", "Titulo", [](const QString& v) { ::Chat().setCaption(v + " - " + NickLocal); },
        [] { return QStringList{::Chat().Caption()}; });

    enlace("Opciones", "Titulo", {Leyenda([]() -> Forma& { return ::Opciones(); })});
    enlace("Opciones", "Frame1", {Texto([] { return ::Opciones().Frame1; })});
    enlace("Opciones", "Frame2", {Texto([] { return ::Opciones().Frame2; })});
    enlace("Opciones", "Frame3", {Texto([] { return ::Opciones().Frame3; })});
    enlace("Opciones", "Check1", {Texto([] { return ::Opciones().Check1; })});
    enlace("Opciones", "Check2", {Texto([] { return ::Opciones().Check2; })});
    enlace("Opciones", "Check3", {Texto([] { return ::Opciones().Check3; })});
    enlace("Opciones", "Texto1", {Texto([] { return ::Opciones().Label1; })});
    enlace("Opciones", "Opcion1", {Variable(&AparienciaActual)});
    botones([] { return ::Opciones().Command1; }, [] { return ::Opciones().Command2; });

    enlace("Conexion", "Titulo", {Leyenda([]() -> Forma& { return ::Conexion(); })});
    enlace("Conexion", "Frame1", {Texto([] { return ::Conexion().Frame2; })});
    enlace("Conexion", "Frame2", {Texto([] { return ::Conexion().Frame3; })});
    enlace("Conexion", "Opcion1", {Texto([] { return ::Conexion().Option1; })});
    enlace("Conexion", "Opcion2", {Texto([] { return ::Conexion().Option2; })});
    enlace("Conexion", "Texto1", {Texto([] { return ::Conexion().Label1; })});
    enlace("Conexion", "Texto2", {Texto([] { return ::Conexion().Label2; })});
    botones([] { return ::Conexion().Command1; }, [] { return ::Conexion().Command2; });

    enlace("Ip", "Titulo", {Leyenda([]() -> Forma& { return ::Ip(); })});
    enlace("Ip", "Frame1", {Texto([] { return ::Ip().Frame1; })});

    enlace("Color", "Titulo", {Leyenda([]() -> Forma& { return ::ColorRgb(); })});
    enlace("Color", "Frame1", {Texto([] { return ::ColorRgb().Frame1; })});
    enlace("Color", "Texto1", {Texto([] { return ::ColorRgb().Lbl_Red; })});
    enlace("Color", "Texto2", {Texto([] { return ::ColorRgb().Lbl_Green; })});
    enlace("Color", "Texto3", {Texto([] { return ::ColorRgb().Lbl_Blue; })});
    enlace("Color", "Opcion1", {Texto([] { return ::ColorRgb().Option1; })});
    enlace("Color", "Opcion2", {Texto([] { return ::ColorRgb().Option2; })});
    botones([] { return ::ColorRgb().Command1; }, [] { return ::ColorRgb().Command2; });

    enlace("Nuevo", "Titulo", {Leyenda([]() -> Forma& { return ::Nuevo(); })});
    enlace("Nuevo", "Frame1", {Texto([] { return ::Nuevo().Frame1; })});
    enlace("Nuevo", "Frame2", {Texto([] { return ::Nuevo().Frame2; })});
    enlace("Nuevo", "Text1", {Texto([] { return ::Nuevo().Label1; })});
    enlace("Nuevo", "Opcion1", {Texto([] { return ::Nuevo().Option1; })});
    enlace("Nuevo", "Opcion2", {Texto([] { return ::Nuevo().Option2; })});
    enlace("Nuevo", "Opcion3", {Texto([] { return ::Nuevo().Option3; })});
    enlace("Nuevo", "Opcion4", {Texto([] { return ::Nuevo().Option4; })});
    botones([] { return ::Nuevo().Command1; }, [] { return ::Nuevo().Command2; });

    enlace("Pgn", "Titulo", {Leyenda([]() -> Forma& { return ::ListaPgn(); })});
    especial(
        "Pgn", "Titulo2",
        [](const QString& v) {
            ::PgnMovimientos().setCaption(v);
            // The tag names are printed anew into the header picture and the search list.
            ::ListaPgn().Picture1->Cls();
            ::ListaPgn().Buscar->clear();
        },
        [] { return QStringList{::PgnMovimientos().Caption()}; });
    for (int r = 1; r <= 8; ++r) {
        especial(
            "Pgn", QString::number(r),
            [r](const QString& v) {
                auto& l = ::ListaPgn();
                l.Picture1->Print(4, 2 + 21 * (r - 1), v, 8);
                l.Picture1->Refresh();
                if (r <= 7) l.Buscar->addItem(v);
                if (r == 7) l.Buscar->setCurrentIndex(0);
                if (r == 8) l.Frame2->setTitle(v);
            },
            [r] {
                auto& l = ::ListaPgn();
                QStringList s{l.Picture1->TextosImpresos().value(r - 1)};
                if (r <= 7) s << l.Buscar->itemText(r - 1);
                if (r == 8) s << l.Frame2->title();
                return s;
            });
    }
    enlace("Pgn", "9", {Texto([] { return ::ListaPgn().Label3; })});
    enlace("Pgn", "10", {Variable(&TextosTab[1])});
    enlace("Pgn", "11", {Variable(&TextosTab[2])});
    enlace("Pgn", "12", {Variable(&TextosTab[3])});
    enlace("Pgn", "13", {Texto([] { return ::ListaPgn().Label2; })});
    enlace("Botones", "Guardar", {Texto([] { return ::ListaPgn().Command2[1]; })});
    enlace("Botones", "Cancelar", {Texto([] { return ::ListaPgn().Command2[2]; })});

    for (int n = 1; n <= 109; ++n) enlace("Mensajes", QString::number(n), {Variable(&TextosIdioma[n])});

    const std::vector<std::vector<Destino>> consejos = {
        {},
        {BotonMdi(1)},
        {BotonMdi(3)},
        {BotonMdi(4)},
        {BotonMdi(5)},
        {BotonMdi(7)},
        {BotonMdi(8)},
        {BotonMdi(9)},
        {BotonMdi(11)},
        {BotonMdi(12), BotonCpu(4)},
        {BotonMdi(13), BotonCpu(5)},
        {BotonMdi(18)},
        {BotonMdi(19)},
        {BotonMdi(20)},
        {BotonMdi(22)},
        {BotonMdi(23)},
        {BotonMdi(27)},
        {BotonMdi(16)},
        {ConsejoControl([] { return ::ListaPgn().Command1[1]; })},
        {ConsejoControl([] { return ::ListaPgn().Command1[2]; })},
        {ConsejoControl([] { return ::ListaPgn().Command1[3]; })},
        {ConsejoControl([] { return ::ListaPgn().Command1[4]; })},
        {ConsejoControl([] { return ::ListaPgn().Command1[5]; })},
        {},  // key 23 is read and sets nothing
        {BotonCpu(1)},
        {BotonCpu(2)},
        {BotonCpu(9)},
        {BotonCpu(10)},
        {BotonCpu(12)},
        {BotonCpu(7), BotonMdi(14)},
        {BotonMdi(25)},
    };
    for (int n = 1; n <= 30; ++n) enlace("Tips", QString::number(n), consejos[n]);

    enlace("CPU", "1", {Texto([] { return ::Cpu().Frame1; })});
    enlace("CPU", "2", {Texto([] { return ::Cpu().Frame2; })});
    enlace("CPU", "3", {Texto([] { return ::Cpu().Frame3; })});
    enlace("CPU", "21", {Texto([] { return ::Cpu().Frame4; })});
    enlace("CPU", "4", {Texto([] { return ::Cpu().Label1; })});
    enlace("CPU", "5", {Texto([] { return ::Cpu().Label2; })});
    enlace("CPU", "6", {Texto([] { return ::Cpu().Label3; })});
    enlace("CPU", "7", {Texto([] { return ::Cpu().Label4; })});
    enlace("CPU", "8", {Texto([] { return ::Cpu().Label5; })});
    enlace("CPU", "9", {Leyenda([]() -> Forma& { return ::Cpu(); })});
    especial(
        "CPU", "10",
        [](const QString& v) {
            TextoSinMotor = v;
            ::Cpu().ActualizarCPU();
        },
        [] { return QStringList{TextoSinMotor, ::Cpu().SMotor1->itemText(0), ::Cpu().SMotor2->itemText(0)}; });
    enlace("CPU", "11", {Leyenda([]() -> Forma& { return ::FormLevel2(); })});
    enlace("CPU", "12", {Texto([] { return ::FormLevel2().Frame1; })});
    enlace("CPU", "13", {Texto([] { return ::FormLevel2().Option1[0]; })});
    enlace("CPU", "14", {Texto([] { return ::FormLevel2().Option1[1]; })});
    enlace("CPU", "15", {Texto([] { return ::FormLevel2().Option1[2]; })});
    enlace("CPU", "16", {Texto([] { return ::FormLevel2().Label3; })});
    enlace("CPU", "17", {Texto([] { return ::FormLevel2().Label4; })});
    enlace("CPU", "18", {Texto([] { return ::FormLevel2().Label5; })});
    enlace("CPU", "19", {Variable(&TextosNivel[1])});
    enlace("CPU", "20", {Variable(&TextosNivel[2])});
    botones([] { return ::FormLevel2().Command2; }, nullptr);
    enlace("Reloj", "Jugador1", {Texto([] { return ::Cpu().Label6; })});
    enlace("Reloj", "Jugador2", {Texto([] { return ::Cpu().Label7; })});

    enlace("SetTablero", "Titulo", {Leyenda([]() -> Forma& { return ::SetTableroF(); })});
    enlace("SetTablero", "1", {Texto([] { return ::SetTableroF().Command1; })});
    enlace("SetTablero", "2", {Texto([] { return ::SetTableroF().Command2; })});
    enlace("SetTablero", "Frame1", {Texto([] { return ::SetTableroF().Frame1; })});
    enlace("SetTablero", "Option1", {Texto([] { return ::SetTableroF().Option1; })});
    enlace("SetTablero", "Option2", {Texto([] { return ::SetTableroF().Option2; })});
    enlace("SetTablero", "Frame2", {Texto([] { return ::SetTableroF().Frame2; })});
    enlace("SetTablero", "Check1", {Texto([] { return ::SetTableroF().Check1; })});
    enlace("SetTablero", "Check2", {Texto([] { return ::SetTableroF().Check2; })});
    enlace("SetTablero", "Check3", {Texto([] { return ::SetTableroF().Check3; })});
    enlace("SetTablero", "Check4", {Texto([] { return ::SetTableroF().Check4; })});
    enlace("SetTablero", "Check5", {Texto([] { return ::SetTableroF().Check5; })});
    botones([] { return ::SetTableroF().Command3; }, [] { return ::SetTableroF().Command4; });

    enlace("Ranking", "Titulo", {Leyenda([]() -> Forma& { return ::Ranking(); })});
    enlace("Ranking", "Frame1", {Texto([] { return ::Ranking().Frame1[0]; })});
    enlace("Ranking", "Frame2", {Texto([] { return ::Ranking().Frame1[1]; })});
    for (int n = 1; n <= 5; ++n)
        enlace("Ranking", QString::number(n),
               {Texto([n] { return ::Ranking().Label[n - 1]; }), Texto([n] { return ::Ranking().Label[n + 4]; })});
    return t;
}

// Every window fits the texts of this language: those laid out by hand grow where a
// text needs more room, those with a layout are laid out again. The splash lays its
// own labels out.
void AjustarVentanasAlIdioma() {
    bool cambiaron = false;
    for (QWidget* w : QApplication::allWidgets()) {
        auto* f = qobject_cast<Forma*>(w);
        if (!f || f->clase() == Forma::Flotante) continue;
        f->ensurePolished();
        const QSize antes = f->size();
        AjustarTextos(f);
        const QSize cambio = f->size() - antes;
        if (cambio.isNull()) continue;
        cambiaron = true;
        if (f->Marco() != f) f->Marco()->resize(f->Marco()->size() + cambio);
    }
    // The backgrounds were painted for the sizes before.
    if (cambiaron) PintarVentana(0);
}

}  // namespace

const std::vector<EnlaceIdioma>& TablaIdioma() {
    static const std::vector<EnlaceIdioma> tabla = Construir();
    return tabla;
}

ListaIdiomas ElegirIdiomas(const QStringList& ficheros, const std::function<QString(const QString&)>& version) {
    ListaIdiomas lista;
    bool primero = true;
    for (const QString& f : ficheros) {
        bool esLng = f.right(3) == "lng";
        if (primero) {
            primero = false;
            if (!f.isEmpty() && esLng) {
                if (version(f) != kVersionPrograma) {
                    lista.versionIncorrecta = true;
                    return lista;
                }
                lista.nombres << f.left(f.size() - 4);
            }
            continue;
        }
        if (!esLng) continue;
        if (version(f) != kVersionPrograma) continue;
        lista.nombres << f.left(f.size() - 4);
    }
    return lista;
}

void IdiomaDefectuoso() {
    if (g_ronda == 0) {
        Ronda ronda;
        IdiomaDefectuoso();
        return;
    }
    if (g_reportado) return;
    g_reportado = true;
    MostrarMensaje("Tavorin", "Fichero de idioma incorrecto.\r\nCambie el fíchero.", MB_ICONINFORMATION);
    ajustes::Escribir(ajustes::Clave::Idioma, "Español");
    g_cambiarAEspanol = true;
}

void ListarIdiomas() {
    Ronda ronda;
    RutaApp = nombres::ConBarra(CarpetaPrograma());
    QStringList ficheros;
    for (const QString& f : nombres::Ficheros(RutaApp))
        if (f.endsWith(".lng", Qt::CaseInsensitive)) ficheros << f;
    ListaIdiomas lista = ElegirIdiomas(ficheros, [](const QString& f) {
        FijarRutaIdioma(f);
        return LeerIni(FicheroIdioma, "Version", "Version");
    });
    if (lista.versionIncorrecta) {
        MostrarMensaje("Tavorin", "Versión del idioma incorrecto.", MB_ICONINFORMATION);
        ::Tavorin().SituarVentanas();
        ::Mdi().Unload();
        return;
    }
    QComboBox* c = ::Opciones().Combo1;
    c->clear();
    c->addItems(lista.nombres);
    c->setCurrentIndex(-1);
}

void FijarRutaIdioma(const QString& nombreFichero) {
    RutaApp = nombres::ConBarra(CarpetaPrograma());
    FicheroIdioma = RutaApp + nombres::EntradaReal(RutaApp, nombreFichero);
}

QLocale LocaleDeIdioma(const QString& nombre) {
    auto igual = [&nombre](const QString& otro) { return nombre.compare(otro, Qt::CaseInsensitive) == 0; };
    for (int n = QLocale::C + 1; n <= QLocale::LastLanguage; ++n) {
        const auto idioma = QLocale::Language(n);
        // The own name may carry the country ("español de España").
        const QString propio = QLocale(idioma).nativeLanguageName();
        if (igual(QLocale::languageToString(idioma)) || igual(propio) || igual(propio.section(u' ', 0, 0)))
            return QLocale(idioma);
    }
    return QLocale::c();
}

void TraducirBotones(const QString& nombre) {
    static QTranslator* actual = nullptr;
    if (actual) {
        QCoreApplication::removeTranslator(actual);
        delete actual;
        actual = nullptr;
    }
    const QLocale locale = LocaleDeIdioma(nombre);
    if (locale.language() == QLocale::C) return;
    auto* traductor = new QTranslator;
    if (traductor->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(traductor)) {
        actual = traductor;
        return;
    }
    delete traductor;
}

void CargarIdioma() {
    Ronda ronda;
    QComboBox* c = ::Opciones().Combo1;
    const QString texto = c->currentText();
    TraducirBotones(texto);
    for (int i = 0; i < c->count(); ++i) {
        if (c->itemText(i) == texto) {
            c->setCurrentIndex(i);
            FijarRutaIdioma((c->itemText(i) + ".lng").toLower());
        }
    }
    if (!ExisteFichero(FicheroIdioma)) {
        MostrarMensaje("Tavorin", "El fichero " + texto + ".lng" + " no se ha encontrado.", MB_ICONSTOP);
        Terminar(1);
    }
    ::Tavorin().Idioma();
}

void AplicarIdioma() {
    for (const EnlaceIdioma& e : TablaIdioma()) e.aplicar(LeerIni(FicheroIdioma, e.seccion, e.clave));
    AjustarVentanasAlIdioma();
    // The status bar's texts change with the others.
    if (::Mdi().Visible()) PaintStatusBar();
}

std::pair<QString, QString> PartirEnDolar(const QString& texto, bool ultimo) {
    const qsizetype dolar = ultimo ? texto.lastIndexOf(u'$') : texto.indexOf(u'$');
    if (dolar < 0) return {texto, QString()};
    return {texto.left(dolar), texto.mid(dolar + 1)};
}

QString CambiarDolar(const QString& texto, const QString& valor, bool ultimo) {
    if (!texto.contains(u'$')) return texto;
    const auto [antes, despues] = PartirEnDolar(texto, ultimo);
    return antes + valor + despues;
}
