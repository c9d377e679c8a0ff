#!/usr/bin/env python3
"""Tavorin's windows under a real X server (Xvfb) with a window manager (openbox),
driven with xdotool as a user drives them. Each check starts its own server and
window manager, makes sure they took effect, runs the program from a copy of its
folder with the shipped Default.ini and leaves screenshots in the output folder.

  ventanas_xvfb.py CHECK --programa DIR --recursos DIR --captura TOOL [--salida DIR]

Checks:
  ciclos     ten start/exit cycles leave [Mdi] and every child window's place
             unchanged; maximised, exit, start: maximised again; restored, the
             stored place
  basura     a Default.ini with garbage places: the window comes up on the screen at a
             usable size and the exit stores sane values
  tablero    100-pixel squares on the shipped window: the area scrolls, h1 is reached
             and a piece is dragged from it
  menus      a right click on the move list opens one menu, the program's; a new game
             shows the move list beside the engine panel; a right click on the chat
             opens one menu whose first item asks for a new nick
  lados      with the move list, chat, clocks and ranking shown, the square size is
             chosen in the options from 30 to 100 pixels: at every size, with those
             windows brought to the front, the board shows whole, and so it does when
             the set-up window and the PGN browser open over the large board
  apartadas  on the shipped main window with the move list, chat, clocks and ranking
             shown: at the first start, at square sizes 48, 56 and 100 and after each
             skin's size question, no side window covers the board or another's
             title bar; at the first start the area shows no scroll bar
  abiertas   the windows that open beside the board show whole, off the board: the PGN
             save form with the engine panel (square size 40), the save form and the
             set-up palette at size 56 with every side window, the EPD list inside a
             1280x1024 and a 1024x768 screen; Esc closes Options and Level, Enter
             accepts Level, and each opens with its first field in focus
  preparar   set-up, cancel, options, OK, the main window clicked: the board is not
             set up any more; Open and Save show their dialogs, New game the engine
             panel, and the board stands from White's side with White's king on e1
"""
import argparse
import configparser
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ANCHO, ALTO = 1280, 1024
LUGARES = ["Mdi", "Tablero", "Chat", "Jugadas", "Reloj", "Ranking", "Pgn", "CPU", "EPD"]


class Fallo(Exception):
    pass


def comprobar(condicion, texto):
    if not condicion:
        raise Fallo(texto)


# How long a state that comes in a moment on an idle machine may take on a loaded one.
ESPERA = 60


def esperar(prueba, segundos, texto, paso=0.1):
    """Asks `prueba` every `paso` seconds until it gives a true value, which it returns;
    fails with `texto` when it still gives none after `segundos`."""
    limite = time.monotonic() + segundos
    while True:
        valor = prueba()
        if valor:
            return valor
        if time.monotonic() >= limite:
            raise Fallo(texto)
        time.sleep(paso)


class Pantalla:
    """Xvfb on a free display, with openbox managing its windows."""

    def __init__(self, ancho=ANCHO, alto=ALTO):
        for programa in ("Xvfb", "openbox", "xdotool", "xprop"):
            comprobar(shutil.which(programa), f"{programa} is needed (packages xvfb, openbox, xdotool, x11-utils)")
        lectura, escritura = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(escritura), "-screen", "0", f"{ancho}x{alto}x24",
                                      "-nolisten", "tcp"], pass_fds=(escritura,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(escritura)
        numero = b""
        while not numero.endswith(b"\n"):
            trozo = os.read(lectura, 16)
            comprobar(trozo, "Xvfb did not start")
            numero += trozo
        os.close(lectura)
        self.env = dict(os.environ, DISPLAY=":" + numero.decode().strip(), QT_QPA_PLATFORM="xcb")
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        def arrancado():
            comprobar(self.wm.poll() is None, "the window manager ended as it started")
            return "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
        esperar(arrancado, ESPERA, "the window manager did not start")

    def x(self, *orden):
        r = subprocess.run(orden, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return r.stdout

    def xdotool(self, *orden):
        return self.x("xdotool", *[str(o) for o in orden])

    def cerrar(self):
        for p in (self.wm, self.xvfb):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


class Tavorin:
    def __init__(self, args, pantalla, salida):
        self.args, self.pantalla, self.salida = args, pantalla, salida
        self.carpeta = tempfile.mkdtemp(prefix="tavorin-xvfb-")
        shutil.rmtree(self.carpeta)
        shutil.copytree(args.programa, self.carpeta)
        shutil.copy(os.path.join(args.recursos, "Default.ini"), self.ini)
        self.poner("Configuracion", "Nick", "Ana")
        for marca in ("RegitTvp", "RegitPgn", "RegitEpd"):
            self.poner("Configuracion", marca, "1")
        self.proceso = None
        self.fotos = 0

    @property
    def ini(self):
        return os.path.join(self.carpeta, "Default.ini")

    def leer_ini(self):
        with open(self.ini, "rb") as f:
            return f.read().decode("utf-8")

    def poner(self, seccion, clave, valor):
        texto = self.leer_ini()
        patron = re.compile(r"(^\[" + re.escape(seccion) + r"\]\n(?:(?!\[).*\n)*?)" + re.escape(clave) + r"=.*$",
                            re.M)
        nuevo, n = patron.subn(lambda m: m.group(1) + clave + "=" + valor, texto, count=1)
        if n == 0:
            nuevo = re.sub(r"(^\[" + re.escape(seccion) + r"\]\n)", lambda m: m.group(1) + clave + "=" + valor + "\n",
                           texto, count=1, flags=re.M)
        with open(self.ini, "wb") as f:
            f.write(nuevo.encode("utf-8"))

    def valor(self, seccion, clave):
        c = configparser.ConfigParser(interpolation=None, strict=False)
        c.optionxform = str
        c.read_string(self.leer_ini())
        return c.get(seccion, clave, fallback=None)

    def lugares(self):
        """The text of the sections that hold window places."""
        secciones = re.split(r"(?m)^(?=\[)", self.leer_ini())
        return {s.split("]")[0][1:]: s.strip() for s in secciones if s.startswith("[") and
                s.split("]")[0][1:] in LUGARES}

    def arrancar(self, salir_ms):
        env = dict(self.pantalla.env, TAVORIN_PRUEBA_MENSAJES="1", TAVORIN_PRUEBA_SALIR_MS=str(salir_ms))
        self.proceso = subprocess.Popen(["./tavorin"], cwd=self.carpeta, env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, text=True)
        self.ventana = esperar(lambda: self.pantalla.xdotool("search", "--onlyvisible", "--name",
                                                             "^Tavorin Versi").split()[:1], 30,
                               "the main window did not show")[0]
        self.asentada()

    def arrancar_ordenes(self):
        """Started to take commands on standard input (TAVORIN_PRUEBA_ORDENES)."""
        env = dict(self.pantalla.env, TAVORIN_PRUEBA_MENSAJES="1", TAVORIN_PRUEBA_ORDENES="1",
                   TAVORIN_PRUEBA_AVISOS="1")
        self.proceso = subprocess.Popen(["./tavorin"], cwd=self.carpeta, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.lineas = queue.Queue()

        def leer():
            for linea in self.proceso.stdout:
                self.lineas.put(linea.rstrip("\n"))
        threading.Thread(target=leer, daemon=True).start()
        self.esperar_linea(lambda l: l == "LISTO", 30, "the program did not start")
        self.ventana = esperar(lambda: self.pantalla.xdotool("search", "--onlyvisible", "--name",
                                                             "^Tavorin Versi").split()[:1], 30,
                               "the main window did not show")[0]
        self.asentada()

    def asentada(self):
        """The window manager has framed the main window and it stands still (two looks
        0.2 s apart alike)."""
        esperar(lambda: self.borde() != (0, 0, 0, 0), ESPERA, "the window manager put no frame round the window")
        visto = [None]

        def quieta():
            ahora = self.marco()
            antes, visto[0] = visto[0], ahora
            return ahora == antes
        esperar(quieta, ESPERA, "the main window did not come to rest", paso=0.2)

    def quieta(self, segundos=ESPERA, despues=None):
        """Waits until the screen has settled: two screenshots 0.4 s apart alike (the
        program has laid out and painted, however busy the machine). With `despues`,
        until that also holds of the settled screen's file; it may return a reason, which
        a failure then gives."""
        ruta = os.path.join(self.salida, "quieta.png")
        visto, razon = [None], ["the screen never settled"]

        def quieta():
            subprocess.run([self.args.captura, "foto", ruta], env=self.pantalla.env, check=True,
                           stderr=subprocess.DEVNULL)
            with open(ruta, "rb") as f:
                ahora = f.read()
            antes, visto[0] = visto[0], ahora
            if ahora != antes:
                razon[0] = "the screen never settled"
                return False
            if despues is None:
                return True
            r = despues(ruta)
            if r is True:
                return True
            razon[0] = r or "the settled screen is not as expected"
            return False
        try:
            esperar(quieta, segundos, "", paso=0.4)
        except Fallo:
            raise Fallo(razon[0]) from None
        return ruta

    def esperar_linea(self, prueba, segundos, texto):
        limite = time.monotonic() + segundos
        while time.monotonic() < limite:
            try:
                linea = self.lineas.get(timeout=max(0.01, limite - time.monotonic()))
            except queue.Empty:
                break
            if prueba(linea):
                return linea
        raise Fallo(texto)

    def orden(self, texto):
        self.proceso.stdin.write(texto + "\n")
        self.proceso.stdin.flush()
        linea = self.esperar_linea(lambda l: l in ("OK " + texto, "ERROR " + texto), 30, f"no answer to {texto}")
        comprobar(linea.startswith("OK "), f"the program refused: {texto}")

    def fin(self):
        try:
            self.proceso.wait(60)
        except subprocess.TimeoutExpired:
            self.proceso.kill()
            raise Fallo("the program did not end")
        errores = self.proceso.stderr.read()
        mensajes = [l for l in errores.splitlines() if l.startswith("MENSAJE|")]
        comprobar(self.proceso.returncode == 0, f"exit status {self.proceso.returncode}")
        comprobar(not mensajes, "messages shown: " + "; ".join(mensajes))

    def marco(self):
        """The main window's outer rectangle and the frame round it (left, right, top, bottom)."""
        info = self.pantalla.x("xwininfo", "-id", self.ventana)
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        w = int(re.search(r"Width:\s+(\d+)", info).group(1))
        h = int(re.search(r"Height:\s+(\d+)", info).group(1))
        izq, der, arr, aba = self.borde()
        return (x - izq, y - arr, w + izq + der, h + arr + aba), (izq, der, arr, aba)

    def borde(self):
        """The frame the window manager put round the main window (left, right, top, bottom)."""
        m = re.search(r"= (\d+), (\d+), (\d+), (\d+)", self.pantalla.x("xprop", "-id", self.ventana, "_NET_FRAME_EXTENTS"))
        return tuple(map(int, m.groups())) if m else (0, 0, 0, 0)

    def maximizada(self):
        estado = self.pantalla.x("xprop", "-id", self.ventana, "_NET_WM_STATE")
        return "MAXIMIZED_VERT" in estado and "MAXIMIZED_HORZ" in estado

    def alternar_maximizada(self):
        # A double click on the title bar: openbox's own way.
        antes = self.maximizada()
        (x, y, w, _), (_, _, arriba, _) = self.marco()
        self.pantalla.xdotool("mousemove", x + w // 2, y + max(2, arriba // 2), "click", "--repeat", "2", "1")
        esperar(lambda: self.maximizada() != antes, ESPERA, "the double click on the title bar changed nothing")

    def foto(self, nombre):
        self.fotos += 1
        ruta = os.path.join(self.salida, f"{self.fotos:02d}-{nombre}.png")
        subprocess.run([self.args.captura, "foto", ruta], env=self.pantalla.env, check=True,
                       stderr=subprocess.DEVNULL)
        return ruta

    def captura(self, *orden):
        r = subprocess.run([self.args.captura, *[str(o) for o in orden]], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
        return r.stdout.split() if r.returncode == 0 else None

    def tablero(self, lado, nombre):
        """The board picture's top-left pixel on a screenshot (its top may lie above the area)."""
        r = self.captura("tablero", self.foto(nombre), lado)
        comprobar(r, f"the board is not on the screen ({nombre})")
        return int(r[0]), int(r[1])

    def popups(self):
        return [v for v in self.pantalla.xdotool("search", "--onlyvisible", "--classname", "tavorin").split()
                if v != self.ventana]

    def borrar(self):
        shutil.rmtree(self.carpeta, ignore_errors=True)


# ---- The checks ------------------------------------------------------------------

def ciclos(t):
    inicial = t.lugares()
    esperado = tuple(int(float(t.valor("Mdi", k)) / 15) for k in ("Left", "Top", "Width", "Height"))
    for n in range(10):
        t.arrancar(2500)
        if n == 0:
            (x, y, w, h), borde = t.marco()
            comprobar(borde != (0, 0, 0, 0), "the window manager put no frame round the window")
            comprobar((x, y, w, h) == esperado, f"the window stands at {(x, y, w, h)}, stored {esperado}")
            t.foto("inicio")
        t.fin()
        comprobar(t.lugares() == inicial, f"cycle {n + 1} changed the places:\n{t.lugares()}\nwas\n{inicial}")
    # Maximised by the user: the state is stored, the place kept.
    t.arrancar(6000)
    t.alternar_maximizada()
    comprobar(t.maximizada(), "the window did not maximise")
    t.fin()
    comprobar(t.valor("Mdi", "Windows") == "2", "the maximised state was not stored")
    comprobar({k: v for k, v in t.lugares().items() if k != "Mdi"} ==
              {k: v for k, v in inicial.items() if k != "Mdi"}, "maximising changed a child window's place")
    for clave in ("Left", "Top", "Width", "Height"):
        comprobar(t.valor("Mdi", clave) == re.search(clave + r"=(.*)", inicial["Mdi"]).group(1),
                  f"maximised, {clave} changed")
    # Started again: maximised; restored: the stored place.
    t.arrancar(10000)
    esperar(t.maximizada, 5, "the window did not come back maximised")
    t.foto("maximizada")
    t.alternar_maximizada()
    comprobar(not t.maximizada(), "the window did not leave the maximised state")
    try:
        esperar(lambda: t.marco()[0] == esperado, 5, "")
    except Fallo:
        raise Fallo(f"restored, the window stands at {t.marco()[0]}, stored {esperado}")
    t.fin()
    comprobar(t.valor("Mdi", "Windows") == "0", "the restored state was not stored")
    comprobar(t.lugares() == dict(inicial, Mdi=inicial["Mdi"].replace("Windows=2", "Windows=0")),
              "the places changed after maximising and restoring")


def basura(t):
    for clave, valor in (("Width", "-500"), ("Height", "99999999"), ("Left", "-99999"), ("Top", "abc")):
        t.poner("Mdi", clave, valor)
    t.arrancar(3500)
    (x, y, w, h), (_, _, arriba, _) = t.marco()
    t.foto("basura")
    comprobar(0 <= x and x + w <= ANCHO and 0 <= y and y + arriba <= ALTO, f"off the screen: {(x, y, w, h)}")
    comprobar(520 <= w <= ANCHO and 100 <= h <= ALTO, f"not a usable size: {(x, y, w, h)}")
    t.fin()
    valores = [t.valor("Mdi", k) for k in ("Left", "Top", "Width", "Height")]
    comprobar(all(re.fullmatch(r"-?\d+(\.\d+)?", v or "") for v in valores), f"stored {valores}")
    izquierda, arriba_, ancho, alto = (float(v) / 15 for v in valores)
    comprobar(0 <= izquierda and izquierda + ancho <= ANCHO and 0 <= arriba_ < ALTO and ancho <= ANCHO and
              alto <= ALTO, f"stored {valores}")


def empezar_partida(t, tablero):
    """Partida > Nueva partida, then the engine panel's first button with no engine."""
    t.pantalla.xdotool("windowactivate", "--sync", t.ventana)
    t.pantalla.xdotool("key", "alt+p", "Return")
    pulsar_icono(t, "motor-empezar.png")
    time.sleep(0.5)  # the game's clock starts: the screen will not settle (see arrastrar)


def pulsar_icono(t, icono):
    """A click on the toolbar button with that picture, found on the screen (a toolbar
    may draw it a little smaller than its file)."""
    ruta = os.path.join(t.args.recursos, "builtin", "iconos", icono)

    def buscar():
        foto = t.foto(icono[:-4])
        return next((p for p in (t.captura("icono", foto, ruta, lado) for lado in range(16, 11, -1)) if p), None)
    boton = esperar(buscar, ESPERA, f"the button {icono}")
    t.pantalla.xdotool("mousemove", int(boton[0]), int(boton[1]), "click", "1")


# The drags and wheel turns below are made during a game, whose clock keeps the screen
# changing, on a program that closes itself after 30 s: they give it a short fixed
# moment to draw what they did, and what follows checks the drawing.
def arrastrar(t, tablero, lado, de, a):
    def centro(c):
        return (tablero[0] + (ord(c[0]) - 97) * lado + lado // 2, tablero[1] + (8 - int(c[1])) * lado + lado // 2)
    (x0, y0), (x1, y1) = centro(de), centro(a)
    t.pantalla.xdotool("mousemove", x0, y0, "mousedown", "1")
    for i in range(1, 6):
        t.pantalla.xdotool("mousemove", x0 + (x1 - x0) * i // 5, y0 + (y1 - y0) * i // 5)
        time.sleep(0.05)  # the hand's pace: a drag is a movement, not a jump
    t.pantalla.xdotool("mouseup", "1")
    time.sleep(0.4)


def rueda(t, punto, boton, veces):
    t.pantalla.xdotool("mousemove", *punto)
    for _ in range(veces):
        t.pantalla.xdotool("click", boton)
    time.sleep(0.5)


def tablero(t):
    lado = 100
    t.poner("Configuracion", "Tamaño", str(lado))
    t.arrancar(120000)  # the check ends the program; a loaded machine may need long
    (mx, my, mw, mh), _ = t.marco()
    arriba = t.tablero(lado, "tablero-100")
    comprobar(arriba[1] + 8 * lado > my + mh, "the 100-pixel board fits the window: nothing to scroll")
    empezar_partida(t, arriba)
    encima = (mx + mw // 2, my + mh // 2)
    # Down to the first rank with the scroll bars, White moves; up, Black; down, the rook.
    rueda(t, encima, 5, 30)
    abajo = t.tablero(lado, "abajo")
    comprobar(abajo[1] < arriba[1], "the area did not scroll down")
    comprobar(abajo[1] + 8 * lado <= my + mh, "the first rank is still out of reach")
    arrastrar(t, abajo, lado, "h2", "h4")
    rueda(t, encima, 4, 30)
    de_nuevo = t.tablero(lado, "arriba")
    comprobar(de_nuevo[1] == arriba[1], "the area did not scroll back up")
    arrastrar(t, de_nuevo, lado, "a7", "a6")
    rueda(t, encima, 5, 30)
    abajo = t.tablero(lado, "antes-de-h1")
    antes = t.foto("antes-de-h1")
    arrastrar(t, abajo, lado, "h1", "h3")
    despues = t.foto("despues-de-h1")
    for casilla, fila in (("h1", 1), ("h3", 3)):
        x, y = abajo[0] + 7 * lado, abajo[1] + (8 - fila) * lado
        cambio = int(t.captura("distintos", antes, despues, x + 10, y + 10, lado - 20, lado - 20)[0])
        comprobar(cambio > lado * lado // 10, f"{casilla} did not change: the rook was not dragged ({cambio} pixels)")
    t.proceso.terminate()
    t.proceso.wait(10)


def menu_abierto(t, donde):
    """A right click has opened a menu and the screen has settled (a second menu would
    show by then)."""
    esperar(t.popups, ESPERA, f"no menu opened on a right click on {donde}")
    t.quieta()


def menu_cerrado(t):
    """The menu has gone (or, where one opened anew, the screen has settled with it)."""
    try:
        esperar(lambda: not t.popups(), ESPERA, "")
    except Fallo:
        pass  # the check that follows says what stayed open
    t.quieta()


def menus(t):
    t.poner("Configuracion", "Chat", "1")
    t.arrancar(120000)  # the check ends the program; a loaded machine may need long
    t.quieta()
    tab = t.tablero(40, "inicio")
    # The chat's list: one menu, the program's, whose first item asks for the new nick
    # (the test hook answers "Prueba", which the list then reports on its first line).
    dx = (float(t.valor("Chat", "Left")) - float(t.valor("Tablero", "Left"))) / 15
    dy = (float(t.valor("Chat", "Top")) - float(t.valor("Tablero", "Top"))) / 15
    lista = (int(tab[0] - 18 + dx), int(tab[1] - 12 + dy))
    antes = t.foto("chat")
    punto = (lista[0] + 40, lista[1] + 30)
    t.pantalla.xdotool("mousemove", *punto, "click", "3")
    menu_abierto(t, "the chat")
    comprobar(len(t.popups()) == 1, f"{len(t.popups())} menus open on a right click on the chat")
    t.foto("menu-chat")
    # The menu opens at the pointer: its first item just below it.
    t.pantalla.xdotool("mousemove", punto[0] + 50, punto[1] + 11, "click", "1")
    menu_cerrado(t)
    despues = t.foto("nick-cambiado")
    comprobar(not t.popups(), "a menu or box stayed open after the nick was asked")
    cambio = int(t.captura("distintos", antes, despues, lista[0] + 4, lista[1] + 2, 250, 20)[0])
    comprobar(cambio > 50, f"the chat menu's first item did not change the nick ({cambio} pixels)")
    empezar_partida(t, tab)
    t.foto("nueva-partida")
    # The move list's client area, from its stored place against the board's.
    dx = (float(t.valor("Jugadas", "Left")) - float(t.valor("Tablero", "Left"))) / 15
    dy = (float(t.valor("Jugadas", "Top")) - float(t.valor("Tablero", "Top"))) / 15
    punto = (int(tab[0] - 18 + dx + 60), int(tab[1] - 12 + dy + 60))
    t.pantalla.xdotool("mousemove", *punto, "click", "3")
    menu_abierto(t, "the move list")
    comprobar(len(t.popups()) == 1, f"{len(t.popups())} menus open on a right click on the move list")
    foto = t.foto("menu-jugadas")
    copiar = os.path.join(t.args.recursos, "builtin", "iconos", "copiar.png")
    comprobar(t.captura("icono", foto, copiar), "the open menu is not the program's (no copy item with its picture)")
    t.pantalla.xdotool("key", "Escape")
    menu_cerrado(t)
    comprobar(not t.popups(), "another menu opened after the program's")
    t.foto("menu-cerrado")
    t.proceso.terminate()
    t.proceso.wait(10)


LADOS = [30, 40, 48, 56, 64, 72, 80, 90, 100]


def sin_tapar(t, lado, nombre):
    """The board shows whole once the screen has settled (two screenshots alike: the
    program has laid out and painted, however busy the machine); a board still covered
    after a minute is a failure."""
    t.fotos += 1
    foto = os.path.join(t.salida, f"{t.fotos:02d}-{nombre}.png")

    def entero(ruta):
        r = subprocess.run([t.args.captura, "entero", ruta, str(lado)], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
        return True if r.returncode == 0 else f"{nombre}: {r.stdout.strip()}"
    try:
        shutil.copy(t.quieta(despues=entero), foto)
    except Fallo as f:
        raise Fallo(str(f) if str(f).startswith(nombre) else f"{nombre}: {f}") from None


def lados(t):
    # The main window as large as the screen, so that the 100-pixel board fits its area.
    for clave, valor in (("Windows", "0"), ("Left", "0"), ("Top", "0"), ("Width", str(ANCHO * 15)),
                         ("Height", str(ALTO * 15))):
        t.poner("Mdi", clave, valor)
    t.poner("Configuracion", "Tamaño", str(LADOS[0]))
    for clave in ("Jugadas", "Chat", "Reloj", "Elo"):
        t.poner("Configuracion", clave, "1")
    t.arrancar_ordenes()
    for lado in LADOS:
        t.orden("menu mnuOpciones")
        t.orden(f"poner Opciones.Text1 {lado}")
        t.orden("boton Opciones.Command1")
        t.quieta()
        # Each side window in front in turn, as when the user works in it.
        for ventana in ("Jugadas", "Chat", "Reloj", "Ranking"):
            t.orden("activar " + ventana)
        sin_tapar(t, lado, f"lado-{lado}")
    lado = LADOS[-1]
    t.orden("menu mnuSetTablero")
    sin_tapar(t, lado, "preparar")
    t.orden("cerrar SetTableroF")
    pgn = os.path.join(t.carpeta, "partida.pgn")
    with open(pgn, "w") as f:
        f.write('[Event "Prueba"]\n[White "Ana"]\n[Black "Beto"]\n[Result "*"]\n\n1. e4 e5 2. Nf3 Nc6 *\n')
    t.orden("soltar ventana " + pgn)
    sin_tapar(t, lado, "pgn")
    t.proceso.terminate()
    t.proceso.wait(10)


def estado(t):
    """The program's state line as a dictionary."""
    t.proceso.stdin.write("estado\n")
    t.proceso.stdin.flush()
    linea = t.esperar_linea(lambda l: l.startswith("ESTADO|"), 30, "no state line")
    t.esperar_linea(lambda l: l == "OK estado", 30, "no answer to estado")
    return dict(c.split("=", 1) for c in linea.split("|")[1:])


def despejadas(t, nombre, barras=None):
    """Once the screen has settled, the windows as the program places them: none over
    the board, none over another's title bar (and the area's scroll bars as given)."""
    def mirar(_ruta):
        e = estado(t)
        lados = {n: tuple(map(int, r.split(","))) for n, r in (p.split(":") for p in e["Lugares"].split(";"))}
        tablero, titulo = lados.pop("Tavorin"), int(e["AltoTitulo"])
        fallos = [f"{n} {r} covers the board {tablero}" for n, r in lados.items() if cortan(r, tablero)]
        fallos += [f"{n} {r} covers the title bar of {m} {o}" for n, r in lados.items() for m, o in lados.items()
                   if m != n and cortan(r, (o[0], o[1], o[2], titulo))]
        if barras is not None and e["Barras"] != barras:
            fallos.append(f"scroll bars {e['Barras'] or 'none'}, not {barras or 'none'}: {lados}")
        return True if not fallos else f"{nombre}: " + "; ".join(fallos)
    t.fotos += 1
    shutil.copy(t.quieta(despues=mirar), os.path.join(t.salida, f"{t.fotos:02d}-{nombre}.png"))


def apartadas(t):
    for clave in ("Jugadas", "Chat", "Reloj", "Elo"):
        t.poner("Configuracion", clave, "1")
    t.arrancar_ordenes()
    despejadas(t, "inicio", barras="")
    # Three sizes, then each skin, which asks whether to take its own size: yes.
    for cambio in ("48", "56", "100", "marmol", "torneo"):
        t.orden("menu mnuOpciones")
        if cambio.isdigit():
            t.orden(f"poner Opciones.Text1 {cambio}")
        else:
            t.orden("responder 6")
            t.orden(f"elegir Opciones.SkinCombo {cambio}")
        t.orden("boton Opciones.Command1")
        despejadas(t, cambio)
    t.proceso.terminate()
    t.proceso.wait(10)


def preparar(t):
    t.arrancar_ordenes()
    t.orden("menu mnuSetTablero")
    comprobar(estado(t)["Preparar"] == "1", "the set-up did not start")
    t.orden("boton SetTableroF.Command4")
    t.orden("menu mnuOpciones")
    t.orden("boton Opciones.Command1")
    # The window manager hands the focus back to the main window; the user clicks in
    # it as well, on its empty area below the board.
    (x, y, w, h), _ = t.marco()
    t.pantalla.xdotool("mousemove", x + w - 40, y + h - 60, "click", "1")
    esperar(lambda: t.pantalla.xdotool("getactivewindow").strip() == t.ventana, ESPERA,
            "the main window did not become active")
    t.quieta()
    ahora = estado(t)
    t.foto("tras-opciones")
    comprobar(ahora["Preparar"] == "0", "the cancelled set-up came back when the main window was activated")
    for item in ("mnuAbrirPartida", "mnuGuardarPartida"):
        t.orden("dialogo")  # the next file dialog is cancelled, and told
        t.proceso.stdin.write(f"menu {item}\n")
        t.proceso.stdin.flush()
        vistas = []
        t.esperar_linea(lambda l: vistas.append(l) or l in (f"OK menu {item}", f"ERROR menu {item}"), 30,
                        f"no answer to menu {item}")
        comprobar(any(l.startswith("DIALOGO|") for l in vistas), f"{item} showed no dialog: {vistas}")
    t.orden("menu mnuNuevaPartida")
    ahora = estado(t)
    comprobar("Cpu" in ahora["Ventanas"].split(","), "New game did not show the engine panel")
    comprobar(ahora["Invertido"] == "0", "the board is shown from Black's side")
    # The first rank, files a to h: the king is the fifth square (White's king is 6).
    comprobar(ahora["Tablero"][56 + 4] == "6", f"no White king on e1: {ahora['Tablero']}")
    t.foto("nueva-partida")
    t.proceso.terminate()
    t.proceso.wait(10)


def cortan(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def dentro(a, b):
    return b[0] <= a[0] and b[1] <= a[1] and a[0] + a[2] <= b[0] + b[2] and a[1] + a[3] <= b[1] + b[3]


def entera(t, ventana, nombre):
    """Once the screen has settled, `ventana` stands off the board and whole in view: in
    the area's view, or for a window of its own on the screen's free part."""
    def mirar(_ruta):
        e = estado(t)
        lados = {n: tuple(map(int, r.split(","))) for n, r in (p.split(":") for p in e["Lugares"].split(";"))}
        if ventana not in lados:
            return f"{nombre}: {ventana} is not shown"
        r, tablero = lados[ventana], lados["Tavorin"]
        vista = (0, 0, *map(int, e["Vista"].split(",")))
        pantalla = tuple(map(int, e["Pantalla"].split(",")))
        fallos = [f"{ventana} {r} covers the board {tablero}"] if cortan(r, tablero) else []
        if ventana in ("fEpd", "ColorRgb"):
            if not dentro(r, pantalla):
                fallos.append(f"{ventana} {r} is not whole on the screen {pantalla}")
        elif not dentro(r, vista):
            fallos.append(f"{ventana} {r} is not whole in the area's view {vista}")
        return True if not fallos else f"{nombre}: " + "; ".join(fallos)
    t.fotos += 1
    shutil.copy(t.quieta(despues=mirar), os.path.join(t.salida, f"{t.fotos:02d}-{nombre}.png"))


def guardar_pgn(t):
    """Save game as PGN: the browser opens as the save form."""
    t.orden("dialogo " + os.path.join(t.carpeta, "partida.pgn"))
    t.orden("menu mnuGuardarPartida")


def lista_epd(t, nombre):
    ruta = os.path.join(t.carpeta, "lista.epd")
    with open(ruta, "w") as f:
        f.write("".join(f"rnbqkbnr/pppppppp/8/8/{c}/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\n" for c in ("8", "4P3")))
    t.orden("soltar ventana " + ruta)
    entera(t, "fEpd", nombre)
    t.orden("cerrar fEpd")


def teclas(t):
    """Options and Level from the keyboard, as xdotool types at the focused window."""
    def foco(esperado):
        esperar(lambda: estado(t)["Foco"] == esperado, ESPERA, f"the focus is on {estado(t)['Foco']!r}, not {esperado}")

    def cerrada(ventana, tecla):
        t.pantalla.xdotool("key", tecla)
        esperar(lambda: ventana not in estado(t)["Ventanas"].split(","), ESPERA, f"{tecla} left {ventana} open")
    pulsar_icono(t, "opciones.png")
    foco("Opciones.Combo1")
    cerrada("Opciones", "Escape")
    t.orden("menu mnuNuevaPartida")
    for tecla in ("Escape", "Return"):
        pulsar_icono(t, "motor-nivel.png")
        foco("FormLevel2.Option1_0")
        cerrada("FormLevel2", tecla)


def abiertas(t):
    t.arrancar_ordenes()
    lista_epd(t, "epd-1280")
    teclas(t)
    guardar_pgn(t)
    entera(t, "ListaPgn", "guardar-40-panel")
    t.proceso.terminate()
    t.proceso.wait(10)
    t.poner("Configuracion", "Tamaño", "56")
    for clave in ("Jugadas", "Chat", "Reloj", "Elo"):
        t.poner("Configuracion", clave, "1")
    t.arrancar_ordenes()
    guardar_pgn(t)
    entera(t, "ListaPgn", "guardar-56")
    t.orden("boton ListaPgn.Command2_2")
    t.orden("menu mnuSetTablero")
    entera(t, "SetTableroF", "preparar-56")
    t.proceso.terminate()
    t.proceso.wait(10)
    pequena = Pantalla(1024, 768)
    otra = Tavorin(t.args, pequena, t.salida)
    try:
        otra.arrancar_ordenes()
        lista_epd(otra, "epd-1024")
    finally:
        if otra.proceso and otra.proceso.poll() is None:
            otra.proceso.kill()
        otra.borrar()
        pequena.cerrar()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("prueba", choices=["ciclos", "basura", "tablero", "menus", "lados", "apartadas", "preparar",
                                      "abiertas"])
    p.add_argument("--programa", required=True)
    p.add_argument("--recursos", required=True)
    p.add_argument("--captura", required=True)
    p.add_argument("--salida", default=None)
    args = p.parse_args()
    salida = args.salida or os.path.join(tempfile.gettempdir(), "tavorin-xvfb-" + args.prueba)
    os.makedirs(salida, exist_ok=True)
    pantalla = Pantalla()
    t = Tavorin(args, pantalla, salida)
    try:
        globals()[args.prueba](t)
    except Fallo as f:
        print(f"FAILED {args.prueba}: {f}\n(screenshots in {salida})", file=sys.stderr)
        return 1
    finally:
        if t.proceso and t.proceso.poll() is None:
            t.proceso.kill()
        t.borrar()
        pantalla.cerrar()
    print(f"passed {args.prueba} (screenshots in {salida})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
