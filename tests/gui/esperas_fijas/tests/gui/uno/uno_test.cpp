#include <QTest>
// A comment that speaks of QTest::qWait(100) is no wait.
void Prueba(bool& listo) {
    QTest::qWaitFor([&] { return listo; }, 5000);
    QTest::qWait(50);
    /* nor is std::this_thread::sleep_for(1s)
       written across lines */
}
