#pragma once
#include <memory>
#include <string>

#include "CMsXmlDocument.h"
#include "IFileCache.h"
#include "Qorcdm2Api.h"

namespace Qorcdm2 {

class CLandscapeStore;
class LandscapeDocuments;

// A landscape file as a document, with its include of index 0.
class QORCDM2_API CLandscapeXmlDocument : public QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument
{
public:
    // `create_empty`: start as an empty landscape (declaration and root)
    // rather than as an empty document waiting to be loaded. `file_cache` may
    // be empty: the document then reads from disk.
    CLandscapeXmlDocument(bool create_empty, std::shared_ptr<IFileCache> file_cache);
    ~CLandscapeXmlDocument() override;

    using CMsXmlDocument::Load_From_File;
    bool Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace) override;
    using CMsXmlDocument::Save_To_File;
    bool Save_To_File(const std::wstring& path) override;
    bool Load_From_String(const std::wstring& xml) override;
    std::wstring To_String() const override;

    // Location of the include with index 0; empty when there is none.
    CString GetIncludeIndex0Url() const;
    // Makes `url` the include with index 0, adding the include when missing.
    void Set_Server_Include_URL(const CString& url);

protected:
    void Post_Save(bool saved) override;

private:
    friend class LandscapeDocuments; // the library's own bookkeeping
    std::shared_ptr<IFileCache> m_file_cache;
    CLandscapeStore* m_store = nullptr;
};

} // namespace Qorcdm2
