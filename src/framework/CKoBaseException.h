// The framework's exceptions. Each carries one message made of the class and
// method name, " -> " and what went wrong.
#ifndef CKO_BASE_EXCEPTION_H
#define CKO_BASE_EXCEPTION_H

#include <string>
#include <utility>

class CKoBaseException {
public:
    explicit CKoBaseException(std::string message) : m_message(std::move(message)) {}
    CKoBaseException(const CKoBaseException& other) = default;
    virtual ~CKoBaseException() = default;

    const std::string& GetMessage() const { return m_message; }

private:
    std::string m_message;
};

// Misuse of a TKoSmartPtr.
class CKoSmartPointerException : public CKoBaseException {
public:
    using CKoBaseException::CKoBaseException;
};

// A CKoAutoLock built on nothing.
class CKoAutoLockException : public CKoBaseException {
public:
    using CKoBaseException::CKoBaseException;
};

// A critical section asked to wait for a time-out it does not support.
class CKoCriticalSectionException : public CKoBaseException {
public:
    using CKoBaseException::CKoBaseException;
};

#endif // CKO_BASE_EXCEPTION_H
