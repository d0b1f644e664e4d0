#pragma once

#include <QString>

// The application's help file: the bare name of the document that F1 opens. Empty until a
// reference command names one; nothing clears it afterwards.
namespace helpfile {

QString current();
void set(const QString& name);

} // namespace helpfile
