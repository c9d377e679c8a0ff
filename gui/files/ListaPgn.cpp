#include "files/ListaPgn.h"

#include "files/Guardar.h"

#include "platform/PictureBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace forms {

ListaPgn::ListaPgn() : Forma(Hija, "ListaPgn") {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 30, 420, 210);
    Picture1 = new PictureBox(Frame1, "Picture1");
    Picture1->setGeometry(8, 16, 100, 170);
    Picture1->setPicture(QImage(":/builtin/pgn-cabecera.png"));
    for (int i = 0; i < 8; ++i) {
        Text1[i] = new QLineEdit(Frame1);
        Text1[i]->setObjectName(QString("Text1_%1").arg(i));
        Text1[i]->setGeometry(112, 16 + i * 21, 300, 20);
        Text1[i]->setReadOnly(true);
    }
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setGeometry(14, 4, 300, 22);
    picTab = new PictureBox(this, "picTab");
    picTab->setGeometry(6, 244, 420, 22);
    for (int i = 1; i <= 3; ++i) {
        picContainer[i] = new PictureBox(this, QString("picContainer_%1").arg(i));
        picContainer[i]->setGeometry(6, 266, 420, 90);
        if (i > 1) picContainer[i]->hide();
    }
    Frame2 = new QGroupBox(picContainer[1]);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(6, 4, 408, 80);
    Buscar = new QComboBox(Frame2);
    Buscar->setObjectName("Buscar");
    Buscar->setGeometry(8, 20, 120, 22);
    Label2 = new QLabel(picContainer[2]);
    Label2->setObjectName("Label2");
    Label2->setGeometry(8, 8, 200, 20);
    Label3 = new QLabel(picContainer[3]);
    Label3->setObjectName("Label3");
    Label3->setGeometry(8, 8, 200, 20);
    Combo2 = new QComboBox(picContainer[3]);
    Combo2->setObjectName("Combo2");
    Combo2->setEditable(true);
    Combo2->setGeometry(210, 6, 80, 22);
    for (int i = 1; i <= 5; ++i) {
        Command1[i] = new QPushButton(this);
        Command1[i]->setObjectName(QString("Command1_%1").arg(i));
        Command1[i]->setGeometry(6 + (i - 1) * 34, 362, 30, 24);
    }
    for (int i = 1; i <= 2; ++i) {
        Command2[i] = new QPushButton(this);
        Command2[i]->setObjectName(QString("Command2_%1").arg(i));
        Command2[i]->setGeometry(220 + (i - 1) * 104, 362, 100, 24);
    }
    PgnJugadas = new QListWidget(this);
    PgnJugadas->setObjectName("PgnJugadas");
    PgnJugadas->hide();
    resize(432, 392);
}

void ListaPgn::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

void ListaPgn::MostrarVentanas() {}

}  // namespace forms

void GuardarPartidaPgn() {}

namespace forms {

}  // namespace forms

forms::ListaPgn& ListaPgn() {
    static forms::ListaPgn* f = nullptr;
    return InstanciaForma(f);
}

// Opening PGN files comes with the game files.
void AbrirPgn(const QString& ruta) { (void)ruta; }
