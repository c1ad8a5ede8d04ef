#include "platform/database/odbcvariant.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

using namespace kestrun;

namespace {

bool IsIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The table a "SELECT ... FROM table ..." reads: the one its changes go to.
CString TableOf(const CString& sql)
{
    const std::string lower = Lower(sql.GetString());
    size_t at = 0;
    while ((at = lower.find("from", at)) != std::string::npos) {
        const bool before = at == 0 || !IsIdentChar(lower[at - 1]);
        const bool after = at + 4 < lower.size() && !IsIdentChar(lower[at + 4]);
        at += 4;
        if (before && after) {
            break;
        }
    }
    if (at == std::string::npos || at >= lower.size()) {
        return {};
    }
    const std::string text = sql.GetString();
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    size_t end = at;
    while (end < text.size() && IsIdentChar(text[end])) {
        ++end;
    }
    return CString(text.substr(at, end - at).c_str());
}

// '*' and '%' stand for any run of characters; case does not count.
bool Like(const std::string& text, const std::string& pattern)
{
    size_t t = 0;
    size_t p = 0;
    size_t star = std::string::npos;
    size_t mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                              std::tolower(static_cast<unsigned char>(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
        ++p;
    }
    return p == pattern.size();
}

// Column names come from the database and are written into statements:
// only plain names are.
bool IsPlainName(const CString& name)
{
    const std::string s = name.GetString();
    return !s.empty() && std::isdigit(static_cast<unsigned char>(s[0])) == 0 &&
           std::all_of(s.begin(), s.end(), IsIdentChar);
}

bool IsReal(VARTYPE vt)
{
    return vt == VT_R4 || vt == VT_R8;
}

struct CCriterion
{
    CString field;
    std::string op;
    bool isText = false;
    std::string text;
    double number = 0.0;
};

CCriterion ParseCriterion(const CString& criteria)
{
    const std::string s = criteria.GetString();
    const _com_error bad(ADO_E_ILLEGALOPERATION, FormatString("Cannot search for \"%s\"", criteria.GetString()));
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])) != 0) {
            ++i;
        }
    };
    skipBlanks();
    CCriterion c;
    const bool bracket = i < s.size() && s[i] == '[';
    if (bracket) {
        const size_t close = s.find(']', i);
        if (close == std::string::npos) {
            throw bad;
        }
        c.field = s.substr(i + 1, close - i - 1).c_str();
        i = close + 1;
    } else {
        const size_t start = i;
        while (i < s.size() && IsIdentChar(s[i])) {
            ++i;
        }
        c.field = s.substr(start, i - start).c_str();
    }
    skipBlanks();
    static const char* const ops[] = {"<=", ">=", "<>", "=", "<", ">"};
    for (const char* op : ops) {
        if (s.compare(i, std::char_traits<char>::length(op), op) == 0) {
            c.op = op;
            break;
        }
    }
    if (c.op.empty() && Lower(s.substr(i, 4)) == "like" && i + 4 < s.size() &&
        std::isspace(static_cast<unsigned char>(s[i + 4])) != 0) {
        c.op = "like";
    }
    if (c.field.IsEmpty() || c.op.empty()) {
        throw bad;
    }
    i += c.op.size();
    skipBlanks();
    std::string value = s.substr(i);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())) != 0) {
        value.pop_back();
    }
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
        c.isText = true;
        // Two quotes inside a quoted text stand for one.
        for (size_t k = 1; k + 1 < value.size(); ++k) {
            c.text += value[k];
            if (value[k] == '\'' && value[k + 1] == '\'') {
                ++k;
            }
        }
        return c;
    }
    if (c.op == "like" || value.empty()) {
        throw bad;
    }
    char* end = nullptr;
    c.number = std::strtod(value.c_str(), &end);
    if (end == nullptr || *end != 0 || !std::isfinite(c.number)) {
        throw bad;
    }
    return c;
}

bool Matches(const CCriterion& c, const COleVariant& value)
{
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
        return false;
    }
    int order = 0;
    if (c.op == "like") {
        return Like(value.ToString().GetString(), c.text);
    }
    if (c.isText) {
        order = value.ToString().CompareNoCase(c.text.c_str());
    } else {
        COleVariant number = value;
        try {
            number.ChangeType(VT_R8);
        } catch (const COleException&) {
            return false;
        }
        order = number.dblVal < c.number ? -1 : (number.dblVal > c.number ? 1 : 0);
    }
    if (c.op == "=") return order == 0;
    if (c.op == "<>") return order != 0;
    if (c.op == "<") return order < 0;
    if (c.op == ">") return order > 0;
    if (c.op == "<=") return order <= 0;
    return order >= 0;
}

// The first value a statement returns; null when it returns no row.
COleVariant FirstValue(CAdoConnection& connection, const CString& sql, const std::vector<COleVariant>& params)
{
    CAdoConnection::CImpl& impl = connection.Impl();
    return odbc::GuardOn(impl, [&] {
        odbc::CStatement stmt(impl.connection);
        stmt.Run(sql.GetString(), odbc::ToValues(params));
        return stmt.NextRow() ? odbc::ToVariant(stmt.Value(0, odbc::EKind::Long)) : COleVariant::Null();
    });
}

} // namespace

_RecordsetPtr CAdoRecordset::Create()
{
    return _RecordsetPtr(new CAdoRecordset());
}

_RecordsetPtr CAdoRecordset::FromRows(std::vector<CAdoColumn> columns, std::vector<std::vector<COleVariant>> rows)
{
    _RecordsetPtr rs = Create();
    rs->m_columns = std::move(columns);
    for (auto& values : rows) {
        values.resize(rs->m_columns.size());
        CRow row;
        row.original = values;
        row.changed.assign(values.size(), false);
        row.values = std::move(values);
        rs->m_rows.push_back(std::move(row));
    }
    rs->m_open = true;
    rs->m_pos = 0;
    return rs;
}

void CAdoRecordset::Open(const CString& source, const _ConnectionPtr& connection, long /*cursorType*/,
                         long lockType, long /*options*/)
{
    if (m_open) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The recordset is already open");
    }
    if (!connection) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "No connection");
    }
    m_connection = connection;
    m_source = source;
    m_table = TableOf(source);
    m_lockType = lockType;
    Fetch();
    m_open = true;
}

void CAdoRecordset::Fetch()
{
    odbc::CConnection& connection = m_connection->Impl().connection;
    std::vector<CAdoColumn> columns;
    std::vector<CRow> rows;
    odbc::GuardOn(m_connection->Impl(), [&] {
        odbc::CStatement stmt(connection);
        stmt.Run(m_source.GetString(), {});
        std::vector<odbc::CColumnInfo> info = stmt.Columns();
        for (const odbc::CColumnInfo& c : info) {
            columns.push_back(CAdoColumn{CString(c.name.c_str()), odbc::ToType(c.kind)});
        }
        while (stmt.NextRow()) {
            CRow row;
            for (size_t i = 0; i < info.size(); ++i) {
                row.values.push_back(odbc::ToVariant(stmt.Value(static_cast<int>(i), info[i].kind)));
            }
            row.original = row.values;
            row.changed.assign(info.size(), false);
            rows.push_back(std::move(row));
        }
    });
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_pos = 0;
}

void CAdoRecordset::Close()
{
    RequireOpen();
    m_open = false;
    m_rows.clear();
    m_columns.clear();
    m_connection.reset();
    m_pos = -1;
}

void CAdoRecordset::Requery()
{
    RequireOpen();
    if (!m_connection) {
        return;
    }
    Fetch();
}

void CAdoRecordset::RequireOpen() const
{
    if (!m_open) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The recordset is closed");
    }
}

long CAdoRecordset::GetRecordCount() const
{
    RequireOpen();
    return static_cast<long>(std::count_if(m_rows.begin(), m_rows.end(), [](const CRow& r) { return !r.deleted; }));
}

bool CAdoRecordset::GetBOF() const
{
    RequireOpen();
    return m_pos < 0 || GetRecordCount() == 0;
}

bool CAdoRecordset::GetEOF() const
{
    RequireOpen();
    return m_pos >= static_cast<long>(m_rows.size()) || GetRecordCount() == 0;
}

long CAdoRecordset::GetAbsolutePosition() const
{
    if (GetRecordCount() == 0) {
        return adPosUnknown;
    }
    if (GetBOF()) {
        return adPosBOF;
    }
    if (GetEOF()) {
        return adPosEOF;
    }
    long live = 0;
    for (long i = 0; i <= m_pos; ++i) {
        live += m_rows[static_cast<size_t>(i)].deleted ? 0 : 1;
    }
    return live;
}

long CAdoRecordset::LiveIndexToPos(long live) const
{
    for (long i = 0; i < static_cast<long>(m_rows.size()); ++i) {
        if (!m_rows[static_cast<size_t>(i)].deleted && live-- == 0) {
            return i;
        }
    }
    return static_cast<long>(m_rows.size());
}

void CAdoRecordset::Moved(long pos)
{
    m_pos = std::clamp(pos, -1L, static_cast<long>(m_rows.size()));
}

void CAdoRecordset::PutAbsolutePosition(long position)
{
    if (position < 1 || position > GetRecordCount()) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "No record at that position");
    }
    StorePending();
    Moved(LiveIndexToPos(position - 1));
}

void CAdoRecordset::MoveFirst()
{
    RequireOpen();
    StorePending();
    Moved(LiveIndexToPos(0));
}

void CAdoRecordset::MoveLast()
{
    const long count = GetRecordCount();
    StorePending();
    Moved(count == 0 ? static_cast<long>(m_rows.size()) : LiveIndexToPos(count - 1));
}

void CAdoRecordset::MoveNext()
{
    if (GetEOF()) {
        throw _com_error(ADO_E_NOCURRENTRECORD, "Cannot move past the end");
    }
    StorePending();
    long pos = m_pos + 1;
    while (pos < static_cast<long>(m_rows.size()) && m_rows[static_cast<size_t>(pos)].deleted) {
        ++pos;
    }
    Moved(pos);
}

void CAdoRecordset::MovePrevious()
{
    if (GetBOF()) {
        throw _com_error(ADO_E_NOCURRENTRECORD, "Cannot move before the start");
    }
    StorePending();
    long pos = m_pos - 1;
    while (pos >= 0 && m_rows[static_cast<size_t>(pos)].deleted) {
        --pos;
    }
    Moved(pos);
}

void CAdoRecordset::Move(long count)
{
    if (count == 0) {
        return;
    }
    const long here = GetAbsolutePosition();
    if (here < 1) {
        throw _com_error(ADO_E_NOCURRENTRECORD, "No current record to move from");
    }
    StorePending();
    const long target = here - 1 + count;
    if (target < 0) {
        Moved(-1);
    } else {
        Moved(LiveIndexToPos(target));
    }
}

CAdoRecordset::CRow& CAdoRecordset::CurrentRow()
{
    return const_cast<CRow&>(static_cast<const CAdoRecordset*>(this)->CurrentRow());
}

const CAdoRecordset::CRow& CAdoRecordset::CurrentRow() const
{
    if (GetBOF() || GetEOF() || m_rows[static_cast<size_t>(m_pos)].deleted) {
        throw _com_error(ADO_E_NOCURRENTRECORD, "No current record");
    }
    return m_rows[static_cast<size_t>(m_pos)];
}

int CAdoRecordset::ColumnIndex(const CString& name) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.CompareNoCase(name) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const COleVariant& CAdoRecordset::ValueAt(int column) const
{
    return CurrentRow().values.at(static_cast<size_t>(column));
}

void CAdoRecordset::SetValueAt(int column, const COleVariant& value)
{
    if (m_lockType == adLockReadOnly) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The recordset is read-only");
    }
    CRow& row = CurrentRow();
    row.values.at(static_cast<size_t>(column)) = value;
    row.changed[static_cast<size_t>(column)] = true;
}

FieldsPtr CAdoRecordset::GetFields()
{
    RequireOpen();
    return std::make_shared<CAdoFields>(shared_from_this());
}

COleVariant CAdoRecordset::GetCollect(const CString& name)
{
    return GetFields()->GetItem(name)->GetValue();
}

void CAdoRecordset::PutCollect(const CString& name, const COleVariant& value)
{
    GetFields()->GetItem(name)->PutValue(value);
}

void CAdoRecordset::RequireUpdatable() const
{
    RequireOpen();
    if (m_lockType == adLockReadOnly || !m_connection || m_table.IsEmpty() || KeyIndex() < 0 ||
        !std::all_of(m_columns.begin(), m_columns.end(), [](const CAdoColumn& c) { return IsPlainName(c.name); })) {
        throw _com_error(ADO_E_ILLEGALOPERATION, "The recordset cannot be updated");
    }
}

int CAdoRecordset::KeyIndex() const
{
    return ColumnIndex("ID");
}

void CAdoRecordset::AddNew()
{
    RequireUpdatable();
    StorePending();
    CRow row;
    row.values.assign(m_columns.size(), COleVariant::Null());
    row.original = row.values;
    row.changed.assign(m_columns.size(), false);
    row.isNew = true;
    m_rows.push_back(std::move(row));
    m_pos = static_cast<long>(m_rows.size()) - 1;
}

void CAdoRecordset::StorePending()
{
    if (m_pos < 0 || m_pos >= static_cast<long>(m_rows.size())) {
        return;
    }
    const CRow& row = m_rows[static_cast<size_t>(m_pos)];
    if (!row.deleted && (row.isNew || std::find(row.changed.begin(), row.changed.end(), true) != row.changed.end())) {
        Update();
    }
}

void CAdoRecordset::Update()
{
    RequireUpdatable();
    CRow& row = CurrentRow();
    if (row.isNew) {
        Insert(row);
    } else if (std::find(row.changed.begin(), row.changed.end(), true) != row.changed.end()) {
        UpdateRow(row);
    }
}

void CAdoRecordset::UpdateBatch()
{
    Update();
}

void CAdoRecordset::CancelUpdate()
{
    RequireOpen();
    if (m_pos < 0 || m_pos >= static_cast<long>(m_rows.size())) {
        return;
    }
    CRow& row = m_rows[static_cast<size_t>(m_pos)];
    if (row.isNew) {
        m_rows.erase(m_rows.begin() + m_pos);
        MoveLast();
        return;
    }
    row.values = row.original;
    row.changed.assign(row.changed.size(), false);
}

void CAdoRecordset::Insert(CRow& row)
{
    CString names;
    CString marks;
    std::vector<COleVariant> params;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (!row.changed[i]) {
            continue;
        }
        names.AppendFormat("%s%s", names.IsEmpty() ? "" : ", ", m_columns[i].name.GetString());
        marks.AppendFormat("%s?", marks.IsEmpty() ? "" : ", ");
        params.push_back(row.values[i]);
    }
    CString sql = params.empty()
                      ? FormatString("INSERT INTO %s DEFAULT VALUES", m_table.GetString())
                      : FormatString("INSERT INTO %s (%s) VALUES (%s)", m_table.GetString(), names.GetString(),
                                     marks.GetString());
    // The new row is read back by its key: the one given, else the one the
    // server numbered, asked for in the insert itself where the server can.
    const size_t keyIndex = static_cast<size_t>(KeyIndex());
    COleVariant key = row.changed[keyIndex] ? row.values[keyIndex] : COleVariant::Null();
    switch (m_connection->GetDialect()) {
    case EDbDialect::PostgreSQL:
        sql.AppendFormat(" RETURNING %s", m_columns[keyIndex].name.GetString());
        key = FirstValue(*m_connection, sql, params);
        break;
    case EDbDialect::SQLite:
        m_connection->Execute(sql, params);
        if (key.vt == VT_NULL) {
            key = FirstValue(*m_connection, "SELECT last_insert_rowid()", {});
        }
        break;
    case EDbDialect::Other:
        if (key.vt == VT_NULL) {
            throw _com_error(ADO_E_FAIL, "The new key cannot be read from this database");
        }
        m_connection->Execute(sql, params);
        break;
    }
    if (key.vt == VT_NULL) {
        throw _com_error(ADO_E_FAIL, "The new key cannot be read");
    }
    ReadRowByKey(row, key);
    row.isNew = false;
}

void CAdoRecordset::ReadRowByKey(CRow& row, const COleVariant& key)
{
    CString names;
    for (const CAdoColumn& column : m_columns) {
        names.AppendFormat("%s%s", names.IsEmpty() ? "" : ", ", column.name.GetString());
    }
    const CString sql = FormatString("SELECT %s FROM %s WHERE %s = ?", names.GetString(), m_table.GetString(),
                                     m_columns[static_cast<size_t>(KeyIndex())].name.GetString());
    odbc::CConnection& connection = m_connection->Impl().connection;
    const bool found = odbc::GuardOn(m_connection->Impl(), [&] {
        odbc::CStatement stmt(connection);
        stmt.Run(sql.GetString(), {odbc::ToValue(key)});
        if (!stmt.NextRow()) {
            return false;
        }
        for (size_t i = 0; i < m_columns.size(); ++i) {
            row.values[i] = odbc::ToVariant(stmt.Value(static_cast<int>(i), odbc::ToKind(m_columns[i].type)));
        }
        return true;
    });
    if (!found) {
        throw _com_error(ADO_E_ROWCHANGED, "The new row cannot be read back");
    }
    row.original = row.values;
    row.changed.assign(m_columns.size(), false);
}

void CAdoRecordset::UpdateRow(CRow& row)
{
    const size_t key = static_cast<size_t>(KeyIndex());
    CString sets;
    CString where = FormatString("%s = ?", m_columns[key].name.GetString());
    std::vector<COleVariant> setParams;
    std::vector<COleVariant> whereParams{row.original[key]};
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (!row.changed[i]) {
            continue;
        }
        const char* name = m_columns[i].name.GetString();
        sets.AppendFormat("%s%s = ?", sets.IsEmpty() ? "" : ", ", name);
        setParams.push_back(row.values[i]);
        // The row must still hold what we read, or someone else changed it.
        const COleVariant& was = row.original[i];
        if (was.vt == VT_NULL || was.vt == VT_EMPTY) {
            where.AppendFormat(" AND %s IS NULL", name);
        } else if (IsReal(was.vt)) {
            COleVariant value = was;
            value.ChangeType(VT_R8);
            where.AppendFormat(" AND ABS(%s - ?) <= ?", name);
            whereParams.push_back(value);
            whereParams.push_back(COleVariant(std::fabs(value.dblVal) * 1e-6 + 1e-12));
        } else if (was.vt != VT_DATE) {
            // Dates are stored as text by some drivers; they are not compared.
            where.AppendFormat(" AND %s = ?", name);
            whereParams.push_back(was);
        }
    }
    setParams.insert(setParams.end(), whereParams.begin(), whereParams.end());
    const long touched = m_connection->Execute(
        FormatString("UPDATE %s SET %s WHERE %s", m_table.GetString(), sets.GetString(), where.GetString()), setParams);
    if (touched == 0) {
        throw _com_error(ADO_E_ROWCHANGED,
                         "Row cannot be located for updating. Some values may have been changed since it was last read.");
    }
    row.original = row.values;
    row.changed.assign(m_columns.size(), false);
}

void CAdoRecordset::Delete()
{
    RequireUpdatable();
    CRow& row = CurrentRow();
    if (!row.isNew) {
        const size_t key = static_cast<size_t>(KeyIndex());
        const long touched = m_connection->Execute(
            FormatString("DELETE FROM %s WHERE %s = ?", m_table.GetString(), m_columns[key].name.GetString()),
            {row.original[key]});
        if (touched == 0) {
            throw _com_error(ADO_E_ROWCHANGED, "Row cannot be located for deleting");
        }
    }
    row.deleted = true;
}

void CAdoRecordset::Find(const CString& criteria, long skipRecords, long direction, long /*start*/)
{
    RequireOpen();
    const CCriterion c = ParseCriterion(criteria);
    const int column = ColumnIndex(c.field);
    if (column < 0) {
        throw _com_error(ADO_E_ITEMNOTFOUND, FormatString("No field \"%s\"", c.field.GetString()));
    }
    const long size = static_cast<long>(m_rows.size());
    const long step = direction == adSearchBackward ? -1 : 1;
    long pos = std::clamp(m_pos, -1L, size);
    if (pos < 0 && step > 0) {
        pos = 0;
    } else if (pos >= size && step < 0) {
        pos = size - 1;
    }
    for (long skipped = 0; skipped < skipRecords && pos >= 0 && pos < size; pos += step) {
        skipped += m_rows[static_cast<size_t>(pos)].deleted ? 0 : 1;
    }
    for (; pos >= 0 && pos < size; pos += step) {
        const CRow& row = m_rows[static_cast<size_t>(pos)];
        if (!row.deleted && Matches(c, row.values[static_cast<size_t>(column)])) {
            StorePending();
            Moved(pos);
            return;
        }
    }
    StorePending();
    Moved(step > 0 ? size : -1);
}

long CAdoFields::GetCount() const
{
    return static_cast<long>(m_rs->Columns().size());
}

FieldPtr CAdoFields::GetItem(const CString& name)
{
    const int index = m_rs->ColumnIndex(name);
    if (index < 0) {
        throw _com_error(ADO_E_ITEMNOTFOUND, FormatString("No field \"%s\"", name.GetString()));
    }
    return std::make_shared<CAdoField>(m_rs, index);
}

FieldPtr CAdoFields::GetItem(long index)
{
    if (index < 0 || index >= GetCount()) {
        throw _com_error(ADO_E_ITEMNOTFOUND, "No field at that index");
    }
    return std::make_shared<CAdoField>(m_rs, static_cast<int>(index));
}

COleVariant CAdoField::GetValue() const
{
    return m_rs->ValueAt(m_index);
}

void CAdoField::PutValue(const COleVariant& value)
{
    m_rs->SetValueAt(m_index, value);
}

CString CAdoField::GetName() const
{
    return m_rs->Columns().at(static_cast<size_t>(m_index)).name;
}

VARTYPE CAdoField::GetType() const
{
    return m_rs->Columns().at(static_cast<size_t>(m_index)).type;
}
