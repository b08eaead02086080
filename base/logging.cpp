#include "base/logging.h"

#include <array>
#include <utility>

Q_LOGGING_CATEGORY(logEngine, "vidora.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(logDatabase, "vidora.database", QtWarningMsg)
Q_LOGGING_CATEGORY(logSettings, "vidora.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(logUi, "vidora.ui", QtWarningMsg)

const QLoggingCategory &logCategoryOfSource(std::string_view path)
{
    using Category = const QLoggingCategory &(*)();
    static constexpr std::array<std::pair<std::string_view, Category>, 9> kFolders{{
        {"engine", logEngine},
        {"dvddb", logDatabase},
        {"settings", logSettings},
        {"core", logUi},
        {"surfaces", logUi},
        {"widgets", logUi},
        {"platform", logUi},
        {"base", logUi},
        {"app", logUi},
    }};
    // Folders from the file outwards: the nearest known one decides, so a
    // checkout that sits inside a folder called "settings" changes nothing.
    size_t end = path.rfind('/');
    while (end != std::string_view::npos && end > 0) {
        const size_t start = path.rfind('/', end - 1);
        const size_t from = start == std::string_view::npos ? 0 : start + 1;
        const std::string_view folder = path.substr(from, end - from);
        for (const auto &[name, category] : kFolders) {
            if (folder == name)
                return category();
        }
        if (start == std::string_view::npos)
            break;
        end = start;
    }
    return logUi();
}
