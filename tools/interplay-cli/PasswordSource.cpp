#include "PasswordSource.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>

#include "KoConsole.h"

namespace {

const char kEnvironment[] = "INTERPLAY_PASSWORD";

void StripLineEnd(std::string* text) {
    size_t end = text->find_first_of("\r\n");
    if (end != std::string::npos) text->resize(end);
}

} // namespace

PasswordSource::Outcome PasswordSource::Resolve(bool mayPrompt, std::string* password, std::string* source,
                                                std::string* error) const {
    if (commandLine) {
        *password = *commandLine;
        *source = "--password";
        return Outcome::Found;
    }
    if (const char* value = getenv(kEnvironment)) {
        *password = value;
        *source = kEnvironment;
        return Outcome::Found;
    }
    if (!file.empty()) {
        Outcome outcome = ReadFile(file, password, error);
        if (outcome == Outcome::Found) *source = "password file " + file + " (" + fileOrigin + ")";
        return outcome;
    }
    if (mayPrompt && KoIsTerminal(stdin) && Prompt("Password: ", password)) {
        *source = "prompt";
        return Outcome::Found;
    }
    return Outcome::None;
}

std::string PasswordSource::Describe() const {
    if (commandLine) return "--password";
    if (getenv(kEnvironment)) return kEnvironment;
    if (!file.empty()) return "password file " + file + " (" + fileOrigin + ")";
    return std::string();
}

PasswordSource::Outcome PasswordSource::ReadFile(const std::string& path, std::string* password,
                                                 std::string* error) {
    if (KoReadableByOthers(path)) {
        *error = "the password file " + path +
                 " may be read by other users; make it the owner's only (chmod 600 " + path + ")";
        return Outcome::Refused;
    }
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        *error = "the password file " + path + " does not exist or is no file";
        return Outcome::Unreadable;
    }
    FILE* stream = fopen(file.string().c_str(), "rb");
    if (!stream) {
        *error = "cannot read the password file " + path + ": " + strerror(errno);
        return Outcome::Unreadable;
    }
    std::string text;
    char buffer[256];
    size_t n;
    while (text.size() < 4096 && (n = fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, n);
    fclose(stream);
    StripLineEnd(&text);
    *password = text;
    return Outcome::Found;
}

bool PasswordSource::Prompt(const std::string& question, std::string* password) {
    fputs(question.c_str(), stderr);
    fflush(stderr);
    bool echoOff = KoSetInputEcho(false);
    std::string line;
    char buffer[256];
    bool read = false;
    while (fgets(buffer, sizeof buffer, stdin)) {
        read = true;
        line += buffer;
        if (!line.empty() && line.back() == '\n') break;
    }
    if (echoOff) KoSetInputEcho(true);
    fputc('\n', stderr);
    StripLineEnd(&line);
    *password = line;
    return read;
}
