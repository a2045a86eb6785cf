#pragma once
// What the window benchmarks stand on: the tests' pseudo-terminal pair (PtyPair.h) standing
// in for a serial cable, and settings and data folders of their own.

#include "PtyPair.h"

#include <QByteArray>
#include <QTemporaryDir>

namespace vrlbench {

// Temporary XDG_CONFIG_HOME and XDG_DATA_HOME for this process, so that a benchmark never
// touches the user's settings or send file. Make it before the QApplication.
struct TemporaryXdgHome
{
    QTemporaryDir m_dir;

    TemporaryXdgHome()
    {
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
    }
};

} // namespace vrlbench
