#include "StderrCapture.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

StderrCapture::StderrCapture() {
    fflush(stderr);
    char name[] = "/tmp/zu-stderr-XXXXXX";
    m_captureFd = mkstemp(name);
    if (m_captureFd < 0) throw std::runtime_error("mkstemp failed");
    unlink(name);
    m_savedFd = dup(STDERR_FILENO);
    dup2(m_captureFd, STDERR_FILENO);
}

StderrCapture::~StderrCapture() {
    fflush(stderr);
    dup2(m_savedFd, STDERR_FILENO);
    close(m_savedFd);
    close(m_captureFd);
}

std::string StderrCapture::text() const {
    fflush(stderr);
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        ssize_t n = pread(m_captureFd, buffer, sizeof buffer, offset);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
        offset += n;
    }
    return text;
}
