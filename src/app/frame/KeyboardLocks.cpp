#include "app/frame/KeyboardLocks.h"

#include <QGuiApplication>

#if defined(VRL_HAVE_X11) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
// After Qt: Xlib's macros (None, Bool, KeyPress...) would spoil Qt's headers.
#include <X11/XKBlib.h>
#endif

bool CKeyboardLocks::Read(unsigned& locks)
{
    locks = 0;
#if defined(VRL_HAVE_X11) && QT_CONFIG(xcb)
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    // By indicator name, not number: keymaps number their indicators differently.
    static const struct
    {
        const char* m_name;
        unsigned m_lock;
    } kIndicators[] = {{"Caps Lock", CapsLock}, {"Num Lock", NumLock}, {"Scroll Lock", ScrollLock}};
    bool known = false;
    for (const auto& indicator : kIndicators) {
        const Atom atom = XInternAtom(display, indicator.m_name, True);
        Bool on = False;
        if (atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
            known = true;
            if (on)
                locks |= indicator.m_lock;
        }
    }
    return known;
#else
    return false;
#endif
}
