#pragma once
// One connection-data library (qorcdm.dll or qorcdm2.dll), loaded by the caller,
// opened on one file for reading and closed at the end. Nothing is ever added
// through it, so it writes nothing.
#include <string>

#include "CdmLibraryFile.h"
#include "ConnectionTree.h"

namespace Admin {

class ConnectionStore
{
public:
    using Library = QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;

    // An empty path opens the library's default for the current user.
    ConnectionStore(const Library& library, const std::string& path);
    ~ConnectionStore();
    ConnectionStore(const ConnectionStore&) = delete;
    ConnectionStore& operator=(const ConnectionStore&) = delete;

    bool Is_Open() const { return m_state == CDM_OK; }
    // Why it is not open: the library's own text.
    const std::string& Message() const { return m_message; }
    ConnectionTree Read() const;

private:
    void Read_Folders(ConnectionTree& tree) const;
    ConnectionTree::Folder Read_Folder(const CString& key, bool workspace) const;
    ConnectionTree::Entry Read_Entry(const CString& key) const;

    const QOR::FrontEnd::Landscape::Migration::CdmFunctionTable& m_functions;
    bool m_initialized = false;
    int m_state = -1;
    std::string m_message;
};

} // namespace Admin
