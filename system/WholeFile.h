#pragma once
// A file's bytes in one piece, for code that reads a file as it stands on disk
// (a copy to check, a child process's output). Compiled into every module that
// uses it, as SystemText is.
#include <string>

namespace QOR { namespace FrontEnd { namespace WholeFile {

// The whole file; false (and `bytes` empty) when it cannot be opened or read
// to its end. Others may go on reading and writing it meanwhile.
bool Read(const std::wstring& path, std::string& bytes);

}}} // namespace QOR::FrontEnd::WholeFile
