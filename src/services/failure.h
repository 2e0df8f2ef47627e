#pragma once

#include <QString>

#include <source_location>
#include <stdexcept>

// The one way an unexpected failure travels through the program: it carries the failure's number (the
// error codes the shop's earlier tools used, so old logs stay comparable), the line of the statement that
// failed and a description. Every event procedure catches it and hands it to the error report.
class Failure : public std::runtime_error
{
public:
    Failure(double number, const QString& description,
            std::source_location where = std::source_location::current());

    double number() const { return m_number; }
    int line() const { return m_line; }
    const QString& description() const { return m_description; }

private:
    double m_number;
    int m_line;
    QString m_description;
};

// Failure numbers used across the program.
namespace FailureCode {
constexpr double InvalidCall = 5;
constexpr double Overflow = 6;
constexpr double TypeMismatch = 13;
constexpr double FileNotFound = 53;
constexpr double FileAlreadyOpen = 55;
constexpr double DiskFull = 61;
constexpr double PermissionDenied = 70;
constexpr double PathFileAccess = 75;
constexpr double PathNotFound = 76;
constexpr double Database = -2147467259; // the provider's generic database failure
} // namespace FailureCode
