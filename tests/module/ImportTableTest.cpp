// What the shipped binaries import from the client's components is what the
// client's components provide, as docs/client-interface.md lists it: Windows
// does not load a module whose imports are missing, so one symbol that only a
// stand-in has would keep the library or the front end from starting beside
// the client's own libraries. The import tables are read from the files
// themselves, as the loader maps them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Handles.h"
#include "TestSupport.h"

namespace {

const char* const Shipped[] = {"landscape_migration.dll", "landscape_migrate.exe"};
const std::set<std::string> Client_Components = {"qorutil.dll", "qorcdm.dll", "qorcdm2.dll", "qorcdm_proxy.dll"};

// An import: the library, in lower case, and the symbol as the linker names it.
using Import = std::pair<std::string, std::string>;

// The import tables of a PE file as the loader maps it: as an image, with
// nothing resolved and nothing run. None when it cannot be mapped.
std::vector<Import> Imports_Of(const std::string& path)
{
    const QOR::FrontEnd::Util::unique_hmodule module(
        LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module)
        return {};
    // The handle of a module mapped so has its low bits set.
    const char* handle = reinterpret_cast<const char*>(module.get());
    const char* base = handle - (reinterpret_cast<ULONG_PTR>(handle) & 3);
    const auto headers =
        reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const bool wide = headers->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const DWORD directory =
        wide ? headers->OptionalHeader.DataDirectory[1].VirtualAddress
             : reinterpret_cast<const IMAGE_NT_HEADERS32*>(headers)->OptionalHeader.DataDirectory[1].VirtualAddress;
    std::vector<Import> imports;
    for (auto import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory); directory && import->Name;
         ++import) {
        std::string library = base + import->Name;
        CharLowerBuffA(library.data(), static_cast<DWORD>(library.size()));
        for (const char* thunk = base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk);;
             thunk += wide ? 8 : 4) {
            const ULONGLONG value =
                wide ? *reinterpret_cast<const ULONGLONG*>(thunk) : *reinterpret_cast<const DWORD*>(thunk);
            if (!value)
                break;
            const bool byOrdinal = value & (wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32);
            imports.emplace_back(library, byOrdinal ? "#ordinal" : base + static_cast<DWORD>(value) + 2);
        }
    }
    return imports;
}

// "QOR::FrontEnd::Util::FileSystem::Full_Path" for every overload of it: the
// demangled name without its parameters and without "[abi:cxx11]".
std::string Readable(const std::string& symbol)
{
    int status = -1;
    const std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(symbol.c_str(), nullptr, nullptr, &status), &std::free);
    std::string name = status == 0 ? demangled.get() : symbol;
    return std::regex_replace(name.substr(0, name.find('(')), std::regex("\\[abi:cxx11\\]"), "");
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

// The binaries of this build, or those of the folder IMPORTS_FROM names (to
// read another build's).
std::string Binary(const char* name)
{
    const char* folder = std::getenv("IMPORTS_FROM");
    return (folder && *folder ? std::string(folder) : TestSupport::Program_Folder()) + "\\" + name;
}

using ShippedBinary = ::testing::TestWithParam<const char*>;

} // namespace

// The readers find what the page and the library are known to hold: without
// this, a table it cannot find or imports it cannot read would pass
// everything. (A page it cannot parse fails every import from the client in
// the test below.)
TEST(ImportTable, TheReadersFindKnownNames)
{
    EXPECT_EQ(0u, Contract().count("Symbol")) << "a table's heading is no name";
    std::set<std::string> fromUtility;
    for (const auto& [library, symbol] : Imports_Of(Binary("landscape_migration.dll")))
        if (library == "qorutil.dll")
            fromUtility.insert(Readable(symbol));
    EXPECT_EQ(1u, fromUtility.count("QOR::FrontEnd::Util::FileSystem::File_Exists"))
        << fromUtility.size() << " imports from qorutil.dll";
}

TEST_P(ShippedBinary, ImportsFromTheClientOnlyWhatTheClientProvides)
{
    const std::set<std::string> contract = Contract();
    const std::vector<Import> imports = Imports_Of(Binary(GetParam()));
    ASSERT_FALSE(imports.empty()) << GetParam() << " has no import table";
    for (const auto& [library, symbol] : imports) {
        if (!Client_Components.count(library))
            continue;
        EXPECT_EQ(1u, contract.count(Readable(symbol)))
            << GetParam() << " imports " << Readable(symbol) << " (" << symbol << ") from " << library
            << ", which docs/client-interface.md does not list";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedBinary, ::testing::ValuesIn(Shipped),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::regex_replace(info.param, std::regex("\\."), "_");
                         });
