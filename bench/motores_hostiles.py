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
    own ("Invalid move: e2e4"), or answers 2.Nf3 with one that names another move or
    none ("Invalid move", "Invalid move: Nf3", "Invalid move: e2e4"); the game must end
    within 10 s, not wait for ever.
 5. NUL: the engine sends a line with a NUL in it; the message must show "<NUL>"
    where the line was cut.
 6. leftovers: an engine that daemonizes on "quit", one that starts a child in a
    session of its own, one whose child drops the relay's mark and leaves its session,
    and one that quits as it should; 5 s after Tavorin exits nothing may run in the
    engine's folder.
 7. draws by rule as real engines word them ("1/2-1/2 {Draw by fifty move rule}",
    "{Draw by fifty-move rule}", "{3-fold repetition, no move left}") where the
    board bears a draw by rule out: the game ends, and is saved as 1/2-1/2.
 8. harmless lines: thinking, comment, telluser and info lines that quote the move
    just sent beside the words of a refusal, then the engine's move: the game goes on.
 9. en passant: a repetition claimed across three positions of which the first
    allowed a capture en passant: refused as a false claim.
10. signals: SIGTERM and SIGINT to Tavorin in mid-game, the engine hanging in its
    search beside a child in a session of its own and one without the relay's mark:
    5 s later nothing runs in the engine's folder, and Default.ini keeps every key.
Each check of 3 to 10 prints "ok" or "FAULT" and what it saw; the exit status is the
number of faults.

    bench/motores_hostiles.py [build folder] [SECONDS] [--motor TEST ENGINE]

--motor runs another build's test engine (to try an older Tavorin with the engine's
newer settings).
"""

import argparse
import os
import signal
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


MOTOR = None  # the test engine, by default the build's own


def partida(build, raiz, nombre, ajustes):
    """A copy of Tavorin with the test engine under Motor/<nombre>, the game started."""
    copia = Copia(os.path.join(build, "Tavorin"), os.path.join(raiz, nombre), "Ana")
    carpeta = os.path.join(raiz, nombre, "Motor", nombre)
    os.makedirs(carpeta)
    motor = MOTOR or os.path.join(build, "tests", "gui", "engines", "motor_prueba")
    os.symlink(motor, os.path.join(carpeta, nombre))
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


def estado(copia):
    """The state line as a dictionary; the lines read before it stay in `ultimas`."""
    copia.proceso.stdin.write("estado\n")
    copia.proceso.stdin.flush()
    l = copia.esperar(lambda l: l.startswith("ESTADO|"), 30, copia.ultimas)
    return dict(c.split("=", 1) for c in l.split("|")[1:])


def jugar(copia, jugadas):
    """The person's moves, each once the board lets White move (the engine has answered)."""
    for j in jugadas:
        fin = time.monotonic() + 30
        while estado(copia).get("Turno") != "1":
            if time.monotonic() > fin:
                return False
            time.sleep(0.05)
        copia.orden(f"arrastrar {j[:2]} {j[2:]}")
    return True


def num_jugadas(copia):
    return estado(copia).get("Jugadas", "").count(",")


def rechazos(build, raiz):
    fallos = 0
    for i, palabras in enumerate(["Invalid move:", "unknown command:", "Illegal move:"]):
        m, error = jugada_y_mensaje(build, raiz, f"rechaza{i}", ["jugadas e7e5", "rechaza " + palabras])
        fallos = informe(fallos, m is not None and m.startswith(error), f"refusal {palabras!r}",
                         m if m is not None else "no message in 10 s: the game waits")
    for i, linea in enumerate(["Invalid move", "Invalid move: Nf3", "Invalid move: e2e4"]):
        nombre = f"rechazo_sin{i}"
        copia = partida(build, raiz, nombre, ["jugadas e7e5", "rechaza_en 2 " + linea])
        time.sleep(1.5)  # the deferred start
        jugar(copia, ["e2e4", "g1f3"])
        m = mensaje_tras(copia, 10)
        error = texto(os.path.join(raiz, nombre), 90)
        fallos = informe(fallos, m is not None and m.startswith(error), f"refusal {linea!r} of 2.Nf3",
                         m if m is not None else "no message in 10 s: the game waits")
        copia.orden("menu Cpu.Toolbar1_2")
        cerrar(copia)
    return fallos


def guardado(copia, ruta):
    """The game saved as PGN; its text."""
    copia.orden("dialogo " + ruta)
    copia.orden("menu mnuGuardarPartida")
    if not any(l.startswith("DIALOGO|") for l in copia.ultimas):
        copia.esperar(lambda l: l.startswith("DIALOGO|"), 30)
    copia.orden("boton ListaPgn.Command2_1")
    try:
        with open(ruta, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def tablas_por_regla(build, raiz):
    fallos = 0
    for i, linea in enumerate(["1/2-1/2 {Draw by fifty move rule}", "1/2-1/2 {Draw by fifty-move rule}",
                               "1/2-1/2 {3-fold repetition, no move left}", "1/2-1/2 {50 move rule}"]):
        nombre = f"regla{i}"
        copia = partida(build, raiz, nombre, ["jugadas g8f6 f6g8 g8f6 f6g8", "final " + linea])
        time.sleep(1.5)  # the deferred start
        # Both knights out and back twice: the start position stands for the third time.
        jugar(copia, ["g1f3", "f3g1", "g1f3", "f3g1"])
        m = mensaje_tras(copia, 10)
        pgn = guardado(copia, os.path.join(raiz, nombre + ".pgn"))
        bien = m is not None and '[Result "1/2-1/2"]' in pgn
        resultado = next((l for l in pgn.splitlines() if l.startswith("[Result")), "no PGN")
        fallos = informe(fallos, bien, f"draw claim {linea!r} borne out by a repetition",
                         f"message {m if m is not None else 'none in 10 s: the game waits'}; {resultado}")
        cerrar(copia)
    return fallos


def inocuas(build, raiz):
    lineas = ["  3 12 5 345 b8c6 g1f3 invalid", "# g1f3: no error, thinking",
              "telluser unknown book line after g1f3", "info string no error after g1f3"]
    fallos = 0
    for i, linea in enumerate(lineas):
        nombre = f"inocua{i}"
        copia = partida(build, raiz, nombre, ["jugadas e7e5 b8c6", "antes " + linea])
        time.sleep(1.5)  # the deferred start
        jugar(copia, ["e2e4", "g1f3"])
        fin = time.monotonic() + 10
        while num_jugadas(copia) < 4 and time.monotonic() < fin:
            if any(l.startswith("MENSAJE|") for l in copia.ultimas):
                break
            time.sleep(0.1)
        n = num_jugadas(copia)
        m = mensaje_tras(copia, 0.2)
        fallos = informe(fallos, n == 4 and m is None, f"harmless line {linea!r} before the move",
                         f"{n} moves on the board; message: {m or 'none'}")
        copia.orden("menu Cpu.Toolbar1_2")
        cerrar(copia)
    return fallos


def al_paso(build, raiz):
    nombre = "alpaso"
    # 2...d5 lets White take en passant; the same squares come twice more, without that right.
    copia = partida(build, raiz, nombre, ["jugadas g8f6 d7d5 b8c6 c6b8 b8c6 c6b8",
                                          "final 1/2-1/2 {3-fold repetition}"])
    time.sleep(1.5)  # the deferred start
    jugar(copia, ["e2e4", "e4e5", "g1f3", "f3g1", "g1f3", "f3g1"])
    m = mensaje_tras(copia, 10)
    error = texto(os.path.join(raiz, nombre), 90)
    copia.orden("menu Cpu.Toolbar1_2")
    cerrar(copia)
    return informe(0, m is not None and m.startswith(error), "repetition claim across an en passant right", m)


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
    for ajuste in ("demonio", "sesion", "escapa", ""):
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


def claves(ruta):
    """The section/key pairs of an INI file."""
    r, seccion = set(), ""
    try:
        with open(ruta, encoding="utf-8", errors="replace") as f:
            for l in f:
                l = l.strip()
                if l.startswith("["):
                    seccion = l
                elif "=" in l:
                    r.add(seccion + l.split("=", 1)[0])
    except OSError:
        pass
    return r


def senales(build, raiz):
    fallos = 0
    for senal in (signal.SIGTERM, signal.SIGINT):
        nombre = "senal" + senal.name.lower()
        copia = partida(build, raiz, nombre, ["jugadas e7e5", "sesion", "escapa", "colgado"])
        time.sleep(1.5)  # the deferred start
        jugar(copia, ["e2e4"])
        fin = time.monotonic() + 10
        while num_jugadas(copia) < 2 and time.monotonic() < fin:
            time.sleep(0.1)
        time.sleep(0.5)  # the engine's children about it
        ini = os.path.join(raiz, nombre, "Default.ini")
        antes = claves(ini)
        carpeta = os.path.realpath(os.path.join(raiz, nombre, "Motor", nombre))
        corrian = len(en_carpeta(carpeta))
        copia.proceso.send_signal(senal)
        try:
            copia.proceso.wait(60)
        except Exception:
            pass
        fin = time.monotonic() + 5
        while en_carpeta(carpeta) and time.monotonic() < fin:
            time.sleep(0.1)
        quedan = en_carpeta(carpeta)
        perdidas = antes - claves(ini)
        fallos = informe(fallos, corrian >= 3 and not quedan and not perdidas, f"{senal.name} in mid-game, 5 s after",
                         f"{corrian} process(es) of the engine ran, {len(quedan)} left; "
                         f"Default.ini lost {len(perdidas)} key(s)")
        for pid in quedan:
            os.kill(pid, 9)
    return fallos


def main():
    global MOTOR
    args = argparse.ArgumentParser()
    args.add_argument("build", nargs="?", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    args.add_argument("segundos", nargs="?", type=float, default=10)
    args.add_argument("--motor")
    a = args.parse_args()
    build, segundos = os.path.abspath(a.build), a.segundos
    MOTOR = os.path.abspath(a.motor) if a.motor else None
    with tempfile.TemporaryDirectory() as raiz:
        inundacion(build, raiz, segundos)
        sordo(build, raiz, segundos)
        fallos = (reclamaciones(build, raiz) + rechazos(build, raiz) + nul(build, raiz) + restos(build, raiz) +
                  tablas_por_regla(build, raiz) + inocuas(build, raiz) + al_paso(build, raiz) + senales(build, raiz))
    print(f"{fallos} fault(s)")
    sys.exit(min(fallos, 100))


if __name__ == "__main__":
    main()
