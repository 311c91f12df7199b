#pragma once
// One connection-data library (qorcdm.dll or qorcdm2.dll), loaded from the
// program's folder and opened on one file for reading; closed and unloaded at
// the end. Nothing is ever added through it, so it writes nothing.
#include <string>

#include "CdmDataMan.h"
#include "ConnectionTree.h"
#include "UniqueHandle.h"

namespace Admin {

class ConnectionStore
{
public:
    // An empty path opens the library's default for the current user.
    ConnectionStore(const char* library, const std::string& path);
    ~ConnectionStore();
    ConnectionStore(const ConnectionStore&) = delete;
    ConnectionStore& operator=(const ConnectionStore&) = delete;

    bool Is_Open() const { return m_state == CDM_INIT_OK; }
    // Why it is not open: the library's own text.
    const std::string& Message() const { return m_message; }
    ConnectionTree Read() const;

private:
    template <typename F>
    F Function(const char* name) const;
    void Read_Folders(ConnectionTree& tree) const;
    ConnectionTree::Folder Read_Folder(const CString& key, bool workspace) const;
    ConnectionTree::Entry Read_Entry(const CString& key) const;

    QOR::FrontEnd::Util::unique_hmodule m_module;
    int m_state = -1;
    std::string m_message;
};

} // namespace Admin
