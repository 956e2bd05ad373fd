#pragma once

// Controls that hold a number in a range: the trackbar (CSliderCtrl: the user's moves reach the parent as
// WM_HSCROLL or WM_VSCROLL), the progress bar (CProgressCtrl) and the up-down control (CSpinButtonCtrl:
// with UDS_SETBUDDYINT it writes its position into its buddy window as a number).

#include "platform/ui/wnd.h"

constexpr UINT TB_LINEUP = 0;
constexpr UINT TB_LINEDOWN = 1;
constexpr UINT TB_PAGEUP = 2;
constexpr UINT TB_PAGEDOWN = 3;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_ENDTRACK = 8;

class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    void SetRange(int minimum, int maximum, BOOL bRedraw = FALSE);
    void GetRange(int& minimum, int& maximum) const;
    int GetPos() const;
    void SetPos(int pos);
    void SetPageSize(int size);
    void SetTicFreq(int freq);
};

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    void SetRange(short lower, short upper);
    void SetRange32(int lower, int upper);
    int GetPos() const;
    int SetPos(int pos);
};

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};

class CSpinButtonCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    void SetRange32(int lower, int upper);
    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void GetRange32(int& lower, int& upper) const;
    int GetPos32() const;
    int SetPos32(int pos);
    int GetPos() const { return GetPos32(); }
    int SetPos(int pos) { return SetPos32(pos); }
    CWnd* SetBuddy(CWnd* buddy);
    CWnd* GetBuddy() const { return FromHandle(m_buddy); }

protected:
    void TakeOverState(const CWnd& from) override;

private:
    void Step(int delta);
    HWND m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
};
