#include "services/failure.h"

Failure::Failure(double number, const QString& description, std::source_location where)
    : std::runtime_error(description.toStdString()), m_number(number), m_line(int(where.line())),
      m_description(description)
{
}
