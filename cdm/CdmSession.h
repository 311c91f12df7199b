#pragma once
// One connection-data library (qorcdm.dll or qorcdm2.dll) opened on one file for
// reading and closed at the end, its tree handed back as plain data. Nothing is
// ever added through it, so it writes nothing. The hosts show trees through it,
// the front end verifies through it, and the tests read through it.
#include <string>

#include "CdmLibraryFile.h"
#include "ConnectionTree.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

class LANDSCAPE_MIGRATION_API CdmSession
{
public:
    // Opens `path` through `library` (loaded by the caller); an empty path
    // opens the library's default for the current user.
    CdmSession(const CdmLibraryFile& library, const std::string& path);
    ~CdmSession();
    CdmSession(const CdmSession&) = delete;
    CdmSession& operator=(const CdmSession&) = delete;

    bool Is_Open() const { return m_state == CDM_OK; }
    // What CdmDataManInit returned: the initialization state, 0 when open.
    int State() const { return m_state; }
    // Why it is not open: the library's own text (or that it cannot be loaded).
    const std::string& Message() const { return m_message; }
    // Every folder and entry, in the order the library lists them; empty when
    // not open.
    ConnectionTree Read() const;

private:
    void Read_Folders(ConnectionTree& tree) const;
    ConnectionTree::Folder Read_Folder(const CString& key, bool workspace) const;
    ConnectionTree::Entry Read_Entry(const CString& key) const;

    const CdmFunctionTable& m_functions;
    bool m_initialized = false;
    int m_state = -1;
    std::string m_message;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
