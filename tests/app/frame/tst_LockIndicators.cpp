#include "app/frame/KeyboardLocks.h"
#include "app/frame/LockIndicators.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QtTest>

#if defined(VRL_HAVE_X11) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

// The caps-lock, num-lock and scroll-lock panes of the status bar: what they show, when they
// read the keyboard again, and that they are left out where nobody can tell the state.
class tst_LockIndicators : public QObject
{
    Q_OBJECT
private:
    static QStringList Texts(const CLockIndicators& locks)
    {
        return {locks.Pane(0)->text(), locks.Pane(1)->text(), locks.Pane(2)->text()};
    }

private Q_SLOTS:
    // With a reader standing in for the keyboard: a key event or the program becoming active
    // makes the panes follow the state, several events giving one reading.
    void followsTheKeyboard()
    {
        QMainWindow window;
        auto* edit = new QLineEdit(&window);
        window.setCentralWidget(edit);
        unsigned state = CKeyboardLocks::NumLock;
        int readings = 0;
        auto* locks = new CLockIndicators(window.statusBar(), [&](unsigned& l) {
            ++readings;
            l = state;
            return true;
        });
        QVERIFY(locks->HasPanes());
        QCOMPARE(Texts(*locks), QStringList({"", "数字", ""}));
        // Right of the message pane, in the order caps, num, scroll.
        QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
        QVERIFY(labels.indexOf(locks->Pane(0)) < labels.indexOf(locks->Pane(2)));

        state = CKeyboardLocks::CapsLock | CKeyboardLocks::ScrollLock;
        QCOMPARE(Texts(*locks), QStringList({"", "数字", ""})); // not read without a cause
        readings = 0;
        QTest::keyClick(edit, Qt::Key_CapsLock); // press and release: one reading
        QTRY_COMPARE(Texts(*locks), QStringList({"大写", "", "滚动"}));
        QCoreApplication::processEvents();
        QCOMPARE(readings, 1);

        state = 0;
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &activate);
        QTRY_COMPARE(Texts(*locks), QStringList({"", "", ""}));
    }

    // No state (offscreen, Wayland): no panes and not a word about it.
    void leftOutWithoutState()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QMainWindow window;
        auto* locks = new CLockIndicators(window.statusBar(), [](unsigned&) { return false; });
        QVERIFY(!locks->HasPanes());
        QVERIFY(window.statusBar()->findChildren<QLabel*>().isEmpty());
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            unsigned l = 0;
            QVERIFY(!CKeyboardLocks::Read(l));
            QVERIFY(!CLockIndicators(window.statusBar()).HasPanes());
        }
    }

    // On X11 (run under xvfb-run): the panes follow the server's lock state.
    void readsTheX11Keyboard()
    {
#if defined(VRL_HAVE_X11) && QT_CONFIG(xcb)
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->display())
            QSKIP("not on X11");
        Display* display = x11->display();
        QMainWindow window;
        auto* edit = new QLineEdit(&window);
        window.setCentralWidget(edit);
        CLockIndicators locks(window.statusBar());
        QVERIFY(locks.HasPanes());

        auto lock = [&](unsigned mask, bool on) {
            XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
            XSync(display, False);
            QTest::keyClick(edit, Qt::Key_A);
        };
        lock(LockMask, true);
        QTRY_COMPARE(locks.Pane(0)->text(), QStringLiteral("大写"));
        lock(LockMask, false);
        QTRY_COMPARE(locks.Pane(0)->text(), QString());
        lock(Mod2Mask, true); // num lock in the usual keymaps
        QTRY_COMPARE(locks.Pane(1)->text(), QStringLiteral("数字"));
        lock(Mod2Mask, false);
        QTRY_COMPARE(locks.Pane(1)->text(), QString());
#else
        QSKIP("built without X11");
#endif
    }
};

QTEST_MAIN(tst_LockIndicators)
#include "tst_LockIndicators.moc"
