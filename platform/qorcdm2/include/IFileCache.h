#pragma once
#include <string>

namespace Qorcdm2 {

// Where a landscape document may find files it refers to without reading them
// again. The migration passes none; a document without a cache reads from disk.
class IFileCache
{
public:
    virtual ~IFileCache() = default;
    // True and the content when the cache holds `path`.
    virtual bool Lookup(const std::string& path, std::wstring& content) = 0;
};

} // namespace Qorcdm2
