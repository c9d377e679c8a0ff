// Module CommonDialogs: every open and save dialog of Tavorin. The dialog remembers
// the last folder and filter in DirectorioFicheros and TipoFichero.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The filter text of the dialogs: pairs of a description and a pattern list
// ("*.pgn;*.tvp"), each ended by a NUL, the list ended by a second NUL. Gives the
// Qt filter strings, one per pair.
QStringList FiltrosDialogo(const QString& filtro);

// The name a save will write, from the name chosen and the number of its filter (from 1).
using CompletarNombre = std::function<QString(const QString& ruta, const QString& filtro)>;

// mode 1 opens, anything else saves. Returns the chosen path, or "" when the user
// cancelled; then `carpeta` is the chosen file's folder (trailing "/"), and
// DirectorioFicheros and TipoFichero follow the choice. A save given `completar`
// asks before replacing the file of the completed name as well.
QString DialogoFichero(QWidget* dueno, int modo, const QString& titulo, const QString& nombre, const QString& filtro,
                       const QString& carpetaInicial, const QString& indiceFiltro, QString& carpeta,
                       const CompletarNombre& completar = {});
