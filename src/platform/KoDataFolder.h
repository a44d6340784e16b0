// Where the stand-ins keep their files (libKoPlatform internal).
#ifndef KO_DATA_FOLDER_H
#define KO_DATA_FOLDER_H

#include <string>

// The folder named by the environment variable envVar when it is set and not
// empty, else $HOME/<homeRelative> (the account's home folder when HOME is not
// set). Read on every call; never ends in '/' unless it is "/". Empty when no
// home folder can be found.
std::string KoDataFolder(const char* envVar, const char* homeRelative);

#endif // KO_DATA_FOLDER_H
