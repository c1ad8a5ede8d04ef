#include "database/workbook/xlsxpackage.h"

#include "platform/core/atomicfile.h"

#include <zip.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace kestrun {

namespace {

struct CZipCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct CZipFileCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct CSourceFreer
{
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

[[noreturn]] void Fail(const CString& source, const char* what)
{
    throw CWorkbookException(FormatString("%s is not a workbook that can be read: %s", source.GetString(), what));
}

// The part read to its end, never more than the limit allows.
std::string ReadPart(zip_t* archive, zip_uint64_t index, std::size_t limit, const CString& source)
{
    std::unique_ptr<zip_file_t, CZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        Fail(source, "a part cannot be unpacked");
    std::string data;
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0)
            Fail(source, "a part is damaged");
        if (got == 0)
            break;
        if (data.size() + static_cast<std::size_t>(got) > limit)
            Fail(source, "a part is too large");
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return data;
}

} // namespace

void CXlsxPackage::Load(const void* data, std::size_t size, const CString& source)
{
    m_parts.clear();
    if (size > kMaxFileSize)
        Fail(source, "the file is too large");
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, CSourceFreer> buffer(zip_source_buffer_create(data, size, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        Fail(source, "out of memory");
    zip_error_init(&error);
    std::unique_ptr<zip_t, CZipCloser> archive(zip_open_from_source(buffer.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    zip_error_fini(&error);
    if (!archive)
        Fail(source, "it is no zip package");
    buffer.release(); // the archive owns it now

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<std::size_t>(count) > kMaxParts)
        Fail(source, "it has too many parts");
    std::vector<CPart> parts;
    std::size_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (name == nullptr)
            Fail(source, "a part has no name");
        CPart part;
        part.m_name = name;
        if (part.m_name.empty() || part.m_name.back() == '/')
            continue; // folders carry nothing
        if (std::ranges::any_of(parts, [&](const CPart& p) { return p.m_name == part.m_name; }))
            Fail(source, "a part is stored twice");
        part.m_data = ReadPart(archive.get(), static_cast<zip_uint64_t>(i),
                               std::min(kMaxPartSize, kMaxTotalSize - total), source);
        total += part.m_data.size();
        parts.push_back(std::move(part));
    }
    m_parts = std::move(parts);
}

void CXlsxPackage::LoadFile(const CString& path)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    if (!in)
        throw CWorkbookException(FormatString("The workbook %s cannot be opened.", path.GetString()));
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileSize)
            Fail(path, "the file is too large");
    }
    if (in.bad())
        throw CWorkbookException(FormatString("The workbook %s cannot be read.", path.GetString()));
    Load(bytes.data(), bytes.size(), path);
}

std::string CXlsxPackage::Save() const
{
    const auto failed = [] { return CWorkbookException("The workbook cannot be packed."); };
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, CSourceFreer> target(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!target)
        throw failed();
    zip_error_init(&error);
    zip_t* raw = zip_open_from_source(target.get(), ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (raw == nullptr)
        throw failed();
    // The archive takes a reference; ours stays to read the bytes back.
    zip_source_keep(target.get());
    std::unique_ptr<zip_t, CZipCloser> archive(raw);
    for (const CPart& part : m_parts) {
        zip_source_t* data = zip_source_buffer(archive.get(), part.m_data.data(), part.m_data.size(), 0);
        if (data == nullptr)
            throw failed();
        if (zip_file_add(archive.get(), part.m_name.c_str(), data, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(data);
            throw failed();
        }
    }
    if (zip_close(archive.get()) != 0)
        throw failed();
    archive.release();

    std::string bytes;
    if (zip_source_open(target.get()) != 0)
        throw failed();
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_source_read(target.get(), buffer, sizeof buffer);
        if (got < 0) {
            zip_source_close(target.get());
            throw failed();
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    zip_source_close(target.get());
    return bytes;
}

void CXlsxPackage::SaveFile(const CString& path) const
{
    const std::string bytes = Save();
    try {
        CAtomicFileWriter writer(path);
        writer.Write(bytes.data(), bytes.size());
        writer.Commit(true);
    } catch (const CFileException&) {
        throw CWorkbookException(FormatString("The workbook %s cannot be written.", path.GetString()));
    }
}

const std::string* CXlsxPackage::Find(std::string_view name) const
{
    const auto part = std::ranges::find(m_parts, name, &CPart::m_name);
    return part == m_parts.end() ? nullptr : &part->m_data;
}

void CXlsxPackage::Set(std::string_view name, std::string data)
{
    const auto part = std::ranges::find(m_parts, name, &CPart::m_name);
    if (part != m_parts.end())
        part->m_data = std::move(data);
    else
        m_parts.push_back({std::string(name), std::move(data)});
}

void CXlsxPackage::Remove(std::string_view name)
{
    std::erase_if(m_parts, [name](const CPart& part) { return part.m_name == name; });
}

} // namespace kestrun
