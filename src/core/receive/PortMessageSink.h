#pragma once

#include <string>

// Messages that the serial engine shows the user at once (an open that fails, settings the
// driver refuses): the window puts them in a message box with one OK button; tests record
// them. Called on the thread that called the failing operation (the window thread).
class PortMessageSink
{
public:
    virtual ~PortMessageSink() = default;
    virtual void ShowMessage(const std::string& utf8) = 0;
    // Besides the message: where the fault is and how to mend it (the device path, the
    // dialout group), for the status bar. Empty: the last open went well.
    virtual void ShowHint(const std::string& utf8) { (void)utf8; }
};
