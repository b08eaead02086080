#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <source_location>
#include <string>

class QLoggingCategory;

// The one failure type of the program: the DVD control, files and desktop
// services throw it; handlers either skip the failing step or report it.
class AppError : public std::exception
{
public:
    AppError(int32_t number, QString description);

    int32_t number() const { return number_; }
    const QString &description() const { return description_; }
    const char *what() const noexcept override { return utf8_.c_str(); }

private:
    int32_t number_;
    QString description_;
    std::string utf8_;
};

namespace ErrorNumbers
{
// Numbers the play command tells apart.
constexpr int32_t kDecoderFailed = -2147217418;  // 0x80040FF6
constexpr int32_t kDecoderMissing = -2147217415; // 0x80040FF9
// Our own numbers for everything else.
constexpr int32_t kNoDisc = 1001;
constexpr int32_t kUnreadableSource = 1002;
constexpr int32_t kNotPermitted = 1003;
constexpr int32_t kInvalidArgument = 1004;
constexpr int32_t kNoBookmark = 1005;
constexpr int32_t kFileError = 1006;
constexpr int32_t kNoDrive = 1020;           // an image, a folder on a disk, or no drive at all
constexpr int32_t kRegionNotReported = 1021; // the drive has no DVD region to read or set
constexpr int32_t kNoRegionChangesLeft = 1022;
constexpr int32_t kUnexpected = 1099;
} // namespace ErrorNumbers

// Where a step is written, for its debug message: std::source_location, or
// the builtins it is made of where the library lacks it (clang before 15).
#if defined(__cpp_lib_source_location)
#define IGNORE_ERRORS_STEP_PLACE std::source_location where = std::source_location::current()
#else
#define IGNORE_ERRORS_STEP_PLACE const char *file = __builtin_FILE(), int line = __builtin_LINE()
#endif

// "Errors ignored step by step": every step runs on its own; a failing step
// is skipped, kept as the last error and logged at debug level with its
// place, and the next step runs.
class IgnoreErrors
{
public:
    IgnoreErrors() = default; // logs to the subsystem of the step's source folder
    explicit IgnoreErrors(const QLoggingCategory &category) : category_(&category) {}

    // Runs one step; returns true when it finished without an error.
    bool step(const std::function<void()> &action, IGNORE_ERRORS_STEP_PLACE);
    const std::optional<AppError> &lastError() const { return lastError_; }

private:
    const QLoggingCategory *category_ = nullptr;
    std::optional<AppError> lastError_;
};

// "Trap the first error": runs the whole handler and returns its first
// failure, or nothing when it ran to the end.
std::optional<AppError> trapFirstError(const std::function<void()> &handler);
