// The progress window of the removal phase.
#include "app/progress_dlg.h"

void CProgressDlg::DoDataExchange() {
    BindControl(IDC_MESSAGE, m_staticMessage);
}

int CProgressDlg::OnCreate(CREATESTRUCTA* createStruct) {
    return CDialogBase::OnCreate(createStruct) == -1 ? -1 : 0;
}
