#include "ModuleHandle.h"

// The linker's name for the start of this module's own image.
extern "C" IMAGE_DOS_HEADER __ImageBase; // NOLINT(bugprone-reserved-identifier)

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {
HINSTANCE g_module = reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE Get_Module_Handle() { return g_module; }

void Set_Module_Handle(HINSTANCE instance) { g_module = instance; }

}}}} // namespace QOR::FrontEnd::Landscape::Migration
