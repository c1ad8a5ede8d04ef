#pragma once
// The area correction factors of the growth test, one per fill-level band
// of 10 ml from 60 ml to 120 ml, and their table "Korrekturfaktoren".
#include "platform/database/ado.h"

#include <array>

using CBandFactorArray = std::array<float, 7>;

// 0 below 65 ml, then one band per 10 ml (rounded), 6 from 115 ml on.
int FillLevelBand(int fillLevel);

// Reads (store false) or writes the factor of the rows "60" to "120" of the
// table; other rows are left alone and a band without a row keeps its
// value. A failing call raises _com_error.
void ExchangeCorrectionFactors(const _ConnectionPtr& conn, CBandFactorArray& factors, bool store);
