// Loads one connection-data library the way the migration does, from the folder
// this program runs in, with the process tracing at level 4. Its exit code is
// the initialization state, and it prints the record's description; argument:
// 0 (qorcdm.dll) or 1. Further arguments (/LSXML=...) are the look-ups' own.
#include <cstdio>
#include <cstdlib>

#include "CLogonManagerLibrary.h"
#include "Tracing.h"

int main(int argc, char** argv)
{
    using namespace QOR::FrontEnd::Landscape::Migration;
    Get_Trace(4);
    CLogonManagerLibrary library(argc > 1 ? std::atoi(argv[1]) : 0, "connections", "", true);
    std::printf("description: %s\n", library.Get_Initialization_State().description.GetString());
    return library.Get_Initialization_State().state;
}
