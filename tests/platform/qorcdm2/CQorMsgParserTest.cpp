#include <gtest/gtest.h>

#include <string>

#include "CLandscapeRepair.h"
#include "CLandscapeXmlDocument.h"
#include "CQorMsgParser.h"
#include "CQorMsgRepair.h"
#include "TestSupport.h"

using TestSupport::ScratchDirectory;

namespace {

std::string Example(const char* name) { return TestSupport::Program_Folder() + "\\examples\\" + name; }

} // namespace

TEST(CQorMsgParser, ReadsServersDescriptionsAndLdapFromTheExample)
{
    CQorMsgParser::Servers servers;
    bool ldapFound = false;
    SLDAP ldap;
    ASSERT_TRUE(CQorMsgParser::Parse_Qormsg_Ini(Example("qormsg.ini"), servers, ldapFound, ldap));
    ASSERT_EQ(3u, servers.size());
    EXPECT_EQ("PRD", servers["PRD"].name);
    EXPECT_EQ("prd-ms.example.com", servers["PRD"].host);
    EXPECT_EQ("ERP Production", servers["PRD"].description);
    EXPECT_EQ("", servers["TRN"].description);
    EXPECT_EQ(0u, servers["PRD"].port);
    EXPECT_TRUE(ldapFound);
    EXPECT_EQ("Active", ldap.mode);
    EXPECT_EQ("ldap.example.com:389", ldap.server);
    EXPECT_EQ("ou=systems,dc=example,dc=com", ldap.node);
    EXPECT_EQ("ssl=0", ldap.options);
}

TEST(CQorMsgParser, PortsComeFromTheFirstTcpLineByNameOrAlias)
{
    CQorMsgParser::Servers servers;
    bool ldapFound = false;
    SLDAP ldap;
    CQorMsgParser::Parse_Qormsg_Ini(Example("qormsg.ini"), servers, ldapFound, ldap);
    ASSERT_TRUE(CQorMsgParser::Parse_Services(Example("services"), servers));
    EXPECT_EQ(3600u, servers["PRD"].port);
    EXPECT_EQ(3601u, servers["QAS"].port);
    EXPECT_EQ(0u, servers["TRN"].port);
    EXPECT_EQ(3u, servers.size()) << "services lines do not add servers";
}

TEST(CQorMsgParser, MissingFilesAndAFileWithoutLdap)
{
    ScratchDirectory folder;
    CQorMsgParser::Servers servers;
    bool ldapFound = false;
    SLDAP ldap;
    EXPECT_FALSE(CQorMsgParser::Parse_Qormsg_Ini(folder / "absent.ini", servers, ldapFound, ldap));
    EXPECT_FALSE(CQorMsgParser::Parse_Services(folder / "absent", servers));
    TestSupport::Write_File(folder / "qormsg.ini", "[message servers]\r\n A = a.example \r\n[LDAP]\r\nColour=red\r\n");
    ASSERT_TRUE(CQorMsgParser::Parse_Qormsg_Ini(folder / "qormsg.ini", servers, ldapFound, ldap));
    EXPECT_EQ("a.example", servers["A"].host);
    EXPECT_FALSE(ldapFound) << "an LDAP section that names nothing known is not found";
}

TEST(CQorMsgRepair, AddsOnlyTheServersConnectionsNeed)
{
    ScratchDirectory folder;
    const std::string user = Example("QORUILandscape.xml");
    const std::string shared = folder / "QORUILandscapeGlobal.xml";
    TestSupport::Write_File(shared, "<?xml version=\"1.0\"?><Landscape><Messageservers>"
                                    "<Messageserver uuid=\"u\" name=\"QAS\" host=\"old\"/></Messageservers></Landscape>");
    CQorMsgRepair repair(Example("qormsg.ini"), Example("services"), user, shared);
    ASSERT_TRUE(repair.Do_Migration());
    const std::string text = TestSupport::Read_File(shared);
    EXPECT_NE(std::string::npos, text.find("name=\"PRD\" description=\"ERP Production\" host=\"prd-ms.example.com\" "
                                           "port=\"3600\"")) << text;
    EXPECT_EQ(std::string::npos, text.find("name=\"TRN\"")) << "no connection uses TRN";
    EXPECT_NE(std::string::npos, text.find("host=\"old\"")) << "servers already there stay as they are";
    const std::string before = text;
    ASSERT_TRUE(CQorMsgRepair(Example("qormsg.ini"), Example("services"), user, shared).Do_Migration());
    EXPECT_EQ(before, TestSupport::Read_File(shared)) << "nothing missing, nothing written";
}

TEST(CLandscapeRepair, TheServerLandscapeBecomesTheInclude)
{
    ScratchDirectory folder;
    const std::string user = folder / "QORUILandscape.xml";
    CopyFileA(Example("QORUILandscape.xml").c_str(), user.c_str(), FALSE);
    EXPECT_FALSE(CLandscapeRepair(user, folder / "QORUILandscapeGlobal.xml", "").Do_Update());
    ASSERT_TRUE(CLandscapeRepair(user, folder / "QORUILandscapeGlobal.xml", "\\\\server\\qor\\core.xml").Do_Update());
    Qorcdm2::CLandscapeXmlDocument document(false, nullptr);
    CString message;
    ASSERT_TRUE(document.Load_From_File(CString(user.c_str()), message, true));
    EXPECT_STREQ("\\\\server\\qor\\core.xml", document.GetIncludeIndex0Url());
    EXPECT_NE(std::string::npos, TestSupport::Read_File(user).find("name=\"ERP Quality (QAS)\""));
}
