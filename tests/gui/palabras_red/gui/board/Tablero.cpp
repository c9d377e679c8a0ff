// Ends the game: "Close" is queued.
void Tablero::Cerrar() {
    Encolar("Ping");
    Encolar(QString("Movimiento %1").arg(jugada));
    Mostrar("Ranking");
    Titulo("Mensajes");
}
