#include "geometry/decgradopt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Sum of squared distances from the targets.
struct CQuadratic
{
    std::vector<double> targets;

    static double Chi(double* p, int n, void* context)
    {
        auto* self = static_cast<CQuadratic*>(context);
        double chi = 0.0;
        for (int i = 0; i < n; ++i)
            chi += (p[i] - self->targets[i]) * (p[i] - self->targets[i]);
        return chi;
    }
};

CDGOSettings Settings(int n)
{
    CDGOSettings s;
    s.nParameter = n;
    s.maxRuns = 300;
    s.minDeltaChi = 1e-9;
    s.derivStep.assign(n, 0.001);
    s.stepFactor.assign(n, 0.1);
    s.stepDivisor.assign(n, 1.3);
    s.includeOpt.assign(n, 1);
    return s;
}

void Prepare(CDecGradOpt& dgo, const CDGOSettings& settings, double* parameters, CQuadratic& chi)
{
    ASSERT_TRUE(dgo.SetNParameter(settings.nParameter));
    ASSERT_TRUE(dgo.SetSettings(settings));
    dgo.SetParameters(parameters);
    dgo.SetChiFunction(&CQuadratic::Chi, &chi);
}

TEST(GeometryOptimizer, NotReadyChangesNothing)
{
    CDecGradOpt dgo;
    double p[2] = {1.0, 2.0};
    EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopNotReady) << "no count, no settings";
    CQuadratic chi{{0.0, 0.0}};
    Prepare(dgo, Settings(2), p, chi);
    dgo.SetChiFunction(nullptr);
    EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopNotReady);
    EXPECT_EQ(p[0], 1.0);
    EXPECT_EQ(p[1], 2.0);
    EXPECT_FALSE(dgo.SetNParameter(0));
    EXPECT_FALSE(dgo.SetNParameter(CDecGradOpt::maxParameters + 1));
}

TEST(GeometryOptimizer, FindsTheMinimumAndKeepsExcludedParameters)
{
    for (const WORD half : {WORD(0), WORD(1)}) {
        CDecGradOpt dgo;
        double p[3] = {0.0, 7.0, -4.0};
        CQuadratic chi{{3.0, 0.0, 2.0}};
        CDGOSettings settings = Settings(3);
        settings.includeOpt = {1, 0, 1};
        settings.useHalfDeriv = half;
        Prepare(dgo, settings, p, chi);
        const int code = dgo.Optimize();
        EXPECT_TRUE(code == CDecGradOpt::stopDeltaChi || code == CDecGradOpt::stopMinStep) << code;
        // One-sided derivatives find the minimum one derivative step early.
        const double bias = half ? 0.001 : 0.0;
        EXPECT_NEAR(p[0], 3.0 - bias, 1e-4) << "half " << half;
        EXPECT_EQ(p[1], 7.0) << "excluded";
        EXPECT_NEAR(p[2], 2.0 - bias, 1e-4) << "half " << half;
        EXPECT_NEAR(dgo.GetChi(), 49.0, 1e-4 + 2 * bias * bias);
    }
}

TEST(GeometryOptimizer, RunLimits)
{
    // A minimum chi change of 0 never stops a run: only the limit does.
    struct Case
    {
        int maxRuns;
        int expectedRuns;
    };
    for (const Case& c : {Case{300, 300}, Case{0, CDecGradOpt::hardRunLimit}, Case{1, 1}}) {
        CDecGradOpt dgo;
        double p[1] = {0.0};
        CQuadratic chi{{5.0}};
        CDGOSettings settings = Settings(1);
        settings.maxRuns = c.maxRuns;
        settings.minDeltaChi = 0.0;
        Prepare(dgo, settings, p, chi);
        EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopMaxRuns) << c.maxRuns;
        EXPECT_EQ(dgo.GetRunCount(), c.expectedRuns) << c.maxRuns;
        EXPECT_TRUE(std::isfinite(p[0]));
    }
}

TEST(GeometryOptimizer, OtherStops)
{
    {
        CDecGradOpt dgo;
        double p[1] = {0.0};
        CQuadratic chi{{5.0}};
        CDGOSettings settings = Settings(1);
        settings.minStep = {1e6};
        Prepare(dgo, settings, p, chi);
        EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopMinStep);
        EXPECT_EQ(dgo.GetRunCount(), 1);
    }
    {
        // Chi rises on every move: the switch ends the run at once.
        CDecGradOpt dgo;
        double p[1] = {0.0};
        static int calls;
        calls = 0;
        ASSERT_TRUE(dgo.SetNParameter(1));
        CDGOSettings settings = Settings(1);
        settings.minDeltaChi = 0.0;
        ASSERT_TRUE(dgo.SetSettings(settings));
        dgo.SetParameters(p);
        dgo.SetChiFunction([](double*, int, void*) { return 0.5 + 1e-3 * ++calls; });
        dgo.SetStopOnIncrease(1);
        EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopChiRose);
    }
}

// Finite up to x = 4, NaN beyond: the run ends with the last finite state.
double NanBeyondFour(double* p, int, void* context)
{
    auto* seen = static_cast<std::vector<double>*>(context);
    if (p[0] > 4.0)
        return std::numeric_limits<double>::quiet_NaN();
    seen->push_back(p[0]);
    return (p[0] - 10.0) * (p[0] - 10.0);
}

TEST(GeometryOptimizer, NonFiniteChiEndsWithTheLastFiniteState)
{
    for (const int maxRuns : {0, 300}) {
        CDecGradOpt dgo;
        double p[1] = {0.0};
        std::vector<double> seen;
        ASSERT_TRUE(dgo.SetNParameter(1));
        CDGOSettings settings = Settings(1);
        settings.maxRuns = maxRuns;
        ASSERT_TRUE(dgo.SetSettings(settings));
        dgo.SetParameters(p);
        dgo.SetChiFunction(&NanBeyondFour, &seen);
        EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopChiNotFinite);
        ASSERT_TRUE(std::isfinite(p[0]));
        EXPECT_LE(p[0], 4.0);
        EXPECT_GT(p[0], 0.0) << "the run moved before chi failed";
        EXPECT_DOUBLE_EQ(dgo.GetChi(), (p[0] - 10.0) * (p[0] - 10.0));
    }

    // Not finite at the start: nothing moves.
    CDecGradOpt dgo;
    double p[1] = {5.0};
    std::vector<double> seen;
    ASSERT_TRUE(dgo.SetNParameter(1));
    ASSERT_TRUE(dgo.SetSettings(Settings(1)));
    dgo.SetParameters(p);
    dgo.SetChiFunction(&NanBeyondFour, &seen);
    EXPECT_EQ(dgo.Optimize(), CDecGradOpt::stopChiNotFinite);
    EXPECT_EQ(p[0], 5.0);
}

TEST(GeometryOptimizer, TotalBadMoveIsUndoneAndSkipsTheDerivatives)
{
    // Half derivatives: one probe at x + 2h per pass. Calls: 1 start, 4
    // step-factor generation, then per pass one probe and one move; the
    // second pass's move (call 8) jumps far above twice the best chi.
    struct CSpike
    {
        std::vector<double> xs;
        static double Chi(double* p, int, void* context)
        {
            auto* self = static_cast<CSpike*>(context);
            self->xs.push_back(p[0]);
            if (self->xs.size() == 8)
                return 1e6;
            return (p[0] - 10.0) * (p[0] - 10.0) + 2.0;
        }
    } spike;
    CDecGradOpt dgo;
    double p[1] = {0.0};
    ASSERT_TRUE(dgo.SetNParameter(1));
    CDGOSettings settings = Settings(1);
    settings.derivStep = {0.25};
    settings.stepFactor = {0.01};
    settings.useHalfDeriv = 1;
    ASSERT_TRUE(dgo.SetSettings(settings));
    dgo.SetParameters(p);
    dgo.SetChiFunction(&CSpike::Chi, &spike);
    std::vector<std::string> trace;
    dgo.SetTrace([&](const char* line) { trace.emplace_back(line); });
    dgo.Optimize();

    ASSERT_GE(spike.xs.size(), 10u);
    ASSERT_NE(std::find(trace.begin(), trace.end(), "TOTAL BAD MOVE"), trace.end());
    const double before = spike.xs[6] - 0.5; // call 7 probed at x + 2h
    const double bad = spike.xs[7];
    const double next = spike.xs[8];
    EXPECT_NE(next, spike.xs[6]) << "no derivative probe after the undone move";
    EXPECT_GT(next, before) << "moved from the undone state";
    EXPECT_LT(next, bad) << "with a smaller step";
    EXPECT_NEAR(p[0], 10.0 - 0.25, 0.01) << "one-sided derivatives stop one step early";
}

class GeometryOptimizerFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("kestrun-dgo-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Write(const std::string& content)
    {
        const fs::path path = m_folder / ("params" + std::to_string(m_count++) + ".txt");
        std::ofstream(path) << content;
        return path.string();
    }

    fs::path m_folder;
    int m_count = 0;
};

TEST_F(GeometryOptimizerFile, BadFilesGetTheirCodeAndChangeNothing)
{
    struct Case
    {
        const char* name;
        int count; // of the optimiser before reading
        const char* content;
        int code;
    };
    const Case cases[] = {
        {"open comment", 0, "MaxRuns: 99 /* never closed", CDecGradOpt::fileBadCountOrComment},
        {"value does not read", 2, "MaxRuns: 99 MinDeltaChi: abc", CDecGradOpt::fileBadValue},
        {"value missing at the end", 2, "MaxRuns: 99 StepFactor: 1.0", CDecGradOpt::fileBadValue},
        {"value not finite", 2, "MaxRuns: 99 MinDeltaChi: nan", CDecGradOpt::fileBadValue},
        {"negative run limit", 2, "MaxRuns: -1", CDecGradOpt::fileBadValue},
        {"array before the count", 0, "MaxRuns: 99 MaxStep: 1 2 nParameter: 2", CDecGradOpt::fileArrayBeforeCount},
        {"count zero", 0, "MaxRuns: 99 nParameter: 0", CDecGradOpt::fileBadCountOrComment},
        {"count too large", 0, "MaxRuns: 99 nParameter: 100000", CDecGradOpt::fileBadCountOrComment},
        {"count negative", 0, "nParameter: -2", CDecGradOpt::fileBadCountOrComment},
        {"count differs", 2, "MaxRuns: 99 nParameter: 3", CDecGradOpt::fileBadCountOrComment},
        {"count not a number", 0, "nParameter: two", CDecGradOpt::fileBadValue},
    };
    for (const Case& c : cases) {
        CDecGradOpt dgo;
        if (c.count > 0) {
            ASSERT_TRUE(dgo.SetNParameter(c.count));
            ASSERT_TRUE(dgo.SetSettings(Settings(c.count)));
        }
        dgo.SetMaxRuns(7);
        EXPECT_EQ(dgo.ReadParamFile(Write(c.content).c_str()), c.code) << c.name;
        EXPECT_EQ(dgo.GetSettings().maxRuns, 7) << c.name;
        EXPECT_EQ(dgo.GetNParameter(), c.count) << c.name;
        EXPECT_EQ(dgo.GetSettings().stepFactor.size(), static_cast<size_t>(c.count)) << c.name;
    }

    CDecGradOpt dgo;
    EXPECT_EQ(dgo.ReadParamFile((m_folder / "missing.txt").c_str()), CDecGradOpt::fileCannotOpen);
    EXPECT_EQ(dgo.ReadParamFile(m_folder.c_str()), CDecGradOpt::fileCannotOpen) << "a folder";
    EXPECT_EQ(dgo.ReadParamFile(nullptr), CDecGradOpt::fileCannotOpen);
}

TEST_F(GeometryOptimizerFile, GoodFileIsApplied)
{
    CDecGradOpt dgo;
    const std::string path = Write("/* two parameters */ nParameter: 2\n"
                                   "MaxRuns: 50 MinDeltaChi: 1e-4 UseHalfDeriv: 1 /*inline*/\n"
                                   "StepFactor: 0.5 +0.25 IncludeOpt: 1 0 DerivStep: 0.01 0.02\n"
                                   "/* a comment over\nlines */ StepDivisor: 2 2 MinStep: 0 0 MaxStep: 3 4 other words\n");
    ASSERT_EQ(dgo.ReadParamFile(path.c_str()), CDecGradOpt::fileOk);
    const CDGOSettings& s = dgo.GetSettings();
    EXPECT_EQ(s.nParameter, 2);
    EXPECT_EQ(s.maxRuns, 50);
    EXPECT_DOUBLE_EQ(s.minDeltaChi, 1e-4);
    EXPECT_EQ(s.useHalfDeriv, 1);
    EXPECT_EQ(s.stepFactor, (std::vector<double>{0.5, 0.25}));
    EXPECT_EQ(s.includeOpt, (std::vector<WORD>{1, 0}));
    EXPECT_EQ(s.derivStep, (std::vector<double>{0.01, 0.02}));
    EXPECT_EQ(s.maxStep, (std::vector<double>{3, 4}));

    // The optimiser runs with what it read.
    double p[2] = {0.0, 0.0};
    CQuadratic chi{{1.0, 1.0}};
    dgo.SetParameters(p);
    dgo.SetChiFunction(&CQuadratic::Chi, &chi);
    dgo.Optimize();
    EXPECT_NEAR(p[0], 1.0, 0.01);
    EXPECT_EQ(p[1], 0.0) << "excluded by the file";
}

} // namespace
