#include "outside/scansource/sanescanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <array>
#include <clocale>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxSide = 65535;
constexpr std::size_t kMaxFrames = 3;

struct CFrame
{
    SANE_Parameters params{};
    std::vector<BYTE> bytes;
    int rows = 0;
};

// Ends the scan and closes the device whichever way Scan leaves.
struct CDeviceCloser
{
    void operator()(void* handle) const
    {
        sane_cancel(handle);
        sane_close(handle);
    }
};
using CDeviceHandle = std::unique_ptr<void, CDeviceCloser>;

int Channels(const SANE_Parameters& params) { return params.format == SANE_FRAME_RGB ? 3 : 1; }

// Sample i of a row, as 8 bits. A set bit of a one-bit grey frame is black.
BYTE Sample(const BYTE* row, std::size_t i, const SANE_Parameters& params)
{
    switch (params.depth) {
    case 1: {
        const bool set = ((row[i / 8] >> (7 - i % 8)) & 1) != 0;
        if (params.format == SANE_FRAME_GRAY)
            return set ? 0 : 255;
        return set ? 255 : 0;
    }
    case 16: { // native byte order
        std::uint16_t value = 0;
        std::memcpy(&value, row + 2 * i, sizeof(value));
        return static_cast<BYTE>(value >> 8);
    }
    default:
        return row[i];
    }
}

int ResolutionOf(SANE_Handle handle)
{
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return 0;
    for (SANE_Int option = 1; option < count; ++option) {
        const SANE_Option_Descriptor* descriptor = sane_get_option_descriptor(handle, option);
        if (descriptor == nullptr || descriptor->name == nullptr ||
            std::strcmp(descriptor->name, SANE_NAME_SCAN_RESOLUTION) != 0 || descriptor->size < 1 ||
            static_cast<std::size_t>(descriptor->size) > sizeof(SANE_Word) * 16)
            continue;
        std::array<SANE_Word, 16> value{};
        if (sane_control_option(handle, option, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
            return 0;
        if (descriptor->type == SANE_TYPE_FIXED)
            return static_cast<int>(SANE_UNFIX(value[0]) + 0.5);
        return descriptor->type == SANE_TYPE_INT ? value[0] : 0;
    }
    return 0;
}

} // namespace

CSaneScanner::CSaneScanner()
{
    // Backends cancel their reader threads asynchronously, also while a
    // reader looks up an error text. Looking one up in a translated locale
    // searches message catalogues under the C library's locale lock, and a
    // reader cancelled there left the lock held: the program hung at exit.
    // Our texts are not the C library's, so its messages stay untranslated.
    std::setlocale(LC_MESSAGES, "C");
    SANE_Int version = 0;
    m_bReady = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

CSaneScanner::~CSaneScanner()
{
    if (m_bReady)
        sane_exit();
}

std::vector<CSaneDeviceInfo> CSaneScanner::Devices() const
{
    std::vector<CSaneDeviceInfo> devices;
    const SANE_Device** list = nullptr;
    if (!m_bReady || sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || list == nullptr)
        return devices;
    auto text = [](const char* value) { return CString(value != nullptr ? value : ""); };
    for (const SANE_Device** device = list; *device != nullptr; ++device) {
        if ((*device)->name == nullptr || *(*device)->name == '\0')
            continue;
        devices.push_back({text((*device)->name), text((*device)->vendor), text((*device)->model), text((*device)->type)});
    }
    return devices;
}

bool CSaneScanner::Scan(const CString& device, CxImage& page, CString& error,
                        const std::function<bool()>& cancelled) const
{
    auto fail = [&](const char* what, SANE_Status status = SANE_STATUS_GOOD) {
        error = status == SANE_STATUS_GOOD ? FormatString("%s: %s", device.GetString(), what)
                                           : FormatString("%s: %s (%s)", device.GetString(), what, sane_strstatus(status));
        return false;
    };
    if (!m_bReady)
        return fail("SANE is not available");

    SANE_Handle raw = nullptr;
    SANE_Status status = sane_open(device, &raw);
    if (status != SANE_STATUS_GOOD || raw == nullptr)
        return fail("the scanner cannot be opened", status == SANE_STATUS_GOOD ? SANE_STATUS_INVAL : status);
    const CDeviceHandle handle(raw);
    const int resolution = ResolutionOf(raw);

    std::vector<CFrame> frames;
    std::size_t total = 0;
    std::vector<BYTE> chunk(kReadChunk);
    do {
        if (frames.size() == kMaxFrames)
            return fail("the scanner sends more frames than an image has");
        if ((status = sane_start(raw)) != SANE_STATUS_GOOD)
            return fail("the scan cannot start", status);
        CFrame frame;
        if ((status = sane_get_parameters(raw, &frame.params)) != SANE_STATUS_GOOD)
            return fail("the scan has no format", status);
        const SANE_Parameters& p = frame.params;
        const bool knownFormat = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ||
                                 p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN ||
                                 p.format == SANE_FRAME_BLUE;
        const long long needed = (static_cast<long long>(p.pixels_per_line) * Channels(p) * p.depth + 7) / 8;
        if (!knownFormat || (p.depth != 1 && p.depth != 8 && p.depth != 16) || p.pixels_per_line < 1 ||
            p.pixels_per_line > kMaxSide || p.bytes_per_line < needed || p.lines > kMaxSide)
            return fail("the scanner sends a format we cannot read");

        for (;;) {
            if (cancelled && cancelled())
                return fail("the scan was cancelled");
            SANE_Int length = 0;
            status = sane_read(raw, chunk.data(), static_cast<SANE_Int>(chunk.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return fail(status == SANE_STATUS_CANCELLED ? "the scan was cancelled" : "the scan failed", status);
            if (length < 0 || static_cast<std::size_t>(length) > chunk.size())
                return fail("the scanner sends a format we cannot read");
            total += static_cast<std::size_t>(length);
            if (total > m_maxScanBytes)
                return fail(FormatString("the scan is larger than %zu MB", m_maxScanBytes >> 20).GetString());
            frame.bytes.insert(frame.bytes.end(), chunk.begin(), chunk.begin() + length);
        }
        const std::size_t rows = frame.bytes.size() / static_cast<std::size_t>(p.bytes_per_line);
        if (p.lines > 0 && rows < static_cast<std::size_t>(p.lines))
            return fail("the scan ended early");
        frame.rows = p.lines > 0 ? p.lines : static_cast<int>(std::min<std::size_t>(rows, kMaxSide + 1));
        if (frame.rows < 1)
            return fail("the scan is empty");
        if (frame.rows > kMaxSide)
            return fail("the scan is longer than an image may be");
        frames.push_back(std::move(frame));
    } while (!frames.back().params.last_frame);

    // One grey or colour frame, or a colour image in three passes.
    const CFrame& first = frames.front();
    const bool grey = frames.size() == 1 && first.params.format == SANE_FRAME_GRAY;
    const bool colour = frames.size() == 1 && first.params.format == SANE_FRAME_RGB;
    // Three passes are red, green and blue, each once: a pass sent twice
    // would leave a channel of the page black without a word.
    bool threePass = frames.size() == 3;
    unsigned channelsSeen = 0;
    for (const CFrame& frame : frames) {
        threePass = threePass && frame.params.format != SANE_FRAME_GRAY && frame.params.format != SANE_FRAME_RGB &&
                    frame.params.pixels_per_line == first.params.pixels_per_line && frame.rows == first.rows;
        channelsSeen |= 1u << static_cast<unsigned>(frame.params.format);
    }
    threePass = threePass && channelsSeen == ((1u << SANE_FRAME_RED) | (1u << SANE_FRAME_GREEN) | (1u << SANE_FRAME_BLUE));
    if (!grey && !colour && !threePass)
        return fail("the scanner sends a format we cannot read");

    const int width = first.params.pixels_per_line;
    CxImage result;
    if (!result.Create(width, first.rows, grey ? 8 : 24))
        return fail(result.GetLastError());
    for (const CFrame& frame : frames) {
        // Blue-green-red bytes: where this frame's samples go.
        const int channel = frame.params.format == SANE_FRAME_RED ? 2 : frame.params.format == SANE_FRAME_GREEN ? 1 : 0;
        for (int y = 0; y < first.rows; ++y) {
            const BYTE* source = frame.bytes.data() + static_cast<std::size_t>(y) * frame.params.bytes_per_line;
            const std::span<BYTE> row = result.GetRow(y);
            for (int x = 0; x < width; ++x) {
                if (grey) {
                    row[x] = Sample(source, x, frame.params);
                } else if (colour) {
                    for (int c = 0; c < 3; ++c)
                        row[3 * x + 2 - c] = Sample(source, 3 * static_cast<std::size_t>(x) + c, frame.params);
                } else {
                    row[3 * x + channel] = Sample(source, x, frame.params);
                }
            }
        }
    }
    if (resolution > 0)
        result.SetYRes(resolution);
    page = std::move(result);
    return true;
}
