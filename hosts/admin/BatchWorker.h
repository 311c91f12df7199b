#pragma once
// A worker process of the batch: reads profile folders from its standard input,
// one a line, migrates each in turn (ProfileMigration) and answers each with
// its record on standard output. Ends when its input does.
namespace Admin {

int Run_Batch_Worker();

} // namespace Admin
