// CMigrationTool, entries and parameters: connections, shortcuts and then links
// copied into the folders that the folder step mapped, missing message-server
// ports filled in, and the two global parameters.
#include "CMigrationTool.h"

#include <cstdlib>
#include <string>

#include "CLogonManagerLibrary.h"
#include "CQorMsgMigrator.h"
#include "MessageServerPortRule.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// Connections and shortcuts before links: a link needs its target in place.
bool CMigrationTool::Migrate_Entries()
{
    QOR_TRACE_SCOPE(this);
    bool r = Migrate_Typed_Entries(TREE_ITEM_TYPE_CONNECTION);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_CONNECTION): %d\n", r);
    r = r && Migrate_Typed_Entries(TREE_ITEM_TYPE_QORSHORTCUT);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_QORSHORTCUT): %d\n", r);
    r = r && Migrate_Typed_Entries(TREE_ITEM_TYPE_LINK);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_LINK): %d\n", r);
    return trace_scope.Return(static_cast<int>(r)) != 0;
}

bool CMigrationTool::Migrate_Typed_Entries(TREE_ITEMS_TYPE nEntryType)
{
    QOR_TRACE_SCOPE(this, "nEntryType=%d", static_cast<int>(nEntryType));
    CStringArray keys;
    const int listed = m_source_library->GetEntryKeys("", &keys, nEntryType);
    if (listed != 0)
        return trace_scope.Return(trace_scope.Failed("GetEntryKeys failed with result %d\n", listed));
    trace_scope.Data("GetEntryKeys returned %d keys\n", static_cast<int>(keys.GetSize()));
    for (long long i = 0; i < keys.GetSize(); ++i)
        if (!Migrate_Entry(trace_scope, nEntryType, i, keys[i]))
            return trace_scope.Return(false);
    return trace_scope.Return(true);
}

// One entry of Migrate_Typed_Entries, traced as part of it: false ends the type.
// Read what the old file says of it, find where its folder went, add it there.
bool CMigrationTool::Migrate_Entry(TraceScope& trace_scope, TREE_ITEMS_TYPE nEntryType, long long index,
                                   const CString& s_key)
{
    const int i = static_cast<int>(index);
    if (s_key.IsEmpty())
        return trace_scope.Failed("Entry key at position %d is empty. Looks like a bug in qorcdm2.\n", i);
    SourceEntry entry;
    bool wanted = false;
    if (!Read_Entry_Type(trace_scope, i, s_key, nEntryType, entry.type, wanted))
        return false;
    if (!wanted)
        return true;
    CString d_parent_key;
    if (!Read_Entry_Data(trace_scope, i, s_key, entry) ||
        !Map_Entry_Parent(trace_scope, i, s_key, entry.parent, d_parent_key) ||
        !Read_Entry_Name(trace_scope, i, s_key, entry.name))
        return false;
    CString d_key = s_key; // asked for under its source key, so links find it
    return Add_Entry(trace_scope, i, s_key, entry, d_parent_key, d_key) && Map_Entry(trace_scope, i, s_key, d_key);
}

// `wanted` when the entry is not to be skipped and is of the type being migrated.
bool CMigrationTool::Read_Entry_Type(TraceScope& trace_scope, int i, const CString& s_key, TREE_ITEMS_TYPE nEntryType,
                                     int& type, bool& wanted)
{
    CString value;
    m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_SKIP_FLAG, value);
    if (value == "1")
        return true;
    const int result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_TYPE, value);
    if (result != 0)
        return trace_scope.Failed("GetEntryAttribute failed with result %d, i=%d, s_key=%s\n", result, i, s_key);
    if (value.IsEmpty())
        return trace_scope.Failed("GetEntryAttribute returned an empty type, i=%d, s_key=%s\n", i, s_key);
    type = std::atoi(value);
    if (type < 0)
        return trace_scope.Failed(
            "GetEntryAttribute returned a weird type: %d, i=%d, s_key=%s. Looks like a bug in qorcdm2.\n", type, i,
            s_key);
    wanted = type == nEntryType;
    return true;
}

// The properties (with a message-server port filled in) and the parent folder.
bool CMigrationTool::Read_Entry_Data(TraceScope& trace_scope, int i, const CString& s_key, SourceEntry& entry)
{
    int result = m_source_library->GetEntryData(s_key, &entry.properties);
    Set_Corresponding_MsgPort_If_Needed(entry.properties);
    if (result != 0)
        return trace_scope.Failed("GetEntryData failed with result: %d, i=%d, s_key=%s.\n", result, i, s_key);
    result = m_source_library->GetParentFolderKey(s_key, entry.parent);
    if (result != 0)
        return trace_scope.Failed("GetParentFolderKey failed with result: %d, i=%d, s_key=%s.\n", result, i, s_key);
    if (entry.parent.IsEmpty())
        return trace_scope.Failed("s_parent_key was empty, i=%d, s_key=%s.\n", i, s_key);
    return true;
}

// The new folder of the entry's old folder, which the folder tree migrated first.
bool CMigrationTool::Map_Entry_Parent(TraceScope& trace_scope, int i, const CString& s_key, const CString& s_parent_key,
                                      CString& d_parent_key)
{
    const auto mapped = m_uuid_mappings.find(s_parent_key);
    if (mapped == m_uuid_mappings.end())
        return trace_scope.Failed_Bug("s_parent_key %s is not found in the mappings. i=%d, s_key=%s.\n", s_parent_key,
                                      i, s_key);
    d_parent_key = mapped->second;
    if (d_parent_key.IsEmpty())
        return trace_scope.Failed_Bug("s_parent_key %s is mapped to an empty destination key. i=%d, s_key=%s.\n",
                                      s_parent_key, i, s_key);
    trace_scope.Data("s_parent_key %s is mapped to destination key %s, i=%d, s_key=%s.\n", s_parent_key, d_parent_key,
                     i, s_key);
    return true;
}

bool CMigrationTool::Read_Entry_Name(TraceScope& trace_scope, int i, const CString& s_key, CString& name)
{
    const int result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_NAME, name);
    if (result != 0)
        return trace_scope.Failed("GetEntryAttribute failed with code: %d, i=%d, s_key=%s.\n", result, i, s_key);
    if (name.IsEmpty())
        return trace_scope.Failed("GetEntryAttribute returned an empty name, i=%d, s_key=%s.\n", i, s_key);
    return true;
}

// A link points at its target; every other entry takes its properties along.
// `d_key` is the key asked for, and the key given.
bool CMigrationTool::Add_Entry(TraceScope& trace_scope, int i, const CString& s_key, SourceEntry& entry,
                               const CString& d_parent_key, CString& d_key)
{
    const CString d_next_key;
    int result = 0;
    if (entry.type == TREE_ITEM_TYPE_LINK) {
        CString strKeyEntryToBeLinked;
        result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_LINK_TARGET, strKeyEntryToBeLinked);
        if (result != 0 || strKeyEntryToBeLinked.IsEmpty())
            return trace_scope.Failed("GetEntryAttribute failed, result=%d, KeyEntryToBeLinked=%s, i=%d, s_key=%s.\n",
                                      result, strKeyEntryToBeLinked, i, s_key);
        trace_scope.Data("AddEntryLinkToFolder(name=%s, strKeyEntryToBeLinked=%s, d_parent_key=%s, d_key=%s, "
                         "d_next_key=%s), i=%d.\n",
                         entry.name, strKeyEntryToBeLinked, d_parent_key, d_key, d_next_key, i);
        result = m_destination_library->AddEntryLinkToFolder(entry.name, strKeyEntryToBeLinked, d_parent_key, d_key,
                                                             d_next_key);
    } else {
        trace_scope.Data("AddEntryToFolder(name=%s, type=%d, d_parent_key=%s, d_key=%s, d_next_key=%s), i=%d.\n",
                         entry.name, entry.type, d_parent_key, d_key, d_next_key, i);
        result = m_destination_library->AddEntryToFolder(entry.name, entry.type, d_parent_key, d_key, d_next_key,
                                                         &entry.properties);
    }
    if (result != 0)
        return trace_scope.Failed("Adding entry (link) failed with result=%d, i=%d, s_key=%s.\n", result, i, s_key);
    if (d_key.IsEmpty())
        return trace_scope.Failed("Adding entry (link) returned an empty key, i=%d, s_key=%s.\n", i, s_key);
    return true;
}

// Links added later find the entry under its old key.
bool CMigrationTool::Map_Entry(TraceScope& trace_scope, int i, const CString& s_key, const CString& d_key)
{
    if (m_uuid_mappings.count(s_key))
        return trace_scope.Failed_Bug("Source key was already in the mappings. i=%d, s_key=%s, d_key=%s.\n", i, s_key,
                                      d_key);
    trace_scope.Data("Mapping entry: i=%d, s_key=%s, d_key=%s.\n", i, s_key, d_key);
    m_uuid_mappings[s_key] = d_key;
    return true;
}

// A connection with a message server but no usable port takes the port of its
// system from the message-server table, which is filled at most once for this.
void CMigrationTool::Set_Corresponding_MsgPort_If_Needed(CMapStringToString& properties)
{
    std::string system, port;
    if (!MessageServerPortRule::Applies(properties, system))
        return;
    if (m_msg_migrator->Get_Message_Servers().empty() && !m_msg_servers_loaded) {
        m_msg_migrator->Do_Migration();
        m_msg_servers_loaded = true;
    }
    if (MessageServerPortRule::Port_Of(m_msg_migrator->Get_Message_Servers(), system, port))
        properties.SetAt(MessageServerPortRule::Port_Property, port.c_str());
}

bool CMigrationTool::Migrate_Configuration_Params()
{
    QOR_TRACE_SCOPE(this);
    CString value;
    bool ok = m_source_library->GetConfigurationParameter("SystemStatusURL", value) == 0;
    trace_scope.Data("GetConfigurationParameter(SystemStatusURL): %d, '%s'\n", ok, value);
    if (ok && !value.IsEmpty()) {
        ok = m_destination_library->SetConfigurationParameter("SystemStatusURL", value) == 0;
        trace_scope.Data("SetConfigurationParameter(SystemStatusURL): %d\n", ok);
    }
    if (ok)
        ok = m_source_library->GetConfigurationParameter("SingleSystemStatusURL", value) == 0;
    trace_scope.Data("GetConfigurationParameter(SingleSystemStatusURL): %d, '%s'\n", ok, value);
    if (ok && !value.IsEmpty()) {
        ok = m_destination_library->SetConfigurationParameter("SingleSystemStatusURL", value) == 0;
        trace_scope.Data("SetConfigurationParameter(SingleSystemStatusURL): %d\n", ok);
    }
    return trace_scope.Return(static_cast<int>(ok)) != 0;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
