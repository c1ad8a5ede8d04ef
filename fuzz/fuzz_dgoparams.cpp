// The optimiser's parameter file: any bytes give one of the file codes; a
// failed read changes no setting, a good one leaves arrays that fit the
// count, and the optimiser then runs to an end with what it read.

#include "fuzz/fuzzsupport.h"
#include "geometry/decgradopt.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Bowl(double* p, int n, void*)
{
    double chi = 0.0;
    for (int i = 0; i < n; ++i)
        chi += (p[i] - 1.0) * (p[i] - 1.0);
    return chi;
}

bool ArraysFit(const CDGOSettings& s)
{
    const auto n = static_cast<size_t>(s.nParameter);
    auto fits = [n](size_t size) { return size == 0 || size == n; };
    return fits(s.derivStep.size()) && fits(s.stepFactor.size()) && fits(s.stepDivisor.size()) &&
           fits(s.minStep.size()) && fits(s.maxStep.size()) && fits(s.includeOpt.size());
}

void ReadAndRun(CDecGradOpt& dgo, const std::string& path)
{
    const CDGOSettings before = dgo.GetSettings();
    const int code = dgo.ReadParamFile(path.c_str());
    if (code != 0 && code != 2 && code != 3 && code != 5)
        std::abort(); // the file exists: only these codes are possible
    if (code != 0 && !(dgo.GetSettings() == before))
        std::abort(); // a failed read must change nothing
    if (!ArraysFit(dgo.GetSettings()))
        std::abort();
    if (dgo.GetNParameter() == 0)
        return;
    // Fill what the file left out, keep the runs short, and run.
    CDGOSettings settings = dgo.GetSettings();
    const auto n = static_cast<size_t>(settings.nParameter);
    if (settings.derivStep.empty())
        settings.derivStep.assign(n, 0.01);
    if (settings.stepFactor.empty())
        settings.stepFactor.assign(n, 0.1);
    if (settings.includeOpt.empty())
        settings.includeOpt.assign(n, 1);
    settings.maxRuns = settings.maxRuns == 0 ? 50 : std::min(settings.maxRuns, 50);
    if (!dgo.SetSettings(settings))
        std::abort();
    std::vector<double> parameters(n, 0.0);
    dgo.SetParameters(parameters.data());
    dgo.SetChiFunction(&Bowl);
    const int stop = dgo.Optimize();
    if (stop < 21 || stop > 26)
        std::abort();
    dgo.SetParameters(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, ".txt");
    CDecGradOpt fresh;
    ReadAndRun(fresh, path);
    // An optimiser that already has five parameters, as the ellipse's.
    CDecGradOpt five;
    five.SetNParameter(5);
    ReadAndRun(five, path);
    return 0;
}
