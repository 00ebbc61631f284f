#include "common/module.h"

HINSTANCE hInstance = nullptr;
