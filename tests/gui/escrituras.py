#!/usr/bin/env python3
"""Lists the files gui/ writes without gui/platform/Ficheros.

Every file the program writes goes through `ficheros::` (gui/platform/Ficheros), which
writes a whole file or nothing, never into a FIFO or a device, and keeps a name's
bytes. This finds a write done any other way in gui/: a QSaveFile or a std::ofstream,
a QFile (or any device but a QBuffer) opened for writing, fopen with a writing mode,
open(2) with a writing flag, or a picture saved straight to a path. Comments and
string literals are left out; a QBuffer opened for writing is memory, not a file.

    escrituras.py RAIZ   lists each one under RAIZ/gui; fails on any
"""
import os
import re
import sys

PROPIO = ('gui/platform/Ficheros.cpp', 'gui/platform/Ficheros.h')

PATRON_TEXTO = re.compile(r'//[^\n]*|/\*.*?\*/|R"(\w*)\(.*?\)\1"|"(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\'', re.S)

# (what, expression over the code with its comments and literals blanked)
ESCRITURAS = [
    ('QSaveFile', re.compile(r'\bQSaveFile\b')),
    ('std::ofstream', re.compile(r'\b(?:std::)?(?:w?ofstream|w?fstream)\b')),
    ('open(2) for writing', re.compile(r'\bopen(?:at)?\s*\([^;]*\bO_(?:WRONLY|RDWR|CREAT|TRUNC|APPEND)\b')),
    ('a picture saved to a path', re.compile(r'(?:\.|->)save\s*\(\s*[^&\s)]')),
]
APERTURA = re.compile(r'\b(\w+)\s*(?:\.|->)\s*open\s*\([^;]*\b(?:QIODevice|QFile|QFileDevice)::(?:WriteOnly|ReadWrite|Append|Truncate)\b')
FOPEN = re.compile(r'\bfopen\s*\([^;]*?"([^"]*)"')


def blanco(m):
    """The match with everything but its line ends and quotes blanked."""
    t = m.group(0)
    if t.startswith(('//', '/*')):
        return re.sub(r'[^\n]', ' ', t)
    return t[0] + re.sub(r'[^\n]', ' ', t[1:-1]) + t[-1]


def usos(raiz):
    encontrados = []
    for dp, carpetas, ficheros in os.walk(os.path.join(raiz, 'gui')):
        carpetas.sort()
        for f in sorted(ficheros):
            if not f.endswith(('.cpp', '.h')):
                continue
            ruta = os.path.join(dp, f)
            relativa = os.path.relpath(ruta, raiz).replace(os.sep, '/')
            if relativa in PROPIO:
                continue
            texto = open(ruta, encoding='utf-8').read()
            codigo = PATRON_TEXTO.sub(blanco, texto)
            linea = lambda pos: codigo.count('\n', 0, pos) + 1
            buffers = set(re.findall(r'\bQBuffer\s+(\w+)', codigo))
            for que, patron in ESCRITURAS:
                for m in patron.finditer(codigo):
                    encontrados.append((relativa, linea(m.start()), que))
            for m in APERTURA.finditer(codigo):
                if m.group(1) not in buffers:
                    encontrados.append((relativa, linea(m.start()), 'a file opened for writing'))
            for m in FOPEN.finditer(texto):
                if re.search(r'[wa+]', m.group(1)) and codigo[m.start()] != ' ':
                    encontrados.append((relativa, linea(m.start()), 'fopen for writing'))
    return sorted(set(encontrados))


def main():
    raiz = sys.argv[1] if len(sys.argv) > 1 else '.'
    encontrados = usos(raiz)
    for ruta, linea, que in encontrados:
        print('%s:%d: %s' % (ruta, linea, que))
    print('files written in gui/ without gui/platform/Ficheros: %d' % len(encontrados))
    return 1 if encontrados else 0


if __name__ == '__main__':
    sys.exit(main())
