#include "Uuid.h"

#include <windows.h>
#include <rpc.h>

#include <cstdio>

namespace QOR { namespace FrontEnd { namespace Util {

std::string Generate_Uuid()
{
    UUID uuid;
    if (UuidCreate(&uuid) != RPC_S_OK)
        return std::string();
    char text[40];
    std::snprintf(text, sizeof(text), "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(uuid.Data1), uuid.Data2, uuid.Data3, uuid.Data4[0], uuid.Data4[1],
                  uuid.Data4[2], uuid.Data4[3], uuid.Data4[4], uuid.Data4[5], uuid.Data4[6], uuid.Data4[7]);
    return text;
}

}}} // namespace QOR::FrontEnd::Util
