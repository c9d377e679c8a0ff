#include "entorno.h"

#include "app/Variables.h"
#include "shell/Arranque.h"
#include "board/Geometria.h"
#include "board/Tavorin.h"
#include "platform/IniFile.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's count of the bytes allocated and not yet freed (its header does not
// come with every compiler).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

void CopiarArbol(const QString& origen, const QString& destino) {
    QDir().mkpath(destino);
    QDir d(origen);
    for (const QFileInfo& e : d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (e.isDir())
            CopiarArbol(e.filePath(), destino + "/" + e.fileName());
        else
            QFile::copy(e.filePath(), destino + "/" + e.fileName());
    }
}

}  // namespace

std::size_t MemoriaViva() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    // Big blocks are mapped apart and not counted in uordblks.
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

void ArrastrarPieza(const std::string& uci) {
    const bool inv = ::Mdi().mnuInvertirTablero->isChecked();
    auto centro = [inv](const std::string& c) {
        const int col = geometria::Espejo(c[0] - 'a' + 1, inv), fila = geometria::Espejo(c[1] - '0', inv);
        const long s = AnchoCasilla;
        return QPoint(int(geometria::PixelX(col, s) + s / 2), int(geometria::PixelY(fila, s) + s / 2));
    };
    PictureBox* p = ::Tavorin().PicBuffer;
    const QPoint o = centro(uci.substr(0, 2)), d = centro(uci.substr(2, 2));
    QTest::mousePress(p, Qt::LeftButton, {}, o);
    QTest::mouseMove(p, (o + d) / 2);
    QTest::mouseMove(p, d);
    QTest::mouseRelease(p, Qt::LeftButton, {}, d);
}

QString Entorno::Recursos() { return QStringLiteral(TAVORIN_RECURSOS); }

Entorno::Entorno(bool marcas) : carpeta_(QString::fromStdString(dir_.path())) {
    const QString r = Recursos();
    for (const QFileInfo& f : QDir(r + "/lang").entryInfoList({"*.lng"}, QDir::Files))
        QFile::copy(f.filePath(), carpeta_ + "/" + f.fileName());
    QFile::copy(r + "/Default.ini", carpeta_ + "/Default.ini");
    QFile(carpeta_ + "/Default.ini").setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    CopiarArbol(r + "/apariencias", carpeta_ + "/apariencias");
    CopiarArbol(r + "/Sonidos", carpeta_ + "/Sonidos");
    if (marcas) {
        Poner("Configuracion", "Nick", "Ana");
        Poner("Configuracion", "RegitTvp", "1");
        Poner("Configuracion", "RegitPgn", "1");
        Poner("Configuracion", "RegitEpd", "1");
    }
    FijarCarpetaPrograma(carpeta_);
    ResponderMensaje = [this](const CMensaje& m) -> long {
        mensajes.push_back({m.TituloMensaje, m.TextoMensaje, m.IconoMensaje, m.BotonesMensaje, m.DefectoMensaje});
        if (!respuestas.empty()) {
            long r = respuestas.front();
            respuestas.pop_front();
            return r;
        }
        if (m.BotonesMensaje == MB_YESNO) return m.DefectoMensaje == MB_DEFBUTTON2 ? IDNO : IDYES;
        return IDOK;
    };
    ResponderTexto = [this](const QString&, const QString&) {
        return textos.isEmpty() ? QString("Prueba") : textos.takeFirst();
    };
    AlTerminar = [](int estado) { throw FinDelPrograma(estado); };
}

Entorno::~Entorno() {
    ResponderMensaje = nullptr;
    ResponderTexto = nullptr;
    AlTerminar = nullptr;
}

void Entorno::Poner(const QString& seccion, const QString& clave, const QString& valor, const QString& fichero) {
    ini::Escribir(Ruta(fichero), seccion, clave, valor);
}

QString Entorno::Leer(const QString& seccion, const QString& clave, const QString& fichero) const {
    return ini::Leer(Ruta(fichero), seccion, clave, {}, 1024);
}

void Entorno::Escribir(const QString& nombre, const QByteArray& contenido) const {
    QFile f(Ruta(nombre));
    if (f.open(QIODevice::WriteOnly)) f.write(contenido);
}

QByteArray Entorno::Contenido(const QString& nombre) const {
    QFile f(Ruta(nombre));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Entorno::Arrancar() { Main(); }

int Entorno::Contar(const QString& parte) const {
    int n = 0;
    for (const auto& m : mensajes)
        if (m.texto.contains(parte)) ++n;
    return n;
}
