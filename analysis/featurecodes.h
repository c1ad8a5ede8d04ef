#pragma once
// A measured object read through the feature codes of
// objectmodel/featurecodes.h, by which the classes and the object marks
// name its features (1 area, 2 form factor, 4 length, 8 width, 16
// roundness, 32, 64 and 128 the red, green and blue mean colour, ...).

class CObjDataBase;

// Whether the record carries the feature; roundness (16) needs both the
// length and the width bit. Unknown codes are off.
bool IsFeatureOn(const CObjDataBase& record, int code);
// The record's value for the feature; 0.0 for unknown codes and for the
// codes whose measures plain objects do not have.
double GetFeatureValue(const CObjDataBase& record, int code);
