#include "database/traynames.h"

#include "database/dbfields.h"

#include <cctype>

namespace kestrun::tray {

namespace {

constexpr int kBarcodeStart = 16;

// The digits at [first, first + count) as a number; -1 when one is no digit.
int DigitsAt(const CString& text, int first, int count)
{
    int value = 0;
    for (int i = first; i < first + count; ++i) {
        if (i >= text.GetLength() || !std::isdigit(static_cast<unsigned char>(text[i])))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153LL * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

CString GetBarCodeFromName(const CString& name)
{
    const int start = name.GetLength() - 4 < kBarcodeStart ? 0 : kBarcodeStart;
    int end = name.Find('.', start);
    if (end < 0)
        end = name.GetLength() - 1;
    return end > start ? name.Mid(start, end - start) : CString();
}

CString BarcodeField(const CString& dataName)
{
    if (dataName.GetLength() <= 20)
        return CString();
    return dataName.Mid(kBarcodeStart, dataName.GetLength() - 4 - kBarcodeStart);
}

DATE ImportDateFromName(const CString& dataName)
{
    if (dataName.GetLength() <= 8)
        return 0.0;
    const int year = DigitsAt(dataName, 0, 4);
    const int month = DigitsAt(dataName, 4, 2);
    const int day = DigitsAt(dataName, 6, 2);
    const int hour = DigitsAt(dataName, 9, 2);
    const int minute = DigitsAt(dataName, 11, 2);
    const int second = DigitsAt(dataName, 13, 2);
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return 0.0;
    const long long days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

CTrayBatch TrayBatchOfRecord(int nMesstag, int nGlasNr)
{
    if (nMesstag < 72)
        return CTrayBatch{"72", 1};
    return CTrayBatch{FormatString("%d", nMesstag), nGlasNr >= 1 && nGlasNr <= 4 ? nGlasNr : 1};
}

CString AoiFileName(const CString& strTray, int nBatch)
{
    return FormatString("%s_%d.AOI", strTray.GetString(), nBatch);
}

CString PositionLetter(int nFuellstand, int nGlasNr)
{
    if (nFuellstand == 0)
        return "L";
    if (nFuellstand == 2 || (nFuellstand == 1 && nGlasNr == 2))
        return "R";
    if (nFuellstand == 1 && nGlasNr == 3)
        return "M";
    return CString();
}

std::vector<CString> ImportCandidates(const std::vector<CString>& names)
{
    for (const char* extension : {".xml", ".jpg"}) {
        std::vector<CString> taken;
        for (const CString& name : names) {
            if (name.GetLength() > 4 && name.Right(4) == extension)
                taken.push_back(name);
        }
        if (!taken.empty())
            return taken;
    }
    return {};
}

bool FindDataName(const _RecordsetPtr& rs, const CString& text)
{
    const CString wanted = text.IsEmpty() ? CString(" ") : text;
    if (rs->GetRecordCount() == 0)
        return false;
    rs->MoveFirst();
    for (; !rs->GetEOF(); rs->MoveNext()) {
        const COleVariant value = rs->GetCollect("DataName");
        if (value.vt == VT_BSTR && value.bstrVal.Find(wanted) >= 0)
            return true;
    }
    rs->MoveFirst();
    return false;
}

} // namespace kestrun::tray
