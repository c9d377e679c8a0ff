#!/usr/bin/env python3
"""Tavorin against a hostile peer: two figures of one copy linked to a raw socket.

1. A flood of 200 broken game proposals ("NuevoJuego 3 X 1") from the peer, then the
   local player's move: the time from the drop on the board to the move arriving at
   the peer (both on the system's steady clock). Three copies, three floods each;
   prints every delay and the largest ("lost" when the move never came in 30 s).
2. A chat line of 60 KB sent one byte per segment after the framed greeting, about
   5,000 bytes a second (so that the copy reads them one by one): the CPU time (user
   and system) the copy spends from the first byte until the line is shown.

    bench/red_hostil.py [build/Tavorin] [flood|chat|all]

Port 1500 must be free (run it inside its own network namespace, for instance
unshare -n -- sh -c 'ip link set lo up && bench/red_hostil.py').
"""

import os
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tavorin_copia import Copia  # noqa: E402

SALUDO = "Mensaje Luis se ha conectado con Tavorin versi\u00f3n 1.55\r\n".encode()
# White's and Black's moves of three rounds (knights out and back), as the drag and as
# the peer's message.
BLANCAS = [("g1", "f3", "Movimiento 71630"), ("f3", "g1", "Movimiento 63710"), ("g1", "f3", "Movimiento 71630")]
NEGRAS = ["Movimiento 78660", "Movimiento 66780", "Movimiento 78660"]


def cpu(pid):
    """User and system CPU seconds of a process."""
    with open(f"/proc/{pid}/stat") as f:
        campos = f.read().rsplit(")", 1)[1].split()
    tic = os.sysconf("SC_CLK_TCK")
    return int(campos[11]) / tic, int(campos[12]) / tic


class Par:
    """The raw peer: connects to the copy waiting on port 1500."""

    def __init__(self):
        for _ in range(100):
            try:
                self.s = socket.create_connection(("127.0.0.1", 1500), timeout=1)
                break
            except OSError:
                time.sleep(0.1)
        self.s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.recibido = b""

    def enviar(self, datos):
        self.s.sendall(datos)

    def llega(self, texto, espera=30):
        """The steady-clock time at which `texto` had arrived, or None."""
        fin = time.monotonic() + espera
        while texto not in self.recibido:
            resto = fin - time.monotonic()
            if resto <= 0:
                return None
            self.s.settimeout(min(resto, 0.2))
            try:
                datos = self.s.recv(65536)
            except socket.timeout:
                continue
            if not datos:
                return None
            self.recibido += datos
        return time.monotonic()


def enlazar(programa, raiz, nombre):
    ana = Copia(programa, os.path.join(raiz, nombre), "Ana")
    ana.orden("menu mnuEstablecerconexion")
    ana.orden("boton Conexion.Option2")
    ana.orden("boton Conexion.Command1")
    par = Par()
    ana.esperar(lambda l: l == "SONIDO|Conexion.wav")
    par.enviar(SALUDO)
    par.enviar(b"VersionTV 1.55")
    par.llega(b"VersionTV 1.55")
    return ana, par


def inundacion(programa, raiz):
    retardos = []
    for copia in range(3):
        ana, par = enlazar(programa, raiz, f"Ana{copia}")
        par.enviar(b"NuevoJuego 2 R 30")
        ana.esperar(lambda l: l.startswith("MENSAJE|68|"))
        ana.orden("responder 6")
        par.llega(b"NuevoAceptado")
        for ronda in range(3):
            for _ in range(200):
                par.enviar(b"NuevoJuego 3 X 1")
            par.llega(b"NuevoCancelado")
            par.recibido = b""
            time.sleep(0.3)
            de, a, mensaje = BLANCAS[ronda]
            ana.orden(f"arrastrar {de} {a}", espera=30)
            soltada = [l for l in ana.ultimas if l.startswith("SOLTADA|")]
            llegada = par.llega(mensaje.encode(), 30)
            if llegada is None or not soltada:
                retardos.append(None)
                break
            retardos.append(llegada * 1000 - int(soltada[-1].split("|")[1]))
            par.enviar(NEGRAS[ronda].encode())
            ana.esperar(lambda l: l.startswith("TRAZA|"), 30)
            time.sleep(0.4)
        ana.terminar()
        par.s.close()
    textos = ["lost" if r is None else f"{r:.0f} ms" for r in retardos]
    peor = "lost" if None in retardos else f"{max(retardos):.0f} ms"
    print(f"move after 200 broken proposals, drop to peer: {', '.join(textos)}; largest {peor}")


def chat(programa, raiz):
    ana, par = enlazar(programa, raiz, "AnaChat")
    time.sleep(0.5)
    linea = b"Mensaje <Luis>" + b"x" * (60 * 1024) + b"\r\n"
    usuario, sistema = cpu(ana.proceso.pid)
    inicio = time.monotonic()
    for i in range(len(linea)):
        par.enviar(linea[i:i + 1])
        time.sleep(0.0002)
    # The line is shown when the state's last chat line is it.
    while not ana.estado().get("Chat", "").startswith("<Luis>xxxx"):
        time.sleep(0.2)
        if time.monotonic() - inicio > 600:
            print("chat line of 60 KB a byte per segment: not shown in 600 s")
            return
    u, s = cpu(ana.proceso.pid)
    print(f"chat line of 60 KB a byte per segment: {u - usuario + s - sistema:.2f} s CPU ({u - usuario:.2f} s user, "
          f"{s - sistema:.2f} s system; {time.monotonic() - inicio:.1f} s on the clock)")
    ana.terminar()


def main():
    programa = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "Tavorin")
    que = sys.argv[2] if len(sys.argv) > 2 else "all"
    with tempfile.TemporaryDirectory() as raiz:
        if que in ("flood", "all"):
            inundacion(programa, raiz)
        if que in ("chat", "all"):
            chat(programa, raiz)


if __name__ == "__main__":
    main()
