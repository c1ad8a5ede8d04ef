#include "scripthost/vbscript/vbsparser.h"

#include "scripthost/vbscript/vbslexer.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace kestrun::vbs {

namespace {

constexpr std::array kReserved = {
    "and",   "byref",   "byval",    "call",  "case",  "class", "const", "dim",    "do",      "each",   "else",
    "elseif", "empty",  "end",      "eqv",   "erase", "error", "exit",   "explicit", "false", "for",
    "function", "goto", "if",       "imp",   "in",    "is",    "loop",   "mod",     "new",    "next",
    "not",   "nothing", "null",     "on",    "option", "or",   "preserve", "redim",  "resume", "select",
    "set",   "step",    "sub",      "then",  "to",    "true",  "until",  "wend",    "while",  "with",   "xor",
};

bool IsReserved(const std::string& key)
{
    return std::ranges::find(kReserved, key) != kReserved.end();
}

class CParser
{
public:
    CParser(std::vector<CToken> tokens, CUnit& unit) : m_t(std::move(tokens)), m_unit(unit) {}

    void Run()
    {
        while (true) {
            SkipNewlines();
            if (Peek().m_kind == ETok::End)
                break;
            if (IsKey("option")) {
                Next();
                ExpectKey("explicit", err::kExpectedIdentifier);
                m_unit.m_bExplicit = true;
                EndOfStatement();
                continue;
            }
            if (IsKey("sub") || IsKey("function")) {
                Procedure();
                continue;
            }
            if (IsKey("class")) {
                ClassDefinition();
                continue;
            }
            // Private and Public only scope procedures and variables of classes.
            if ((IsKey("private") || IsKey("public")) && (IsKeyAt(1, "sub") || IsKeyAt(1, "function"))) {
                Next();
                Procedure();
                continue;
            }
            if (auto stmt = Statement())
                m_unit.m_body.push_back(std::move(stmt));
            EndOfStatement();
        }
        for (auto& proc : m_unit.m_procs)
            proc->m_bExplicit = m_unit.m_bExplicit;
        for (auto& def : m_unit.m_classes) {
            for (auto& method : def->m_methods)
                method->m_bExplicit = m_unit.m_bExplicit;
        }
    }

    ExprPtr WholeExpression()
    {
        ExprPtr expr = Expression();
        while (Peek().m_kind == ETok::Newline && Peek().m_text == "\n")
            Next();
        if (Peek().m_kind != ETok::End)
            Fail(err::kExpectedEndOfStatement);
        return expr;
    }

private:
    // ---- tokens -----------------------------------------------------------------------------

    const CToken& Peek(size_t ahead = 0) const { return m_t[std::min(m_i + ahead, m_t.size() - 1)]; }
    const CToken& Next()
    {
        const CToken& t = m_t[m_i];
        if (m_i + 1 < m_t.size())
            ++m_i;
        return t;
    }
    bool IsKey(const char* key) const { return Peek().m_kind == ETok::Name && Peek().m_key == key; }
    bool IsKeyAt(size_t ahead, const char* key) const
    {
        return Peek(ahead).m_kind == ETok::Name && Peek(ahead).m_key == key;
    }
    bool IsOp(const char* op) const { return Peek().m_kind == ETok::Op && Peek().m_text == op; }
    bool AtEndOfStatement() const
    {
        return Peek().m_kind == ETok::Newline || Peek().m_kind == ETok::End;
    }

    [[noreturn]] void Fail(long number) const { Fail(number, Peek().m_pos); }
    [[noreturn]] static void Fail(long number, CPos pos) { throw CVbsFault(number, ErrorText(number), pos, true); }

    void ExpectKey(const char* key, long number)
    {
        if (!IsKey(key))
            Fail(number);
        Next();
    }
    void ExpectOp(const char* op, long number)
    {
        if (!IsOp(op))
            Fail(number);
        Next();
    }
    void SkipNewlines()
    {
        while (Peek().m_kind == ETok::Newline)
            Next();
    }
    void EndOfStatement()
    {
        if (!AtEndOfStatement())
            Fail(err::kExpectedEndOfStatement);
        Next();
    }

    const CToken& Identifier()
    {
        if (Peek().m_kind != ETok::Name || IsReserved(Peek().m_key))
            Fail(err::kExpectedIdentifier);
        return Next();
    }

    // Bounds the recursion of blocks and parenthesised expressions.
    class CNest
    {
    public:
        explicit CNest(CParser& parser) : m_parser(parser)
        {
            if (++m_parser.m_nNesting > kMaxNesting)
                Fail(err::kTooComplex, m_parser.Peek().m_pos);
        }
        ~CNest() { --m_parser.m_nNesting; }
        CNest(const CNest&) = delete;
        CNest& operator=(const CNest&) = delete;

    private:
        CParser& m_parser;
    };

    // ---- procedures and blocks ----------------------------------------------------------------

    void Procedure()
    {
        auto proc = ProcedureDefinition(false);
        for (const auto& other : m_unit.m_procs) {
            if (other->m_key == proc->m_key)
                Fail(err::kNameRedefined, proc->m_pos);
        }
        m_unit.m_procs.push_back(std::move(proc));
    }

    // Sub, Function or (in a class) Property Get/Let/Set, from its keyword
    // to the end of its End line.
    std::unique_ptr<CProc> ProcedureDefinition(bool inClass)
    {
        auto proc = std::make_unique<CProc>();
        proc->m_pos = Peek().m_pos;
        const std::string word = Next().m_key;
        if (word == "function") {
            proc->m_kind = EProcKind::Function;
        } else if (word == "property") {
            if (!inClass)
                Fail(err::kSyntax, proc->m_pos);
            if (IsKey("get"))
                proc->m_kind = EProcKind::PropertyGet;
            else if (IsKey("let"))
                proc->m_kind = EProcKind::PropertyLet;
            else if (IsKey("set"))
                proc->m_kind = EProcKind::PropertySet;
            else
                Fail(err::kExpectedPropertyKind);
            Next();
        }
        proc->m_bFunction = proc->m_kind == EProcKind::Function || proc->m_kind == EProcKind::PropertyGet;
        const CToken& name = Identifier();
        proc->m_pos = name.m_pos;
        proc->m_name = name.m_text;
        proc->m_key = name.m_key;
        if (IsOp("(")) {
            Next();
            while (!IsOp(")")) {
                CParam param;
                if (IsKey("byval")) {
                    Next();
                    param.m_bByVal = true;
                } else if (IsKey("byref")) {
                    Next();
                }
                const CToken& pname = Identifier();
                param.m_name = pname.m_text;
                param.m_key = pname.m_key;
                if (IsOp("(")) {
                    Next();
                    ExpectOp(")", err::kExpectedCloseParen);
                }
                proc->m_params.push_back(std::move(param));
                if (!IsOp(","))
                    break;
                Next();
            }
            ExpectOp(")", err::kExpectedCloseParen);
        }
        EndOfStatement();
        m_proc = proc.get();
        proc->m_body = BlockUntil({"end"});
        m_proc = nullptr;
        ExpectKey("end", err::kExpectedEnd);
        ExpectKey(word.c_str(), word == "function" ? err::kExpectedFunction
                                : word == "sub"    ? err::kExpectedSub
                                                   : err::kSyntax);
        EndOfStatement();
        return proc;
    }

    void ClassDefinition()
    {
        auto def = std::make_unique<CClassDef>();
        def->m_pos = Next().m_pos;
        const CToken& name = Identifier();
        def->m_name = name.m_text;
        def->m_key = name.m_key;
        for (const auto& other : m_unit.m_classes) {
            if (other->m_key == def->m_key)
                Fail(err::kNameRedefined, name.m_pos);
        }
        EndOfStatement();
        while (true) {
            SkipNewlines();
            if (Peek().m_kind == ETok::End || IsKey("end"))
                break;
            bool isPublic = true;
            bool scoped = false;
            if (IsKey("public") || IsKey("private")) {
                isPublic = Next().m_key == "public";
                scoped = true;
                if (isPublic && IsKey("default"))
                    Next();
            }
            if (IsKey("sub") || IsKey("function") || IsKey("property")) {
                auto method = ProcedureDefinition(true);
                for (const auto& other : def->m_methods) {
                    if (other->m_key == method->m_key && other->m_kind == method->m_kind)
                        Fail(err::kNameRedefined, method->m_pos);
                }
                method->m_bPublic = isPublic;
                def->m_methods.push_back(std::move(method));
                continue;
            }
            if (IsKey("dim"))
                Next();
            else if (!scoped)
                Fail(err::kExpectedStatement);
            CStmt fields;
            DimItems(fields, false);
            for (CDimItem& item : fields.m_items) {
                def->m_fields.push_back(std::move(item));
                def->m_publicFields.push_back(isPublic);
            }
            EndOfStatement();
        }
        ExpectKey("end", err::kExpectedEnd);
        ExpectKey("class", err::kExpectedClass);
        EndOfStatement();
        m_unit.m_classes.push_back(std::move(def));
    }

    // Statements up to one of the words that end the block (not taken).
    Block BlockUntil(std::initializer_list<const char*> ends)
    {
        CNest nest(*this);
        Block block;
        while (true) {
            SkipNewlines();
            if (Peek().m_kind == ETok::End)
                return block;
            for (const char* end : ends) {
                if (IsKey(end))
                    return block;
            }
            if (auto stmt = Statement())
                block.push_back(std::move(stmt));
            EndOfStatement();
        }
    }

    // ---- statements ---------------------------------------------------------------------------

    std::unique_ptr<CStmt> NewStmt(EStmt kind, CPos pos)
    {
        auto stmt = std::make_unique<CStmt>();
        stmt->m_kind = kind;
        stmt->m_pos = pos;
        return stmt;
    }

    std::unique_ptr<CStmt> Statement()
    {
        const CPos pos = Peek().m_pos;
        if (IsOp(".") && m_nWith > 0)
            return Assignment(pos, false);
        if (Peek().m_kind != ETok::Name)
            Fail(err::kExpectedStatement);
        const std::string key = Peek().m_key;
        if (key == "with")
            return With(pos);
        if (key == "dim" || ((key == "private" || key == "public") && !IsKeyAt(1, "const")))
            return Dim(pos);
        if (key == "redim")
            return ReDim(pos);
        if (key == "const" || ((key == "private" || key == "public") && IsKeyAt(1, "const")))
            return Const(pos);
        if (key == "set" || key == "let") {
            Next();
            return Assignment(pos, key == "set");
        }
        if (key == "call") {
            Next();
            auto stmt = NewStmt(EStmt::Call, pos);
            stmt->m_target = Postfix();
            return stmt;
        }
        if (key == "if")
            return If(pos);
        if (key == "for")
            return IsKeyAt(1, "each") ? ForEach(pos) : For(pos);
        if (key == "do")
            return Do(pos);
        if (key == "while")
            return While(pos);
        if (key == "select")
            return Select(pos);
        if (key == "exit")
            return Exit(pos);
        if (key == "on")
            return OnError(pos);
        if (key == "erase") {
            Next();
            auto stmt = NewStmt(EStmt::Erase, pos);
            while (true) {
                CDimItem item;
                item.m_pos = Peek().m_pos;
                const CToken& name = Identifier();
                item.m_name = name.m_text;
                item.m_key = name.m_key;
                stmt->m_items.push_back(std::move(item));
                if (!IsOp(","))
                    break;
                Next();
            }
            return stmt;
        }
        if (key == "sub" || key == "function")
            Fail(err::kSyntax);
        if (IsReserved(key))
            Fail(err::kExpectedStatement);
        return Assignment(pos, false);
    }

    // "a = b", "a(i).b = c", or a call: "f", "f a, b", "f(a)", "o.m a".
    std::unique_ptr<CStmt> Assignment(CPos pos, bool isSet)
    {
        m_nLastCallParen = 0;
        ExprPtr target = Postfix();
        if (IsOp("=")) {
            Next();
            auto stmt = NewStmt(isSet ? EStmt::Set : EStmt::Assign, pos);
            stmt->m_target = std::move(target);
            stmt->m_value = Expression();
            return stmt;
        }
        if (isSet)
            Fail(err::kExpectedEquals);
        auto stmt = NewStmt(EStmt::Call, pos);
        if (AtEndOfStatement() || IsKey("else")) {
            // "f(a, b)" as a statement: a Sub is called without parentheses.
            if (target->m_kind == EExpr::Call && target->m_args.size() > 1 && !target->m_bParen)
                Fail(err::kParenthesesInSubCall, target->m_pos);
            // "f(a)": the argument in parentheses goes by value.
            if (target->m_kind == EExpr::Call && target->m_args.size() == 1)
                target->m_args[0]->m_bParen = true;
            stmt->m_target = std::move(target);
            return stmt;
        }
        if (target->m_kind == EExpr::Call && m_nLastCallParen != 0 &&
            (target->m_a->m_kind == EExpr::Name || target->m_a->m_kind == EExpr::Member)) {
            // "o.m (a) & b": the parentheses open the first argument.
            m_i = m_nLastCallParen;
            target = std::move(target->m_a);
        }
        if (target->m_kind == EExpr::Literal || target->m_kind == EExpr::Call)
            Fail(err::kExpectedEndOfStatement);
        auto call = MakeNode(EExpr::Call, target->m_pos);
        call->m_a = std::move(target);
        call->m_args = ArgumentList();
        Measure(*call);
        stmt->m_target = std::move(call);
        return stmt;
    }

    std::vector<ExprPtr> ArgumentList()
    {
        std::vector<ExprPtr> args;
        while (true) {
            args.push_back(Expression());
            if (!IsOp(","))
                break;
            Next();
        }
        return args;
    }

    void DimItems(CStmt& stmt, bool needBounds)
    {
        while (true) {
            CDimItem item;
            item.m_pos = Peek().m_pos;
            const CToken& name = Identifier();
            item.m_name = name.m_text;
            item.m_key = name.m_key;
            if (IsOp("(")) {
                Next();
                item.m_bArray = true;
                if (!IsOp(")"))
                    item.m_bounds = ArgumentList();
                ExpectOp(")", err::kExpectedCloseParen);
            }
            if (needBounds && item.m_bounds.empty())
                Fail(err::kExpectedParen, item.m_pos);
            stmt.m_items.push_back(std::move(item));
            if (!IsOp(","))
                break;
            Next();
        }
    }

    std::unique_ptr<CStmt> Dim(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::Dim, pos);
        DimItems(*stmt, false);
        return stmt;
    }

    std::unique_ptr<CStmt> ReDim(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::ReDim, pos);
        if (IsKey("preserve")) {
            Next();
            stmt->m_bPreserve = true;
        }
        DimItems(*stmt, true);
        return stmt;
    }

    std::unique_ptr<CStmt> Const(CPos pos)
    {
        if (!IsKey("const"))
            Next();
        Next();
        auto stmt = NewStmt(EStmt::Const, pos);
        while (true) {
            CDimItem item;
            item.m_pos = Peek().m_pos;
            const CToken& name = Identifier();
            item.m_name = name.m_text;
            item.m_key = name.m_key;
            ExpectOp("=", err::kExpectedEquals);
            item.m_value = Expression();
            stmt->m_items.push_back(std::move(item));
            if (!IsOp(","))
                break;
            Next();
        }
        return stmt;
    }

    std::unique_ptr<CStmt> If(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::If, pos);
        CBranch first;
        first.m_cond = Expression();
        ExpectKey("then", err::kExpectedThen);
        if (!AtEndOfStatement()) {
            // One line: "If c Then a: b Else d: e".
            CNest nest(*this);
            first.m_body = LineStatements();
            stmt->m_branches.push_back(std::move(first));
            if (IsKey("else")) {
                Next();
                CBranch other;
                other.m_bElse = true;
                other.m_body = LineStatements();
                stmt->m_branches.push_back(std::move(other));
            }
            if (IsKey("end") && IsKeyAt(1, "if")) {
                Next();
                Next();
            }
            return stmt;
        }
        first.m_body = BlockUntil({"elseif", "else", "end"});
        stmt->m_branches.push_back(std::move(first));
        while (IsKey("elseif")) {
            Next();
            CBranch branch;
            branch.m_cond = Expression();
            ExpectKey("then", err::kExpectedThen);
            branch.m_body = BlockUntil({"elseif", "else", "end"});
            stmt->m_branches.push_back(std::move(branch));
        }
        if (IsKey("else")) {
            Next();
            CBranch other;
            other.m_bElse = true;
            other.m_body = BlockUntil({"end"});
            stmt->m_branches.push_back(std::move(other));
        }
        ExpectKey("end", err::kExpectedEnd);
        ExpectKey("if", err::kExpectedIf);
        return stmt;
    }

    // Statements of a one-line If, up to its Else or the line's end.
    Block LineStatements()
    {
        Block block;
        while (true) {
            if (auto stmt = Statement())
                block.push_back(std::move(stmt));
            if (Peek().m_kind == ETok::Newline && Peek().m_text == ":") {
                Next();
                if (AtEndOfStatement() || IsKey("else"))
                    break;
                continue;
            }
            break;
        }
        if (!AtEndOfStatement() && !IsKey("else") && !IsKey("end"))
            Fail(err::kExpectedEndOfStatement);
        return block;
    }

    std::unique_ptr<CStmt> For(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::For, pos);
        const CToken& name = Identifier();
        stmt->m_name = name.m_text;
        stmt->m_key = name.m_key;
        ExpectOp("=", err::kExpectedEquals);
        stmt->m_value = Expression();
        ExpectKey("to", err::kExpectedTo);
        stmt->m_to = Expression();
        if (IsKey("step")) {
            Next();
            stmt->m_step = Expression();
        }
        EndOfStatement();
        stmt->m_body = BlockUntil({"next"});
        ExpectKey("next", err::kExpectedNext);
        return stmt;
    }

    std::unique_ptr<CStmt> ForEach(CPos pos)
    {
        Next();
        Next();
        auto stmt = NewStmt(EStmt::ForEach, pos);
        const CToken& name = Identifier();
        stmt->m_name = name.m_text;
        stmt->m_key = name.m_key;
        ExpectKey("in", err::kSyntax);
        stmt->m_value = Expression();
        EndOfStatement();
        stmt->m_body = BlockUntil({"next"});
        ExpectKey("next", err::kExpectedNext);
        return stmt;
    }

    std::unique_ptr<CStmt> Do(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::Do, pos);
        if (IsKey("while") || IsKey("until")) {
            stmt->m_bUntil = Next().m_key == "until";
            stmt->m_value = Expression();
        } else if (!AtEndOfStatement()) {
            Fail(err::kExpectedWhileUntil);
        }
        EndOfStatement();
        stmt->m_body = BlockUntil({"loop"});
        ExpectKey("loop", err::kExpectedLoop);
        if (IsKey("while") || IsKey("until")) {
            if (stmt->m_value)
                Fail(err::kExpectedEndOfStatement);
            stmt->m_bUntil = Next().m_key == "until";
            stmt->m_bTestFirst = false;
            stmt->m_value = Expression();
        }
        return stmt;
    }

    std::unique_ptr<CStmt> While(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::Do, pos);
        stmt->m_value = Expression();
        EndOfStatement();
        stmt->m_body = BlockUntil({"wend"});
        ExpectKey("wend", err::kExpectedWend);
        return stmt;
    }

    std::unique_ptr<CStmt> Select(CPos pos)
    {
        Next();
        ExpectKey("case", err::kExpectedCase);
        auto stmt = NewStmt(EStmt::Select, pos);
        stmt->m_value = Expression();
        EndOfStatement();
        SkipNewlines();
        while (IsKey("case")) {
            Next();
            CBranch branch;
            if (IsKey("else")) {
                Next();
                branch.m_bElse = true;
            } else {
                CaseValues(branch);
            }
            if (Peek().m_kind == ETok::Newline)
                Next();
            branch.m_body = BlockUntil({"case", "end"});
            const bool wasElse = branch.m_bElse;
            stmt->m_branches.push_back(std::move(branch));
            if (wasElse)
                break;
        }
        ExpectKey("end", err::kExpectedEnd);
        ExpectKey("select", err::kExpectedSelect);
        return stmt;
    }

    // "Case 1, x": VBScript compares for equality only ("Is" is VB's).
    void CaseValues(CBranch& branch)
    {
        while (true) {
            branch.m_values.push_back(Expression());
            if (!IsOp(","))
                break;
            Next();
        }
    }

    std::unique_ptr<CStmt> With(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::With, pos);
        stmt->m_value = Expression();
        EndOfStatement();
        ++m_nWith;
        stmt->m_body = BlockUntil({"end"});
        --m_nWith;
        ExpectKey("end", err::kExpectedEnd);
        ExpectKey("with", err::kExpectedWith);
        return stmt;
    }

    std::unique_ptr<CStmt> Exit(CPos pos)
    {
        Next();
        auto stmt = NewStmt(EStmt::Exit, pos);
        if (IsKey("for"))
            stmt->m_exit = EExit::For;
        else if (IsKey("do"))
            stmt->m_exit = EExit::Do;
        else if (IsKey("sub") && m_proc && m_proc->m_kind == EProcKind::Sub)
            stmt->m_exit = EExit::Sub;
        else if (IsKey("function") && m_proc && m_proc->m_kind == EProcKind::Function)
            stmt->m_exit = EExit::Function;
        else if (IsKey("property") && m_proc && m_proc->m_kind != EProcKind::Sub &&
                 m_proc->m_kind != EProcKind::Function)
            stmt->m_exit = EExit::Property;
        else
            Fail(err::kInvalidExit);
        Next();
        return stmt;
    }

    std::unique_ptr<CStmt> OnError(CPos pos)
    {
        Next();
        ExpectKey("error", err::kSyntax);
        if (IsKey("resume")) {
            Next();
            ExpectKey("next", err::kExpectedNext);
            return NewStmt(EStmt::OnErrorResumeNext, pos);
        }
        ExpectKey("goto", err::kSyntax);
        if (Peek().m_kind != ETok::Literal || Peek().m_text != "0")
            Fail(err::kSyntax);
        Next();
        return NewStmt(EStmt::OnErrorGoto0, pos);
    }

    // ---- expressions --------------------------------------------------------------------------

    static ExprPtr MakeNode(EExpr kind, CPos pos)
    {
        auto node = std::make_unique<CExpr>();
        node->m_kind = kind;
        node->m_pos = pos;
        return node;
    }

    static void Measure(CExpr& node)
    {
        int depth = 0;
        if (node.m_a)
            depth = std::max(depth, node.m_a->m_nDepth);
        if (node.m_b)
            depth = std::max(depth, node.m_b->m_nDepth);
        for (const auto& arg : node.m_args)
            depth = std::max(depth, arg->m_nDepth);
        node.m_nDepth = depth + 1;
        if (node.m_nDepth > kMaxExprDepth)
            Fail(err::kTooComplex, node.m_pos);
    }

    ExprPtr Binary(std::string op, CPos pos, ExprPtr a, ExprPtr b)
    {
        auto node = MakeNode(EExpr::Binary, pos);
        node->m_op = std::move(op);
        node->m_a = std::move(a);
        node->m_b = std::move(b);
        Measure(*node);
        return node;
    }

    ExprPtr Unary(std::string op, CPos pos, ExprPtr a)
    {
        auto node = MakeNode(EExpr::Unary, pos);
        node->m_op = std::move(op);
        node->m_a = std::move(a);
        Measure(*node);
        return node;
    }

    ExprPtr Expression()
    {
        CNest nest(*this);
        return Level(0);
    }

    // The binary levels, loosest first; "not" and the signs are unary.
    ExprPtr Level(int level)
    {
        switch (level) {
        case 0: return WordLevel(level, "imp");
        case 1: return WordLevel(level, "eqv");
        case 2: return WordLevel(level, "xor");
        case 3: return WordLevel(level, "or");
        case 4: return WordLevel(level, "and");
        case 5: return Not();
        case 6: return Comparison();
        case 7: return OpLevel(level, {"&"});
        case 8: return OpLevel(level, {"+", "-"});
        case 9: return WordLevel(level, "mod");
        case 10: return OpLevel(level, {"\\"});
        case 11: return OpLevel(level, {"*", "/"});
        default: return Sign();
        }
    }

    ExprPtr WordLevel(int level, const char* word)
    {
        ExprPtr left = Level(level + 1);
        while (IsKey(word)) {
            const CPos pos = Next().m_pos;
            left = Binary(word, pos, std::move(left), Level(level + 1));
        }
        return left;
    }

    ExprPtr OpLevel(int level, std::initializer_list<const char*> ops)
    {
        ExprPtr left = Level(level + 1);
        while (true) {
            const char* found = nullptr;
            for (const char* op : ops) {
                if (IsOp(op))
                    found = op;
            }
            if (found == nullptr)
                return left;
            const CPos pos = Next().m_pos;
            left = Binary(found, pos, std::move(left), Level(level + 1));
        }
    }

    ExprPtr Not()
    {
        if (IsKey("not")) {
            CNest nest(*this);
            const CPos pos = Next().m_pos;
            return Unary("not", pos, Not());
        }
        return Level(6);
    }

    ExprPtr Comparison()
    {
        ExprPtr left = Level(7);
        while (true) {
            std::string op;
            if (IsKey("is"))
                op = "is";
            else if (IsOp("=") || IsOp("<>") || IsOp("<") || IsOp(">") || IsOp("<=") || IsOp(">="))
                op = Peek().m_text;
            else
                return left;
            const CPos pos = Next().m_pos;
            left = Binary(op, pos, std::move(left), Level(7));
        }
    }

    ExprPtr Sign()
    {
        if (IsOp("-") || IsOp("+")) {
            CNest nest(*this);
            const CToken& t = Next();
            const CPos pos = t.m_pos;
            std::string op = t.m_text;
            return Unary(op, pos, Sign());
        }
        return Power();
    }

    ExprPtr Power()
    {
        ExprPtr left = Postfix();
        while (IsOp("^")) {
            const CPos pos = Next().m_pos;
            ExprPtr right;
            if (IsOp("-") || IsOp("+")) {
                CNest nest(*this);
                const CToken& t = Next();
                std::string op = t.m_text;
                right = Unary(op, t.m_pos, Postfix());
            } else {
                right = Postfix();
            }
            left = Binary("^", pos, std::move(left), std::move(right));
        }
        return left;
    }

    ExprPtr Postfix()
    {
        ExprPtr node = Primary();
        while (true) {
            // In a With block " .m" begins the next argument: ".Print .Count".
            if (IsOp(".") && !(m_nWith > 0 && Peek().m_bSpaced)) {
                const CPos pos = Next().m_pos;
                if (Peek().m_kind != ETok::Name)
                    Fail(err::kExpectedIdentifier);
                const CToken& name = Next();
                auto member = MakeNode(EExpr::Member, pos);
                member->m_name = name.m_text;
                member->m_key = name.m_key;
                member->m_a = std::move(node);
                Measure(*member);
                node = std::move(member);
            } else if (IsOp("(") && node->m_kind != EExpr::Literal) {
                CNest nest(*this);
                const size_t paren = m_i;
                const CPos pos = Next().m_pos;
                auto call = MakeNode(EExpr::Call, pos);
                call->m_pos = node->m_pos;
                call->m_a = std::move(node);
                if (!IsOp(")"))
                    call->m_args = ArgumentList();
                ExpectOp(")", err::kExpectedCloseParen);
                Measure(*call);
                node = std::move(call);
                m_nLastCallParen = paren;
            } else {
                return node;
            }
        }
    }

    ExprPtr Primary()
    {
        const CToken& t = Peek();
        if (t.m_kind == ETok::Literal) {
            auto node = MakeNode(EExpr::Literal, t.m_pos);
            node->m_value = t.m_value;
            Next();
            return node;
        }
        if (t.m_kind == ETok::Op && t.m_text == "(") {
            CNest nest(*this);
            Next();
            ExprPtr inner = Level(0);
            ExpectOp(")", err::kExpectedCloseParen);
            inner->m_bParen = true;
            return inner;
        }
        if (t.m_kind == ETok::Name) {
            auto literal = [&](COleVariant value) {
                auto node = MakeNode(EExpr::Literal, t.m_pos);
                node->m_value = std::move(value);
                Next();
                return node;
            };
            if (t.m_key == "true")
                return literal(COleVariant(static_cast<short>(VARIANT_TRUE), VT_BOOL));
            if (t.m_key == "false")
                return literal(COleVariant(static_cast<short>(VARIANT_FALSE), VT_BOOL));
            if (t.m_key == "empty")
                return literal(COleVariant());
            if (t.m_key == "null")
                return literal(COleVariant::Null());
            if (t.m_key == "nothing")
                return literal(COleVariant::Dispatch(nullptr));
            if (t.m_key == "new") {
                Next();
                const CToken& name = Identifier();
                auto node = MakeNode(EExpr::New, name.m_pos);
                node->m_name = name.m_text;
                node->m_key = name.m_key;
                return node;
            }
            if (IsReserved(t.m_key))
                Fail(err::kExpectedExpression);
            auto node = MakeNode(EExpr::Name, t.m_pos);
            node->m_name = t.m_text;
            node->m_key = t.m_key;
            Next();
            return node;
        }
        if (t.m_kind == ETok::Op && t.m_text == ".") {
            // ".m" inside a With block: the member of its object.
            if (m_nWith == 0)
                Fail(err::kSyntax);
            const CPos pos = Next().m_pos;
            if (Peek().m_kind != ETok::Name)
                Fail(err::kExpectedIdentifier);
            const CToken& name = Next();
            auto member = MakeNode(EExpr::Member, pos);
            member->m_name = name.m_text;
            member->m_key = name.m_key;
            member->m_a = MakeNode(EExpr::With, pos);
            Measure(*member);
            return member;
        }
        Fail(err::kExpectedExpression);
    }

    std::vector<CToken> m_t;
    size_t m_i = 0;
    CUnit& m_unit;
    CProc* m_proc = nullptr;
    int m_nNesting = 0;
    int m_nWith = 0; // With blocks around the statement being parsed
    // The token that opened the arguments of the last call parsed.
    size_t m_nLastCallParen = 0;
};

std::vector<std::string> SplitLines(std::string_view source)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= source.size(); ++i) {
        if (i == source.size() || source[i] == '\n' || source[i] == '\r') {
            lines.emplace_back(source.substr(start, i - start));
            if (i < source.size() && source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    return lines;
}

} // namespace

std::unique_ptr<CUnit> ParseUnit(std::string_view source, int startingLine)
{
    auto unit = std::make_unique<CUnit>();
    unit->m_nStartingLine = startingLine;
    unit->m_lines = SplitLines(source);
    try {
        CParser(Tokenize(source, startingLine), *unit).Run();
    } catch (CVbsFault& fault) {
        fault.m_strSourceText = SourceLine(*unit, fault.m_pos.m_nLine).c_str();
        throw;
    }
    return unit;
}

ExprPtr ParseExpression(std::string_view source)
{
    CUnit unit;
    return CParser(Tokenize(source, 1), unit).WholeExpression();
}

std::string SourceLine(const CUnit& unit, int line)
{
    const long long index = static_cast<long long>(line) - unit.m_nStartingLine;
    if (index < 0 || index >= static_cast<long long>(unit.m_lines.size()))
        return {};
    return unit.m_lines[static_cast<size_t>(index)];
}

std::string SourceLine(std::string_view source, int startingLine, int line)
{
    CUnit unit;
    unit.m_nStartingLine = startingLine;
    unit.m_lines = SplitLines(source);
    return SourceLine(unit, line);
}

} // namespace kestrun::vbs
