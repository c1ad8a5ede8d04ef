#pragma once
// CFolderPlayback: the image files of a folder played back as frames, in
// the order of their names, starting over after the last. Files are read
// when their turn comes, so a folder may hold more images than memory.

#include "outside/grabwell/videosource.h"

#include <vector>

namespace kestrun {

class CFolderPlayback final : public CVideoSource
{
public:
    // folder: the settings' playback folder, or defaultFolder when empty.
    CFolderPlayback(const CBoardSettings& settings, const CString& defaultFolder);

    bool Open() override;
    bool ReadFrame(cv::Mat& frame) override;
    void Apply(const CBoardSettings& settings) override;

    CSize GetFrameSize() const override { return m_frameSize; }
    double GetFrameRate() const override { return m_frameRate; }
    bool IsPlayback() const override { return true; }
    int GetRecordedFrames() const override { return static_cast<int>(m_files.size()); }
    int GetBoardType() const override { return 0; }

    const CString& GetFolder() const { return m_folder; }
    // The files in playing order.
    const std::vector<CString>& GetFiles() const { return m_files; }

    // Whether the name ends in an extension the page layer reads.
    static bool IsImageFile(const CString& name);

private:
    bool ReadFile(const CString& path, cv::Mat& frame);

    CString m_defaultFolder;
    CString m_folder;
    double m_frameRate;
    std::vector<CString> m_files;
    size_t m_next = 0;
    CSize m_frameSize;
};

} // namespace kestrun
