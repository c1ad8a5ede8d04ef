#pragma once
// CArray and the named arrays of the class library. Indices are checked:
// an index outside the array raises CInvalidArgException. Elements are held
// by value; new elements are value-initialised (0 for numbers).

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <bit>
#include <type_traits>
#include <vector>

static_assert(std::endian::native == std::endian::little, "stored files are little-endian");

// Archive form of elements: numbers and plain structs as raw bytes, strings
// with their length prefix, object pointers as object references.
template <class T>
void SerializeElements(CArchive& ar, T* elements, INT_PTR count)
{
    if constexpr (std::is_same_v<T, CString>) {
        for (INT_PTR i = 0; i < count; ++i) {
            if (ar.IsStoring())
                ar << elements[i];
            else
                ar >> elements[i];
        }
    } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<CObject, std::remove_pointer_t<T>>) {
        using Object = std::remove_pointer_t<T>;
        for (INT_PTR i = 0; i < count; ++i) {
            if (ar.IsStoring())
                ar.WriteObject(elements[i]);
            else
                elements[i] = static_cast<T>(ar.ReadObject(Object::GetThisClass()));
        }
    } else if constexpr (std::is_trivially_copyable_v<T> && !std::is_pointer_v<T>) {
        const size_t bytes = sizeof(T) * static_cast<size_t>(count);
        if (ar.IsStoring())
            ar.Write(elements, static_cast<UINT>(bytes));
        else
            ar.EnsureRead(elements, static_cast<UINT>(bytes));
    } else {
        (void)elements;
        if (count > 0)
            AfxThrowNotSupportedException();
    }
}

// Element size in the archive, used to refuse counts that the file cannot
// hold before any memory is allocated; 0 when unknown.
template <class T>
constexpr ULONGLONG ArchivedElementSize()
{
    if constexpr (std::is_same_v<T, CString>)
        return 1; // at least the length byte
    else if constexpr (std::is_pointer_v<T>)
        return 2; // at least a tag word
    else if constexpr (std::is_trivially_copyable_v<T>)
        return sizeof(T);
    else
        return 0;
}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() = default;
    CArray(const CArray& other) : CObject(other), m_data(other.m_data) {}
    CArray& operator=(const CArray& other)
    {
        Copy(other);
        return *this;
    }

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }

    // Resizes to newSize; growBy > 0 makes room for that many elements
    // more at once (the growth step is not kept: arrays stay small).
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1)
    {
        if (newSize < 0)
            AfxThrowInvalidArgException();
        const size_t n = static_cast<size_t>(newSize);
        const size_t room = n + static_cast<size_t>(std::max<INT_PTR>(growBy, 0));
        // Growing by at least half the size keeps a long run of Add linear;
        // steps of at most grow() elements alone would copy it quadratically.
        if (room > m_data.capacity())
            m_data.reserve(std::max({room, m_data.size() + grow(), m_data.size() + m_data.size() / 2}));
        m_data.resize(n);
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }
    // Exchanges the elements: hands a filled array over without copying it.
    void Swap(CArray& other) noexcept { m_data.swap(other.m_data); }

    const TYPE& GetAt(INT_PTR index) const { return m_data[checked(index)]; }
    TYPE& GetAt(INT_PTR index) { return m_data[checked(index)]; }
    void SetAt(INT_PTR index, ARG_TYPE element) { m_data[checked(index)] = element; }
    TYPE& ElementAt(INT_PTR index) { return m_data[checked(index)]; }
    const TYPE& ElementAt(INT_PTR index) const { return m_data[checked(index)]; }
    const TYPE& operator[](INT_PTR index) const { return m_data[checked(index)]; }
    TYPE& operator[](INT_PTR index) { return m_data[checked(index)]; }

    // Contiguous elements; null for an empty array.
    const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

    void SetAtGrow(INT_PTR index, ARG_TYPE element)
    {
        if (index < 0)
            AfxThrowInvalidArgException();
        if (index >= GetSize()) {
            TYPE copy(element); // element may live inside this array
            SetSize(index + 1);
            m_data[static_cast<size_t>(index)] = std::move(copy);
        } else {
            m_data[static_cast<size_t>(index)] = element;
        }
    }
    INT_PTR Add(ARG_TYPE element)
    {
        const INT_PTR index = GetSize();
        SetAtGrow(index, element);
        return index;
    }
    INT_PTR Append(const CArray& source)
    {
        if (&source == this)
            AfxThrowInvalidArgException();
        const INT_PTR oldSize = GetSize();
        m_data.insert(m_data.end(), source.m_data.begin(), source.m_data.end());
        return oldSize;
    }
    void Copy(const CArray& source)
    {
        if (&source != this)
            m_data = source.m_data;
    }

    // Inserts count copies of element at index; an index past the end first
    // grows the array to index.
    void InsertAt(INT_PTR index, ARG_TYPE element, INT_PTR count = 1)
    {
        if (index < 0 || count < 0)
            AfxThrowInvalidArgException();
        TYPE copy(element);
        if (index > GetSize())
            SetSize(index);
        m_data.insert(m_data.begin() + index, static_cast<size_t>(count), copy);
    }
    void InsertAt(INT_PTR startIndex, const CArray* newArray)
    {
        if (newArray == nullptr || newArray == this || startIndex < 0)
            AfxThrowInvalidArgException();
        if (startIndex > GetSize())
            SetSize(startIndex);
        m_data.insert(m_data.begin() + startIndex, newArray->m_data.begin(), newArray->m_data.end());
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1)
    {
        if (index < 0 || count < 0 || index + count > GetSize())
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + index, m_data.begin() + index + count);
    }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(m_data.size());
        } else {
            const DWORD_PTR count = ar.ReadCount();
            constexpr ULONGLONG elementSize = ArchivedElementSize<TYPE>();
            if (elementSize > 0 && count > ar.BytesLeft() / elementSize)
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            SetSize(static_cast<INT_PTR>(count));
        }
        SerializeElements<TYPE>(ar, GetData(), GetSize());
    }

    // Standard iteration, so that algorithms and range-for work.
    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

private:
    size_t checked(INT_PTR index) const
    {
        if (index < 0 || index >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<size_t>(index);
    }
    size_t grow() const { return std::clamp<size_t>(m_data.size() / 8, 4, 1024); }

    std::vector<TYPE> m_data;
};

// The named arrays carry run-time class records of their own, so that they
// can be stored as objects.
#define KESTRUN_NAMED_ARRAY(name, element)                 \
    class name : public CArray<element, element>          \
    {                                                      \
        DECLARE_SERIAL(name)                               \
    };

KESTRUN_NAMED_ARRAY(CByteArray, BYTE)
KESTRUN_NAMED_ARRAY(CWordArray, WORD)
KESTRUN_NAMED_ARRAY(CDWordArray, DWORD)
KESTRUN_NAMED_ARRAY(CUIntArray, UINT)
KESTRUN_NAMED_ARRAY(CObArray, CObject*)
KESTRUN_NAMED_ARRAY(CPtrArray, void*)

class CStringArray : public CArray<CString, const CString&>
{
    DECLARE_SERIAL(CStringArray)
};

#undef KESTRUN_NAMED_ARRAY
