#pragma once
// Where the program finds its files.

#include <QString>

namespace dbengine {

// The directory of the program file, ending with a path separator. Tests may point it
// elsewhere with setProgramDir().
QString programDir();
void setProgramDir(const QString &dir);

// The user's configuration directory: $XDG_CONFIG_HOME, by default ~/.config.
QString configDir();

// The file of the database-engine layer that holds the alias configuration.
QString aliasConfigFile();

}  // namespace dbengine
