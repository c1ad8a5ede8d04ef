#pragma once
// How the headless container reaches the script editor: the editor library
// (scripthost/ui) installs a provider when it loads; without one no editor
// opens.

#include "platform/core/cstring.h"

#include <memory>

class IScriptEditor
{
public:
    // Destroying the editor closes its window.
    virtual ~IScriptEditor() = default;
    virtual CString GetText() const = 0;
    virtual void SetText(const CString& text) = 0;
    virtual void SetTitle(const CString& title) = 0;
    // line counts from 0; FALSE for a line the text does not have.
    virtual BOOL MarkLine(int line, int column, int length) = 0;
    // Shows the window at its normal size.
    virtual void Restore() = 0;
    // Puts the window above all others, neither moved nor sized.
    virtual void BringToTop() = 0;
};

class IScriptEditorProvider
{
public:
    virtual ~IScriptEditorProvider() = default;
    // The editor's window tells parent of its closing with cookie; null
    // when it cannot be made.
    virtual std::unique_ptr<IScriptEditor> Create(HWND parent, long cookie) = 0;
    virtual CString GetWindowText(HWND window) const = 0;
};

namespace kestrun {

// Returns the previous provider; null removes it.
std::shared_ptr<IScriptEditorProvider> SetScriptEditorProvider(std::shared_ptr<IScriptEditorProvider> provider);
std::shared_ptr<IScriptEditorProvider> GetScriptEditorProvider();

} // namespace kestrun
