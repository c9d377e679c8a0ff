#include "app/Idioma.h"

#include "app/Ajustes.h"
#include "app/AjusteTextos.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "platform/Forma.h"
#include "platform/IniFile.h"
#include "platform/Nombres.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <stdexcept>

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
        ::Opciones().ElegirIdioma("Español");
        g_enRecuperacion = false;
    }
    Ronda(const Ronda&) = delete;
    Ronda& operator=(const Ronda&) = delete;
};

// ---- The parts of the table -------------------------------------------------------
using Parte = void (*)(idioma::Filas&);

std::vector<Parte>& Partes() {
    static std::vector<Parte> partes(std::size_t(idioma::Tramo::Fin), nullptr);
    return partes;
}

struct Tabla {
    std::vector<EnlaceIdioma> filas;
    std::vector<std::function<void()>> pasos;
};

const Tabla& TablaCompleta() {
    static const Tabla tabla = [] {
        Tabla t;
        idioma::Filas filas(t.filas, t.pasos);
        for (Parte p : Partes())
            if (p) p(filas);
        return t;
    }();
    return tabla;
}

EnlaceIdioma Fila(const QString& seccion, const QString& clave, std::vector<idioma::Destino> destinos) {
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
    return e;
}

// The program's messages.
void FilasMensajes(idioma::Filas& f) {
    for (int n = 1; n <= texto::UltimoTexto; ++n)
        f.Enlace("Mensajes", QString::number(n), {idioma::Variable(&TextosIdioma[n])});
}
const idioma::Registro registroMensajes(idioma::Tramo::Mensajes, FilasMensajes);

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

const std::vector<EnlaceIdioma>& TablaIdioma() { return TablaCompleta().filas; }

namespace idioma {

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

void Filas::Enlace(const QString& seccion, const QString& clave, std::vector<Destino> destinos) {
    tabla_.push_back(Fila(seccion, clave, std::move(destinos)));
}

void Filas::Especial(const QString& seccion, const QString& clave, std::function<void(const QString&)> aplicar,
                     std::function<QStringList()> leer) {
    tabla_.push_back({seccion, clave, std::move(aplicar), std::move(leer)});
}

void Filas::Botones(std::function<QWidget*()> aceptar, std::function<QWidget*()> cancelar) {
    if (aceptar) Enlace("Botones", "Aceptar", {Texto(std::move(aceptar))});
    if (cancelar) Enlace("Botones", "Cancelar", {Texto(std::move(cancelar))});
}

void Filas::Unir(const QString& seccion, const QString& clave, std::vector<Destino> destinos) {
    auto fila = std::find_if(tabla_.rbegin(), tabla_.rend(),
                             [&](const EnlaceIdioma& e) { return e.seccion == seccion && e.clave == clave; });
    if (fila == tabla_.rend())
        throw std::logic_error(("no language row " + seccion + "/" + clave + " to join").toStdString());
    EnlaceIdioma mas = Fila(seccion, clave, std::move(destinos));
    fila->aplicar = [antes = fila->aplicar, despues = mas.aplicar](const QString& v) {
        antes(v);
        despues(v);
    };
    fila->leer = [antes = fila->leer, despues = mas.leer] { return antes() + despues(); };
}

void Filas::Despues(std::function<void()> paso) { pasos_.push_back(std::move(paso)); }

Registro::Registro(Tramo tramo, void (*filas)(Filas&)) {
    Parte& p = Partes().at(std::size_t(tramo));
    if (p) throw std::logic_error("a part of the language table registered twice");
    p = filas;
}

}  // namespace idioma

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

QString TextoDeSerie(const QString& fichero, const QString& seccion, const QString& clave) {
    // The files built into the program, parsed once.
    static const std::vector<std::pair<QString, ini::Documento>> deSerie = [] {
        std::vector<std::pair<QString, ini::Documento>> d;
        for (const QString& nombre : {QStringLiteral("Español"), QStringLiteral("English")}) {
            QFile f(":/lang/" + nombre + ".lng");
            if (f.open(QIODevice::ReadOnly)) d.emplace_back(nombre, ini::Documento(f.readAll()));
        }
        return d;
    }();
    const QString idioma = QFileInfo(fichero).completeBaseName();
    std::vector<const ini::Documento*> orden;
    for (const auto& [nombre, doc] : deSerie)
        if (nombre.compare(idioma, Qt::CaseInsensitive) == 0) orden.push_back(&doc);
    for (const auto& [nombre, doc] : deSerie) orden.push_back(&doc);
    for (const ini::Documento* doc : orden) {
        QString valor;
        if (doc->Buscar(seccion, clave, valor) && !valor.isEmpty()) return valor;
    }
    return {};
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

void ListarIdiomas(const std::function<void()>& otraVersion) {
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
        otraVersion();
        return;
    }
    ::Opciones().OfrecerIdiomas(lista.nombres);
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
    const auto& o = ::Opciones();
    const QString texto = o.IdiomaElegido();
    TraducirBotones(texto);
    if (o.OfreceIdioma(texto)) FijarRutaIdioma((texto + ".lng").toLower());
    if (!ExisteFichero(FicheroIdioma)) {
        MostrarMensaje("Tavorin", "El fichero " + texto + ".lng" + " no se ha encontrado.", MB_ICONSTOP);
        Terminar(1);
    }
    AplicarIdioma();
}

void AplicarIdioma() {
    const Tabla& tabla = TablaCompleta();
    for (const EnlaceIdioma& e : tabla.filas) e.aplicar(LeerIni(FicheroIdioma, e.seccion, e.clave));
    AjustarVentanasAlIdioma();
    for (const auto& paso : tabla.pasos) paso();
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
