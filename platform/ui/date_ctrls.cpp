#include "platform/ui/date_ctrls.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QTextCharFormat>
#include <algorithm>

namespace {
QDateTimeEdit* Picker(const CWnd* wnd) {
    return qobject_cast<QDateTimeEdit*>(wnd->GetWidget());
}
QCalendarWidget* Calendar(const CWnd* wnd) {
    return qobject_cast<QCalendarWidget*>(wnd->GetWidget());
}
}  // namespace

SYSTEMTIME ToSystemTime(const QDateTime& time) {
    SYSTEMTIME st;
    QDate d = time.date();
    QTime t = time.time();
    st.wYear = static_cast<WORD>(d.year());
    st.wMonth = static_cast<WORD>(d.month());
    st.wDayOfWeek = static_cast<WORD>(d.dayOfWeek() % 7);
    st.wDay = static_cast<WORD>(d.day());
    st.wHour = static_cast<WORD>(t.hour());
    st.wMinute = static_cast<WORD>(t.minute());
    st.wSecond = static_cast<WORD>(t.second());
    st.wMilliseconds = static_cast<WORD>(t.msec());
    return st;
}

QDateTime FromSystemTime(const SYSTEMTIME& st) {
    return QDateTime(QDate(st.wYear, st.wMonth, st.wDay),
                     QTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
}

BOOL CDateTimeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* picker = new QDateTimeEdit(QDateTime::currentDateTime());
    bool timeOnly = (style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT;
    picker->setDisplayFormat(timeOnly ? "HH:mm:ss" : "yyyy-MM-dd");
    picker->setCalendarPopup(!timeOnly && !(style & DTS_UPDOWN));
    // Only the user's edits are told: the program's SetTime blocks the signal.
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, picker, [picker] {
        auto* self = CurrentWindow<CDateTimeCtrl>(picker);
        if (picker->signalsBlocked() || self == nullptr)
            return;
        NMHDR hdr;
        hdr.code = DTN_DATETIMECHANGE;
        self->NotifyParent(&hdr);
    });
    if (parent != nullptr)
        picker->setParent(parent->GetWidget());
    picker->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(picker, parent, nID, style | WS_CHILD);
}

BOOL CDateTimeCtrl::GetTime(SYSTEMTIME* time) const {
    if (Picker(this) == nullptr)
        return FALSE;
    *time = ToSystemTime(Picker(this)->dateTime());
    return TRUE;
}

BOOL CDateTimeCtrl::SetTime(const SYSTEMTIME* time) {
    return SetDateTime(FromSystemTime(*time));
}

QDateTime CDateTimeCtrl::GetDateTime() const {
    return Picker(this) == nullptr ? QDateTime() : Picker(this)->dateTime();
}

BOOL CDateTimeCtrl::SetDateTime(const QDateTime& time) {
    QDateTimeEdit* picker = Picker(this);
    if (picker == nullptr || !time.isValid())
        return FALSE;
    QSignalBlocker block(picker);
    picker->setDateTime(time);
    return TRUE;
}

BOOL CMonthCalCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    auto* calendar = new QCalendarWidget;
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // Every change of the selection the user makes is told: a click on a day, the keys that move it
    // (arrows, PageUp/PageDown, across a month as well) and a typed date. The program's SetDate and the
    // paging below block the signal.
    QObject::connect(calendar, &QCalendarWidget::selectionChanged, calendar, [calendar] {
        NMHDR hdr;
        hdr.code = MCN_SELCHANGE;
        if (auto* self = CurrentWindow<CMonthCalCtrl>(calendar))
            self->NotifyParent(&hdr);
    });
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, calendar,
                     [calendar](int year, int month) {
                         if (auto* self = CurrentWindow<CMonthCalCtrl>(calendar))
                             self->PageChanged(year, month);
                     });
    if (parent != nullptr)
        calendar->setParent(parent->GetWidget());
    calendar->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(calendar, parent, nID, style | WS_CHILD);
}

BOOL CMonthCalCtrl::GetCurSel(SYSTEMTIME* time) const {
    if (Calendar(this) == nullptr)
        return FALSE;
    *time = ToSystemTime(QDateTime(Calendar(this)->selectedDate(), QTime(0, 0)));
    return TRUE;
}

BOOL CMonthCalCtrl::SetCurSel(const SYSTEMTIME* time) {
    return SetDate(FromSystemTime(*time).date());
}

QDate CMonthCalCtrl::GetDate() const {
    return Calendar(this) == nullptr ? QDate() : Calendar(this)->selectedDate();
}

BOOL CMonthCalCtrl::SetDate(const QDate& date) {
    QCalendarWidget* calendar = Calendar(this);
    if (calendar == nullptr || !date.isValid())
        return FALSE;
    const QDate shown = ShownMonth();
    {
        QSignalBlocker block(calendar);
        calendar->setSelectedDate(date);
    }
    if (ShownMonth() != shown) {
        for (MONTHDAYSTATE& state : m_states)
            state = 0;
    }
    ApplyDayState();
    return TRUE;
}

QDate CMonthCalCtrl::ShownMonth() const {
    QCalendarWidget* calendar = Calendar(this);
    return calendar == nullptr ? QDate() : QDate(calendar->yearShown(), calendar->monthShown(), 1);
}

void CMonthCalCtrl::PageChanged(int year, int month) {
    QCalendarWidget* calendar = Calendar(this);
    // The marked days belonged to the months shown before: none are marked until the owner marks the
    // new ones.
    for (MONTHDAYSTATE& state : m_states)
        state = 0;
    const QDate selected = calendar->selectedDate();
    if (selected.year() == year && selected.month() == month) {
        ApplyDayState();  // a day of the new month was chosen: its selection change notifies the parent
        return;
    }
    // Paging with the arrows moves the selection to the same day of the shown month, and the parent hears of
    // it.
    const QDate first(year, month, 1);
    const QDate moved(year, month, std::min(selected.isValid() ? selected.day() : 1, first.daysInMonth()));
    {
        QSignalBlocker block(calendar);
        calendar->setSelectedDate(moved);
    }
    ApplyDayState();
    NMHDR hdr;
    hdr.code = MCN_SELCHANGE;
    NotifyParent(&hdr);
}

BOOL CMonthCalCtrl::SetDayState(int count, const MONTHDAYSTATE* states) {
    if (Calendar(this) == nullptr || count < 0)
        return FALSE;
    for (int i = 0; i < 3; ++i)
        m_states[i] = i < count ? states[i] : 0;
    ApplyDayState();
    return TRUE;
}

void CMonthCalCtrl::ApplyDayState() {
    QCalendarWidget* calendar = Calendar(this);
    if (calendar == nullptr)
        return;
    calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QDate shown = ShownMonth();
    for (int i = 0; i < 3; ++i) {
        QDate month = shown.addMonths(i - 1);
        for (int day = 1; day <= month.daysInMonth() && day <= 31; ++day) {
            if (m_states[i] & (1u << (day - 1))) {
                QTextCharFormat bold;
                bold.setFontWeight(QFont::Bold);
                calendar->setDateTextFormat(QDate(month.year(), month.month(), day), bold);
            }
        }
    }
}
