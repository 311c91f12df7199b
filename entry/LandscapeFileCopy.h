#pragma once
// A landscape file copied in from elsewhere (the Windows folder) the way the
// client's own start copies it, with CopyFileA, but never left half done.
#include <string>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace LandscapeFileCopy {

// Copies `from` to `to`; with `overwrite` false it fails when `to` exists, as
// CopyFileA does. The copy is made beside `to` under a temporary name, checked
// to hold every byte of `from` (CopyFileA may report success for a copy that a
// full disk cut short), flushed, and only then moved into place, replacing
// `to` when `overwrite` is true. False, with no copy left and `to` as it was,
// when any step fails - among them a folder of `to` that does not exist.
bool Copy(const std::string& from, const std::string& to, bool overwrite);

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::LandscapeFileCopy
