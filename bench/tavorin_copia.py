"""A copy of Tavorin driven through its test commands (TAVORIN_PRUEBA_ORDENES).

Used by the network benchmark: each copy runs from its own program folder, reads
commands on standard input and prints what it does on standard output.
"""

import atexit
import os
import queue
import shutil
import subprocess
import threading
import time


def ini_poner(ruta, seccion, clave, valor):
    """Sets one key of an INI file (the section must exist)."""
    with open(ruta, encoding="utf-8", errors="surrogateescape") as f:
        lineas = f.read().split("\n")
    dentro = False
    for i, l in enumerate(lineas):
        if l.startswith("["):
            if dentro:
                lineas.insert(i, f"{clave}={valor}")
                break
            dentro = l.strip() == f"[{seccion}]"
        elif dentro and l.split("=", 1)[0] == clave:
            lineas[i] = f"{clave}={valor}"
            break
    else:
        lineas.append(f"{clave}={valor}")
    with open(ruta, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(lineas))


class Copia:
    def __init__(self, programa, carpeta, nick, entorno=None):
        """Lays out a program folder copied from `programa` and starts the copy."""
        if os.path.exists(carpeta):
            shutil.rmtree(carpeta)
        shutil.copytree(programa, carpeta)
        ini = os.path.join(carpeta, "Default.ini")
        for clave, valor in (("Nick", nick), ("RegitTvp", "1"), ("RegitPgn", "1"), ("RegitEpd", "1")):
            ini_poner(ini, "Configuracion", clave, valor)
        env = dict(os.environ)
        env.update({"QT_QPA_PLATFORM": "offscreen", "TAVORIN_PRUEBA_ORDENES": "1", "TAVORIN_PRUEBA_AVISOS": "1"})
        env.update(entorno or {})
        self.proceso = subprocess.Popen([os.path.join(carpeta, "tavorin")], cwd=carpeta, env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.ultimas = []
        atexit.register(self.terminar)
        self.lineas = queue.Queue()
        threading.Thread(target=self._leer, daemon=True).start()
        self.esperar(lambda l: l == "LISTO", 30)

    def _leer(self):
        for l in self.proceso.stdout:
            self.lineas.put(l.rstrip("\n"))
        self.lineas.put(None)

    def orden(self, texto, espera=30):
        """Sends a command and waits for its OK line; the lines printed meanwhile stay
        in `ultimas`."""
        self.proceso.stdin.write(texto + "\n")
        self.proceso.stdin.flush()
        self.ultimas = []
        return self.esperar(lambda l: l in ("OK " + texto, "ERROR " + texto), espera, self.ultimas)

    def esperar(self, condicion, espera=30, vistas=None):
        """The next line that satisfies `condicion`; every line read goes to `vistas`."""
        fin = time.monotonic() + espera
        while True:
            resto = fin - time.monotonic()
            if resto <= 0:
                raise TimeoutError("no line came in time")
            try:
                l = self.lineas.get(timeout=resto)
            except queue.Empty:
                raise TimeoutError("no line came in time")
            if l is None:
                raise EOFError("the copy ended")
            if vistas is not None:
                vistas.append(l)
            if condicion(l):
                return l

    def estado(self):
        """The state line as a dictionary."""
        self.proceso.stdin.write("estado\n")
        self.proceso.stdin.flush()
        l = self.esperar(lambda l: l.startswith("ESTADO|"))
        return dict(c.split("=", 1) for c in l.split("|")[1:])

    def terminar(self):
        if self.proceso.poll() is None:
            self.proceso.kill()
        self.proceso.wait()
