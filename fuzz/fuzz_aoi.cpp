// The ".AOI" file: the area list of a profile in the binary archive. A
// damaged file raises the archive's exception and leaves the list; a list
// that loads can be checked, drawn and stored, and what is stored loads.

#include "analysis/aoidoc.h"
#include "fuzz/fuzzsupport.h"
#include "objectmodel/textlabel.h"
#include "platform/core/file.h"
#include "platform/core/recording_dc.h"

#include <cstdlib>

namespace {

bool Load(CAOIDoc& doc, const BYTE* data, std::size_t size)
{
    CMemFile file(data, static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load);
    try {
        doc.Serialize(ar);
        return true;
    } catch (const CException&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CAOIDoc doc;
    if (!Load(doc, data, size))
        return 0;
    doc.SetImageSize(640, 480, true);
    doc.FindAOIAtPoint(320, 240);
    for (int page = 0; page < CAOIDoc::pageCount; ++page) {
        doc.SetCurrentPage(page);
        doc.GetActiveAOI(true);
        CRecordingDC dc;
        CTextLabel label;
        doc.DrawAOIs(&dc, label);
    }

    CMemFile stored;
    {
        CArchive ar(&stored, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
    }
    CAOIDoc again;
    if (!Load(again, stored.Data().data(), stored.Data().size()) || again.GetAOICount() != doc.GetAOICount())
        std::abort(); // what was stored does not load
    return 0;
}
