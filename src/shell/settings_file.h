#pragma once
// The settings file qn_options.ini in the data folder: read once at start-up into the
// settings object, the line types and the panel values, and written back at shutdown.
#include <QString>

namespace quillon {

class TEditor;
class TIniFile;

// FAppDataPath + "/qn_options.ini".
QString optionsFilePath(const TEditor &editor);

// Reads the settings file when it exists. A missing key, or one whose text is not a
// number of its kind, gives that key's default; a missing or unreadable file changes
// nothing.
void loadOptions(TEditor &editor);

// Writes every setting into the settings file. Keys the program does not write (such as
// [MCP] EnableServer) are kept. Throws std::runtime_error when the file cannot be written.
void saveOptions(TEditor &editor);

// A float key: its text (the default in the general 15-digit form when the key is
// missing), every "," taken as ".", read in the C locale. A text that is still not a
// finite number within the float range gives the default.
float readIniFloat(const TIniFile &ini, const QString &section, const QString &key, float def);

// [MCP] EnableServer of the settings file at iniPath: true when it is a non-zero integer.
// A missing file or key, or any other text, gives false.
bool readMcpEnableServer(const QString &iniPath);

}  // namespace quillon
