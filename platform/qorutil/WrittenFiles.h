#pragma once
// The text of the XML files this process wrote last, so that reading one back
// right away - the front end verifying a profile it has just migrated - need
// not take the file apart with MSXML again. Texts are kept only while a
// WrittenFiles::Keeping lives (nothing is kept otherwise, so a client process
// holds no copies), at most a few and none larger than a limit, and one is
// given back only while its file still has the size and time it was written
// with.
#include <string>

#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util {

class QORUTIL_API WrittenFiles
{
public:
    class QORUTIL_API Keeping
    {
    public:
        Keeping();
        ~Keeping();
        Keeping(const Keeping&) = delete;
        Keeping& operator=(const Keeping&) = delete;
    };

    // `bytes` have just replaced the file `path`: a UTF-8 XML text that MSXML
    // wrote or that was made from one it read.
    static void Note(const std::wstring& path, const std::string& bytes);
    // True, with the text, when `path` is a file noted and unchanged since.
    static bool Recall(const std::wstring& path, std::string& bytes);
};

}}} // namespace QOR::FrontEnd::Util
