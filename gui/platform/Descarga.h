// The download control: one HTTP GET at a time, always fetched from the network
// (never from a cache), redirects followed, the body kept in memory. It ends in
// Completada with the body, or in Fallida: a network error, an HTTP status of 400
// or more, no data within the time-out, or a body larger than kTamanoMaximo.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

class Descarga : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kTamanoMaximo = 64 * 1024;
    static constexpr int kTiempoMaximoMs = 20000;

    explicit Descarga(QObject* padre = nullptr);
    ~Descarga() override;

    // Starts the download of `url`; does nothing while one is running.
    void GetData(const QString& url);
    bool Ocupada() const { return !respuesta_.isNull(); }
    // Longest wait for data, in milliseconds.
    void FijarTiempoMaximo(int ms) { tiempoMaximo_ = ms; }

    std::function<void(const QByteArray& cuerpo)> Completada;
    std::function<void()> Fallida;

private:
    void Terminada();

    QNetworkAccessManager* red_;
    QPointer<QNetworkReply> respuesta_;
    QByteArray cuerpo_;
    bool demasiado_ = false;
    int tiempoMaximo_ = kTiempoMaximoMs;
};
