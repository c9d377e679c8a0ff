// Saves the game. A QSaveFile named in a comment is no write.
void Guardar(const QString& ruta, const QImage& imagen) {
    QSaveFile directo(ruta);
    std::ofstream salida(ruta.toStdString());
    QFile f(ruta);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QBuffer memoria;
    memoria.open(QIODevice::WriteOnly);
    QFile lectura(ruta);
    lectura.open(QIODevice::ReadOnly);
    imagen.save(&memoria, "PNG");
    imagen.save(ruta);
    Mostrar("std::ofstream");
}
