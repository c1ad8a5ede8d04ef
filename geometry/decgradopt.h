#pragma once
// CDecGradOpt: steepest descent over a small vector of real parameters with
// numerical derivatives, per-parameter step control, correction of
// overshoots where the gradient changes sign, and rejection of bad moves.
// The caller owns the parameter vector; the optimiser changes it in place.

#include "platform/core/types.h"

#include <functional>
#include <vector>

// chi(parameters, n, context): the goodness value to minimise.
using DGOChiFunction = double (*)(double* parameters, int n, void* context);

// The optimiser's settings, as the parameter file sets them. Optional
// arrays are empty when absent.
struct CDGOSettings
{
    int nParameter = 0;
    int maxRuns = 0; // 0: unlimited (up to CDecGradOpt::hardRunLimit)
    double minDeltaChi = 0.0;
    WORD useHalfDeriv = 0;
    std::vector<double> derivStep;
    std::vector<double> stepFactor;
    std::vector<double> stepDivisor;
    std::vector<double> minStep;
    std::vector<double> maxStep;
    std::vector<WORD> includeOpt;

    bool operator==(const CDGOSettings&) const = default;
};

class CDecGradOpt
{
public:
    // Stop codes of Optimize.
    static constexpr int stopDeltaChi = 21;   // chi changed less than the minimum
    static constexpr int stopMinStep = 22;    // every step below its minimum
    static constexpr int stopMaxRuns = 23;    // run limit (or the hard limit) reached
    static constexpr int stopChiRose = 24;    // chi rose with stop-on-increase set
    static constexpr int stopNotReady = 25;   // settings, parameters or chi function missing
    static constexpr int stopChiNotFinite = 26; // chi or a parameter turned NaN or infinite:
                                                // the last finite state is restored
    // Runs never exceed this, so that "unlimited" still ends.
    static constexpr int hardRunLimit = 100000;
    // Codes of ReadParamFile.
    static constexpr int fileOk = 0;
    static constexpr int fileCannotOpen = 1;
    static constexpr int fileArrayBeforeCount = 2;
    static constexpr int fileBadValue = 3;
    static constexpr int fileBadCountOrComment = 5;
    // Parameter counts a file may set.
    static constexpr int maxParameters = 64;

    CDecGradOpt() = default;
    CDecGradOpt(const CDecGradOpt&) = delete;
    CDecGradOpt& operator=(const CDecGradOpt&) = delete;

    // Sets the count and allocates the working arrays (cleared); FALSE for a
    // count outside 1..maxParameters.
    BOOL SetNParameter(int n);
    int GetNParameter() const { return m_settings.nParameter; }
    // Zero minimum steps, step factors 1.0, every parameter included; only
    // when the optimiser is ready.
    void SetDefaults();

    // The caller's vector of n doubles, or null.
    void SetParameters(double* parameters) { m_pParameters = parameters; }
    void SetChiFunction(DGOChiFunction function, void* context = nullptr);
    void SetContext(void* context) { m_pContext = context; }

    // The settings as a whole; SetSettings refuses (FALSE) arrays whose size
    // is neither 0 nor the count, and a count other than the current one.
    const CDGOSettings& GetSettings() const { return m_settings; }
    BOOL SetSettings(const CDGOSettings& settings);
    void SetMaxRuns(int maxRuns) { m_settings.maxRuns = maxRuns; }
    void SetMinDeltaChi(double minDeltaChi) { m_settings.minDeltaChi = minDeltaChi; }
    void SetUseHalfDeriv(WORD use) { m_settings.useHalfDeriv = use; }
    void SetStopOnIncrease(int stop) { m_nStopOnIncrease = stop; }

    BOOL IsReady() const;
    int Optimize();
    void GenStepFactor();
    int ReadParamFile(const char* fileName);

    double GetChi() const { return m_dChi; }
    double GetBestChi() const { return m_dBestChi; }
    int GetRunCount() const { return m_nRuns; }

    // Receives the trace lines; the default drops them.
    void SetTrace(std::function<void(const char*)> trace) { m_trace = std::move(trace); }

private:
    double Chi();
    bool Included(int i) const { return m_settings.includeOpt[i] != 0; }
    void Derivatives();
    void Steps();
    void Move();
    // Returns whether a parameter was corrected.
    bool DirectionCorrection();
    void MoveCheck();
    int StopCheck() const;
    double DivisorOrChiRatio(int i) const;
    // Multiplies the factor by the step divisor, within a bound.
    void Grow(int i);
    // Whether chi and every parameter are finite.
    bool StateFinite() const;
    void RememberFiniteState();
    void RestoreFiniteState();
    void Trace(const char* text) const;

    CDGOSettings m_settings;
    std::vector<double> m_gradient;
    std::vector<double> m_prevGradient;
    std::vector<double> m_step;
    std::vector<double> m_factor;
    std::vector<WORD> m_cut;
    std::vector<WORD> m_agree;
    std::vector<double> m_lastFinite;
    double* m_pParameters = nullptr;
    double m_dBestChi = 1.7976931348623157e308;
    double m_dPrevChi = 0.0;
    double m_dChi = 0.0;
    double m_dLastFiniteChi = 0.0;
    int m_nRuns = 0;
    WORD m_badMove = 0;
    int m_nStopOnIncrease = 0;
    double m_dTotalBadMoveFactor = 2.0;
    DGOChiFunction m_pChi = nullptr;
    void* m_pContext = nullptr;
    std::function<void(const char*)> m_trace;
};
