#pragma once
// Where landscape_migration.dll puts this process's trace file.
#include <string>

namespace Admin { namespace TraceFile {

// The trace directory, or the folder of landscape_migration.dll, where the file
// is made when there is none (the current directory during a migration).
std::string Folder();
// The process's trace file; empty when nothing has been written to it.
std::string Written();

}} // namespace Admin::TraceFile
