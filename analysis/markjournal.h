#pragma once
// CMarkJournal: the original bytes of the pixels that an object search
// paints with the mark colour, so that the page can be given back bit for
// bit: a few bytes per contour pixel instead of a copy of the whole area.
// It gives the pixels back at the latest when it goes out of scope, so
// marks never outlive the search, also when it ends by an exception.

#include "objectmodel/rpointarray.h"
#include "outside/pixmere/dib.h"

#include <vector>

namespace kestrun {

class CMarkJournal
{
public:
    // page: 8 or 24 bits; it keeps its size while the journal lives.
    explicit CMarkJournal(CDIB& page);
    CMarkJournal(const CMarkJournal&) = delete;
    CMarkJournal& operator=(const CMarkJournal&) = delete;
    ~CMarkJournal();

    // Notes the pixels of the points that lie inside the page, before
    // they are painted.
    void Record(const CRPointArray& points);
    // Gives every noted pixel its bytes back, the latest note first, and
    // empties the journal.
    void Restore();

private:
    struct sEntry
    {
        size_t offset;
        DWORD bytes;
    };

    cv::Mat m_pixels;
    int m_bytesPerPixel = 0;
    std::vector<sEntry> m_entries;
};

} // namespace kestrun
