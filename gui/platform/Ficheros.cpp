#include "platform/Ficheros.h"

#include "platform/Nombres.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ficheros {

namespace {

// The name as the system has it: a name read from the system keeps every byte.
QByteArray Nativa(const QString& ruta) { return nombres::Bytes(ruta); }

// What the disk says once the bytes were handed over: a full disk or a failing device
// may first tell here. A file system that cannot sync (EINVAL and its kind) has nothing
// to tell.
bool Sincronizado(int fd) {
    if (::fsync(fd) == 0) return true;
    return errno == EINVAL || errno == EROFS || errno == ENOTSUP || errno == ENOSYS;
}

// All of `datos` at `desde`, going on after a short write; false at the first error.
bool EscribirTodo(int fd, const QByteArray& datos, off_t desde) {
    qint64 hecho = 0;
    while (hecho < datos.size()) {
        const ssize_t n = ::pwrite(fd, datos.constData() + hecho, size_t(datos.size() - hecho), desde + hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        hecho += n;
    }
    return true;
}

// The first `cuantos` bytes of the file; nothing when they cannot be read.
std::optional<QByteArray> LeerPrincipio(int fd, qint64 cuantos) {
    QByteArray datos(cuantos, Qt::Uninitialized);
    qint64 leido = 0;
    while (leido < cuantos) {
        const ssize_t n = ::pread(fd, datos.data() + leido, size_t(cuantos - leido), leido);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        leido += n;
    }
    return datos;
}

// Writes `datos` over the start of an existing regular file; with `recortar` the file
// then ends where they end. The bytes that change are kept first and put back when
// anything fails, so the file is as it was.
Escrito EscribirEnSitio(const QString& ruta, const QByteArray& datos, bool recortar) {
    const int fd = ::open(Nativa(ruta).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Escrito::Fallido;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Escrito::NoRegular;
    }
    const off_t antes = st.st_size;
    const std::optional<QByteArray> viejo =
        LeerPrincipio(fd, recortar ? qint64(antes) : std::min<qint64>(antes, datos.size()));
    if (!viejo) {
        ::close(fd);
        return Escrito::Fallido;
    }
    const bool bien =
        EscribirTodo(fd, datos, 0) && (!recortar || ::ftruncate(fd, off_t(datos.size())) == 0) && Sincronizado(fd);
    if (!bien) {
        // Over bytes the file already holds: no room is needed to put them back.
        EscribirTodo(fd, *viejo, 0);
        if (::ftruncate(fd, antes) == 0) Sincronizado(fd);
    }
    ::close(fd);
    return bien ? Escrito::Hecho : Escrito::Fallido;
}

// The file `ruta` names through its links (the name itself when nothing is there).
QByteArray Final(const QByteArray& ruta) {
    char real[PATH_MAX];
    return ::realpath(ruta.constData(), real) ? QByteArray(real) : ruta;
}

QByteArray Carpeta(const QByteArray& ruta) {
    const qsizetype barra = ruta.lastIndexOf('/');
    return barra < 0 ? QByteArray(".") : barra == 0 ? QByteArray("/") : ruta.left(barra);
}

// The mode a new file gets (what the process's mask leaves of rw for all).
mode_t ModoNuevo() {
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    return 0666 & ~mascara;
}

}  // namespace

Escrito Destino(const QString& ruta) {
    const QByteArray p = Nativa(ruta);
    struct stat st {};
    // Nothing there (or a path that cannot hold a file, which the write itself refuses).
    if (::lstat(p.constData(), &st) != 0) return Escrito::Hecho;
    if (::stat(p.constData(), &st) != 0) return Escrito::NoRegular;
    return S_ISREG(st.st_mode) ? Escrito::Hecho : Escrito::NoRegular;
}

Escrito Escribir(const QString& ruta, const QByteArray& datos, bool enSitio) {
    if (Destino(ruta) != Escrito::Hecho) return Escrito::NoRegular;
    // A link keeps pointing at the file it names: that file is the one replaced.
    const QByteArray destino = Final(Nativa(ruta));
    struct stat st {};
    const bool existe = ::stat(destino.constData(), &st) == 0;
    if (existe && ::access(destino.constData(), W_OK) != 0) return Escrito::Fallido;
    QByteArray temporal = Carpeta(destino) + "/." + destino.mid(destino.lastIndexOf('/') + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporal.data(), O_CLOEXEC);
    if (fd < 0) {
        // A folder that lets no new file in.
        if (enSitio && existe && ::access(Carpeta(destino).constData(), W_OK) != 0)
            return EscribirEnSitio(ruta, datos, true);
        return Escrito::Fallido;
    }
    // The bytes, then the disk's word on them (a full disk may first tell at the sync),
    // all before the temporary file takes the file's place.
    const bool bien = EscribirTodo(fd, datos, 0) && ::fchmod(fd, existe ? (st.st_mode & 07777) : ModoNuevo()) == 0 &&
                      Sincronizado(fd);
    ::close(fd);
    if (!bien || ::rename(temporal.constData(), destino.constData()) != 0) {
        ::unlink(temporal.constData());
        return Escrito::Fallido;
    }
    return Escrito::Hecho;
}

Escrito EscribirPrincipio(const QString& ruta, const QByteArray& datos) {
    if (Destino(ruta) != Escrito::Hecho) return Escrito::NoRegular;
    return EscribirEnSitio(ruta, datos, false);
}

bool AbrirLectura(QFile& fichero, const QString& ruta) {
    const QByteArray p = Nativa(ruta);
    struct stat st {};
    if (::stat(p.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // Not waiting, should a FIFO have taken the file's place since.
    const int fd = ::open(p.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fichero.setFileName(ruta);
    if (!fichero.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> Leer(const QString& ruta, qint64 maximo) {
    QFile fichero;
    if (!AbrirLectura(fichero, ruta)) return std::nullopt;
    QByteArray datos = maximo < 0 ? fichero.readAll() : fichero.read(maximo);
    if (fichero.error() != QFileDevice::NoError) return std::nullopt;
    return datos;
}

}  // namespace ficheros
