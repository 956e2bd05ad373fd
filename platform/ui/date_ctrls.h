#pragma once

// The date-time picker (CDateTimeCtrl: a date, or a time of day with DTS_TIMEFORMAT; the user's changes
// reach the parent as DTN_DATETIMECHANGE) and the month calendar (CMonthCalCtrl: a day chosen by the
// user, with the mouse or the keys, reaches the parent as MCN_SELCHANGE; SetDayState shows days in bold).
// Paging to another month (its arrows, PageUp/PageDown, an arrow key past the month's edge) selects a
// day of that month and notifies MCN_SELCHANGE once; a change of the shown month clears the bold days
// until they are set again.

#include <QDate>
#include <QDateTime>

#include "platform/ui/wnd.h"

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};
SYSTEMTIME ToSystemTime(const QDateTime& time);
QDateTime FromSystemTime(const SYSTEMTIME& time);

using MONTHDAYSTATE = DWORD;  // bit d-1: day d shown in bold

class CDateTimeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    BOOL GetTime(SYSTEMTIME* time) const;
    BOOL SetTime(const SYSTEMTIME* time);
    QDateTime GetDateTime() const;
    BOOL SetDateTime(const QDateTime& time);
};

class CMonthCalCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID);
    BOOL GetCurSel(SYSTEMTIME* time) const;
    BOOL SetCurSel(const SYSTEMTIME* time);
    QDate GetDate() const;
    BOOL SetDate(const QDate& date);
    // states[0..count-1]: the months from the one before the shown month; bit d-1 marks day d bold.
    BOOL SetDayState(int count, const MONTHDAYSTATE* states);
    // The shown month and its neighbours, first days of each.
    QDate ShownMonth() const;

private:
    MONTHDAYSTATE m_states[3] = {0, 0, 0};
    void ApplyDayState();
    void PageChanged(int year, int month);
};
