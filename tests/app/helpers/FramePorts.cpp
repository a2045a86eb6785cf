#include "FramePorts.h"

#include "app/frame/MainFrm.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"

bool OpenPortOn(CMainFrame& frame, int port, const QString& path)
{
    frame.Map().SetPath(static_cast<unsigned>(port), path.toStdString());
    frame.OnPortSelected(port);
    frame.OnCommand(ID_OPEN_PORT);
    return frame.IsPortOpen(port);
}
