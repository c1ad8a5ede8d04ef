#pragma once
// CBaseClasses: a list of classes held by value. Its Serialize is the XML
// form of the object array: one element per class, in list order; loading
// empties the list and rebuilds each class by its element name.

#include "objectmodel/arrayobjectsxml.h"

template <class T>
class CBaseClasses : public CArrayObjectsXML<T>
{
};
