// The version file of the home page: a list of values separated by commas and line
// ends (a value in double quotes may hold both); the last value's leading number is
// the newest version.
#pragma once

#include <QByteArray>
#include <QStringList>

// The values of the file, in order. Blanks round an unquoted value are dropped; the
// line end that ends the file adds no value.
QStringList ValoresVersionDat(const QByteArray& datos);
// The leading number of the last value, read with "." as decimal point whatever the
// locale; 0 when there is no value or no number.
double VersionDat(const QByteArray& datos);
// The file names a version newer than this program's.
bool VersionNueva(const QByteArray& datos);
