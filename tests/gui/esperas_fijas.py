#!/usr/bin/env python3
"""Lists the fixed waits in the tests.

A test waits for the state it needs (tests/support/esperar.h, QTest::qWaitFor),
never a fixed time: on a loaded machine a fixed time is too short, on an idle one
too long. A pause stays only where it is the behaviour under test (a peer or an
engine that writes slowly, a copy stopped for a while), in the files of PERMITIDAS,
each with the number of pauses it may hold.

    esperas_fijas.py RAIZ   lists every fixed wait under RAIZ/tests; fails on one
                            beyond what PERMITIDAS allows its file
"""
import os
import re
import sys

# file: (pauses it may hold, why the pause is the behaviour and not a wait)
PERMITIDAS = {
    'tests/support/esperar.h': (1, 'the step between two looks at the condition'),
    'tests/support/ficheros_raros.h': (1, 'the fifo watcher opens the fifo again every step'),
    'tests/gui/engines/motor_prueba/motor_prueba.cpp': (2, 'the test engine writes a line in pieces, slowly'),
    'tests/bench/fake_engine.py': (1, 'the bench engine thinks as long as it is told'),
    'tests/e2e/gui/red_e2e_test.cpp': (1, 'the peer sends a move cut in two, 200 ms apart'),
    'tests/e2e/gui/red_lento_e2e_test.cpp': (1, 'the peer stays stopped for fifteen seconds'),
    'tests/e2e/gui/ventanas_xvfb.py': (
        5, 'the step of its own wait, a drag at a hand\'s pace, and a moment to draw while the game\'s clock '
        'keeps the screen changing'),
}

# The check's own sample tree is no test.
MUESTRA = 'tests/gui/esperas_fijas/'

# A sleep, QTest's fixed waits, or an event loop that a timer alone ends.
CPP = re.compile(r'\b(sleep_for|sleep_until|usleep|nanosleep|msleep|QThread::sleep|qWait|qSleep)\s*\(|'
                 r'(?<![\w:.])sleep\s*\(|singleShot\s*\(\s*\d.*QEventLoop::quit')
PY = re.compile(r'\btime\.sleep\s*\(|(?<![\w.])sleep\s*\(')


def sin_comentarios(texto, python):
    if python:
        return re.sub(r'#[^\n]*', '', texto)
    texto = re.sub(r'/\*.*?\*/', lambda m: '\n' * m.group(0).count('\n'), texto, flags=re.S)
    return re.sub(r'//[^\n]*', '', texto)


def esperas(raiz):
    encontradas = []
    for dp, carpetas, ficheros in os.walk(os.path.join(raiz, 'tests')):
        carpetas.sort()
        for f in sorted(ficheros):
            python = f.endswith('.py')
            if not python and not f.endswith(('.cpp', '.h')):
                continue
            ruta = os.path.join(dp, f)
            relativa = os.path.relpath(ruta, raiz).replace(os.sep, '/')
            if relativa.startswith(MUESTRA):
                continue
            patron = PY if python else CPP
            texto = sin_comentarios(open(ruta, encoding='utf-8').read(), python)
            for i, linea in enumerate(texto.split('\n')):
                if patron.search(linea):
                    encontradas.append((relativa, i + 1, linea.strip()))
    return encontradas


def main():
    raiz = sys.argv[1] if len(sys.argv) > 1 else '.'
    encontradas = esperas(raiz)
    por_fichero = {}
    for ruta, _, _ in encontradas:
        por_fichero[ruta] = por_fichero.get(ruta, 0) + 1
    sobran = {r for r, n in por_fichero.items() if n > PERMITIDAS.get(r, (0, ''))[0]}
    for ruta, linea, texto in encontradas:
        marca = ' (a fixed wait)' if ruta in sobran else ' (allowed: %s)' % PERMITIDAS[ruta][1]
        print('%s:%d:%s %s' % (ruta, linea, marca, texto))
    print('fixed waits in tests/: %d, %d of them in %d file(s) beyond what they may hold' % (
        len(encontradas), sum(por_fichero[r] for r in sobran), len(sobran)))
    return 1 if sobran else 0


if __name__ == '__main__':
    sys.exit(main())
