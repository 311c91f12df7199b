#pragma once
#include <windows.h>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// This library's own module handle, recorded at process attach. Code linked
// into another module (a test program) gets that module's handle.
HINSTANCE Get_Module_Handle();
void Set_Module_Handle(HINSTANCE instance);

}}}} // namespace QOR::FrontEnd::Landscape::Migration
