#pragma once
// The landscape documents of this process that are attached to the storage.
// While this library holds a file open as the user's connection storage,
// loading the same file as a CLandscapeXmlDocument attaches the document to
// that storage: its include, its text (To_String) and its saves are the
// storage's, with everything added so far - one file, one state, whoever
// writes it. An empty landscape saved as such a file attaches too when the
// storage has changes the file lacks: writing it instead would lose them. The
// DOM (m_pXmlDocument) of an attached document stays empty; Detach_From_Store
// fills it for DOM work, and so does the storage when it closes first.
#include "CLandscapeXmlDocument.h"

namespace Qorcdm2 {

class LandscapeDocuments
{
public:
    static void Attach(CLandscapeXmlDocument& document, CLandscapeStore* store);
    static void Detach(CLandscapeXmlDocument& document);

    // Gives an attached document the storage's state as its own DOM and ends the
    // attachment; a later save to the same file becomes the storage's state.
    static void Detach_From_Store(CLandscapeXmlDocument& document);
    // `store` is closing: its attached documents take over what it holds.
    static void Store_Closing(CLandscapeStore* store);
};

} // namespace Qorcdm2
