#pragma once

// Checks that the texts of a dialog's controls fit them: a button's or check box's text within its width,
// a wrapped static's lines within its height, a one-line static's text within its width.

#include <QString>
#include <QStringList>

class QWidget;

// One line for each control of the window whose text does not fit ("<class> '<text>': <why>"); empty when
// every text fits. Controls without text, and hidden ones when onlyVisible, are skipped.
QStringList TextFitFaults(QWidget* window, bool onlyVisible = false);
