#pragma once
#include <string>

#include "Qorcdm2Api.h"

// After the switch to a server landscape: the user landscape includes the
// server's shared landscape instead of the local one. The local shared file
// is left in place, untouched, for whoever still needs it.
class QORCDM2_API CLandscapeRepair
{
public:
    CLandscapeRepair(const std::string& user_landscape, const std::string& shared_landscape,
                     const std::string& server_landscape);

    // True when the user landscape now includes the server landscape.
    bool Do_Update();

private:
    std::string m_user_landscape;
    std::string m_shared_landscape;
    std::string m_server_landscape;
};
