// A process that ends at once, linked only while app/BridgeApp.cpp is not in the tree.
#include "app/BridgeApp.h"

int BridgerMain() { return 0; }
