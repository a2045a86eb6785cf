#pragma once

#include "FramePorts.h"
#include "TestPtyPair.h"

#include <QStringList>

#include <memory>

class CMainFrame;
class IniSettingsStore;

// What a window test of the main window starts from: fresh temporary settings and data
// folders, the settings store in them, and a main window whose message boxes are collected
// in m_messages instead of shown. A test class derives from it and calls StartFixture in
// init() and EndFixture in cleanup().
class MainFrameFixture
{
protected:
    MainFrameFixture();
    ~MainFrameFixture();

    void StartFixture();
    // Destroys the window first (it stores its settings at exit), then the store and the
    // folders.
    void EndFixture();
    // A new main window over the store; the previous one is destroyed first.
    CMainFrame& NewFrame();
    // Points port (0-based) at path (or the pseudo-terminal) and opens it with F5's command,
    // as the current port; when it does not open the test fails with the messages shown,
    // and false lets the caller stop.
    bool OpenPort(int port, const QString& path);
    bool OpenPort(int port, const TestPtyPair& pty);

    std::unique_ptr<TestXdgFolders> m_xdg;
    std::unique_ptr<IniSettingsStore> m_store;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_messages;
};
