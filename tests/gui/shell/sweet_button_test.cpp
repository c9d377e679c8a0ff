// The picture button's events and pictures.
#include "platform/SweetButton.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(SweetButton, ReleasingOverTheButtonRaisesMoveUpMove) {
    SweetButton b;
    b.setLoadImage(true);
    b.setEnabledB(true);
    b.show();
    QStringList orden;
    QObject::connect(&b, &SweetButton::MouseMove,
                     [&](int bt, int, double x, double y) { orden << QString("move %1 %2 %3").arg(bt).arg(x).arg(y); });
    QObject::connect(&b, &SweetButton::MouseUp,
                     [&](int bt, int, double, double) { orden << QString("up %1").arg(bt); });
    QObject::connect(&b, &SweetButton::MouseDown,
                     [&](int bt, int, double, double) { orden << QString("down %1").arg(bt); });
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(3, 4));
    orden.clear();
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(3, 4));
    EXPECT_EQ(orden, (QStringList{"move 0 -1 0", "up 1", "move 1 3 4"}));
    EXPECT_EQ(b.PictureShown(), 1);
}

TEST(SweetButton, TheEdgeIsInsideAndMovesShowTheHoverPicture) {
    SweetButton b;
    b.setEnabledB(true);
    QSignalSpy mueve(&b, &SweetButton::MouseMove);
    b.UserControl_MouseOut(0, 0, b.width(), b.height());
    EXPECT_EQ(mueve.count(), 1);
    EXPECT_EQ(b.PictureShown(), 1);
    b.UserControl_MouseOut(0, 0, -0.5, 0);
    EXPECT_EQ(b.PictureShown(), 1);
    b.show();
    QTest::mouseMove(&b, QPoint(2, 2));
    EXPECT_EQ(b.PictureShown(), 3);
}

TEST(SweetButton, ADisabledButtonRaisesNothingAndShowsItsDisabledPicture) {
    SweetButton b;
    b.setEnabledB(false);
    b.show();
    QSignalSpy sube(&b, &SweetButton::MouseUp);
    QSignalSpy baja(&b, &SweetButton::MouseDown);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(sube.count(), 0);
    EXPECT_EQ(baja.count(), 0);
    EXPECT_EQ(b.PictureShown(), 4);
    b.setLoadImage(false);
    EXPECT_EQ(b.PictureShown(), 4);
    EXPECT_FALSE(b.LoadImage());
    b.setColorB(Qt::red);
    EXPECT_EQ(b.ColorB(), QColor(Qt::red));
}

TEST(SweetButton, TheButtonTakesTheSizeOfItsPicture) {
    SweetButton b;
    b.setLoadImage(true);
    EXPECT_EQ(b.size(), SweetButton::ImageList1()[1].size());
    b.resize(100, 100);
    EXPECT_EQ(b.size(), SweetButton::ImageList1()[1].size());
    for (int i = 1; i <= 8; ++i) EXPECT_FALSE(SweetButton::ImageList1()[i].isNull()) << i;
}

}  // namespace
