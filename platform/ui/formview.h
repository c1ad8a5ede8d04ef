#pragma once
// CFormView: a view whose content is a dialog layout (the template of its
// id) with data exchange. The controls are created with the window; the
// first update shows the members in them.

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/scrollview.h"

#include <memory>
#include <vector>

class CFormView : public CScrollView
{
    DECLARE_DYNAMIC(CFormView)

public:
    explicit CFormView(UINT nIDTemplate);
    ~CFormView() override;

    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;

    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    // Adds controls laid out in code, after the template's.
    virtual void OnCreateControls();
    template <class T>
    T* AddControl(std::unique_ptr<T> control)
    {
        T* raw = control.get();
        m_controls.push_back(std::move(control));
        return raw;
    }

    UINT m_nIDTemplate;

private:
    std::vector<std::unique_ptr<CWnd>> m_controls;
};
