#pragma once
// The current user's files as the client finds them.
#include <string>

namespace Admin { namespace UserFiles {

std::string Old_File();
std::string Landscape();
std::string Shared_Landscape();
std::string Folder_Of(const std::string& path);

}} // namespace Admin::UserFiles
