#include "base/errors.h"

#include <utility>

AppError::AppError(int32_t number, QString description)
    : number_(number), description_(std::move(description)), utf8_(description_.toStdString())
{
}

namespace
{

// Anything thrown that is not ours still becomes an AppError, so no handler
// ever lets an exception reach the event loop.
template <typename Action> std::optional<AppError> runCatching(const Action &action)
{
    try {
        action();
    } catch (const AppError &error) {
        return error;
    } catch (const std::exception &error) {
        return AppError(ErrorNumbers::kUnexpected, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return AppError(ErrorNumbers::kUnexpected, QStringLiteral("Unexpected failure"));
    }
    return std::nullopt;
}

} // namespace

bool IgnoreErrors::step(const std::function<void()> &action)
{
    auto error = runCatching(action);
    if (error)
        lastError_ = std::move(error);
    return !error.has_value();
}

std::optional<AppError> trapFirstError(const std::function<void()> &handler)
{
    return runCatching(handler);
}
