// Libraries opened when first needed: found once, their functions bound by name, and a missing
// library or function answered with nothing instead of a crash.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/core/SharedLibrary.h"

namespace {

TEST(SharedLibrary, OpensOnceBindsByNameAndAnswersNothingForWhatIsMissing) {
    const SharedLibrary* math = SharedLibrary::open("libm.so.6");
    ASSERT_NE(math, nullptr);
    EXPECT_EQ(SharedLibrary::open("libm.so.6"), math) << "opened once for the whole run";
    auto* cosine = math->function<double(double)>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(math->function<void()>("no_such_function_here"), nullptr);

    struct {
        double (*cos)(double) = nullptr;
        double (*sqrt)(double) = nullptr;
        void (*missing)() = nullptr;
    } api;
    EXPECT_TRUE(bindFunctions(*math, std::pair{&api.cos, "cos"}, std::pair{&api.sqrt, "sqrt"}));
    EXPECT_DOUBLE_EQ(api.sqrt(9.0), 3.0);
    EXPECT_FALSE(bindFunctions(*math, std::pair{&api.cos, "cos"}, std::pair{&api.missing, "no_such_function_here"}))
        << "one missing function and the whole set is refused";

    testing::internal::CaptureStderr();
    EXPECT_EQ(SharedLibrary::open("libroyal-expedition-missing.so.9"), nullptr);
    EXPECT_EQ(SharedLibrary::open("libroyal-expedition-missing.so.9"), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("libroyal-expedition-missing.so.9 cannot be opened"), std::string::npos) << said;
    EXPECT_EQ(said.find("cannot be opened"), said.rfind("cannot be opened")) << "said once: " << said;
}

struct MathFunctions {
    double (*cos)(double) = nullptr;
};
int mathBinds = 0;
const MathFunctions* mathFunctions(const char* soname) {
    return openFunctionsOnce<MathFunctions>(soname, [](const SharedLibrary& library, MathFunctions& api) {
        ++mathBinds;
        return bindFunctions(library, std::pair{&api.cos, "cos"});
    });
}
struct Missing {
    void (*nothing)() = nullptr;
};

TEST(SharedLibrary, AStructOfFunctionsIsBoundOnceAndAMissingLibraryGivesNothingEveryTime) {
    const MathFunctions* first = mathFunctions("libm.so.6");
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(first->cos(0.0), 1.0);
    EXPECT_EQ(mathFunctions("libm.so.6"), first);
    EXPECT_EQ(mathBinds, 1) << "bound on the first call only";

    int tries = 0;
    testing::internal::CaptureStderr();
    auto missing = [&tries] {
        return openFunctionsOnce<Missing>("libroyal-expedition-absent.so.1", [&tries](const SharedLibrary&, Missing&) {
            ++tries;
            return true;
        });
    };
    EXPECT_EQ(missing(), nullptr);
    EXPECT_EQ(missing(), nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(tries, 0) << "nothing to bind without the library";
}

}  // namespace
