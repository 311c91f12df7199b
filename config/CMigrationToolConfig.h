#pragma once
#include <string>

#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// Everything one migration run needs to know: five mode flags and eight paths.
// A plain value; setters store what they are given.
class LANDSCAPE_MIGRATION_API CMigrationToolConfig
{
public:
    CMigrationToolConfig();
    CMigrationToolConfig(const CMigrationToolConfig& other);
    CMigrationToolConfig& operator=(const CMigrationToolConfig& other);
    ~CMigrationToolConfig();

    // True in check mode; otherwise when the connection file exists and the
    // landscape files are named and either absent or forced to be overwritten.
    bool Is_Valid() const;

    bool Is_Check() const;
    bool Is_Forced() const;
    bool Is_Simulation() const;
    bool Dump_Mappings() const;
    bool Dump_Contents() const;
    void Set_Check(bool value);
    void Set_Force(bool value);
    void Set_Simulation(bool value);
    void Set_Dump_Mappings(bool value);
    void Set_Dump_Contents(bool value);

    std::string Get_Qorlogon_INI_Path() const;
    std::string Get_Qormsg_INI_Path() const;
    std::string Get_Qorroute_INI_Path() const;
    std::string Get_Windows_Services_File() const;
    std::string Get_User_Landscape_XML_Path() const;
    std::string Get_Shared_Landscape_XML_Path() const;
    std::string Get_User_TEDUOptions_XML_Path() const;
    std::string Get_Shared_TEDUOptions_XML_Path() const;
    void Set_Qorlogon_INI_Path(const std::string& value);
    void Set_Qormsg_INI_Path(const std::string& value);
    void Set_Qorroute_INI_Path(const std::string& value);
    void Set_Windows_Services_File(const std::string& value);
    void Set_User_Landscape_XML_Path(const std::string& value);
    void Set_Shared_Landscape_XML_Path(const std::string& value);
    void Set_User_TEDUOptions_XML_Path(const std::string& value);
    void Set_Shared_TEDUOptions_XML_Path(const std::string& value);

    // One line per member, each path marked " (exists)   " or "**missing** ".
    std::string To_String() const;

private:
    bool m_check = false;
    bool m_force = false;
    bool m_simulation = false;
    bool m_dump_mappings = false;
    bool m_dump_contents = false;
    std::string m_qorlogon_ini_path;
    std::string m_qormsg_ini_path;
    std::string m_qorroute_ini_path;
    std::string m_services_file;
    std::string m_user_landscape_xml_path;
    std::string m_shared_landscape_xml_path;
    std::string m_user_teduoptions_xml_path;
    std::string m_shared_teduoptions_xml_path;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
