#pragma once
// Text for an XML document. XML 1.0 cannot hold most control characters at all:
// MSXML writes them into the file as they are, and the file then no longer loads.
#include <comdef.h>

#include <string>

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

// Narrow text (system ANSI code page) as a DOM string, without the characters
// that XML 1.0 does not allow (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F,
// U+FFFE, U+FFFF and unpaired surrogates). Tab, line feed and carriage return stay.
_bstr_t Xml_Text(const std::string& narrow);

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
