#pragma once
// The About box: icon, name and version, rights notice, the maker's web address as a link
// and the installer credits. Nothing of its own beyond attaching the link.
#include "hyperlink/CLinkLabel.h"
#include "platform/AfxWin.h"

class CInfoDlg : public CDialog {
public:
    CInfoDlg();

    CLinkLabel m_webLink;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
