#include "scripthost/vbscript/vbsinterpreter.h"

#include "scripthost/vbscript/vbsbuiltins.h"
#include "scripthost/vbscript/vbsoperators.h"
#include "scripthost/vbscript/vbsparser.h"

#include "platform/automation/dispatch.h"
#include "platform/automation/dispatchable.h"
#include "platform/automation/dispatchmap.h"

#include <algorithm>
#include <new>

namespace kestrun::vbs {

// An object of a script class. Only the interpreter that made it calls its
// members; to anyone else it shows its class name and no members.
class CVbsInterpreter::CObject : public CDispatchable, public std::enable_shared_from_this<CVbsInterpreter::CObject>
{
public:
    CObject(const CVbsInterpreter& owner, const CClassDef& def)
        : m_owner(&owner), m_class(&def), m_map(std::make_shared<CDispatchMap>(CString(def.m_name.c_str()), CString()))
    {
    }
    const CDispatchMap& GetDispatchMap() const override { return *m_map; }

    const CVbsInterpreter* m_owner;
    const CClassDef* m_class;
    std::shared_ptr<const CDispatchMap> m_map;
    std::unordered_map<std::string, COleVariant> m_fields;
};

struct CVbsInterpreter::CFrame
{
    const CProc* m_proc = nullptr;
    // The object whose method runs; its variables are in scope.
    std::shared_ptr<CObject> m_this;
    std::unordered_map<std::string, COleVariant> m_locals;
    // ByRef parameters: the caller's variables.
    std::unordered_map<std::string, COleVariant*> m_refs;
    std::unordered_set<std::string> m_consts;
    bool m_bResumeNext = false;
};

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsPlainName(const CExpr& expr)
{
    return expr.m_kind == EExpr::Name && !expr.m_bParen;
}

// Turns what a failed step threw into VBScript's error.
CVbsFault Translate(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const CVbsFault& fault) {
        return fault;
    } catch (const std::bad_alloc&) {
        return CVbsFault(err::kOutOfMemory, ErrorText(err::kOutOfMemory));
    } catch (const CMemoryException&) {
        return CVbsFault(err::kOutOfMemory, ErrorText(err::kOutOfMemory));
    } catch (const COleException& e) {
        const long number = e.m_sc == DISP_E_OVERFLOW ? err::kOverflow
                            : e.m_sc == DISP_E_BADINDEX ? err::kSubscript
                                                        : err::kTypeMismatch;
        return CVbsFault(number, ErrorText(number));
    } catch (const CException& e) {
        return CVbsFault(err::kAutomation, e.GetErrorMessage());
    } catch (const std::exception& e) {
        return CVbsFault(err::kAutomation, e.what());
    }
}

} // namespace

class CVbsInterpreter::CStackUnit
{
public:
    explicit CStackUnit(CVbsInterpreter& self) : m_self(self)
    {
        if (m_self.m_nStackUnits >= kMaxStackUnits)
            Raise(err::kOutOfStack);
        ++m_self.m_nStackUnits;
    }
    ~CStackUnit() { --m_self.m_nStackUnits; }
    CStackUnit(const CStackUnit&) = delete;
    CStackUnit& operator=(const CStackUnit&) = delete;

private:
    CVbsInterpreter& m_self;
};

CVbsInterpreter::CVbsInterpreter() = default;
CVbsInterpreter::~CVbsInterpreter() = default;

void CVbsInterpreter::AddItem(const std::string& name, COleVariant object)
{
    m_items.emplace(Lower(name), std::move(object));
}

bool CVbsInterpreter::HasProcedure(const std::string& name) const
{
    return m_procs.contains(Lower(name));
}

std::optional<CVbsFault> CVbsInterpreter::Guard(const CUnit& unit, CPos fallback, const std::function<void()>& work)
{
    const CUnit* savedUnit = m_unit;
    m_unit = &unit;
    std::optional<CVbsFault> result;
    try {
        work();
    } catch (...) {
        CVbsFault fault = Translate(std::current_exception());
        if (!fault.m_bPlaced) {
            fault.m_pos = fallback;
            fault.m_bPlaced = true;
        }
        if (fault.m_strSourceText.IsEmpty())
            fault.m_strSourceText = SourceLine(unit, fault.m_pos.m_nLine).c_str();
        SetErr(fault);
        result = std::move(fault);
    }
    m_unit = savedUnit;
    m_frame = nullptr;
    m_nDepth = 0;
    m_nStackUnits = 0;
    return result;
}

void CVbsInterpreter::Register(CUnit& unit)
{
    for (auto& proc : unit.m_procs) {
        proc->m_pUnit = &unit;
        m_procs[proc->m_key] = proc.get();
    }
    for (auto& def : unit.m_classes) {
        for (auto& method : def->m_methods)
            method->m_pUnit = &unit;
        m_classes[def->m_key] = def.get();
    }
}

std::optional<CVbsFault> CVbsInterpreter::Execute(std::string_view code, int startingLine)
{
    std::unique_ptr<CUnit> unit;
    try {
        unit = ParseUnit(code, startingLine);
    } catch (...) {
        return Translate(std::current_exception());
    }
    Register(*unit);
    m_units.push_back(std::move(unit));
    const CUnit& run = *m_units.back();
    m_bGlobalResumeNext = false;
    return Guard(run, {startingLine, 0}, [&] { RunBlock(run.m_body); });
}

std::optional<CVbsFault> CVbsInterpreter::AddHandler(const std::string& name, std::string_view code, int startingLine)
{
    std::unique_ptr<CUnit> unit;
    try {
        unit = ParseUnit(code, startingLine);
    } catch (...) {
        return Translate(std::current_exception());
    }
    auto handler = std::make_unique<CProc>();
    handler->m_name = name;
    handler->m_key = Lower(name);
    handler->m_body = std::move(unit->m_body);
    handler->m_bExplicit = unit->m_bExplicit;
    unit->m_procs.push_back(std::move(handler));
    for (auto& proc : unit->m_procs) {
        proc->m_pUnit = unit.get();
        m_procs[proc->m_key] = proc.get();
    }
    m_units.push_back(std::move(unit));
    return std::nullopt;
}

std::optional<CVbsFault> CVbsInterpreter::Call(const std::string& name, std::vector<COleVariant> args,
                                               COleVariant* result)
{
    const auto it = m_procs.find(Lower(name));
    if (it == m_procs.end())
        return CVbsFault(err::kTypeMismatch, ErrorText(err::kTypeMismatch) + ": '" + CString(name) + "'");
    const CProc& proc = *it->second;
    return Guard(*proc.m_pUnit, proc.m_pos, [&] {
        COleVariant value = CallProcValues(proc, args);
        if (result != nullptr)
            *result = std::move(value);
    });
}

void CVbsInterpreter::SetErr(const CVbsFault& fault)
{
    m_nErrNumber = fault.m_nNumber;
    m_strErrDescription = fault.m_strDescription;
    if (m_strErrSource.IsEmpty())
        m_strErrSource = "VBScript runtime error";
}

bool CVbsInterpreter::Explicit() const
{
    if (m_frame != nullptr && m_frame->m_proc != nullptr)
        return m_frame->m_proc->m_bExplicit;
    return m_unit != nullptr && m_unit->m_bExplicit;
}

// ---- statements ------------------------------------------------------------------------------

CVbsInterpreter::EFlow CVbsInterpreter::RunBlock(const Block& block)
{
    const CStackUnit unit(*this);
    for (const auto& stmt : block) {
        try {
            const EFlow flow = RunStatement(*stmt);
            if (flow != EFlow::Normal)
                return flow;
        } catch (...) {
            CVbsFault fault = Translate(std::current_exception());
            const bool resume = m_frame != nullptr ? m_frame->m_bResumeNext : m_bGlobalResumeNext;
            if (resume) {
                SetErr(fault);
                continue;
            }
            if (!fault.m_bPlaced) {
                fault.m_pos = stmt->m_pos;
                fault.m_bPlaced = true;
                if (m_unit != nullptr)
                    fault.m_strSourceText = SourceLine(*m_unit, fault.m_pos.m_nLine).c_str();
            }
            throw fault;
        }
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunStatement(const CStmt& stmt)
{
    switch (stmt.m_kind) {
    case EStmt::Call:
        RunCall(*stmt.m_target);
        return EFlow::Normal;
    case EStmt::Assign:
    case EStmt::Set:
        Assign(*stmt.m_target, Eval(*stmt.m_value), stmt.m_kind == EStmt::Set);
        return EFlow::Normal;
    case EStmt::Dim:
        RunDim(stmt);
        return EFlow::Normal;
    case EStmt::ReDim:
        RunReDim(stmt);
        return EFlow::Normal;
    case EStmt::Const:
        RunConst(stmt);
        return EFlow::Normal;
    case EStmt::Erase:
        RunErase(stmt);
        return EFlow::Normal;
    case EStmt::If:
        return RunIf(stmt);
    case EStmt::For:
        return RunFor(stmt);
    case EStmt::ForEach:
        return RunForEach(stmt);
    case EStmt::Do:
        return RunDo(stmt);
    case EStmt::Select:
        return RunSelect(stmt);
    case EStmt::With:
        return RunWith(stmt);
    case EStmt::Exit:
        switch (stmt.m_exit) {
        case EExit::For:
            return EFlow::ExitFor;
        case EExit::Do:
            return EFlow::ExitDo;
        default:
            return EFlow::ExitProc;
        }
    case EStmt::OnErrorResumeNext:
    case EStmt::OnErrorGoto0:
        if (m_frame != nullptr)
            m_frame->m_bResumeNext = stmt.m_kind == EStmt::OnErrorResumeNext;
        else
            m_bGlobalResumeNext = stmt.m_kind == EStmt::OnErrorResumeNext;
        // Both clear the Err object.
        m_nErrNumber = 0;
        m_strErrDescription.Empty();
        m_strErrSource.Empty();
        return EFlow::Normal;
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunIf(const CStmt& stmt)
{
    for (const CBranch& branch : stmt.m_branches) {
        if (branch.m_bElse || ToBool(Eval(*branch.m_cond)))
            return RunBlock(branch.m_body);
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunFor(const CStmt& stmt)
{
    const COleVariant from = Eval(*stmt.m_value);
    const COleVariant to = Eval(*stmt.m_to);
    const COleVariant step = stmt.m_step ? Eval(*stmt.m_step) : COleVariant(short(1));
    const bool up = ToDouble(step) >= 0.0;
    COleVariant* counter = VariableForWrite(stmt.m_key, stmt.m_name);
    *counter = from;
    while (true) {
        const int c = Compare(counter->Deref(), to);
        if (up ? c > 0 : c < 0)
            break;
        const EFlow flow = RunBlock(stmt.m_body);
        if (flow == EFlow::ExitFor)
            break;
        if (flow != EFlow::Normal)
            return flow;
        *counter = BinaryOp("+", *counter, step);
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunForEach(const CStmt& stmt)
{
    const COleVariant group = Eval(*stmt.m_value);
    if (!group.IsArray())
        Raise(err::kNotCollection);
    // The elements as they were when the loop began.
    const std::vector<COleVariant> elements = group.GetArray().Elements();
    COleVariant* element = VariableForWrite(stmt.m_key, stmt.m_name);
    for (const COleVariant& value : elements) {
        *element = value;
        const EFlow flow = RunBlock(stmt.m_body);
        if (flow == EFlow::ExitFor)
            break;
        if (flow != EFlow::Normal)
            return flow;
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunDo(const CStmt& stmt)
{
    const auto done = [&] {
        if (!stmt.m_value)
            return false;
        const bool holds = ToBool(Eval(*stmt.m_value));
        return stmt.m_bUntil ? holds : !holds;
    };
    while (true) {
        if (stmt.m_bTestFirst && done())
            break;
        const EFlow flow = RunBlock(stmt.m_body);
        if (flow == EFlow::ExitDo)
            break;
        if (flow != EFlow::Normal)
            return flow;
        if (!stmt.m_bTestFirst && done())
            break;
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunSelect(const CStmt& stmt)
{
    const COleVariant value = Eval(*stmt.m_value);
    for (const CBranch& branch : stmt.m_branches) {
        if (branch.m_bElse)
            return RunBlock(branch.m_body);
        for (const auto& candidate : branch.m_values) {
            const COleVariant other = Eval(*candidate);
            if (value.Deref().vt != VT_NULL && other.Deref().vt != VT_NULL && Compare(value.Deref(), other.Deref()) == 0)
                return RunBlock(branch.m_body);
        }
    }
    return EFlow::Normal;
}

CVbsInterpreter::EFlow CVbsInterpreter::RunWith(const CStmt& stmt)
{
    COleVariant object = Eval(*stmt.m_value).Deref();
    if (object.vt != VT_DISPATCH || object.pdispVal == nullptr)
        Raise(err::kObjectRequired);
    m_withObjects.push_back(std::move(object));
    struct CPop
    {
        std::vector<COleVariant>& m_objects;
        ~CPop() { m_objects.pop_back(); }
    } pop{m_withObjects};
    return RunBlock(stmt.m_body);
}

bool CVbsInterpreter::RunCodeText(const std::string& key, const std::vector<std::unique_ptr<CExpr>>& args,
                                  COleVariant& result)
{
    if (key != "eval" && key != "execute" && key != "executeglobal")
        return false;
    if (args.size() != 1)
        Raise(err::kArgCount, CString(key.c_str()));
    if (m_nExecuteDepth >= kMaxExecuteDepth)
        Raise(err::kOutOfStack);
    const CString text = ToText(Eval(*args[0]));
    struct CDepth
    {
        int& m_depth;
        ~CDepth() { --m_depth; }
    } depth{++m_nExecuteDepth};
    try {
        if (key == "eval") {
            const ExprPtr expr = ParseExpression(text.GetString());
            result = Eval(*expr).Deref();
            return true;
        }
        std::unique_ptr<CUnit> unit = ParseUnit(text.GetString(), 1);
        // ExecuteGlobal runs at the global level, Execute where it is called.
        CFrame* const savedFrame = m_frame;
        const CUnit* const savedUnit = m_unit;
        struct CRestore
        {
            CVbsInterpreter& m_self;
            CFrame* m_frame;
            const CUnit* m_unit;
            ~CRestore()
            {
                m_self.m_frame = m_frame;
                m_self.m_unit = m_unit;
            }
        } restore{*this, savedFrame, savedUnit};
        if (key == "executeglobal")
            m_frame = nullptr;
        m_unit = unit.get();
        Register(*unit);
        const CUnit& run = *unit;
        // Procedures and classes it defined stay usable.
        if (!unit->m_procs.empty() || !unit->m_classes.empty())
            m_units.push_back(std::move(unit));
        RunBlock(run.m_body);
    } catch (CVbsFault& fault) {
        // Reported at the statement that ran the text: its lines are not the script's.
        fault.m_bPlaced = false;
        fault.m_strSourceText.Empty();
        throw;
    }
    result = COleVariant();
    return true;
}

std::vector<CVariantArray::CBound> CVbsInterpreter::Bounds(const std::vector<std::unique_ptr<CExpr>>& args)
{
    std::vector<CVariantArray::CBound> bounds;
    for (const auto& arg : args) {
        const LONG upper = ToLong(Eval(*arg));
        if (upper < -1)
            Raise(err::kSubscript);
        bounds.push_back({0, upper + 1});
    }
    return bounds;
}

COleVariant& CVbsInterpreter::Declare(const std::string& key, const std::string& name)
{
    (void)name;
    if (m_frame != nullptr && m_frame->m_proc != nullptr)
        return m_frame->m_locals[key];
    return m_globals[key];
}

void CVbsInterpreter::RunDim(const CStmt& stmt)
{
    for (const CDimItem& item : stmt.m_items) {
        COleVariant& slot = Declare(item.m_key, item.m_name);
        if (item.m_bArray)
            slot = COleVariant::Array(CVariantArray(Bounds(item.m_bounds)));
    }
}

void CVbsInterpreter::RunReDim(const CStmt& stmt)
{
    for (const CDimItem& item : stmt.m_items) {
        COleVariant* slot = FindVariable(item.m_key);
        if (slot == nullptr)
            slot = &Declare(item.m_key, item.m_name);
        std::vector<CVariantArray::CBound> bounds = Bounds(item.m_bounds);
        if (stmt.m_bPreserve && slot->IsArray())
            slot->GetArray().Redim(std::move(bounds), true);
        else
            *slot = COleVariant::Array(CVariantArray(std::move(bounds)));
    }
}

void CVbsInterpreter::RunConst(const CStmt& stmt)
{
    for (const CDimItem& item : stmt.m_items) {
        COleVariant value = Eval(*item.m_value);
        Declare(item.m_key, item.m_name) = value.Deref();
        if (m_frame != nullptr && m_frame->m_proc != nullptr)
            m_frame->m_consts.insert(item.m_key);
        else
            m_globalConsts.insert(item.m_key);
    }
}

void CVbsInterpreter::RunErase(const CStmt& stmt)
{
    for (const CDimItem& item : stmt.m_items) {
        COleVariant* slot = FindVariable(item.m_key);
        if (slot == nullptr || !slot->IsArray())
            Raise(err::kTypeMismatch, CString(item.m_name));
        for (COleVariant& element : slot->GetArray().Elements())
            element.Clear();
    }
}

void CVbsInterpreter::RunCall(const CExpr& target)
{
    switch (target.m_kind) {
    case EExpr::Call:
        EvalCall(target, false);
        break;
    case EExpr::Member:
        EvalMember(*target.m_a, target, nullptr);
        break;
    case EExpr::Name:
        EvalName(target);
        break;
    default:
        Raise(err::kExpectedStatement);
    }
}

void CVbsInterpreter::Assign(const CExpr& target, COleVariant value, bool isSet)
{
    value = COleVariant(value.Deref());
    if (isSet && value.vt != VT_DISPATCH)
        Raise(err::kObjectRequired);
    if (!isSet && value.vt == VT_DISPATCH)
        Raise(value.pdispVal ? err::kNoMember : err::kObjectNotSet);
    if (target.m_kind == EExpr::Name) {
        if (IsConstant(target.m_key) || (m_items.contains(target.m_key) && FindVariable(target.m_key) == nullptr))
            Raise(err::kIllegalAssignment, CString(target.m_name));
        *VariableForWrite(target.m_key, target.m_name) = std::move(value);
        return;
    }
    if (target.m_kind == EExpr::Call && target.m_a->m_kind == EExpr::Name) {
        COleVariant* slot = FindVariable(target.m_a->m_key);
        if (slot == nullptr && Explicit())
            Raise(err::kUndefined, CString(target.m_a->m_name));
        if (slot == nullptr || !slot->IsArray())
            Raise(err::kTypeMismatch, CString(target.m_a->m_name));
        const std::vector<LONG> indices = Indices(target.m_args);
        slot->GetArray().At(indices) = std::move(value);
        return;
    }
    const CExpr* member = &target;
    const std::vector<std::unique_ptr<CExpr>>* args = nullptr;
    if (target.m_kind == EExpr::Call && target.m_a->m_kind == EExpr::Member) {
        member = target.m_a.get();
        args = &target.m_args;
    }
    if (member->m_kind != EExpr::Member)
        Raise(err::kIllegalAssignment);
    const CExpr& object = *member->m_a;
    if (object.m_kind == EExpr::Name && object.m_key == "err" && FindVariable("err") == nullptr) {
        if (member->m_key == "number")
            m_nErrNumber = ToLong(value);
        else if (member->m_key == "description")
            m_strErrDescription = ToText(value);
        else if (member->m_key == "source")
            m_strErrSource = ToText(value);
        else
            Raise(err::kNoMember, "Err." + CString(member->m_name));
        return;
    }
    const COleVariant host = Eval(object);
    std::vector<COleVariant> values = args ? EvalArgs(*args, false) : std::vector<COleVariant>{};
    values.push_back(std::move(value));
    InvokeHost(host, member->m_name, DISPATCH_PROPERTYPUT, values);
}

// ---- variables -------------------------------------------------------------------------------

COleVariant* CVbsInterpreter::FindVariable(const std::string& key)
{
    if (m_frame != nullptr) {
        if (const auto ref = m_frame->m_refs.find(key); ref != m_frame->m_refs.end())
            return ref->second;
        if (const auto local = m_frame->m_locals.find(key); local != m_frame->m_locals.end())
            return &local->second;
        if (m_frame->m_this) {
            if (const auto field = m_frame->m_this->m_fields.find(key); field != m_frame->m_this->m_fields.end())
                return &field->second;
        }
    }
    if (const auto global = m_globals.find(key); global != m_globals.end())
        return &global->second;
    return nullptr;
}

COleVariant* CVbsInterpreter::VariableForWrite(const std::string& key, const std::string& name)
{
    if (COleVariant* slot = FindVariable(key))
        return slot;
    if (Explicit())
        Raise(err::kUndefined, CString(name));
    return &Declare(key, name);
}

bool CVbsInterpreter::IsConstant(const std::string& key) const
{
    if (m_frame != nullptr && m_frame->m_consts.contains(key))
        return true;
    const bool local = m_frame != nullptr && (m_frame->m_locals.contains(key) || m_frame->m_refs.contains(key) ||
                                              (m_frame->m_this && m_frame->m_this->m_fields.contains(key)));
    return !local && m_globalConsts.contains(key);
}

// ---- expressions -----------------------------------------------------------------------------

COleVariant CVbsInterpreter::Eval(const CExpr& expr)
{
    const CStackUnit unit(*this);
    switch (expr.m_kind) {
    case EExpr::Literal:
        return expr.m_value;
    case EExpr::Name:
        return EvalName(expr);
    case EExpr::Member:
        return EvalMember(*expr.m_a, expr, nullptr);
    case EExpr::Call:
        return EvalCall(expr, true);
    case EExpr::Unary:
        return UnaryOp(expr.m_op, Eval(*expr.m_a));
    case EExpr::Binary: {
        const COleVariant a = Eval(*expr.m_a);
        const COleVariant b = Eval(*expr.m_b);
        return BinaryOp(expr.m_op, a, b);
    }
    case EExpr::New:
        return NewObject(expr);
    case EExpr::With:
        if (m_withObjects.empty())
            Raise(err::kObjectRequired);
        return m_withObjects.back();
    }
    Raise(err::kSyntax);
}

COleVariant CVbsInterpreter::EvalName(const CExpr& expr)
{
    if (const COleVariant* slot = FindVariable(expr.m_key))
        return slot->Deref();
    if (const auto item = m_items.find(expr.m_key); item != m_items.end())
        return item->second;
    if (m_frame != nullptr && m_frame->m_this) {
        if (expr.m_key == "me")
            return COleVariant::Dispatch(m_frame->m_this);
        if (const CProc* method = OwnMethod(expr.m_key))
            return CallProc(*method, {}, expr.m_pos, m_frame->m_this);
    }
    if (const auto proc = m_procs.find(expr.m_key); proc != m_procs.end())
        return CallProc(*proc->second, {}, expr.m_pos);
    if (expr.m_key == "err")
        return COleVariant(static_cast<LONG>(m_nErrNumber));
    COleVariant constant;
    if (FindConstant(expr.m_key, constant))
        return constant;
    if (const CBuiltin* builtin = FindBuiltin(expr.m_key)) {
        if (builtin->m_nMin > 0)
            Raise(err::kArgCount, CString(builtin->m_name));
        std::vector<COleVariant> none;
        return builtin->m_fn(none);
    }
    if (Explicit())
        Raise(err::kUndefined, CString(expr.m_name));
    return {};
}

std::vector<LONG> CVbsInterpreter::Indices(const std::vector<std::unique_ptr<CExpr>>& args)
{
    std::vector<LONG> indices;
    indices.reserve(args.size());
    for (const auto& arg : args)
        indices.push_back(ToLong(Eval(*arg)));
    return indices;
}

std::vector<COleVariant> CVbsInterpreter::EvalArgs(const std::vector<std::unique_ptr<CExpr>>& args, bool byRef)
{
    std::vector<COleVariant> values;
    values.reserve(args.size());
    for (const auto& arg : args) {
        COleVariant* slot = byRef && IsPlainName(*arg) ? FindVariable(arg->m_key) : nullptr;
        if (slot != nullptr)
            values.push_back(COleVariant::ByRef(*slot));
        else
            values.push_back(COleVariant(Eval(*arg).Deref()));
    }
    return values;
}

COleVariant CVbsInterpreter::EvalCall(const CExpr& expr, bool wantValue)
{
    (void)wantValue;
    const CExpr& target = *expr.m_a;
    if (target.m_kind == EExpr::Member)
        return EvalMember(*target.m_a, target, &expr.m_args);
    if (target.m_kind != EExpr::Name) {
        const COleVariant value = Eval(target);
        if (!value.IsArray())
            Raise(err::kTypeMismatch);
        return value.GetArray().At(Indices(expr.m_args));
    }
    const CString name(target.m_name);
    // Inside a function its name with arguments calls it again.
    const bool recursion = m_frame != nullptr && m_frame->m_proc != nullptr && m_frame->m_proc->m_key == target.m_key &&
                           !expr.m_args.empty();
    if (const COleVariant* slot = recursion ? nullptr : FindVariable(target.m_key)) {
        if (slot->IsArray())
            return slot->GetArray().At(Indices(expr.m_args));
        if (expr.m_args.empty())
            return slot->Deref();
        Raise(err::kTypeMismatch, name);
    }
    if (m_items.contains(target.m_key))
        Raise(err::kNoMember, name);
    if (const CProc* method = OwnMethod(target.m_key))
        return CallProc(*method, expr.m_args, expr.m_pos, m_frame->m_this);
    if (const auto proc = m_procs.find(target.m_key); proc != m_procs.end())
        return CallProc(*proc->second, expr.m_args, expr.m_pos);
    if (COleVariant result; RunCodeText(target.m_key, expr.m_args, result))
        return result;
    if (const CBuiltin* builtin = FindBuiltin(target.m_key)) {
        const int count = static_cast<int>(expr.m_args.size());
        if (count < builtin->m_nMin || count > builtin->m_nMax)
            Raise(err::kArgCount, CString(builtin->m_name));
        std::vector<COleVariant> args = EvalArgs(expr.m_args, false);
        return builtin->m_fn(args);
    }
    if (expr.m_args.empty()) {
        COleVariant constant;
        if (FindConstant(target.m_key, constant))
            return constant;
    }
    Raise(Explicit() && expr.m_args.empty() ? err::kUndefined : err::kTypeMismatch, name);
}

COleVariant CVbsInterpreter::ErrMember(const std::string& key, std::vector<COleVariant>& args)
{
    if (key == "number" && args.empty())
        return COleVariant(static_cast<LONG>(m_nErrNumber));
    if (key == "description" && args.empty())
        return COleVariant(m_strErrDescription);
    if (key == "source" && args.empty())
        return COleVariant(m_strErrSource);
    if (key == "clear" && args.empty()) {
        m_nErrNumber = 0;
        m_strErrDescription.Empty();
        m_strErrSource.Empty();
        return {};
    }
    if (key == "raise" && !args.empty() && args.size() <= 3) {
        const long number = ToLong(args[0]);
        if (args.size() >= 2 && args[1].Deref().vt != VT_EMPTY)
            m_strErrSource = ToText(args[1]);
        CString description = args.size() == 3 ? ToText(args[2]) : ErrorText(number);
        throw CVbsFault(number, description);
    }
    Raise(err::kNoMember, "Err." + CString(key));
}

COleVariant CVbsInterpreter::EvalMember(const CExpr& object, const CExpr& member,
                                        const std::vector<std::unique_ptr<CExpr>>* args)
{
    if (object.m_kind == EExpr::Name && object.m_key == "err" && FindVariable("err") == nullptr) {
        std::vector<COleVariant> values = args ? EvalArgs(*args, false) : std::vector<COleVariant>{};
        return ErrMember(member.m_key, values);
    }
    const COleVariant host = Eval(object);
    std::vector<COleVariant> values = args ? EvalArgs(*args, true) : std::vector<COleVariant>{};
    return InvokeHost(host, member.m_name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, values);
}

COleVariant CVbsInterpreter::InvokeHost(const COleVariant& object, const std::string& name, WORD kinds,
                                        std::vector<COleVariant>& args)
{
    const COleVariant& host = object.Deref();
    if (host.vt != VT_DISPATCH || !host.pdispVal)
        Raise(err::kObjectRequired, CString(name));
    if (auto* object = dynamic_cast<CObject*>(host.pdispVal.get()); object != nullptr && object->m_owner == this)
        return InvokeObject(*object, name, kinds, args);
    CDispatchable& target = *host.pdispVal;
    const CString member = target.GetDispatchMap().GetTypeName() + "." + CString(name);
    try {
        return target.Invoke(name.c_str(), kinds, args).Deref();
    } catch (const COleDispatchException& e) {
        switch (e.m_scError) {
        case DISP_E_UNKNOWNNAME:
        case DISP_E_MEMBERNOTFOUND:
            Raise(err::kNoMember, member);
        case DISP_E_BADPARAMCOUNT:
            Raise(err::kArgCount, member);
        case DISP_E_TYPEMISMATCH:
            throw CVbsFault(err::kTypeMismatch, ErrorText(err::kTypeMismatch) + ": " + e.m_strDescription);
        case DISP_E_OVERFLOW:
            throw CVbsFault(err::kOverflow, ErrorText(err::kOverflow) + ": " + e.m_strDescription);
        default:
            throw CVbsFault(err::kAutomation, e.m_strDescription.IsEmpty() ? member : e.m_strDescription);
        }
    }
}

COleVariant CVbsInterpreter::CallProc(const CProc& proc, const std::vector<std::unique_ptr<CExpr>>& args, CPos pos,
                                      const std::shared_ptr<CObject>& self)
{
    (void)pos;
    if (args.size() != proc.m_params.size())
        Raise(err::kArgCount, CString(proc.m_name));
    // Arguments are bound in the caller's scope: plain variables by
    // reference unless the parameter is ByVal.
    std::vector<COleVariant> values;
    values.reserve(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        COleVariant* slot =
            !proc.m_params[i].m_bByVal && IsPlainName(*args[i]) ? FindVariable(args[i]->m_key) : nullptr;
        if (slot != nullptr && !IsConstant(args[i]->m_key))
            values.push_back(COleVariant::ByRef(*slot));
        else
            values.push_back(COleVariant(Eval(*args[i]).Deref()));
    }
    return CallProcValues(proc, values, self);
}

COleVariant CVbsInterpreter::CallProcValues(const CProc& proc, std::vector<COleVariant>& args,
                                            const std::shared_ptr<CObject>& self)
{
    if (args.size() != proc.m_params.size())
        Raise(err::kArgCount, CString(proc.m_name));
    if (m_nDepth >= kMaxCallDepth)
        Raise(err::kOutOfStack);
    CFrame frame;
    frame.m_proc = &proc;
    frame.m_this = self;
    for (size_t i = 0; i < args.size(); ++i) {
        const CParam& param = proc.m_params[i];
        if (!param.m_bByVal && args[i].vt == (VT_BYREF | VT_VARIANT))
            frame.m_refs[param.m_key] = &args[i].Deref();
        else
            frame.m_locals[param.m_key] = args[i].Deref();
    }
    if (proc.m_bFunction)
        frame.m_locals[proc.m_key];

    // Restores the caller's scope however the body ends.
    struct CScope
    {
        CVbsInterpreter& m_self;
        CFrame* m_savedFrame;
        const CUnit* m_savedUnit;
        ~CScope()
        {
            m_self.m_frame = m_savedFrame;
            m_self.m_unit = m_savedUnit;
            --m_self.m_nDepth;
        }
    } scope{*this, m_frame, m_unit};
    ++m_nDepth;
    m_frame = &frame;
    if (proc.m_pUnit != nullptr)
        m_unit = proc.m_pUnit;
    RunBlock(proc.m_body);
    if (!proc.m_bFunction)
        return {};
    return frame.m_locals[proc.m_key].Deref();
}

// ---- classes ---------------------------------------------------------------------------------

namespace {

const CProc* FindMethod(const CClassDef& def, const std::string& key, EProcKind kind, bool inside)
{
    for (const auto& method : def.m_methods) {
        if (method->m_key == key && method->m_kind == kind && (method->m_bPublic || inside))
            return method.get();
    }
    return nullptr;
}

} // namespace

const CProc* CVbsInterpreter::OwnMethod(const std::string& key) const
{
    if (m_frame == nullptr || !m_frame->m_this)
        return nullptr;
    const CClassDef& def = *m_frame->m_this->m_class;
    for (const EProcKind kind : {EProcKind::Sub, EProcKind::Function, EProcKind::PropertyGet}) {
        if (const CProc* method = FindMethod(def, key, kind, true))
            return method;
    }
    return nullptr;
}

COleVariant CVbsInterpreter::NewObject(const CExpr& expr)
{
    const auto found = m_classes.find(expr.m_key);
    if (found == m_classes.end())
        Raise(err::kClassNotDefined, CString(expr.m_name));
    const CClassDef& def = *found->second;
    auto object = std::make_shared<CObject>(*this, def);
    for (const CDimItem& item : def.m_fields) {
        COleVariant& slot = object->m_fields[item.m_key];
        if (item.m_bArray)
            slot = COleVariant::Array(CVariantArray(Bounds(item.m_bounds)));
    }
    if (const CProc* initialize = FindMethod(def, "class_initialize", EProcKind::Sub, true)) {
        std::vector<COleVariant> none;
        CallProcValues(*initialize, none, object);
    }
    return COleVariant::Dispatch(object);
}

COleVariant CVbsInterpreter::InvokeObject(CObject& object, const std::string& name, WORD kinds,
                                          std::vector<COleVariant>& args)
{
    const CClassDef& def = *object.m_class;
    const std::string key = Lower(name);
    const CString member = CString(def.m_name.c_str()) + "." + CString(name.c_str());
    // Private members answer only the object's own methods.
    const bool inside = m_frame != nullptr && m_frame->m_this.get() == &object;
    COleVariant* field = nullptr;
    for (size_t i = 0; i < def.m_fields.size(); ++i) {
        if (def.m_fields[i].m_key == key && (def.m_publicFields[i] || inside))
            field = &object.m_fields[key];
    }
    const auto indices = [&args] {
        std::vector<LONG> result;
        for (const COleVariant& arg : args)
            result.push_back(ToLong(arg));
        return result;
    };
    const std::shared_ptr<CObject> self = object.shared_from_this();
    if ((kinds & DISPATCH_PROPERTYPUT) != 0) {
        COleVariant value = args.back().Deref();
        args.pop_back();
        if (field != nullptr) {
            if (args.empty())
                *field = std::move(value);
            else if (field->IsArray())
                field->GetArray().At(indices()) = std::move(value);
            else
                Raise(err::kTypeMismatch, member);
            return {};
        }
        const bool isObject = value.vt == VT_DISPATCH;
        const CProc* setter = FindMethod(def, key, isObject ? EProcKind::PropertySet : EProcKind::PropertyLet, inside);
        if (setter == nullptr)
            Raise(err::kNoMember, member);
        args.push_back(std::move(value));
        CallProcValues(*setter, args, self);
        return {};
    }
    if (field != nullptr) {
        if (args.empty())
            return field->Deref();
        if (field->IsArray())
            return field->GetArray().At(indices());
        Raise(err::kTypeMismatch, member);
    }
    for (const EProcKind kind : {EProcKind::Sub, EProcKind::Function, EProcKind::PropertyGet}) {
        if (const CProc* method = FindMethod(def, key, kind, inside))
            return CallProcValues(*method, args, self);
    }
    Raise(err::kNoMember, member);
}

} // namespace kestrun::vbs
