// Every window of the program, laid out in each shipped language: no text of a
// label, check box, option button, push button or frame title is cut off.
#include "entorno.h"

#include "app/AjusteTextos.h"
#include "app/Opciones.h"
#include "platform/Forma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

QString Sin(QString t) { return t.remove(u'&'); }

QString Recortes(Forma& f) {
    QStringList r;
    for (QWidget* w : f.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&f)) continue;
        int necesita = 0;
        QString texto;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty() || l->wordWrap()) continue;
            texto = l->text();
            necesita = l->sizeHint().width();
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            texto = c->text();
            necesita = c->sizeHint().width();
        } else if (auto* o = qobject_cast<QRadioButton*>(w)) {
            texto = o->text();
            necesita = o->sizeHint().width();
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            texto = b->text();
            if (texto.isEmpty()) continue;
            necesita = b->fontMetrics().horizontalAdvance(Sin(texto)) + 8;
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            texto = g->title();
            if (texto.isEmpty()) continue;
            necesita = g->fontMetrics().horizontalAdvance(Sin(texto)) + 16;
        } else {
            continue;
        }
        const int derecha = w->mapTo(&f, QPoint(w->width(), 0)).x();
        if (necesita > w->width() || derecha > f.width())
            r << QString("%1.%2 \"%3\" needs %4 has %5 (right %6 of %7)")
                     .arg(f.objectName(), w->objectName(), texto)
                     .arg(necesita)
                     .arg(w->width())
                     .arg(derecha)
                     .arg(f.width());
    }
    return r.join("\n");
}

TEST(Disenos, NoTextIsCutOffInAnyWindowOrLanguage) {
    Entorno e;
    e.Arrancar();
    for (const char* idioma : {"Español", "English"}) {
        auto& o = Opciones();
        o.Combo1->setCurrentText(QString::fromUtf8(idioma));
        o.Combo1_Click();
        int ventanas = 0;
        for (QWidget* w : QApplication::allWidgets()) {
            auto* f = qobject_cast<Forma*>(w);
            if (!f || f->clase() == Forma::Flotante) continue;
            f->ensurePolished();
            ++ventanas;
            EXPECT_EQ(Recortes(*f).toStdString(), "") << idioma;
        }
        // Every window with texts of the language file exists once the language is applied.
        EXPECT_GE(ventanas, 16) << idioma;
    }
}

// A window laid out by hand: a frame with a label and a box, a button right of the
// frame, a note under it.
TEST(Disenos, ALongTextPushesWhatStandsRightOfItAndWidensItsFrames) {
    QWidget ventana;
    ventana.setFixedSize(200, 120);
    auto* marco = new QGroupBox("Marco", &ventana);
    marco->setGeometry(8, 6, 100, 60);
    auto* etiqueta = new QLabel("Un texto bastante largo para esta etiqueta:", marco);
    etiqueta->setGeometry(10, 20, 40, 20);
    auto* caja = new QLineEdit(marco);
    caja->setGeometry(52, 20, 40, 20);
    auto* boton = new QPushButton("Aceptar", &ventana);
    boton->setGeometry(120, 10, 70, 24);
    auto* nota = new QLabel("corta", &ventana);
    nota->setGeometry(120, 80, 60, 20);
    auto* oculta = new QLabel("Un aviso que se muestra a veces", &ventana);
    oculta->setGeometry(8, 100, 50, 20);
    oculta->hide();

    const int crece = AjustarTextos(&ventana);
    EXPECT_GT(crece, 0);
    EXPECT_GE(etiqueta->width(), etiqueta->sizeHint().width());
    EXPECT_EQ(caja->x(), 52 + etiqueta->width() - 40);
    EXPECT_EQ(caja->width(), 40);
    EXPECT_EQ(marco->width(), caja->geometry().right() + 1 + 8);
    EXPECT_EQ(boton->x(), 120 + marco->width() - 100);
    EXPECT_EQ(ventana.width(), boton->geometry().right() + 1 + 10);
    EXPECT_EQ(ventana.minimumWidth(), ventana.maximumWidth());
    // Below the frame nothing moves; a hidden text fits too, for when it shows.
    EXPECT_EQ(nota->x(), 120);
    EXPECT_GE(oculta->width(), oculta->sizeHint().width());
    EXPECT_LE(oculta->geometry().right(), ventana.width());
    // Everything fits now: a second round changes nothing.
    const QRect antes = etiqueta->geometry();
    EXPECT_EQ(AjustarTextos(&ventana), 0);
    EXPECT_EQ(etiqueta->geometry(), antes);
}

TEST(Disenos, TextsThatFitAndComposedControlsAreLeftAlone) {
    QWidget ventana;
    ventana.resize(300, 100);
    auto* etiqueta = new QLabel("OK", &ventana);
    etiqueta->setGeometry(10, 10, 100, 20);
    auto* lista = new QComboBox(&ventana);
    lista->setGeometry(10, 40, 30, 20);
    lista->addItem("Un elemento muy largo de la lista");
    EXPECT_EQ(AjustarTextos(&ventana), 0);
    EXPECT_EQ(etiqueta->width(), 100);
    EXPECT_EQ(lista->width(), 30);
    EXPECT_EQ(AnchoNecesario(lista), 0);
    EXPECT_EQ(AnchoNecesario(new QPushButton("&&Sí", &ventana)),
              QPushButton().fontMetrics().horizontalAdvance("&Sí") + 12);
}

// A window with a layout, never shown: a longer text in a frame gets its room at
// once, not only when the window shows; a shorter one lets a fixed-size window shrink.
TEST(Disenos, AWindowWithALayoutIsLaidOutAgainBeforeItShows) {
    QWidget ventana;
    auto* todo = new QVBoxLayout(&ventana);
    todo->setSizeConstraint(QLayout::SetFixedSize);
    auto* marco = new QGroupBox("M", &ventana);
    auto* dentro = new QVBoxLayout(marco);
    auto* casilla = new QCheckBox("x", marco);
    dentro->addWidget(casilla);
    todo->addWidget(marco);
    todo->activate();
    casilla->setText("Un texto mucho más largo que el primero");
    const int crece = AjustarTextos(&ventana);
    EXPECT_GT(crece, 0);
    EXPECT_GE(casilla->width(), casilla->sizeHint().width());
    EXPECT_LE(casilla->mapTo(&ventana, QPoint(casilla->width(), 0)).x(), ventana.width());
    casilla->setText("y");
    EXPECT_LT(AjustarTextos(&ventana), 0);
    EXPECT_EQ(ventana.size(), todo->totalSizeHint());
    EXPECT_FALSE(ventana.isVisible());
}

}  // namespace
