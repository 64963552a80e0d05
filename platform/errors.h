#pragma once

#include <QString>
#include <stdexcept>

namespace zarn {

// Base of every error the system raises. It carries the message the user
// sees; the application object shows it at the top of the event.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    const QString &message() const { return m_message; }
    // The error's kind as the last-resort error box names it.
    virtual const char *kind() const { return "Exception"; }

private:
    QString m_message;
};

// An error of the data layer about a dataset or a field ("ADOQuery1: ...").
class DatabaseError : public Error
{
public:
    using Error::Error;
    const char *kind() const override { return "EDatabaseError"; }
};

// An error reported by the database engine itself (its own text).
class ProviderError : public Error
{
public:
    using Error::Error;
    const char *kind() const override { return "EOleException"; }
};

// A value that cannot be converted from text or between types.
class ConvertError : public Error
{
public:
    using Error::Error;
    const char *kind() const override { return "EConvertError"; }
};

// A variant that cannot be read as the type asked for (Null as text).
class VariantError : public Error
{
public:
    using Error::Error;
    const char *kind() const override { return "EVariantTypeCastError"; }
};

} // namespace zarn
