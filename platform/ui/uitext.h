#pragma once
// Inside the window layer only: text between CString (UTF-8) and Qt.

#include "platform/core/cstring.h"

#include <QString>

namespace kestrun {

inline QString ToQString(const CString& text)
{
    return QString::fromUtf8(text.GetString(), text.GetLength());
}

inline CString FromQString(const QString& text)
{
    return CString(text.toUtf8().toStdString());
}

// For widgets that show text without mnemonics: "&&" becomes "&", a single
// '&' goes.
inline QString ToQStringWithoutMnemonic(const CString& text)
{
    const QString in = ToQString(text);
    QString out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += in[i];
    }
    return out;
}

} // namespace kestrun
