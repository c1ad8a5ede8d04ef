#pragma once
// The document templates of the tables: a table document class
// (CGridDoc2, CObjDataDoc) shown by the table view CGridView2, in an MDI
// child frame or in the table's own frame (CGridFrame). The application
// makes them at start-up and puts them into its template holder.

#include "platform/ui/doctemplate.h"

#include <memory>

namespace kestrun {

enum class ETableFrame
{
    MdiChild, // a child of the main window's MDI area
    GridFrame, // CGridFrame, owned by the main window
};

// CInvalidArgException for a document class that is no table document.
std::unique_ptr<CMultiDocTemplate> MakeTableTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                                     ETableFrame frame);

} // namespace kestrun
