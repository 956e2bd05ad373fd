#include "ui/dialogs/disk_rows.h"

#include "core/disk_list.h"
#include "dvr/device_list_node.h"
#include "platform/ui/list_ctrl.h"
#include "ui/dialogs/dialog_texts.h"

namespace {

const ListColumn kDiskColumns[] = {
    {"DLGSETUPSYSTEM_LIST_DISKS_0", "Disk", LVCFMT_LEFT, 60},
    {"DLGSETUPSYSTEM_LIST_DISKS_1", "Total space", LVCFMT_RIGHT, 120},
    {"DLGSETUPSYSTEM_LIST_DISKS_2", "Used percent", LVCFMT_RIGHT, 90},
    {"DLGSETUPSYSTEM_LIST_DISKS_3", "Available space", LVCFMT_RIGHT, 120},
};

}  // namespace

void SetDiskListColumns(CListCtrl& list) {
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetListColumns(list, kDiskColumns);
}

void AddDiskRow(CListCtrl& list, int row, const DVRDiskInfo& disk) {
    list.InsertItem(row, QString(QChar(disk.letter)));
    list.SetItemText(row, 1, NodeText(disk.totalText));
    list.SetItemText(row, 2, QStringLiteral("%1%").arg(disk.usedPercent));
    list.SetItemText(row, 3, NodeText(disk.availableText));
    list.SetItemData(row, disk.letter);
}

void CheckDiskRows(CListCtrl& list, const QString& letters) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const QChar letter(static_cast<char16_t>(list.GetItemData(row)));
        list.SetCheck(row, letters.contains(letter) ? TRUE : FALSE);
    }
}

QString CheckedDiskLetters(const CListCtrl& list) {
    QString letters;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.GetCheck(row))
            letters += list.GetItemText(row, 0).left(1);
    }
    return letters;
}
