#pragma once
// The shown records of a table counted by class: one entry per class id
// among them, in ascending order of the id, labelled with the class name
// (the id when the record carries no name).

#include "platform/core/arrays.h"

#include <vector>

class CDataDoc;

void CountClasses(const CDataDoc& doc, std::vector<int>& counts, CStringArray& labels);
