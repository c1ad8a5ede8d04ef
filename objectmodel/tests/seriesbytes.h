#pragma once
// Hand-built archive bytes for the series tests: little-endian values in
// the order a test lays them out.

#include "platform/core/archive.h"
#include "platform/core/file.h"

#include <cstring>
#include <string_view>
#include <vector>

class CSeriesBytes
{
public:
    template <class T>
    CSeriesBytes& Put(T value)
    {
        BYTE raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        m_bytes.insert(m_bytes.end(), raw, raw + sizeof(T));
        return *this;
    }
    CSeriesBytes& Word(WORD w) { return Put(w); }
    // A new-class record as the archive writes it.
    CSeriesBytes& NewClass(std::string_view name, WORD schema)
    {
        Word(0xFFFF).Word(schema).Word(static_cast<WORD>(name.size()));
        m_bytes.insert(m_bytes.end(), name.begin(), name.end());
        return *this;
    }

    const std::vector<BYTE>& Bytes() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};

// Loads obj from bytes with its own Serialize.
template <class T>
void LoadFrom(T& obj, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    obj.Serialize(ar);
}

template <class T>
std::vector<BYTE> StoreBytes(T& obj)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        obj.Serialize(ar);
        ar.Close();
    }
    return file.Data();
}
