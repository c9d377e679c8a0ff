#include "platform/Nombres.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

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

namespace {
// The length of the valid UTF-8 sequence at `i`, or 0.
qsizetype SecuenciaUtf8(const QByteArray& b, qsizetype i) {
    const auto u = [&b](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = u(i);
    if (c < 0x80) return 1;
    qsizetype n = 0;
    unsigned char menor = 0x80, mayor = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) menor = 0xA0;  // no overlong form
        if (c == 0xED) mayor = 0x9F;  // no surrogate
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) menor = 0x90;
        if (c == 0xF4) mayor = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (i + n > b.size() || u(i + 1) < menor || u(i + 1) > mayor) return 0;
    for (qsizetype k = 2; k < n; ++k)
        if (u(i + k) < 0x80 || u(i + k) > 0xBF) return 0;
    return n;
}
}  // namespace

QString DeBytes(const QByteArray& bytes) {
    QString texto;
    qsizetype i = 0, tramo = 0;
    while (i < bytes.size()) {
        if (const qsizetype n = SecuenciaUtf8(bytes, i)) {
            i += n;
            continue;
        }
        texto += QString::fromUtf8(bytes.constData() + tramo, i - tramo);
        texto += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[i])));
        tramo = ++i;
    }
    return texto + QString::fromUtf8(bytes.constData() + tramo, i - tramo);
}

QByteArray Bytes(const QString& nombre) {
    QByteArray bytes;
    qsizetype tramo = 0;
    for (qsizetype i = 0; i < nombre.size(); ++i) {
        const char16_t c = nombre[i].unicode();
        const bool suelto = c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !nombre[i - 1].isHighSurrogate());
        if (!suelto) continue;
        bytes += nombre.mid(tramo, i - tramo).toUtf8();
        bytes += char(c - 0xDC00);
        tramo = i + 1;
    }
    return bytes + nombre.mid(tramo).toUtf8();
}

QString Carpeta(const QByteArray& bytes) {
    const QString nombre = DeBytes(bytes);
    if (nombre.toUtf8() == bytes) return nombre;
    const int fd = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nombre;
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd);
}

}  // namespace nombres
