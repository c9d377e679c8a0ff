// Tavorin's shell as a whole program: the stock buttons of its message boxes follow
// the language chosen in the options under any system locale, and a Default.ini
// without its settings ends the program as a missing one does.
#include "programa.h"

#include <gtest/gtest.h>

namespace {

class Shell : public Tavorin {
protected:
    // The button texts of the message boxes shown, one entry a box.
    std::vector<std::string> Botones() const {
        std::vector<std::string> b;
        for (const auto& l : errores)
            if (l.rfind("BOTONES|", 0) == 0) b.push_back(l.substr(8));
        return b;
    }
};

TEST_F(Shell, StockButtonsSpeakTheChosenLanguageUnderAnySystemLocale) {
    struct Caso {
        const char* idioma;
        const char* lang;
        const char* siNo;
        const char* aceptar;
    };
    const Caso casos[] = {
        {"Español", "C", "&Sí|&No", "Aceptar"},
        {"Español", "es_ES.UTF-8", "&Sí|&No", "Aceptar"},
        {"English", "C", "&Yes|&No", "OK"},
        {"English", "es_ES.UTF-8", "&Yes|&No", "OK"},
    };
    for (const Caso& c : casos) {
        Poner("Configuracion", "Idioma", QString::fromUtf8(c.idioma));
        // A question at start-up (Yes/No), and the message of a read-only Default.ini
        // at exit (OK).
        Poner("Configuracion", "RegitPgn", "0");
        fs::permissions(Ruta("Default.ini"), fs::perms::owner_read);
        auto estado = Ejecutar(1500, "7", {std::string("LANG=") + c.lang, std::string("LC_ALL=") + c.lang});
        fs::permissions(Ruta("Default.ini"), fs::perms::owner_read | fs::perms::owner_write);
        ASSERT_TRUE(estado);
        const auto botones = Botones();
        ASSERT_EQ(botones.size(), 2u) << c.idioma << " " << c.lang;
        EXPECT_EQ(botones[0], c.siNo) << c.idioma << " " << c.lang;
        EXPECT_EQ(botones[1], c.aceptar) << c.idioma << " " << c.lang;
    }
}

TEST_F(Shell, ADefaultIniWithoutItsSettingsEndsTheProgramAsAMissingOne) {
    const std::string casos[] = {"", std::string("\x00\x01\xFF\xFE\x00[\x00]\x7F", 9), "[Mdi]\nWidth=14400\n",
                                 "just some text\nwithout sections\n"};
    for (const std::string& contenido : casos) {
        Escribir("Default.ini", contenido);
        auto estado = Ejecutar(0);
        ASSERT_TRUE(estado);
        EXPECT_NE(*estado, 0);
        ASSERT_EQ(mensajes.size(), 1u) << mensajes.front();
        EXPECT_EQ(mensajes[0], "MENSAJE|64|Tavorin|El fichero Default.ini no se ha encontrado.");
        EXPECT_EQ(Contenido("Default.ini"), contenido);
    }
}

}  // namespace
