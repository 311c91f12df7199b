#include "ModuleHandle.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {
HINSTANCE g_module = reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE Get_Module_Handle() { return g_module; }

void Set_Module_Handle(HINSTANCE instance) { g_module = instance; }

}}}} // namespace QOR::FrontEnd::Landscape::Migration
