#include "platform/Controles.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidgetItem>
#include <QPlainTextEdit>
#include <QWidget>

#include <cmath>

namespace controles {

std::optional<int> CodigoTecla(const QKeyEvent& e) {
    if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return 13;
    if (e.key() == Qt::Key_Backspace) return 8;
    if (e.key() == Qt::Key_Tab) return 9;
    if (!e.text().isEmpty()) return e.text().at(0).unicode();
    return std::nullopt;
}

bool TeclaTragada(QEvent* evento, const std::function<void(int&)>& manejador) {
    if (evento->type() != QEvent::KeyPress) return false;
    auto codigo = CodigoTecla(*static_cast<QKeyEvent*>(evento));
    if (!codigo) return false;
    int tecla = *codigo;
    manejador(tecla);
    return tecla == 0;
}

void FijarColorFondo(QWidget* control, const QColor& color) {
    if (!control) return;
    QPalette p = control->palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::Button, color);
    control->setPalette(p);
    control->setAutoFillBackground(true);
    control->update();
}

QColor ColorFondo(const QWidget* control) { return control->palette().color(QPalette::Window); }

bool FijarTextoLista(QComboBox* lista, const QString& texto) {
    int encontrado = lista->findText(texto, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (encontrado < 0) encontrado = lista->findText(texto, Qt::MatchFixedString);
    if (encontrado < 0 || encontrado == lista->currentIndex()) return false;
    lista->setCurrentIndex(encontrado);
    return true;
}

bool Visible(const QWidget* control) { return control && !control->isHidden(); }

void Pitido() { QApplication::beep(); }

void GuardarTextoEntero(QListWidgetItem* entrada, const QString& entero) { entrada->setData(Qt::UserRole, entero); }

QString TextoEntero(const QListWidgetItem* entrada) {
    if (!entrada) return {};
    const QVariant entero = entrada->data(Qt::UserRole);
    return entero.isValid() ? entero.toString() : entrada->text();
}

namespace {
// Length of the number at the start of s (after blanks); 0 when none.
int LeerNumero(const QString& s, int inicio, double& valor) {
    QString t;
    int i = inicio;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) t += s[i++];
    bool digitos = false;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) t += s[i++], digitos = true;
    if (i < s.size() && s[i] == u'.') {
        t += s[i++];
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) t += s[i++], digitos = true;
    }
    if (!digitos) return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        QString e = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) e += s[j++];
        bool ed = false;
        while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128) e += s[j++], ed = true;
        if (ed) t += e, i = j;
    }
    valor = t.toDouble();
    return i - inicio;
}
}  // namespace

int BotonesRaton(Qt::MouseButtons botones) {
    return (botones & Qt::LeftButton ? BotonIzquierdo : 0) | (botones & Qt::RightButton ? BotonDerecho : 0) |
           (botones & Qt::MiddleButton ? BotonCentral : 0);
}

int Mayusculas(Qt::KeyboardModifiers teclas) {
    return (teclas & Qt::ShiftModifier ? 1 : 0) | (teclas & Qt::ControlModifier ? 2 : 0) |
           (teclas & Qt::AltModifier ? 4 : 0);
}

double Val(const QString& texto) {
    int i = 0;
    while (i < texto.size() && texto[i].isSpace()) ++i;
    double v = 0;
    return LeerNumero(texto, i, v) ? v : 0.0;
}

std::optional<double> ANumero(const QString& texto) {
    QString t = texto.trimmed();
    double v = 0;
    if (t.isEmpty() || LeerNumero(t, 0, v) != t.size()) return std::nullopt;
    return v;
}

std::optional<long> AEntero(const QString& texto) {
    auto v = ANumero(texto);
    if (!v || !std::isfinite(*v) || std::fabs(*v) > 2147483647.0) return std::nullopt;
    return long(std::nearbyint(*v));
}

void CopiarTexto(const QPlainTextEdit* caja) {
    QClipboard* portapapeles = QGuiApplication::clipboard();
    QString texto = caja->textCursor().hasSelection() ? caja->textCursor().selectedText() : caja->toPlainText();
    texto.replace(QChar::ParagraphSeparator, u'\n');
    portapapeles->clear();
    portapapeles->setText(texto);
}

}  // namespace controles
