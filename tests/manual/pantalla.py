#!/usr/bin/env python3
"""Finds things on a screenshot of Tavorin under Xvfb, for the board's manual check.

  pantalla.py tablero SHOT.png          -> "x y lado": top-left pixel of the board
                                           picture and its square side
  pantalla.py icono SHOT.png ICONO.png  -> "x y": centre of the first place where
                                           the icon's opaque pixels match
"""
import subprocess
import sys


def leer(ruta, alfa=False):
    """Width, height and rows of (r, g, b[, a]) tuples of a picture, read through ImageMagick."""
    formato = "rgba" if alfa else "rgb"
    n = 4 if alfa else 3
    ancho, alto = map(int, subprocess.check_output(["identify", "-format", "%w %h", ruta]).split())
    datos = subprocess.check_output(["convert", ruta, "-depth", "8", f"{formato}:-"])
    filas = []
    for y in range(alto):
        fila = datos[y * ancho * n:(y + 1) * ancho * n]
        filas.append([tuple(fila[i:i + n]) for i in range(0, len(fila), n)])
    return ancho, alto, filas


def tablero(ruta):
    """The board picture sits inside a 2-pixel black frame (Margen), 8 squares a side."""
    ancho, alto, filas = leer(ruta)
    negro = (0, 0, 0)
    for y in range(alto - 2):
        fila = filas[y]
        x = 0
        while x < ancho:
            if fila[x] != negro:
                x += 1
                continue
            inicio = x
            while x < ancho and fila[x] == negro:
                x += 1
            largo = x - inicio
            lado = (largo - 4) // 8
            if largo < 244 or (largo - 4) % 8 or not 30 <= lado <= 100:
                continue
            # The next row is black too, and the frame's left edge runs down 8 squares.
            if filas[y + 1][inicio] != negro or y + largo > alto:
                continue
            if y + largo > alto or inicio + largo > ancho:
                continue
            derecha = inicio + largo - 1
            bordes = all(filas[y + k][inicio] == negro and filas[y + k][inicio + 1] == negro and
                         filas[y + k][derecha] == negro for k in range(largo))
            # Inside the frame lie the squares: hardly any black there.
            dentro = [filas[y + 2 + k][inicio + 2 + k] for k in range(0, largo - 4, 3)]
            if bordes and sum(p == negro for p in dentro) < len(dentro) // 4:
                return inicio + 2, y + 2, lado
    return None


def icono(ruta, ruta_icono):
    ancho, alto, filas = leer(ruta)
    iw, ih, ifilas = leer(ruta_icono, alfa=True)
    opacos = [(x, y, p[:3]) for y, f in enumerate(ifilas) for x, p in enumerate(f) if p[3] == 255]
    for y in range(alto - ih):
        for x in range(ancho - iw):
            if all(filas[y + oy][x + ox] == c for ox, oy, c in opacos):
                return x + iw // 2, y + ih // 2
    return None


if __name__ == "__main__":
    if sys.argv[1] == "tablero":
        r = tablero(sys.argv[2])
    else:
        r = icono(sys.argv[2], sys.argv[3])
    if r is None:
        sys.exit(1)
    print(*r)
