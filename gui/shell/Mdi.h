// Mdi: the main window. An MDI frame holding every other window, with the menu bar,
// the toolbar and the status bar. Its close runs the exit sequence, which ends the
// program.
#pragma once

#include "app/Ajustes.h"

#include "shell/Lugares.h"

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <functional>
#include <map>

class Forma;
class PictureBox;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace forms {

class Mdi : public QMainWindow {
    Q_OBJECT
public:
    Mdi();

    void MDIForm_Load();
    void MDIForm_Resize();
    // The exit sequence; true keeps the program running.
    bool MDIForm_QueryUnload();
    // Unloading the main window: the exit sequence, then the end of the program.
    void Unload();
    void FileDrop(const QString& nombre);
    // The open command: opens the file by its kind; an empty name asks for one first.
    void AbrirFichero(const QString& nombre);
    // Takes back the last move from the move records (board, rights, frames, move list).
    // Does nothing when there is no record.
    void RetrocesoFuncion();
    // Removes the last move's texts and record and repaints the board.
    void BorrarUltimaJugada();
    // Opens the set-up window on the start position seen from White.
    void AplicarSetTablero();

    // Placement in twips, as stored in Default.ini: the outer rectangle. What was
    // applied is read back unchanged while the window stays where and as big as it
    // was put.
    lugares::Lugar Lugar() const;
    void Situar(const lugares::Lugar& lugar);
    // Places the window from section Mdi of Default.ini, brought onto the screen.
    void SituarDesdeIni();
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    // Inner height (the MDI area) in twips.
    double ScaleHeight() const;
    // The window's state; its number is what Default.ini keeps.
    enum class EstadoVentana { Normal = 0, Minimizada = 1, Maximizada = 2 };
    EstadoVentana WindowState() const;
    void FijarEstadoVentana(EstadoVentana estado);
    bool Visible() const { return !isHidden(); }
    void Show();
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& t) { setWindowTitle(t); }

    // Menu items whose checks hold settings; every item is reached by its name.
    QMenu *mnuArchivos, *mnuConectar, *mnuPartida, *mnuVer, *mnuAyuda, *mnuChatList, *mnuJugadas, *mnuNotacion,
        *mnuAlgebraico;
    QAction *mnuAbrirPartida, *mnuGuardarPartida, *mnuGuararChat, *mnuGuararImagen, *mnuSalir;
    QAction *mnuObtenerIp, *mnuEstablecerconexion, *mnuDesconectar;
    QAction *mnuNuevaPartida, *mnuRendirse, *mnuOfrecerTablas, *mnuRetroceder, *mnuSetTablero;
    QAction *mnuMovimientos, *mnuVentanaChat, *mnuReloj, *mnuMostrarRanking, *mnuInvertirTablero, *mnuSonido,
        *mnuPointClick, *mnuRgb, *mnuOpciones;
    QAction *mnuTemaAyuda, *mnuActualizar, *mnuAcerca;
    QAction *mnuCambiarNick, *mnuCopiar, *mnuChatListBorrar, *mnuChatListGuardar;
    QAction *mnuCopiarJugadas, *mnuGuardarComo, *mnuAlgebraicoEsp, *mnuAlgebraicoIng, *mnuCordenadas;
    std::array<QAction*, 1> mnuAlgebraicoUsuario{};

    // Toolbar buttons 1 to 27 (separators included).
    QToolBar* Toolbar1Barra = nullptr;
    std::array<QAction*, 28> Toolbar1{};
    // Pictures 1 to 26 (16 x 16; magenta is transparent).
    std::array<QPixmap, 27> ImageList1;

    QMdiArea* Area = nullptr;
    PictureBox* StatusBar = nullptr;
    QTimer* TStatus = nullptr;
    // Brings the side windows into the area's view after it changed size.
    QTimer* Reacomodo = nullptr;

    // Menu handlers.
    void mnuAbrirPartida_Click();
    void mnuGuardarPartida_Click();
    void mnuGuararChat_Click();
    void mnuGuararImagen_Click();
    void mnuObtenerIp_Click();
    void mnuEstablecerconexion_Click();
    void mnuRendirse_Click();
    void mnuOfrecerTablas_Click();
    void mnuRetroceder_Click();
    void mnuSetTablero_Click();
    void mnuActualizar_Click();
    void mnuCambiarNick_Click();
    void mnuChatListGuardar_Click();
    void mnuGuardarComo_Click();
    void mnuSalir_Click();
    void mnuSonido_Click();
    void mnuPointClick_Click();
    void mnuInvertirTablero_Click();
    void mnuRgb_Click();
    void mnuOpciones_Click();
    void mnuTemaAyuda_Click();
    void mnuAcerca_Click();
    void mnuMovimientos_Click();
    void mnuVentanaChat_Click();
    void mnuReloj_Click();
    void mnuMostrarRanking_Click();
    void mnuAlgebraicoEsp_Click();
    void mnuAlgebraicoIng_Click();
    void mnuAlgebraicoUsuario_Click(int indice);
    void mnuCordenadas_Click();
    void mnuChatListBorrar_Click();
    void mnuDesconectar_Click();
    void mnuNuevaPartida_Click();
    void mnuCopiarJugadas_Click();
    void mnuCopiar_Click();
    void Toolbar1_ButtonClick(int indice);
    // The menu item whose handler toolbar button `indice` runs; none for the
    // separators and for button 27, which unloads the window itself.
    QAction* AccionDeBoton(int indice) const;

    // The local address the client socket reports ("127.0.0.1" without a network).
    // Tests may replace it.
    std::function<QString()> DireccionLocal;

    // Prepares the board for a game started from the engine panel (people or engines).
    void Player2();

    // What the view menu's checks hold, for the other windows (setting a check runs
    // no handler): the board shown from Black's side, point-and-click input, sound.
    bool TableroInvertido() const;
    void FijarTableroInvertido(bool invertido);
    bool PointClick() const;
    bool ConSonido() const;
    void FijarSonido(bool sonido);
    // The side windows the view menu shows or hides.
    enum class Lateral { Jugadas, Chat, Reloj, Ranking };
    bool Muestra(Lateral ventana) const;
    void FijarMuestra(Lateral ventana, bool muestra);
    // The notation box 1 (coordinates), 2 (Spanish letters), 3 (English algebraic) or
    // 5 (the user's letters) carries the notation menu's check.
    bool NotacionMarcada(int caja) const;

    // Redraws the status bar (time, date, connection state).
    void PintarBarraEstado();

    // The pop-up menus of the move list (at the mouse) and of the conversation.
    void MenuDeJugadas();
    void MenuDeChat(const QPoint& donde);

protected:
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;
    bool event(QEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    bool nativeEvent(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

private:
    // The form of an MDI sub-window while it is shown; none for a hidden one.
    static Forma* FormaMostrada(QMdiSubWindow* sub);
    void CrearMenus();
    void CrearToolbar();
    void CargarImagenes();
    // A window toggle of the view menu.
    void AlternarVentana(QAction* item, Forma& ventana, ajustes::Clave clave);
    void ElegirNotacion(QAction* item);
    // Runs the handler of a menu item.
    void Ejecutar(QAction* item);
    std::map<QAction*, std::function<void()>> manejadores_;

    // The frame round the window as the window system reports it now.
    QMargins Borde() const;
    // Once the window manager has put its frame round the window (after it shows, or
    // leaves the maximised state), the window is placed again so that its outer
    // rectangle is the one applied. A frame that changes alone sends the window no
    // Qt event: VigilarBorde looks a few times in the next seconds, and every event
    // the window system sends the window (the frame's own among them, however late
    // it comes) has it looked at once that event has been taken in.
    void CorregirBorde();
    void VigilarBorde();
    QTimer* vigiaBorde_ = nullptr;
    // One of the four values of the place, the others as they stand.
    void CambiarLugar(double lugares::Lugar::*campo, double twips);
    lugares::Colocacion colocacion_;
    bool maximizada_ = false;
    bool cargada_ = false;
};

}  // namespace forms

forms::Mdi& Mdi();

// Shows the side windows (clock, chat, move list, ranking) whose view menu items
// carry a check mark, unless the PGN browser is shown.
void VentanasLaterales();
// Places the main window from section Mdi of Default.ini, brought onto the screen.
void SituarMdi();
// Tavorin was sent SIGTERM or SIGINT: it ends at once and asks nothing. The engines
// end with everything they started, the settings are written as at every exit when
// the windows were placed and Default.ini can be written, and no box waits for an
// answer meanwhile.
[[noreturn]] void SalirPorSenal(int senal);
