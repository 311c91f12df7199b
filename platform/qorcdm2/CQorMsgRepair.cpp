#include "CQorMsgRepair.h"

#include <set>

#include "CLandscapeXmlDocument.h"
#include "CQorMsgParser.h"
#include "LandscapeDocuments.h"
#include "LandscapeDom.h"
#include "Uuid.h"

namespace {

// System IDs of the connections of a landscape.
std::set<std::string> Systems_In_Use(IXMLDOMDocument* landscape)
{
    std::set<std::string> systems;
    const IXMLDOMElementPtr root = Qorcdm2::Dom::Root(landscape);
    const IXMLDOMElementPtr services = root ? Qorcdm2::Dom::First_Child(root, "Services") : IXMLDOMElementPtr();
    if (!services)
        return systems;
    Qorcdm2::Dom::For_Each_Child(services, [&](IXMLDOMElement* service) {
        Qorcdm2::Dom::For_Each_Child(service, [&](IXMLDOMElement* property) {
            if (Qorcdm2::Dom::Node_Name(property) == "Property" &&
                Qorcdm2::Dom::Attribute(property, "name") == "SystemID")
                systems.insert(Qorcdm2::Dom::Attribute(property, "value"));
            return true;
        });
        return true;
    });
    systems.erase(std::string());
    return systems;
}

void Add_Server(IXMLDOMElement* servers, const SMessageServer& server)
{
    const IXMLDOMElementPtr element = Qorcdm2::Dom::Add_Child(servers, "Messageserver");
    Qorcdm2::Dom::Set_Attribute(element, "uuid", QOR::FrontEnd::Util::Generate_Uuid());
    Qorcdm2::Dom::Set_Attribute(element, "name", server.name);
    Qorcdm2::Dom::Set_Attribute(element, "description", server.description);
    Qorcdm2::Dom::Set_Attribute(element, "host", server.host);
    if (server.port)
        Qorcdm2::Dom::Set_Attribute(element, "port", std::to_string(server.port));
}

} // namespace

CQorMsgRepair::CQorMsgRepair(const std::string& qormsg_ini, const std::string& services_file,
                             const std::string& user_landscape, const std::string& shared_landscape)
    : m_qormsg_ini(qormsg_ini), m_services_file(services_file), m_user_landscape(user_landscape),
      m_shared_landscape(shared_landscape)
{
}

bool CQorMsgRepair::Do_Migration()
{
    CString message;
    Qorcdm2::CLandscapeXmlDocument user(false, nullptr);
    if (!user.Load_From_File(CString(m_user_landscape.c_str()), message, true))
        return false;
    Qorcdm2::LandscapeDocuments::Detach_From_Store(user); // DOM work on both documents
    std::set<std::string> missing = Systems_In_Use(user.m_pXmlDocument);

    Qorcdm2::CLandscapeXmlDocument shared(false, nullptr);
    if (!shared.Load_From_File(CString(m_shared_landscape.c_str()), message, true))
        Qorcdm2::Dom::Initialize_Landscape(shared.m_pXmlDocument);
    Qorcdm2::LandscapeDocuments::Detach_From_Store(shared);
    const IXMLDOMElementPtr root = Qorcdm2::Dom::Root(shared.m_pXmlDocument);
    if (!root || Qorcdm2::Dom::Node_Name(root) != "Landscape")
        return false;
    const IXMLDOMElementPtr servers = Qorcdm2::Dom::Child_Or_New(root, "Messageservers");
    Qorcdm2::Dom::For_Each_Child(servers, [&](IXMLDOMElement* server) {
        missing.erase(Qorcdm2::Dom::Attribute(server, "name"));
        return true;
    });
    if (missing.empty())
        return true;

    CQorMsgParser::Servers known;
    bool ldapFound = false;
    SLDAP ldap;
    CQorMsgParser::Parse_Qormsg_Ini(m_qormsg_ini, known, ldapFound, ldap);
    CQorMsgParser::Parse_Services(m_services_file, known);
    bool added = false;
    for (const std::string& system : missing) {
        const auto server = known.find(system);
        if (server != known.end()) {
            Add_Server(servers, server->second);
            added = true;
        }
    }
    return !added || shared.Save_To_File(CString(m_shared_landscape.c_str()));
}
