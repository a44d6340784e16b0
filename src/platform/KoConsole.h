// What a command-line host needs of its surroundings: whether a stream is a
// terminal, echo of the terminal's input, the per-user settings folder, the
// access rights of a file and the process's environment.
#ifndef KO_CONSOLE_H
#define KO_CONSOLE_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <string>

inline bool KoIsTerminal(FILE* stream) { return isatty(fileno(stream)) == 1; }

// Turns the echo of what is typed at the terminal on standard input on or
// off; false when standard input is no terminal.
inline bool KoSetInputEcho(bool echo) {
    termios mode;
    if (tcgetattr(STDIN_FILENO, &mode) != 0) return false;
    if (echo)
        mode.c_lflag |= ECHO;
    else
        mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    return tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode) == 0;
}

// The folder of the account's settings, UTF-8: $XDG_CONFIG_HOME, else
// ~/.config; empty when there is no home folder.
inline std::string KoUserConfigFolder() {
    const char* value = getenv("XDG_CONFIG_HOME");
    if (value && *value) return value;
    const char* home = getenv("HOME");
    if (!home || !*home) return std::string();
    std::string folder = home;
    if (folder.back() != '/') folder += '/';
    return folder + ".config";
}

// Whether users other than the file's owner may read it (its group or
// everybody); false when the file cannot be examined.
inline bool KoReadableByOthers(const std::string& utf8Path) {
    struct stat status;
    if (stat(utf8Path.c_str(), &status) != 0) return false;
    return (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

// Sets a variable of the process's environment (for the libraries it loads
// afterwards).
inline void KoSetEnvironment(const char* name, const char* value) { setenv(name, value, 1); }

#endif // KO_CONSOLE_H
