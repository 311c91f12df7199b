#pragma once
#include <memory>
#include <string>

#include "CMsXmlDocument.h"
#include "IFileCache.h"
#include "Qorcdm2Api.h"

namespace Qorcdm2 {

class CLandscapeStore;

// A landscape file as a document. While this library holds the same file open
// as the user's connection storage, loading it attaches the document to that
// storage: its include, its text (To_String) and its saves are the storage's,
// with everything added so far - one file, one state, whoever writes it. An
// empty landscape saved as such a file attaches too when the storage has
// changes the file lacks: writing it instead would lose them. The DOM
// (m_pXmlDocument) of an attached document stays empty; Detach_From_Store fills
// it for DOM work, and so does the storage when it closes first.
class QORCDM2_API CLandscapeXmlDocument : public QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument
{
public:
    // `create_empty`: start as an empty landscape (declaration and root)
    // rather than as an empty document waiting to be loaded.
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

    // Gives an attached document the storage's state as its own DOM and ends the
    // attachment; a later save to the same file becomes the storage's state.
    void Detach_From_Store();
    // `store` is closing: its attached documents take over what it holds.
    static void Store_Closing(CLandscapeStore* store);

protected:
    void Post_Save(bool saved) override;

private:
    void Attach(CLandscapeStore* store);
    void Detach();

    std::shared_ptr<IFileCache> m_file_cache;
    CLandscapeStore* m_store = nullptr;
};

} // namespace Qorcdm2
