#pragma once
// The commands of pictures and live view: the download of a new picture
// into a time-stamped file of the picture folder, and the live-view start,
// end and frame download.

#include "cameraplugins/common/picturename.h"
#include "cameraplugins/eos/command.h"

#include "platform/core/clock.h"

#include <string>

// One live-view frame as observers get it with "EvfDataChanged"; valid
// for the duration of the notification.
struct EvfDataSet
{
    EdsStreamRef stream = nullptr; // the JPEG frame
    EdsUInt32 zoom = 0;            // 0x507
    EdsPoint zoomPosition{};       // 0x508
    EdsUInt32 imagePosition[2]{};  // 0x50B, as the SDK gives it
    EdsUInt32 histogram[1024]{};   // 0x50A, as the SDK gives it
    EdsSize sizeJpegLarge{};       // the full picture, 0 x 0 when unknown
};

// The full picture size of a camera by its exact product name.
EdsSize FullPictureSizeOf(const std::string& productName);

class DownloadCommand : public Command
{
public:
    // Takes over the item reference.
    DownloadCommand(CameraModel* model, EdsDirectoryItemRef item, CLocalClock clock)
        : Command(model), m_item(item), m_clock(std::move(clock))
    {
    }
    ~DownloadCommand() override;
    bool execute() override;

private:
    static EdsError ProgressFunc(EdsUInt32 percent, void* context, int* cancel);

    EdsDirectoryItemRef m_item;
    CLocalClock m_clock;
};

class StartEvfCommand : public Command
{
public:
    using Command::Command;
    bool execute() override;
};

// Tried again, also after an error, until the camera takes it.
class EndEvfCommand : public Command
{
public:
    EndEvfCommand(CameraModel* model, kestrun::IClock& clock) : Command(model), m_clock(clock) {}
    bool execute() override;

private:
    kestrun::IClock& m_clock;
};

class DownloadEvfCommand : public Command
{
public:
    using Command::Command;
    bool execute() override;
};
