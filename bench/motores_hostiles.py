#!/usr/bin/env python3
"""Tavorin (offscreen, driven through its test commands) against engines that misbehave,
measured on the real program:

 1. flood: the person plays 1.e4; the test engine answers, offers a draw and then
    prints thinking lines for ever. The draw question stays open for SECONDS while
    Tavorin's resident memory is sampled; then the question is answered No and the
    time until the window answers the next command is taken.
 2. deaf: the test engine never reads its input and prints 60 KB feature lines for
    ever, each of which Tavorin answers. Memory is sampled for SECONDS; the engine
    must be stopped with the engine-error message.

    bench/motores_hostiles.py [build folder] [SECONDS]
"""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tavorin_copia import Copia  # noqa: E402


def memoria(pid, clave="VmRSS"):
    """A memory figure of the process in MB."""
    with open(f"/proc/{pid}/status") as f:
        for l in f:
            if l.startswith(clave + ":"):
                return int(l.split()[1]) / 1024
    return 0.0


def partida(build, raiz, nombre, ajustes):
    """A copy of Tavorin with the test engine under Motor/<nombre>, the game started."""
    copia = Copia(os.path.join(build, "Tavorin"), os.path.join(raiz, nombre), "Ana")
    carpeta = os.path.join(raiz, nombre, "Motor", nombre)
    os.makedirs(carpeta)
    os.symlink(os.path.join(build, "tests", "gui", "engines", "motor_prueba"), os.path.join(carpeta, nombre))
    with open(os.path.join(carpeta, "prueba.cfg"), "w") as f:
        f.write("\n".join(ajustes) + "\n")
    copia.orden("menu mnuNuevaPartida")
    copia.orden("poner Cpu.SMotor2 " + nombre)
    copia.orden("menu Cpu.Toolbar1_1")
    return copia


def cerrar(copia):
    """Leaves the program as its close box would, and waits for its end."""
    copia.proceso.stdin.write("salir\n")
    copia.proceso.stdin.flush()
    copia.proceso.wait(60)


def muestrear(pid, segundos):
    inicio, mayor = memoria(pid), 0.0
    fin = time.monotonic() + segundos
    while time.monotonic() < fin:
        mayor = max(mayor, memoria(pid))
        time.sleep(0.25)
    return inicio, mayor


def inundacion(build, raiz, segundos):
    copia = partida(build, raiz, "inunda", ["jugadas e7e5", "ofrece", "inundar_siempre"])
    pid = copia.proceso.pid
    time.sleep(1.5)  # the deferred start
    antes = memoria(pid)
    copia.orden("arrastrar e2 e4")
    copia.esperar(lambda l: l.startswith("MENSAJE|") and "inunda" in l, 30)
    _, mayor = muestrear(pid, segundos)
    t = time.monotonic()
    copia.orden("responder 7")
    copia.orden("estado", espera=600)
    respuesta = time.monotonic() - t
    _, despues = muestrear(pid, 2)
    copia.orden("menu Cpu.Toolbar1_2")
    cerrar(copia)
    print(f"flood while the draw question waits {segundos} s: memory {antes:.0f} MB before, "
          f"{mayor:.0f} MB at most while it waited (+{mayor - antes:.0f} MB), {despues:.0f} MB after; "
          f"the window answered {respuesta:.2f} s after the answer")


def sordo(build, raiz, segundos):
    anuncio = "caracteristicas feature"
    i = 0
    while len(anuncio) < 60000:
        anuncio += f" f{i}=1"
        i += 1
    copia = partida(build, raiz, "sordo", ["atascado", anuncio])
    pid = copia.proceso.pid
    antes = memoria(pid)
    _, mayor = muestrear(pid, segundos)
    vistas = []
    try:
        copia.esperar(lambda l: l.startswith("MENSAJE|"), 1, vistas)
    except TimeoutError:
        pass
    mensaje = next((l for l in copia.ultimas + vistas if l.startswith("MENSAJE|")), None)
    cerrar(copia)
    print(f"engine that never reads, {segundos} s: memory {antes:.0f} MB before, {mayor:.0f} MB at most "
          f"(+{mayor - antes:.0f} MB); message: {mensaje or 'none'}")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build"))
    segundos = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    with tempfile.TemporaryDirectory() as raiz:
        inundacion(build, raiz, segundos)
        sordo(build, raiz, segundos)


if __name__ == "__main__":
    main()
