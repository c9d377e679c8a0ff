#include "app/CMensaje.h"

#include "app/Variables.h"
#include "platform/Forma.h"
#include "rules/textos.h"

#include <QInputDialog>
#include <QPushButton>
#include <QMessageBox>
#include <QRegularExpression>

#include <vector>

CMensaje* ObjetoMensaje = nullptr;
long RespuestaMensaje = 0;
std::function<long(const CMensaje&)> ResponderMensaje;
std::function<QString(const QString&, const QString&)> ResponderTexto;

QString TextoDeMensaje(const QString& texto) {
    static const QRegularExpression numero(QStringLiteral("^\\s*([0-9]+)\\s*$"));
    auto m = numero.match(texto);
    if (m.hasMatch()) {
        bool ok = false;
        int n = m.captured(1).toInt(&ok);
        if (ok && n >= 0 && n <= texto::UltimoTexto) return TextosIdioma[n];
    }
    return texto;
}

namespace {
// The buttons of a box of the style; the first one is Yes or OK.
std::vector<QPushButton*> PonerBotones(QMessageBox& caja, long botones) {
    if (botones == MB_YESNO) return {caja.addButton(QMessageBox::Yes), caja.addButton(QMessageBox::No)};
    return {caja.addButton(QMessageBox::Ok)};
}
}  // namespace

QStringList TextosBotones(long botones) {
    QMessageBox caja;
    QStringList textos;
    for (QPushButton* b : PonerBotones(caja, botones)) textos << b->text();
    return textos;
}

void CMensaje::Muestra() {
    if (ResponderMensaje) {
        RespuestaMensaje = ResponderMensaje(*this);
        return;
    }
    QMessageBox caja(Forma::VentanaPrincipal());
    caja.setWindowTitle(TituloMensaje);
    caja.setText(TextoMensaje);
    switch (IconoMensaje) {
        case MB_ICONSTOP: caja.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: caja.setIcon(QMessageBox::Question); break;
        case MB_ICONINFORMATION: caja.setIcon(QMessageBox::Information); break;
        default: caja.setIcon(QMessageBox::NoIcon); break;
    }
    const std::vector<QPushButton*> botones = PonerBotones(caja, BotonesMensaje);
    if (BotonesMensaje == MB_YESNO) {
        caja.setDefaultButton(DefectoMensaje == MB_DEFBUTTON2 ? botones[1] : botones[0]);
        caja.exec();
        RespuestaMensaje = caja.clickedButton() == static_cast<QAbstractButton*>(botones[0]) ? IDYES : IDNO;
    } else {
        caja.exec();
        RespuestaMensaje = IDOK;
    }
}

long MostrarMensaje(const QString& titulo, const QString& texto, long icono, long botones, long defecto) {
    if (!ObjetoMensaje) ObjetoMensaje = new CMensaje;
    CMensaje& m = *ObjetoMensaje;
    m.DefectoMensaje = defecto;
    m.BotonesMensaje = botones;
    m.IconoMensaje = icono;
    m.TituloMensaje = titulo;
    m.TextoMensaje = TextoDeMensaje(texto);
    m.Muestra();
    return RespuestaMensaje;
}

QString PedirTexto(const QString& pregunta, const QString& titulo, const QString& inicial) {
    if (ResponderTexto) return ResponderTexto(pregunta, titulo);
    bool ok = false;
    QString t = QInputDialog::getText(Forma::VentanaPrincipal(), titulo, pregunta, QLineEdit::Normal, inicial, &ok);
    return ok ? t : QString();
}
