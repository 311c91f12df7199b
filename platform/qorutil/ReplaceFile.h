#pragma once
// The utility library's own proven replacement of a file, behind its saves.
#include <string>

namespace QOR { namespace FrontEnd { namespace Util { namespace FileSystem {

// Replaces the file `path` with `bytes` so that it is never anything but what
// it was or exactly `bytes`. The folders of the path that are missing are
// created first; then a temporary file beside it (same volume) is
// written, proven to hold every byte - each write's count, the flush to the
// disk, its size - and only then renamed over `path`. A library's success code
// is not taken as proof: Wine's MSXML reports success for a save that a full
// disk cut short. False, with the temporary file gone and `path` untouched,
// when any step fails.
bool Replace_File(const std::wstring& path, const std::string& bytes);

}}}} // namespace QOR::FrontEnd::Util::FileSystem
