#pragma once

#include "core/receive/PortMessageSink.h"

#include <string>

struct CaptureOptions;
class SettingsStore;

// vrl-capture --replay FILE --port COMn=DEVICE: the data the capture's COMn received, written
// into the device with the gaps it came with (divided by --speed). The file is read and
// checked whole before the device is opened: a file that is not sound writes nothing.
class CaptureReplay : private PortMessageSink
{
public:
    CaptureReplay(const CaptureOptions& options, SettingsStore& store);

    // Runs to the end, or until a terminate signal arrives on signalFd (-1: none). The exit
    // code; what went wrong, and at the end what was written, on standard error.
    int Run(int signalFd);

private:
    void ShowMessage(const std::string& utf8) override;
    void ShowHint(const std::string& utf8) override;

    const CaptureOptions& m_options;
    SettingsStore& m_store;
};
