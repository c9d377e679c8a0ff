#include "engines/RelojMotor.h"

#include "platform/FuenteReloj.h"

void RelojMotor::Poner(long minutos, long segundos) {
    minutos_ = minutos;
    segundos_ = segundos;
    arrastre_ = 0;
    inicio_ = reloj::AhoraMs();
    contados_ = 0;
}

void RelojMotor::Arrancar() {
    if (enMarcha_) return;
    enMarcha_ = true;
    inicio_ = reloj::AhoraMs() - arrastre_;
    contados_ = 0;
}

void RelojMotor::Parar() {
    if (!enMarcha_) return;
    Contar();
    const std::int64_t usado = reloj::AhoraMs() - inicio_ - contados_ * 1000;
    arrastre_ = usado < 0 ? 0 : usado % 1000;
    enMarcha_ = false;
}

bool RelojMotor::Contar() {
    if (!enMarcha_) return false;
    const std::int64_t transcurridos = (reloj::AhoraMs() - inicio_) / 1000;
    bool contado = false;
    for (; contados_ < transcurridos; ++contados_) {
        if (Agotado()) {
            contados_ = transcurridos;
            break;
        }
        UnSegundo();
        contado = true;
    }
    return contado;
}

void RelojMotor::UnSegundo() {
    if (minutos_ > 0 && segundos_ <= 0) {
        --minutos_;
        segundos_ = 59;
    } else {
        --segundos_;
    }
}
