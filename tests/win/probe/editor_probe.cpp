// Test-only export: the editor state, so tests can arrange and read what the
// commands that set it (in later work) would. Never part of the shipped DLL.
#include "editor/editor_state.h"

extern "C" EditorState* WINAPI PellformProbeEditorState() { return &editor; }
