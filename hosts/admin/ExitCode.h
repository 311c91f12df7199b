#pragma once
// What landscape_migrate.exe tells a script by its exit code (--help,
// docs/administrators.md).

namespace Admin {

enum ExitCode : int
{
    Exit_Success = 0, // done: migrated, already migrated, nothing to migrate, verified without difference
    Exit_Failed = 1,  // a profile or the migration step failed, or a verification found differences
    Exit_Usage = 2,   // the command line is wrong; nothing was done
    Exit_Xml = 3,     // a landscape file is not well-formed XML, or an XML operation failed
    Exit_Fatal = 4    // found before any work: a missing or unwritable path; nothing was done
};

} // namespace Admin
