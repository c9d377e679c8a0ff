// The ranking record without windows: bookings, the file's bytes and its checks.
#include "network/Puntuacion.h"

#include "child_process.h"

#include <QFile>
#include <gtest/gtest.h>

#include <limits>
#include <sys/stat.h>

namespace {

using puntuacion::Registro;

TEST(Puntuacion, BookingsMovePointsByTheStandingBeforeTheGame) {
    const struct {
        int local, rival, resultado;
        int localDespues, rivalDespues;
    } tabla[] = {
        {1200, 1200, puntuacion::Victoria, 1300, 1100}, {1300, 1100, puntuacion::Victoria, 1350, 1050},
        {1100, 1300, puntuacion::Victoria, 1200, 1200}, {1100, 1300, puntuacion::Derrota, 1050, 1350},
        {1300, 1100, puntuacion::Derrota, 1200, 1200},  {1200, 1200, puntuacion::Derrota, 1100, 1300},
        {1300, 1100, puntuacion::Tablas, 1250, 1150},   {1100, 1300, puntuacion::Tablas, 1150, 1250},
        {1200, 1200, puntuacion::Tablas, 1200, 1200},   {40, 1000, puntuacion::Derrota, 0, 1050},
        {1000, 40, puntuacion::Victoria, 1050, 0},
    };
    for (const auto& c : tabla) {
        Registro r = {3, 1, 1, 1, c.local, 7, 2, 3, 2, c.rival};
        puntuacion::Sumar(r, c.resultado);
        EXPECT_EQ(r[4], c.localDespues) << c.local << " " << c.rival << " " << c.resultado;
        EXPECT_EQ(r[9], c.rivalDespues) << c.local << " " << c.rival << " " << c.resultado;
        EXPECT_EQ(r[0], 4);
        EXPECT_EQ(r[5], 8);
        EXPECT_EQ(r[0], r[1] + r[2] + r[3]);
        EXPECT_EQ(r[5], r[6] + r[7] + r[8]);
        const int gana = c.resultado == puntuacion::Victoria, pierde = c.resultado == puntuacion::Derrota;
        EXPECT_EQ(r[1], 1 + gana);
        EXPECT_EQ(r[2], 1 + pierde);
        EXPECT_EQ(r[6], 2 + pierde);
        EXPECT_EQ(r[7], 3 + gana);
    }
}

TEST(Puntuacion, ValuesStopAtTheLargestThirtyTwoBitValue) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    Registro r = {kMax, kMax, 0, 0, kMax - 10, kMax, 0, kMax, 0, 5};
    puntuacion::Sumar(r, puntuacion::Victoria);
    EXPECT_EQ(r[0], kMax);
    EXPECT_EQ(r[1], kMax);
    EXPECT_EQ(r[4], kMax);
    EXPECT_EQ(r[7], kMax);
    EXPECT_EQ(r[9], 0);
}

TEST(Puntuacion, TheFileHoldsTheLocalHalfLittleEndian) {
    Registro r = {1, 0, 1, 0, 1100, 9, 9, 9, 9, 9};
    const QByteArray b = puntuacion::Bytes(r);
    EXPECT_EQ(b.toHex().toStdString(), "010000000000000001000000000000004c040000");
    Registro leido = puntuacion::kRegistroNuevo;
    leido[9] = 77;
    ASSERT_TRUE(puntuacion::DesdeBytes(b, leido));
    EXPECT_EQ(leido[4], 1100);
    EXPECT_EQ(leido[9], 77);

    auto bytes = [](std::initializer_list<std::int32_t> v) {
        Registro x{};
        std::copy(v.begin(), v.end(), x.begin());
        return puntuacion::Bytes(x);
    };
    const QByteArray malos[] = {
        QByteArray("1234567"),        // 7 bytes
        b + QByteArray(1, '\0'),      // 21 bytes
        bytes({5, 2, 2, 0, 1200}),    // does not add up
        bytes({-1, -1, 0, 0, 1200}),  // a negative count, adds up
        QByteArray(),
    };
    for (const QByteArray& m : malos) {
        Registro x = r;
        EXPECT_FALSE(puntuacion::DesdeBytes(m, x)) << m.toHex().toStdString();
        EXPECT_EQ(x, r);
    }
    // Points below 0 come from no booking, but the counters add up: read as written.
    Registro x = r;
    ASSERT_TRUE(puntuacion::DesdeBytes(bytes({2, 0, 2, 0, -50}), x));
    EXPECT_EQ(x[4], -50);
    EXPECT_EQ(x[2], 2);
}

TEST(Puntuacion, WritingMakesTheFileWritable) {
    testsupport::TempDir d;
    const QString ruta = QString::fromStdString(d.file("Puntuacion.dat"));
    Registro r = {2, 1, 1, 0, 1200, 0, 0, 0, 0, 1200};
    ASSERT_TRUE(puntuacion::Escribir(ruta, r));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), puntuacion::Bytes(r));
    f.close();

    ASSERT_EQ(::chmod(ruta.toLocal8Bit().constData(), 0444), 0);
    r[0] = 3, r[3] = 1;
    ASSERT_TRUE(puntuacion::Escribir(ruta, r));
    EXPECT_TRUE(QFile(ruta).permissions() & QFileDevice::WriteOwner);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), puntuacion::Bytes(r));
}

// A long file: the record is its first 20 bytes, and a booking writes those in place;
// the rest is neither read nor written again (memory and disk stay as they were).
TEST(Puntuacion, ABookingWritesTheFirstTwentyBytesOfALongFileInPlace) {
    testsupport::TempDir d;
    const std::string ruta = d.file("Puntuacion.dat");
    constexpr off_t kLargo = 64 << 20;
    {
        QFile f(QString::fromStdString(ruta));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(puntuacion::Bytes({1, 1, 0, 0, 1300}));
        ASSERT_TRUE(f.resize(kLargo - 4));
        ASSERT_TRUE(f.seek(kLargo - 4));
        f.write("cola");
    }
    struct stat antes {};
    ASSERT_EQ(::stat(ruta.c_str(), &antes), 0);
    const Registro r = {2, 2, 0, 0, 1400, 0, 0, 0, 0, 1200};
    ASSERT_TRUE(puntuacion::Escribir(QString::fromStdString(ruta), r));
    struct stat despues {};
    ASSERT_EQ(::stat(ruta.c_str(), &despues), 0);
    EXPECT_EQ(despues.st_ino, antes.st_ino);
    EXPECT_EQ(despues.st_size, kLargo);
    EXPECT_LE(despues.st_blocks, antes.st_blocks + 64);
    QFile f(QString::fromStdString(ruta));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(20), puntuacion::Bytes(r));
    ASSERT_TRUE(f.seek(kLargo - 4));
    EXPECT_EQ(f.read(4), QByteArray("cola"));
}

}  // namespace
