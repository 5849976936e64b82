// The print page loop against a formatter that pages a text of known length: the ranges asked
// for, the pages, progress, the end by length, by lack of progress and by the user's abort.
#include <gtest/gtest.h>

#include <vector>

#include "editor/print_loop.h"

namespace {

// Pages of PageSize characters; the answer of each page can be overridden.
class TFakeFormatter : public TPageFormatter {
public:
    TFakeFormatter(int textLength, int pageSize) : textLength_(textLength), pageSize_(pageSize) {}

    int FormatPage(int first) override {
        starts.push_back(first);
        if (!answers.empty()) {
            const int next = answers.front();
            answers.erase(answers.begin());
            return next;
        }
        return std::min(first + pageSize_, textLength_);
    }
    void StartNextPage() override { ++newPages; }

    std::vector<int> starts;
    std::vector<int> answers;
    int newPages = 0;

private:
    int textLength_;
    int pageSize_;
};

struct LoopCase {
    const char* name;
    int length;
    int pageSize;
    std::vector<int> expectedStarts;
};

TEST(PrintLoopTest, PrintsEveryPageFromWhereTheLastEnded) {
    const LoopCase cases[] = {
        {"empty text", 0, 100, {0}},
        {"seven characters", 7, 100, {0}},
        {"exactly one page", 100, 100, {0}},
        {"one more than a page", 101, 100, {0, 100}},
        {"three pages", 250, 100, {0, 100, 200}},
        {"the last few characters get their page", 205, 100, {0, 100, 200}},
    };
    for (const LoopCase& c : cases) {
        TFakeFormatter formatter(c.length, c.pageSize);
        std::vector<int> progress;
        const TPrintLoopResult result =
            RunPrintLoop(formatter, c.length, [&](int current) { progress.push_back(current); }, [] { return false; });
        EXPECT_EQ(formatter.starts, c.expectedStarts) << c.name;
        EXPECT_EQ(result.Pages, static_cast<int>(c.expectedStarts.size())) << c.name;
        EXPECT_EQ(formatter.newPages, result.Pages - 1) << c.name;
        EXPECT_FALSE(result.Aborted) << c.name;
        EXPECT_EQ(result.PrintedTo, c.length) << c.name;
        ASSERT_EQ(progress.size(), c.expectedStarts.size()) << c.name;
        EXPECT_EQ(progress.back(), c.length) << c.name;
    }
}

TEST(PrintLoopTest, APageWithoutProgressEndsTheJob) {
    TFakeFormatter formatter(500, 100);
    formatter.answers = {100, 100};  // the second page gets stuck at 100
    const TPrintLoopResult result = RunPrintLoop(formatter, 500, {}, {});
    EXPECT_EQ(formatter.starts, (std::vector<int>{0, 100}));
    EXPECT_EQ(result.Pages, 2);
    EXPECT_FALSE(result.Aborted);
    EXPECT_EQ(result.PrintedTo, 100);

    TFakeFormatter nothing(500, 100);
    nothing.answers = {0};  // a formatter that prints nothing at all
    EXPECT_EQ(RunPrintLoop(nothing, 500, {}, {}).Pages, 1);
}

TEST(PrintLoopTest, AbortEndsAfterThePageInPrint) {
    TFakeFormatter formatter(1000, 100);
    int asked = 0;
    const TPrintLoopResult result = RunPrintLoop(formatter, 1000, {}, [&] { return ++asked == 3; });
    EXPECT_TRUE(result.Aborted);
    EXPECT_EQ(result.Pages, 3);
    EXPECT_EQ(formatter.newPages, 2);
    EXPECT_EQ(result.PrintedTo, 300);
}

TEST(PrintLoopTest, AbortOnTheLastPageStillCountsAsAborted) {
    TFakeFormatter formatter(50, 100);
    const TPrintLoopResult result = RunPrintLoop(formatter, 50, {}, [] { return true; });
    EXPECT_TRUE(result.Aborted);
    EXPECT_EQ(result.Pages, 1);
}

}  // namespace
