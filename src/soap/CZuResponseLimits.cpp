#include "CZuResponseLimits.h"

#include <string.h>

#include "stdsoap2.h"

CZuResponseLimits::CZuResponseLimits(unsigned long responseBytes) : m_limit(responseBytes) {}

void CZuResponseLimits::Apply(struct soap* soap) {
    soap->maxlevel = kMaxDepth;
    soap->maxoccurs = kMaxOccurs;
    soap->maxlength = kMaxTextBytes;
}

void CZuResponseLimits::Reset() {
    unsigned long limit = m_limit;
    *this = CZuResponseLimits(limit);
}

bool CZuResponseLimits::Refuse(const char* reason, int code) {
    m_refused = true;
    m_reason = reason;
    m_code = code;
    return false;
}

// A small state machine over the bytes: it knows start tags, quoted values,
// end tags, comments, CDATA sections and processing instructions, which is
// all it takes to count the attributes of each start tag and the depth of the
// elements (the runtime checks the depth only of the elements it reads, not
// of those it skips). The HTTP header
// before the message holds no '<'; chunk sizes between the message's pieces
// hold neither '=' nor quotes, so they change no count.
bool CZuResponseLimits::Scan(const char* data, size_t size) {
    if (m_refused) return false;
    m_received += size;
    if (m_limit && m_received > m_limit)
        return Refuse("The response is larger than the response limit", SOAP_LENGTH);
    // The state the loop changes on every byte is kept in locals: stores to
    // members could change the bytes as far as the compiler knows, and would
    // be made byte by byte.
    State state = m_state;
    bool lastWasSlash = m_slash;
    auto refuse = [&](const char* reason, int code) {
        m_state = state;
        m_slash = lastWasSlash;
        return Refuse(reason, code);
    };
    for (size_t i = 0; i < size; ++i) {
        // Text, end tags, skipped declarations and quoted values change nothing
        // but the last-byte flag (and a value's length) until the byte that
        // ends them: the bytes before it are passed over at once.
        if (state == TEXT || state == END_TAG || state == SKIP_TAG || state == VALUE) {
            const char stop = state == TEXT ? '<' : state == VALUE ? m_quote : '>';
            const void* found = memchr(data + i, stop, size - i);
            const size_t next = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : size;
            if (state == VALUE && (m_valueLength += next - i) > static_cast<unsigned long>(kMaxTextBytes))
                return refuse("An attribute value is longer than a text may be", SOAP_LENGTH);
            if (next > i) lastWasSlash = data[next - 1] == '/';
            if (next == size) break;
            i = next;
        }
        const char c = data[i];
        const bool slash = lastWasSlash;
        lastWasSlash = c == '/';
        switch (state) {
        case TEXT:
            if (c == '<') state = TAG_OPEN;
            break;
        case TAG_OPEN:
            m_matched = 0;
            if (c == '!') {
                state = MARKUP;
            } else if (c == '?') {
                state = PI;
            } else if (c == '/') {
                state = END_TAG;
            } else {
                if (++m_depth > kMaxDepth)
                    return refuse("Elements nest deeper than a response may", SOAP_LEVEL);
                state = TAG;
                m_attributes = m_namespaces = 0;
                m_name[0] = c;
                m_nameLength = 1;
                m_nameEnded = false;
            }
            break;
        case TAG:
            if (c == '>') {
                state = TEXT;
                if (slash) --m_depth; // an empty element
            } else if (c == '"' || c == '\'') {
                m_quote = c;
                state = VALUE;
                m_valueLength = 0;
            } else if (c == '=') {
                bool declaration = m_nameLength >= 5 && memcmp(m_name, "xmlns", 5) == 0 &&
                                   (m_nameLength == 5 || m_name[5] == ':');
                if (declaration ? ++m_namespaces > kMaxNamespaces : ++m_attributes > kMaxAttributes)
                    return refuse(declaration ? "An element has too many namespace declarations"
                                              : "An element has too many attributes",
                                  SOAP_LENGTH);
                m_nameLength = 0;
                m_nameEnded = false;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                m_nameEnded = true;
            } else {
                if (m_nameEnded) m_nameLength = 0;
                m_nameEnded = false;
                if (m_nameLength < sizeof m_name) m_name[m_nameLength] = c;
                if (m_nameLength <= sizeof m_name) ++m_nameLength;
            }
            break;
        case VALUE:
            if (c == m_quote) {
                state = TAG;
                m_nameLength = 0;
                m_nameEnded = false;
            } else if (++m_valueLength > static_cast<unsigned long>(kMaxTextBytes)) {
                return refuse("An attribute value is longer than a text may be", SOAP_LENGTH);
            }
            break;
        case END_TAG:
            if (c == '>') {
                state = TEXT;
                if (m_depth) --m_depth;
            }
            break;
        case SKIP_TAG:
            if (c == '>') state = TEXT;
            break;
        case MARKUP:
            // After "<!": a comment, a CDATA section, or a declaration skipped
            // to its '>'.
            if (m_matched == 0) m_opening = c == '-' ? "--" : c == '[' ? "[CDATA[" : nullptr;
            if (m_opening && c == m_opening[m_matched]) {
                if (!m_opening[++m_matched]) {
                    state = m_opening[0] == '-' ? COMMENT : CDATA;
                    m_matched = 0;
                }
            } else {
                state = c == '>' ? TEXT : SKIP_TAG;
            }
            break;
        case COMMENT:
        case CDATA: {
            const char mark = state == COMMENT ? '-' : ']';
            if (c == mark) {
                if (m_matched < 2) ++m_matched;
            } else if (c == '>' && m_matched == 2) {
                state = TEXT;
            } else {
                m_matched = 0;
            }
            break;
        }
        case PI:
            if (c == '>' && m_matched) state = TEXT;
            m_matched = c == '?' ? 1 : 0;
            break;
        }
    }
    m_state = state;
    m_slash = lastWasSlash;
    return true;
}
