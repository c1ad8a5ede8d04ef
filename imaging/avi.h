#pragma once
// A video file from a list of image files: Motion-JPEG in an AVI container
// at 25 frames per second, written by OpenCV's own writer, so that the
// bytes are the same on every machine and no codec library is needed.

#include "platform/core/arrays.h"
#include "platform/core/object.h"

#include <functional>

class CAVI : public CObject
{
public:
    static constexpr double kFramesPerSecond = 25.0;
    static constexpr int kDefaultQuality = 95;

    // Asks the user for the JPEG quality (1..100), starting from the value
    // passed in; FALSE when cancelled.
    using QualityChooser = std::function<BOOL(int& nQuality)>;

    CAVI() = default;

    // The window layer installs the chooser; without one the default
    // quality is used without asking.
    static void SetQualityChooser(QualityChooser chooser);

    // TRUE only when every image went into the file. The file is written
    // beside the target and renamed over it when complete, so that a
    // cancelled or failed run leaves the target as it was. An image that
    // cannot be read, or whose size differs from the first, stops the run
    // with one message naming it.
    BOOL CreateFromImageFiles(const CString& strOutput, const CStringArray& arrFiles);
};
