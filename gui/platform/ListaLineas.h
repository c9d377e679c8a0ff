// A list box of many text lines kept as one block of bytes (a file's, with where each
// line begins), so that a list of a million lines costs about the file's size and
// fills at once: a row is made into text only when it is shown or asked for. A row
// shows its line cut short (rules::kEntradaCorta characters) and gives it back whole.
// Rows are reached as in a list widget: count, current row, clear.
#pragma once

#include <QByteArray>
#include <QListView>

#include <vector>

// Where the line that begins at `inicio` of `bytes` ends (at its CR or LF, or the end).
qsizetype FinDeLinea(const QByteArray& bytes, qsizetype inicio);

class ListaLineas : public QListView {
    Q_OBJECT
public:
    explicit ListaLineas(QWidget* padre = nullptr);

    // The lines: line i begins at `inicios[i]` of `bytes` and ends at a CR, a LF or the
    // end. The current row is none afterwards.
    void Poner(QByteArray bytes, std::vector<qsizetype> inicios);
    void clear();
    int count() const;
    int currentRow() const;
    // -1: no current row.
    void setCurrentRow(int fila);
    // Row i's line whole (UTF-8), and as the row shows it.
    QString Linea(int fila) const;
    QString Mostrada(int fila) const;

signals:
    void currentRowChanged(int fila);
    void filaActivada(int fila);

private:
    class Modelo;
    Modelo* modelo_;
};
