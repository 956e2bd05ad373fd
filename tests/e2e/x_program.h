#pragma once

// Starting a program of the suite on the private X server: the caller's environment with the display,
// the xcb platform, an English locale and every network endpoint on loopback (when CTest has not set
// them already), then the given settings on top. The program ends with the suite however the suite ends.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>

// The started process (its state says whether it started within 10 s).
std::unique_ptr<QProcess> StartOnDisplay(const QString& program, const QString& display,
                                         const QProcessEnvironment& settings,
                                         const QStringList& arguments = {});
