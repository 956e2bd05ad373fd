#pragma once

// The record-disk list of the client settings page and of the setup dialog's System page: one row per
// disk (letter, total space, used percent, available space; item data the letter), checked when the disk
// records.

#include <QString>

class CListCtrl;
struct DVRDiskInfo;

// Grid lines, check boxes and full-row selection, and the four columns in the active language.
void SetDiskListColumns(CListCtrl& list);
void AddDiskRow(CListCtrl& list, int row, const DVRDiskInfo& disk);
// Checks the rows whose letter occurs in letters and clears the others.
void CheckDiskRows(CListCtrl& list, const QString& letters);
// The letters of the checked rows, in row order.
QString CheckedDiskLetters(const CListCtrl& list);
