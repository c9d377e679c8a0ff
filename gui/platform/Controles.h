// Small services of the forms runtime that Qt does not have in the same shape:
// back colours of controls, the "set the text of a drop-down list" rule, the
// control's own visibility flag, the runtime's text-to-number conversions, and list
// entries shown short over their whole text.
#pragma once

#include <QColor>
#include <QString>
#include <Qt>

#include <functional>
#include <optional>

class QComboBox;
class QEvent;
class QKeyEvent;
class QListWidgetItem;
class QPlainTextEdit;
class QWidget;

namespace controles {

// Paints the control's background in the colour.
void FijarColorFondo(QWidget* control, const QColor& color);
QColor ColorFondo(const QWidget* control);

// Sets the text of a drop-down list: selects the entry that equals the text
// without regard to case. True when the selection changed (the caller then runs
// the list's click handler); false when it did not change or no entry matches.
bool FijarTextoLista(QComboBox* lista, const QString& texto);

// The control's own Visible property (not whether its window is shown).
bool Visible(const QWidget* control);

void Pitido();

// The clipboard gets the box's selection when it has one, else all its text.
void CopiarTexto(const QPlainTextEdit* caja);

// A list entry that shows a long text short keeps the whole text behind it; the whole
// text of an entry is that one, else the text it shows ("" for no entry).
void GuardarTextoEntero(QListWidgetItem* entrada, const QString& entero);
QString TextoEntero(const QListWidgetItem* entrada);

// The character code a key press gives a control's key handler (13 Enter, 8
// Backspace, 9 Tab, else the typed character); nothing for keys that type nothing
// (arrows, Delete, Home), which the control handles itself.
std::optional<int> CodigoTecla(const QKeyEvent& evento);
// Gives a key press to a control's key handler, which may set the code to 0 to
// swallow the key. True when it was swallowed (the event filter then stops it).
bool TeclaTragada(QEvent* evento, const std::function<void(int&)>& manejador);

// Mouse buttons and modifier keys as the runtime's event arguments give them: the
// buttons below; Shift 1 Shift, 2 Ctrl, 4 Alt (each the sum of those held).
constexpr int BotonIzquierdo = 1;
constexpr int BotonDerecho = 2;
constexpr int BotonCentral = 4;
int BotonesRaton(Qt::MouseButtons botones);
int Mayusculas(Qt::KeyboardModifiers teclas);

// The leading number of a text, 0 when there is none ("12abc" gives 12).
double Val(const QString& texto);
// A text that is a whole number (blanks around it allowed, a decimal part is
// rounded half to even); nothing for anything else.
std::optional<long> AEntero(const QString& texto);
// A text that is a number; nothing for anything else.
std::optional<double> ANumero(const QString& texto);

// Colours as the runtime packs them: red + 256 * green + 65536 * blue.
inline long RGBLargo(int r, int g, int b) { return long(r) + 256L * g + 65536L * b; }
inline QColor DesdeLargo(long c) { return QColor(int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255)); }

}  // namespace controles
