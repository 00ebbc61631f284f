#include "platform/dialog_resource.h"

HWND CreateDialogFromResource(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                              LPARAM initParam) {
    HRSRC resource = FindResourceA(module, templateName, RT_DIALOG);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return nullptr;
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    if (!dialogTemplate) return nullptr;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, owner, dialogProc, initParam);
}
