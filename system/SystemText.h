#pragma once
// Strings from the system (environment variables, folders) in the ANSI code page
// that the rest of the client works in, read with the wide-character calls and
// converted here. The narrow calls are not trusted with them: under Wine,
// GetEnvironmentVariableA cuts a value whose ANSI form is longer than its UTF-16
// form (a Japanese folder name in code page 932), and on Windows the narrow calls
// put '?' for what the code page cannot hold. Either way the caller would get a
// path to somewhere else; here it gets the whole value or is told why not.
//
// Compiled into every module that uses it (the library, its hosts, the
// stand-ins of the client's components): nothing here crosses a module
// boundary, so none of it is asked of the client's utility library.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace QOR { namespace FrontEnd { namespace SystemText {

enum class Status
{
    Found,
    Missing,         // the variable is not set
    Not_In_Code_Page // set, but the ANSI code page cannot hold its value
};

// `wide` in the ANSI code page; false (and `ansi` empty) when a character of it
// has no exact form there.
bool To_Ansi(const std::wstring& wide, std::string& ansi);
std::wstring From_Ansi(const std::string& ansi);

// The process environment's value of `name` (not the C runtime's copy, so a
// variable set by the host before the call is heard). `value` is empty unless found.
Status Environment_Variable(const char* name, std::string& value);

// The Windows folder, as GetWindowsDirectory gives it; empty when it cannot be had.
std::string Windows_Directory();

// Full path of the file of `module` (null: the program); empty on failure.
std::string Module_File_Name(HMODULE module);

// What the system says of an error code, in the ANSI code page and without
// the line end, followed by the code: "Access denied. (error 5)".
std::string Error_Text(DWORD code);

// Calls a wide-character "fill this buffer" API - it returns the length it
// wrote, the size it needs when the buffer is too small, or 0 on failure - with
// larger buffers until the value fits (a value can grow in between). False
// when the call fails or the value needs more than 32,768 characters.
template <typename Fill>
bool Read_Wide(Fill fill, std::wstring& value)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return false;
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        if (buffer.size() > 32768)
            return false;
        buffer.resize(std::max<size_t>(length + 1, buffer.size() * 2));
    }
}

// Read_Wide's value in the ANSI code page; empty when the call fails or the
// code page cannot hold the value: never a cut or '?'-filled one.
template <typename Fill>
std::string Read_Ansi(Fill fill)
{
    std::wstring wide;
    std::string ansi;
    if (Read_Wide(fill, wide))
        To_Ansi(wide, ansi);
    return ansi;
}

}}} // namespace QOR::FrontEnd::SystemText
