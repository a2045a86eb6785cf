#include <QMainWindow>
#include <QtTest>

// Checks that the window toolkit starts offscreen; replaced by real window tests later.
class tst_Smoke : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsOffscreen()
    {
        QMainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
};

QTEST_MAIN(tst_Smoke)
#include "tst_Smoke.moc"
