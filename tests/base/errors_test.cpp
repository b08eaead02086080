#include "base/errors.h"
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
