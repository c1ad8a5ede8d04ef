#pragma once
// The parsed form of a VBScript unit: expressions, statements and
// procedures, each with the place of its first token.

#include "scripthost/vbscript/vbsfault.h"

#include "platform/core/variant.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrun::vbs {

enum class EExpr
{
    Literal,
    Name,    // a variable, constant, procedure, built-in or item
    Member,  // m_a.m_name
    Call,    // m_a(m_args): call or index
    Unary,   // m_op m_a
    Binary,  // m_a m_op m_b
    With,    // the object of the innermost With block (".m" inside it)
    New,     // New m_name: an object of a script class
};

struct CExpr
{
    EExpr m_kind = EExpr::Literal;
    CPos m_pos;
    COleVariant m_value;
    std::string m_name; // as written
    std::string m_key;  // lower case
    std::string m_op;   // lower case for the word operators
    std::unique_ptr<CExpr> m_a;
    std::unique_ptr<CExpr> m_b;
    std::vector<std::unique_ptr<CExpr>> m_args;
    // Written in parentheses: passed by value even to a ByRef parameter.
    bool m_bParen = false;
    // Height of the tree below, bounded so that evaluating and freeing it
    // cannot exhaust the stack.
    int m_nDepth = 1;
};
using ExprPtr = std::unique_ptr<CExpr>;

struct CStmt;
using Block = std::vector<std::unique_ptr<CStmt>>;

enum class EStmt
{
    Call,
    Assign,
    Set,
    Dim,
    ReDim,
    Const,
    If,
    For,
    ForEach,
    Do,
    Select,
    Exit,
    OnErrorResumeNext,
    OnErrorGoto0,
    Erase,
    With,
};

enum class EExit
{
    For,
    Do,
    Sub,
    Function,
    Property,
};

struct CDimItem
{
    std::string m_name;
    std::string m_key;
    bool m_bArray = false;
    std::vector<ExprPtr> m_bounds; // upper bounds; empty for a()
    ExprPtr m_value;                // Const
    CPos m_pos;
};

struct CBranch
{
    ExprPtr m_cond;               // If: the condition; Select: unused
    std::vector<ExprPtr> m_values; // Select: the values of a Case
    bool m_bElse = false;
    Block m_body;
};

struct CStmt
{
    EStmt m_kind = EStmt::Call;
    CPos m_pos;
    ExprPtr m_target; // Call, Assign, Set
    ExprPtr m_value;  // Assign, Set, For (from), ForEach (group), Do (condition), Select, With
    ExprPtr m_to;
    ExprPtr m_step;
    std::string m_key; // For, ForEach: the counter
    std::string m_name;
    std::vector<CDimItem> m_items; // Dim, ReDim, Const, Erase
    bool m_bPreserve = false;
    std::vector<CBranch> m_branches; // If, Select
    Block m_body;                    // For, ForEach, Do, With
    bool m_bTestFirst = true;        // Do: the condition before the body
    bool m_bUntil = false;           // Do: loop until the condition holds
    EExit m_exit = EExit::For;
};

struct CParam
{
    std::string m_key;
    std::string m_name;
    bool m_bByVal = false;
};

enum class EProcKind
{
    Sub,
    Function,
    PropertyGet,
    PropertyLet,
    PropertySet,
};

struct CProc
{
    std::string m_name;
    std::string m_key;
    // A Function or Property Get: the name is the result's variable.
    bool m_bFunction = false;
    EProcKind m_kind = EProcKind::Sub;
    bool m_bPublic = true; // a member of a class others may call
    std::vector<CParam> m_params;
    Block m_body;
    CPos m_pos;
    bool m_bExplicit = false;
    const struct CUnit* m_pUnit = nullptr; // the unit that holds it
};

// Class ... End Class: its variables and its procedures.
struct CClassDef
{
    std::string m_name;
    std::string m_key;
    CPos m_pos;
    std::vector<CDimItem> m_fields;
    std::vector<bool> m_publicFields; // per field
    std::vector<std::unique_ptr<CProc>> m_methods;
};

// One piece of code as parsed: its procedures, classes and global statements.
struct CUnit
{
    std::vector<std::unique_ptr<CProc>> m_procs;
    std::vector<std::unique_ptr<CClassDef>> m_classes;
    Block m_body;
    bool m_bExplicit = false;
    int m_nStartingLine = 1;
    std::vector<std::string> m_lines; // the source lines, for error texts
};

} // namespace kestrun::vbs
