// Catches what the program asks the desktop to open (QDesktopServices::setUrlHandler).
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class Navegador : public QObject {
    Q_OBJECT
public:
    QList<QUrl> abiertas;
public slots:
    void Abrir(const QUrl& url) { abiertas << url; }
};
