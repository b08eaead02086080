#include "base/errors.h"
#include "base/logging.h"
#include "core/forms.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(IgnoreErrors, FailingStepIsSkippedAndTheNextRuns)
{
    IgnoreErrors steps;
    int ran = 0;
    EXPECT_FALSE(steps.step([] { throw AppError(5, "Access denied"); }));
    EXPECT_TRUE(steps.step([&] { ++ran; }));
    EXPECT_FALSE(steps.step([] { throw std::runtime_error("boom"); }));
    EXPECT_EQ(ran, 1);
    ASSERT_TRUE(steps.lastError());
    EXPECT_EQ(steps.lastError()->number(), ErrorNumbers::kUnexpected);
    EXPECT_EQ(steps.lastError()->description(), "boom");
}

TEST(TrapFirstError, StopsAtTheFirstFailureAndReportsIt)
{
    int ran = 0;
    auto error = trapFirstError([&] {
        ++ran;
        throw AppError(ErrorNumbers::kDecoderFailed, "decoder");
        ++ran;
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), -2147217418);
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(trapFirstError([] {}));
}

namespace
{
struct Counted : QObject {
    static inline int loads = 0;
    static inline Counted *seenDuringLoad = nullptr;
    void Form_Load()
    {
        ++loads;
        seenDuringLoad = form<Counted>();
    }
};
} // namespace

TEST(Forms, CreatedOnceOnFirstReferenceWithItsLoadStep)
{
    Counted::loads = 0;
    EXPECT_FALSE(isLoaded<Counted>());
    Counted *first = form<Counted>();
    EXPECT_TRUE(isLoaded<Counted>());
    EXPECT_EQ(form<Counted>(), first);
    EXPECT_EQ(Counted::loads, 1);
    EXPECT_EQ(Counted::seenDuringLoad, first);
    unload<Counted>();
    EXPECT_FALSE(isLoaded<Counted>());
    form<Counted>();
    EXPECT_EQ(Counted::loads, 2);
    unload<Counted>();
}

TEST(Forms, AWindowThatDestroysItselfIsNoLongerLoaded)
{
    delete form<Counted>();
    EXPECT_FALSE(isLoaded<Counted>());
}

namespace
{
struct LogCapture {
    static inline QStringList lines;
    static void handler(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        lines << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
    }
};
} // namespace

TEST(Logging, SkippedStepsAreWrittenToTheSubsystemsCategoryOnlyWhenSwitchedOn)
{
    EXPECT_STREQ(logCategoryOfSource("/src/engine/control/dvdengine.cpp").categoryName(),
                 "vidora.engine");
    EXPECT_STREQ(logCategoryOfSource("/home/settings/vidora/core/dvd.cpp").categoryName(),
                 "vidora.ui");
    EXPECT_STREQ(logCategoryOfSource("dvddb/frmdvddb.cpp").categoryName(), "vidora.database");
    EXPECT_STREQ(logCategoryOfSource("main.cpp").categoryName(), "vidora.ui");

    LogCapture::lines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(&LogCapture::handler);
    IgnoreErrors quiet(logDatabase());
    quiet.step([] { throw AppError(ErrorNumbers::kFileError, "unheard"); });
    QLoggingCategory::setFilterRules(QStringLiteral("vidora.*.debug=true"));
    IgnoreErrors steps(logDatabase());
    steps.step([] {});
    const int line = __LINE__ + 1;
    steps.step([] { throw AppError(ErrorNumbers::kFileError, "Cannot delete \"x.bmp\""); });
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    ASSERT_EQ(LogCapture::lines.size(), 1) << LogCapture::lines.join('\n').toStdString();
    EXPECT_EQ(LogCapture::lines.front(),
              QStringLiteral("vidora.database: step skipped at base/errors_test.cpp:%1, error "
                             "1006: Cannot delete \"x.bmp\"")
                  .arg(line));
}
