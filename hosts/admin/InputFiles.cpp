#include "InputFiles.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include "Handles.h"
#include "MsXml.h"
#include "SystemText.h"
#include "WholeFile.h"

namespace Admin { namespace InputFiles {

namespace {

_COM_SMARTPTR_TYPEDEF(IXmlReader, __uuidof(IXmlReader));

IStreamPtr Memory_Stream(const std::string& bytes)
{
    return IStreamPtr(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())),
                      false);
}

bool Loads_In_Msxml(const std::string& bytes)
{
    using QOR::FrontEnd::MsXmlAdaptor::Check;
    IXMLDOMDocument2Ptr document;
    Check(document.CreateInstance(__uuidof(DOMDocument60), nullptr, CLSCTX_INPROC_SERVER));
    Check(document->put_async(VARIANT_FALSE));
    Check(document->put_resolveExternals(VARIANT_FALSE));
    Check(document->setProperty(_bstr_t(L"ProhibitDTD"), _variant_t(true)));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(document->load(_variant_t(static_cast<IUnknown*>(Memory_Stream(bytes))), &loaded)) &&
           loaded == VARIANT_TRUE;
}

// Where the XML breaks, as the system's XmlLite reader finds it reading the
// text to its end: MSXML decides whether a file loads, but under Wine it tells
// neither line nor column. Empty when XmlLite cannot be had or finds nothing.
std::string Where_It_Breaks(const std::string& bytes)
{
    using Create_Reader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    const QOR::FrontEnd::Util::unique_hmodule xmllite(
        LoadLibraryExA("xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const FARPROC create = xmllite ? GetProcAddress(xmllite.get(), "CreateXmlReader") : nullptr;
    IXmlReaderPtr reader;
    if (!create ||
        FAILED(reinterpret_cast<Create_Reader>(create)(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader),
                                                       nullptr)) ||
        FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
        FAILED(reader->SetInput(Memory_Stream(bytes))))
        return std::string();
    XmlNodeType type = XmlNodeType_None;
    HRESULT hr = S_OK;
    while ((hr = reader->Read(&type)) == S_OK) {
    }
    UINT line = 0, column = 0;
    if (SUCCEEDED(hr) || FAILED(reader->GetLineNumber(&line)) || FAILED(reader->GetLinePosition(&column)))
        return std::string();
    return ": line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

std::string Old_File_Damage(const std::string& path)
{
    std::string bytes;
    if (!QOR::FrontEnd::WholeFile::Read(QOR::FrontEnd::SystemText::From_Ansi(path), bytes))
        return "the old connection file " + path +
               " cannot be read: " + QOR::FrontEnd::SystemText::Error_Text(GetLastError());
    const size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        return "the old connection file " + path + " is not text: it holds a NUL byte (at byte " + std::to_string(nul) +
               ")";
    return std::string();
}

LandscapeDamage Landscape_Presence(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {LandscapeDamage::Kind::Missing, "the landscape file " + path + " does not exist"};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {LandscapeDamage::Kind::Folder, "the landscape file " + path + " is a folder"};
    return {};
}

LandscapeDamage Landscape_Damage(const std::string& path)
{
    LandscapeDamage damage = Landscape_Presence(path);
    if (damage.kind != LandscapeDamage::Kind::None)
        return damage;
    std::string bytes;
    if (!QOR::FrontEnd::WholeFile::Read(QOR::FrontEnd::SystemText::From_Ansi(path), bytes))
        return {LandscapeDamage::Kind::Unreadable, "the landscape file " + path + " cannot be read: " +
                                                       QOR::FrontEnd::SystemText::Error_Text(GetLastError())};
    if (!Loads_In_Msxml(bytes))
        damage = {LandscapeDamage::Kind::Malformed,
                  "the landscape file " + path + " is not well-formed XML" + Where_It_Breaks(bytes)};
    return damage;
}

}} // namespace Admin::InputFiles
