#pragma once

// Checks that the texts of a dialog's controls fit them: a button's or check box's text within its width,
// a wrapped static's lines within its height, a one-line static's text within its width.

#include <QString>
#include <QStringList>

class QWidget;

// One line for each control of the window, at any depth, whose text does not fit ("<class> '<text>':
// <why>"); empty when every text fits. Controls without text, and when onlyVisible those not shown within
// the window (themselves or a parent hidden), are skipped.
QStringList TextFitFaults(QWidget* window, bool onlyVisible = false);
