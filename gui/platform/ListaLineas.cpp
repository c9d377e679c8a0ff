#include "platform/ListaLineas.h"

#include "rules/reglas.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

#include <algorithm>
#include <cstring>
#include <string>

qsizetype FinDeLinea(const QByteArray& bytes, qsizetype inicio) {
    const char* p = bytes.constData();
    const size_t resto = size_t(bytes.size() - inicio);
    const char* lf = static_cast<const char*>(std::memchr(p + inicio, '\n', resto));
    const size_t hastaLf = lf ? size_t(lf - (p + inicio)) : resto;
    const char* cr = static_cast<const char*>(std::memchr(p + inicio, '\r', hastaLf));
    return inicio + qsizetype(cr ? size_t(cr - (p + inicio)) : hastaLf);
}

class ListaLineas::Modelo : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Poner(QByteArray bytes, std::vector<qsizetype> inicios) {
        beginResetModel();
        bytes_ = std::move(bytes);
        inicios_ = std::move(inicios);
        endResetModel();
    }
    int rowCount(const QModelIndex& padre = {}) const override { return padre.isValid() ? 0 : int(inicios_.size()); }
    QVariant data(const QModelIndex& i, int papel) const override {
        if (papel != Qt::DisplayRole || !i.isValid() || i.row() >= rowCount()) return {};
        return Mostrada(i.row());
    }
    // The line's bytes, its first `tope` at most.
    std::string Bytes(int fila, qsizetype tope = -1) const {
        const qsizetype a = inicios_[size_t(fila)];
        qsizetype largo = FinDeLinea(bytes_, a) - a;
        if (tope >= 0) largo = std::min(largo, tope);
        return std::string(bytes_.constData() + a, size_t(largo));
    }
    // A character takes four bytes at most: the bytes of one more than are shown tell
    // whether the line is cut.
    QString Mostrada(int fila) const {
        constexpr qsizetype kTope = 4 * (qsizetype(rules::kEntradaCorta) + 1);
        return QString::fromStdString(rules::Acortar(Bytes(fila, kTope), rules::kEntradaCorta));
    }

private:
    QByteArray bytes_;
    std::vector<qsizetype> inicios_;
};

ListaLineas::ListaLineas(QWidget* padre) : QListView(padre), modelo_(new Modelo(this)) {
    // Every row is one line of the same font: the view need not measure a million.
    setUniformItemSizes(true);
    setModel(modelo_);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) { emit currentRowChanged(actual.isValid() ? actual.row() : -1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit filaActivada(i.row()); });
}

void ListaLineas::Poner(QByteArray bytes, std::vector<qsizetype> inicios) {
    modelo_->Poner(std::move(bytes), std::move(inicios));
}

void ListaLineas::clear() { modelo_->Poner({}, {}); }

int ListaLineas::count() const { return modelo_->rowCount(); }

int ListaLineas::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void ListaLineas::setCurrentRow(int fila) {
    if (fila < 0 || fila >= count()) {
        setCurrentIndex({});
        return;
    }
    setCurrentIndex(modelo_->index(fila));
}

QString ListaLineas::Linea(int fila) const {
    if (fila < 0 || fila >= count()) return {};
    return QString::fromStdString(modelo_->Bytes(fila));
}

QString ListaLineas::Mostrada(int fila) const {
    return fila < 0 || fila >= count() ? QString() : modelo_->Mostrada(fila);
}
