#include "fs/AppError.h"

#include <utility>

AppError::AppError(std::int32_t number, QString source, QString description, Reach reach)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_reach(reach),
      m_what(QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toUtf8()) {}
