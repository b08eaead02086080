#include "base/errors.h"

#include "base/logging.h"

#include <QDebug>

#include <string_view>
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

// The source file with its folder ("surfaces/frmnmain.cpp"), not the path
// of the machine it was built on.
QString sourceName(std::string_view path)
{
    const size_t file = path.rfind('/');
    const size_t folder = file == 0 || file == std::string_view::npos ? std::string_view::npos
                                                                      : path.rfind('/', file - 1);
    if (folder != std::string_view::npos)
        path.remove_prefix(folder + 1);
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

} // namespace

#if defined(__cpp_lib_source_location)
bool IgnoreErrors::step(const std::function<void()> &action, std::source_location where)
{
    const char *file = where.file_name();
    const int line = int(where.line());
#else
bool IgnoreErrors::step(const std::function<void()> &action, const char *file, int line)
{
#endif
    auto error = runCatching(action);
    if (!error)
        return true;
    const QLoggingCategory &category = category_ ? *category_ : logCategoryOfSource(file);
    QMessageLogger(file, line, nullptr).debug(category).noquote()
        << QStringLiteral("step skipped at %1:%2, error %3: %4")
               .arg(sourceName(file))
               .arg(line)
               .arg(error->number())
               .arg(error->description());
    lastError_ = std::move(error);
    return false;
}

std::optional<AppError> trapFirstError(const std::function<void()> &handler)
{
    return runCatching(handler);
}
