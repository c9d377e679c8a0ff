// ListaPgn: the PGN browser. In browse mode it lists the games of a PGN file, plays
// the chosen one onto the board and steps through it; in save mode it shows the tag
// fields of a game being saved as PGN with the writer's two buttons. Three pages on
// a tab strip drawn by the window itself: the game list, the game, autoplay.
#pragma once

#include "platform/Forma.h"

#include "rules/reglas.h"

#include <QIcon>

#include <array>
#include <string>
#include <vector>

class PictureBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace forms {

class ListaPgn : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    ListaPgn();
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancelar) override;
    QSize sizeHint() const override;

    // Label2: its caption up to its ":", a blank and the game's number.
    void NumeroPartida(int numero);
    // A tag value into its field: 0 to 5 the boxes Text1, 6 the result.
    void PrintText(int indice, const QString& texto);
    // Shows the side windows again by their settings (after the browser or the
    // engine panel closes).
    void MostrarVentanas();
    // One half-move forward (forward button, autoplay tick).
    void SiguienteJugada();
    // Back to the position before the first move.
    void IrAJugada();
    // Selects tab 1 to 3, or with 0 the tab under (x, y); redraws the strip and shows
    // the tab's page.
    void PaintTab(int tab, int x = 0, int y = 0);

    // The board to the game's start followed by coded moves 0 to k (k = -1: the
    // start), with every right and record, and repainted once. From the move shown
    // the board plays the moves up to k, or takes back those past k; the start is
    // put back whole; a board that no longer holds the game shown is rebuilt from
    // the start.
    void MostrarJugada(int k);
    // The number of coded moves of the loaded game.
    int NumeroJugadas() const;
    // Board repaint: pieces over the empty board, in one copy.
    void RepintarTablero();
    // The game's starting position is the one on the board now (after a load
    // reset or a FEN set-up).
    void GuardarInicio();

    bool AutoPlayActivo() const { return autoPlayActivo_; }
    // The autoplay interval from Combo2: not a number counts as 1000, held to 250..5000.
    int IntervaloAutoPlay() const;
    // The header picture beside the tag fields stretched to the height of their rows.
    void AjustarCabecera();
    // The save mode's buttons show.
    bool BotonesGuardar() const;
    // The game list: emptied; the games' texts of one indexing pass added, the first
    // selected when none was; the list index selected (-1 none); the tag it lists
    // (Buscar's index). The tag fields emptied.
    void BorrarLista();
    void AnadirPartidas(const QStringList& textos);
    int PartidaElegida() const;
    int EtiquetaBuscada() const;
    void BorrarEtiquetas();
    // The selected game loads in a moment.
    void CargarLuego();
    // Combo2's text as it stands, and setting it.
    QString TextoAutoPlay() const;
    void FijarAutoPlay(const QString& texto);

    // Events.
    void Eventos_Click();
    void Eventos_DblClick();
    void Buscar_Click();
    void Command1_Click(int indice);
    void Command2_Click(int indice);
    void Combo2_Click();
    void picTab_MouseDown(int boton, int x, int y);
    void Timer_Timer();
    void AutoPlay_Timer();

    // The list index of the game loaded last ("Eventos.Tag"), -1 none.
    int EventosTag = -1;

    PictureBox* picTab;
    std::array<PictureBox*, 4> picContainer{};  // 1 to 3
    // Page 1: the game list.
    QComboBox* Buscar;
    QListWidget* Eventos;
    QLabel *Label1, *Label2;
    // Page 2: the game.
    std::array<QPushButton*, 6> Command1{};  // 1 start, 2 back, 3 forward, 4 end, 5 autoplay
    QGroupBox* Frame1;
    PictureBox* Picture1;                    // the tag names beside the fields
    std::array<QLineEdit*, 6> Text1{};       // Event, Site, Date, Round, White, Black
    QComboBox* Combo1;                       // the result
    std::array<QPushButton*, 3> Command2{};  // 1 save, 2 cancel
    // Page 3: autoplay.
    QGroupBox* Frame2;
    QComboBox* Combo2;  // milliseconds between moves
    QLabel* Label3;
    QTimer* Timer;                    // one-shot load of the selected game
    QTimer* AutoPlay;                 // autoplay tick
    std::array<QIcon, 7> ImageList1;  // 1 to 6

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Lays the pages out for the texts they hold now.
    void Disponer();
    void Bloquear(bool bloqueado);
    void PararAutoPlay();
    void PasoReproduccion(int i);
    void Seleccionar(int linea);
    // The game state holds the game's start and coded moves 0 to JugadaPgnActual:
    // the board is the one the browser left, and the move records are the game's.
    bool TableroEnLaPartida() const;

    int pestana_ = 1;
    bool autoPlayActivo_ = false;
    QSize tamano_;
    rules::Variables inicio_;
    rules::ListaJugadas inicioJugadas_;
    // The move records the loaded game's coded moves wrote, in order, and the board
    // the browser left last.
    std::vector<std::string> registrosPartida_;
    rules::Tablero tableroMostrado_{};
};

}  // namespace forms

forms::ListaPgn& ListaPgn();
// The browser shows a game of a file (browse mode): the board plays the file's moves
// and the game's record is not written. In save mode the game on the board goes on.
bool NavegandoPgn();

// ---- The PGN reader (module OpenPgn) -------------------------------------------
extern long JugadaPgnActual;     // last coded move on the board, -1 the start
extern bool GuardandoPgn;        // the browser is open in save mode
extern long NumPartidasPgn;      // games listed by the indexing pass
extern bool PgnIndexado;         // the game list of the open file is complete
extern bool PgnConFen;           // the game read last starts from its FEN tag
extern QString TextoJugadasPgn;  // move text of the game being saved
extern QString TextoPgn;         // the whole PGN text last written

// Opens a PGN file in the browser.
void AbrirPgn(const QString& ruta);
// Lists the games (the indexing pass, when the list is not complete) and reads the
// selected game's tags, or sets up its FEN position.
void LeerPgn(const QString& fichero);
// The selected game's half-move lines into the PGN move list.
void LeerMovimientosPgn(const QString& fichero);
// Forgets the index kept of a file (tests).
void OlvidarIndicePgn();
