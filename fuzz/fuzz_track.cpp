// The frames of a cell track in a byte archive, in any element layout: a
// damaged archive raises the archive error and leaves the track; frames
// that load are stored and load again alike.

#include "analysis/track.h"
#include "fuzz/fuzzsupport.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the layout; one code in the list is unknown.
    static constexpr int kLayouts[] = {-1, -3, -11, -13, -21, -23, -31, -33, -40, -41, -5};
    if (size == 0)
        return 0;
    const int layout = kLayouts[data[0] % std::size(kLayouts)];
    CTrack track;
    try {
        CMemFile file(data + 1, static_cast<UINT>(size - 1));
        CArchive ar(&file, CArchive::load);
        track.SerializeFrames(ar, layout);
    } catch (const CException&) {
        if (track.GetCount() != 0)
            std::abort(); // a refused archive changed the track
        return 0;
    }
    CMemFile stored;
    {
        CArchive ar(&stored, CArchive::store);
        track.SerializeFrames(ar, CTrack::layout2009);
        ar.Close();
    }
    CTrack again;
    try {
        CMemFile file(stored.Data().data(), static_cast<UINT>(stored.Data().size()));
        CArchive ar(&file, CArchive::load);
        again.SerializeFrames(ar, CTrack::layout2009);
    } catch (const CException&) {
        std::abort(); // what was stored does not load
    }
    if (again.GetCount() != track.GetCount())
        std::abort();
    for (int i = 1; i < track.GetCount(); ++i)
        if (again.GetX(i) != track.GetX(i) || again.GetArea(i) != track.GetArea(i))
            std::abort();
    return 0;
}
