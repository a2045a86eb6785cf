#pragma once

#include <QString>

class CMainFrame;

// Points port (0-based) of frame at path and opens it with F5's command, as the current port,
// the way the user does; true when it is open. Window tests reach it through
// MainFrameFixture::OpenPort; child programs of tests and the window benchmarks call it.
bool OpenPortOn(CMainFrame& frame, int port, const QString& path);
