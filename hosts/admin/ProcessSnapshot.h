#pragma once
// The environment and the current directory of this process as they were when
// the object was made; Restore puts both back, so that what one profile's
// migration set there does not reach the next.
#include <map>
#include <string>

namespace Admin {

class ProcessSnapshot
{
public:
    ProcessSnapshot();
    void Restore() const;

private:
    static std::map<std::wstring, std::wstring> Environment();

    std::map<std::wstring, std::wstring> m_environment;
    std::wstring m_directory;
};

} // namespace Admin
