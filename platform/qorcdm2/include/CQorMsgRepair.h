#pragma once
#include <string>

#include "Qorcdm2Api.h"

// Adds to the shared landscape the message servers that connections of the
// user landscape name (property SystemID) but the shared landscape lacks,
// taking them from qormsg.ini and the services file.
class QORCDM2_API CQorMsgRepair
{
public:
    CQorMsgRepair(const std::string& qormsg_ini, const std::string& services_file, const std::string& user_landscape,
                  const std::string& shared_landscape);

    // True when nothing was missing or the missing servers were written.
    bool Do_Migration();

private:
    std::string m_qormsg_ini;
    std::string m_services_file;
    std::string m_user_landscape;
    std::string m_shared_landscape;
};
