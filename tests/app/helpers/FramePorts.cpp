#include "FramePorts.h"

#include "CommandIds.h"
#include "MainFrm.h"
#include "PortMap.h"

bool OpenPortOn(CMainFrame& frame, int port, const QString& path)
{
    frame.Map().SetPath(static_cast<unsigned>(port), path.toStdString());
    frame.OnPortSelected(port);
    frame.OnCommand(ID_OPEN_PORT);
    return frame.IsPortOpen(port);
}
