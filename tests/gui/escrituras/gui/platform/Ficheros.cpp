// The one writer: its own QSaveFile is allowed.
bool Escribir(const QString& ruta) {
    QSaveFile f(ruta);
    return f.open(QIODevice::WriteOnly);
}
