#pragma once

// The keyboard's lock state as the window system keeps it. Only X11 tells it to a client;
// everywhere else (Wayland, offscreen) Read says it cannot.
class CKeyboardLocks
{
public:
    enum Lock : unsigned
    {
        CapsLock = 1,
        NumLock = 2,
        ScrollLock = 4
    };

    // The locks that are on (bits of Lock); false where the platform gives no state.
    static bool Read(unsigned& locks);
};
