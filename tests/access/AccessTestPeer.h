// White-box access to an access object's stored state, for tests.
#ifndef ZU_ACCESS_TEST_PEER_H
#define ZU_ACCESS_TEST_PEER_H

#include <string>

#include "CZuInterplayAccess.h"

class CZuInterplayAccessTestPeer {
public:
    explicit CZuInterplayAccessTestPeer(IZuInterplayAccess* access)
        : m_access(static_cast<CZuInterplayAccess*>(access)) {}
    const std::string& userName() const { return m_access->m_userName; }
    const std::string& password() const { return m_access->m_password; }
    const std::string& serviceURL() const { return m_access->m_serviceURL; }
    const std::string& lastCheckedInURI() const { return m_access->m_lastCheckedInURI; }
    std::string& lastErrorText() { return m_access->m_lastErrorText; }
    size_t deleteListSize() const { return m_access->m_deleteList.size(); }
    int searchLimit() const { return m_access->m_searchLimit; }

private:
    CZuInterplayAccess* m_access;
};

// A new access object through the module's creation function, with the one
// reference the caller releases.
IZuInterplayAccess* NewAccessObject();

#endif // ZU_ACCESS_TEST_PEER_H
