#include "platform/TiposFichero.h"

#include "platform/Ficheros.h"
#include "platform/IniFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tiposfichero {

namespace {

const char* const kEntrada = "tavorin.desktop";

QString Xml(QString s) {
    return s.replace(u'&', "&amp;").replace(u'<', "&lt;").replace(u'>', "&gt;").replace(u'"', "&quot;");
}

bool EscribirFichero(const QString& ruta, const QByteArray& datos) {
    return ficheros::Escribir(ruta, datos) == ficheros::Escrito::Hecho;
}

QString NombreIcono(const QString& mime) {
    QString n = mime;
    return n.replace(u'/', u'-');
}

// Runs a desktop database tool when it is installed. False only when it ran and failed.
bool Refrescar(const QString& herramienta, const QStringList& argumentos) {
    QString programa = QStandardPaths::findExecutable(herramienta);
    if (programa.isEmpty()) return true;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programa, argumentos);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The MIME types the desktop entry already lists; only names of MIME types are kept,
// so that nothing else read from the old entry is written into the new one.
QStringList TiposDeEntrada(const QString& ruta) {
    static const QRegularExpression nombre(QStringLiteral("^[A-Za-z0-9!#$&^_.+-]+/[A-Za-z0-9!#$&^_.+-]+$"));
    QStringList tipos;
    for (const QString& t : ini::Leer(ruta, "Desktop Entry", "MimeType", {}, 4096).split(u';', Qt::SkipEmptyParts))
        if (nombre.match(t).hasMatch()) tipos << t;
    return tipos;
}

}  // namespace

QString MimeDe(const QString& extension) {
    QString e = extension.toLower();
    if (e == ".pgn") return "application/x-chess-pgn";
    if (e == ".epd") return "application/x-chess-epd";
    if (e == ".tvp") return "application/x-tavorin-tvp";
    return "application/x-tavorin-" + e.mid(1);
}

QString CarpetaDatos() {
    QString d = qEnvironmentVariable("XDG_DATA_HOME");
    if (d.isEmpty() || !QDir::isAbsolutePath(d)) d = QDir::homePath() + "/.local/share";
    return d;
}

std::optional<QString> LineaExec(const QString& programa) {
    // A desktop entry's values are single lines of UTF-8 without control characters: a
    // path holding one, or a byte that is no UTF-8 (decoded as U+FFFD or kept as a lone
    // surrogate), cannot be written there as it is.
    for (qsizetype i = 0; i < programa.size(); ++i) {
        const QChar c = programa[i];
        if (c.isHighSurrogate() && i + 1 < programa.size() && programa[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate() || c == QChar::ReplacementCharacter)
            return std::nullopt;
    }
    static const QString reservados = QStringLiteral(" \"'\\><~|&;$*?#()`");
    bool comillas = false;
    for (QChar c : programa)
        if (reservados.contains(c)) comillas = true;
    QString ruta = programa;
    ruta.replace(u'%', "%%");
    if (comillas) {
        QString dentro;
        for (QChar c : ruta) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') dentro += u'\\';
            dentro += c;
        }
        // A desktop entry string value escapes its backslashes once more.
        dentro.replace(u'\\', "\\\\");
        ruta = u'"' + dentro + u'"';
    }
    return ruta + " %f";
}

bool Registrar(const Tipo& tipo, const QString& programa, QString* fallo) {
    auto falla = [fallo](const QString& ruta) {
        if (fallo) *fallo = ruta;
        return false;
    };
    const std::optional<QString> exec = LineaExec(programa);
    const QString datos = CarpetaDatos();
    const QString entrada = datos + "/applications/" + kEntrada;
    if (!exec) return falla(entrada);
    const QString paquetes = datos + "/mime/packages";
    const QString aplicaciones = datos + "/applications";
    const QString iconos = datos + "/icons/hicolor/48x48/mimetypes";
    if (!QDir().mkpath(paquetes)) return falla(paquetes);
    if (!QDir().mkpath(aplicaciones)) return falla(aplicaciones);

    const QString icono = NombreIcono(tipo.mime);
    if (!tipo.icono.isNull()) {
        if (!QDir().mkpath(iconos)) return falla(iconos);
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        const QImage i = tipo.icono.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!i.save(&b, "PNG") || !EscribirFichero(iconos + "/" + icono + ".png", png))
            return falla(iconos + "/" + icono + ".png");
    }

    // The MIME package: one per type, so that each type is registered on its own.
    QString patron = "*" + tipo.extension.toLower();
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        Xml(tipo.mime).toUtf8() +
        "\">\n"
        "    <comment>" +
        Xml(tipo.descripcion).toUtf8() + "</comment>\n" +
        (tipo.icono.isNull() ? QByteArray() : "    <icon name=\"" + Xml(icono).toUtf8() + "\"/>\n") +
        "    <glob pattern=\"" + Xml(patron).toUtf8() +
        "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    QString nombrePaquete = "tavorin-" + tipo.extension.mid(1).toLower() + ".xml";
    if (!EscribirFichero(paquetes + "/" + nombrePaquete, xml)) return falla(paquetes + "/" + nombrePaquete);

    // The desktop entry lists every type registered so far.
    QStringList tipos = TiposDeEntrada(entrada);
    if (!tipos.contains(tipo.mime)) tipos.append(tipo.mime);
    QByteArray escritorio =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tavorin\n"
        "Comment=Chess\n"
        "Exec=" +
        exec->toUtf8() +
        "\n"
        "Terminal=false\n"
        "Categories=Game;BoardGame;\n"
        "MimeType=" +
        tipos.join(u';').toUtf8() + ";\n";
    if (!EscribirFichero(entrada, escritorio)) return falla(entrada);

    // The default application for the type.
    const QString lista = aplicaciones + "/mimeapps.list";
    for (const char* seccion : {"Default Applications", "Added Associations"}) {
        QStringList apps = ini::Leer(lista, seccion, tipo.mime, {}, 4096).split(u';', Qt::SkipEmptyParts);
        apps.removeAll(kEntrada);
        apps.prepend(kEntrada);
        if (!ini::Escribir(lista, seccion, tipo.mime, apps.join(u';') + ";")) return falla(lista);
    }

    const bool bien = Refrescar("update-mime-database", {datos + "/mime"});
    Refrescar("update-desktop-database", {aplicaciones});
    return bien || falla(datos + "/mime");
}

}  // namespace tiposfichero
