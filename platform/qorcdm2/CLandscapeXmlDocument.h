#pragma once
#include <memory>

#include "CMsXmlDocument.h"
#include "IFileCache.h"
#include "Qorcdm2Api.h"

namespace Qorcdm2 {

// A landscape file as a document. While this library holds the same file open
// as the user's connection storage, loading it gives that very document, with
// everything added so far, and saving it saves that storage too: one file, one
// state, whoever writes it.
class QORCDM2_API CLandscapeXmlDocument : public QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument
{
public:
    // `create_empty`: start as an empty landscape (declaration and root)
    // rather than as an empty document waiting to be loaded.
    CLandscapeXmlDocument(bool create_empty, std::shared_ptr<IFileCache> file_cache);
    ~CLandscapeXmlDocument() override;

    using CMsXmlDocument::Load_From_File;
    bool Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace) override;

    // Location of the include with index 0; empty when there is none.
    CString GetIncludeIndex0Url() const;
    // Makes `url` the include with index 0, adding the include when missing.
    void Set_Server_Include_URL(const CString& url);

protected:
    void Post_Save(bool saved) override;

private:
    std::shared_ptr<IFileCache> m_file_cache;
};

} // namespace Qorcdm2
