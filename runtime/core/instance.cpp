#include "runtime/core/instance.h"

HINSTANCE InstanceHandle = nullptr;
