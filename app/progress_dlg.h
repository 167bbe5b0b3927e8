// The removal phase's progress window: a modeless dialog whose one static text shows the plan's
// progress text.
#pragma once
#include "framework/dialog.h"
#if __has_include("res/resource.h")
#include "res/resource.h"
#endif

#ifndef IDD_PROGRESS
#define IDD_PROGRESS 131
#endif
#ifndef IDC_MESSAGE
#define IDC_MESSAGE 1003
#endif

class CProgressDlg : public CDialogBase {
public:
    CProgressDlg() : CDialogBase(IDD_PROGRESS) {}
    ~CProgressDlg() override = default;

    CStaticControl m_staticMessage;   // the template's text control IDC_MESSAGE

protected:
    void DoDataExchange() override;
    int OnCreate(CREATESTRUCTA* createStruct) override;
};
