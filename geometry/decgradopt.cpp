#include "geometry/decgradopt.h"
#include "geometry/textnumber.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

constexpr double kNoChi = 1.7976931348623157e308;

// The next white-space separated word; longer words are cut, so that a
// file without spaces costs no more than its first characters.
bool NextWord(std::istream& in, std::string& word)
{
    constexpr size_t kMaxWord = 256;
    word.clear();
    char c = 0;
    while (in.get(c) && std::isspace(static_cast<unsigned char>(c))) {
    }
    if (!in)
        return false;
    do {
        if (std::isspace(static_cast<unsigned char>(c)))
            break;
        if (word.size() < kMaxWord)
            word.push_back(c);
    } while (in.get(c));
    return true;
}

bool ParseInt(const std::string& word, int& value)
{
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

bool Contains(const std::string& word, std::string_view key)
{
    return word.find(key) != std::string::npos;
}

} // namespace

BOOL CDecGradOpt::SetNParameter(int n)
{
    if (n < 1 || n > maxParameters)
        return FALSE;
    const auto size = static_cast<size_t>(n);
    m_settings.nParameter = n;
    m_gradient.assign(size, 0.0);
    m_prevGradient.assign(size, 0.0);
    m_step.assign(size, 0.0);
    m_factor.assign(size, 1.0);
    m_cut.assign(size, 0);
    m_agree.assign(size, 0);
    // Settings made for another count no longer fit.
    for (std::vector<double>* values : {&m_settings.derivStep, &m_settings.stepFactor, &m_settings.stepDivisor,
                                        &m_settings.minStep, &m_settings.maxStep}) {
        if (values->size() != size)
            values->clear();
    }
    if (m_settings.includeOpt.size() != size)
        m_settings.includeOpt.clear();
    return TRUE;
}

void CDecGradOpt::SetDefaults()
{
    if (!IsReady())
        return;
    const auto size = static_cast<size_t>(m_settings.nParameter);
    if (!m_settings.minStep.empty())
        m_settings.minStep.assign(size, 0.0);
    m_settings.stepFactor.assign(size, 1.0);
    m_settings.includeOpt.assign(size, 1);
}

void CDecGradOpt::SetChiFunction(DGOChiFunction function, void* context)
{
    m_pChi = function;
    m_pContext = context;
}

BOOL CDecGradOpt::SetSettings(const CDGOSettings& settings)
{
    const auto size = static_cast<size_t>(m_settings.nParameter);
    if (settings.nParameter != m_settings.nParameter)
        return FALSE;
    for (const std::vector<double>* values : {&settings.derivStep, &settings.stepFactor, &settings.stepDivisor,
                                              &settings.minStep, &settings.maxStep}) {
        if (!values->empty() && values->size() != size)
            return FALSE;
    }
    if (!settings.includeOpt.empty() && settings.includeOpt.size() != size)
        return FALSE;
    m_settings = settings;
    return TRUE;
}

BOOL CDecGradOpt::IsReady() const
{
    const auto size = static_cast<size_t>(m_settings.nParameter);
    return m_pParameters != nullptr && m_pChi != nullptr && size > 0 && m_gradient.size() == size &&
           m_settings.derivStep.size() == size && m_settings.includeOpt.size() == size &&
           m_settings.stepFactor.size() == size;
}

double CDecGradOpt::Chi()
{
    return m_pChi(m_pParameters, m_settings.nParameter, m_pContext);
}

void CDecGradOpt::Trace(const char* text) const
{
    if (m_trace)
        m_trace(text);
}

void CDecGradOpt::Derivatives()
{
    for (int i = 0; i < m_settings.nParameter; ++i) {
        if (!Included(i))
            continue;
        m_prevGradient[i] = m_gradient[i];
        const double saved = m_pParameters[i];
        const double h = m_settings.derivStep[i];
        if (h == 0.0) {
            // No step, no slope: the parameter stays where it is.
            m_gradient[i] = 0.0;
            continue;
        }
        if (m_settings.useHalfDeriv) {
            m_pParameters[i] = saved + 2.0 * h;
            const double plus = Chi();
            m_gradient[i] = -(plus - m_dChi) / (2.0 * h);
        } else {
            m_pParameters[i] = saved + h;
            const double plus = Chi();
            m_pParameters[i] = saved - h;
            const double minus = Chi();
            m_gradient[i] = -(plus - minus) / (2.0 * h);
        }
        m_pParameters[i] = saved;
    }
}

void CDecGradOpt::Steps()
{
    const bool hasMax = !m_settings.maxStep.empty();
    for (int i = 0; i < m_settings.nParameter; ++i) {
        if (!Included(i))
            continue;
        double step = m_settings.stepFactor[i] * m_gradient[i] * m_factor[i];
        if (hasMax && std::fabs(step) > m_settings.maxStep[i])
            step = std::copysign(m_settings.maxStep[i], step);
        m_step[i] = step;
    }
}

void CDecGradOpt::Move()
{
    for (int i = 0; i < m_settings.nParameter; ++i) {
        if (Included(i))
            m_pParameters[i] += m_step[i];
    }
    m_dPrevChi = m_dChi;
    m_dChi = Chi();
    m_dBestChi = std::min(m_dBestChi, m_dChi);
}

double CDecGradOpt::DivisorOrChiRatio(int i) const
{
    double divisor = 1.0;
    if (!m_settings.stepDivisor.empty())
        divisor = m_settings.stepDivisor[i];
    else if (m_dBestChi > 0.0 && m_dBestChi < kNoChi)
        divisor = m_dChi / m_dBestChi;
    // A divisor from a file may be 0 or negative; it must not flip or
    // blow up the step.
    return std::isfinite(divisor) && divisor > 0.0 ? divisor : 1.0;
}

void CDecGradOpt::Grow(int i)
{
    // A gradient of exactly zero agrees with itself on every pass; without
    // a bound the factor would overflow and the next step be NaN.
    constexpr double kMaxFactor = 1e6;
    m_factor[i] = std::min(m_factor[i] * m_settings.stepDivisor[i], kMaxFactor);
}

bool CDecGradOpt::DirectionCorrection()
{
    const bool hasDivisors = !m_settings.stepDivisor.empty();
    bool corrected = false;
    for (int i = 0; i < m_settings.nParameter; ++i) {
        if (!Included(i))
            continue;
        const double g0 = m_prevGradient[i];
        const double g1 = m_gradient[i];
        if (g0 * g1 >= 0.0) {
            ++m_agree[i];
            if (m_cut[i]) {
                if (hasDivisors)
                    Grow(i);
                m_cut[i] = 0;
            } else if (m_agree[i] == 3 && hasDivisors) {
                Grow(i);
            }
            m_agree[i] %= 3;
            continue;
        }
        if (m_agree[i] > 0)
            --m_agree[i];
        if (std::fabs(g0) >= std::fabs(g1))
            continue;
        // Overshoot: back to where the gradient, interpolated linearly
        // between the previous and the current position, is zero.
        const double p1 = m_pParameters[i];
        const double p0 = p1 - m_step[i];
        m_pParameters[i] = (g0 * p1 - g1 * p0) / (g0 - g1);
        m_cut[i] = 1;
        m_factor[i] /= DivisorOrChiRatio(i);
        corrected = true;
        if (m_trace)
            m_trace(("CUTTING Param " + std::to_string(i)).c_str());
    }
    if (corrected) {
        Derivatives();
        m_dPrevChi = m_dChi;
        m_dChi = Chi();
        m_dBestChi = std::min(m_dBestChi, m_dChi);
        MoveCheck();
    }
    return corrected;
}

void CDecGradOpt::MoveCheck()
{
    if (m_dChi > 1.0 && m_dChi > m_dTotalBadMoveFactor * m_dBestChi) {
        Trace("TOTAL BAD MOVE");
        for (int i = 0; i < m_settings.nParameter; ++i) {
            if (!Included(i))
                continue;
            m_badMove = 1;
            m_factor[i] /= DivisorOrChiRatio(i);
            m_pParameters[i] -= m_step[i];
            m_gradient[i] = m_prevGradient[i];
        }
        m_dChi = m_dPrevChi;
        return;
    }
    if (m_dChi > m_dBestChi) {
        Trace("BAD MOVE");
        for (int i = 0; i < m_settings.nParameter; ++i) {
            if (Included(i) && m_cut[i])
                m_factor[i] /= DivisorOrChiRatio(i);
        }
    }
    m_badMove = 0;
}

int CDecGradOpt::StopCheck() const
{
    if (!m_settings.minStep.empty()) {
        bool allSmall = true;
        for (int i = 0; i < m_settings.nParameter && allSmall; ++i)
            allSmall = std::fabs(m_step[i]) < m_settings.minStep[i];
        if (allSmall) {
            Trace("Abbruch durch parameter min");
            return stopMinStep;
        }
    }
    const int limit = m_settings.maxRuns > 0 ? std::min(m_settings.maxRuns, hardRunLimit) : hardRunLimit;
    if (m_nRuns >= limit) {
        Trace("Abbruch durch MaxRun");
        return stopMaxRuns;
    }
    if (m_badMove)
        return 0;
    if (std::fabs(m_dPrevChi - m_dChi) < m_settings.minDeltaChi) {
        Trace("Abbruch durch deltachimin");
        return stopDeltaChi;
    }
    if (m_nStopOnIncrease && m_dPrevChi < m_dChi) {
        Trace("Abbruch durch Anstieg von chi");
        return stopChiRose;
    }
    return 0;
}

bool CDecGradOpt::StateFinite() const
{
    if (!std::isfinite(m_dChi))
        return false;
    return std::all_of(m_pParameters, m_pParameters + m_settings.nParameter,
                       [](double value) { return std::isfinite(value); });
}

void CDecGradOpt::RememberFiniteState()
{
    m_lastFinite.assign(m_pParameters, m_pParameters + m_settings.nParameter);
    m_dLastFiniteChi = m_dChi;
}

void CDecGradOpt::RestoreFiniteState()
{
    std::copy(m_lastFinite.begin(), m_lastFinite.end(), m_pParameters);
    m_dChi = m_dLastFiniteChi;
    m_dBestChi = std::min(m_dBestChi, m_dChi);
}

void CDecGradOpt::GenStepFactor()
{
    if (!IsReady())
        return;
    const std::vector<double> saved(m_pParameters, m_pParameters + m_settings.nParameter);
    const double startChi = m_dChi;
    Derivatives();
    const std::vector<double> firstGradient = m_gradient;
    Steps();
    Move();
    Derivatives();
    DirectionCorrection();
    for (int i = 0; i < m_settings.nParameter; ++i) {
        if (!Included(i) || !m_cut[i] || firstGradient[i] == 0.0)
            continue;
        const double factor = std::fabs((m_pParameters[i] - saved[i]) / firstGradient[i]);
        if (std::isfinite(factor))
            m_settings.stepFactor[i] = factor;
    }
    std::copy(saved.begin(), saved.end(), m_pParameters);
    std::fill(m_gradient.begin(), m_gradient.end(), 0.0);
    std::fill(m_prevGradient.begin(), m_prevGradient.end(), 0.0);
    std::fill(m_cut.begin(), m_cut.end(), 0);
    m_dBestChi = kNoChi;
    m_dChi = startChi;
    m_badMove = 0;
}

int CDecGradOpt::Optimize()
{
    if (!IsReady())
        return stopNotReady;
    Trace("Starte Opt");
    std::fill(m_factor.begin(), m_factor.end(), 1.0);
    m_badMove = 0;
    m_dChi = Chi();
    m_dBestChi = kNoChi;
    if (!StateFinite()) {
        Trace("Abbruch durch ungueltiges chi");
        return stopChiNotFinite;
    }
    RememberFiniteState();
    GenStepFactor();
    m_nRuns = 0;
    int code = 0;
    do {
        if (!m_badMove) {
            Derivatives();
            DirectionCorrection();
        }
        if (StateFinite()) {
            Steps();
            Move();
            if (StateFinite())
                MoveCheck();
        }
        if (!StateFinite()) {
            RestoreFiniteState();
            Trace("Abbruch durch ungueltiges chi");
            return stopChiNotFinite;
        }
        RememberFiniteState();
        ++m_nRuns;
        code = StopCheck();
    } while (code == 0);
    Trace("beende Opt");
    return code;
}

int CDecGradOpt::ReadParamFile(const char* fileName)
{
    std::error_code error;
    if (fileName == nullptr || !std::filesystem::is_regular_file(fileName, error))
        return fileCannotOpen;
    std::ifstream in(fileName);
    if (!in)
        return fileCannotOpen;

    // Read into a copy: a file that fails half-way changes nothing.
    CDGOSettings settings = m_settings;
    std::string word;
    auto readInt = [&](int& value) { return NextWord(in, word) && ParseInt(word, value); };
    auto readDouble = [&](double& value) { return NextWord(in, word) && kestrun::geometry::ParseFinite(word, value); };
    auto readArray = [&](std::vector<double>& values) {
        values.resize(static_cast<size_t>(settings.nParameter));
        return std::all_of(values.begin(), values.end(), [&](double& value) { return readDouble(value); });
    };

    while (NextWord(in, word)) {
        if (const size_t open = word.find("/*"); open != std::string::npos) {
            if (word.find("*/", open + 2) != std::string::npos)
                continue;
            bool closed = false;
            while (!closed && NextWord(in, word))
                closed = Contains(word, "*/");
            if (!closed)
                return fileBadCountOrComment;
            continue;
        }
        if (Contains(word, "nParameter:")) {
            int count = 0;
            if (!readInt(count))
                return fileBadValue;
            if (count < 1 || count > maxParameters)
                return fileBadCountOrComment;
            if (settings.nParameter == 0)
                settings.nParameter = count;
            else if (count != settings.nParameter)
                return fileBadCountOrComment;
        } else if (Contains(word, "MaxRuns:")) {
            if (!readInt(settings.maxRuns) || settings.maxRuns < 0)
                return fileBadValue;
        } else if (Contains(word, "MinDeltaChi:")) {
            if (!readDouble(settings.minDeltaChi))
                return fileBadValue;
        } else if (Contains(word, "UseHalfDeriv:")) {
            int use = 0;
            if (!readInt(use))
                return fileBadValue;
            settings.useHalfDeriv = use != 0 ? 1 : 0;
        } else {
            std::vector<double>* array = nullptr;
            if (Contains(word, "StepFactor:"))
                array = &settings.stepFactor;
            else if (Contains(word, "StepDivisor:"))
                array = &settings.stepDivisor;
            else if (Contains(word, "MinStep:"))
                array = &settings.minStep;
            else if (Contains(word, "MaxStep:"))
                array = &settings.maxStep;
            else if (Contains(word, "DerivStep:"))
                array = &settings.derivStep;
            const bool include = array == nullptr && Contains(word, "IncludeOpt:");
            if (array == nullptr && !include)
                continue;
            if (settings.nParameter == 0)
                return fileArrayBeforeCount;
            if (array != nullptr) {
                if (!readArray(*array))
                    return fileBadValue;
                continue;
            }
            settings.includeOpt.resize(static_cast<size_t>(settings.nParameter));
            for (WORD& flag : settings.includeOpt) {
                int value = 0;
                if (!readInt(value))
                    return fileBadValue;
                flag = value != 0 ? 1 : 0;
            }
        }
    }

    if (settings.nParameter != m_settings.nParameter)
        SetNParameter(settings.nParameter);
    m_settings = std::move(settings);
    return fileOk;
}
