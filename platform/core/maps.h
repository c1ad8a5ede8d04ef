#pragma once
// CMap and the named maps of the class library: hash tables with a fixed
// number of buckets (17 unless the caller sets another) and the class
// library's iteration order, which stored files show:
//   buckets in ascending order, and inside a bucket the newest key first.
// Bucket of a key = HashKey(key) % bucket count, where
//   strings:  h = h * 33 + c over the Windows-1252 bytes, c taken as a signed char
//   integers: (32-bit value) >> 4
// Changing the value of an existing key keeps its place.

#include "platform/core/archive.h"
#include "platform/core/arrays.h"
#include "platform/core/exceptions.h"

#include <memory>
#include <type_traits>
#include <vector>

namespace kestrun {
UINT HashString(const char* key);
} // namespace kestrun

template <class ARG_KEY>
UINT HashKey(ARG_KEY key)
{
    using Key = std::remove_cvref_t<ARG_KEY>;
    if constexpr (std::is_same_v<Key, CString> || std::is_same_v<Key, const char*> || std::is_same_v<Key, char*>) {
        return kestrun::HashString(key);
    } else if constexpr (std::is_pointer_v<Key>) {
        return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(key) >> 4);
    } else {
        static_assert(std::is_integral_v<Key> || std::is_enum_v<Key>, "HashKey needs an overload for this key type");
        return static_cast<UINT>(static_cast<std::uint32_t>(key) >> 4);
    }
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject
{
public:
    explicit CMap(INT_PTR blockSize = 10) { (void)blockSize; }
    CMap(const CMap& other) : CObject(other), m_nHashTableSize(other.m_nHashTableSize) { CopyFrom(other); }
    CMap& operator=(const CMap& other)
    {
        if (this != &other) {
            RemoveAll();
            m_nHashTableSize = other.m_nHashTableSize;
            CopyFrom(other);
        }
        return *this;
    }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Sets the number of buckets; only an empty map can change it.
    void InitHashTable(UINT hashSize, BOOL allocNow = TRUE)
    {
        (void)allocNow;
        if (hashSize == 0 || m_nCount != 0)
            AfxThrowInvalidArgException();
        m_buckets.clear();
        m_nHashTableSize = hashSize;
    }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        const Assoc* a = Find(key);
        if (a == nullptr)
            return FALSE;
        value = a->value;
        return TRUE;
    }

    VALUE& operator[](ARG_KEY key)
    {
        if (Assoc* a = Find(key))
            return a->value;
        if (m_buckets.empty())
            m_buckets.resize(m_nHashTableSize);
        const UINT hash = HashKey<ARG_KEY>(key);
        auto assoc = std::make_unique<Assoc>();
        assoc->key = KEY(key);
        assoc->hash = hash;
        auto& head = m_buckets[hash % m_nHashTableSize];
        assoc->next = std::move(head);
        head = std::move(assoc);
        ++m_nCount;
        return head->value;
    }

    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (std::unique_ptr<Assoc>* link = &m_buckets[hash % m_nHashTableSize]; *link; link = &(*link)->next) {
            if ((*link)->hash == hash && (*link)->key == key) {
                *link = std::move((*link)->next);
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }

    void RemoveAll()
    {
        // Unlink chains one by one: a long chain must not recurse.
        for (auto& head : m_buckets) {
            while (head)
                head = std::move(head->next);
        }
        m_buckets.clear();
        m_nCount = 0;
    }

    ~CMap() override { RemoveAll(); }

    // Iteration in the documented order; null when the map is empty.
    POSITION GetStartPosition() const
    {
        return m_nCount == 0 ? nullptr : ToPosition(FirstFrom(0));
    }

    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
    {
        const Assoc* a = reinterpret_cast<const Assoc*>(position);
        if (a == nullptr)
            AfxThrowInvalidArgException();
        key = a->key;
        value = a->value;
        const Assoc* next = a->next ? a->next.get() : FirstFrom(a->hash % m_nHashTableSize + 1);
        position = ToPosition(next);
    }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (POSITION pos = GetStartPosition(); pos != nullptr;) {
                KEY key;
                VALUE value;
                GetNextAssoc(pos, key, value);
                SerializeElements<KEY>(ar, &key, 1);
                SerializeElements<VALUE>(ar, &value, 1);
            }
        } else {
            RemoveAll();
            for (DWORD_PTR n = ar.ReadCount(); n > 0; --n) {
                KEY key{};
                VALUE value{};
                SerializeElements<KEY>(ar, &key, 1);
                SerializeElements<VALUE>(ar, &value, 1);
                SetAt(key, value);
            }
        }
    }

private:
    struct Assoc
    {
        std::unique_ptr<Assoc> next;
        UINT hash = 0;
        KEY key{};
        VALUE value{};
    };

    static POSITION ToPosition(const Assoc* a) { return reinterpret_cast<POSITION>(const_cast<Assoc*>(a)); }

    const Assoc* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket) {
            if (m_buckets[bucket])
                return m_buckets[bucket].get();
        }
        return nullptr;
    }

    Assoc* Find(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (Assoc* a = m_buckets[hash % m_nHashTableSize].get(); a != nullptr; a = a->next.get()) {
            if (a->hash == hash && a->key == key)
                return a;
        }
        return nullptr;
    }

    // Rebuilds the other map's chains in their own order.
    void CopyFrom(const CMap& other)
    {
        if (other.m_buckets.empty())
            return;
        m_buckets.resize(m_nHashTableSize);
        for (size_t b = 0; b < other.m_buckets.size(); ++b) {
            std::unique_ptr<Assoc>* tail = &m_buckets[b];
            for (const Assoc* a = other.m_buckets[b].get(); a != nullptr; a = a->next.get()) {
                *tail = std::make_unique<Assoc>();
                (*tail)->hash = a->hash;
                (*tail)->key = a->key;
                (*tail)->value = a->value;
                tail = &(*tail)->next;
            }
        }
        m_nCount = other.m_nCount;
    }

    std::vector<std::unique_ptr<Assoc>> m_buckets; // allocated on the first insertion
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

class CMapStringToPtr : public CMap<CString, const char*, void*, void*>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
};

class CMapStringToOb : public CMap<CString, const char*, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapStringToOb)
};

class CMapStringToString : public CMap<CString, const char*, CString, const char*>
{
    DECLARE_SERIAL(CMapStringToString)
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*>
{
    DECLARE_DYNAMIC(CMapPtrToPtr)
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*>
{
    DECLARE_DYNAMIC(CMapWordToPtr)
};
