#pragma once
// The About box: icon, name and version, rights notice, the maker's web address as a link
// and the installer credits. Nothing of its own beyond attaching the link and drawing the icon
// for the screen's DPI.
#include "hyperlink/CLinkLabel.h"
#include "platform/AfxWin.h"
#include "platform/CWindowIcons.h"

class CInfoDlg : public CDialog {
public:
    CInfoDlg();

    CLinkLabel m_webLink;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void ShowAtDpi(UINT nDpi) override;

private:
    CWindowIcons m_icons;
};
