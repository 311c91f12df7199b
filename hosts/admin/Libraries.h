#pragma once
// The two connection-data libraries, loaded once for the life of the front end's
// process from the migration library's folder.
#include "CdmLibraryFile.h"

namespace Admin {

struct Libraries
{
    using Library = QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;

    const Library old{Library::Old_Logon_Manager};
    const Library landscape{Library::Service_Landscape};
};

} // namespace Admin
