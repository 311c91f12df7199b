#include "CLandscapeRepair.h"

#include "CLandscapeXmlDocument.h"
#include "LandscapeDocuments.h"
#include "LandscapeDom.h"

CLandscapeRepair::CLandscapeRepair(const std::string& user_landscape, const std::string& shared_landscape,
                                   const std::string& server_landscape)
    : m_user_landscape(user_landscape), m_shared_landscape(shared_landscape), m_server_landscape(server_landscape)
{
}

bool CLandscapeRepair::Do_Update()
{
    if (m_server_landscape.empty())
        return false;
    Qorcdm2::CLandscapeXmlDocument user(false, nullptr);
    CString message;
    if (!user.Load_From_File(CString(m_user_landscape.c_str()), message, true))
        return false;
    Qorcdm2::LandscapeDocuments::Detach_From_Store(user); // DOM work below
    const IXMLDOMElementPtr root = Qorcdm2::Dom::Root(user.m_pXmlDocument);
    if (!root || Qorcdm2::Dom::Node_Name(root) != "Landscape")
        return false;
    if (user.GetIncludeIndex0Url() == m_server_landscape.c_str())
        return true;
    user.Set_Server_Include_URL(CString(m_server_landscape.c_str()));
    return user.Save_To_File(CString(m_user_landscape.c_str()));
}
