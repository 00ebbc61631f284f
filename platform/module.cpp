#include "platform/module.h"

HINSTANCE hInstance = nullptr;
