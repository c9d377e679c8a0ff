// Tavorin started for real (offscreen) from a temporary copy of its program folder,
// as the whole-program tests of Tavorin's windows run it.
#pragma once

#include "platform/IniFile.h"

#include "child_process.h"

#include <QString>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

class Tavorin : public ::testing::Test {
protected:
    void SetUp() override {
        carpeta = dir.path() + "/Tavorin";
        fs::copy(TAVORIN_CARPETA, carpeta, fs::copy_options::recursive);
        fs::permissions(Ruta("Default.ini"), fs::perms::owner_read | fs::perms::owner_write);
        fs::create_directories(dir.path() + "/datos");
        Poner("Configuracion", "Nick", "Ana");
        Poner("Configuracion", "RegitTvp", "1");
        Poner("Configuracion", "RegitPgn", "1");
        Poner("Configuracion", "RegitEpd", "1");
    }

    std::string Ruta(const std::string& nombre) const { return carpeta + "/" + nombre; }
    void Poner(const char* seccion, const char* clave, const QString& valor, const char* fichero = "Default.ini") {
        ini::Escribir(QString::fromStdString(Ruta(fichero)), seccion, clave, valor);
    }
    QString Leer(const char* seccion, const char* clave) const {
        return ini::Leer(QString::fromStdString(Ruta("Default.ini")), seccion, clave, {}, 1024);
    }
    std::string Contenido(const std::string& nombre) const {
        std::ifstream f(Ruta(nombre), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void Escribir(const std::string& nombre, const std::string& datos) const {
        std::ofstream f(Ruta(nombre), std::ios::binary);
        f << datos;
    }
    // English.lng under another name, with some of its lines changed or removed.
    std::string Ingles() const { return Contenido("English.lng"); }

    // Runs the program; `salirMs` > 0 closes its main window after that time;
    // `entorno` adds environment entries ("NAME=value"). Returns the exit status and
    // fills `mensajes` with the message boxes shown and `errores` with every line of
    // standard error.
    std::optional<int> Ejecutar(int salirMs, const std::string& respuestas = {},
                                const std::vector<std::string>& entorno = {}) {
        std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "TAVORIN_PRUEBA_MENSAJES=1",
                                        "XDG_DATA_HOME=" + dir.path() + "/datos",
                                        "XDG_CONFIG_HOME=" + dir.path() + "/config"};
        if (salirMs > 0) env.push_back("TAVORIN_PRUEBA_SALIR_MS=" + std::to_string(salirMs));
        if (!respuestas.empty()) env.push_back("TAVORIN_PRUEBA_RESPUESTAS=" + respuestas);
        env.insert(env.end(), entorno.begin(), entorno.end());
        testsupport::ChildProcess p;
        if (!p.start(Ruta("tavorin"), {}, carpeta, env)) return std::nullopt;
        auto estado = p.waitExit(std::chrono::seconds(60));
        mensajes.clear();
        errores = p.errorLines();
        for (const auto& l : errores)
            if (l.rfind("MENSAJE|", 0) == 0) mensajes.push_back(l);
        return estado;
    }
    int Contar(const std::string& parte) const {
        int n = 0;
        for (const auto& m : mensajes) n += m.find(parte) != std::string::npos;
        return n;
    }

    testsupport::TempDir dir;
    std::string carpeta;
    std::vector<std::string> mensajes;
    std::vector<std::string> errores;
};
