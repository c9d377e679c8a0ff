#!/usr/bin/env python3
"""Tavorin's start and exit against the size of Default.ini.

Runs the program (offscreen, driven by its test commands) in a fresh copy of its
program folder, twice:
  1. with the shipped Default.ini under strace (when installed): how many fsync and
     fdatasync calls and renames reach Default.ini in a start and an exit;
  2. with Default.ini grown to --mb megabytes by sections of another program's: the
     time of the start (launch to "LISTO") and of the exit ("salir" to the end).
Both check that every section and key of the file before is still there after.
Exit status 1 when a key was lost, the exit took longer than --limite seconds, or
Default.ini saw more than --fsyncs syncs.

  bench/ajustes_salida.py [--programa build/Tavorin] [--mb 6] [--limite 3] [--fsyncs 5]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def claves(ruta):
    """The (section, key) pairs of an INI file, names without regard to case."""
    pares, seccion = set(), ""
    with open(ruta, "rb") as f:
        for linea in f.read().decode("utf-8", "replace").splitlines():
            linea = linea.strip()
            if linea.startswith("["):
                seccion = linea[1:].split("]")[0].strip().lower()
            elif "=" in linea and not linea.startswith(";"):
                pares.add((seccion, linea.split("=", 1)[0].strip().lower()))
    return pares


def preparar(origen, destino, megas):
    shutil.copytree(origen, destino, ignore=shutil.ignore_patterns("Motor"))
    ini = os.path.join(destino, "Default.ini")
    with open(ini, "rb") as f:
        texto = f.read().decode("utf-8")
    texto = re.sub(r"(?m)^Nick=.*$", "Nick=Ana", texto)
    texto = re.sub(r"(?m)^(Regit...)=0", r"\1=1", texto)
    partes = [texto]
    n = 0
    while megas and sum(map(len, partes)) < megas * 1024 * 1024:
        partes.append("\r\n[OtroPrograma%06d]\r\nRuta=/home/ana/ficheros/%06d.dat\r\nVeces=%d\r\n\r\n" % (n, n, n))
        n += 1
    with open(ini, "wb") as f:
        f.write("".join(partes).encode("utf-8"))
    os.chmod(ini, 0o644)
    return ini


def ejecutar(carpeta, xdg, envoltorio=()):
    """Start (to LISTO) and exit (salir to the end) times in seconds."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TAVORIN_PRUEBA_ORDENES="1", TAVORIN_PRUEBA_AVISOS="todo",
               TAVORIN_PRUEBA_MENSAJES="1", XDG_DATA_HOME=xdg, XDG_CONFIG_HOME=xdg)
    inicio = time.monotonic()
    p = subprocess.Popen(list(envoltorio) + ["./tavorin"], cwd=carpeta, env=env, stdin=subprocess.PIPE,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    for linea in p.stdout:
        if linea.strip() == "LISTO":
            break
    arranque = time.monotonic() - inicio
    salida = time.monotonic()
    p.stdin.write("salir\n")
    p.stdin.flush()
    p.stdout.read()
    p.wait(timeout=600)
    return arranque, time.monotonic() - salida


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--programa", default=os.path.join(TOP, "build", "Tavorin"))
    a.add_argument("--mb", type=float, default=6)
    a.add_argument("--limite", type=float, default=3)
    a.add_argument("--fsyncs", type=int, default=5)
    o = a.parse_args()
    if not os.access(os.path.join(o.programa, "tavorin"), os.X_OK):
        sys.exit("build first: %s/tavorin missing" % o.programa)
    fallos = 0
    with tempfile.TemporaryDirectory() as tmp:
        # 1. The shipped file: the syncs and renames of Default.ini.
        carpeta = os.path.join(tmp, "T1")
        ini = preparar(o.programa, carpeta, 0)
        antes = claves(ini)
        strace = shutil.which("strace")
        if strace:
            traza = os.path.join(tmp, "traza")
            ejecutar(carpeta, os.path.join(tmp, "xdg1"),
                     [strace, "-f", "-y", "-o", traza, "-e", "trace=fsync,fdatasync,rename,renameat,renameat2"])
            syncs = renames = 0
            with open(traza, errors="replace") as f:
                for linea in f:
                    # A sync names its file by its descriptor: Default.ini's temporary file is
                    # named after it, or has no name at all ("(deleted)") until it takes its place.
                    m = re.search(r"\b(?:fsync|fdatasync)\(\d+<" + re.escape(carpeta) + r"/([^>]*)>(\(deleted\))?",
                                  linea)
                    if m and ("Default.ini" in m.group(1) or m.group(2)):
                        syncs += 1
                    renames += bool(re.search(r"\brename(at2?)?\(.*Default\.ini", linea))
            print("shipped Default.ini, a start and an exit: %d fsync/fdatasync in the program folder, %d renames"
                  % (syncs, renames))
            if syncs > o.fsyncs:
                print("  FAIL: more than %d syncs" % o.fsyncs)
                fallos += 1
        else:
            print("strace is not installed: the syncs are not counted")
            ejecutar(carpeta, os.path.join(tmp, "xdg1"))
        perdidas = antes - claves(ini)
        print("  keys lost: %d" % len(perdidas))
        fallos += bool(perdidas)

        # 2. A large file: the start's and the exit's time.
        carpeta = os.path.join(tmp, "T2")
        ini = preparar(o.programa, carpeta, o.mb)
        antes = claves(ini)
        arranque, salida = ejecutar(carpeta, os.path.join(tmp, "xdg2"))
        perdidas = antes - claves(ini)
        print("Default.ini of %.1f MB (%d keys): start %.2f s, exit %.2f s, keys lost: %d" %
              (os.path.getsize(ini) / 1048576, len(antes), arranque, salida, len(perdidas)))
        if salida > o.limite:
            print("  FAIL: the exit took more than %.1f s" % o.limite)
            fallos += 1
        fallos += bool(perdidas)
    sys.exit(1 if fallos else 0)


if __name__ == "__main__":
    main()
