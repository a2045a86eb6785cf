#pragma once

#include "app/monitor/MonitorView.h"

// The monitor of the main window: CMonitorView with the hint it shows while empty.
class CFrameMonitorView : public CMonitorView
{
    Q_OBJECT
public:
    explicit CFrameMonitorView(QWidget* parent = nullptr);
};
