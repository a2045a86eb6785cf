#pragma once

#include <string>

// A port's name, "COM1" for the 0-based port 0: what the user sees and types, and the name
// of the port's entries in the settings file ("COM1", "COM1Modbus"), which must not change.
std::string PortName(unsigned port);
