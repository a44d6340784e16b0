// Where the password comes from, first that gives one: --password, the
// environment variable INTERPLAY_PASSWORD, a password file (--password-file or
// the profile's password_file), a prompt without echo on a terminal. The
// password itself is never shown; only its source is.
#ifndef INTERPLAY_CLI_PASSWORD_SOURCE_H
#define INTERPLAY_CLI_PASSWORD_SOURCE_H

#include <optional>
#include <string>

class PasswordSource {
public:
    enum class Outcome {
        Found,
        None,       // nothing gave one
        Refused,    // the password file may be read by others
        Unreadable, // the password file cannot be read
    };

    std::optional<std::string> commandLine; // --password
    std::string file;                       // --password-file, else the profile's
    std::string fileOrigin;                 // where file was named, e.g. "--password-file"

    // The first source that gives a password; the prompt only when allowed
    // and standard input is a terminal. *source names it ("--password",
    // "INTERPLAY_PASSWORD", "password file F", "prompt"); *error tells why
    // not for Refused and Unreadable.
    Outcome Resolve(bool mayPrompt, std::string* password, std::string* source, std::string* error) const;
    // The source Resolve would take, without reading a file or prompting;
    // empty when there is none.
    std::string Describe() const;

    // The file's first line (its line end stripped); refused when users other
    // than its owner may read it.
    static Outcome ReadFile(const std::string& path, std::string* password, std::string* error);
    // Asks on stderr and reads a line from standard input with echo off.
    static bool Prompt(const std::string& question, std::string* password);
};

#endif // INTERPLAY_CLI_PASSWORD_SOURCE_H
