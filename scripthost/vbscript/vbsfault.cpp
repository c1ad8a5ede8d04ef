#include "scripthost/vbscript/vbsfault.h"

namespace kestrun::vbs {

CString ErrorText(long number)
{
    switch (number) {
    case err::kInvalidCall: return "Invalid procedure call or argument";
    case err::kOverflow: return "Overflow";
    case err::kOutOfMemory: return "Out of memory";
    case err::kSubscript: return "Subscript out of range";
    case err::kDivisionByZero: return "Division by zero";
    case err::kTypeMismatch: return "Type mismatch";
    case err::kOutOfStack: return "Out of stack space";
    case err::kObjectNotSet: return "Object variable not set";
    case err::kInvalidNull: return "Invalid use of Null";
    case err::kObjectRequired: return "Object required";
    case err::kCannotCreate: return "ActiveX component can't create object";
    case err::kAutomation: return "Automation error";
    case err::kNoMember: return "Object doesn't support this property or method";
    case err::kArgCount: return "Wrong number of arguments or invalid property assignment";
    case err::kNotCollection: return "Object not a collection";
    case err::kUndefined: return "Variable is undefined";
    case err::kClassNotDefined: return "Class not defined";
    case err::kIllegalAssignment: return "Illegal assignment";
    case err::kSyntax: return "Syntax error";
    case err::kExpectedParen: return "Expected '('";
    case err::kExpectedCloseParen: return "Expected ')'";
    case err::kExpectedIdentifier: return "Expected identifier";
    case err::kExpectedEquals: return "Expected '='";
    case err::kExpectedIf: return "Expected 'If'";
    case err::kExpectedTo: return "Expected 'To'";
    case err::kExpectedEnd: return "Expected 'End'";
    case err::kExpectedFunction: return "Expected 'Function'";
    case err::kExpectedSub: return "Expected 'Sub'";
    case err::kExpectedThen: return "Expected 'Then'";
    case err::kExpectedWend: return "Expected 'Wend'";
    case err::kExpectedLoop: return "Expected 'Loop'";
    case err::kExpectedNext: return "Expected 'Next'";
    case err::kExpectedCase: return "Expected 'Case'";
    case err::kExpectedSelect: return "Expected 'Select'";
    case err::kExpectedExpression: return "Expected expression";
    case err::kExpectedStatement: return "Expected statement";
    case err::kExpectedEndOfStatement: return "Expected end of statement";
    case err::kExpectedInteger: return "Expected integer constant";
    case err::kExpectedWhileUntil: return "Expected 'While', 'Until' or end of statement";
    case err::kExpectedWith: return "Expected 'With'";
    case err::kInvalidCharacter: return "Invalid character";
    case err::kUnterminatedString: return "Unterminated string constant";
    case err::kInvalidNumber: return "Invalid number";
    case err::kInvalidExit: return "Invalid 'exit' statement";
    case err::kNameRedefined: return "Name redefined";
    case err::kParenthesesInSubCall: return "Cannot use parentheses when calling a Sub";
    case err::kExpectedClass: return "Expected 'Class'";
    case err::kExpectedPropertyKind: return "Expected 'Let' or 'Set' or 'Get' in property declaration";
    case err::kTooComplex: return "Expression too complex";
    default: return "Unknown runtime error";
    }
}

void Raise(long number, const CString& name)
{
    CString text = ErrorText(number);
    if (!name.IsEmpty())
        text += ": '" + name + "'";
    throw CVbsFault(number, text);
}

} // namespace kestrun::vbs
