#include "platform/Nombres.h"

#include <QDir>
#include <QFileInfo>

namespace nombres {

namespace {
QStringList Listar(const QString& carpeta, QDir::Filters filtros) {
    QDir dir(carpeta);
    if (!dir.exists()) return {};
    return dir.entryList(filtros | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
}  // namespace

QString EntradaReal(const QString& carpeta, const QString& nombre) {
    if (QFileInfo::exists(ConBarra(carpeta) + nombre)) return nombre;
    const QStringList entradas = Listar(carpeta, QDir::AllEntries);
    for (const QString& e : entradas)
        if (e.compare(nombre, Qt::CaseInsensitive) == 0) return e;
    return nombre;
}

QString RutaReal(const QString& base, const QString& relativa) {
    QString ruta = base;
    const QStringList partes = relativa.split(u'/', Qt::SkipEmptyParts);
    for (int i = 0; i < partes.size(); ++i) {
        ruta = ConBarra(ruta) + EntradaReal(ruta, partes[i]);
    }
    if (relativa.endsWith(u'/')) ruta = ConBarra(ruta);
    return ruta;
}

QStringList Ficheros(const QString& carpeta) { return Listar(carpeta, QDir::Files); }

QStringList Carpetas(const QString& carpeta) { return Listar(carpeta, QDir::Dirs); }

QString ConBarra(const QString& carpeta) {
    if (carpeta.endsWith(u'/')) return carpeta;
    return carpeta + u'/';
}

}  // namespace nombres
