#include "platform/Descarga.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

Descarga::Descarga(QObject* padre) : QObject(padre), red_(new QNetworkAccessManager(this)) {}

Descarga::~Descarga() {
    if (respuesta_) {
        respuesta_->disconnect(this);
        respuesta_->abort();
        respuesta_->deleteLater();
    }
}

void Descarga::GetData(const QString& url) {
    if (Ocupada()) return;
    QNetworkRequest peticion{QUrl(url)};
    peticion.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    peticion.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    peticion.setRawHeader("Cache-Control", "no-cache");
    peticion.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    peticion.setTransferTimeout(tiempoMaximo_);
    cuerpo_.clear();
    demasiado_ = false;
    respuesta_ = red_->get(peticion);
    connect(respuesta_, &QNetworkReply::readyRead, this, [this] {
        if (!respuesta_ || demasiado_) return;
        cuerpo_ += respuesta_->readAll();
        if (cuerpo_.size() > kTamanoMaximo) {
            demasiado_ = true;
            respuesta_->abort();
        }
    });
    connect(respuesta_, &QNetworkReply::finished, this, &Descarga::Terminada);
}

void Descarga::Terminada() {
    QNetworkReply* r = respuesta_;
    if (!r) return;
    if (!demasiado_) cuerpo_ += r->readAll();
    const int estado = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool bien =
        !demasiado_ && cuerpo_.size() <= kTamanoMaximo && r->error() == QNetworkReply::NoError && estado < 400;
    respuesta_ = nullptr;
    r->deleteLater();
    const QByteArray cuerpo = std::move(cuerpo_);
    cuerpo_.clear();
    // The answer may start the next download.
    if (bien) {
        if (Completada) Completada(cuerpo);
    } else if (Fallida) {
        Fallida();
    }
}
