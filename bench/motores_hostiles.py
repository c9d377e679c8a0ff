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
 3. claims: after 1.e4 e5 the engine claims a result. A win or a draw by rule the
    board does not bear out must end the game as the engine's error; its own
    resignation ends it as a result.
 4. refusals: the engine answers the person's move with a refusal in words of its
    own ("Invalid move: e2e4"); the game must end within 10 s, not wait for ever.
 5. NUL: the engine sends a line with a NUL in it; the message must show "<NUL>"
    where the line was cut.
 6. leftovers: an engine that daemonizes on "quit", one that starts a child in a
    session of its own, and one that quits as it should; 5 s after Tavorin exits
    nothing may run in the engine's folder.
Each check of 3 to 6 prints "ok" or "FAULT" and what it saw; the exit status is the
number of faults.

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


def texto(copia_carpeta, numero):
    """Language text `numero` of the copy's language, as a message shows it."""
    idioma = "Español"
    with open(os.path.join(copia_carpeta, "Default.ini"), encoding="utf-8", errors="replace") as f:
        for l in f:
            if l.startswith("Idioma="):
                idioma = l.split("=", 1)[1].strip()
    seccion = False
    with open(os.path.join(copia_carpeta, idioma + ".lng"), encoding="utf-8", errors="replace") as f:
        for l in f:
            l = l.rstrip("\r\n")
            if l.startswith("["):
                seccion = l == "[Mensajes]"
            elif seccion and l.startswith(f"{numero}="):
                return l.split("=", 1)[1]
    return ""


def mensaje_tras(copia, segundos):
    """The text of the next message box within `segundos` (one that came while the
    last command waited for its answer counts), or None."""
    for l in copia.ultimas:
        if l.startswith("MENSAJE|"):
            return l.split("|", 3)[3]
    try:
        l = copia.esperar(lambda l: l.startswith("MENSAJE|"), segundos)
    except TimeoutError:
        return None
    return l.split("|", 3)[3]


def informe(fallos, bien, que, visto):
    print(f"{'ok' if bien else 'FAULT'}: {que}: {visto}")
    return fallos + (0 if bien else 1)


def jugada_y_mensaje(build, raiz, nombre, ajustes, segundos=10):
    copia = partida(build, raiz, nombre, ajustes)
    time.sleep(1.5)  # the deferred start
    copia.orden("arrastrar e2 e4")
    m = mensaje_tras(copia, segundos)
    error = texto(os.path.join(raiz, nombre), 90)
    copia.orden("menu Cpu.Toolbar1_2")
    cerrar(copia)
    return m, error


def reclamaciones(build, raiz):
    fallos = 0
    for i, (linea, falsa) in enumerate([("0-1", True), ("0-1 {Black wins}", True),
                                        ("1/2-1/2 {Draw by repetition}", True), ("1-0", False)]):
        m, error = jugada_y_mensaje(build, raiz, f"reclama{i}", ["jugadas e7e5", "final " + linea])
        es_error = m is not None and m.startswith(error)
        fallos = informe(fallos, m is not None and es_error == falsa,
                         f"claim {linea!r} {'not borne out' if falsa else 'against itself'}", m)
    return fallos


def rechazos(build, raiz):
    fallos = 0
    for i, palabras in enumerate(["Invalid move:", "unknown command:", "Illegal move:"]):
        m, error = jugada_y_mensaje(build, raiz, f"rechaza{i}", ["jugadas e7e5", "rechaza " + palabras])
        fallos = informe(fallos, m is not None and m.startswith(error), f"refusal {palabras!r}",
                         m if m is not None else "no message in 10 s: the game waits")
    return fallos


def nul(build, raiz):
    m, _ = jugada_y_mensaje(build, raiz, "nul", ["jugadas e7e5", "final move g8f6\\0 junk"])
    return informe(0, m is not None and "<NUL>" in m, "a line with a NUL", m)


def en_carpeta(carpeta):
    """The processes whose working folder is `carpeta`."""
    pids = []
    for pid in os.listdir("/proc"):
        if pid.isdigit():
            try:
                if os.readlink(f"/proc/{pid}/cwd") == carpeta:
                    pids.append(int(pid))
            except OSError:
                pass
    return pids


def restos(build, raiz):
    fallos = 0
    for ajuste in ("demonio", "sesion", ""):
        nombre = "restos" + ajuste
        copia = partida(build, raiz, nombre, ["jugadas e7e5", ajuste])
        time.sleep(1.5)  # the deferred start
        cerrar(copia)
        carpeta = os.path.realpath(os.path.join(raiz, nombre, "Motor", nombre))
        fin = time.monotonic() + 5
        while en_carpeta(carpeta) and time.monotonic() < fin:
            time.sleep(0.1)
        quedan = en_carpeta(carpeta)
        fallos = informe(fallos, not quedan, f"engine {ajuste or 'that quits'}, 5 s after Tavorin exits",
                         f"{len(quedan)} process(es) left")
        for pid in quedan:
            os.kill(pid, 9)
    return fallos


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build"))
    segundos = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    with tempfile.TemporaryDirectory() as raiz:
        inundacion(build, raiz, segundos)
        sordo(build, raiz, segundos)
        fallos = reclamaciones(build, raiz) + rechazos(build, raiz) + nul(build, raiz) + restos(build, raiz)
    print(f"{fallos} fault(s)")
    sys.exit(min(fallos, 100))


if __name__ == "__main__":
    main()
