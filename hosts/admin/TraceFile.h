#pragma once
// Where landscape_migration.dll puts this process's trace file.
#include <string>

namespace Admin { namespace TraceFile {

// The trace directory, or the folder of landscape_migration.dll, where the file
// is made when there is none (the current directory during a migration).
std::string Folder();
// The process's trace file; empty when nothing has been written to it.
std::string Written();
// The process's trace file when it has grown past `size` bytes (one profile's
// lines in a process that migrates many); empty otherwise.
std::string Written_Past(long long size);
// A trace directory that comes from the user's registry, which code run with a
// registry of its own does not see, is handed on in the environment.
void Keep_Folder_Beyond_Registry();
// Its size now; 0 when there is none.
long long Size();

}} // namespace Admin::TraceFile
