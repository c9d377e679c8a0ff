// A temporary program folder for the tests of Tavorin's windows: the delivered
// language files, Default.ini (with a nick and the registration marks set, so
// start-up asks nothing), skins and sounds, with message boxes answered by the test and the
// program's end turned into an exception.
#pragma once

#include "app/CMensaje.h"
#include "child_process.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <stdexcept>
#include <vector>

struct FinDelPrograma : std::runtime_error {
    explicit FinDelPrograma(int e) : std::runtime_error("end of program"), estado(e) {}
    int estado;
};

// The exit status with which `accion` ends the program, or -1 when it returns.
inline int Estado(const std::function<void()>& accion) {
    try {
        accion();
    } catch (const FinDelPrograma& f) {
        return f.estado;
    }
    return -1;
}

struct MensajeVisto {
    QString titulo;
    QString texto;
    long icono = 0;
    long botones = 0;
    long defecto = 0;
};

// Bytes the program holds on its heap now (the sanitizer's own count in its build).
std::size_t MemoriaViva();

// Drags a piece on the board with the mouse as a person does ("e2e4"), whichever way
// the board is turned.
void ArrastrarPieza(const std::string& uci);

class Entorno {
public:
    // `marcas`: Default.ini with the nick and the three registration marks set.
    explicit Entorno(bool marcas = true);
    ~Entorno();

    QString Carpeta() const { return carpeta_; }
    QString Ruta(const QString& nombre) const { return carpeta_ + "/" + nombre; }
    void Poner(const QString& seccion, const QString& clave, const QString& valor,
               const QString& fichero = "Default.ini");
    QString Leer(const QString& seccion, const QString& clave, const QString& fichero = "Default.ini") const;
    void Escribir(const QString& nombre, const QByteArray& contenido) const;
    QByteArray Contenido(const QString& nombre) const;

    // Runs the program's start-up routine.
    void Arrancar();

    std::vector<MensajeVisto> mensajes;
    std::deque<long> respuestas;  // answers to the next boxes; then the default button
    QStringList textos;           // answers to input boxes

    // Messages whose text contains `parte`.
    int Contar(const QString& parte) const;

    static QString Recursos();

private:
    testsupport::TempDir dir_;
    QString carpeta_;
};
