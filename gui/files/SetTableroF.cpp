#include "files/SetTableroF.h"

#include "platform/PictureBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

SetTableroF::SetTableroF() : Forma(Hija, "SetTableroF") {
    for (int i = 0; i < 10; ++i) {
        Picture1[i] = new PictureBox(this, QString("Picture1_%1").arg(i));
        Picture1[i]->setGeometry(6 + (i % 5) * 44, 6 + (i / 5) * 44, 40, 40);
    }
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(6, 100, 220, 70);
    Option1 = new QRadioButton(Frame1);
    Option1->setObjectName("Option1");
    Option1->setGeometry(10, 18, 200, 22);
    Option1->setChecked(true);
    Option2 = new QRadioButton(Frame1);
    Option2->setObjectName("Option2");
    Option2->setGeometry(10, 42, 200, 22);
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(6, 174, 220, 150);
    QCheckBox** checks[] = {&Check1, &Check2, &Check3, &Check4, &Check5};
    for (int i = 0; i < 5; ++i) {
        *checks[i] = new QCheckBox(Frame2);
        (*checks[i])->setObjectName(QString("Check%1").arg(i + 1));
        (*checks[i])->setGeometry(10, 18 + i * 24, 150, 22);
    }
    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName("Text1");
    Text1->setGeometry(164, 114, 44, 22);
    QPushButton** botones[] = {&Command1, &Command2, &Command3, &Command4};
    for (int i = 0; i < 4; ++i) {
        *botones[i] = new QPushButton(this);
        (*botones[i])->setObjectName(QString("Command%1").arg(i + 1));
        (*botones[i])->setGeometry(6 + (i % 2) * 112, 332 + (i / 2) * 30, 108, 26);
    }
    resize(232, 394);
}

void SetTableroF::Form_Unload(bool& cancelar) {
    cancelar = true;
    Hide();
}

// The set-up window's palette and board come with the position tools.
void SetTableroF::PaintImagenesSet() {}
void SetTableroF::ImprimeFichas() {}

}  // namespace forms

forms::SetTableroF& SetTableroF() {
    static forms::SetTableroF* f = nullptr;
    return InstanciaForma(f);
}
