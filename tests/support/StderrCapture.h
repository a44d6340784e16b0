// Sends everything written to file descriptor 2 (stderr) into a temporary file
// while the object lives; text() returns what was written so far.
#ifndef ZU_TEST_STDERR_CAPTURE_H
#define ZU_TEST_STDERR_CAPTURE_H

#include <string>

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() const;

private:
    int m_savedFd;
    int m_captureFd;
};

#endif // ZU_TEST_STDERR_CAPTURE_H
