// Runs each converter on known input and leaves the landscape files it wrote in
// the folder given on the command line, for a reader other than MSXML to check
// (check_with_xmllint.sh). Prints "<scenario>=<result>" for each run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "CQorMsgMigrator.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: converter_scenarios <output folder>\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + "\\";
    const auto path = [&out](const std::string& name) { return out + name; };
    const auto write = [&out](const char* name, const std::string& text) {
        std::ofstream(out + name, std::ios::binary) << text;
    };
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string examples = std::string(program, std::strrchr(program, '\\')) + "\\examples\\";
    Get_Trace(0);
    CMigrationToolConfig config;

    // Message servers into a new landscape; into one that has QAS, and "prd" in
    // another letter case; twice into the same file.
    config.Set_Qormsg_INI_Path(examples + "qormsg.ini");
    config.Set_Windows_Services_File(examples + "services");
    write("msg_existing.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Messageservers>"
                              "<Messageserver uuid=\"OLD-1\" name=\"QAS\" host=\"old-host\"/>"
                              "<Messageserver uuid=\"OLD-2\" name=\"prd\"/></Messageservers></Landscape>");
    for (const char* scenario : {"msg_new", "msg_existing", "msg_twice", "msg_twice"}) {
        config.Set_Shared_Landscape_XML_Path(path(std::string(scenario) + ".xml"));
        std::printf("%s=%d\n", scenario, CQorMsgMigrator(&config).Do_Migration() ? 1 : 0);
    }

    // Routers: blanks, a trailing /H/, a name given twice, other sections, and a
    // router the landscape has already, in the first Routers element that is a
    // child of the root.
    write("qorroute.ini", "Outside=/H/ignored/H/\n[Router]\n   MyRouter=/H/host/S/3299/H/   \nA = /H/x/H/\nX=a\nX=b\n"
                          "OnlyH=/H/\n[router]\nLower=ignored\n[Router]\nInner=/H/a/H/b\n");
    write("routers.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Other><Routers/></Other><!-- Routers -->"
          "<Routers><Router uuid=\"OLD\" name=\"X\" router=\"old\"/></Routers><Routers/></Landscape>");
    config.Set_Qorroute_INI_Path(path("qorroute.ini"));
    config.Set_Shared_Landscape_XML_Path(path("routers.xml"));
    std::printf("routers=%d\n", CQorRouteMigrator(&config).Do_Migration() ? 1 : 0);

    // Options files: the machine's (three lists, one nested too deep to count)
    // and the user's, twice; the second time the user has none.
    write("shared_options.xml",
          "<?xml version=\"1.0\"?>\n<TeduOptions><RuntimeConnections>"
          "<RuntimeConnection Invisible=\"true\"><Name>Runtime A</Name><Client>100</Client><Slc>true</Slc>"
          "<QorlogonDescr>ERP Production (PRD)</QorlogonDescr></RuntimeConnection>"
          "<RuntimeConnection Invisible=\"false\"><Name>Runtime B</Name><Comment>second</Comment>"
          "<QorlogonDescr>erp production (prd)</QorlogonDescr></RuntimeConnection></RuntimeConnections>"
          "<SearchProviderConnections><SearchProviderConnection><Name>Search</Name><Url>https://s.example</Url>"
          "<UseSecureLoginClient>false</UseSecureLoginClient></SearchProviderConnection></SearchProviderConnections>"
          "<SidePanelConnections><SidePanelConnection><Name>Panel</Name><Mnemonic>PNL</Mnemonic>"
          "</SidePanelConnection></SidePanelConnections><Other><RuntimeConnections><RuntimeConnection>"
          "<Name>Nested</Name></RuntimeConnection></RuntimeConnections></Other></TeduOptions>");
    write("user_options.xml", "<TeduOptions><RuntimeConnections><RuntimeConnection><Name>Mine</Name>"
                              "</RuntimeConnection></RuntimeConnections></TeduOptions>");
    write("options_shared.xml", "<?xml version=\"1.0\"?>\n<Landscape><Services>"
                                "<Service type=\"QORGUI\" uuid=\"QG-1\" name=\"ERP Production (PRD)\"/>"
                                "</Services></Landscape>");
    write("options_user.xml", "<?xml version=\"1.0\"?>\n<Landscape><Workspaces><Workspace uuid=\"W-LOCAL\" "
                              "name=\"Local\"/><Workspace uuid=\"W-2\" name=\"Two\"/></Workspaces></Landscape>");
    config.Set_Shared_TEDUOptions_XML_Path(path("shared_options.xml"));
    config.Set_Shared_Landscape_XML_Path(path("options_shared.xml"));
    config.Set_User_Landscape_XML_Path(path("options_user.xml"));
    for (const char* user : {"user_options.xml", "absent_options.xml"}) {
        config.Set_User_TEDUOptions_XML_Path(path(user));
        std::printf("options=%d\n", CTEDUOptionsMigrator(&config, true).Do_Migration() ? 1 : 0);
    }
    return 0;
}
