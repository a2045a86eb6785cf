#include "TestPtyPair.h"

TestPtyPair::TestPtyPair() : PtyPair(Raw) {}
