#pragma once
// A VBScript error: its number and text as VBScript gives them, and where
// it happened (line from the unit's starting line, column from 0).

#include "platform/core/cstring.h"

#include <exception>

namespace kestrun::vbs {

struct CPos
{
    int m_nLine = 0;
    int m_nColumn = 0;
};

class CVbsFault : public std::exception
{
public:
    CVbsFault(long number, const CString& description, CPos pos = {}, bool placed = false)
        : m_nNumber(number), m_strDescription(description), m_pos(pos), m_bPlaced(placed)
    {
    }
    const char* what() const noexcept override { return m_strDescription.GetString(); }

    long m_nNumber;
    CString m_strDescription;
    CPos m_pos;
    // The position is known; a run-time error gets its statement's.
    bool m_bPlaced;
    CString m_strSourceText;
};

// VBScript's own text for an error number; "Unknown runtime error" else.
CString ErrorText(long number);
// A run-time error with VBScript's text, optionally naming what failed:
// "Type mismatch: 'Left'".
[[noreturn]] void Raise(long number, const CString& name = {});

namespace err {
inline constexpr long kInvalidCall = 5;
inline constexpr long kOverflow = 6;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kSubscript = 9;
inline constexpr long kDivisionByZero = 11;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kOutOfStack = 28;
inline constexpr long kObjectNotSet = 91;
inline constexpr long kInvalidNull = 94;
inline constexpr long kObjectRequired = 424;
inline constexpr long kCannotCreate = 429;
inline constexpr long kAutomation = 440;
inline constexpr long kNoMember = 438;
inline constexpr long kArgCount = 450;
inline constexpr long kNotCollection = 451;
inline constexpr long kUndefined = 500;
inline constexpr long kClassNotDefined = 506;
inline constexpr long kIllegalAssignment = 501;
inline constexpr long kSyntax = 1002;
inline constexpr long kExpectedParen = 1005;
inline constexpr long kExpectedCloseParen = 1006;
inline constexpr long kExpectedIdentifier = 1010;
inline constexpr long kExpectedEquals = 1011;
inline constexpr long kExpectedIf = 1012;
inline constexpr long kExpectedTo = 1013;
inline constexpr long kExpectedEnd = 1014;
inline constexpr long kExpectedFunction = 1015;
inline constexpr long kExpectedSub = 1016;
inline constexpr long kExpectedThen = 1017;
inline constexpr long kExpectedWend = 1018;
inline constexpr long kExpectedLoop = 1019;
inline constexpr long kExpectedNext = 1020;
inline constexpr long kExpectedCase = 1021;
inline constexpr long kExpectedSelect = 1022;
inline constexpr long kExpectedExpression = 1023;
inline constexpr long kExpectedStatement = 1024;
inline constexpr long kExpectedEndOfStatement = 1025;
inline constexpr long kExpectedInteger = 1026;
inline constexpr long kExpectedWhileUntil = 1027;
inline constexpr long kExpectedWith = 1029;
inline constexpr long kInvalidCharacter = 1032;
inline constexpr long kUnterminatedString = 1033;
inline constexpr long kInvalidNumber = 1034;
inline constexpr long kInvalidExit = 1039;
inline constexpr long kNameRedefined = 1041;
inline constexpr long kParenthesesInSubCall = 1044;
inline constexpr long kExpectedClass = 1047;
inline constexpr long kExpectedPropertyKind = 1049;
inline constexpr long kTooComplex = 1050;
} // namespace err

} // namespace kestrun::vbs
