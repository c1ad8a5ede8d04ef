#include "analysis/cameracalibration.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/folders.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Reads whitespace-separated numbers as the old scanf calls did, but only
// whole tokens: "1.5x" is no number.
class CNumberReader
{
public:
    explicit CNumberReader(std::istream& in) : m_in(in) {}

    bool Next(int& value)
    {
        std::string token;
        if (!(m_in >> token))
            return false;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        return error == std::errc() && end == token.data() + token.size();
    }
    bool Next(double& value)
    {
        std::string token;
        if (!(m_in >> token))
            return false;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        return error == std::errc() && end == token.data() + token.size() && std::isfinite(value);
    }

private:
    std::istream& m_in;
};

template <size_t N>
bool ReadValues(CNumberReader& reader, std::array<double, N>& values)
{
    for (double& v : values)
        if (!reader.Next(v))
            return false;
    return true;
}

template <size_t N>
void AppendValues(std::string& text, const std::array<double, N>& values)
{
    for (double v : values)
        text += FormatString("%15.10f ", v).GetString();
}

} // namespace

CString CCameraCalibration::DefaultPath()
{
    return AddTrailingBackslash(GetDataRootPath()) + "halvorn_camera_calibration.txt";
}

bool CCameraCalibration::Load(const CString& path)
{
    std::ifstream file(std::filesystem::path(path.GetString()));
    if (!file)
        return false;
    CNumberReader reader(file);
    int count = 0;
    if (!reader.Next(count) || count < 1 || count > kMaxCameras)
        return false;
    std::vector<sCameraParams> cameras(static_cast<size_t>(count));
    for (sCameraParams& c : cameras) {
        if (!ReadValues(reader, c.imgSize) || !ReadValues(reader, c.matrix) || !ReadValues(reader, c.distortion) ||
            !ReadValues(reader, c.rotMatr) || !ReadValues(reader, c.transVect))
            return false;
    }
    m_Cameras = std::move(cameras);
    return true;
}

void CCameraCalibration::Save(const CString& path) const
{
    if (m_Cameras.empty() || m_Cameras.size() > static_cast<size_t>(kMaxCameras))
        AfxThrowInvalidArgException();
    std::string text = FormatString("%d\n\n", static_cast<int>(m_Cameras.size())).GetString();
    for (const sCameraParams& c : m_Cameras) {
        AppendValues(text, c.imgSize);
        AppendValues(text, c.matrix);
        AppendValues(text, c.distortion);
        AppendValues(text, c.rotMatr);
        AppendValues(text, c.transVect);
        text += "\n\n";
    }
    // The stereo block: two quadrilaterals of four points, two 3 x 3
    // coefficient matrices.
    for (int row = 0; row < 2; ++row) {
        AppendValues(text, std::array<double, 8>{});
        text += "\n";
    }
    for (int row = 0; row < 2; ++row) {
        AppendValues(text, std::array<double, 9>{});
        text += "\n";
    }

    const std::filesystem::path folder = std::filesystem::path(path.GetString()).parent_path();
    if (!folder.empty())
        kestrun::CreateFolderTree(folder.c_str());
    kestrun::CAtomicFileWriter writer(path);
    writer.Write(text.data(), text.size());
    writer.Commit();
}

bool CCameraCalibration::IsUsable() const
{
    return !m_Cameras.empty() && m_Cameras[0].matrix[0] != 0.0 && m_Cameras[0].matrix[4] != 0.0;
}
