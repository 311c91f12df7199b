#pragma once
// Text for an XML document. XML 1.0 cannot hold most control characters at all:
// MSXML writes them into the file as they are, and the file then no longer loads.
#include <comdef.h>

#include <string>
#include <string_view>

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

// Narrow text (system ANSI code page) as a DOM string, without the characters
// that XML 1.0 does not allow (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F,
// U+FFFE, U+FFFF and unpaired surrogates). Tab, line feed and carriage return stay.
_bstr_t Xml_Text(const std::string& narrow);

// True for text of plain ASCII that XML allows: it reads the same in every code
// page and in UTF-8, so it needs no conversion.
bool Is_Plain_Xml_Text(std::string_view text);

// The same text in UTF-8, as an XML file holds it.
std::string Xml_Utf8(std::string_view narrow);

// Wide text as UTF-8, and back.
std::string Utf8_From_Wide(std::wstring_view wide);
std::wstring Wide_From_Utf8(std::string_view utf8);

// UTF-8 text of an XML file as narrow text in the calling thread's ANSI code
// page, as MSXML's strings are read everywhere in the system.
std::string Narrow_From_Utf8(std::string_view utf8);

// The data of an XML declaration (`version="1.0" encoding="..."`) for a file
// written in UTF-8: as it is when it names no encoding or UTF-8 already,
// otherwise with the encoding's value replaced by UTF-8 and the rest kept.
std::string Utf8_Declaration(std::string_view data);

// True when `text` is UTF-8 throughout and declares no other encoding: what a
// reader of the file will take it for is what it is.
bool Is_Declared_Utf8(std::string_view text);

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
