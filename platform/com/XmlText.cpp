#include "XmlText.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

namespace {

bool Is_High_Surrogate(wchar_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }
bool Is_Low_Surrogate(wchar_t ch) { return ch >= 0xDC00 && ch <= 0xDFFF; }

bool Allowed(wchar_t ch)
{
    if (ch < 0x20)
        return ch == L'\t' || ch == L'\n' || ch == L'\r';
    return ch != 0xFFFE && ch != 0xFFFF;
}

} // namespace

_bstr_t Xml_Text(const std::string& narrow)
{
    const _bstr_t wide(narrow.c_str());
    const wchar_t* text = wide;
    const size_t length = wide.length();
    size_t i = 0;
    while (i < length && Allowed(text[i]) && !Is_High_Surrogate(text[i]) && !Is_Low_Surrogate(text[i]))
        ++i;
    if (i == length)
        return wide; // the usual case: nothing to take out
    std::wstring kept(text, i);
    for (; i < length; ++i) {
        const wchar_t ch = text[i];
        if (Is_High_Surrogate(ch) && i + 1 < length && Is_Low_Surrogate(text[i + 1])) {
            kept.append(text + i, 2);
            ++i;
        } else if (Allowed(ch) && !Is_High_Surrogate(ch) && !Is_Low_Surrogate(ch)) {
            kept += ch;
        }
    }
    return _bstr_t(kept.c_str());
}

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
