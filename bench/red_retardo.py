#!/usr/bin/env python3
"""Drop-to-peer-board delay of network play.

Two copies of Tavorin on this machine connect over 127.0.0.1 (ports 1500 and 1501,
which must be free), agree a rated game and play a scripted game of MOVES moves a
side by dragging pieces with the mouse handlers. For every move the delay runs from
the drop on the mover's board to the move being shown on the peer's board (both
times on the system's steady clock). Prints the mean and the largest delay.

    bench/red_retardo.py [build/Tavorin] [MOVES]
"""

import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tavorin_copia import Copia  # noqa: E402

# Knights out and back: legal for as long as it is played.
RONDA = [("g1", "f3"), ("g8", "f6"), ("f3", "g1"), ("f6", "g8")]


def main():
    programa = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "Tavorin")
    jugadas = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    with tempfile.TemporaryDirectory() as raiz:
        ana = Copia(programa, os.path.join(raiz, "Ana"), "Ana")
        luis = Copia(programa, os.path.join(raiz, "Luis"), "Luis")
        ana.orden("menu mnuEstablecerconexion")
        ana.orden("boton Conexion.Option2")
        ana.orden("boton Conexion.Command1")
        luis.orden("menu mnuEstablecerconexion")
        luis.orden("poner Conexion.Ip 127.0.0.1")
        luis.orden("boton Conexion.Command1")
        for c in (ana, luis):
            c.esperar(lambda l: l == "SONIDO|Conexion.wav")
        time.sleep(3)  # greeting, version and ranking go first
        ana.orden("menu mnuNuevaPartida")
        ana.orden("boton Nuevo.Option1")
        ana.orden("boton Nuevo.Option3")
        ana.orden("poner Nuevo.Text1 30")
        ana.orden("boton Nuevo.Command1")
        luis.esperar(lambda l: l.startswith("MENSAJE|68|"))
        luis.orden("responder 6")
        ana.esperar(lambda l: l.startswith("MENSAJE|64|"))

        retardos = []
        for ply in range(2 * jugadas):
            quien, otro = (ana, luis) if ply % 2 == 0 else (luis, ana)
            de, a = RONDA[ply % 4]
            quien.orden(f"arrastrar {de} {a}", espera=30)
            soltada = [l for l in quien.ultimas if l.startswith("SOLTADA|")]
            traza = otro.esperar(lambda l: l.startswith("TRAZA|"), 30)
            retardos.append(int(traza.split("|")[1]) - int(soltada[-1].split("|")[1]))
            # The mover's clock report follows the move before the reply.
            time.sleep(0.35)
        print(f"moves: {len(retardos)}  mean: {statistics.mean(retardos):.0f} ms  max: {max(retardos)} ms")
        ana.terminar()
        luis.terminar()


if __name__ == "__main__":
    main()
