#pragma once
// CVbsInterpreter: our tree-walking VBScript. It keeps the global
// variables, the procedures and the named items (host objects) of one
// script engine across the pieces of code handed to it; each piece is
// parsed whole first, so a piece that does not parse runs nothing.

#include "scripthost/vbscript/vbsast.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kestrun::vbs {

class CVbsInterpreter
{
public:
    CVbsInterpreter();
    ~CVbsInterpreter();
    CVbsInterpreter(const CVbsInterpreter&) = delete;
    CVbsInterpreter& operator=(const CVbsInterpreter&) = delete;

    // A host object scripts reach by name; a second item of the same name
    // replaces nothing.
    void AddItem(const std::string& name, COleVariant object);
    // Parses the code and runs its global statements; the error that
    // stopped it (with its line, column and source text), if any.
    std::optional<CVbsFault> Execute(std::string_view code, int startingLine);
    // Parses the code as the body of a Sub of that name (an event handler).
    std::optional<CVbsFault> AddHandler(const std::string& name, std::string_view code, int startingLine);
    // Calls a Sub or Function of the scripts by name with the arguments.
    std::optional<CVbsFault> Call(const std::string& name, std::vector<COleVariant> args, COleVariant* result);
    bool HasProcedure(const std::string& name) const;

    // Calls nested deeper than this raise "Out of stack space".
    static constexpr int kMaxCallDepth = 150;
    // Nested blocks, calls and operations of one run together: a deep
    // expression inside each of many nested calls must not exhaust the stack.
    static constexpr int kMaxStackUnits = 3000;
    // Code run by Execute or Eval that runs Execute or Eval again: deeper
    // than this raises "Out of stack space".
    static constexpr int kMaxExecuteDepth = 20;

    class CObject;

private:
    struct CFrame;
    enum class EFlow
    {
        Normal,
        ExitFor,
        ExitDo,
        ExitProc,
    };

    std::optional<CVbsFault> Guard(const CUnit& unit, CPos fallback, const std::function<void()>& work);

    EFlow RunBlock(const Block& block);
    EFlow RunStatement(const CStmt& stmt);
    EFlow RunIf(const CStmt& stmt);
    EFlow RunFor(const CStmt& stmt);
    EFlow RunForEach(const CStmt& stmt);
    EFlow RunDo(const CStmt& stmt);
    EFlow RunSelect(const CStmt& stmt);
    EFlow RunWith(const CStmt& stmt);
    // Eval, Execute and ExecuteGlobal of a text; false for another name.
    bool RunCodeText(const std::string& key, const std::vector<std::unique_ptr<CExpr>>& args, COleVariant& result);
    void RunDim(const CStmt& stmt);
    void RunReDim(const CStmt& stmt);
    void RunConst(const CStmt& stmt);
    void RunErase(const CStmt& stmt);
    void Assign(const CExpr& target, COleVariant value, bool isSet);
    void RunCall(const CExpr& target);

    COleVariant Eval(const CExpr& expr);
    COleVariant EvalName(const CExpr& expr);
    COleVariant EvalCall(const CExpr& expr, bool wantValue);
    COleVariant EvalMember(const CExpr& object, const CExpr& member, const std::vector<std::unique_ptr<CExpr>>* args);
    COleVariant CallProc(const CProc& proc, const std::vector<std::unique_ptr<CExpr>>& args, CPos pos,
                         const std::shared_ptr<CObject>& self = nullptr);
    // self: the object whose method runs (its variables are in scope).
    COleVariant CallProcValues(const CProc& proc, std::vector<COleVariant>& args,
                               const std::shared_ptr<CObject>& self = nullptr);
    // Units parsed: their procedures and classes become known.
    void Register(CUnit& unit);
    COleVariant NewObject(const CExpr& expr);
    // A member of an object of a script class, called from outside or
    // through Me; null self means the method of the running object.
    COleVariant InvokeObject(CObject& object, const std::string& name, WORD kinds, std::vector<COleVariant>& args);
    // The running object's method of that name (not its Property Let/Set).
    const CProc* OwnMethod(const std::string& key) const;
    COleVariant ErrMember(const std::string& key, std::vector<COleVariant>& args);
    COleVariant InvokeHost(const COleVariant& object, const std::string& name, WORD kinds,
                           std::vector<COleVariant>& args);
    std::vector<COleVariant> EvalArgs(const std::vector<std::unique_ptr<CExpr>>& args, bool byRef);
    std::vector<LONG> Indices(const std::vector<std::unique_ptr<CExpr>>& args);
    std::vector<CVariantArray::CBound> Bounds(const std::vector<std::unique_ptr<CExpr>>& args);

    // The variable of that name in the current procedure or globally;
    // null when there is none.
    COleVariant* FindVariable(const std::string& key);
    // The variable to assign to: found, or declared implicitly (an
    // error under Option Explicit).
    COleVariant* VariableForWrite(const std::string& key, const std::string& name);
    bool IsConstant(const std::string& key) const;
    COleVariant& Declare(const std::string& key, const std::string& name);
    bool Explicit() const;
    void SetErr(const CVbsFault& fault);

    std::vector<std::unique_ptr<CUnit>> m_units;
    std::unordered_map<std::string, const CProc*> m_procs;
    std::unordered_map<std::string, const CClassDef*> m_classes;
    std::unordered_map<std::string, COleVariant> m_globals;
    std::unordered_set<std::string> m_globalConsts;
    std::unordered_map<std::string, COleVariant> m_items;
    CFrame* m_frame = nullptr;
    const CUnit* m_unit = nullptr;
    int m_nDepth = 0;
    int m_nStackUnits = 0;
    bool m_bGlobalResumeNext = false;
    // The objects of the With blocks being run, innermost last.
    std::vector<COleVariant> m_withObjects;
    int m_nExecuteDepth = 0;

    class CStackUnit;

    // The Err object.
    long m_nErrNumber = 0;
    CString m_strErrDescription;
    CString m_strErrSource;
};

} // namespace kestrun::vbs
