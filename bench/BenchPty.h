#pragma once
// What the window benchmarks stand on: the tests' pseudo-terminal pair (PtyPair.h) standing
// in for a serial cable, and settings and data folders of their own (PrivateXdgFolders.h,
// made before the QApplication).

#include "PrivateXdgFolders.h"
#include "PtyPair.h"
