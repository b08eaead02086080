#pragma once

#include <QLoggingCategory>

#include <string_view>

// One logging category per subsystem. Debug and info messages are off until
// switched on the way every Qt program does it, for example
// QT_LOGGING_RULES="vidora.*.debug=true"; warnings are always written.
Q_DECLARE_LOGGING_CATEGORY(logEngine)
Q_DECLARE_LOGGING_CATEGORY(logDatabase)
Q_DECLARE_LOGGING_CATEGORY(logSettings)
Q_DECLARE_LOGGING_CATEGORY(logUi)

// The category of the subsystem a source file belongs to, told by the
// nearest of its folders that names one (engine/control/x.cpp is the
// engine's); the interface's when none does.
const QLoggingCategory &logCategoryOfSource(std::string_view path);
