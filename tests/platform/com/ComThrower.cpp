#include "ComThrower.h"

#include "MsXml.h"

void Com_Thrower_Check(HRESULT hr) { QOR::FrontEnd::MsXmlAdaptor::Check(hr); }
