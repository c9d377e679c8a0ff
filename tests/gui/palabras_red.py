#!/usr/bin/env python3
"""Lists the words of the peer protocol written outside gui/network/.

The words (the rows of `kPalabras` in gui/network/Palabras.h, read from that file)
are written once, there; every other file builds and reads its messages through
gui/network. This finds a string literal elsewhere in gui/ that is a message: one
that is a word alone ("Ping"), or that begins with a word and a space
("Movimiento %1"). A literal that merely shares the name (the "Ranking" window, an
INI section "EPD") is no message: it is the word alone of a word that never goes
alone.

    palabras_red.py RAIZ   lists each one under RAIZ/gui; fails on one not in PENDIENTES
"""
import os
import re
import sys

# Messages still written by hand outside gui/network/, (file, literal), each to go
# to gui/network/ and then off this list.
PENDIENTES = set()


def palabras(raiz):
    """[(word, goes alone)] of the rows of kPalabras."""
    texto = open(os.path.join(raiz, 'gui', 'network', 'Palabras.h'), encoding='utf-8').read()
    textos = dict(re.findall(r'inline constexpr char (\w+)\[\] = "([^"]*)";', texto))
    tabla = texto[texto.index('kPalabras'):]
    tabla = tabla[:tabla.index('}};')]
    filas = re.findall(r'\{palabra::(\w+), Forma::(\w+),', tabla)
    if not filas:
        sys.exit('no row of kPalabras found in gui/network/Palabras.h')
    return [(textos[nombre], forma == 'Sola') for nombre, forma in filas]


def literales(texto):
    """(line, literal) of every string literal, comments left out."""
    patron = re.compile(r'//[^\n]*|/\*.*?\*/|R"(\w*)\((.*?)\)\1"|"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'', re.S)
    for m in patron.finditer(texto):
        if m.group(0).startswith(('//', '/*', "'")):
            continue
        cuerpo = m.group(2) if m.group(2) is not None else m.group(3)
        yield texto.count('\n', 0, m.start()) + 1, cuerpo


def usos(raiz):
    lista = palabras(raiz)
    encontrados = []
    for dp, carpetas, ficheros in os.walk(os.path.join(raiz, 'gui')):
        carpetas.sort()
        for f in sorted(ficheros):
            if not f.endswith(('.cpp', '.h')):
                continue
            ruta = os.path.join(dp, f)
            relativa = os.path.relpath(ruta, raiz).replace(os.sep, '/')
            if relativa.startswith('gui/network/'):
                continue
            for linea, literal in literales(open(ruta, encoding='utf-8').read()):
                for palabra, sola in lista:
                    if literal.startswith(palabra + ' ') or (sola and literal == palabra):
                        encontrados.append((relativa, linea, literal))
                        break
    return encontrados


def main():
    raiz = sys.argv[1] if len(sys.argv) > 1 else '.'
    encontrados = usos(raiz)
    prohibidos = [u for u in encontrados if (u[0], u[2]) not in PENDIENTES]
    for ruta, linea, literal in encontrados:
        marca = '' if (ruta, linea, literal) in prohibidos else ' (pending)'
        print('%s:%d:%s "%s"' % (ruta, linea, marca, literal))
    print('peer messages written outside gui/network/: %d, %d pending' % (
        len(encontrados), len(encontrados) - len(prohibidos)))
    for ruta, literal in sorted(PENDIENTES - {(u[0], u[2]) for u in encontrados}):
        print('%s: "%s" is gone: take it off PENDIENTES' % (ruta, literal))
    return 1 if prohibidos else 0


if __name__ == '__main__':
    sys.exit(main())
