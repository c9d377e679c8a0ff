#include "app/CommonDialogs.h"

#include "app/Variables.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// A save dialog whose caller completes the name (an extension after the filter): the
// question about replacing a file names the file that will be written.
class DialogoGuardar : public QFileDialog {
public:
    DialogoGuardar(QWidget* dueno, const QString& titulo, const QString& carpeta, const CompletarNombre& completar)
        : QFileDialog(dueno, titulo, carpeta), completar_(completar) {}

    void accept() override {
        const QStringList elegidos = selectedFiles();
        if (!completar_ || acceptMode() != AcceptSave || elegidos.isEmpty() || QFileInfo(elegidos.front()).isDir()) {
            QFileDialog::accept();
            return;
        }
        const QString escrito = elegidos.front();
        const QString final = completar_(escrito, QString::number(nameFilters().indexOf(selectedNameFilter()) + 1));
        if (final == escrito || !QFileInfo::exists(final) || testOption(DontConfirmOverwrite)) {
            QFileDialog::accept();
            return;
        }
        const auto respuesta = QMessageBox::warning(
            this, windowTitle(),
            QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(final).fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        // The name as typed is no file of its own: it needs no second question.
        if (respuesta == QMessageBox::Yes) QDialog::accept();
    }

private:
    CompletarNombre completar_;
};

}  // namespace

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
                       const QString& carpetaInicial, const QString& indiceFiltro, QString& carpeta,
                       const CompletarNombre& completar) {
    QStringList filtros = FiltrosDialogo(filtro);
    int indice = indiceFiltro.toInt();
    QString elegido = (indice >= 1 && indice <= filtros.size()) ? filtros[indice - 1] : QString();
    DialogoGuardar dialogo(dueno, titulo, carpetaInicial, completar);
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
