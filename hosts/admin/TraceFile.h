#pragma once
// Where landscape_migration.dll puts this process's trace file.
#include <string>

namespace Admin { namespace TraceFile {

// The process's trace file, named as the migration names it (after the
// calling thread), whether it exists or not: in the trace directory, or in
// the folder of landscape_migration.dll, where the file is made when there is
// none (the current directory during a migration).
std::string Path();
// The process's trace file; empty when nothing has been written to it.
std::string Written();
// A trace directory that comes from the user's registry, which code run with a
// registry of its own does not see, is handed on in the environment.
void Keep_Folder_Beyond_Registry();
// The size of a file; 0 when there is none.
long long Size(const std::string& path);

}} // namespace Admin::TraceFile
