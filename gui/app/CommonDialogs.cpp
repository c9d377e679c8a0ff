#include "app/CommonDialogs.h"

#include "app/Variables.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList FiltrosDialogo(const QString& filtro) {
    QStringList partes = filtro.split(QChar(u'\0'));
    QStringList filtros;
    for (int i = 0; i + 1 < partes.size(); i += 2) {
        if (partes[i].isEmpty() && partes[i + 1].isEmpty()) break;
        QString patrones = partes[i + 1];
        patrones.replace(u';', u' ');
        filtros << partes[i] + " (" + patrones + ")";
    }
    return filtros;
}

QString DialogoFichero(QWidget* dueno, int modo, const QString& titulo, const QString& nombre, const QString& filtro,
                       const QString& carpetaInicial, const QString& indiceFiltro, QString& carpeta) {
    QStringList filtros = FiltrosDialogo(filtro);
    int indice = indiceFiltro.toInt();
    QString elegido = (indice >= 1 && indice <= filtros.size()) ? filtros[indice - 1] : QString();
    QFileDialog dialogo(dueno, titulo, carpetaInicial);
    dialogo.setNameFilters(filtros);
    if (!elegido.isEmpty()) dialogo.selectNameFilter(elegido);
    if (modo == 1) {
        dialogo.setAcceptMode(QFileDialog::AcceptOpen);
        dialogo.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setFileMode(QFileDialog::AnyFile);
    }
    if (!nombre.isEmpty()) dialogo.selectFile(nombre);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return {};
    QString ruta = dialogo.selectedFiles().front();
    carpeta = QFileInfo(ruta).absolutePath();
    if (!carpeta.endsWith(u'/')) carpeta += u'/';
    DirectorioFicheros = carpeta;
    int usado = filtros.indexOf(dialogo.selectedNameFilter());
    if (usado >= 0) TipoFichero = QString::number(usado + 1);
    return ruta;
}
