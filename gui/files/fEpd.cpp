#include "files/fEpd.h"

#include "app/CMensaje.h"
#include "app/Graficos.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "files/EpdLista.h"
#include "files/TvpTexto.h"
#include "network/Nuevo.h"
#include "network/Palabras.h"
#include "network/Red.h"
#include "platform/ListaLineas.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QFrame>
#include <QPainter>

QString LineaEpd;

namespace forms {

fEpd::fEpd() : Forma(Dialogo, "fEpd") {
    setCaption("Epd");
    Eventos = new ListaLineas(this);
    Eventos->setObjectName("Eventos");
    Eventos->setGeometry(6, 6, 460, 186);
    picBoard = new PictureBox(this, "picBoard");
    picBoard->setGeometry(474, 6, 185, 185);
    picBoard->setBackColor(QColor(255, 255, 255));
    picBoard->Cls();
    for (int i = 1; i <= 12; ++i) imlBoard[size_t(i)] = QImage(":/builtin/epd/" + epd::NombreImagen(i) + ".png");
    connect(Eventos, &ListaLineas::currentRowChanged, this, [this] { Eventos_Click(); });
    connect(Eventos, &ListaLineas::filaActivada, this, [this] { Eventos_DblClick(); });
    resize(665, 198);
}

void fEpd::Form_Load() {
    LineaEpd.clear();
    CentrarVentana(*this);
    setHeight(3360);
}

void fEpd::Form_Activate() {
    CentrarVentana(*this);
    // Centred over the board, the list goes beside it, as when it opened.
    ::Tavorin().ApartarDelTablero(*this);
}

void fEpd::Form_Unload(bool& cancelar) {
    if (!CargandoEpd) {
        // Closed without a position: the peer leaves its list too.
        if (Reglas().Conectado) EncolarMensaje(tvp::palabra::CancelarEPD);
        CancelarEPD();
    }
    CargandoEpd = false;
    PartidaDeFichero = false;
    cancelar = true;
    Hide();
}

void fEpd::LeerEPD(const QString& ruta) {
    Eventos->clear();
    EventosTag = "-1";
    Eventos->setCurrentRow(-1);
    auto& g = Reglas();
    epd::Lista lista = epd::LeerLista(tvp::LeerFicheroEntero(ruta),
                                      [&g](const std::string& linea) { return g.AnalizarFen(linea).has_value(); });
    if (lista.estado != epd::Lectura::Lista) {
        // Nothing to choose from: the board and the game stay as they are.
        MostrarMensaje("Tavorin", MensajeNumero(texto::NadaCargado), MB_ICONINFORMATION);
        if (g.Conectado) EncolarMensaje(tvp::palabra::CancelarEPD);
        return;
    }
    // Kept as the file's bytes: a list of a million lines costs about the file.
    const size_t posiciones = lista.inicios.size();
    Eventos->Poner(std::move(lista.texto), std::move(lista.inicios));
    ::Jugadas().BorrarContenedor();
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    PosicionPreparada = true;
    PartidaDeFichero = true;

    auto& t = ::Tavorin();
    t.OcultarMarcos();
    t.CubrirTablero(true);

    Eventos->setCurrentRow(0);
    Eventos_Click();
    EventosTag = "0";
    if (posiciones > 1) {
        Show();
    } else {
        t.AbrirEpd(LineaEpd);
        EventosTag = "-1";
    }
    if (g.CasillaAlPaso != 0 && g.AlPasoPosible) g.AlPasoCaduca = true;
}

QString fEpd::Linea(int i) const { return Eventos->Linea(i); }

void fEpd::Eventos_Click() {
    const int i = Eventos->currentRow();
    if (i < 0 || EventosTag == QString::number(i)) return;
    EventosTag = QString::number(i);
    LineaEpd = Linea(i);
    auto& g = Reglas();
    g.LeerFen(LineaEpd.toStdString());
    const auto vista = epd::CasillasVista(g.Casillas);
    CasillasEpd.assign(vista.begin(), vista.end());
    PaintEpd();
    CasillasEpd.clear();
    // Hidden (a file of one position), the line waits here for the board.
    if (Visible()) LineaEpd.clear();
}

void fEpd::PaintEpd() {
    picBoard->Cls();
    {
        QPainter p(&picBoard->Imagen());
        // Eight squares to the box, the last outline inside it.
        const double lado = (std::min(picBoard->ScaleWidth(), picBoard->ScaleHeight()) - 1) / 8.0;
        p.setPen(QPen(Qt::black, 0));
        for (int x = 0; x < 8; ++x) {
            for (int y = 0; y < 8; ++y) {
                p.setBrush((x - y) % 2 == 0 ? QBrush(Qt::NoBrush) : QBrush(QColor(192, 192, 192)));
                p.drawRect(QRectF(x * lado, y * lado, lado, lado));
            }
        }
        for (size_t k = 0; k < CasillasEpd.size() && k < 64; ++k) {
            const int imagen = epd::ImagenDePieza(CasillasEpd[k]);
            if (imagen == 0) continue;
            const double x = double(k % 8), y = double(k / 8);
            p.drawImage(QPointF((x + 0.2) * lado, (y + 0.2) * lado), imlBoard[size_t(imagen)]);
        }
    }
    picBoard->Refresh();
}

void fEpd::Eventos_DblClick() {
    EventosTag = "-1";
    const int i = Eventos->currentRow();
    if (i < 0) return;
    LineaEpd = Linea(i);
    Hide();
    ::Tavorin().AbrirEpd(LineaEpd);
    CargandoEpd = true;
    Unload();
}

void fEpd::CancelarEPD() {
    ::Nuevo().NuevoAceptado();
    // The fresh game starts from the start position: it saves as a game again.
    PosicionPreparada = false;
    auto& t = ::Tavorin();
    t.CubrirTablero(false);
    red::Orientar(false);
    t.GuardarTablero(0);
    VentanasLaterales();
}

}  // namespace forms

forms::fEpd& fEpd() {
    static forms::fEpd* f = nullptr;
    return InstanciaForma(f);
}

// ---- Language and painting ------------------------------------------------------

namespace {

const pintura::Registro registroPintura(pintura::Orden::Epd, {9, []() -> Forma& { return ::fEpd(); }});

}  // namespace
