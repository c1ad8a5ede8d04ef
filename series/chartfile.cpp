#include "series/chartfile.h"

#include "series/growthrate.h"

#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <pugixml.hpp>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace kestrun {

namespace {

// A chart file larger than this is no chart file (four curves of a
// million values take about 40 MB).
constexpr ULONGLONG kMaxChartFileBytes = 1ULL << 30;

std::string Number(double v, const char* format)
{
    if (std::isnan(v))
        return "nan";
    char text[40];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// Doubles round-trip exactly; values are floats.
std::string Real(double v)
{
    return Number(v, "%.17g");
}

std::string Values(const CDataFilter& series)
{
    std::string text;
    text.reserve(static_cast<size_t>(series.GetUsedCount()) * 10);
    for (int i = 0; i < series.GetUsedCount(); ++i) {
        if (i > 0)
            text += ' ';
        text += Number(series.CDataArray::GetAt(i), "%.9g");
    }
    return text;
}

class CChartReader
{
public:
    explicit CChartReader(const CString& fileName) : m_fileName(fileName) {}

    [[noreturn]] void Damaged() const { AfxThrowArchiveException(CArchiveException::genericException, m_fileName); }

    pugi::xml_node Child(pugi::xml_node parent, const char* name) const
    {
        const pugi::xml_node node = parent.child(name);
        if (!node)
            Damaged();
        return node;
    }

    double Real(pugi::xml_node node, const char* name, bool finite = true) const
    {
        const pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute)
            Damaged();
        const double v = Parse(attribute.value());
        if (finite && !std::isfinite(v))
            Damaged();
        return v;
    }

    long long Integer(pugi::xml_node node, const char* name, long long low, long long high) const
    {
        const double v = Real(node, name);
        if (v != std::floor(v) || v < static_cast<double>(low) || v > static_cast<double>(high))
            Damaged();
        return static_cast<long long>(v);
    }

    CString Text(pugi::xml_node node, const char* name) const
    {
        const pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute)
            Damaged();
        return attribute.value();
    }

    // One number and nothing else; "nan" and "inf" are numbers.
    double Parse(std::string_view text) const
    {
        double v = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (error != std::errc() || end != text.data() + text.size() || text.empty())
            Damaged();
        return v;
    }

    void ReadValues(const char* text, CDataFilter& series) const
    {
        std::string_view rest(text);
        while (true) {
            const size_t start = rest.find_first_not_of(" \t\r\n");
            if (start == std::string_view::npos)
                return;
            rest.remove_prefix(start);
            const size_t end = std::min(rest.find_first_of(" \t\r\n"), rest.size());
            series.AddDouble(Parse(rest.substr(0, end)));
            rest.remove_prefix(end);
        }
    }

private:
    CString m_fileName;
};

} // namespace

std::string ChartFileText(const CCurveChartData& data)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Chart");
    root.append_attribute("version").set_value(kChartFileVersion);
    pugi::xml_node x = root.append_child("XAxis");
    x.append_attribute("title").set_value(data.m_strXTitle.GetString());
    x.append_attribute("kind").set_value(data.m_nXKind);
    x.append_attribute("min").set_value(Real(data.m_dXMin).c_str());
    x.append_attribute("max").set_value(Real(data.m_dXMax).c_str());
    x.append_attribute("start").set_value(Real(data.m_dXStart).c_str());
    x.append_attribute("step").set_value(Real(data.m_dXStep).c_str());
    pugi::xml_node y = root.append_child("YAxis");
    y.append_attribute("title").set_value(data.m_strYTitle.GetString());
    y.append_attribute("kind").set_value(data.m_nYKind);
    y.append_attribute("min").set_value(Real(data.m_dYMin).c_str());
    y.append_attribute("max").set_value(Real(data.m_dYMax).c_str());
    pugi::xml_node properties = root.append_child("Properties");
    properties.append_attribute("short2").set_value(data.m_nShort[0]);
    properties.append_attribute("short3").set_value(data.m_nShort[1]);
    properties.append_attribute("method").set_value(data.m_nShort[2]);
    properties.append_attribute("date").set_value(Real(data.m_dDate).c_str());
    pugi::xml_node filter = root.append_child("Filter");
    filter.append_attribute("type").set_value(data.m_nFilterType);
    filter.append_attribute("width").set_value(data.m_nFilterWidth);
    for (const CChartCurve& curve : data.m_Curves) {
        pugi::xml_node node = root.append_child("Curve");
        node.append_attribute("name").set_value(curve.m_strName.GetString());
        node.append_attribute("colour").set_value(static_cast<unsigned>(curve.m_Color));
        node.append_attribute("style").set_value(static_cast<unsigned>(curve.m_dwStyle));
        node.append_attribute("shown").set_value(curve.m_bShown ? 1 : 0);
        node.text().set(Values(curve.m_Values).c_str());
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return std::move(out).str();
}

CCurveChartData ParseChartFile(std::string_view text, const CString& fileName)
{
    const CChartReader reader(fileName);
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        reader.Damaged();
    const pugi::xml_node root = reader.Child(doc, "Chart");
    const long long version = reader.Integer(root, "version", 1, std::numeric_limits<int>::max());
    if (version > kChartFileVersion)
        AfxThrowArchiveException(CArchiveException::badSchema, fileName);

    CCurveChartData data;
    const pugi::xml_node x = reader.Child(root, "XAxis");
    data.m_strXTitle = reader.Text(x, "title");
    data.m_nXKind = static_cast<int>(reader.Integer(x, "kind", INT_MIN, INT_MAX));
    data.m_dXMin = reader.Real(x, "min");
    data.m_dXMax = reader.Real(x, "max");
    data.m_dXStart = reader.Real(x, "start");
    data.m_dXStep = reader.Real(x, "step");
    if (!(data.m_dXStep > 0.0))
        reader.Damaged();
    const pugi::xml_node y = reader.Child(root, "YAxis");
    data.m_strYTitle = reader.Text(y, "title");
    data.m_nYKind = static_cast<int>(reader.Integer(y, "kind", INT_MIN, INT_MAX));
    data.m_dYMin = reader.Real(y, "min");
    data.m_dYMax = reader.Real(y, "max");
    const pugi::xml_node properties = reader.Child(root, "Properties");
    data.m_nShort[0] = static_cast<SHORT>(reader.Integer(properties, "short2", SHRT_MIN, SHRT_MAX));
    data.m_nShort[1] = static_cast<SHORT>(reader.Integer(properties, "short3", SHRT_MIN, SHRT_MAX));
    data.m_nShort[2] = static_cast<SHORT>(reader.Integer(properties, "method", 0, growthMethodCount - 1));
    data.m_dDate = reader.Real(properties, "date");
    const pugi::xml_node filter = reader.Child(root, "Filter");
    data.m_nFilterType = static_cast<WORD>(reader.Integer(filter, "type", 0, CDataFilter::filterRegressionTrend));
    data.m_nFilterWidth = static_cast<SHORT>(reader.Integer(filter, "width", 0, CCurveChart::kMaxFilterWidth));
    for (const pugi::xml_node node : root.children("Curve")) {
        CChartCurve& curve = data.m_Curves.emplace_back();
        curve.m_strName = reader.Text(node, "name");
        curve.m_Color = static_cast<COLORREF>(reader.Integer(node, "colour", 0, 0xFFFFFFFFLL));
        curve.m_dwStyle = static_cast<DWORD>(reader.Integer(node, "style", 0, 0xFFFFFFFFLL));
        curve.m_bShown = reader.Integer(node, "shown", 0, 1) != 0 ? TRUE : FALSE;
        curve.m_Values.SetX0(data.m_dXStart);
        curve.m_Values.SetDX(data.m_dXStep);
        curve.m_Values.SetFilter(data.m_nFilterType, data.m_nFilterWidth);
        reader.ReadValues(node.text().get(), curve.m_Values);
    }
    return data;
}

void SaveChartFile(const CCurveChart& chart, const CString& path)
{
    const std::string text = ChartFileText(chart.Data());
    CAtomicFileWriter writer(path);
    writer.Write(text.data(), text.size());
    writer.Commit();
}

void LoadChartFile(CCurveChart& chart, const CString& path)
{
    CFile file(path, CFile::modeRead);
    const ULONGLONG length = file.GetLength();
    if (length > kMaxChartFileBytes)
        AfxThrowArchiveException(CArchiveException::genericException, path);
    std::string text(static_cast<size_t>(length), '\0');
    if (file.Read(text.data(), static_cast<UINT>(length)) != length)
        AfxThrowArchiveException(CArchiveException::genericException, path);
    chart.SetData(ParseChartFile(text, path));
}

} // namespace kestrun
