#!/usr/bin/env python3
"""Lists code that reaches into another window's controls.

A window (a Forma, QWidget, QDialog or QMainWindow subclass in gui/) is reached
through its own methods; its child widgets belong to it. This finds every use of
a window's child widget (`Reloj().Label4->...`, `pgn.Text1[0]->...`, or passing
`s.Picture1` along) from a source file that does not define that window's
members.

    controles_ajenos.py RAIZ            gui/ only; fails on a use outside PENDIENTES
    controles_ajenos.py RAIZ --pruebas  the tests as well: they may drive a window's
                                        controls as a person would, but fails when
                                        their uses pass TECHO_PRUEBAS (--techo=N
                                        sets another ceiling)
    controles_ajenos.py RAIZ --otros    other members instead (timers, menu items,
                                        sockets), listed and counted only
"""
import collections
import os
import re
import sys

# Files still allowed to reach into the windows (none: each window sets its own
# captions and colours through the language table and the painter).
PENDIENTES = set()

# The uses of other windows' controls the tests made when the ceiling was set. The
# tests may read and drive a window's controls as a person would; new tests do it
# through the window's methods, so the count only falls: lower this with it.
TECHO_PRUEBAS = 582

# Members of these types are not widgets (timers, menu actions, sockets, relays).
NO_WIDGETS = {'QTimer', 'QAction', 'QEventLoop', 'ConectorTcp', 'Relevo', 'Descarga'}
CONTROLES = {'PictureBox', 'SweetButton'}


def sin_comentarios(texto):
    texto = re.sub(r'/\*.*?\*/', ' ', texto, flags=re.S)
    return re.sub(r'//[^\n]*', '', texto)


def ventanas(raiz, otros=False):
    """{clase: set of public widget members} of every window declared in gui/; with
    `otros`, its public members of the other pointer types instead."""
    res = {}
    for dp, _, ficheros in os.walk(os.path.join(raiz, 'gui')):
        for f in ficheros:
            if not f.endswith('.h'):
                continue
            texto = sin_comentarios(open(os.path.join(dp, f), encoding='utf-8').read())
            for m in re.finditer(r'class (\w+) : public (Forma|QWidget|QDialog|QMainWindow) \{', texto):
                cuerpo = texto[m.end():]
                cuerpo = cuerpo[:cuerpo.find('\n};')]
                miembros = set()
                publico = False
                for trozo in re.split(r'(public:|private:|protected:|;|\{[^{}]*\})', cuerpo):
                    if trozo in ('public:', 'private:', 'protected:'):
                        publico = trozo == 'public:'
                        continue
                    if not publico or not trozo or trozo == ';' or '(' in trozo:
                        continue
                    d = ' '.join(trozo.split())
                    tipo = re.match(r'(?:std::array<\s*(\w+)\s*\*\s*,\s*\d+\s*>|(\w+)\s*\*)\s*(.*)$', d)
                    if not tipo:
                        continue
                    t = tipo.group(1) or tipo.group(2)
                    if otros != (t in NO_WIDGETS) or not (t.startswith('Q') or t in CONTROLES | NO_WIDGETS):
                        continue
                    for nombre in tipo.group(3).split(','):
                        nombre = re.split(r'[\s={]', nombre.strip().lstrip('*').strip())[0]
                        if nombre:
                            miembros.add(nombre)
                if miembros and m.group(1) not in CONTROLES:
                    res[m.group(1)] = miembros
    return res


def fuentes(raiz, carpetas):
    for carpeta in carpetas:
        for dp, _, ficheros in os.walk(os.path.join(raiz, carpeta)):
            for f in sorted(ficheros):
                if f.endswith(('.cpp', '.h')):
                    ruta = os.path.join(dp, f)
                    yield os.path.relpath(ruta, raiz), sin_comentarios(open(ruta, encoding='utf-8').read())


def usos(raiz, carpetas, otros=False):
    formas = ventanas(raiz, otros)
    encontrados = []
    for ruta, texto in fuentes(raiz, carpetas):
        lineas = texto.split('\n')
        for clase, miembros in formas.items():
            # A file that defines the window's members is the window's own.
            if ruta.endswith('.cpp') and re.search(r'^[^\n;{}]*\b%s::~?\w+\s*\(' % clase, texto, re.M):
                continue
            # The names the window goes by here: its accessor and the references to it.
            nombres = [r'(?:::)?%s\(\)' % clase]
            for v in re.finditer(r'(?:auto|forms::%s)\s*[&*]\s*(\w+)\s*=\s*(?:::)?%s\(\)' % (clase, clase), texto):
                nombres.append(re.escape(v.group(1)))
            for v in re.finditer(r'forms::%s\s*[&*]\s*(\w+)' % clase, texto):
                nombres.append(re.escape(v.group(1)))
            patron = re.compile(r'(?<![\w.>])(?:%s)\s*(?:\.|->)\s*(%s)\b' % (
                '|'.join(sorted(set(nombres))), '|'.join(sorted(miembros))))
            for i, linea in enumerate(lineas):
                for m in patron.finditer(linea):
                    encontrados.append((ruta, i + 1, clase, m.group(1), linea.strip()))
    return encontrados


def main():
    raiz = sys.argv[1] if len(sys.argv) > 1 else '.'
    pruebas = '--pruebas' in sys.argv
    otros = '--otros' in sys.argv
    encontrados = usos(raiz, ['gui', 'tests'] if pruebas else ['gui'], otros)
    prohibidos = [u for u in encontrados if u[0].startswith('gui/') and u[0] not in PENDIENTES]
    for u in sorted(encontrados):
        marca = '' if u in prohibidos else ' (allowed for now)' if u[0].startswith('gui/') else ''
        print('%s:%d: %s.%s%s: %s' % (u[0], u[1], u[2], u[3], marca, u[4]))
    por_zona = collections.Counter('tests' if u[0].startswith('tests/') else
                                   'allowed' if u[0] in PENDIENTES else 'gui' for u in encontrados)
    lineas = collections.Counter(('tests' if u[0].startswith('tests/') else
                                  'allowed' if u[0] in PENDIENTES else 'gui', u[0], u[1]) for u in encontrados)
    por_lineas = collections.Counter(z for z, _, _ in lineas)
    print('uses of another window\'s %s: %d in gui/ (%d lines), %d in %s (%d lines)%s' % (
        'other members' if otros else 'widgets', por_zona['gui'], por_lineas['gui'], por_zona['allowed'], ', '.join(sorted(PENDIENTES)) or 'no allowed file',
        por_lineas['allowed'], ', %d in tests/ (%d lines)' % (por_zona['tests'], por_lineas['tests'])
        if pruebas else ''))
    techo = next((int(a.split('=', 1)[1]) for a in sys.argv if a.startswith('--techo=')), TECHO_PRUEBAS)
    if pruebas and not otros:
        if por_zona['tests'] > techo:
            print('the tests use other windows\' widgets %d times, above the ceiling of %d: reach the window '
                  'through its methods' % (por_zona['tests'], techo))
            return 1
        if por_zona['tests'] < techo:
            print('the tests use other windows\' widgets %d times, below the ceiling of %d: lower TECHO_PRUEBAS '
                  'in tests/gui/controles_ajenos.py to %d' % (por_zona['tests'], techo, por_zona['tests']))
    return 1 if prohibidos and not otros else 0


if __name__ == '__main__':
    sys.exit(main())
