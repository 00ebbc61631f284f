// A resource's bytes in a module: found, loaded and locked in one place.
#ifndef PELLFORM_RESOURCE_BYTES_H
#define PELLFORM_RESOURCE_BYTES_H

#include <windows.h>

// Mapped with the module, so they live as long as it is loaded.
struct ResourceBytes {
    const void* data = nullptr;  // null when the module lacks the resource
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type);

#endif
