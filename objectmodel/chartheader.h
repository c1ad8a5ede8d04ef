#pragma once
// CChartHeader: the record that opens a stored chart - the schema its
// class record was read with and the chart's creation time, an automation
// date (days since 30 December 1899) with its status word.

#include "platform/core/object.h"

#include <cstdint>

class CArchive;

class CChartHeader : public CObject
{
    DECLARE_SERIAL(CChartHeader)

public:
    enum DateStatus : std::int32_t
    {
        dateValid = 0,
        dateInvalid = 1,
        dateNull = 2,
    };

    // The date is the current time.
    CChartHeader();
    ~CChartHeader() override = default;

    // Storing: class record (schema 1), status, date. Loading: the class
    // record's schema goes to m_nSchema; the date is read for schema 1 only.
    void Serialize(CArchive& ar) override;

    std::int32_t m_nSchema = 0;
    double m_dtDate = 0.0;
    std::int32_t m_nDateStatus = dateValid;
};
