#include "KoTrace.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "KoCodePage.h"
#include "KoDebug.h"
#include "KoText.h"

namespace {

// Formats into buf (capacity bytes) and returns the length to commit, the
// terminator included. A text that does not fit is cut within capacity - 1
// bytes at a whole character; a conversion the formatter does not know ends the
// text there.
//
// The runtime's printf would write wide-text arguments through the process
// locale, which fails for anything but ASCII in the "C" locale; so each
// conversion is formatted on its own, and wide text is converted to the
// thread's code page here first.
class BoundedFormatter {
public:
    BoundedFormatter(char* buffer, size_t capacity) : m_buf(buffer), m_cap(capacity) {}

    int Format(const char* format, va_list* args) {
        bool ok = true;
        const char* p = format;
        while (*p && !m_full && ok) {
            if (*p != '%') {
                const char* run = p;
                while (*p && *p != '%') ++p;
                Append(run, static_cast<size_t>(p - run));
                continue;
            }
            ok = Conversion(p, args);
        }
        return Finish(ok);
    }

private:
    bool Conversion(const char*& p, va_list* args) {
        ++p;
        std::string directive = "%";
        while (*p && strchr("-+ #0", *p)) directive += *p++;
        if (*p == '*') {
            directive += std::to_string(va_arg(*args, int));
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') directive += *p++;
        }
        if (*p == '.') {
            directive += *p++;
            if (*p == '*') {
                directive += std::to_string(va_arg(*args, int));
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') directive += *p++;
            }
        }
        std::string length;
        while (*p && strchr("hlzjt", *p)) length += *p++;
        char conversion = *p;
        if (!conversion) return false;
        ++p;
        char piece[128];
        int n = -1;
        switch (conversion) {
        case '%':
            Append("%", 1);
            return true;
        case 'd':
        case 'i':
            if (length == "ll" || length == "j")
                n = Piece(piece, sizeof piece, directive + "lld",
                          static_cast<long long>(va_arg(*args, long long)));
            else if (length == "l" || length == "z" || length == "t")
                n = Piece(piece, sizeof piece, directive + "ld", static_cast<long>(va_arg(*args, long)));
            else
                n = Piece(piece, sizeof piece, directive + "d", va_arg(*args, int));
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o': {
            std::string conv(1, conversion);
            if (length == "ll" || length == "j")
                n = Piece(piece, sizeof piece, directive + "ll" + conv, va_arg(*args, unsigned long long));
            else if (length == "l" || length == "z" || length == "t")
                n = Piece(piece, sizeof piece, directive + "l" + conv, va_arg(*args, unsigned long));
            else
                n = Piece(piece, sizeof piece, directive + conv, va_arg(*args, unsigned int));
            break;
        }
        case 'c':
            n = Piece(piece, sizeof piece, directive + "c", va_arg(*args, int));
            break;
        case 'p':
            n = Piece(piece, sizeof piece, directive + "p", va_arg(*args, void*));
            break;
        case 's':
            if (length == "l") return Text(directive, KoNarrow(va_arg(*args, const wchar_t*)).c_str());
            return Text(directive, va_arg(*args, const char*));
        case 'S':
            return Text(directive, KoNarrow(va_arg(*args, const wchar_t*)).c_str());
        default:
            return false;
        }
        if (n < 0) return false;
        Append(piece, static_cast<size_t>(n) < sizeof piece ? static_cast<size_t>(n) : sizeof piece - 1);
        return true;
    }

    template <class T>
    static int Piece(char* out, size_t size, const std::string& directive, T value) {
        return snprintf(out, size, directive.c_str(), value);
    }

    bool Text(const std::string& directive, const char* text) {
        if (!text) text = "(null)";
        if (directive == "%") {
            Append(text, strlen(text));
            return true;
        }
        int n = snprintf(nullptr, 0, (directive + "s").c_str(), text);
        if (n < 0) return false;
        std::string piece(static_cast<size_t>(n) + 1, '\0');
        snprintf(&piece[0], piece.size(), (directive + "s").c_str(), text);
        Append(piece.data(), static_cast<size_t>(n));
        return true;
    }

    // Each piece starts on a character boundary, so cutting the piece that
    // overflows at a whole character keeps the whole text well formed.
    void Append(const char* text, size_t length) {
        size_t room = m_cap - 1 - m_len;
        if (length > room) {
            m_full = true;
            length = KoWholeCharPrefix(CP_THREAD_ACP, text, length, room);
        }
        memcpy(m_buf + m_len, text, length);
        m_len += length;
    }

    int Finish(bool /*ok*/) {
        m_buf[m_len] = '\0';
        return static_cast<int>(m_len + 1);
    }

    char* m_buf;
    size_t m_cap;
    size_t m_len = 0;
    bool m_full = false;
};

int FormatInto(char* buffer, int capacity, const char* format, va_list args) {
    if (!buffer || capacity <= 0) return 0;
    va_list copy;
    va_copy(copy, args);
    int length = 0;
    // Trace lines come from release paths and destructors too: memory that
    // runs out while a line is formatted leaves the line empty, nothing more.
    try {
        length = BoundedFormatter(buffer, static_cast<size_t>(capacity)).Format(format, &copy);
    } catch (...) {
        buffer[0] = '\0';
        length = 0;
    }
    va_end(copy);
    return length;
}

} // namespace

void KoTraceLive(int category, int level, const char* format, ...) {
    int capacity = 0;
    char* buffer = KoGetLogBuffer(category, level, &capacity, 1);
    if (!buffer || capacity <= 0) return;
    va_list args;
    va_start(args, format);
    int length = FormatInto(buffer, capacity, format, args);
    va_end(args);
    KoCommitLogBuffer(buffer, 0, length, 0);
}

void KoTraceFile(int category, int level, const char* format, ...) {
    int capacity = 0;
    char* buffer = KoGetLogBuffer(category, level, &capacity, 1);
    if (!buffer || capacity <= 0) return;
    va_list args;
    va_start(args, format);
    FormatInto(buffer, capacity, format, args);
    va_end(args);
    KoLogTextToFileA(buffer);
}

void KoNotifyFailure(const char* message, HRESULT hr) {
    KoLogNotifyA(0, 0, "%s hr=%x.", message, static_cast<unsigned>(hr));
}

void KoNotifyFailureAt(const char* message, HRESULT hr, const char* sourceUnit, int line) {
    KoLogNotifyA_Add_file(0, 0, "%s hr=%x.File : %s. LINE : %d", message, static_cast<unsigned>(hr),
                          sourceUnit, line);
}
