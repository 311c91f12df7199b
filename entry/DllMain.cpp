#include <windows.h>

#include "ModuleHandle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        QOR::FrontEnd::Landscape::Migration::Set_Module_Handle(instance);
    return TRUE;
}
