// The module whose resources the windows and dialogs load: the add-in DLL, set
// when it is attached. Kept at the bottom so every layer can reach it.
#ifndef PELLFORM_MODULE_H
#define PELLFORM_MODULE_H

#include <windows.h>

extern HINSTANCE hInstance;

#endif
