// Runs each converter on known input and leaves the landscape files it wrote in
// the folder given on the command line, for a reader other than MSXML to check
// (check_with_xmllint.sh).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "CQorMsgMigrator.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;

namespace {

std::string g_out;

std::string Out(const char* name) { return g_out + "\\" + name; }

std::string Examples()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\')) + "\\examples\\";
}

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void Report(const char* scenario, bool result) { std::printf("%s=%d\n", scenario, result ? 1 : 0); }

void Message_Servers()
{
    CMigrationToolConfig config;
    config.Set_Qormsg_INI_Path(Examples() + "qormsg.ini");
    config.Set_Windows_Services_File(Examples() + "services");
    // A new shared landscape.
    config.Set_Shared_Landscape_XML_Path(Out("msg_new.xml"));
    Report("msg_new", CQorMsgMigrator(&config).Do_Migration());
    // An existing one: QAS is there, "prd" only in another letter case.
    Write(Out("msg_existing.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Messageservers>"
                                   "<Messageserver uuid=\"OLD-1\" name=\"QAS\" host=\"old-host\"/>"
                                   "<Messageserver uuid=\"OLD-2\" name=\"prd\"/></Messageservers></Landscape>");
    config.Set_Shared_Landscape_XML_Path(Out("msg_existing.xml"));
    Report("msg_existing", CQorMsgMigrator(&config).Do_Migration());
    // Twice against the same file: servers once, LDAP twice.
    config.Set_Shared_Landscape_XML_Path(Out("msg_twice.xml"));
    Report("msg_twice_1", CQorMsgMigrator(&config).Do_Migration());
    Report("msg_twice_2", CQorMsgMigrator(&config).Do_Migration());
}

void Routers()
{
    Write(Out("qorroute.ini"), "Outside=/H/ignored/H/\n"
                               "[Router]\n"
                               "   MyRouter=/H/host/S/3299/H/   \n"
                               "A = /H/x/H/\n"
                               "X=a\n"
                               "X=b\n"
                               "OnlyH=/H/\n"
                               "[router]\n"
                               "Lower=ignored\n"
                               "[Router]\n"
                               "Inner=/H/a/H/b\n");
    CMigrationToolConfig config;
    config.Set_Qorroute_INI_Path(Out("qorroute.ini"));
    config.Set_Shared_Landscape_XML_Path(Out("routers.xml"));
    Write(Out("routers.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Routers>"
                              "<Router uuid=\"OLD\" name=\"X\" router=\"old\"/></Routers></Landscape>");
    Report("routers", CQorRouteMigrator(&config).Do_Migration());
}

const char* const Options =
    "<?xml version=\"1.0\"?>\n<TeduOptions>"
    "<RuntimeConnections>"
    "<RuntimeConnection Invisible=\"true\"><Name>Runtime A</Name><Client>100</Client><Slc>true</Slc>"
    "<QorlogonDescr>ERP Production (PRD)</QorlogonDescr></RuntimeConnection>"
    "<RuntimeConnection Invisible=\"false\"><Name>Runtime B</Name><Comment>second</Comment>"
    "<QorlogonDescr>erp production (prd)</QorlogonDescr></RuntimeConnection>"
    "</RuntimeConnections>"
    "<SearchProviderConnections><SearchProviderConnection><Name>Search</Name><Url>https://s.example</Url>"
    "<UseSecureLoginClient>false</UseSecureLoginClient></SearchProviderConnection></SearchProviderConnections>"
    "<SidePanelConnections><SidePanelConnection><Name>Panel</Name><Mnemonic>PNL</Mnemonic></SidePanelConnection>"
    "</SidePanelConnections>"
    "<Other><RuntimeConnections><RuntimeConnection><Name>Nested</Name></RuntimeConnection></RuntimeConnections>"
    "</Other></TeduOptions>";

void Options_Files()
{
    Write(Out("shared_options.xml"), Options);
    Write(Out("user_options.xml"), "<TeduOptions><RuntimeConnections><RuntimeConnection><Name>Mine</Name>"
                                   "</RuntimeConnection></RuntimeConnections></TeduOptions>");
    Write(Out("options_shared.xml"), "<?xml version=\"1.0\"?>\n<Landscape><Services>"
                                     "<Service type=\"QORGUI\" uuid=\"QG-1\" name=\"ERP Production (PRD)\"/>"
                                     "</Services></Landscape>");
    Write(Out("options_user.xml"), "<?xml version=\"1.0\"?>\n<Landscape><Workspaces>"
                                   "<Workspace uuid=\"W-LOCAL\" name=\"Local\"/><Workspace uuid=\"W-2\" name=\"Two\"/>"
                                   "</Workspaces></Landscape>");
    CMigrationToolConfig config;
    config.Set_Shared_TEDUOptions_XML_Path(Out("shared_options.xml"));
    config.Set_User_TEDUOptions_XML_Path(Out("user_options.xml"));
    config.Set_Shared_Landscape_XML_Path(Out("options_shared.xml"));
    config.Set_User_Landscape_XML_Path(Out("options_user.xml"));
    Report("options_1", CTEDUOptionsMigrator(&config, true).Do_Migration());
    config.Set_User_TEDUOptions_XML_Path(Out("absent_options.xml"));
    Report("options_2", CTEDUOptionsMigrator(&config, true).Do_Migration());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: converter_scenarios <output folder>\n");
        return 2;
    }
    g_out = argv[1];
    Get_Trace(0);
    Message_Servers();
    Routers();
    Options_Files();
    return 0;
}
