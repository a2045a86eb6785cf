#include "core/base/PortName.h"

std::string PortName(unsigned port)
{
    return "COM" + std::to_string(port + 1);
}
