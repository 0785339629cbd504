#pragma once

#include <QString>
#include <stdexcept>

// A failure that carries the text the user is shown. The logic layer throws
// these; only screens turn them into message boxes.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

  private:
    QString m_text;
};

// A failure of the database: opening it, a statement, a transaction.
class DbError : public AppError {
  public:
    using AppError::AppError;
};
