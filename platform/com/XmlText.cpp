#include "XmlText.h"

#include <windows.h>

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

// Where the value of the declaration's encoding stands in `data`; false when
// it names none.
bool Find_Encoding(std::string_view data, size_t& begin, size_t& end)
{
    const size_t name = data.find("encoding");
    const size_t quote = name == std::string_view::npos ? name : data.find_first_of("\"'", name);
    if (quote == std::string_view::npos)
        return false;
    const size_t close = data.find(data[quote], quote + 1);
    if (close == std::string_view::npos)
        return false;
    begin = quote + 1;
    end = close;
    return true;
}

bool Names_Utf8(std::string_view encoding)
{
    return encoding.size() == 5 && _strnicmp(encoding.data(), "UTF-8", 5) == 0;
}

// The declaration data of a document's text (what stands between "<?xml" and
// "?>" at its start); empty when the text does not start with a declaration.
std::string_view Declaration_Of(std::string_view text)
{
    const std::string_view bom = "\xEF\xBB\xBF", opening = "<?xml";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());
    if (text.substr(0, opening.size()) != opening || text.size() <= opening.size() ||
        (text[opening.size()] != ' ' && text[opening.size()] != '\t' && text[opening.size()] != '\r' &&
         text[opening.size()] != '\n'))
        return std::string_view();
    const size_t close = text.find("?>");
    return close == std::string_view::npos ? std::string_view() : text.substr(opening.size(), close - opening.size());
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

bool Is_Plain_Xml_Text(std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r'))
            return false;
    }
    return true;
}

std::string Xml_Utf8(std::string_view narrow)
{
    if (Is_Plain_Xml_Text(narrow))
        return std::string(narrow);
    const _bstr_t wide = Xml_Text(std::string(narrow));
    return Utf8_From_Wide(std::wstring_view(wide.length() ? static_cast<const wchar_t*>(wide) : L"", wide.length()));
}

std::string Utf8_From_Wide(std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::wstring Wide_From_Utf8(std::string_view utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int length = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, &wide[0], size);
    return wide;
}

std::string Narrow_From_Utf8(std::string_view utf8)
{
    if (Is_Plain_Xml_Text(utf8))
        return std::string(utf8);
    const _bstr_t text(Wide_From_Utf8(utf8).c_str());
    return text.length() ? std::string(static_cast<const char*>(text)) : std::string();
}

std::string Utf8_Declaration(std::string_view data)
{
    size_t begin = 0, end = 0;
    if (!Find_Encoding(data, begin, end) || Names_Utf8(data.substr(begin, end - begin)))
        return std::string(data);
    return std::string(data.substr(0, begin)) + "UTF-8" + std::string(data.substr(end));
}

bool Is_Declared_Utf8(std::string_view text)
{
    if (!text.empty() &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) == 0)
        return false;
    const std::string_view declaration = Declaration_Of(text);
    size_t begin = 0, end = 0;
    return !Find_Encoding(declaration, begin, end) || Names_Utf8(declaration.substr(begin, end - begin));
}

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
