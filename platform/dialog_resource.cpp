#include "platform/dialog_resource.h"

#include "platform/resource_bytes.h"

HWND CreateDialogFromResource(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                              LPARAM initParam) {
    const auto* dialogTemplate =
        static_cast<const DLGTEMPLATE*>(FindResourceBytes(module, templateName, RT_DIALOG).data);
    if (!dialogTemplate) return nullptr;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, owner, dialogProc, initParam);
}
