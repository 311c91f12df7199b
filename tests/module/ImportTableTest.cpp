// What the shipped binaries import from the client's components is what the
// client's components provide, as docs/client-interface.md lists it: Windows
// does not load a module whose imports are missing, so one symbol that only a
// stand-in has would keep the library or the front end from starting beside
// the client's own libraries. The import tables are read from the files
// themselves, as the loader reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

const char* const Shipped[] = {"landscape_migration.dll", "landscape_migrate.exe"};
const char* const Client_Components[] = {"qorutil.dll", "qorcdm.dll", "qorcdm2.dll", "qorcdm_proxy.dll"};

struct Import
{
    std::string library; // lower case
    std::string symbol;  // as the linker names it
};

// A PE file's bytes and the import tables in them.
class PortableExecutable
{
public:
    explicit PortableExecutable(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::vector<Import> Imports() const
    {
        std::vector<Import> imports;
        const IMAGE_NT_HEADERS* headers = Headers();
        if (!headers)
            return imports;
        const bool wide = headers->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
        const IMAGE_DATA_DIRECTORY directory =
            wide ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(headers)->OptionalHeader.DataDirectory[1]
                 : reinterpret_cast<const IMAGE_NT_HEADERS32*>(headers)->OptionalHeader.DataDirectory[1];
        for (auto descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(directory.VirtualAddress); descriptor && descriptor->Name;
             ++descriptor) {
            std::string library = Text(descriptor->Name);
            std::transform(library.begin(), library.end(), library.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            const DWORD thunks =
                descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
            for (DWORD at = thunks;; at += wide ? 8 : 4) {
                const unsigned long long thunk = wide ? Value<unsigned long long>(at) : Value<DWORD>(at);
                const unsigned long long byOrdinal = wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
                if (!thunk)
                    break;
                imports.push_back({library, thunk & byOrdinal ? "#ordinal" : Text(static_cast<DWORD>(thunk) + 2)});
            }
        }
        return imports;
    }

private:
    const IMAGE_NT_HEADERS* Headers() const
    {
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return nullptr;
        const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_bytes.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > m_bytes.size())
            return nullptr;
        const auto headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(m_bytes.data() + dos->e_lfanew);
        return headers->Signature == IMAGE_NT_SIGNATURE ? headers : nullptr;
    }

    // Where the byte at a relative virtual address lies in the file; null when
    // no section holds it.
    const char* Address(DWORD rva) const
    {
        const IMAGE_NT_HEADERS* headers = Headers();
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
        for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section)
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData) {
                const size_t offset = section->PointerToRawData + (rva - section->VirtualAddress);
                return offset < m_bytes.size() ? m_bytes.data() + offset : nullptr;
            }
        return nullptr;
    }
    template <typename T>
    const T* At(DWORD rva) const
    {
        return reinterpret_cast<const T*>(Address(rva));
    }
    template <typename T>
    T Value(DWORD rva) const
    {
        T value{};
        if (const char* address = Address(rva))
            std::memcpy(&value, address, sizeof(value));
        return value;
    }
    std::string Text(DWORD rva) const
    {
        const char* text = Address(rva);
        return text ? std::string(text, strnlen(text, m_bytes.data() + m_bytes.size() - text)) : std::string();
    }

    std::vector<char> m_bytes;
};

// "QOR::FrontEnd::Util::FileSystem::Full_Path" for every overload of it: the
// demangled name without its parameters and without "[abi:cxx11]".
std::string Readable(const std::string& symbol)
{
    int status = -1;
    const std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status), &std::free);
    std::string name = status == 0 ? demangled.get() : symbol;
    for (size_t tag; (tag = name.find("[abi:cxx11]")) != std::string::npos;)
        name.erase(tag, std::strlen("[abi:cxx11]"));
    return name.substr(0, name.find('('));
}

// The first column of every table of the page, where it is a name in backticks.
std::set<std::string> Contract()
{
    const char* page = std::getenv("CLIENT_INTERFACE");
    std::ifstream file(page ? page : "");
    std::set<std::string> names;
    for (std::string line; std::getline(file, line);)
        if (line.compare(0, 3, "| `") == 0)
            names.insert(line.substr(3, line.find('`', 3) - 3));
    return names;
}

bool From_Client(const Import& import)
{
    return std::find(std::begin(Client_Components), std::end(Client_Components), import.library) !=
           std::end(Client_Components);
}

// The binaries of this build, or those of the folder IMPORTS_FROM names (to
// read another build's).
std::string Binary(const char* name)
{
    const char* folder = std::getenv("IMPORTS_FROM");
    return (folder && *folder ? std::string(folder) : TestSupport::Program_Folder()) + "\\" + name;
}

class ShippedBinary : public ::testing::TestWithParam<const char*>
{};

} // namespace

// The page and the reader agree: without this, a page the reader cannot parse
// would pass nothing and a table the reader cannot find would pass everything.
TEST(ImportTable, TheReaderFindsTheContractAndTheImports)
{
    const std::set<std::string> contract = Contract();
    EXPECT_EQ(1u, contract.count("QOR::FrontEnd::Util::FileSystem::File_Exists")) << contract.size() << " names";
    EXPECT_EQ(1u, contract.count("LogonManager::Proxy::Landscape_Format_Enabled")) << contract.size() << " names";
    EXPECT_EQ(0u, contract.count("Symbol")) << "a table's heading is no name";

    std::vector<std::string> fromUtility;
    for (const Import& import : PortableExecutable(Binary("landscape_migration.dll")).Imports())
        if (import.library == "qorutil.dll")
            fromUtility.push_back(Readable(import.symbol));
    EXPECT_NE(fromUtility.end(),
              std::find(fromUtility.begin(), fromUtility.end(), "QOR::FrontEnd::Util::FileSystem::File_Exists"))
        << fromUtility.size() << " imports from qorutil.dll";
}

TEST_P(ShippedBinary, ImportsFromTheClientOnlyWhatTheClientProvides)
{
    const std::set<std::string> contract = Contract();
    const std::vector<Import> imports = PortableExecutable(Binary(GetParam())).Imports();
    ASSERT_FALSE(imports.empty()) << GetParam() << " has no import table";
    for (const Import& import : imports) {
        if (!From_Client(import))
            continue;
        EXPECT_EQ(1u, contract.count(Readable(import.symbol)))
            << GetParam() << " imports " << Readable(import.symbol) << " (" << import.symbol << ") from "
            << import.library << ", which docs/client-interface.md does not list";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedBinary, ::testing::ValuesIn(Shipped),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });
