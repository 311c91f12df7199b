#pragma once
// What is wrong with a file that a run reads, named as the damage it is: an
// old connection file that cannot be read or is not text, a landscape file
// that is missing, a folder, or not well-formed XML (with the line and column
// where the XML breaks).
#include <string>

namespace Admin { namespace InputFiles {

// Empty when the old connection file can be read as text.
std::string Old_File_Damage(const std::string& path);

struct LandscapeDamage
{
    enum class Kind
    {
        None,
        Missing,
        Folder,
        Unreadable,
        Malformed
    };
    Kind kind = Kind::None;
    std::string text; // "the landscape file ... does not exist", ...
};

// Whether the landscape file is there to be read (missing, a folder); cheap.
LandscapeDamage Landscape_Presence(const std::string& path);
// As Landscape_Presence, and whether it is well-formed XML: reads and parses
// the file. Needs COM on the calling thread.
LandscapeDamage Landscape_Damage(const std::string& path);

}} // namespace Admin::InputFiles
