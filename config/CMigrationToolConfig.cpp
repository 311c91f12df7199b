#include "CMigrationToolConfig.h"

#include <windows.h>
#include <shlwapi.h>

#include <sstream>

#include "FileSystem.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const char* On_Off(bool on) { return on ? "true" : "false"; }

void Write_Path(std::ostream& out, const char* label, const std::string& path)
{
    const bool exists = QOR::FrontEnd::Util::FileSystem::File_Exists(path);
    out << label << (exists ? " (exists)   " : "**missing** ") << path << std::endl;
}

} // namespace

CMigrationToolConfig::CMigrationToolConfig()
{
    QOR_TRACE_SCOPE(this, "TID: %d, %s[%p]/%d: %s", GetCurrentThreadId(), scope_.Name(), this, __LINE__, To_String());
}

CMigrationToolConfig::CMigrationToolConfig(const CMigrationToolConfig& other)
    : m_check(other.m_check), m_force(other.m_force), m_simulation(other.m_simulation),
      m_dump_mappings(other.m_dump_mappings), m_dump_contents(other.m_dump_contents),
      m_qorlogon_ini_path(other.m_qorlogon_ini_path), m_qormsg_ini_path(other.m_qormsg_ini_path),
      m_qorroute_ini_path(other.m_qorroute_ini_path), m_services_file(other.m_services_file),
      m_user_landscape_xml_path(other.m_user_landscape_xml_path),
      m_shared_landscape_xml_path(other.m_shared_landscape_xml_path),
      m_user_teduoptions_xml_path(other.m_user_teduoptions_xml_path),
      m_shared_teduoptions_xml_path(other.m_shared_teduoptions_xml_path)
{
    QOR_TRACE_SCOPE(this, "other=%s\nthis=%s\n", other.To_String(), To_String());
}

CMigrationToolConfig& CMigrationToolConfig::operator=(const CMigrationToolConfig& other) = default;

CMigrationToolConfig::~CMigrationToolConfig() = default;

bool CMigrationToolConfig::Is_Valid() const
{
    QOR_TRACE_SCOPE(this);
    if (Is_Check()) {
        trace_scope.Data("Is_Check() returned true\n");
        return trace_scope.Return(true);
    }

    const bool qorlogonOn = !m_qorlogon_ini_path.empty();
    const bool userOptionsOn = !m_user_teduoptions_xml_path.empty();
    const bool sharedOptionsOn = !m_shared_teduoptions_xml_path.empty();
    const bool userLandscapeOn = !m_user_landscape_xml_path.empty();
    const bool sharedLandscapeOn = !m_shared_landscape_xml_path.empty();
    trace_scope.Data("qorlogon_ini_on=%s,user_teduoptions_on=%s,shared_teduoptions_on=%s,user_landscape_on=%s,"
                     "shared_landscape_on=%s\n",
                     On_Off(qorlogonOn), On_Off(userOptionsOn), On_Off(sharedOptionsOn), On_Off(userLandscapeOn),
                     On_Off(sharedLandscapeOn));

    auto exists = [](const std::string& path) { return PathFileExistsA(path.c_str()) != FALSE; };
    const bool forced = Is_Forced();
    const bool qorlogonOk = qorlogonOn && exists(m_qorlogon_ini_path);
    const bool userOptionsOk = !userOptionsOn || exists(m_user_teduoptions_xml_path);
    const bool sharedOptionsOk = !sharedOptionsOn || exists(m_shared_teduoptions_xml_path);
    const bool userLandscapeOk = userLandscapeOn && (!exists(m_user_landscape_xml_path) || forced);
    const bool sharedLandscapeOk = sharedLandscapeOn && (!exists(m_shared_landscape_xml_path) || forced);
    trace_scope.Data("qorlogon_ini_ok=%d,user_teduoptions_ok=%d,shared_teduoptions_ok=%d,user_landscape_ok=%d,"
                     "shared_landscape_ok=%d\n",
                     qorlogonOk, userOptionsOk, sharedOptionsOk, userLandscapeOk, sharedLandscapeOk);

    if (!qorlogonOk)
        return trace_scope.Return(trace_scope.Failed("qorlogon.ini file %s does not exist.\n", m_qorlogon_ini_path));
    if (!userOptionsOk)
        trace_scope.Data("User TEDUOptions file %s does not exist.\n", m_user_teduoptions_xml_path);
    if (!sharedOptionsOk)
        trace_scope.Data("Shared TEDUOptions file %s does not exist.\n", m_shared_teduoptions_xml_path);
    if (!userLandscapeOk)
        return trace_scope.Return(trace_scope.Failed(
            "User QOR Landscape file %s cannot be overwritten. Use forced migration to overwrite it.\n",
            m_user_landscape_xml_path));
    if (!sharedLandscapeOk)
        return trace_scope.Return(trace_scope.Failed(
            "Shared QOR Landscape file %s cannot be overwritten. Use forced migration to overwrite it.\n",
            m_shared_landscape_xml_path));
    return trace_scope.Return(true);
}

// Flag getters trace their result as a number, path getters as text.
#define QOR_CONFIG_FLAG(Getter, Setter, member)                                                                        \
    bool CMigrationToolConfig::Getter() const                                                                          \
    {                                                                                                                  \
        QOR_TRACE_SCOPE(this);                                                                                         \
        return trace_scope.Return(static_cast<int>(member)) != 0;                                                      \
    }                                                                                                                  \
    void CMigrationToolConfig::Setter(bool value)                                                                      \
    {                                                                                                                  \
        QOR_TRACE_SCOPE(this, "value=%d", value);                                                                      \
        (member) = value;                                                                                              \
    }

#define QOR_CONFIG_PATH(Name, member)                                                                                  \
    std::string CMigrationToolConfig::Get_##Name() const                                                               \
    {                                                                                                                  \
        QOR_TRACE_SCOPE(this);                                                                                         \
        return trace_scope.Return(member);                                                                             \
    }                                                                                                                  \
    void CMigrationToolConfig::Set_##Name(const std::string& value)                                                    \
    {                                                                                                                  \
        QOR_TRACE_SCOPE(this, "value=%s", value);                                                                      \
        (member) = value;                                                                                              \
        trace_scope.Data(#member "=%s\n", member);                                                                     \
    }

QOR_CONFIG_FLAG(Is_Check, Set_Check, m_check)
QOR_CONFIG_FLAG(Is_Forced, Set_Force, m_force)
QOR_CONFIG_FLAG(Is_Simulation, Set_Simulation, m_simulation)
QOR_CONFIG_FLAG(Dump_Mappings, Set_Dump_Mappings, m_dump_mappings)
QOR_CONFIG_FLAG(Dump_Contents, Set_Dump_Contents, m_dump_contents)

QOR_CONFIG_PATH(Qorlogon_INI_Path, m_qorlogon_ini_path)
QOR_CONFIG_PATH(Qormsg_INI_Path, m_qormsg_ini_path)
QOR_CONFIG_PATH(Qorroute_INI_Path, m_qorroute_ini_path)
QOR_CONFIG_PATH(Windows_Services_File, m_services_file)
QOR_CONFIG_PATH(User_Landscape_XML_Path, m_user_landscape_xml_path)
QOR_CONFIG_PATH(Shared_Landscape_XML_Path, m_shared_landscape_xml_path)
QOR_CONFIG_PATH(User_TEDUOptions_XML_Path, m_user_teduoptions_xml_path)
QOR_CONFIG_PATH(Shared_TEDUOptions_XML_Path, m_shared_teduoptions_xml_path)

#undef QOR_CONFIG_FLAG
#undef QOR_CONFIG_PATH

std::string CMigrationToolConfig::To_String() const
{
    std::ostringstream out;
    out << "CMigrationToolConfig:" << std::endl;
    out << "  check                       = " << m_check << std::endl;
    out << "  force                       = " << m_force << std::endl;
    out << "  simulation                  = " << m_simulation << std::endl;
    out << "  dump_mappings               = " << m_dump_mappings << std::endl;
    out << "  dump_contents               = " << m_dump_contents << std::endl;
    Write_Path(out, "  qorlogon_ini_path           = ", m_qorlogon_ini_path);
    Write_Path(out, "  qormsg_ini_path             = ", m_qormsg_ini_path);
    Write_Path(out, "  qorroute_ini_path           = ", m_qorroute_ini_path);
    Write_Path(out, "  services_file               = ", m_services_file);
    Write_Path(out, "  user_landscape_xml_path     = ", m_user_landscape_xml_path);
    Write_Path(out, "  shared_landscape_xml_path   = ", m_shared_landscape_xml_path);
    Write_Path(out, "  user_teduoptions_xml_path   = ", m_user_teduoptions_xml_path);
    Write_Path(out, "  shared_teduoptions_xml_path = ", m_shared_teduoptions_xml_path);
    return out.str();
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
