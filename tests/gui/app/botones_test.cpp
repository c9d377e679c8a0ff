// The standard buttons of message boxes speak the language chosen in the options,
// whatever the system's locale (the test runs under several LANG settings).
#include "entorno.h"

#include "app/Idioma.h"
#include "app/Opciones.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void Elegir(const char* idioma) {
    auto& o = Opciones();
    o.Combo1->setCurrentText(QString::fromUtf8(idioma));
    o.Combo1_Click();
}

// The buttons of the next box really shown, pressing the last one.
QStringList BotonesDeLaCaja(long botones) {
    QStringList vistos;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* caja = qobject_cast<QMessageBox*>(w);
            if (!caja || !caja->isVisible()) continue;
            for (QAbstractButton* b : caja->buttons()) vistos << b->text();
            caja->buttons().back()->click();
        }
    });
    auto responder = ResponderMensaje;
    ResponderMensaje = nullptr;
    MostrarMensaje("Tavorin", "99", MB_ICONINFORMATION, botones);
    ResponderMensaje = responder;
    vistos.sort();
    return vistos;
}

TEST(Botones, TheStockButtonsFollowTheChosenLanguage) {
    Entorno e;
    e.Arrancar();
    const QString si = QString::fromUtf8("&Sí");
    Elegir("Español");
    EXPECT_EQ(TextosBotones(MB_YESNO), QStringList({si, "&No"}));
    EXPECT_EQ(TextosBotones(MB_OK), QStringList({"Aceptar"}));
    EXPECT_EQ(BotonesDeLaCaja(MB_YESNO), QStringList({"&No", si}));
    Elegir("English");
    EXPECT_EQ(TextosBotones(MB_YESNO), QStringList({"&Yes", "&No"}));
    EXPECT_EQ(TextosBotones(MB_OK), QStringList({"OK"}));
    EXPECT_EQ(BotonesDeLaCaja(MB_OK), QStringList({"OK"}));
    Elegir("Español");
    EXPECT_EQ(TextosBotones(MB_OK), QStringList({"Aceptar"}));
}

TEST(Botones, ALanguageFileNameStandsForItsLanguage) {
    EXPECT_EQ(LocaleDeIdioma(QString::fromUtf8("Español")).language(), QLocale::Spanish);
    EXPECT_EQ(LocaleDeIdioma("english").language(), QLocale::English);
    EXPECT_EQ(LocaleDeIdioma("Deutsch").language(), QLocale::German);
    EXPECT_EQ(LocaleDeIdioma("French").language(), QLocale::French);
    EXPECT_EQ(LocaleDeIdioma("Klingon del norte").language(), QLocale::C);
}

}  // namespace
