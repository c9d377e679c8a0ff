#include "platform/PantallaReloj.h"

namespace {

QString DosCifras(long v) { return (v < 10 ? "0" : "") + QString::number(v); }

}  // namespace

QString TextoReloj(long minutos, long segundos) { return DosCifras(minutos) + ":" + DosCifras(segundos); }

ColoresReloj ColoresAlMostrar(long minutos, long segundos, const QColor& propio, const QColor& otro) {
    ColoresReloj c{propio, otro};
    if (minutos == 0 && segundos == 0) return {kRelojParado, kRelojParado};
    if (segundos != 0 && c.propio == kRelojParado) c.propio = kRelojEnMarcha;
    if (segundos != 0 && c.otro == kRelojEnMarcha) c.otro = kRelojParado;
    return c;
}
