#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>

namespace skybrant::settings {

// The settings file format: plain INI that stays readable and editable by
// hand. A key "Section/Key" is written as "Key=value" under "[Section]"; the
// key itself may hold further slashes ("N/S=N"). Values are exact texts:
// backslash, line feed and carriage return are escaped as \\, \n and \r,
// and a value with blanks at either end, or starting with a quote, is put
// in double quotes.
QByteArray writeIni(const QSettings::SettingsMap& map);

// Reads a file in that format into map. On a file that is not such a file
// (not UTF-8 text, NUL bytes, a line that is neither a [section], a
// key=value pair, a comment nor blank) returns false and says why in error.
bool readIni(const QByteArray& bytes, QSettings::SettingsMap& map, QString& error);

// The format registered with QSettings.
QSettings::Format iniFormat();

// What readIni said of the last file QSettings read in this format.
QString lastIniReadError();

}  // namespace skybrant::settings
