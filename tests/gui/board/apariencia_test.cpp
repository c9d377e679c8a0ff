// Reading a skin's pictures into the board's sets, without a window.
#include "entorno.h"

#include "board/Apariencia.h"
#include "board/Tavorin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A copy of a shipped skin in a folder of its own, names as `nombre` makes them.
class Apariencia : public ::testing::Test {
protected:
    QString Copiar(const QString& piel, const std::function<QString(const QString&)>& nombre = {}) {
        const QString destino = QString::fromStdString(dir_.path()) + "/" + piel + "/";
        QDir().mkpath(destino);
        for (const QFileInfo& f : QDir(Entorno::Recursos() + "/apariencias/" + piel).entryInfoList(QDir::Files))
            QFile::copy(f.filePath(), destino + (nombre ? nombre(f.fileName()) : f.fileName()));
        return destino;
    }
    // Every picture of the sets marked, so that what was not read can be told apart.
    void Marcar() {
        QImage marca(3, 3, QImage::Format_RGB32);
        marca.fill(Qt::red);
        fichas.fill(marca);
        mascaras.fill(marca);
        cuadros.fill(marca);
    }
    testsupport::TempDir dir_;
    std::array<QImage, 13> fichas, mascaras;
    std::array<QImage, 3> cuadros;
};

TEST_F(Apariencia, AShippedSkinReadsWholeWithNamesInAnyCase) {
    for (const char* piel : {"marmol", "torneo"}) {
        SCOPED_TRACE(piel);
        Marcar();
        ASSERT_TRUE(
            apariencia::Leer(Copiar(piel, [](const QString& n) { return n.toUpper(); }), fichas, mascaras, cuadros));
        for (int i = 1; i <= 12; ++i) {
            EXPECT_FALSE(fichas[i].isNull()) << NombreFicha(i);
            EXPECT_EQ(mascaras[i].size(), fichas[i].size()) << NombreFicha(i);
        }
        EXPECT_EQ(fichas[1].height(), cuadros[1].width());
        EXPECT_EQ(cuadros[2].size(), cuadros[1].size());
        EXPECT_NE(cuadros[1].pixelColor(0, 0), QColor(Qt::red));
    }
}

TEST_F(Apariencia, AMissingPictureStopsTheReadingThere) {
    const QString carpeta = Copiar("marmol");
    // The fifth mask: the pieces and the four masks before it are read, the rest kept.
    ASSERT_TRUE(QFile::remove(carpeta + NombreFicha(5) + QString("f.png")));
    Marcar();
    EXPECT_FALSE(apariencia::Leer(carpeta, fichas, mascaras, cuadros));
    for (int i = 1; i <= 12; ++i) EXPECT_NE(fichas[i].pixelColor(0, 0), QColor(Qt::red)) << i;
    for (int i = 1; i <= 4; ++i) EXPECT_FALSE(mascaras[i].isNull()) << i;
    EXPECT_TRUE(mascaras[5].isNull());
    for (int i = 6; i <= 12; ++i) EXPECT_EQ(mascaras[i].size(), QSize(3, 3)) << i;
    EXPECT_EQ(cuadros[1].size(), QSize(3, 3));
    EXPECT_EQ(cuadros[2].size(), QSize(3, 3));
}

TEST_F(Apariencia, PicturesOfAnotherSizeAreReadButRefused) {
    const QString carpeta = Copiar("torneo");
    QFile f(carpeta + "cuadron.png");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QImage(41, 41, QImage::Format_RGB32).save(&f, "PNG");
    f.close();
    EXPECT_FALSE(apariencia::Leer(carpeta, fichas, mascaras, cuadros));
    EXPECT_EQ(cuadros[2].size(), QSize(41, 41));
}

TEST_F(Apariencia, AFolderWithoutPicturesReadsNothing) {
    Marcar();
    EXPECT_FALSE(apariencia::Leer(QString::fromStdString(dir_.path()) + "/nada/", fichas, mascaras, cuadros));
    EXPECT_TRUE(fichas[1].isNull());
    EXPECT_EQ(fichas[2].size(), QSize(3, 3));
}

}  // namespace
